#include "workspace/app_folder.h"

#include "document/file_io.h"
#include "error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace qf {

namespace {

// The shipped application folder, compiled in as resources.
const QString kShippedRoot = QStringLiteral(":/app");

// Makes `path` and the folders above it; throws naming the folder and the
// system's reason when that fails.
void MakeFolder(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error) && !std::filesystem::is_directory(path, error)) {
        throw CommandError("Cannot create folder \"" + path + "\". Not a directory");
    }
    std::filesystem::create_directories(path, error);
    if (error) {
        throw CommandError("Cannot create folder \"" + path + "\". " + error.message());
    }
}

// Copies the shipped file `source` to the new file `destination`, whole or
// not at all, so a run stopped halfway leaves no broken file that later runs
// would keep.
void CopyShipped(const QString& source, const QString& destination) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw CommandError("Cannot read file \"" + source.toStdString() + "\". " +
                           in.errorString().toStdString());
    }
    const QByteArray bytes = in.readAll();
    const FileState nothing_there;
    try {
        WriteFileAtomically(QFile::encodeName(destination).toStdString(),
                            std::string_view(bytes.constData(), std::size_t(bytes.size())),
                            &nothing_there);
    } catch (const OutsideChangeError&) {
        // Made by another run meanwhile: a file already there is kept; a
        // link to nothing, which no copy may go through, is named.
        if (!QFileInfo(destination).isFile()) {
            throw CommandError("Cannot create file \"" + destination.toStdString() +
                               "\". File exists");
        }
    }
}

} // namespace

std::string DefaultAppFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!folder.endsWith('/')) {
        folder += '/';
    }
    return folder.toStdString();
}

void FillAppFolder(const std::string& folder) {
    const QDir target(QString::fromStdString(folder));
    for (const char* sub : {"", "bin", "lays", "custom", "temp"}) {
        MakeFolder(folder + sub);
    }
    QDirIterator it(kShippedRoot, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(kShippedRoot.size() + 1);
        const QString destination = target.filePath(relative);
        if (QFileInfo::exists(destination)) {
            continue;
        }
        MakeFolder(QFileInfo(destination).path().toStdString());
        CopyShipped(source, destination);
        // Resources are read-only; the copies belong to the user.
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                               QFile::ReadOther);
    }
}

std::string PrepareAppFolder() {
    const std::string folder = DefaultAppFolder();
    FillAppFolder(folder);
    return folder;
}

} // namespace qf
