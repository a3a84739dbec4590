#pragma once

#include "document/picture_size.h"

#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct Workspace;

// A platform holds from 2 to 20 areas side by side.
inline constexpr int kMinPlatformAreas = 2;
inline constexpr int kMaxPlatformAreas = 20;

// The platform text for areas numbered `numbers` (in that order), each
// `width` wide and `height` high: an outer table as wide as all of them
// holding their area blocks in one row.
std::string PlatformText(const std::vector<int>& numbers, int width, int height);

// Puts a platform of `count` areas at the end of area `area`'s cell and
// declares the new areas (each in front of the one before it). The numbers
// skip every number still in use. Returns the numbers in increasing order.
// Throws CommandError, leaving `page` as it was, for a count outside 2 to 20,
// numbers past 999, a missing area or a page without declaration block.
std::vector<int> AddPlatform(std::string& page, int area, int count, int width, int height);

// The width a platform of `count` areas in area `area` proposes for each:
// the area's width divided by the count; 0 when it cannot be told.
int ProposedPlatformWidth(std::string_view page, int area, int count);

// The size a picture of `real` size is offered at in area `area`: as it is,
// or, when it is wider than the area, the area's width with the height in
// proportion. A size or an area that cannot be told changes nothing.
PictureSize OfferedPictureSize(std::string_view page, int area, PictureSize real);

// The height that keeps the proportions of `shape` at `width` (rounded, at
// least 1); 0 when the shape has no width or height.
int ProportionalHeight(PictureSize shape, int width);
// The width that keeps the proportions of `shape` at `height`.
int ProportionalWidth(PictureSize shape, int height);

// The platform on the workspace's selected area ("Your Must Select an Area!"
// unless the Select Area text begins with "A"): the page written, then the
// text taken and "Area" + n appended to Select Area for each new area, which
// are returned.
std::vector<std::string> InsertPlatform(Workspace& workspace, int count, int width, int height);

// Puts "<br>" at the end of the selected area's cell.
void InsertLineBreak(Workspace& workspace);

// Code as typed (UTF-8) as it enters the page: its line breaks kept (each
// one CR, see KeptLineBreaks), so a script with line comments still runs and
// a pre keeps its lines; every character outside ASCII a character reference. Refuses
// code holding "<!---" or "---!>", which would break the page's markers.
std::string HtmlCodeBytes(std::string_view typed);

// Insert Code: the code (as HtmlCodeBytes gives it) at the end of the
// selected area's cell, without markers or declaration.
void InsertHtml(Workspace& workspace, std::string_view typed);

// Insert Code kept as a component: the same code as an HTML Code component
// (kind "Html_Code") at the end of the selected area, so it can be
// selected, modified (its source) and deleted on its own. Returns its Select
// Component entry ("HTML Code1").
std::string InsertHtmlComponent(Workspace& workspace, std::string_view typed);

} // namespace qf
