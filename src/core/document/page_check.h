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

// The same problems, each with where in the page text it shows: the first
// character of the marker concerned (for a marker name used twice, its second
// use); kNotFound (npos) for a page without a declaration block.
struct PageProblem {
    std::string message;
    std::size_t position = std::string_view::npos;
};
std::vector<PageProblem> FindPageProblems(std::string_view page);

} // namespace qf
