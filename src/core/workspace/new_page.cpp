#include "workspace/new_page.h"

#include "components/user_text.h"
#include "document/page_file.h"
#include "error.h"
#include "workspace/layouts.h"

#include <QFileInfo>

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

std::string PageTextFromLayout(std::string_view layout_text, const NewPageProperties& properties) {
    CheckNoMarkerDelimiters("Header", properties.header);
    CheckNoMarkerDelimiters("Background", properties.background);
    const std::string header = PageText("Header", properties.header);
    const std::string background = AttributeText("Background", properties.background);

    std::string text(layout_text);
    const std::size_t body = text.find("<body");
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
    return text;
}

bool NewPageExists(const Workspace& workspace, std::string_view name) {
    return QFileInfo::exists(
        QString::fromStdString(workspace.project_folder + NewPageFileName(name)));
}

std::string CreatePageFromLayout(Workspace& workspace, const NewPageProperties& properties,
                                 int layout, ExistingPage existing) {
    RequireProject(workspace);
    const std::string file_name = NewPageFileName(properties.name);
    const std::string path = workspace.project_folder + file_name;
    if (existing == ExistingPage::Refuse && QFileInfo::exists(QString::fromStdString(path))) {
        throw CommandError("The page " + file_name + " already exists in this project.");
    }
    const std::string text =
        PageTextFromLayout(ReadLayout(workspace.app_folder, layout), properties);
    WritePageFile(path, text);
    OpenPage(workspace, path);
    workspace.pending = {properties.header, properties.background, properties.border,
                         properties.name};
    return file_name;
}

} // namespace qf
