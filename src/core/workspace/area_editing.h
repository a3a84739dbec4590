#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct Workspace;

inline constexpr std::string_view kNeedAreaToEditMessage = "Please Select an Area";

// The number of the area that Modify and Delete act on, from a Select Area
// text. Throws CommandError "Please Select an Area" unless the text begins
// with "A", and the invalid-integer message when it ends in no number.
int AreaToEdit(std::string_view area_text);

// The two shapes of area content the editor writes: its own table holding one
// cell (a layout's top-level area or a platform's area), or a cell placed
// beside another area inside that area's table. A cell has no table of its
// own, hence no spacings and no alignment.
enum class AreaShape { Table, Cell };

// The fields of an area as they stand in its tags. Texts are page bytes.
struct AreaFields {
    int width = 0;  // the area's own cell
    int height = 0; // the spacer picture that keeps the cell open
    int inner = 0;  // cellpadding
    int outer = 0;  // cellspacing
    std::string align;
    std::string valign;
    std::string background;    // the cell's bgcolor
    std::string border_colour; // the cell's bordercolor
};

struct AreaReading {
    AreaShape shape = AreaShape::Table;
    AreaFields fields;
};

// Reads the fields of area `area` from its own tags: every attribute is found
// by name in the tag it belongs to and read whole, whatever its length.
// Throws CommandError, naming the area, when the area is not on the page or
// its content is of no shape the editor writes (a tag or attribute missing, a
// number that is not a whole number).
AreaReading ReadArea(std::string_view page, int area);

// What Modify changes: a field left empty keeps the value read from the page.
// Texts are as typed (UTF-8); they enter the page as ASCII with character
// references, a double quote as &quot;.
struct AreaChanges {
    std::optional<int> width = std::nullopt;
    std::optional<int> height = std::nullopt;
    std::optional<int> inner = std::nullopt;
    std::optional<int> outer = std::nullopt;
    std::optional<std::string> align = std::nullopt;
    std::optional<std::string> valign = std::nullopt;
    std::optional<std::string> background = std::nullopt;
    std::optional<std::string> border_colour = std::nullopt;
};

// The page text with area `area` modified. Width goes into the cell and into
// the area's own table, which grows or shrinks by as much as the cell (so a
// table that also holds cells beside its own keeps their share); nothing
// outside the area's own tags changes. A cell refuses spacings and alignment.
// Throws CommandError as ReadArea does, and for a text holding the marker
// delimiters.
std::string ModifiedAreaText(std::string_view page, int area, const AreaChanges& changes);

// Modify Selected Area on the workspace: the area named by the Select Area
// text, the page file written and only then the page text taken. The
// selection lists stay as they are.
void ModifyArea(Workspace& workspace, const AreaChanges& changes);

// What deleting an area takes away: the page without the area's block and
// without the declarations of the area and of every area and component that
// stood inside it, and the selection-list entries of all of them.
struct AreaDeletion {
    std::string page;
    std::vector<std::string> area_entries;      // "Area2", then nested areas
    std::vector<std::string> component_entries; // "Image1", ...
};

// Throws CommandError when the page has neither the area's declaration nor
// its block.
AreaDeletion DeletedAreaText(std::string_view page, int area);

// The spacer picture that keeps an area's cell open at `height`: an empty
// picture floated left, without width and without the space browsers put
// beside a floated picture, so content as wide as the cell stands at its top
// beside it instead of below it.
std::string AreaSpacer(int height);

// A layout or page text whose areas' spacer pictures take no room beside
// them, as AreaSpacer writes them: the width of every area's spacer (an empty
// picture at the start of the area's cell) becomes 0 and its hspace 0, its
// height and everything else staying as they are. Areas of other shapes are
// left alone.
std::string WithStandingSpacers(std::string_view text);

// Delete Selected Area on the workspace: the page written, then the text and
// both lists taken; a list whose text named a removed entry shows its prompt
// again. Returns what was removed.
AreaDeletion DeleteArea(Workspace& workspace);

} // namespace qf
