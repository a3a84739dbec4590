#include "workspace/new_page.h"

#include "components/page_properties.h"
#include "components/small_screens.h"
#include "components/user_text.h"
#include "document/file_io.h"
#include "document/page_file.h"
#include "error.h"
#include "workspace/area_editing.h"
#include "workspace/layouts.h"

#include <algorithm>
#include <cctype>

namespace qf {

namespace {

constexpr std::string_view kHtmlSuffix = ".html";

bool EndsWithHtml(std::string_view name) {
    if (name.size() < kHtmlSuffix.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - kHtmlSuffix.size());
    return std::equal(tail.begin(), tail.end(), kHtmlSuffix.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

// A control character of ASCII, or one of the C1 controls (U+0080 to U+009F)
// written in UTF-8.
bool HasControlCharacter(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c < 0x20 || c == 0x7F || c1) {
            return true;
        }
    }
    return false;
}

void CheckHeaderAndBackground(const NewPageProperties& properties) {
    CheckTitleText("Header", properties.header);
    CheckNoMarkerDelimiters("Background", properties.background);
    if (properties.background.find_first_of("\r\n") != std::string::npos) {
        throw CommandError("Background must be a single line");
    }
}

} // namespace

std::string NewPageFileName(std::string_view name) {
    const bool typed_suffix = EndsWithHtml(name);
    const std::string_view stem =
        typed_suffix ? name.substr(0, name.size() - kHtmlSuffix.size()) : name;
    if (IsBlank(stem)) {
        throw CommandError("Please enter a name for the new page.");
    }
    if (name.find('/') != std::string_view::npos) {
        throw CommandError("A page name cannot contain \"/\": " + std::string(name));
    }
    // A name starting with "." makes a hidden file the page list never shows.
    if (name.front() == '.') {
        throw CommandError("A page name cannot start with \".\": " + std::string(name));
    }
    if (HasControlCharacter(name)) {
        throw CommandError("A page name cannot contain control characters such as tabs or line "
                           "breaks.");
    }
    return typed_suffix ? std::string(name) : std::string(name) + std::string(kHtmlSuffix);
}

std::string NewPageBodyAttributes(std::string_view background, int border) {
    const std::string margins = " topmargin=\"" + std::to_string(border) + "\" leftmargin=\"" +
                                std::to_string(border) + "\"";
    if (background.empty()) {
        return margins;
    }
    const std::string attribute = background.front() == '#' ? " bgcolor=\"" : " background=\"";
    return attribute + std::string(background) + "\"" + margins;
}

void CheckNewPageProperties(const NewPageProperties& properties) {
    NewPageFileName(properties.name);
    CheckHeaderAndBackground(properties);
}

std::string PageTextFromLayout(std::string_view layout_text, const NewPageProperties& properties) {
    CheckHeaderAndBackground(properties);
    const std::string header = PageText("Header", properties.header);
    const std::string background = AttributeText("Background", properties.background);

    std::string text(layout_text);
    const std::size_t body = BodyTagStart(text);
    if (body == std::string::npos) {
        throw CommandError("This layout has no body tag (\"<body\"), so no page can be made "
                           "from it.");
    }
    text.insert(body + 5, NewPageBodyAttributes(background, properties.border));

    const std::size_t title = text.find("<title>");
    const std::size_t title_end = text.find("</title>");
    if (title == std::string::npos || title_end == std::string::npos || title_end < title + 7) {
        throw CommandError("This layout has no title (\"<title>\" ... \"</title>\"), so no page "
                           "can be made from it.");
    }
    text.replace(title + 7, title_end - title - 7, header);
    // Layouts written before spacers took no room get them so in the page.
    text = WithStandingSpacers(text);
    return properties.fit_small_screens ? WithSmallScreenFit(text, true) : text;
}

bool NewPageExists(const Workspace& workspace, std::string_view name) {
    // Any entry of that name counts, a symbolic link to nothing included.
    return EntryExists(workspace.project_folder + NewPageFileName(name));
}

std::string CreatePageFromLayout(Workspace& workspace, const NewPageProperties& properties,
                                 int layout, ExistingPage existing) {
    RequireProject(workspace);
    const std::string file_name = NewPageFileName(properties.name);
    const std::string path = workspace.project_folder + file_name;
    if (existing == ExistingPage::Refuse && EntryExists(path)) {
        throw CommandError("The page " + file_name + " already exists in this project.");
    }
    std::string text = PageTextFromLayout(ReadLayout(workspace.app_folder, layout), properties);
    try {
        WriteNewPage(workspace, path, std::move(text), existing == ExistingPage::Replace);
    } catch (const NotDurableError&) {
        // Made and open, but perhaps not for good: said all the same.
        workspace.pending = {properties.header, properties.background, properties.border,
                             properties.name};
        throw;
    }
    workspace.pending = {properties.header, properties.background, properties.border,
                         properties.name};
    return file_name;
}

} // namespace qf
