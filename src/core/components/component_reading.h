#pragma once

#include "components/component_fields.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qf {

// A component's body read back into the field values its dialog would have
// been given: text as typed (UTF-8), integers as decimal text, flags as "1"
// or "0", the items of a list one a line ("\n"). Building these values gives
// the body again, byte for byte; a body the builder could not have written
// (edited by hand, made by another version) is not readable, and `reason`
// says where it first differs.
struct ComponentReading {
    bool readable = false;
    std::string reason;
    // Every field in the order of the kind's field table, a data table's
    // cells ("cell.R.C") row by row in the place of its cell row.
    std::vector<std::pair<std::string, std::string>> fields;

    FieldValues Values() const;
};

// Reads `body` as a body of kind `kind_tag`. The reading is the builder's
// inverse: the builder is run with placeholders for the values to learn the
// body's shape (which flags, empty texts and zero numbers change more than
// their own place, how many list items and grid cells there are), every
// shape is matched against the body, and a match counts only when building
// its values gives the body exactly. A custom table is its file's text and
// is never readable here.
ComponentReading ReadComponentBody(std::string_view kind_tag, std::string_view body);

// The same for the form block's body (FormBody): its one field "action".
ComponentReading ReadFormBody(std::string_view body);

} // namespace qf
