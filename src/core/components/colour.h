#pragma once

#include <cstdint>
#include <string>

namespace qf {

// A colour reference (red in bits 0-7, green in 8-15, blue in 16-23; the top
// byte ignored) as six upper-case hexadecimal digits in HTML order: red 255,
// green 128, blue 0 gives "FF8000". Colour fields hold "#" + this.
std::string ColorToHtmlHex(std::uint32_t colour_ref);

// The colour reference of red, green and blue (each 0-255).
constexpr std::uint32_t ColourRef(int red, int green, int blue) {
    return static_cast<std::uint32_t>(red & 0xFF) |
           (static_cast<std::uint32_t>(green & 0xFF) << 8) |
           (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

} // namespace qf
