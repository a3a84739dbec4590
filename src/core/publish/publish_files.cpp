#include "publish/publish_files.h"

#include "document/file_io.h"
#include "error.h"

#include <QByteArrayView>
#include <QCryptographicHash>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace qf::publish {

namespace {

std::string Reason() {
    return std::strerror(errno);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::string RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr) {
        return {};
    }
    return buffer;
}

void Walk(const std::string& folder, const std::string& relative, const std::string& root_real,
          ProjectFiles& found) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        throw CommandError("Cannot read the folder " + folder + ": " + Reason());
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        names.emplace_back(entry->d_name);
    }
    if (errno != 0) {
        throw CommandError("Cannot read the folder " + folder + ": " + Reason());
    }
    for (const std::string& name : names) {
        if (name == "." || name == ".." || IsEditorOrHiddenName(name)) {
            continue;
        }
        const std::string full = folder + name;
        const std::string path = relative + name;
        struct stat info {};
        if (::lstat(full.c_str(), &info) != 0) {
            throw CommandError("Cannot read " + full + ": " + Reason());
        }
        if (S_ISLNK(info.st_mode)) {
            const std::string real = RealPath(full);
            struct stat target {};
            if (real.empty() || ::stat(real.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) {
                found.skipped.push_back(path + ": a link to no regular file is not published");
                continue;
            }
            if (real.compare(0, root_real.size() + 1, root_real + "/") != 0) {
                found.skipped.push_back(path +
                                        ": a link to a file outside the project is not published");
                continue;
            }
            info = target;
        }
        if (S_ISDIR(info.st_mode)) {
            Walk(full + "/", path + "/", root_real, found);
            continue;
        }
        if (!S_ISREG(info.st_mode)) {
            found.skipped.push_back(path + ": " + NotARegularFileReason(info.st_mode));
            continue;
        }
        if (path.find_first_of("\r\n") != std::string::npos) {
            found.skipped.push_back(path + ": a name with a line break is not published");
            continue;
        }
        LocalFile file;
        file.path = path;
        file.full = full;
        file.sha256 = FileSha256(full, &file.size);
        found.files.push_back(std::move(file));
    }
}

} // namespace

std::string ManifestFileName(std::string_view target) {
    return ".quenfort-publish-" + std::string(target) + ".manifest";
}

std::string GitRecordFileName(std::string_view target) {
    return ".quenfort-publish-" + std::string(target) + ".git";
}

bool IsEditorOrHiddenName(std::string_view name) {
    // Lock files (".quenfort-*.lock"), temporary save files (".NAME.*.saving"),
    // the targets, known hosts and manifests are all hidden names.
    return name.empty() || name.front() == '.';
}

ProjectFiles FilesToPublish(const std::string& project_folder) {
    std::string folder = project_folder;
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    const std::string root_real = RealPath(folder);
    if (root_real.empty()) {
        throw CommandError("Cannot open the project folder " + folder + ": " + Reason());
    }
    ProjectFiles found;
    Walk(folder, std::string(), root_real, found);
    std::sort(found.files.begin(), found.files.end(),
              [](const LocalFile& a, const LocalFile& b) { return a.path < b.path; });
    return found;
}

std::string FileSha256(const std::string& path, std::int64_t* size) {
    FdCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0) {
        throw CommandError("Cannot read " + path + ": " + Reason());
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::int64_t total = 0;
    static thread_local char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw CommandError("Cannot read " + path + ": " + Reason());
        }
        if (n == 0) {
            break;
        }
        hash.addData(QByteArrayView(buffer, n));
        total += n;
    }
    if (size != nullptr) {
        *size = total;
    }
    return hash.result().toHex().toStdString();
}

std::vector<std::string> TextLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string line(text.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> ReadSettingLines(const std::string& file) {
    std::vector<std::string> lines;
    for (std::string& line : TextLines(ReadRegularFile(file))) {
        if (!line.empty() && line.front() != '#') {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

Manifest ReadManifest(const std::string& file) {
    Manifest manifest;
    if (!EntryExists(file)) {
        return manifest;
    }
    for (const std::string& line : ReadSettingLines(file)) {
        // "SHA256 SIZE PATH"
        const std::size_t first = line.find(' ');
        const std::size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
        char* size_end = nullptr;
        const std::string size_text = second == std::string::npos
                                          ? std::string()
                                          : line.substr(first + 1, second - first - 1);
        const long long size = std::strtoll(size_text.c_str(), &size_end, 10);
        if (first != 64 || second == std::string::npos || size_text.empty() || *size_end != '\0' ||
            size < 0 || second + 1 >= line.size()) {
            throw CommandError(file + " is not a publish manifest (line \"" + line + "\")");
        }
        manifest[line.substr(second + 1)] = ManifestEntry{size, line.substr(0, 64)};
    }
    return manifest;
}

void WriteManifest(const std::string& file, const Manifest& manifest) {
    std::string text = "# What was published to this target: SHA-256, size, path.\n";
    for (const auto& [path, entry] : manifest) {
        text += entry.sha256 + ' ' + std::to_string(entry.size) + ' ' + path + '\n';
    }
    WriteFileAtomically(file, text);
}

} // namespace qf::publish
