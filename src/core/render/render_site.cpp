#include "render/render_site.h"

#include "document/file_io.h"
#include "document/markers.h"
#include "document/page_file.h"
#include "error.h"
#include "publish/publish_files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace qf::render {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) {
        return false;
    }
    return std::equal(end.begin(), end.end(), text.end() - std::ptrdiff_t(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

QString Q(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string Folder(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

// Copies a file of any size into `target` through a save file, a piece at a
// time.
void CopyInto(const std::string& source, const std::string& target) {
    QFile in(Q(source));
    if (!in.open(QIODevice::ReadOnly)) {
        throw CommandError("Cannot read file \"" + source + "\". " +
                           in.errorString().toStdString());
    }
    SaveFile file(target);
    file.SkipSync();
    for (;;) {
        const QByteArray piece = in.read(qint64(1) << 20);
        if (piece.isEmpty()) {
            if (in.error() != QFileDevice::NoError) {
                throw CommandError("Cannot read file \"" + source + "\". " +
                                   in.errorString().toStdString());
            }
            break;
        }
        file.Write(std::string_view(piece.constData(), std::size_t(piece.size())));
    }
    file.Commit();
}

// Runs `work(i)` for every i below `count` on every core; the first failure
// stops the rest and is thrown again here.
void OnEveryCore(std::size_t count, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex failure_lock;
    std::exception_ptr failure;
    auto run = [&] {
        for (std::size_t index = next++; index < count && !failed; index = next++) {
            try {
                work(index);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failure_lock);
                if (!failure) {
                    failure = std::current_exception();
                }
                failed = true;
            }
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < cores && i < count; ++i) {
        threads.emplace_back(run);
    }
    run();
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace

RenderOptions SiteRenderOptions(const std::string& project_folder) {
    (void)project_folder;
    RenderOptions options;
    const QString desktop = QLocale::system().bcp47Name();
    options.language = desktop.isEmpty() || desktop == "C" ? "en" : desktop.toStdString();
    return options;
}

bool IsEditorPage(std::string_view relative_path, std::string_view page_text) {
    return (EndsWithNoCase(relative_path, ".html") || EndsWithNoCase(relative_path, ".htm")) &&
           page_text.find(kDeclareBegin) != std::string_view::npos;
}

std::string RenderedFile(const std::string& project_folder, const std::string& relative_path,
                         const RenderOptions& options, bool& rendered) {
    rendered = false;
    if (!EndsWithNoCase(relative_path, ".html") && !EndsWithNoCase(relative_path, ".htm")) {
        return {};
    }
    const std::string text = ReadPageFile(Folder(project_folder) + relative_path);
    if (!IsEditorPage(relative_path, text)) {
        return {};
    }
    rendered = true;
    return RenderPage(text, options);
}

std::string OutputFolderProblem(const std::string& project_folder, const std::string& folder) {
    if (folder.empty()) {
        return "No folder was given for the site.";
    }
    const QString project = QFileInfo(Q(project_folder)).canonicalFilePath();
    // The folder may not exist yet: its nearest existing ancestor decides.
    QFileInfo target(QDir::cleanPath(QFileInfo(Q(folder)).absoluteFilePath()));
    QString missing;
    while (!target.exists() && target.absoluteFilePath() != "/") {
        missing = target.fileName() + (missing.isEmpty() ? "" : "/" + missing);
        target = QFileInfo(target.absolutePath());
    }
    QString resolved = target.canonicalFilePath();
    if (!missing.isEmpty()) {
        resolved += "/" + missing;
    }
    if (!project.isEmpty() && (resolved == project || resolved.startsWith(project + "/"))) {
        return "The folder " + folder +
               " is the project folder or inside it, so every copy of the site would copy "
               "the one before: choose a folder outside the project";
    }
    return {};
}

void RenderPagesForPublishing(const std::string& project_folder,
                              std::vector<publish::LocalFile>& files, const std::string& staging) {
    const RenderOptions options = SiteRenderOptions(project_folder);
    const std::string out = Folder(staging);
    for (const publish::LocalFile& file : files) {
        const std::size_t slash = file.path.rfind('/');
        if (slash != std::string::npos) {
            QDir().mkpath(Q(out + file.path.substr(0, slash)));
        }
    }
    OnEveryCore(files.size(), [&](std::size_t index) {
        publish::LocalFile& file = files[index];
        bool rendered = false;
        const std::string page = RenderedFile(project_folder, file.path, options, rendered);
        if (!rendered) {
            return;
        }
        file.full = out + file.path;
        WriteCopyAtomically(file.full, page);
        file.size = std::int64_t(page.size());
        file.sha256 = QCryptographicHash::hash(QByteArrayView(page.data(), qsizetype(page.size())),
                                               QCryptographicHash::Sha256)
                          .toHex()
                          .toStdString();
    });
}

std::string WritePreviewRendering(const std::string& project_folder, const std::string& page_path,
                                  std::string_view page_text, const std::string& cache_folder) {
    std::string html = RenderPage(page_text, SiteRenderOptions(project_folder));
    const QFileInfo page(Q(page_path));
    const std::string base =
        QUrl::fromLocalFile(page.absolutePath() + "/").toString(QUrl::FullyEncoded).toStdString();
    const std::size_t head = html.find("<head>\n");
    if (head != std::string::npos) {
        html.insert(head + 7, "<base href=\"" + base + "\">\n");
    }
    const std::string folder = Folder(cache_folder) + "as-published/";
    if (!QDir().mkpath(Q(folder))) {
        throw CommandError("Cannot create folder \"" + folder + "\". Permission denied");
    }
    const std::string path = folder + page.fileName().toStdString();
    WriteFileAtomically(path, html);
    return path;
}

ExportReport ExportSite(const std::string& project_folder, const std::string& folder) {
    const std::string problem = OutputFolderProblem(project_folder, folder);
    if (!problem.empty()) {
        throw CommandError(problem);
    }
    const std::string out = Folder(folder);
    if (!QDir().mkpath(Q(out))) {
        throw CommandError("Cannot create folder \"" + out + "\". Permission denied");
    }
    const publish::ProjectFiles files = publish::FilesToPublish(project_folder);
    const RenderOptions options = SiteRenderOptions(project_folder);
    ExportReport report;
    report.skipped = files.skipped;
    // Folders first, on this thread; then the files on every core.
    for (const publish::LocalFile& file : files.files) {
        const std::size_t slash = file.path.rfind('/');
        if (slash != std::string::npos && !QDir().mkpath(Q(out + file.path.substr(0, slash)))) {
            throw CommandError("Cannot create folder \"" + out + file.path.substr(0, slash) +
                               "\". Permission denied");
        }
    }
    std::atomic<int> pages{0};
    std::atomic<int> copied{0};
    OnEveryCore(files.files.size(), [&](std::size_t index) {
        const publish::LocalFile& file = files.files[index];
        bool rendered = false;
        const std::string page = RenderedFile(project_folder, file.path, options, rendered);
        if (rendered) {
            WriteCopyAtomically(out + file.path, page);
            ++pages;
        } else {
            CopyInto(file.full, out + file.path);
            ++copied;
        }
    });
    // Everything written reaches the disk at once, not file by file.
    if (const int folder = ::open(out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
        const int error = ::syncfs(folder) == 0 ? 0 : errno;
        ::close(folder);
        if (error != 0) {
            throw CommandError("The site was written to " + out + " but could not be synced (" +
                               std::strerror(error) + ")");
        }
    }
    report.pages = pages;
    report.files = copied;
    return report;
}

} // namespace qf::render
