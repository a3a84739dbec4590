#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qf {

struct Workspace;

// The heading a page without a title starts with.
inline constexpr std::string_view kDefaultHeading = "Welcome to .....";

// What the Page Properties dialog hands over.
struct PageProperties {
    // The new title as typed (UTF-8); nothing keeps the page's own title.
    std::optional<std::string> heading;
    // A colour ("#336699") when it begins with "#", else a picture path or
    // URL; empty leaves the background as it is.
    std::string background;
    // Hide (true) or show (false) the scroll bars; nothing keeps them as
    // the page has them.
    std::optional<bool> disable_scrollers;
    // Put the small-screen block into the head (true) or take it out (false);
    // nothing keeps the page as it is.
    std::optional<bool> fit_small_screens;
    // What search engines and shared links show of the page (a sentence or
    // two, UTF-8); empty takes the page's description out, so the
    // published page says its first sentences instead; nothing keeps it.
    std::optional<std::string> description;
    // The page's own language, a BCP 47 tag such as "de-CH" (lang on its
    // "<html>" tag); empty takes it out, so the site's language holds;
    // nothing keeps it.
    std::optional<std::string> language;
    // Keep search engines away from the page (kNoIndexTag behind its title;
    // the sitemap leaves it out); nothing keeps it as it is.
    std::optional<bool> hide_from_search;
};

// What asks search engines to leave a page out.
inline constexpr std::string_view kNoIndexTag = "<meta name=\"robots\" content=\"noindex\">";

// The page's own language as the dialog opens with it; empty when its
// "<html>" tag names none.
std::string LanguageForEditing(std::string_view page);

// True when the page asks search engines to leave it out (kNoIndexTag).
bool PageHiddenFromSearch(std::string_view page);

// The page's own description as the dialog opens with it (UTF-8, as typed);
// empty when the page has none.
std::string DescriptionForEditing(std::string_view page);

// The heading the dialog opens with: the page's title as its reader sees it
// (character references of characters outside ASCII decoded, UTF-8), or
// "Welcome to ....." when the page has no title.
std::string HeadingForEditing(std::string_view page);

// Whether the page hides its scroll bars (scroll="no" in its body start
// tag), which the dialog opens with.
bool PageHidesScrollBars(std::string_view page);

// The background the page's body start tag holds, as the dialog opens with it:
// the first bgcolor's value when it is a colour the dialog writes ("#" and
// letters or digits), and the background attribute's value as it was typed
// (TypedFromAttributeText); each empty when the tag has none (or the page no
// body start tag).
struct PageBackground {
    std::string colour;
    std::string picture;
};
PageBackground BackgroundForEditing(std::string_view page);

// Refuses, naming `field`, a title text that would break the page's head or
// not read back: the marker delimiters, a line break, or "</title" in any case.
void CheckTitleText(std::string_view field, std::string_view value);

// Where the title's end tag "</title>" begins when the page has a title
// ("<title>" before it); 0 when it has none.
std::size_t TitleEnd(std::string_view page);

// Where the head's end tag "</head>" begins: the first one behind the title,
// so a title holding "</head>" is never taken for it. kNotFound (npos) when
// there is none.
std::size_t HeadEndTag(std::string_view page);

// Where the body start tag begins: the first "<body" (followed by a blank, "/"
// or ">") behind the head (behind the title's end and the head's end tag where
// the page has them), so a title holding "<body" is never taken for it.
// kNotFound (npos) when there is none.
std::size_t BodyTagStart(std::string_view page);

// The page property rules on a page text, in order: the title becomes the
// heading (when one is given); a colour replaces the whole value of the body start tag's first
// bgcolor (or adds " bgcolor=" + colour after "<body") and removes the
// background attribute; a picture replaces the background attribute's value
// (or adds it before the tag's closing ">"); the scroll attribute is added
// after "<body" or removed, looking only inside the body start tag; the
// small-screen block is put in or taken out (WithSmallScreenFit); the
// description is written as "<meta name="description" content="...">"
// right behind the title's end tag (replacing the one there), or taken out
// when empty; kNoIndexTag is put behind it or taken out; the language
// becomes the lang attribute of the first "<html" tag (taken out when
// empty; a tag that is no language tag is refused). The body
// start tag runs from BodyTagStart to the ">" just before the body marker, and is one tag
// (read as browsers read it, it ends at that ">"). Text enters as ASCII
// (numeric character references), a double quote in the background as &quot;. Throws CommandError,
// changing nothing, for a page without title (when a heading is given) or body start tag, a heading
// CheckTitleText refuses, a background holding the marker delimiters or a line break, or a colour
// with anything but letters and digits after its "#", and what WithSmallScreenFit refuses.
std::string ApplyPageProperties(std::string_view page, const PageProperties& properties);

// Applies the rules to the open page, writes the page file and, only when that
// succeeded, takes the new page text and header. Throws "A page must be
// open!", the refusals above, or the file error; nothing changes then.
void SetPageProperties(Workspace& workspace, const PageProperties& properties);

} // namespace qf
