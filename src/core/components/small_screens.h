#pragma once

#include <string>
#include <string_view>

namespace qf {

// "Fit small screens": a block in the page's head, between markers of its own,
// that holds a viewport tag and a stylesheet for screens narrower than the
// page's areas. There the area tables shrink to the screen, adjacent areas
// stand one under the other, pictures, video and frames are scaled down to
// fit (never up) and over-long words are broken; on wider screens the page
// looks exactly as without the block.
inline constexpr std::string_view kFitStartMarker = "<!---Fit_Start---!>";
inline constexpr std::string_view kFitEndMarker = "<!---Fit_End---!>";

// The width in CSS pixels a screen needs to show the page's areas whole: the
// widest width (in pixels) a table or cell of the page is given, plus the body's
// left and right margins (leftmargin and marginwidth of the body start tag,
// else the browser's 8 pixels).
int SmallScreenLimit(std::string_view page);

// What an area's valign means: browsers pass it over on the area's table,
// so its cells (those without a valign of their own) take it.
inline constexpr std::string_view kAreaValignRule =
    "table[valign=top i]>tbody>tr>td:not([valign]){vertical-align:top}"
    "table[valign=bottom i]>tbody>tr>td:not([valign]){vertical-align:bottom}";

// The block for a page needing `limit` pixels, markers included; its rules
// apply below that width only, kAreaValignRule at every width.
std::string SmallScreenBlock(int limit);

// Whether the page holds the block: its start marker, then its end marker.
bool PageFitsSmallScreens(std::string_view page);

// The page with the block (on) or without it (off). On puts a block measured
// on the page right before the head's end tag, or replaces the one it holds;
// off removes the block exactly, so turning it on and off again gives the page
// back byte for byte. Nothing outside the block changes. Throws CommandError,
// changing nothing, for a page without a head end tag (on) and for a page
// whose markers are not one start marker before one end marker. The text
// comes with room for `room` more characters, for changes made to it after.
std::string WithSmallScreenFit(std::string_view page, bool on, std::size_t room = 0);

} // namespace qf
