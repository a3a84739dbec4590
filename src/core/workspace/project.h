#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct Workspace;

// A folder path as the workspace keeps it: ending in exactly one "/" (a path
// that already ends in "/", such as "/", is left as it is). Empty stays empty.
std::string FolderPath(std::string_view folder);

// The folder a new project gets: `location` joined with `name` by "/", ending
// in "/". Refuses (CommandError) an empty name, an empty or relative location
// and a name that is not one folder name ("", ".", "..", or holding "/").
std::string NewProjectFolder(std::string_view location, std::string_view name);

// The project folder CreateProject made or found.
struct CreatedProject {
    std::string folder;   // ends in "/"
    bool existed = false; // the folder was there already and has been opened
};

// Creates the project folder `name` inside the existing folder `location` (an
// existing project folder is simply opened) and makes it the project folder.
// An open page of another project is closed and the selection lists emptied;
// an open page of this project stays. Throws CommandError
// for a refused name or location, or when the folder cannot be made, naming
// the folder and the system's reason; nothing changes.
CreatedProject CreateProject(Workspace& workspace, std::string_view location,
                             std::string_view name);

// Makes the existing folder `folder` the project folder; an open page of
// another project is closed as by CreateProject. Throws CommandError when it is not a folder that
// can be listed; nothing changes then. Returns the folder as kept ("/" at the end).
std::string OpenProject(Workspace& workspace, std::string_view folder);

// True for the name of a page file: "*.html" or "*.php" (any case), not hidden.
bool IsPageName(std::string_view name);

// The file names of a project folder's pages ("*.html" and "*.php"), sorted
// without regard to case. Throws CommandError when the folder cannot be read.
std::vector<std::string> ProjectPages(const std::string& folder);

// The address a link to the project's page `page_file` gives: the name with
// every byte that may not stand in a URL path %-escaped ("Opening Hours.html"
// becomes "Opening%20Hours.html"). PageOfLink reads such an address back.
std::string PageLink(std::string_view page_file);
std::string PageOfLink(std::string_view link);

// The name a new page is offered under: "index" for the first page of a
// project (the page a site's address shows), else nothing.
std::string OfferedFirstPageName(const std::string& folder);

// The page name offered for a page titled `header`: in lower case, words
// joined by hyphens, only letters, digits and hyphens ("Opening Hours" gives
// "opening-hours"); empty when the header has no letter or digit.
std::string ProposedPageName(std::string_view header);

} // namespace qf
