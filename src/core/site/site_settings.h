#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qf {

// One page of the site menu as the user set it.
struct MenuEntry {
    std::string page; // its file name: "about.html"
    std::string text; // the link's text; empty: the page's title
    bool hidden = false;
};

// What the editor knows of the site as a whole: kept in one small hidden
// file of the project (publishing never sends hidden files), read by the
// rendering of every page.
struct SiteSettings {
    std::string name;     // the site's name, as typed (UTF-8)
    std::string address;  // where it is published: "https://example.org/"; empty: not known
    std::string language; // a BCP 47 tag ("en", "de-CH"); empty: the desktop's
    std::string icon;     // a picture of the project, relative to it; empty: none
    bool index = true;    // search engines may index the site
    // Pages renamed in the editor: each old name and the name it was given,
    // so the published site sends visitors on from the old address.
    std::vector<std::pair<std::string, std::string>> moved;
    // The site menu's pages in the order set; the project's other pages
    // follow them (see SiteMenuLinks).
    std::vector<MenuEntry> menu;
    // The site style (see site_style.h): a built-in style's name (empty:
    // "Classic", the pages as designed) and the values set over it.
    std::string style;
    std::vector<std::pair<std::string, std::string>> style_values;
};

// Notes that page `from` was renamed to `to`: a page moved to `from` before
// now goes on to `to`, and a name that is a page again is no longer moved.
void NotePageMoved(SiteSettings& settings, const std::string& from, const std::string& to);

// The settings file's name in the project folder.
inline constexpr std::string_view kSiteSettingsFileName = ".quenfort-site";

// The settings of the project at `project_folder` (ending in "/"); the
// defaults when it has none. Throws CommandError when the file cannot be
// read; lines it does not know are passed over.
SiteSettings ReadSiteSettings(const std::string& project_folder);

// Refuses, with CommandError saying which and why, settings that cannot be
// used: an address that is no http:// or https:// address of a host, a
// language that is no BCP 47 tag, an icon outside the project or missing, a
// name or value with a line break or over 200 characters. An address is
// kept ending in "/".
SiteSettings CheckedSiteSettings(SiteSettings settings, const std::string& project_folder);

// Writes the settings (checked first) atomically; nothing changes on a
// refusal or a failed write.
void WriteSiteSettings(const std::string& project_folder, const SiteSettings& settings);

// The settings with FIELD=VALUE changes (name, address, language, icon,
// index=0|1; moved=OLD<tab>NEW adds a renamed page; menu=PAGE[<tab>TEXT
// [<tab>0|1]] puts the page last in the menu, with its link text and
// whether it is hidden, and an empty menu= forgets the order; style=NAME
// chooses a built-in style and forgets the values set over the one before;
// style.FIELD=VALUE sets one of its values, an empty VALUE takes it back)
// applied;
// CommandError for a field it does not know.
SiteSettings WithSiteSetting(SiteSettings settings, std::string_view field, std::string_view value);

// The settings as FIELD=VALUE lines, in the order above.
std::string SiteSettingsText(const SiteSettings& settings);

// True for a language tag as BCP 47 writes it: a language of 2 or 3
// letters, then subtags of 1 to 8 letters or digits, joined by "-".
bool IsLanguageTag(std::string_view tag);

// The desktop's language as a BCP 47 tag ("en" when it names none).
std::string DesktopLanguage();

} // namespace qf
