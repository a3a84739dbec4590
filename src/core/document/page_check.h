#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf {

// What is structurally wrong with a page document, one problem a line: no
// declaration block, a declaration without its block, a numbered block without
// a declaration, a marker name used by two blocks, a start marker without its
// end marker or the reverse. Empty for a sound page.
std::vector<std::string> CheckPage(std::string_view page);

} // namespace qf
