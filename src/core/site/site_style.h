#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qf {

struct SiteSettings;

// A site style: what the rendered site gives whatever its pages leave unset
// (a text without a face, a link without a colour, headings, lists, tables,
// form fields and buttons), as CSS custom properties and rules of no weight
// (":where"), so anything a page sets wins. "Classic" is no style at all:
// the pages exactly as designed.
struct SiteStyle {
    std::string name;
    std::string body_font; // a font stack of the system's fonts
    std::string heading_font;
    std::string scale;         // each heading level this many times the next: "1.25"
    std::string line_height;   // "1.6"
    std::string content_width; // "1100px"
    // The palette.
    std::string text;
    std::string background;
    std::string accent;
    std::string muted;
    std::string surface;
    std::string border;
    std::string radius;  // "6px"
    std::string spacing; // "16px"
};

inline constexpr std::string_view kClassicStyle = "Classic";

// "Classic", then the looks of today: "Clean", "Warm", "Calm".
std::vector<std::string> BuiltInStyleNames();

// The fields a style's values are set by (site-settings style.FIELD=VALUE),
// in the order above: "body-font", "heading-font", "scale", "line-height",
// "content-width", "text", "background", "accent", "muted", "surface",
// "border", "radius", "spacing".
std::vector<std::string> StyleFieldNames();

// The value of the field `field` (one of StyleFieldNames) in `style`; empty
// for a field it does not know.
std::string StyleValue(const SiteStyle& style, std::string_view field);

// The built-in style `name` with `values` (FIELD, VALUE) put over it.
// Throws CommandError naming what is wrong: a style that is not built in, a
// field it does not know, a colour that is no "#rrggbb", a number or length
// that is none, a font stack with characters CSS would read otherwise.
SiteStyle StyleWith(std::string_view name,
                    const std::vector<std::pair<std::string, std::string>>& values);

// The style the site's settings choose.
SiteStyle StyleOf(const SiteSettings& settings);

// The style's stylesheet; empty for "Classic".
std::string StyleSheet(const SiteStyle& style);

// The contrast of two colours ("#rrggbb") as WCAG 2 measures it, from 1 to 21.
double ContrastRatio(std::string_view one, std::string_view other);

// The style's colours that do not meet WCAG AA (4.5:1 for text, its links
// and muted text on the background and the surface; 3:1 for the border
// against the background), each as a sentence.
std::vector<std::string> StyleContrastWarnings(const SiteStyle& style);

} // namespace qf
