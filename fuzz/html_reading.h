#pragma once

// A second, independent reading of page text, character by character as a
// browser's tokenizer reads HTML (tags and their attribute values, comments,
// raw text elements, the escaped parts of scripts), against which the fuzz
// targets check what the editor writes.

#include <cstddef>
#include <string_view>
#include <vector>

namespace qf::fuzz {

struct BrowserReading {
    // protected_after[i]: a line break written directly after character i
    // would change what a browser reads: it falls inside a quoted attribute
    // value, a comment (a marker among them), or the content of a script,
    // style, textarea, pre, listing, xmp or plaintext element.
    std::vector<bool> protected_after;
    // Where a '"' stands inside a tag without opening or closing a
    // double-quoted attribute value.
    std::vector<std::size_t> stray_quotes;
    // True when the text ends outside every tag, comment and raw text.
    bool ends_in_text = true;
};

BrowserReading ReadAsBrowser(std::string_view text);

} // namespace qf::fuzz
