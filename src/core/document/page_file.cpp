#include "document/page_file.h"

#include "document/file_io.h"
#include "error.h"

#include <array>
#include <cstring>

namespace qf {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualsLower(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != lower[i]) {
            return false;
        }
    }
    return true;
}

// Elements whose content is not markup but runs to the element's end tag
// (plaintext to the end of the page). A line break would change the content
// of most of them (scripts, style sheets, text the visitor edits); the others
// are not cut either, which is simpler and costs only a longer line.
constexpr std::string_view kRawTextElements[] = {"script",    "style",   "textarea", "xmp",
                                                 "plaintext", "title",   "iframe",   "noembed",
                                                 "noframes",  "noscript"};

// Elements whose content is markup, but every blank of it is shown as it
// stands.
constexpr std::string_view kPreformattedElements[] = {"pre", "listing"};

bool IsNameEnd(char c) {
    return IsSpace(c) || c == '/' || c == '>';
}

// True when `text` at `at` holds the end tag of `element`: "</" + the name in
// any case + a blank, "/" or ">" (or the end of the text).
bool IsEndTagAt(std::string_view text, std::size_t at, std::string_view element) {
    const std::size_t after = at + 2 + element.size();
    return text.substr(at, 2) == "</" &&
           EqualsLower(text.substr(at + 2, element.size()), element) &&
           (after >= text.size() || IsNameEnd(text[after]));
}

// Where a script's content ends: the "<" of its end tag, or the end of the
// text. As browsers read it, "<!--" in a script starts an escaped part, in
// which "<script" starts a part that "</script>" does not end but returns to
// the escaped part; "-->" ends either part.
std::size_t ScriptContentEnd(std::string_view text, std::size_t pos) {
    enum class Part { kPlain, kEscaped, kDoubleEscaped };
    Part part = Part::kPlain;
    while ((pos = text.find_first_of("<-", pos)) != kNone) {
        const std::string_view rest = text.substr(pos);
        if (part != Part::kPlain && rest.substr(0, 3) == "-->") {
            part = Part::kPlain;
            pos += 3;
        } else if (part != Part::kDoubleEscaped && IsEndTagAt(text, pos, "script")) {
            return pos;
        } else if (part == Part::kPlain && rest.substr(0, 4) == "<!--") {
            part = Part::kEscaped;
            pos += 2; // its dashes may end the part at once: "<!-->"
        } else if (part == Part::kEscaped && rest.size() > 7 &&
                   EqualsLower(rest.substr(0, 7), "<script") && IsNameEnd(rest[7])) {
            part = Part::kDoubleEscaped;
            pos += 8;
        } else if (part == Part::kDoubleEscaped && rest.size() > 8 &&
                   EqualsLower(rest.substr(0, 8), "</script") && IsNameEnd(rest[8])) {
            part = Part::kEscaped;
            pos += 9;
        } else {
            ++pos;
        }
    }
    return text.size();
}

// Where the content of any other raw text element ends.
std::size_t RawContentEnd(std::string_view text, std::size_t pos, std::string_view element) {
    if (element == "plaintext") {
        return text.size();
    }
    while ((pos = text.find('<', pos)) != kNone && !IsEndTagAt(text, pos, element)) {
        ++pos;
    }
    return pos == kNone ? text.size() : pos;
}

// Writes the page file's bytes piece by piece.
template <typename Sink> void EncodeInto(std::string_view text, Sink&& sink) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        sink(kByteOrderMark);
        text.remove_prefix(kByteOrderMark.size());
    }
    sink("\r\n");
    LineCutter cutter(text);
    for (std::string_view line; cutter.Next(line);) {
        sink(line);
        sink("\r\n");
    }
    sink("\r\n");
}

// Joins the lines of a page file's bytes where they stand, moving each line
// once.
void DecodeInPlace(std::string& bytes) {
    char* const data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t kept = 0;
    std::size_t from = 0;
    while (from < size) {
        const void* found = std::memchr(data + from, '\n', size - from);
        const std::size_t stop = found ? std::size_t(static_cast<const char*>(found) - data) : size;
        std::size_t end = stop;
        if (found && end > from && data[end - 1] == '\r') {
            --end; // the CR directly before the LF
        }
        if (kept != from) {
            std::memmove(data + kept, data + from, end - from);
        }
        kept += end - from;
        from = stop + 1;
    }
    bytes.resize(kept);
}

// The bytes a state of the line cutter stops at; it passes over all others.
using ByteSet = std::array<bool, 256>;

constexpr ByteSet Bytes(std::string_view bytes) {
    ByteSet set{};
    for (const char c : bytes) {
        set[static_cast<unsigned char>(c)] = true;
    }
    return set;
}

constexpr ByteSet kTagNameStops = Bytes(" \t\n\r\f/>");
constexpr ByteSet kTagStops = Bytes(">=");
constexpr ByteSet kUnquotedStops = Bytes(" \t\n\r\f>");

// The first position in [from, end) holding `c`, or `end`. Markup is dense,
// so the first bytes are looked at one by one before memchr takes over.
std::size_t FindCharIn(std::string_view text, std::size_t from, std::size_t end, char c) {
    for (const std::size_t near = std::min(end, from + 16); from < near; ++from) {
        if (text[from] == c) {
            return from;
        }
    }
    if (from >= end) {
        return end;
    }
    const void* found = std::memchr(text.data() + from, c, end - from);
    return found ? std::size_t(static_cast<const char*>(found) - text.data()) : end;
}

// The first position at or after `from` holding `c`, or the size.
std::size_t FindChar(std::string_view text, std::size_t from, char c) {
    return FindCharIn(text, from, text.size(), c);
}

} // namespace

void LineCutter::StartMarkup() {
    const std::string_view rest = text_.substr(pos_);
    const char next = rest.size() > 1 ? rest[1] : '\0';
    if (rest.substr(0, 4) == "<!--") {
        pos_ += 4;
        // "<!-->" and "<!--->" are whole comments.
        if (text_.substr(pos_, 1) == ">") {
            pos_ += 1;
        } else if (text_.substr(pos_, 2) == "->") {
            pos_ += 2;
        } else {
            state_ = State::kComment;
        }
    } else if (IsLetter(next) || (next == '/' && rest.size() > 2 && IsLetter(rest[2]))) {
        end_tag_ = next == '/';
        pos_ += end_tag_ ? 2 : 1;
        name_start_ = pos_;
        state_ = State::kTagName;
    } else if (next == '!' || next == '?' || next == '/') {
        pos_ += 2; // a declaration or a bogus comment, up to the next ">"
        state_ = State::kDeclaration;
    } else {
        pos_ += 1; // a plain "<" in the text
    }
}

void LineCutter::EndTagName() {
    raw_element_ = {};
    opening_pre_ = {};
    closing_pre_ = false;
    const std::string_view name = text_.substr(name_start_, pos_ - name_start_);
    if (end_tag_) {
        closing_pre_ = !pre_element_.empty() && EqualsLower(name, pre_element_);
        return;
    }
    for (std::string_view element : kRawTextElements) {
        if (EqualsLower(name, element)) {
            raw_element_ = element;
        }
    }
    for (std::string_view element : kPreformattedElements) {
        if (pre_element_.empty() && EqualsLower(name, element)) {
            opening_pre_ = element;
        }
    }
}

void LineCutter::EndTag() {
    // A preformatted element's content runs from its start tag's ">" to its
    // end tag's.
    if (closing_pre_) {
        pre_element_ = {};
        closing_pre_ = false;
    }
    if (!opening_pre_.empty()) {
        pre_element_ = opening_pre_;
        opening_pre_ = {};
    }
    state_ = raw_element_.empty() ? State::kText : State::kRawText;
}

void LineCutter::ScanRawText() {
    pos_ = raw_element_ == "script" ? ScriptContentEnd(text_, pos_)
                                    : RawContentEnd(text_, pos_, raw_element_);
    if (pos_ < text_.size()) {
        // The end tag goes on as any tag.
        pos_ += 2 + raw_element_.size();
        raw_element_ = {};
        state_ = State::kTag;
    }
}

std::size_t LineCutter::CutBlankBefore(std::size_t end, std::size_t limit, std::size_t& last) {
    if (!pre_element_.empty()) {
        pos_ = end; // a blank of preformatted text is never cut
        return kNone;
    }
    for (std::size_t at = std::min(end, limit); at > pos_; --at) {
        if (text_[at - 1] == ' ') {
            last = at - 1;
            break;
        }
    }
    const std::size_t from = std::max(pos_, limit);
    const std::size_t at = from < end ? FindCharIn(text_, from, end, ' ') : end;
    if (at < end) {
        pos_ = at + 1;
        return at;
    }
    pos_ = end;
    return kNone;
}

// Each state is a label, and a change of state jumps to the next one.
std::size_t LineCutter::NextCutBlank(std::size_t limit, std::size_t& last) {
    const std::size_t size = text_.size();
    std::size_t found = kNone;
    switch (state_) {
    case State::kText:
        goto text;
    case State::kTagName:
        goto tag_name;
    case State::kTag:
        goto tag;
    case State::kBeforeValue:
        goto before_value;
    case State::kUnquotedValue:
        goto unquoted_value;
    case State::kDoubleQuoted:
        goto double_quoted;
    case State::kSingleQuoted:
        goto single_quoted;
    case State::kComment:
        goto comment;
    case State::kDeclaration:
        goto declaration;
    case State::kRawText:
        goto raw_text;
    }

text:
    // Every blank up to the next markup is a cut blank, outside preformatted text.
    state_ = State::kText;
    if (segment_end_ == kNone) {
        segment_end_ = FindChar(text_, pos_, '<');
    }
    found = CutBlankBefore(segment_end_, limit, last);
    if (found != kNone) {
        return found;
    }
    segment_end_ = kNone;
    if (pos_ >= size) {
        return kNone;
    }
    StartMarkup();
    if (state_ == State::kTagName) {
        goto tag_name;
    }
    if (state_ == State::kComment) {
        goto comment;
    }
    if (state_ == State::kDeclaration) {
        goto declaration;
    }
    goto text;

tag_name:
    state_ = State::kTagName;
    while (pos_ < size && !kTagNameStops[static_cast<unsigned char>(text_[pos_])]) {
        ++pos_;
    }
    if (pos_ >= size) {
        return kNone;
    }
    EndTagName();
    named_ = false;
    goto tag; // the tag reads this character

tag:
    // Between attributes every blank is a cut blank, up to a value or the end.
    state_ = State::kTag;
    if (segment_end_ == kNone) {
        segment_end_ = pos_;
        // Whether an attribute name stands before the stop, so that an "="
        // there opens its value.
        for (; segment_end_ < size; ++segment_end_) {
            const char c = text_[segment_end_];
            if (kTagStops[static_cast<unsigned char>(c)]) {
                break;
            }
            if (c == '/') {
                named_ = false;
            } else if (!IsSpace(c)) {
                named_ = true;
            }
        }
    }
    found = CutBlankBefore(segment_end_, limit, last);
    if (found != kNone) {
        return found;
    }
    segment_end_ = kNone;
    if (pos_ >= size) {
        return kNone;
    }
    if (text_[pos_++] == '=') {
        // Where a name would start, "=" starts the name ("=x").
        named_ = !named_;
        if (!named_) {
            goto before_value;
        }
        goto tag;
    }
    goto tag_end;

tag_end:
    EndTag();
    if (state_ == State::kText) {
        goto text;
    }
    goto raw_text;

before_value:
    state_ = State::kBeforeValue;
    while (pos_ < size) {
        const char c = text_[pos_++];
        if (c == '>') {
            goto tag_end;
        }
        if (c == '"') {
            goto double_quoted;
        }
        if (c == '\'') {
            goto single_quoted;
        }
        if (!IsSpace(c)) {
            goto unquoted_value;
        }
        if (c == ' ' && pre_element_.empty()) {
            if (pos_ - 1 >= limit) {
                return pos_ - 1;
            }
            last = pos_ - 1;
        }
    }
    return kNone;

unquoted_value:
    state_ = State::kUnquotedValue;
    while (pos_ < size && !kUnquotedStops[static_cast<unsigned char>(text_[pos_])]) {
        ++pos_;
    }
    if (pos_ >= size) {
        return kNone;
    }
    if (text_[pos_++] == '>') {
        goto tag_end;
    }
    state_ = State::kTag; // a blank ends the value
    named_ = false;
    if (text_[pos_ - 1] == ' ' && pre_element_.empty()) {
        if (pos_ - 1 >= limit) {
            return pos_ - 1;
        }
        last = pos_ - 1;
    }
    goto tag;

double_quoted:
    state_ = State::kDoubleQuoted;
    pos_ = FindChar(text_, pos_, '"');
    if (pos_ >= size) {
        return kNone;
    }
    ++pos_;
    named_ = false;
    goto tag;

single_quoted:
    state_ = State::kSingleQuoted;
    pos_ = FindChar(text_, pos_, '\'');
    if (pos_ >= size) {
        return kNone;
    }
    ++pos_;
    named_ = false;
    goto tag;

comment:
    // The comment ends at the first "-->" or "--!>" from here; each ends at
    // a ">", and a ">" ends at most one of them.
    state_ = State::kComment;
    for (std::size_t close = pos_; (close = FindChar(text_, close, '>')) < size; ++close) {
        if ((close >= pos_ + 2 && text_.substr(close - 2, 2) == "--") ||
            (close >= pos_ + 3 && text_.substr(close - 3, 3) == "--!")) {
            pos_ = close + 1;
            goto text;
        }
    }
    pos_ = size;
    return kNone;

declaration:
    // A declaration or a bogus comment, up to the next ">".
    state_ = State::kDeclaration;
    pos_ = FindChar(text_, pos_, '>');
    if (pos_ >= size) {
        return kNone;
    }
    ++pos_;
    goto text;

raw_text:
    state_ = State::kRawText;
    ScanRawText();
    if (state_ == State::kTag) {
        named_ = false;
        goto tag;
    }
    return kNone;
}

bool LineCutter::Next(std::string_view& line) {
    if (start_ >= text_.size()) {
        return false;
    }
    std::size_t cut = kNone;
    if (!started_) {
        pending_ = NextCutBlank(0, cut);
        started_ = true;
    }
    if (text_.size() - start_ > kPageLineWidth) {
        // The last cut blank that still ends a line of at most kPageLineWidth
        // characters; failing that, the first one after it.
        const std::size_t limit = start_ + kPageLineWidth;
        if (pending_ != kNone && pending_ < limit) {
            cut = pending_;
            pending_ = NextCutBlank(limit, cut);
        }
        if (cut == kNone && pending_ != kNone) {
            cut = pending_;
            pending_ = NextCutBlank(0, cut);
        }
    }
    if (cut == kNone || cut + 1 >= text_.size()) {
        line = text_.substr(start_);
        start_ = text_.size();
        return true;
    }
    line = text_.substr(start_, cut + 1 - start_);
    start_ = cut + 1;
    return true;
}

std::vector<std::string_view> CutIntoLines(std::string_view text) {
    std::vector<std::string_view> lines;
    LineCutter cutter(text);
    for (std::string_view line; cutter.Next(line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string EncodePageFile(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 32 + 8);
    EncodeInto(text, [&](std::string_view piece) { bytes.append(piece); });
    return bytes;
}

std::string DecodePageFile(std::string_view bytes) {
    std::string text(bytes);
    DecodeInPlace(text);
    return text;
}

std::string ReadPageFile(const std::string& path, FileReading* reading) {
    std::string text = ReadRegularFile(path, reading);
    DecodeInPlace(text);
    return text;
}

std::int64_t EncodedPageSize(std::string_view text) {
    // Two line ends around the lines, and one for each line.
    std::int64_t size = std::int64_t(text.size()) + 4;
    std::string_view rest = text;
    if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        rest.remove_prefix(kByteOrderMark.size());
    }
    LineCutter cutter(rest);
    for (std::string_view line; cutter.Next(line);) {
        size += 2;
    }
    return size;
}

namespace {

const std::string kTooLargeReason =
    "The page would be larger than 256 MB, too large to open again.";

// True when the page file of `text` would be larger than the largest page
// that can be read. Every line holds a character, so the file is at most
// three times the text; only between the bounds are the lines counted.
bool PageTooLarge(std::string_view text) {
    const std::int64_t least = std::int64_t(text.size()) + 4;
    if (least > kMaxPageFileSize) {
        return true;
    }
    if (3 * std::int64_t(text.size()) + 4 <= kMaxPageFileSize) {
        return false;
    }
    return EncodedPageSize(text) > kMaxPageFileSize;
}

} // namespace

void WritePageFile(const std::string& path, std::string_view text, PageWrite* written,
                   const FileState* expected) {
    if (PageTooLarge(text)) {
        throw CommandError("Cannot write file \"" + path + "\". " + kTooLargeReason);
    }
    SaveFile file(path);
    if (expected != nullptr) {
        file.ExpectTarget(*expected);
    }
    file.LimitSize(kMaxPageFileSize, kTooLargeReason);
    EncodeInto(text, [&](std::string_view piece) { file.Write(piece); });
    auto tell = [&] {
        if (written != nullptr) {
            written->state = file.written();
            written->hash = file.written_hash();
        }
    };
    try {
        file.Commit();
    } catch (const NotDurableError&) {
        tell();
        throw;
    }
    tell();
}

} // namespace qf
