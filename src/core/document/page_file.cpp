#include "document/page_file.h"

#include "document/file_io.h"
#include "error.h"

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

// Joins the lines of a page file's bytes where they stand.
void DecodeInPlace(std::string& bytes) {
    std::size_t kept = 0;
    bool after_cr = false;
    for (const char c : bytes) {
        if (c == '\n') {
            if (after_cr) {
                --kept; // the CR before it, kept when it was read
            }
            after_cr = false;
            continue;
        }
        after_cr = c == '\r';
        bytes[kept++] = c;
    }
    bytes.resize(kept);
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

std::size_t LineCutter::NextCutBlank() {
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        const std::size_t here = pos_;
        switch (state_) {
        case State::kText:
            if (c == '<') {
                StartMarkup();
                continue;
            }
            ++pos_;
            if (c == ' ' && pre_element_.empty()) {
                return here;
            }
            break;
        case State::kTagName:
            if (IsSpace(c) || c == '/' || c == '>') {
                EndTagName();
                state_ = State::kTag;
                continue; // the tag reads this character
            }
            ++pos_;
            break;
        case State::kTag:
        case State::kBeforeValue:
        case State::kUnquotedValue:
            ++pos_;
            if (c == '>') {
                EndTag();
            } else if (IsSpace(c)) {
                if (state_ == State::kUnquotedValue) {
                    state_ = State::kTag;
                }
                if (c == ' ' && pre_element_.empty()) {
                    return here;
                }
            } else if (state_ == State::kBeforeValue) {
                state_ = c == '"'    ? State::kDoubleQuoted
                         : c == '\'' ? State::kSingleQuoted
                                     : State::kUnquotedValue;
            } else if (state_ == State::kTag && c == '=') {
                state_ = State::kBeforeValue;
            }
            break;
        case State::kDoubleQuoted:
        case State::kSingleQuoted:
            ++pos_;
            if (c == (state_ == State::kDoubleQuoted ? '"' : '\'')) {
                state_ = State::kTag;
            }
            break;
        case State::kComment:
            if (c == '-' && text_.substr(pos_, 3) == "-->") {
                pos_ += 3;
                state_ = State::kText;
            } else if (c == '-' && text_.substr(pos_, 4) == "--!>") {
                pos_ += 4;
                state_ = State::kText;
            } else {
                ++pos_;
            }
            break;
        case State::kDeclaration:
            ++pos_;
            if (c == '>') {
                state_ = State::kText;
            }
            break;
        case State::kRawText:
            ScanRawText();
            break;
        }
    }
    return kNone;
}

bool LineCutter::Next(std::string_view& line) {
    if (start_ >= text_.size()) {
        return false;
    }
    if (!started_) {
        pending_ = NextCutBlank();
        started_ = true;
    }
    std::size_t cut = kNone;
    if (text_.size() - start_ > kPageLineWidth) {
        // The last cut blank that still ends a line of at most kPageLineWidth
        // characters; failing that, the first one after it.
        while (pending_ != kNone && pending_ < start_ + kPageLineWidth) {
            cut = pending_;
            pending_ = NextCutBlank();
        }
        if (cut == kNone && pending_ != kNone) {
            cut = pending_;
            pending_ = NextCutBlank();
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

std::string ReadPageFile(const std::string& path) {
    std::string text = ReadRegularFile(path);
    DecodeInPlace(text);
    return text;
}

void WritePageFile(const std::string& path, std::string_view text) {
    if (std::int64_t(text.size()) > kMaxPageFileSize) {
        throw CommandError("Cannot write file \"" + path +
                           "\". The page would be larger than 256 MB, too large to open again.");
    }
    SaveFile file(path);
    EncodeInto(text, [&](std::string_view piece) { file.Write(piece); });
    file.Commit();
}

} // namespace qf
