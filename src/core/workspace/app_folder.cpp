#include "workspace/app_folder.h"

#include "error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
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

// Copies the shipped file `source` to the new file `destination`.
void CopyShipped(const QString& source, const QString& destination) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw CommandError("Cannot read file \"" + source.toStdString() + "\". " +
                           in.errorString().toStdString());
    }
    const QByteArray bytes = in.readAll();
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        throw CommandError("Cannot create file \"" + destination.toStdString() + "\". " +
                           out.errorString().toStdString());
    }
    if (out.write(bytes) != bytes.size() || !out.flush()) {
        const std::string reason = out.errorString().toStdString();
        out.close();
        out.remove();
        throw CommandError("Cannot write file \"" + destination.toStdString() + "\". " + reason);
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
