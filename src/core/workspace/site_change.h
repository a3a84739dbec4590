#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qf {

struct Workspace;

struct SiteChangeReport {
    std::vector<std::string> written; // pages written, in the order given
    std::vector<std::string> failed;  // "PAGE: reason" for each page not written
};

// The new text of the project page `page` ("index.html") from its `text`
// as it is now; the same text leaves the page as it is. May throw
// CommandError, which names the page as failed.
using PageTextChange = std::function<std::string(const std::string& page, const std::string& text)>;

// Changes several pages of the project as one step: each of `pages` (file
// names in the project) is read and written under its lock through the one
// commit path (the open page as the workspace's own, with its outside-change
// check; the others as they are on disk), and its step recorded in that
// page's history with one group number, so Undo on any of them takes the
// change back on all. The open page records the step even when the change
// leaves it as it is. A page that cannot be read, changed or written is
// named in `failed` and the others are still written. Throws "Open or Create
// a new project first" without a project.
SiteChangeReport ChangeSitePages(Workspace& workspace, const std::vector<std::string>& pages,
                                 const std::string& step_name, const PageTextChange& change);

} // namespace qf
