#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// One of the two drop-down lists beside the preview: its entries and the text
// shown in its editable field. Clearing the entries leaves the text alone.
struct SelectionList {
    std::vector<std::string> entries;
    std::string text;

    void Remove(std::string_view entry);
};

inline constexpr std::string_view kSelectAreaText = "Select Area";
inline constexpr std::string_view kSelectComponentText = "Select Component";

// The trailing instance number of a list text: the last three characters if
// the third from the end is a digit, else the last two if the second from the
// end is, else the last one. Throws CommandError
// "'" + text + "' is not a valid integer value" when those are not all digits.
int TrailingNumber(std::string_view text);

// The entries a rebuild gives: "Area" + n for every area declaration, and
// display name + n for every listed component declaration, in block order.
std::vector<std::string> AreaEntries(std::string_view page);
std::vector<std::string> ComponentEntries(std::string_view page);

// Both lists' entries, from one reading of the declaration block; the texts
// shown stay.
void RebuildSelectionLists(SelectionList& areas, SelectionList& components, std::string_view page);

// Once another page is open, a shown text that is none of the list's entries
// goes back to `prompt` ("Select Area"), so no list names what the page does
// not hold.
void ForgetStaleText(SelectionList& list, std::string_view prompt);

// The area named by a Select Area text: nothing unless the text begins with
// "A"; throws the invalid-integer CommandError when it does but has no number.
std::optional<int> SelectedAreaNumber(std::string_view area_text);

// SelectedAreaNumber, checked against `page` as a command that puts content
// into the area checks it: nothing when no area is selected; throws the
// invalid-integer CommandError, or "AreaN is not on this page", otherwise.
std::optional<int> SelectedAreaOnPage(std::string_view page, std::string_view area_text);

// The area a typed area name stands for, where nothing but an exact name will
// do (the command line): "Area" followed by the number of an area on the page,
// in digits without sign or leading zero ("Area2"). Throws CommandError for
// any other text ("Area02", "Area-2", "Apple1", "Area 1") and for an area the
// page neither declares nor holds ("Area1001").
int ExactAreaNumber(std::string_view page, std::string_view area_text);

// The component named by a Select Component text. Nothing when the text does
// not end in a digit. A display name the kind table does not hold gives an
// empty kind tag, whose marker name finds no block.
struct ComponentSelection {
    std::string kind_tag;
    int number = 0;
    std::string MarkerName() const { return kind_tag + std::to_string(number); }
};
std::optional<ComponentSelection> SelectedComponentName(std::string_view component_text);

// The Select Component entry of a component: display name + number.
std::string ComponentEntry(std::string_view kind_tag, int number);

} // namespace qf
