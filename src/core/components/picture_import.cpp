#include "components/picture_import.h"

#include "document/file_io.h"
#include "error.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace qf {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

[[noreturn]] void Fail(const char* what, const QString& path, const QString& reason) {
    throw CommandError(std::string(what) + " \"" + path.toStdString() + "\". " +
                       reason.toStdString());
}

// True when the file at `path` holds exactly `bytes`.
bool FileHolds(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.size() == bytes.size() && file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

// True when both files hold the same bytes.
bool SameBytes(const QString& a, const QString& b) {
    QFile first(a);
    QFile second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly)) {
        return false;
    }
    constexpr qint64 kChunk = 64 * 1024;
    while (!first.atEnd()) {
        if (first.read(kChunk) != second.read(kChunk)) {
            return false;
        }
    }
    return second.atEnd();
}

// "photo.png", then "photo-2.png", "photo-3.png", ...; the part after the
// last dot stays the ending (a name that only starts with a dot has none).
QString CandidateName(const QString& name, int number) {
    if (number == 1) {
        return name;
    }
    const qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0) {
        return name + "-" + QString::number(number);
    }
    return name.left(dot) + "-" + QString::number(number) + name.mid(dot);
}

// Puts the file `source`, or `bytes` in its stead when given, into `folder`
// under the source's own name or the first free one; returns the name used.
// A file of that name with the same bytes is reused.
QString CopyUnderFreeName(const QString& source, const std::string* bytes, const QString& folder) {
    const QString name = QFileInfo(source).fileName();
    const QByteArray content =
        bytes != nullptr ? QByteArray(bytes->data(), qsizetype(bytes->size())) : QByteArray();
    for (int number = 1;; ++number) {
        const QString candidate = CandidateName(name, number);
        const QString target = folder + "/" + candidate;
        const QFileInfo existing(target);
        if (existing.exists() || existing.isSymLink()) {
            if (existing.isFile() &&
                (bytes != nullptr ? FileHolds(target, content) : SameBytes(source, target))) {
                return candidate;
            }
            continue; // other bytes, or a folder of that name: the next name
        }
        // Whole under its name or not at all; a name taken meanwhile is passed over.
        const std::string target_path = QFile::encodeName(target).toStdString();
        try {
            if (bytes != nullptr) {
                const FileState absent{};
                WriteFileAtomically(target_path, *bytes, &absent);
            } else {
                CopyFileAtomically(QFile::encodeName(source).toStdString(), target_path);
            }
        } catch (const OutsideChangeError&) {
            continue;
        }
        return candidate;
    }
}

// The import behind every public one: `how` is null for files that are not
// made fit for the web.
ImportedPicture Import(const std::string& project_folder, const std::string& page_folder,
                       const std::string& picture, std::string_view folder_name,
                       const PictureImport* how) {
    const QFileInfo source(Q(picture));
    if (!source.exists()) {
        Fail("Cannot open file", Q(picture), "No such file or directory");
    }
    if (!source.isFile()) {
        Fail("Cannot open file", Q(picture), "Not a file");
    }
    if (!source.isReadable()) {
        Fail("Cannot open file", Q(picture), "Permission denied");
    }
    const QFileInfo project(Q(project_folder));
    if (project_folder.empty() || !project.isDir()) {
        Fail("Cannot open folder", Q(project_folder), "No such file or directory");
    }
    // Compared without links and "..", so "site/../elsewhere" is not inside.
    const QString project_path = project.canonicalFilePath();
    QString file_path = source.canonicalFilePath();
    const bool inside = file_path.startsWith(project_path + "/");
    WebPicture web;
    if (how != nullptr && how->processor) {
        CheckPictureImportOptions(how->options);
        try {
            web = how->processor(QFile::encodeName(file_path).toStdString(), how->options);
        } catch (const NotAPictureError& error) {
            throw CommandError(picture + " is not a picture (" + error.what() + ")");
        }
    }
    const std::string* replacement = web.bytes.empty() ? nullptr : &web.bytes;
    // A picture inside the project stays where it is unless it may not go
    // to the web as it is; then its copy goes beside the others, never over it.
    if (!inside || (web.must_replace && replacement != nullptr)) {
        const QString images = project_path + "/" + Q(std::string(folder_name));
        const QFileInfo images_info(images);
        if (images_info.exists() && !images_info.isDir()) {
            Fail("Cannot create folder", images, "A file of that name is in the way");
        }
        const bool made = !images_info.exists();
        if (made && !QDir().mkpath(images)) {
            Fail("Cannot create folder", images, "Permission denied");
        }
        try {
            file_path = images + "/" + CopyUnderFreeName(file_path, replacement, images);
        } catch (...) {
            if (made) {
                QDir().rmdir(images); // only while it is empty
            }
            throw;
        }
    }
    const std::string base = page_folder.empty() ? project_folder : page_folder;
    const QFileInfo base_info(Q(base));
    const QString base_path =
        base_info.exists() ? base_info.canonicalFilePath() : base_info.absoluteFilePath();
    ImportedPicture imported;
    imported.location = PagePathLocation(QDir(base_path).relativeFilePath(file_path).toStdString());
    imported.file = QFile::encodeName(file_path).toStdString();
    imported.width = web.width;
    imported.height = web.height;
    return imported;
}

} // namespace

std::string PagePathLocation(std::string_view relative_path) {
    static constexpr std::string_view kEscaped = " \"#%&'<>?\\^`{|}";
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string location;
    for (const char c : relative_path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || kEscaped.find(c) != std::string_view::npos) {
            location += '%';
            location += kHex[byte >> 4];
            location += kHex[byte & 0x0F];
        } else {
            location += c;
        }
    }
    return location;
}

std::string PictureBaseFolder(const Workspace& workspace) {
    if (workspace.HasOpenPage() && !workspace.page_path.empty()) {
        return QFileInfo(Q(workspace.page_path)).absolutePath().toStdString() + "/";
    }
    return workspace.project_folder;
}

bool IsPictureFile(std::string_view path) {
    const std::string_view name = BaseName(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return false;
    }
    std::string ending(name.substr(dot + 1));
    for (char& c : ending) {
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
    }
    return std::find(std::begin(kPictureEndings), std::end(kPictureEndings), ending) !=
           std::end(kPictureEndings);
}

void CheckPictureImportOptions(const PictureImportOptions& options) {
    if (options.longest_side < 0 || options.longest_side > kLargestPictureWidthLimit) {
        throw CommandError("The longest side of a picture must be 0 (no limit) to " +
                           std::to_string(kLargestPictureWidthLimit) + " pixels, not " +
                           std::to_string(options.longest_side));
    }
    if (options.quality < kLowestPictureQuality || options.quality > kHighestPictureQuality) {
        throw CommandError("The picture quality must be " + std::to_string(kLowestPictureQuality) +
                           " to " + std::to_string(kHighestPictureQuality) + ", not " +
                           std::to_string(options.quality));
    }
}

std::string ImportPicture(const std::string& project_folder, const std::string& page_folder,
                          const std::string& picture, const PictureImport& how) {
    return Import(project_folder, page_folder, picture, kImagesFolder, &how).location;
}

ImportedPicture ImportWebPicture(const std::string& project_folder, const std::string& page_folder,
                                 const std::string& picture, const PictureImport& how) {
    return Import(project_folder, page_folder, picture, kImagesFolder, &how);
}

std::string ImportMedia(const std::string& project_folder, const std::string& page_folder,
                        const std::string& file) {
    return ImportFileInto(project_folder, page_folder, file, kMediaFolder);
}

std::string ImportFile(const std::string& project_folder, const std::string& page_folder,
                       const std::string& file) {
    return ImportFileInto(project_folder, page_folder, file,
                          IsPictureFile(file) ? kImagesFolder : kMediaFolder);
}

std::string ImportFileInto(const std::string& project_folder, const std::string& page_folder,
                           const std::string& picture, std::string_view folder_name) {
    return Import(project_folder, page_folder, picture, folder_name, nullptr).location;
}

} // namespace qf
