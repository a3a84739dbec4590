#include "workspace/layout_designer.h"

#include "components/user_text.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "error.h"
#include "workspace/area_editing.h"
#include "workspace/layouts.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <optional>

namespace qf {

namespace {

constexpr std::string_view kSeed =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 "
    "Transitional//EN\"><html><head><title>Welcome to "
    ".....</title></head><body "
    "bgcolor=\"#FFFFFF\" topmargin=\"0\" "
    "leftmargin=\"0\"><!---End_Body---!><!---declare_begin---!><!---////-"
    "--!><!---declare_end---!></body></html>";

// What stands right behind a table's width attribute, and right behind a
// cell's. Typed values enter attributes with their double quotes written as
// &quot;, so neither text can come from a typed value.
constexpr std::string_view kAfterTableWidth = " cellpadding=\"";
constexpr std::string_view kAfterCellWidth = "><img src=\"\" height=\"";
constexpr std::string_view kWidthAttribute = "width=";

// The number of a width attribute that ends at `end`: "width=" and an
// optionally signed run of digits, however long.
struct WidthField {
    std::size_t begin = 0; // first character of the number
    std::size_t end = 0;   // one past its last digit
    long long value = 0;
};

std::optional<WidthField> WidthEndingAt(std::string_view text, std::size_t end) {
    if (end == kNotFound || end > text.size()) {
        return std::nullopt;
    }
    std::size_t begin = end;
    while (begin > 0 && text[begin - 1] >= '0' && text[begin - 1] <= '9') {
        --begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    if (begin > 0 && text[begin - 1] == '-') {
        --begin;
    }
    if (begin < kWidthAttribute.size() ||
        text.substr(begin - kWidthAttribute.size(), kWidthAttribute.size()) != kWidthAttribute) {
        return std::nullopt;
    }
    WidthField field{begin, end, 0};
    const auto [stop, error] = std::from_chars(text.data() + begin, text.data() + end, field.value);
    if (error != std::errc() || stop != text.data() + end) {
        return std::nullopt;
    }
    return field;
}

// The width attribute of the table that starts the block of `name`.
WidthField TableWidth(std::string_view text, std::string_view name) {
    const BlockPosition block = FindBlock(text, name);
    std::optional<WidthField> width;
    if (block.found()) {
        const std::size_t after = text.find(kAfterTableWidth, block.content_begin);
        if (after != kNotFound && after < block.end) {
            width = WidthEndingAt(text, after);
        }
    }
    if (!width) {
        throw CommandError("The width of " + std::string(name) + " cannot be read.");
    }
    return *width;
}

void ReplaceWidth(std::string& text, const WidthField& field, long long value) {
    text.replace(field.begin, field.end - field.begin, std::to_string(value));
}

bool IsTableName(std::string_view name) {
    if (name.size() <= kAreaKind.size() || name.substr(0, kAreaKind.size()) != kAreaKind) {
        return false;
    }
    return std::all_of(name.begin() + kAreaKind.size(), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The top-level table that holds the area `name`: the area itself when it is
// a table of its own, else the table whose row holds its cell.
std::string HoldingTable(std::string_view text, std::string_view name) {
    const std::string end_marker = EndMarker(name);
    if (IsTableName(name)) {
        if (text.find("</table>" + end_marker) != kNotFound) {
            return std::string(name);
        }
        const std::size_t cell_end = text.find("</td>" + end_marker);
        if (cell_end != kNotFound) {
            const std::string row_end = "</table>" + std::string(kMarkerOpen) + "End_";
            const std::size_t holder = text.find(row_end, cell_end);
            const std::size_t word = holder + row_end.size();
            const std::size_t close =
                holder == kNotFound ? kNotFound : text.find(kMarkerClose, word);
            if (close != kNotFound) {
                return std::string(text.substr(word, close - word));
            }
        }
    }
    throw CommandError(std::string(name) + " is not in this layout.");
}

std::string AreaBlockTail(const LayoutArea& area) {
    return " width=" + std::to_string(area.width) + ">" + AreaSpacer(area.height) + "</td>";
}

} // namespace

std::string_view SeedLayout() {
    return kSeed;
}

std::string TopLevelAreaBlock(int number, const LayoutArea& area) {
    const std::string n = std::to_string(number);
    return "<!---Begin_Table" + n + "---!><Table align=\"" + area.align + "\" valign=\"" +
           area.vertical_align +
           "\" border=\"1\" bordercolor=\"#ffffff\" width=" + std::to_string(area.width) +
           " cellpadding=\"" + std::to_string(area.inner_spacing) + "\" cellspacing=\"" +
           std::to_string(area.outer_spacing) +
           "\"><td border=\"1\" bordercolor=\"#000000\" bgcolor=\"#ffffff\"" + AreaBlockTail(area) +
           "</table><!---End_Table" + n + "---!>";
}

std::string AdjacentAreaBlock(int number, const LayoutArea& area) {
    const std::string n = std::to_string(number);
    return "<!---Begin_Table" + n + "---!><td border=\"0\" bordercolor=\"#000000\" " +
           "bgcolor=\"#ffffff\"" + AreaBlockTail(area) + "<!---End_Table" + n + "---!>";
}

LayoutDesigner::LayoutDesigner()
    : LayoutDesigner(static_cast<std::uint32_t>(
          std::chrono::high_resolution_clock::now().time_since_epoch().count())) {}

LayoutDesigner::LayoutDesigner(std::uint32_t seed) : text_(kSeed), random_(seed) {}

std::vector<std::string> LayoutDesigner::TableList() const {
    std::vector<std::string> list{std::string(kNoTable)};
    list.insert(list.end(), tables_.begin(), tables_.end());
    return list;
}

int LayoutDesigner::Commit(const LayoutArea& area) {
    CheckNoMarkerDelimiters("Align", area.align);
    CheckNoMarkerDelimiters("Vertical Align", area.vertical_align);
    LayoutArea page_area = area;
    page_area.align = AttributeText("Align", area.align);
    page_area.vertical_align = AttributeText("Vertical Align", area.vertical_align);

    std::string text = text_;
    const int number = NextDesignerAreaNumber(text);
    const std::string name = AreaName(number);
    AddDeclaration(text, name);
    if (area.under != kNoTable) {
        HoldingTable(text, area.under); // refuses a table that is not in the layout
    }
    if (area.adjacent != kNoTable) {
        // The last cell of the row that holds the chosen area.
        const std::string holder = HoldingTable(text, area.adjacent);
        const WidthField width = TableWidth(text, holder);
        ReplaceWidth(text, width, width.value + area.width);
        text.insert(text.find("</table>" + EndMarker(holder)),
                    AdjacentAreaBlock(number, page_area));
    } else {
        std::size_t at = kNotFound;
        if (area.under == kNoTable) {
            at = text.find("</html>");
            if (at == kNotFound) {
                throw CommandError("This layout has no \"</html>\" to put a table before.");
            }
        } else {
            const std::string end_marker = EndMarker(HoldingTable(text, area.under));
            at = text.find(end_marker) + end_marker.size();
        }
        text.insert(at, TopLevelAreaBlock(number, page_area));
    }
    text_ = std::move(text);
    tables_.push_back(name);
    return number;
}

int LayoutDesigner::ReplacementNumber(std::string_view text) {
    // Three random digits from 0 to 8, as the designer always drew them; a
    // number some marker already uses is drawn again.
    std::uniform_int_distribution<int> digit(0, 8);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int number = digit(random_) * 100 + digit(random_) * 10 + digit(random_);
        if (!MarkerNameInUse(text, AreaName(number))) {
            return number;
        }
    }
    int number = 1;
    while (MarkerNameInUse(text, AreaName(number))) {
        ++number;
    }
    return number;
}

void LayoutDesigner::Delete(std::string_view name) {
    if (name == kNoTable) {
        return;
    }
    std::string text = text_;
    const bool declared = RemoveDeclaration(text, name);
    const BlockPosition block = FindBlock(text, name);
    if (!declared && !block.found()) {
        throw CommandError(std::string(name) + " is not in this layout.");
    }
    if (block.found()) {
        const std::size_t inner = text.find("Begin_Table", block.content_begin);
        if (inner != kNotFound && inner < block.end) {
            // A table whose row holds adjacent areas: it stays for them and
            // loses its own first cell and that cell's width.
            const std::size_t cell = text.find("<td ", block.content_begin);
            const std::size_t cell_close = cell == kNotFound ? kNotFound : text.find("</td>", cell);
            const std::size_t cell_width_end =
                cell == kNotFound ? kNotFound : text.find(kAfterCellWidth, cell);
            std::optional<WidthField> cell_width;
            if (cell_close != kNotFound && cell_close < inner && cell_width_end < cell_close) {
                cell_width = WidthEndingAt(text, cell_width_end);
            }
            if (!cell_width) {
                throw CommandError("The width of " + std::string(name) + "'s cell cannot be read.");
            }
            const WidthField table_width = TableWidth(text, name);
            const std::string replacement = AreaName(ReplacementNumber(text));
            // From the back, so that the earlier positions stay valid.
            text.replace(block.end, EndMarker(name).size(), EndMarker(replacement));
            text.erase(cell, cell_close + 5 - cell);
            ReplaceWidth(text, table_width, table_width.value - cell_width->value);
            text.replace(block.begin, BeginMarker(name).size(), BeginMarker(replacement));
        } else {
            text.erase(block.begin, block.block_end - block.begin);
        }
    }
    text_ = std::move(text);
    tables_.erase(std::remove(tables_.begin(), tables_.end(), name), tables_.end());
}

int LayoutDesigner::Save(const std::string& app_folder) const {
    return SaveLayout(app_folder, text_);
}

std::string LayoutDesigner::WritePreview(const std::string& app_folder) const {
    return WriteLayoutPreview(app_folder, text_, "lay01.html");
}

} // namespace qf
