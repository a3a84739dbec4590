#pragma once

#include "workspace/site_change.h"

#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct Workspace;

// The shared part that is the site menu: the project's pages as links, kept
// up to date by the editor. Each page's copy marks the page's own link
// (aria-current), so the copies differ by that mark alone.
inline constexpr std::string_view kSiteMenuPart = "Site Menu";

// Why the site menu is not changed by hand on all pages.
inline constexpr std::string_view kMadeFromPagesMessage =
    "The site menu is made from the project's pages: set their order, link texts and which "
    "are hidden in Site Settings (or change this page's copy only, which is then no longer "
    "the site menu).";

// The menu as the part the project keeps (`marked` empty) and as a page's
// copy holds it: `body` with the link to `marked` given aria-current.
std::string MarkedMenuBody(std::string_view body, std::string_view marked);

struct MenuLink {
    std::string page; // "about.html"
    std::string text; // "About us"
};

// The menu's links: the pages the site settings order, in that order, then
// the project's other pages in the project's order; hidden pages and pages
// that are no longer there left out. A link's text is the one set, else the
// page's title (a layout's default title or none: its name without ".html").
std::vector<MenuLink> SiteMenuLinks(const std::string& project_folder);

// Every page of the project as Site Settings shows it for the menu: the
// pages the settings order first, then the others; each with its title (the
// link text when none is set) and whether it is hidden.
struct MenuEditingEntry {
    std::string page;
    std::string title;
    std::string text; // as set; empty: the title
    bool hidden = false;
};
std::vector<MenuEditingEntry> SiteMenuForEditing(const std::string& project_folder);

// The menu's body (a bullet list, as the list component writes it, of the
// links) on the page `page`, whose own link carries aria-current="page".
std::string SiteMenuBody(const std::vector<MenuLink>& links, std::string_view page);

// Insert Site Menu: the site menu at the end of the selected area of the
// open page (the part is made when the project has none). Returns the new
// Select Component entry.
std::string InsertSiteMenu(Workspace& workspace);

// Writes the menu anew on every page that shows it, after pages were added,
// renamed, hidden or deleted or the order changed: one undo step. Pages
// whose menu is already right are not written.
SiteChangeReport RefreshSiteMenu(Workspace& workspace);
// RefreshSiteMenu when the project has a site menu; else nothing.
SiteChangeReport RefreshSiteMenuIfAny(Workspace& workspace);

} // namespace qf
