#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// The layout every design starts from, and the text of a layout without areas.
std::string_view SeedLayout();

// The entry of the designer's table lists that names no table.
inline constexpr std::string_view kNoTable = "NONE";

// One area as the designer's fields give it. Align and vertical align are
// typed text; under and adjacent are "NONE" or a table's name ("Table3").
struct LayoutArea {
    int width = 0;
    int height = 0;
    int inner_spacing = 0; // cellpadding
    int outer_spacing = 0; // cellspacing
    std::string align;
    std::string vertical_align;
    std::string under{kNoTable};
    std::string adjacent{kNoTable};
};

// The block of a new top-level area: a table of one cell that holds a spacer
// image `height` high. `align` and `vertical_align` are page text.
std::string TopLevelAreaBlock(int number, const LayoutArea& area);
// The block of an area placed next to another: one further cell of its row.
std::string AdjacentAreaBlock(int number, const LayoutArea& area);

// The layout designer's working text and its steps. Each step either changes
// the text completely or throws CommandError and changes nothing.
class LayoutDesigner {
public:
    // Starts from the seed layout; the replacement numbers of deleted tables
    // are drawn from a generator seeded from the clock, or from `seed`.
    LayoutDesigner();
    explicit LayoutDesigner(std::uint32_t seed);

    const std::string& Text() const { return text_; }

    // "NONE" followed by every table committed since the designer opened and
    // not deleted, in the order committed: the entries of each table list.
    std::vector<std::string> TableList() const;

    // Adds an area and returns its number. With `adjacent` naming a table the
    // area becomes the last cell of the row that holds that table, and the
    // row's table grows by the area's width. Otherwise it becomes a table of
    // its own: directly behind the table named by `under`, or behind every
    // area when `under` is "NONE". Refuses a table named in `under` or
    // `adjacent` that is not in the layout, also when both are given.
    int Commit(const LayoutArea& area);

    // Deletes the table `name` ("NONE" does nothing): its declaration and its
    // block. A top-level table that holds adjacent areas keeps its table for
    // them: it loses only its own cell and its width, and its markers take a
    // number that no marker in the text uses, so it is no longer an area.
    // Refuses a table that the layout neither declares nor holds.
    void Delete(std::string_view name);

    // Saves the working text as the next layout file; returns its number.
    int Save(const std::string& app_folder) const;

    // Writes the working text's preview (LayoutPreviewText) to the preview
    // file and returns the file's path.
    std::string WritePreview(const std::string& app_folder) const;

private:
    int ReplacementNumber(std::string_view text);

    std::string text_;
    std::vector<std::string> tables_;
    std::mt19937 random_;
};

} // namespace qf
