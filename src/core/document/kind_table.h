#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qf {

// One row of the kind table. The same rows serve the generators (the entry a
// new component adds to Select Component), the rebuild of the selection lists
// (tag to display name) and modify/delete (display name back to tag).
struct Kind {
    std::string_view tag;            // "Link_Img"
    std::string_view display_name;   // "Image Link"; empty for areas and the form
    std::string_view palette_hint;   // tooltip of the palette button
    std::string_view dialog_caption; // "Insert Image Link"
    std::string_view dialog_class;   // "TFormc"
};

std::span<const Kind> Kinds();
const Kind* FindKindByTag(std::string_view tag);
// Only kinds that are listed in Select Component have a display name.
const Kind* FindKindByDisplayName(std::string_view display_name);

// A name split into the text before its trailing number and the number: the
// number is the last three characters if the third from the end is a digit,
// else the last two if the second from the end is a digit, else the last one.
// Gives nothing when the taken characters are not all digits.
struct NumberedName {
    std::string_view prefix;
    int number = 0;
};
std::optional<NumberedName> SplitTrailingNumber(std::string_view name);

} // namespace qf
