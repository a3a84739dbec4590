#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace qf {

// True when `text` ends in `end`, ASCII letters compared without regard to
// case (".HTML" ends in ".html").
inline bool EndsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - std::ptrdiff_t(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace qf
