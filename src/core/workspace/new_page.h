#pragma once

#include "workspace/workspace.h"

#include <string>
#include <string_view>

namespace qf {

// What the page-properties step gathers, as typed (UTF-8).
struct NewPageProperties {
    std::string name;       // the page's name; ".html" is added unless typed
    std::string header;     // the page title
    std::string background; // "#" + six hex digits, or an image path; may be empty
    int border = 0;         // top and left margin in pixels
    // The small-screen block in the page's head (WithSmallScreenFit).
    bool fit_small_screens = false;
};

// The page file name for a typed name: the name + ".html", or the name as it
// stands when it already ends in ".html". Throws CommandError for an empty
// name, a name holding "/" or a control character, and a name starting with
// "." (a hidden file, which the page list would not show).
std::string NewPageFileName(std::string_view name);

// The attributes put in front of a layout's own body attributes: the
// background (bgcolor for a text starting with "#", else a background image;
// nothing for an empty text) and both margins. `background` is page text.
std::string NewPageBodyAttributes(std::string_view background, int border);

// Refuses, before anything is made, what CreatePageFromLayout would refuse in
// the properties themselves: the name (NewPageFileName), a header holding the
// marker delimiters, a line break or "</title" (CheckTitleText), a background
// holding the marker delimiters or a line break.
void CheckNewPageProperties(const NewPageProperties& properties);

// The page text made from a layout text: the body attributes inserted right
// behind "<body" of the body start tag (BodyTagStart), before the layout's
// own, the title replaced by the header, and the small-screen block put into
// the head when the properties ask for it. Header and background are typed
// text and enter the page as ASCII. Throws CommandError when the layout has
// no body tag or no title, or a value is refused as CheckNewPageProperties
// refuses it.
std::string PageTextFromLayout(std::string_view layout_text, const NewPageProperties& properties);

// True when the project already holds the page file the name gives.
bool NewPageExists(const Workspace& workspace, std::string_view name);

enum class ExistingPage { Refuse, Replace };

// Creates a page of the open project from layout `layout` of the application
// folder, writes it, and makes it the open page (both selection lists rebuilt,
// the palette enabled); the properties become the pending page properties.
// An existing page of that name is replaced only when asked to. Returns the
// page file name. Throws CommandError, changing nothing, on a refusal or a
// file error.
std::string CreatePageFromLayout(Workspace& workspace, const NewPageProperties& properties,
                                 int layout, ExistingPage existing);

} // namespace qf
