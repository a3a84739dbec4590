#pragma once

#include <gumbo.h>

#include <cctype>
#include <string>

namespace qf::check {

// An element's name as written, in lower case: the name HTML gives a tag it
// knows, else the page's own spelling of it; `nameless` for an element the
// parser made up without any text of its own.
inline std::string ElementName(const GumboElement& element, const char* nameless) {
    if (element.tag != GUMBO_TAG_UNKNOWN) {
        return gumbo_normalized_tagname(element.tag);
    }
    GumboStringPiece piece = element.original_tag;
    if (piece.length == 0) {
        return nameless;
    }
    gumbo_tag_from_original_text(&piece);
    std::string name(piece.data, piece.length);
    for (char& c : name) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

} // namespace qf::check
