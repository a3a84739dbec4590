#include "workspace/area_content.h"

#include "components/user_text.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "error.h"
#include "workspace/area_editing.h"
#include "workspace/component_editing.h"
#include "workspace/workspace.h"

namespace qf {

namespace {

// The area named by the Select Area text, checked against the page.
int SelectedArea(const Workspace& workspace) {
    RequireOpenPage(workspace);
    const std::optional<int> area =
        SelectedAreaOnPage(workspace.page_text, workspace.area_list.text);
    if (!area) {
        throw CommandError(std::string(kNeedAreaMessage));
    }
    return *area;
}

void InsertIntoSelectedArea(Workspace& workspace, std::string_view content,
                            std::string_view step_name) {
    const int area = SelectedArea(workspace);
    std::string page = workspace.page_text;
    page.insert(AreaInsertPoint(page, area), content);
    CommitPageText(workspace, std::move(page), step_name);
}

} // namespace

std::string PlatformText(const std::vector<int>& numbers, int width, int height) {
    const std::string w = std::to_string(width);
    std::string text = "<Table width=\"" + std::to_string((long long)numbers.size() * width) +
                       "\" cellpadding=\"0\" cellspacing=\"0\" border=\"0\"><tr>";
    for (const int m : numbers) {
        const std::string name = AreaName(m);
        text +=
            BeginMarker(name) +
            "<Table align=\"left\" valign=\"top\" border=\"1\" bordercolor=\"#ffffff\" width=" + w +
            " cellpadding=\"0\" cellspacing=\"0\">" +
            "<td border=\"1\" bordercolor=\"#000000\" bgcolor=\"#ffffff\" width=" + w + ">" +
            AreaSpacer(height) + "</td></table>" + EndMarker(name);
    }
    return text + "</tr></table>";
}

std::vector<int> AddPlatform(std::string& page, int area, int count, int width, int height) {
    if (count < kMinPlatformAreas || count > kMaxPlatformAreas) {
        throw CommandError("Adjacent Tables must be from " + std::to_string(kMinPlatformAreas) +
                           " to " + std::to_string(kMaxPlatformAreas) + ", not " +
                           std::to_string(count) + ".");
    }
    std::string text = page;
    const std::vector<int> numbers = NextPlatformAreaNumbers(text, count);
    AreaInsertPoint(text, area); // refuses a missing area before anything changes
    const std::size_t separator = text.find(kDeclarationSeparator);
    if (separator == kNotFound) {
        AddDeclaration(text, AreaName(numbers.front())); // refuses with its own message
    }
    // Each declaration goes where the separator stood before the first, so the
    // new areas stand in decreasing order in front of it.
    for (const int m : numbers) {
        text.insert(separator, DeclarationMarker(AreaName(m)));
    }
    text.insert(AreaInsertPoint(text, area), PlatformText(numbers, width, height));
    page = std::move(text);
    return numbers;
}

std::vector<std::string> InsertPlatform(Workspace& workspace, int count, int width, int height) {
    const int area = SelectedArea(workspace);
    std::string page = workspace.page_text;
    const std::vector<int> numbers = AddPlatform(page, area, count, width, height);
    CommitPageText(workspace, std::move(page), "Platform");
    std::vector<std::string> entries;
    for (const int m : numbers) {
        entries.push_back("Area" + std::to_string(m));
        workspace.area_list.entries.push_back(entries.back());
    }
    return entries;
}

void InsertLineBreak(Workspace& workspace) {
    InsertIntoSelectedArea(workspace, "<br>", "Line Break");
}

std::string HtmlCodeBytes(std::string_view typed) {
    const std::string kept = KeptLineBreaks(typed);
    constexpr std::string_view kField = "The HTML code";
    CheckNoMarkerDelimiters(kField, kept);
    return PageText(kField, kept);
}

void InsertHtml(Workspace& workspace, std::string_view typed) {
    SelectedArea(workspace);
    InsertIntoSelectedArea(workspace, HtmlCodeBytes(typed), "HTML Code");
}

} // namespace qf
