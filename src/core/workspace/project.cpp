#include "workspace/project.h"

#include "error.h"
#include "workspace/workspace.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qf {

namespace {

QString ToQ(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Throws unless `folder` is a folder this user can list. The path's bytes go
// to the system as they are, UTF-8 or not.
void RequireListableFolder(const std::string& folder) {
    std::string bare = folder;
    if (bare.size() > 1 && bare.back() == '/') {
        bare.pop_back();
    }
    struct stat info {};
    if (::stat(bare.c_str(), &info) != 0) {
        throw CommandError("Cannot open folder " + Quoted(folder) + ". No such file or directory");
    }
    if (!S_ISDIR(info.st_mode)) {
        throw CommandError("Cannot open folder " + Quoted(folder) + ". Not a directory");
    }
    if (::access(bare.c_str(), R_OK | X_OK) != 0) {
        throw CommandError("Cannot open folder " + Quoted(folder) + ". Permission denied");
    }
}

// The same folder, however it is written (a link, "..", a missing "/").
bool SameFolder(const std::string& one, const std::string& other) {
    if (one.empty() || other.empty()) {
        return false;
    }
    const QString a = QFileInfo(QFile::decodeName(one.c_str())).canonicalFilePath();
    const QString b = QFileInfo(QFile::decodeName(other.c_str())).canonicalFilePath();
    return !a.isEmpty() && a == b;
}

// A page of the project left behind is closed, and the lists that showed its
// areas and components emptied, so no edit lands in a project the window no
// longer shows.
void SwitchProject(Workspace& workspace, const std::string& folder) {
    if (!SameFolder(workspace.project_folder, folder) && workspace.HasOpenPage()) {
        workspace.page_name.clear();
        workspace.page_path.clear();
        workspace.page_text.clear();
        workspace.page_header.clear();
        workspace.page_file_size = 0;
        workspace.area_list = SelectionList{{}, std::string(kSelectAreaText)};
        workspace.component_list = SelectionList{{}, std::string(kSelectComponentText)};
        workspace.palette_enabled = false;
    }
    workspace.project_folder = folder;
}

} // namespace

bool IsPageName(std::string_view name) {
    const auto ends_with = [&](std::string_view suffix) {
        if (name.size() <= suffix.size()) {
            return false;
        }
        const std::string_view tail = name.substr(name.size() - suffix.size());
        return std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        });
    };
    return name.front() != '.' && (ends_with(".html") || ends_with(".php"));
}

namespace {

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
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
                           "\" is not a folder name; it may not be \".\" or \"..\" nor contain "
                           "\"/\".");
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
    SwitchProject(workspace, folder);
    return {folder, existed};
}

std::string OpenProject(Workspace& workspace, std::string_view folder) {
    const std::string path = FolderPath(folder);
    if (path.empty()) {
        throw CommandError("No project folder was chosen.");
    }
    RequireListableFolder(path);
    SwitchProject(workspace, path);
    return path;
}

std::vector<std::string> ProjectPages(const std::string& folder) {
    RequireListableFolder(folder);
    // Listed by the bytes of their names, so every page is found again.
    std::vector<std::string> pages;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        const int error = errno;
        throw CommandError("Cannot open folder " + Quoted(folder) + ". " + std::strerror(error));
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        struct stat info {};
        if (IsPageName(name) &&
            ::stat((FolderPath(folder) + std::string(name)).c_str(), &info) == 0 &&
            S_ISREG(info.st_mode)) {
            pages.emplace_back(name);
        }
    }
    ::closedir(dir);
    std::sort(pages.begin(), pages.end(), [](const std::string& a, const std::string& b) {
        const std::string lower_a = LowerAscii(a);
        const std::string lower_b = LowerAscii(b);
        return lower_a != lower_b ? lower_a < lower_b : a < b;
    });
    return pages;
}

std::string PageLink(std::string_view page_file) {
    return QUrl::toPercentEncoding(QString::fromUtf8(page_file.data(), qsizetype(page_file.size())),
                                   "/")
        .toStdString();
}

std::string PageOfLink(std::string_view link) {
    return QUrl::fromPercentEncoding(QByteArray(link.data(), qsizetype(link.size()))).toStdString();
}

std::string OfferedFirstPageName(const std::string& folder) {
    try {
        return ProjectPages(folder).empty() ? "index" : "";
    } catch (const CommandError&) {
        return ""; // an unreadable folder: nothing is offered
    }
}

std::string ProposedPageName(std::string_view header) {
    const QString lower = QString::fromUtf8(header.data(), qsizetype(header.size())).toLower();
    QString name;
    bool gap = false;
    for (const QChar c : lower) {
        if (c.isLetterOrNumber()) {
            if (gap && !name.isEmpty()) {
                name += '-';
            }
            name += c;
            gap = false;
        } else if (c != '\'' && c != QChar(0x2019)) { // "Baker's" stays one word
            gap = true;
        }
    }
    name.truncate(80);
    while (name.endsWith('-')) {
        name.chop(1);
    }
    return name.toStdString();
}

} // namespace qf
