#include "components/builders.h"

#include "error.h"

#include <charconv>

namespace qf::builders {

namespace {

// A row or column count: 0 or less gives one; more than `most` is refused,
// so that a mistyped count cannot build a grid of millions of cells.
int GridCount(const Fields& f, std::string_view field, int most, std::string_view what) {
    const int count = std::stoi(f.Text(field));
    if (count > most) {
        throw CommandError("A data table can have at most " + std::to_string(most) + " " +
                           std::string(what) + ".");
    }
    return count < 1 ? 1 : count;
}

// The row and column of a cell name "cell.R.C".
std::pair<int, int> CellPlace(std::string_view name) {
    int row = 0;
    int column = 0;
    const char* at = name.data() + 5; // behind "cell."
    const char* end = name.data() + name.size();
    at = std::from_chars(at, end, row).ptr + 1;
    std::from_chars(at, end, column);
    return {row, column};
}

} // namespace

std::string DataTableBody(const Fields& f) {
    const int rows = GridCount(f, "rows", kMaxDataTableRows, "rows");
    const int columns = GridCount(f, "cols", kMaxDataTableColumns, "columns");
    for (const std::string& name : f.CellNames()) {
        const auto [row, column] = CellPlace(name);
        if (row > rows || column > columns) {
            throw CommandError("The cell " + name + " lies outside the grid of " +
                               std::to_string(rows) + " row(s) and " + std::to_string(columns) +
                               " column(s).");
        }
    }
    // Opened bold, underline, italic, strike; closed in the reverse order.
    std::string open;
    std::string close;
    for (const auto& [field, tag] : {std::pair{"bold", "b"}, std::pair{"underline", "u"},
                                     std::pair{"italic", "i"}, std::pair{"strikeout", "strike"}}) {
        if (f.Flag(field)) {
            open += "<" + std::string(tag) + ">";
            close.insert(0, "</" + std::string(tag) + ">");
        }
    }
    const std::string spacing =
        " Cellpadding=\"" + f.Text("padding") + "\" Cellspacing=\"" + f.Text("spacing") + "\"";
    const std::string background = f.Flag("bgcolor") ? " bgcolor=\"" : " background=\"";
    // The cells of a header row are header cells (bold and centred by
    // browsers, and read as the columns' names by screen readers).
    const auto cell_open = [&](std::string_view tag) {
        return "<" + std::string(tag) + background + f.Text("background") + "\"" + spacing +
               "><font color=\"" + f.Text("color") + "\"" +
               OptionalAttribute("size", f.Text("size"), "0") + " bordercolor=\"#000000\">" + open;
    };
    const bool header = f.Flag("header");

    std::string body = "<table width=\"" + f.Text("width") + "\"" + spacing + " border=\"" +
                       f.Text("border") + "\" bordercolor=\"#000000\">";
    for (int row = 1; row <= rows; ++row) {
        body += "<tr>";
        const std::string_view tag = header && row == 1 ? "th" : "td";
        for (int column = 1; column <= columns; ++column) {
            body += cell_open(tag) + f.Cell(row, column) + close + "</" + std::string(tag) + ">";
        }
        body += "</tr>";
    }
    return body + "</table>";
}

// A size left at 0 is not written, so the frame takes the browser's own.
std::string FrameBody(const Fields& f) {
    return "<iframe src=\"" + f.Text("src") + "\" align=\"" + f.Text("align") + "\"" +
           SetNumberAttribute(f, "width", "width") + SetNumberAttribute(f, "height", "height") +
           " Frameborder=\"" + (f.Flag("noborder") ? "no" : "yes") + "\" scrolling=\"" +
           (f.Flag("noscroll") ? "no" : "yes") + "\"></iframe>";
}

} // namespace qf::builders
