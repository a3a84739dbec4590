#include "workspace/page_commands.h"

#include "document/file_io.h"
#include "error.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qf {

namespace {

// True when `path` is a file in the "files" folder of a freedesktop trash
// ($XDG_DATA_HOME/Trash, $topdir/.Trash/$uid or $topdir/.Trash-$uid).
bool IsInTrash(const QString& path) {
    const QDir files = QFileInfo(path).absoluteDir();
    if (files.dirName() != "files") {
        return false;
    }
    QDir trash = files;
    trash.cdUp();
    QDir above = trash;
    above.cdUp();
    return trash.dirName() == "Trash" || trash.dirName().startsWith(".Trash-") ||
           above.dirName() == ".Trash";
}

} // namespace

std::string AppFile(const Workspace& workspace, std::string_view relative) {
    return workspace.app_folder + std::string(relative);
}

void OpenProjectPage(Workspace& workspace, std::string_view name) {
    RequireProject(workspace);
    OpenPage(workspace, workspace.project_folder + std::string(name));
}

void ClosePage(Workspace& workspace) {
    workspace.page_name.clear();
    workspace.page_path.clear();
}

PageDeletion TrashOpenPage(Workspace& workspace) {
    if (!workspace.HasOpenPage()) {
        return PageDeletion::NoPage;
    }
    const QString path = QFile::decodeName(QByteArray::fromStdString(workspace.page_path));
    if (QFile::encodeName(path).toStdString() != workspace.page_path) {
        return PageDeletion::NoTrash; // a name the trash cannot take as it is
    }
    if (!EntryExists(workspace.page_path)) {
        ClosePage(workspace);
        return PageDeletion::Trashed;
    }
    // Qt falls back to the home trash, and when that cannot be made it
    // "trashes" into the current folder instead; so the home trash is made
    // first, and a file that did not land in a trash folder is put back.
    const QString home_trash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    if (!QDir().mkpath(home_trash)) {
        return PageDeletion::NoTrash;
    }
    QString in_trash;
    if (!QFile::moveToTrash(path, &in_trash)) {
        return PageDeletion::NoTrash;
    }
    if (!IsInTrash(in_trash)) {
        QFile::rename(in_trash, path);
        return PageDeletion::NoTrash;
    }
    ClosePage(workspace);
    return PageDeletion::Trashed;
}

void DeleteOpenPage(Workspace& workspace) {
    if (!workspace.HasOpenPage()) {
        return;
    }
    if (std::remove(workspace.page_path.c_str()) != 0 && errno != ENOENT) {
        const int error = errno;
        throw CommandError("Cannot delete file \"" + workspace.page_path + "\". " +
                           std::strerror(error));
    }
    ClosePage(workspace);
}

} // namespace qf
