#include "workspace/project.h"

#include "error.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace qf {

namespace {

QString ToQ(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Throws unless `folder` is a folder this user can list.
void RequireListableFolder(const std::string& folder) {
    std::string bare = folder;
    if (bare.size() > 1 && bare.back() == '/') {
        bare.pop_back();
    }
    const QFileInfo info(ToQ(bare));
    if (!info.exists()) {
        throw CommandError("Cannot open folder " + Quoted(folder) + ". No such file or directory");
    }
    if (!info.isDir()) {
        throw CommandError("Cannot open folder " + Quoted(folder) + ". Not a directory");
    }
    if (!info.isReadable() || !info.isExecutable()) {
        throw CommandError("Cannot open folder " + Quoted(folder) + ". Permission denied");
    }
}

} // namespace

std::string FolderPath(std::string_view folder) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path;
}

std::string NewProjectFolder(std::string_view location, std::string_view name) {
    if (name.empty()) {
        throw CommandError("Please enter a Project Name.");
    }
    if (location.empty()) {
        throw CommandError("Please choose where to save the project (Save Project in).");
    }
    if (name == "." || name == ".." || name.find('/') != std::string_view::npos) {
        throw CommandError("The Project Name \"" + std::string(name) +
                           "\" is not a folder name; it may not contain \"/\".");
    }
    // A relative location would put the project wherever the program
    // happens to run.
    if (location.front() != '/') {
        throw CommandError("Save Project in needs a full folder path starting with \"/\", not \"" +
                           std::string(location) + "\".");
    }
    const QString absolute = QFileInfo(ToQ(location)).absoluteFilePath();
    return FolderPath(FolderPath(absolute.toStdString()) + std::string(name));
}

CreatedProject CreateProject(Workspace& workspace, std::string_view location,
                             std::string_view name) {
    const std::string folder = NewProjectFolder(location, name);
    const std::string parent =
        FolderPath(QFileInfo(ToQ(location)).absoluteFilePath().toStdString());
    RequireListableFolder(parent);
    // One level only: the location must exist. A folder that exists already
    // simply becomes the project.
    const std::string bare = folder.substr(0, folder.size() - 1);
    bool existed = false;
    if (::mkdir(bare.c_str(), 0777) != 0) {
        const int error = errno;
        if (error != EEXIST) {
            throw CommandError("Cannot create folder " + Quoted(folder) + ". " +
                               std::strerror(error));
        }
        existed = true;
    }
    RequireListableFolder(folder);
    workspace.project_folder = folder;
    return {folder, existed};
}

std::string OpenProject(Workspace& workspace, std::string_view folder) {
    const std::string path = FolderPath(folder);
    if (path.empty()) {
        throw CommandError("No project folder was chosen.");
    }
    RequireListableFolder(path);
    workspace.project_folder = path;
    return path;
}

std::vector<std::string> ProjectPages(const std::string& folder) {
    RequireListableFolder(folder);
    QDir dir(ToQ(folder));
    const QStringList names =
        dir.entryList({"*.html", "*.php"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    std::vector<std::string> pages;
    pages.reserve(std::size_t(names.size()));
    for (const QString& name : names) {
        pages.push_back(name.toStdString());
    }
    return pages;
}

} // namespace qf
