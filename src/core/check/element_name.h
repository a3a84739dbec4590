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

// Elements that have no end tag and hold nothing.
inline bool IsVoid(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_AREA:
    case GUMBO_TAG_BASE:
    case GUMBO_TAG_BR:
    case GUMBO_TAG_COL:
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_HR:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_INPUT:
    case GUMBO_TAG_KEYGEN:
    case GUMBO_TAG_LINK:
    case GUMBO_TAG_META:
    case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE:
    case GUMBO_TAG_TRACK:
    case GUMBO_TAG_WBR:
    case GUMBO_TAG_BGSOUND:
    case GUMBO_TAG_BASEFONT:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_IMAGE:
    case GUMBO_TAG_MENUITEM:
    case GUMBO_TAG_SPACER:
        return true;
    default:
        return false;
    }
}

} // namespace qf::check
