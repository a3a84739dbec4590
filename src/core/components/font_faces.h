#pragma once

#include <span>
#include <string_view>

namespace qf {

// The one font face list of the text, link and list dialogs: 38 entries, each
// stored with one blank in front of the name (" Arial").
std::span<const std::string_view> FontFaces();

// The face a face-list entry writes into a text or list component: the entry
// without its first character (" Verdana" gives "Verdana"); empty for an
// empty entry (nothing selected).
std::string_view FaceOfListEntry(std::string_view entry);

} // namespace qf
