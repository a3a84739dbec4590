#pragma once

#include <string>
#include <string_view>

namespace qf {

struct Workspace;

// What the Page Properties dialog hands over, with its initial values.
struct PageProperties {
    std::string heading = "Welcome to .....";
    // A colour ("#336699") when it begins with "#", else a picture path or
    // URL; empty leaves the background as it is.
    std::string background;
    bool disable_scrollers = false;
};

// The page property rules on a page text, in order: the title becomes the
// heading; a colour replaces the whole value of the body start tag's first
// bgcolor (or adds " bgcolor=" + colour after "<body") and removes the
// background attribute; a picture replaces the background attribute's value
// (or adds it before the tag's closing ">"); the scroll attribute is added
// after "<body" or removed, looking only inside the body start tag. The body
// start tag runs from the first "<body" to the ">" just before the body
// marker. Text enters as ASCII (numeric character references), a double
// quote in the background as &quot;. Throws CommandError, changing nothing,
// for a page without title or body start tag, or a value holding the marker
// delimiters.
std::string ApplyPageProperties(std::string_view page, const PageProperties& properties);

// Applies the rules to the open page, writes the page file and, only when that
// succeeded, takes the new page text and header. Throws "A page must be
// open!", the refusals above, or the file error; nothing changes then.
void SetPageProperties(Workspace& workspace, const PageProperties& properties);

} // namespace qf
