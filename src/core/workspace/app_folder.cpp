#include "workspace/app_folder.h"

#include "error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>

namespace qf {

namespace {

// The shipped application folder, compiled in as resources.
const QString kShippedRoot = QStringLiteral(":/app");

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
        if (!target.mkpath(QString::fromLatin1(sub).isEmpty() ? "." : sub)) {
            throw CommandError("Cannot create folder \"" + folder + sub + "\".");
        }
    }
    QDirIterator it(kShippedRoot, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(kShippedRoot.size() + 1);
        const QString destination = target.filePath(relative);
        if (QFileInfo::exists(destination)) {
            continue;
        }
        target.mkpath(QFileInfo(relative).path());
        if (!QFile::copy(source, destination)) {
            throw CommandError("Cannot create file \"" + destination.toStdString() + "\".");
        }
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
