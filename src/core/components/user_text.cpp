#include "components/user_text.h"

#include "document/markers.h"
#include "error.h"

#include <cstdint>

namespace qf {

namespace {

// The code point of the UTF-8 sequence starting at `pos`, and its length;
// length 0 for a byte that does not start a well-formed sequence.
struct CodePoint {
    std::uint32_t value = 0;
    std::size_t length = 0;
};

CodePoint DecodeAt(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    std::uint32_t value = 0;
    std::uint32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return {};
    }
    if (pos + length > text.size()) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            return {};
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return {};
    }
    return {value, length};
}

// Where a text stands, which decides what else it must escape.
enum class Place { kContent, kAttribute, kScriptString };

std::string Encode(std::string_view field, std::string_view utf8, Place place) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char c = utf8[pos];
        if (static_cast<unsigned char>(c) < 0x80) {
            if (c == '"' && place != Place::kContent) {
                out += "&quot;";
            } else if ((c == '\'' || c == '\\') && place == Place::kScriptString) {
                out += '\\';
                out += c;
            } else if (c == '&' && place == Place::kScriptString) {
                // The browser reads the attribute before the script: a typed
                // "&#39;" would become a quote that ends the string.
                out += "&amp;";
            } else {
                out += c;
            }
            ++pos;
            continue;
        }
        const CodePoint point = DecodeAt(utf8, pos);
        if (point.length == 0) {
            throw CommandError(std::string(field) + ": the text is not valid UTF-8");
        }
        out += "&#" + std::to_string(point.value) + ";";
        pos += point.length;
    }
    return out;
}

// Appends the code point as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t value) {
    if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (value & 0x3F));
}

// The character a reference "&#N;" at `pos` stands for, when it is one the
// writer gives: N in decimal without a leading zero, a character outside
// ASCII that is not a surrogate. Its length is 0 otherwise.
CodePoint ReferenceAt(std::string_view text, std::size_t pos) {
    if (text.compare(pos, 2, "&#") != 0 || pos + 2 >= text.size() || text[pos + 2] == '0') {
        return {};
    }
    std::uint32_t value = 0;
    std::size_t at = pos + 2;
    while (at < text.size() && at - pos < 10 && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + static_cast<std::uint32_t>(text[at] - '0');
        ++at;
    }
    if (at == pos + 2 || at >= text.size() || text[at] != ';' || value < 0x80 || value > 0x10FFFF ||
        (value >= 0xD800 && value <= 0xDFFF)) {
        return {};
    }
    return {value, at + 1 - pos};
}

std::string Decode(std::string_view text, Place place) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '&') {
            const CodePoint point = ReferenceAt(text, pos);
            if (point.length != 0) {
                AppendUtf8(out, point.value);
                pos += point.length;
                continue;
            }
            if (place != Place::kContent && text.compare(pos, 6, "&quot;") == 0) {
                out += '"';
                pos += 6;
                continue;
            }
            if (place == Place::kScriptString && text.compare(pos, 5, "&amp;") == 0) {
                out += '&';
                pos += 5;
                continue;
            }
        } else if (c == '\\' && place == Place::kScriptString && pos + 1 < text.size() &&
                   (text[pos + 1] == '\'' || text[pos + 1] == '\\')) {
            out += text[pos + 1];
            pos += 2;
            continue;
        }
        out += c;
        ++pos;
    }
    return out;
}

} // namespace

std::string TypedFromPageText(std::string_view page_text) {
    return Decode(page_text, Place::kContent);
}

std::string TypedFromAttributeText(std::string_view page_text) {
    return Decode(page_text, Place::kAttribute);
}

std::string TypedFromScriptStringText(std::string_view page_text) {
    return Decode(page_text, Place::kScriptString);
}

std::string PageText(std::string_view field, std::string_view utf8) {
    return Encode(field, utf8, Place::kContent);
}

std::string AttributeText(std::string_view field, std::string_view utf8) {
    return Encode(field, utf8, Place::kAttribute);
}

std::string ScriptStringText(std::string_view field, std::string_view utf8) {
    return Encode(field, utf8, Place::kScriptString);
}

void CheckSingleLine(std::string_view field, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        throw CommandError(std::string(field) + " must be a single line");
    }
}

void CheckNoMarkerDelimiters(std::string_view field, std::string_view value) {
    if (value.find(kMarkerOpen) != std::string_view::npos ||
        value.find(kMarkerClose) != std::string_view::npos) {
        throw CommandError(std::string(field) + " may not contain \"" + std::string(kMarkerOpen) +
                           "\" or \"" + std::string(kMarkerClose) + "\"");
    }
}

std::string KeptLineBreaks(std::string_view typed) {
    std::string kept;
    kept.reserve(typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        if (c == '\r' && i + 1 < typed.size() && typed[i + 1] == '\n') {
            continue; // the LF of this CR LF stands for both
        }
        kept += c == '\n' ? kKeptLineBreak : c;
    }
    return kept;
}

} // namespace qf
