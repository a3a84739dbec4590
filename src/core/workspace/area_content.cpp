#include "workspace/area_content.h"

#include "components/insertion.h"
#include "components/user_text.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "error.h"
#include "workspace/area_editing.h"
#include "workspace/component_editing.h"
#include "workspace/workspace.h"

#include <algorithm>
#include <limits>

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
    CommitInsertions(
        workspace, {{AreaInsertPoint(workspace.page_text, area), std::string(content)}}, step_name);
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

namespace {

// What a platform inserts, at positions in the page as it stands: each
// declaration where the separator stands, the new areas in decreasing order
// in front of it, and the platform at the area's insertion point.
std::vector<TextInsertion> PlatformInsertions(std::string_view page, int area, int count, int width,
                                              int height, std::vector<int>& numbers) {
    if (count < kMinPlatformAreas || count > kMaxPlatformAreas) {
        throw CommandError("Adjacent Tables must be from " + std::to_string(kMinPlatformAreas) +
                           " to " + std::to_string(kMaxPlatformAreas) + ", not " +
                           std::to_string(count) + ".");
    }
    numbers = NextPlatformAreaNumbers(page, count);
    const std::size_t point = AreaInsertPoint(page, area); // refuses a missing area first
    const std::size_t separator = DeclarationSeparator(page);
    std::vector<TextInsertion> insertions;
    for (auto m = numbers.rbegin(); m != numbers.rend(); ++m) {
        insertions.push_back({separator, DeclarationMarker(AreaName(*m))});
    }
    insertions.push_back({point, PlatformText(numbers, width, height)});
    return insertions;
}

} // namespace

std::vector<int> AddPlatform(std::string& page, int area, int count, int width, int height) {
    std::vector<int> numbers;
    std::vector<TextInsertion> insertions =
        PlatformInsertions(page, area, count, width, height, numbers);
    std::stable_sort(insertions.begin(), insertions.end(),
                     [](const TextInsertion& a, const TextInsertion& b) { return a.at < b.at; });
    // From the last, so the earlier positions stay where they are; at one
    // position the one given first comes first.
    for (auto it = insertions.rbegin(); it != insertions.rend(); ++it) {
        page.insert(it->at, it->text);
    }
    return numbers;
}

int ProposedPlatformWidth(std::string_view page, int area, int count) {
    if (count < 1) {
        return 0;
    }
    try {
        return std::max(0, ReadArea(page, area).fields.width / count);
    } catch (const CommandError&) {
        return 0; // an area of no shape the editor writes: nothing to propose
    }
}

int ProportionalHeight(PictureSize shape, int width) {
    if (shape.width <= 0 || shape.height <= 0 || width <= 0) {
        return 0;
    }
    const long long scaled = (2LL * width * shape.height + shape.width) / (2LL * shape.width);
    return int(std::clamp<long long>(scaled, 1, std::numeric_limits<int>::max()));
}

int ProportionalWidth(PictureSize shape, int height) {
    return ProportionalHeight(PictureSize{shape.height, shape.width}, height);
}

PictureSize OfferedPictureSize(std::string_view page, int area, PictureSize real) {
    if (real.width <= 0 || real.height <= 0) {
        return real;
    }
    int area_width = 0;
    try {
        area_width = ReadArea(page, area).fields.width;
    } catch (const CommandError&) {
        return real; // an area of no shape the editor writes: the picture as it is
    }
    if (area_width <= 0 || real.width <= area_width) {
        return real;
    }
    return PictureSize{area_width, ProportionalHeight(real, area_width)};
}

std::vector<std::string> InsertPlatform(Workspace& workspace, int count, int width, int height) {
    const int area = SelectedArea(workspace);
    if (width <= 0) {
        // Areas of no width lie on top of each other.
        throw CommandError("Give the areas of the platform a width of at least 1 pixel (the area's "
                           "width divided by their number fills it)");
    }
    std::vector<int> numbers;
    CommitInsertions(workspace,
                     PlatformInsertions(workspace.page_text, area, count, width, height, numbers),
                     "Platform");
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

std::string InsertHtmlComponent(Workspace& workspace, std::string_view typed) {
    HtmlCodeBytes(typed); // refused as bare code is, in the same words
    return InsertComponent(workspace, "Html_Code", {{"code", std::string(typed)}});
}

void InsertHtml(Workspace& workspace, std::string_view typed) {
    SelectedArea(workspace);
    InsertIntoSelectedArea(workspace, HtmlCodeBytes(typed), "HTML Code");
}

} // namespace qf
