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

// Elements whose content a line break would change: raw text, text the
// visitor edits, and preformatted text.
constexpr std::string_view kWholeContentElements[] = {"script", "style",   "textarea", "pre",
                                                      "xmp",    "listing", "plaintext"};

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
    if (end_tag_) {
        return;
    }
    const std::string_view name = text_.substr(name_start_, pos_ - name_start_);
    for (std::string_view element : kWholeContentElements) {
        if (EqualsLower(name, element)) {
            raw_element_ = element;
        }
    }
}

void LineCutter::ScanRawText() {
    // Up to the element's end tag: "</" + its name + a blank, "/" or ">".
    const std::size_t after = pos_ + 2 + raw_element_.size();
    if (text_[pos_] == '<' && text_.substr(pos_ + 1, 1) == "/" &&
        EqualsLower(text_.substr(pos_ + 2, raw_element_.size()), raw_element_) &&
        (after >= text_.size() || IsSpace(text_[after]) || text_[after] == '/' ||
         text_[after] == '>')) {
        raw_element_ = {};
        pos_ = after;
        state_ = State::kTag;
        return;
    }
    ++pos_;
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
            if (c == ' ') {
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
                state_ = raw_element_.empty() ? State::kText : State::kRawText;
            } else if (IsSpace(c)) {
                if (state_ == State::kUnquotedValue) {
                    state_ = State::kTag;
                }
                if (c == ' ') {
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
