#include "components/colour.h"

namespace qf {

std::string ColorToHtmlHex(std::uint32_t colour_ref) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(6);
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned channel = (colour_ref >> shift) & 0xFF;
        hex += kDigits[channel >> 4];
        hex += kDigits[channel & 0x0F];
    }
    return hex;
}

} // namespace qf
