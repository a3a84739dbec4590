#include "site/site_settings.h"

#include "document/file_io.h"
#include "error.h"
#include "site/site_style.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <cctype>

namespace qf {

namespace {

constexpr std::size_t kLongestValue = 200;

std::string Folder(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

void CheckLine(std::string_view field, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        throw CommandError("The site's " + std::string(field) + " must be a single line");
    }
    if (value.size() > kLongestValue) {
        throw CommandError("The site's " + std::string(field) + " may have at most " +
                           std::to_string(kLongestValue) + " characters");
    }
}

} // namespace

bool IsLanguageTag(std::string_view tag) {
    std::size_t start = 0;
    bool first = true;
    while (start <= tag.size()) {
        std::size_t end = tag.find('-', start);
        if (end == std::string_view::npos) {
            end = tag.size();
        }
        const std::string_view part = tag.substr(start, end - start);
        if (part.empty() || part.size() > 8) {
            return false;
        }
        for (const char c : part) {
            const bool letter = std::isalpha(static_cast<unsigned char>(c)) != 0;
            if (!letter && (first || std::isdigit(static_cast<unsigned char>(c)) == 0)) {
                return false;
            }
        }
        if (first && (part.size() < 2 || part.size() > 3)) {
            return false;
        }
        first = false;
        start = end + 1;
    }
    return !first;
}

std::string DesktopLanguage() {
    const QString tag = QLocale::system().bcp47Name();
    return tag.isEmpty() || tag == "C" || !IsLanguageTag(tag.toStdString()) ? "en"
                                                                            : tag.toStdString();
}

SiteSettings ReadSiteSettings(const std::string& project_folder) {
    SiteSettings settings;
    const std::string path = Folder(project_folder) + std::string(kSiteSettingsFileName);
    if (!EntryExists(path)) {
        return settings;
    }
    const std::string text = ReadRegularFile(path);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string::npos) {
            continue;
        }
        try {
            settings = WithSiteSetting(settings, line.substr(0, equals), line.substr(equals + 1));
        } catch (const CommandError&) {
            // a line of a later version, or edited by hand: passed over
        }
    }
    return settings;
}

SiteSettings WithSiteSetting(SiteSettings settings, std::string_view field,
                             std::string_view value) {
    if (field == "name") {
        settings.name = value;
    } else if (field == "address") {
        settings.address = value;
    } else if (field == "language") {
        settings.language = value;
    } else if (field == "icon") {
        settings.icon = value;
    } else if (field == "moved") {
        const std::size_t tab = value.find('\t');
        if (tab == std::string_view::npos || tab == 0 || tab + 1 == value.size()) {
            throw CommandError("moved must be the old and the new page name, a tab between them");
        }
        NotePageMoved(settings, std::string(value.substr(0, tab)),
                      std::string(value.substr(tab + 1)));
    } else if (field == "menu") {
        if (value.empty()) {
            settings.menu.clear();
            return settings;
        }
        MenuEntry entry;
        const std::size_t tab = value.find('\t');
        entry.page = std::string(value.substr(0, tab));
        if (tab != std::string_view::npos) {
            const std::string_view rest = value.substr(tab + 1);
            const std::size_t second = rest.find('\t');
            entry.text = std::string(rest.substr(0, second));
            if (second != std::string_view::npos) {
                const std::string_view hidden = rest.substr(second + 1);
                if (hidden != "0" && hidden != "1") {
                    throw CommandError("A menu entry is PAGE, its text and 1 (hidden) or 0, tabs "
                                       "between them");
                }
                entry.hidden = hidden == "1";
            }
        }
        if (entry.page.empty() || entry.page.find('/') != std::string::npos) {
            throw CommandError("A menu entry names a page of the project: \"" + entry.page + "\"");
        }
        auto& menu = settings.menu;
        menu.erase(std::remove_if(menu.begin(), menu.end(),
                                  [&](const MenuEntry& e) { return e.page == entry.page; }),
                   menu.end());
        menu.push_back(std::move(entry));
    } else if (field == "style") {
        StyleWith(value, {}); // a style that is there
        if (value != settings.style) {
            settings.style_values.clear();
        }
        settings.style = value == kClassicStyle ? std::string() : std::string(value);
    } else if (field.rfind("style.", 0) == 0) {
        const std::string name(field.substr(6));
        auto& values = settings.style_values;
        values.erase(std::remove_if(values.begin(), values.end(),
                                    [&](const auto& entry) { return entry.first == name; }),
                     values.end());
        if (!value.empty()) {
            StyleWith(std::string(kClassicStyle), {{name, std::string(value)}}); // checked
            values.emplace_back(name, std::string(value));
        }
    } else if (field == "index") {
        if (value != "0" && value != "1") {
            throw CommandError("index must be 1 (search engines may index the site) or 0");
        }
        settings.index = value == "1";
    } else {
        throw CommandError(
            "'" + std::string(field) +
            "' is not a site setting (name, address, language, icon, index, menu, style, "
            "style.FIELD)");
    }
    return settings;
}

SiteSettings CheckedSiteSettings(SiteSettings settings, const std::string& project_folder) {
    CheckLine("name", settings.name);
    CheckLine("address", settings.address);
    CheckLine("language", settings.language);
    CheckLine("icon", settings.icon);
    for (const auto& [from, to] : settings.moved) {
        if ((from + to).find_first_of("\t\r\n") != std::string::npos) {
            throw CommandError("A renamed page's name must be a single line without tabs");
        }
    }
    for (const MenuEntry& entry : settings.menu) {
        if ((entry.page + entry.text).find_first_of("\t\r\n") != std::string::npos ||
            entry.text.size() > 200) {
            throw CommandError("A menu entry's page and text must be single lines without tabs "
                               "(the text at most 200 characters)");
        }
    }
    if (!settings.address.empty()) {
        const QUrl url(QString::fromStdString(settings.address), QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty() ||
            url.hasQuery() || url.hasFragment() ||
            settings.address.find_first_of(" \t\"<>") != std::string::npos) {
            throw CommandError("The site's address \"" + settings.address +
                               "\" is no web address: give it as https://example.org/");
        }
        if (settings.address.back() != '/') {
            settings.address += '/';
        }
    }
    StyleOf(settings); // a style that is there, and values it takes
    if (!settings.language.empty() && !IsLanguageTag(settings.language)) {
        throw CommandError("The site's language \"" + settings.language +
                           "\" is no language tag: give it as en, de or de-CH");
    }
    if (!settings.icon.empty()) {
        const QString project =
            QFileInfo(QFile::decodeName(Folder(project_folder).c_str())).canonicalFilePath();
        // Chosen in a file dialog, it is a full path; typed, relative to the project.
        const std::string full =
            settings.icon.front() == '/' ? settings.icon : Folder(project_folder) + settings.icon;
        const QString icon = QFileInfo(QFile::decodeName(full.c_str())).canonicalFilePath();
        if (icon.isEmpty() || !icon.startsWith(project + "/") || !QFileInfo(icon).isFile()) {
            throw CommandError("The site's icon \"" + settings.icon +
                               "\" is no picture of the project: choose one inside it");
        }
        settings.icon = QFile::encodeName(QDir(project).relativeFilePath(icon)).toStdString();
    }
    return settings;
}

std::string SiteSettingsText(const SiteSettings& settings) {
    std::string text = "name=" + settings.name + "\naddress=" + settings.address +
                       "\nlanguage=" + settings.language + "\nicon=" + settings.icon +
                       "\nindex=" + (settings.index ? "1" : "0") + "\n";
    for (const auto& [from, to] : settings.moved) {
        text += "moved=" + from + "\t" + to + "\n";
    }
    if (!settings.style.empty()) {
        text += "style=" + settings.style + "\n";
    }
    for (const auto& [name, value] : settings.style_values) {
        text += "style." + name + "=" + value + "\n";
    }
    for (const MenuEntry& entry : settings.menu) {
        text += "menu=" + entry.page + "\t" + entry.text + "\t" + (entry.hidden ? "1" : "0") + "\n";
    }
    return text;
}

void NotePageMoved(SiteSettings& settings, const std::string& from, const std::string& to) {
    auto& moved = settings.moved;
    moved.erase(
        std::remove_if(moved.begin(), moved.end(),
                       [&](const auto& entry) { return entry.first == to || entry.first == from; }),
        moved.end());
    for (auto& entry : moved) {
        if (entry.second == from) {
            entry.second = to;
        }
    }
    moved.emplace_back(from, to);
    // The menu keeps the page's place under its new name.
    for (MenuEntry& entry : settings.menu) {
        if (entry.page == from) {
            entry.page = to;
        }
    }
}

void WriteSiteSettings(const std::string& project_folder, const SiteSettings& settings) {
    const SiteSettings checked = CheckedSiteSettings(settings, project_folder);
    WriteFileAtomically(Folder(project_folder) + std::string(kSiteSettingsFileName),
                        "# The site's settings, written by Quenfort Website Developer\n" +
                            SiteSettingsText(checked));
}

} // namespace qf
