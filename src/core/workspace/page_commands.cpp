#include "workspace/page_commands.h"

#include "document/file_io.h"
#include "error.h"
#include "workspace/workspace.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

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

// The trash information of a file moved to `in_trash` (TRASH/files/NAME):
// TRASH/info/NAME.trashinfo, which must name where the file came from.
void KeepTrashInfo(const QString& original, const QString& in_trash) {
    QDir trash = QFileInfo(in_trash).absoluteDir();
    trash.cdUp();
    const QString info_path =
        trash.filePath("info/" + QFileInfo(in_trash).fileName() + ".trashinfo");
    QFile info(info_path);
    if (info.open(QIODevice::ReadOnly)) {
        const QByteArray text = info.readAll();
        if (text.startsWith("[Trash Info]\n") && text.contains("\nPath=") &&
            text.contains("\nDeletionDate=") && text.endsWith('\n')) {
            return;
        }
        info.close();
    }
    // A trash beside a mount point's top names its files from that top.
    QString named = QFileInfo(original).absoluteFilePath();
    if (trash.dirName() != "Trash") {
        QDir top = trash;
        top.cdUp();
        if (top.dirName() == ".Trash") {
            top.cdUp();
        }
        named = top.relativeFilePath(named);
    }
    const QByteArray text =
        "[Trash Info]\nPath=" + QUrl::toPercentEncoding(named, "/") +
        "\nDeletionDate=" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + "\n";
    try {
        WriteFileAtomically(QFile::encodeName(info_path).toStdString(),
                            std::string_view(text.constData(), std::size_t(text.size())));
    } catch (const CommandError&) {
        QFile::remove(info_path);
        throw;
    }
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
    // Nothing may be written into a page that is no longer open.
    workspace.palette_enabled = false;
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
    QFile page(path);
    if (!page.moveToTrash()) {
        throw CommandError("Cannot move \"" + workspace.page_path + "\" to the trash. " +
                           page.errorString().toStdString());
    }
    const QString in_trash = page.fileName();
    if (!IsInTrash(in_trash)) {
        QFile::rename(in_trash, path);
        return PageDeletion::NoTrash;
    }
    // Qt does not tell when the trash information could not be written (a
    // full disk leaves it empty), so it is read back and, if need be, written
    // again; a file whose information cannot be written is put back.
    try {
        KeepTrashInfo(path, in_trash);
    } catch (const CommandError& error) {
        if (!QFile::rename(in_trash, path)) {
            throw CommandError("Cannot move \"" + workspace.page_path + "\" to the trash. " +
                               error.what() + " The page is left at \"" + in_trash.toStdString() +
                               "\".");
        }
        throw CommandError("Cannot move \"" + workspace.page_path + "\" to the trash. " +
                           error.what());
    }
    if (EntryExists(workspace.page_path)) {
        throw CommandError("Cannot move \"" + workspace.page_path +
                           "\" to the trash. A copy went there, but the page is still in place.");
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
