#include "components/small_screens.h"

#include "components/page_properties.h"
#include "document/page_text.h"
#include "error.h"

#include <algorithm>
#include <optional>

namespace qf {

namespace {

// No screen is wider; a width beyond it is taken as it.
constexpr int kWidestScreen = 100000;
// The margin a browser gives the body on each side unless told otherwise.
constexpr int kBrowserMargin = 8;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == y; });
}

// One attribute of a start tag as a browser reads it: the name, and the value
// without its quotes (empty for a name alone).
struct TagAttribute {
    std::string_view name;
    std::string_view value;
};

// Reads the attributes of the start tag whose name ends at `pos`, calling
// `take` for each, and returns where the tag ends (its ">" or the text's end).
template <typename Take>
std::size_t ReadAttributes(std::string_view text, std::size_t pos, Take take) {
    while (pos < text.size() && text[pos] != '>') {
        if (IsBlank(text[pos]) || text[pos] == '/') {
            ++pos;
            continue;
        }
        const std::size_t name_begin = pos;
        ++pos; // a name may start with "="
        while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '/' && text[pos] != '>' &&
               text[pos] != '=') {
            ++pos;
        }
        const std::string_view name = text.substr(name_begin, pos - name_begin);
        std::size_t after_name = pos;
        while (after_name < text.size() && IsBlank(text[after_name])) {
            ++after_name;
        }
        if (after_name >= text.size() || text[after_name] != '=') {
            take(TagAttribute{name, {}});
            continue;
        }
        pos = after_name + 1;
        while (pos < text.size() && IsBlank(text[pos])) {
            ++pos;
        }
        std::string_view value;
        if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
            const std::size_t close = text.find(text[pos], pos + 1);
            const std::size_t end = close == std::string_view::npos ? text.size() : close;
            value = text.substr(pos + 1, end - pos - 1);
            pos = close == std::string_view::npos ? text.size() : close + 1;
        } else {
            const std::size_t begin = pos;
            while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != '>') {
                ++pos;
            }
            value = text.substr(begin, pos - begin);
        }
        take(TagAttribute{name, value});
    }
    return pos;
}

// A length in pixels as a width attribute gives it ("760", " 760px"); nothing
// for a percentage or a value that does not start with a number.
std::optional<int> PixelLength(std::string_view value) {
    std::size_t pos = 0;
    while (pos < value.size() && IsBlank(value[pos])) {
        ++pos;
    }
    long long number = 0;
    const std::size_t digits = pos;
    while (pos < value.size() && value[pos] >= '0' && value[pos] <= '9') {
        number = std::min<long long>(number * 10 + (value[pos] - '0'), kWidestScreen);
        ++pos;
    }
    if (pos == digits) {
        return std::nullopt;
    }
    while (pos < value.size() && (value[pos] == '.' || (value[pos] >= '0' && value[pos] <= '9'))) {
        ++pos; // a fraction
    }
    if (pos < value.size() && value[pos] == '%') {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The name of the start tag opening at `at` ("<table ..."), whose end is put
// in `name_end`; empty when `at` opens no start tag.
std::string_view TagName(std::string_view text, std::size_t at, std::size_t& name_end) {
    std::size_t pos = at + 1;
    if (pos >= text.size() || !IsLetter(text[pos])) {
        return {};
    }
    while (pos < text.size() && (IsLetter(text[pos]) || (text[pos] >= '0' && text[pos] <= '9'))) {
        ++pos;
    }
    name_end = pos;
    return text.substr(at + 1, pos - at - 1);
}

int WidestTable(std::string_view page) {
    int widest = 0;
    for (std::size_t at = page.find('<'); at != std::string_view::npos;
         at = page.find('<', at + 1)) {
        std::size_t name_end = 0;
        const std::string_view name = TagName(page, at, name_end);
        if (!SameName(name, "table") && !SameName(name, "td") && !SameName(name, "th")) {
            continue;
        }
        at = ReadAttributes(page, name_end, [&](const TagAttribute& attribute) {
            if (SameName(attribute.name, "width")) {
                widest = std::max(widest, PixelLength(attribute.value).value_or(0));
            }
        });
        if (at >= page.size()) {
            break;
        }
    }
    return widest;
}

// The body's left and right margins as its start tag gives them; a browser
// takes the first of two attributes of the same name.
std::pair<int, int> BodyMargins(std::string_view page) {
    std::optional<int> left;
    std::optional<int> width;
    const std::size_t body = BodyTagStart(page);
    if (body != kNotFound) {
        ReadAttributes(page, body + 5, [&](const TagAttribute& attribute) {
            if (!left && SameName(attribute.name, "leftmargin")) {
                left = PixelLength(attribute.value);
            } else if (!width && SameName(attribute.name, "marginwidth")) {
                width = PixelLength(attribute.value);
            }
        });
    }
    const int sides = width.value_or(kBrowserMargin);
    return {left.value_or(sides), sides};
}

// Where the block's markers stand; refuses anything but none or one start
// marker before one end marker.
struct FitBlock {
    std::size_t begin = kNotFound; // the start marker
    std::size_t end = kNotFound;   // one past the end marker
};

FitBlock FindFitBlock(std::string_view page) {
    const std::size_t start = page.find(kFitStartMarker);
    const std::size_t stop = page.find(kFitEndMarker);
    if (start == kNotFound && stop == kNotFound) {
        return {};
    }
    const bool one_each = start != kNotFound && stop != kNotFound &&
                          page.find(kFitStartMarker, start + 1) == kNotFound &&
                          page.find(kFitEndMarker, stop + 1) == kNotFound;
    if (!one_each || stop < start + kFitStartMarker.size()) {
        throw CommandError("The page's small-screen block is damaged: it needs one \"" +
                           std::string(kFitStartMarker) + "\" followed by one \"" +
                           std::string(kFitEndMarker) +
                           "\" in its head; put the missing marker back or remove the other");
    }
    return {start, stop + kFitEndMarker.size()};
}

} // namespace

int SmallScreenLimit(std::string_view page) {
    const auto [left, right] = BodyMargins(page);
    return std::min(WidestTable(page) + left + right, kWidestScreen);
}

std::string SmallScreenBlock(int limit) {
    // Below `limit` pixels: the area tables (the only tables with a valign)
    // and their cells become blocks as wide as the screen, so adjacent areas
    // stand one under the other; other tables, pictures and video shrink to
    // their container, keeping their shape; frames and plug-ins only narrow;
    // and a word wider than the screen breaks (word-wrap first, for browsers
    // that do not know overflow-wrap's "anywhere").
    const std::string below = std::to_string(std::max(limit, 1) - 1) + ".98px";
    return std::string(kFitStartMarker) +
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<style>" +
           std::string(kAreaValignRule) + "@media (max-width:" + below +
           "){table[valign],table[valign]>tbody,table[valign]>tbody>tr,"
           "table[valign]>tbody>tr>td{display:block;width:auto!important;"
           "float:none!important;box-sizing:border-box}"
           "table{max-width:100%}"
           "img,video{max-width:100%;height:auto}"
           "iframe,embed,object{max-width:100%}"
           "body,td{word-wrap:break-word;overflow-wrap:anywhere}}</style>" +
           std::string(kFitEndMarker);
}

bool PageFitsSmallScreens(std::string_view page) {
    const std::size_t start = page.find(kFitStartMarker);
    return start != kNotFound &&
           page.find(kFitEndMarker, start + kFitStartMarker.size()) != kNotFound;
}

std::string WithSmallScreenFit(std::string_view page, bool on, std::size_t room) {
    const FitBlock block = FindFitBlock(page);
    // The page with `removed` characters at `at` replaced, made at its size.
    const auto spliced = [page, room](std::size_t at, std::size_t removed,
                                      std::string_view inserted) {
        std::string text;
        text.reserve(page.size() - removed + inserted.size() + room);
        text.append(page.substr(0, at)).append(inserted).append(page.substr(at + removed));
        return text;
    };
    if (!on) {
        return block.begin != kNotFound ? spliced(block.begin, block.end - block.begin, {})
                                        : spliced(0, 0, {});
    }
    if (block.begin != kNotFound) {
        // Measured again without the block, which holds no table.
        return spliced(block.begin, block.end - block.begin,
                       SmallScreenBlock(SmallScreenLimit(page)));
    }
    const std::size_t head_end = HeadEndTag(page);
    if (head_end == kNotFound) {
        throw CommandError("This page has no head end tag (\"</head>\") to put the small-screen "
                           "block before");
    }
    return spliced(head_end, 0, SmallScreenBlock(SmallScreenLimit(page)));
}

} // namespace qf
