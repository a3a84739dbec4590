#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct Workspace;

// `text` with every link to the project page `from` made a link to `to`:
// an address in an attribute (href, src, action, a frame's src, a
// rollover's link), in raw HTML's plain href or src, or in the mail
// script's refresh ("url=PAGE"), written as the name or %-escaped
// (PageLink), alone or followed by "#part" or "?query". A name that only
// ends in `from` ("old-index.html" for "index.html") or stands in a
// longer path ("old/index.html") is no link to it. `count` gets the number
// of links changed.
std::string WithLinksRenamed(std::string_view text, std::string_view from, std::string_view to,
                             int* count = nullptr);

// What renaming a page will do: its file names, and the pages (file names,
// in the project's order) whose links change.
struct PageRenamePlan {
    std::string from;               // "Opening Hours.html"
    std::string to;                 // "opening-hours.html"
    std::vector<std::string> pages; // the pages that link to it, itself too
};

// The pages of the project (file names, in the project's order) that link to
// its page `page`, itself too. Throws CommandError when one cannot be read.
std::vector<std::string> PagesLinkingTo(const std::string& project_folder, std::string_view page);

// The plan for renaming the project page `from` to `new_name` (".html" is
// added as for a new page). Throws CommandError, changing nothing, for a
// page that is not there, a name refused for a new page, a name another page
// already has, or a page that cannot be read.
PageRenamePlan PlanPageRename(const std::string& project_folder, std::string_view from,
                              std::string_view new_name);

struct PageRenameReport {
    PageRenamePlan plan;
    int links = 0;                   // links changed on all pages
    std::vector<std::string> failed; // "PAGE: reason" for each page not written
};

// Carries out the plan: every page that links to the page is written with
// its links changed, each through the one commit path (its lock, its
// outside-change check; the open page as one undo step of its own), then the
// file is renamed (the open page stays open under its new name) and the old
// name kept in the site's settings, so the published site sends visitors on
// from it. A page that cannot be written is named in `failed` and the others
// are still written; the file is not renamed when it could not be locked or
// the new name was taken meanwhile (CommandError, after the links were
// written: renaming again with the same names completes it).
PageRenameReport RenamePage(Workspace& workspace, const PageRenamePlan& plan);

} // namespace qf
