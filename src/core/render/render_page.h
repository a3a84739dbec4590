#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qf::render {

// What a page's rendering takes from the project, besides the page itself.
struct RenderOptions {
    // The language the page is written in (a BCP 47 tag such as "en" or
    // "de-CH"), for pages that name none in their "<html>" tag; empty: "en".
    std::string language;
    // The site's icon as the page names it ("images/icon.png"); empty: an
    // icon that asks the server for nothing, so no browser fetches a missing
    // /favicon.ico.
    std::string icon;
    // The icons made from the site's icon for phones and installed sites, as
    // the page names them ("apple-touch-icon.png", "site.webmanifest");
    // empty: none made.
    std::string touch_icon;
    std::string manifest;
    // The site's name, for shared links; empty: none.
    std::string site_name;
    // The page's own full address ("https://example.org/about.html"): its
    // canonical link and what shared links point at; empty: not known.
    std::string page_address;
    // False: search engines are asked not to index the page.
    bool index = true;
    // The site style's stylesheet (site_style.h), which gives what the page
    // leaves unset a look and never outweighs what it sets; empty: the page
    // exactly as designed.
    std::string site_style;

    // The size a picture is shown at, its orientation applied, for `src` as
    // the page writes it; nothing for a picture the site does not hold (an
    // address elsewhere, a missing file). Without it, pictures keep the size
    // the page gives them.
    std::function<std::optional<std::pair<int, int>>(std::string_view src)> picture_size;
    // Where visitors get the picture `src` made `width` pixels wide, as WebP
    // ("webp") or in its own format (""), and that file's size in bytes;
    // nothing when it cannot be made. Without it, no variant is offered.
    struct Variant {
        std::string location;
        std::int64_t bytes = 0;
    };
    std::function<std::optional<Variant>(std::string_view src, int width, std::string_view format)>
        picture_variant;
    // The picture `src` cut to the proportions of a large card (kCardWidth
    // by kCardHeight, or smaller in the same proportions) for shared links;
    // nothing when it cannot be made. Without it, the picture as it is.
    std::function<std::optional<Variant>(std::string_view src)> card_picture;
    // Filled, when given, with where the page text's elements stand in the
    // result, in order: (offset in the result, offset in `page_text`) of each
    // start tag written for an element of the page's body. Left empty for a
    // page that is not UTF-8, whose text is read transcoded.
    std::vector<std::pair<std::size_t, std::size_t>>* element_places = nullptr;
};

// The pictures before the first screen's end are loaded at once; those after
// the first kEagerPictures of a page are loaded as they come into view.
inline constexpr int kEagerPictures = 3;

// The narrowest picture shared with a link to the page (a card).
inline constexpr int kCardPictureWidth = 600;

// The size of the picture a shared link shows as a large card.
inline constexpr int kCardWidth = 1200;
inline constexpr int kCardHeight = 630;

// The longest description made from a page's own text, in characters.
inline constexpr std::size_t kDescriptionLength = 160;

// The page document `page_text` as visitors receive it: a clean HTML5 page
// that looks the same in a browser. The page is read as a browser reads it
// (libgumbo), so the areas that stand behind "</body>" come inside it, and
// written out again with:
// - "<!DOCTYPE html>", "<html lang>", "<meta charset="utf-8">" (the text is
//   UTF-8; a page that is not valid UTF-8 is read as Windows-1252), a meta
//   description (the page's own, or its first sentences, at most
//   kDescriptionLength characters) and an icon link;
// - no markers and no declaration block: no comment at all;
// - the body's content in "<main>"; the areas' tables marked
//   role="presentation", their spacer pictures replaced by empty floats of
//   the same size;
// - the attributes HTML5 no longer has (table, cell, picture, rule, body and
//   alignment attributes, "<font>", "<center>", "<strike>", "<tt>") written
//   as the CSS a browser makes of them;
// - list items outside a list inside one ("<ul>", "<dl>"), each "<menu>"
//   that holds text as a one-item list without a marker;
// - the status bar handlers dropped, a link's hover colour as a CSS rule and
//   rollover pictures switched by a small script (no "name" on "<img>");
// - a canonical link and Open Graph and Twitter card tags (title,
//   description, the page's address, the first picture of at least
//   kCardPictureWidth pixels, cut to a card where the options make one, or
//   else the site's icon, the site's name and
//   language) where the options know the page's address, and a robots tag
//   where search engines may not index it;
// - every picture the site holds written with its width and height in the
//   proportions of the file (a picture without a written size at its own
//   size, never wider than its place), loaded lazily after the first
//   kEagerPictures, and offered at 1x and 2x of its width (at most its own)
//   in WebP, where that is smaller, and in its own format;
// - "<embed>" videos as "<video controls preload="metadata">" keeping their
//   proportions, "<bgsound>" as "<audio>",
//   Flash and Shockwave files as a link to the file (no browser plays them),
//   frames with a title, "target=_blank" links with rel="noopener".
// Everything else, raw HTML and custom tables among it, is written as the
// browser reads it. The result depends on the page text and the options
// alone, byte for byte, and takes time linear in the page's size.
std::string RenderPage(std::string_view page_text, const RenderOptions& options = {});

} // namespace qf::render
