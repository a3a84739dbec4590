#include "site/site_menu.h"

#include "components/component_fields.h"
#include "components/page_properties.h"
#include "document/file_io.h"
#include "document/page_file.h"
#include "document/shared_markers.h"
#include "error.h"
#include "site/shared_parts.h"
#include "site/site_settings.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QFileInfo>

#include <algorithm>
#include <set>

namespace qf {

namespace {

// The kind the menu is written as: a list whose items are its links.
constexpr std::string_view kMenuKind = "Bullet_Item_List";

// Text as element content: "&" and "<" as references.
std::string ContentText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        escaped += c == '&'   ? std::string("&amp;")
                   : c == '<' ? std::string("&lt;")
                              : std::string(1, c);
    }
    return escaped;
}

std::string TitleOf(const std::string& folder, const std::string& page) {
    try {
        const std::string text = ReadPageFile(folder + page);
        if (!PageHeader(text).empty()) {
            std::string title = HeadingForEditing(text);
            if (!title.empty() && title != kDefaultHeading) {
                return title;
            }
        }
    } catch (const CommandError&) {
        // a page that cannot be read is named by its file
    }
    return QFileInfo(QString::fromStdString(page)).completeBaseName().toStdString();
}

} // namespace

std::vector<MenuLink> SiteMenuLinks(const std::string& project_folder) {
    const std::string folder = FolderPath(project_folder);
    const std::vector<std::string> pages = ProjectPages(folder);
    const SiteSettings settings = ReadSiteSettings(folder);
    std::vector<MenuLink> links;
    std::set<std::string> placed;
    for (const MenuEntry& entry : settings.menu) {
        if (std::find(pages.begin(), pages.end(), entry.page) == pages.end() ||
            !placed.insert(entry.page).second || entry.hidden) {
            continue;
        }
        links.push_back(
            {entry.page, entry.text.empty() ? TitleOf(folder, entry.page) : entry.text});
    }
    for (const std::string& page : pages) {
        if (placed.insert(page).second) {
            links.push_back({page, TitleOf(folder, page)});
        }
    }
    return links;
}

std::vector<MenuEditingEntry> SiteMenuForEditing(const std::string& project_folder) {
    const std::string folder = FolderPath(project_folder);
    const std::vector<std::string> pages = ProjectPages(folder);
    const SiteSettings settings = ReadSiteSettings(folder);
    std::vector<MenuEditingEntry> entries;
    std::set<std::string> placed;
    for (const MenuEntry& entry : settings.menu) {
        if (std::find(pages.begin(), pages.end(), entry.page) != pages.end() &&
            placed.insert(entry.page).second) {
            entries.push_back({entry.page, TitleOf(folder, entry.page), entry.text, entry.hidden});
        }
    }
    for (const std::string& page : pages) {
        if (placed.insert(page).second) {
            entries.push_back({page, TitleOf(folder, page), std::string(), false});
        }
    }
    return entries;
}

std::string SiteMenuBody(const std::vector<MenuLink>& links, std::string_view page) {
    std::string items;
    for (const MenuLink& link : links) {
        items += (items.empty() ? "" : "\n") + std::string("<a href=\"") + PageLink(link.page) +
                 "\">" + ContentText(link.text) + "</a>";
    }
    return MarkedMenuBody(BuildComponentBody(kMenuKind, {{"items", items}}), page);
}

std::string MarkedMenuBody(std::string_view body, std::string_view marked) {
    std::string text(body);
    if (marked.empty()) {
        return text;
    }
    const std::string link = "<a href=\"" + PageLink(marked) + "\"";
    const std::size_t at = text.find(link + ">");
    if (at != std::string::npos) {
        text.insert(at + link.size(), " aria-current=\"page\"");
    }
    return text;
}

std::string InsertSiteMenu(Workspace& workspace) {
    RequireOpenPage(workspace);
    const std::vector<MenuLink> links = SiteMenuLinks(workspace.project_folder);
    // The part as the project keeps it marks no page; the copy marks this one.
    const std::string body = SiteMenuBody(links, "");
    WriteSharedPart(workspace.project_folder,
                    {std::string(kSiteMenuPart), std::string(kMenuKind), body});
    return PlaceSharedCopy(workspace, {std::string(kSiteMenuPart), std::string(kMenuKind),
                                       MarkedMenuBody(body, workspace.page_name)});
}

SiteChangeReport RefreshSiteMenuIfAny(Workspace& workspace) {
    if (!workspace.HasProject() ||
        !EntryExists(SharedPartPath(workspace.project_folder, kSiteMenuPart))) {
        return {};
    }
    return RefreshSiteMenu(workspace);
}

SiteChangeReport RefreshSiteMenu(Workspace& workspace) {
    RequireProject(workspace);
    const std::vector<MenuLink> links = SiteMenuLinks(workspace.project_folder);
    WriteSharedPart(workspace.project_folder,
                    {std::string(kSiteMenuPart), std::string(kMenuKind), SiteMenuBody(links, "")});
    return ChangeSitePages(
        workspace, PagesSharing(workspace.project_folder, kSiteMenuPart), "Update Site Menu",
        [&links](const std::string& page, const std::string& text) {
            const std::string body = MarkedMenuBody(SiteMenuBody(links, ""), page);
            std::string changed = text;
            const std::vector<SharedCopy> copies = SharedCopies(text, kSiteMenuPart);
            for (auto it = copies.rbegin(); it != copies.rend(); ++it) {
                changed.replace(it->body_begin, it->body_end - it->body_begin, body);
            }
            return changed;
        });
}

} // namespace qf
