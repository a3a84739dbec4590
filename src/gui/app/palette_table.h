#pragma once

#include <span>
#include <string_view>

namespace qf {

// What a command checks before it opens anything.
enum class Guard {
    None,
    Project, // a project must be open: "Open or Create a new project first"
    Page,    // a page must be open: "A page must be open!"
    Area,    // a page must be open and the Select Area text begin with "A"
             // ("Your Must Select an Area!") and name an area of the page
             // ("Area3 is not on this page"), with the focus on Select Area
    Php,     // a project must be open; the open page is closed first
};

// One button of the component palette.
struct PaletteButton {
    std::string_view tab;          // "Standard"
    std::string_view hint;         // the tooltip; may be empty
    std::string_view dialog_class; // the dialog table's key: "TFormb", "ToolButton36Click"
    Guard guard;
    std::string_view icon; // ToolIcon name
};

// The palette's tabs in order, and every button in tab order.
std::span<const std::string_view> PaletteTabs();
std::span<const PaletteButton> PaletteButtons();

} // namespace qf
