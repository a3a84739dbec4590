#pragma once

#include <string>
#include <string_view>

namespace qf {

struct Workspace;

// The maker's web site, opened by "VORNEX Online".
inline constexpr std::string_view kMakerWebSite = "https://www.quenfort.org/";

// The pages of the application folder.
inline constexpr std::string_view kHomePage = "bin/home.html";
inline constexpr std::string_view kBlankPage = "bin/blank.html";
inline constexpr std::string_view kHelpPage = "bin/help.html";

// The application folder + `relative` ("bin/help.html").
std::string AppFile(const Workspace& workspace, std::string_view relative);

// Opens the project page `name` (an entry of the page list): the file
// project folder + name. Throws "Open or Create a new project first" without
// a project, or the file error; nothing changes then.
void OpenProjectPage(Workspace& workspace, std::string_view name);

// Closes the open page: the page name and its file are forgotten, so nothing
// writes to that file again until a page is opened or created. The page
// text and the lists keep their state; the palette is disabled.
void ClosePage(Workspace& workspace);

// How Delete Project Page ended.
enum class PageDeletion {
    NoPage,  // no page was open: nothing happened
    Trashed, // the file went to the desktop's trash (or was gone); the page is closed
    NoTrash, // the system has no trash for this file: nothing happened
};

// Moves the open page's file to the trash and closes the page. Throws
// CommandError with the reason when the move or its trash information fails;
// the page is then where it was.
PageDeletion TrashOpenPage(Workspace& workspace);

// Deletes the open page's file for good and closes the page. A file that is
// already gone only closes the page. Throws CommandError naming the file and
// the system's reason when it cannot be removed; nothing changes then.
void DeleteOpenPage(Workspace& workspace);

} // namespace qf
