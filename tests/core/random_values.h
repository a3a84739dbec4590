#pragma once

#include "components/component_fields.h"

#include <random>

namespace qf::test {

// Random values for every field of a kind, as a user could type them: texts
// with quotes, ampersands, backslashes, markup, character references and
// characters outside ASCII, now and then empty; numbers at their bounds'
// extremes; lists of a few lines (some empty); for a data table a small grid
// with some of its cells filled. Never the marker delimiters.
FieldValues RandomFieldValues(const ComponentSpec& spec, std::mt19937& random);

// One random text as above (one line).
std::string RandomText(std::mt19937& random);

} // namespace qf::test
