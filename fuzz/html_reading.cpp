#include "html_reading.h"

#include <string>

namespace qf::fuzz {

namespace {

enum class State {
    kData,
    kTagOpen,
    kEndTagOpen,
    kTagName,
    kBeforeAttributeName,
    kAttributeName,
    kAfterAttributeName,
    kBeforeValue,
    kDoubleQuotedValue,
    kSingleQuotedValue,
    kUnquotedValue,
    kAfterQuotedValue,
    kSelfClosing,
    kBogusComment,
    kCommentStart,
    kCommentStartDash,
    kComment,
    kCommentLessThan,
    kCommentLessThanBang,
    kCommentLessThanBangDash,
    kCommentLessThanBangDashDash,
    kCommentEndDash,
    kCommentEnd,
    kCommentEndBang,
    kRawText,
    kPlaintext,
    kScript,
    kScriptLessThan,
    kScriptEscapeStart,
    kScriptEscapeStartDash,
    kScriptEscaped,
    kScriptEscapedDash,
    kScriptEscapedDashDash,
    kScriptEscapedLessThan,
    kScriptDoubleEscapeStart,
    kScriptDoubleEscaped,
    kScriptDoubleEscapedDash,
    kScriptDoubleEscapedDashDash,
    kScriptDoubleEscapedLessThan,
    kScriptDoubleEscapeEnd,
};

bool IsWhite(char c) {
    // The tokenizer sees a CR as a line feed.
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {
        reading_.protected_after.assign(text.size(), false);
    }

    BrowserReading Run() {
        for (i_ = 0; i_ < text_.size(); ++i_) {
            Consume(text_[i_]);
            reading_.protected_after[i_] = in_pre_ || IsProtected();
        }
        reading_.ends_in_text = state_ == State::kData;
        return std::move(reading_);
    }

private:
    bool IsProtected() const {
        switch (state_) {
        case State::kDoubleQuotedValue:
        case State::kSingleQuotedValue:
        case State::kCommentStart:
        case State::kCommentStartDash:
        case State::kComment:
        case State::kCommentLessThan:
        case State::kCommentLessThanBang:
        case State::kCommentLessThanBangDash:
        case State::kCommentLessThanBangDashDash:
        case State::kCommentEndDash:
        case State::kCommentEnd:
        case State::kCommentEndBang:
        case State::kPlaintext:
            return true;
        case State::kRawText:
            return raw_protected_;
        default:
            return state_ >= State::kScript;
        }
    }

    // At a '<': "</" + the raw element's name + a blank, '/' or '>' ends it.
    bool TakeEndTagOf(std::string_view name) {
        const std::size_t after = i_ + 2 + name.size();
        if (after >= text_.size() || text_[i_ + 1] != '/' ||
            !(IsWhite(text_[after]) || text_[after] == '/' || text_[after] == '>')) {
            return false;
        }
        for (std::size_t k = 0; k < name.size(); ++k) {
            if (Lower(text_[i_ + 2 + k]) != name[k]) {
                return false;
            }
        }
        tag_start_ = i_;
        end_tag_ = true;
        name_ = std::string(name);
        i_ = after - 1; // the name is read; the tag goes on as any tag
        state_ = State::kTagName;
        return true;
    }

    void StrayQuote() { reading_.stray_quotes.push_back(i_); }

    void Emit() {
        state_ = State::kData;
        if (end_tag_) {
            if (in_pre_ && name_ == pre_name_) {
                in_pre_ = false;
                for (std::size_t k = tag_start_; k < i_; ++k) {
                    reading_.protected_after[k] = false;
                }
            }
            return;
        }
        if (name_ == "script") {
            state_ = State::kScript;
        } else if (name_ == "style" || name_ == "xmp" || name_ == "textarea" || name_ == "iframe" ||
                   name_ == "noembed" || name_ == "noframes" || name_ == "noscript" ||
                   name_ == "title") {
            state_ = State::kRawText;
            raw_name_ = name_;
            raw_protected_ = name_ == "style" || name_ == "xmp" || name_ == "textarea";
        } else if (name_ == "plaintext") {
            state_ = State::kPlaintext;
        } else if ((name_ == "pre" || name_ == "listing") && !in_pre_) {
            in_pre_ = true;
            pre_name_ = name_;
        }
    }

    void Consume(char c) {
        for (;;) {
            if (Step(c)) {
                return;
            }
        }
    }

    // Reads c in the current state; false when c is to be read again in the
    // state it switched to.
    bool Step(char c) {
        switch (state_) {
        case State::kData:
            if (c == '<') {
                tag_start_ = i_;
                state_ = State::kTagOpen;
            }
            return true;
        case State::kTagOpen:
            if (c == '!') {
                if (text_.substr(i_ + 1, 2) == "--") {
                    i_ += 2;
                    state_ = State::kCommentStart;
                } else {
                    state_ = State::kBogusComment;
                }
                return true;
            }
            if (c == '/') {
                state_ = State::kEndTagOpen;
                return true;
            }
            if (IsAlpha(c)) {
                end_tag_ = false;
                name_.clear();
                state_ = State::kTagName;
                return false;
            }
            state_ = c == '?' ? State::kBogusComment : State::kData;
            return c == '?';
        case State::kEndTagOpen:
            if (IsAlpha(c)) {
                end_tag_ = true;
                name_.clear();
                state_ = State::kTagName;
                return false;
            }
            if (c == '>') {
                state_ = State::kData;
                return true;
            }
            state_ = State::kBogusComment;
            return false;
        case State::kTagName:
            if (IsWhite(c)) {
                state_ = State::kBeforeAttributeName;
            } else if (c == '/') {
                state_ = State::kSelfClosing;
            } else if (c == '>') {
                Emit();
            } else {
                if (c == '"') {
                    StrayQuote();
                }
                name_ += Lower(c);
            }
            return true;
        case State::kBeforeAttributeName:
            if (IsWhite(c)) {
                return true;
            }
            if (c == '/' || c == '>') {
                state_ = State::kAfterAttributeName;
                return false;
            }
            state_ = State::kAttributeName;
            return c == '='; // an attribute whose name starts with '='
        case State::kAttributeName:
            if (IsWhite(c) || c == '/' || c == '>') {
                state_ = State::kAfterAttributeName;
                return false;
            }
            if (c == '=') {
                state_ = State::kBeforeValue;
            } else if (c == '"') {
                StrayQuote();
            }
            return true;
        case State::kAfterAttributeName:
            if (IsWhite(c)) {
                return true;
            }
            if (c == '/') {
                state_ = State::kSelfClosing;
            } else if (c == '=') {
                state_ = State::kBeforeValue;
            } else if (c == '>') {
                Emit();
            } else {
                state_ = State::kAttributeName;
                return false;
            }
            return true;
        case State::kBeforeValue:
            if (IsWhite(c)) {
                return true;
            }
            if (c == '"') {
                state_ = State::kDoubleQuotedValue;
            } else if (c == '\'') {
                state_ = State::kSingleQuotedValue;
            } else if (c == '>') {
                Emit();
            } else {
                state_ = State::kUnquotedValue;
                return false;
            }
            return true;
        case State::kDoubleQuotedValue:
            if (c == '"') {
                state_ = State::kAfterQuotedValue;
            }
            return true;
        case State::kSingleQuotedValue:
            if (c == '\'') {
                state_ = State::kAfterQuotedValue;
            } else if (c == '"') {
                StrayQuote();
            }
            return true;
        case State::kUnquotedValue:
            if (IsWhite(c)) {
                state_ = State::kBeforeAttributeName;
            } else if (c == '>') {
                Emit();
            } else if (c == '"') {
                StrayQuote();
            }
            return true;
        case State::kAfterQuotedValue:
            if (IsWhite(c)) {
                state_ = State::kBeforeAttributeName;
            } else if (c == '/') {
                state_ = State::kSelfClosing;
            } else if (c == '>') {
                Emit();
            } else {
                state_ = State::kBeforeAttributeName;
                return false;
            }
            return true;
        case State::kSelfClosing:
            if (c == '>') {
                Emit();
                return true;
            }
            state_ = State::kBeforeAttributeName;
            return false;
        case State::kBogusComment:
            if (c == '>') {
                state_ = State::kData;
            }
            return true;
        case State::kCommentStart:
            if (c == '-') {
                state_ = State::kCommentStartDash;
            } else if (c == '>') {
                state_ = State::kData;
            } else {
                state_ = State::kComment;
                return false;
            }
            return true;
        case State::kCommentStartDash:
            if (c == '-') {
                state_ = State::kCommentEnd;
            } else if (c == '>') {
                state_ = State::kData;
            } else {
                state_ = State::kComment;
                return false;
            }
            return true;
        case State::kComment:
            if (c == '<') {
                state_ = State::kCommentLessThan;
            } else if (c == '-') {
                state_ = State::kCommentEndDash;
            }
            return true;
        case State::kCommentLessThan:
            if (c == '!') {
                state_ = State::kCommentLessThanBang;
                return true;
            }
            if (c == '<') {
                return true;
            }
            state_ = State::kComment;
            return false;
        case State::kCommentLessThanBang:
            if (c == '-') {
                state_ = State::kCommentLessThanBangDash;
                return true;
            }
            state_ = State::kComment;
            return false;
        case State::kCommentLessThanBangDash:
            if (c == '-') {
                state_ = State::kCommentLessThanBangDashDash;
                return true;
            }
            state_ = State::kCommentEndDash;
            return false;
        case State::kCommentLessThanBangDashDash:
            state_ = State::kCommentEnd;
            return false;
        case State::kCommentEndDash:
            if (c == '-') {
                state_ = State::kCommentEnd;
                return true;
            }
            state_ = State::kComment;
            return false;
        case State::kCommentEnd:
            if (c == '>') {
                state_ = State::kData;
            } else if (c == '!') {
                state_ = State::kCommentEndBang;
            } else if (c != '-') {
                state_ = State::kComment;
                return false;
            }
            return true;
        case State::kCommentEndBang:
            if (c == '-') {
                state_ = State::kCommentEndDash;
            } else if (c == '>') {
                state_ = State::kData;
            } else {
                state_ = State::kComment;
                return false;
            }
            return true;
        case State::kRawText:
            if (c == '<') {
                TakeEndTagOf(raw_name_);
            }
            return true;
        case State::kPlaintext:
            return true;
        case State::kScript:
            if (c == '<' && !TakeEndTagOf("script")) {
                state_ = State::kScriptLessThan;
            }
            return true;
        case State::kScriptLessThan:
            if (c == '!') {
                state_ = State::kScriptEscapeStart;
                return true;
            }
            state_ = State::kScript;
            return c == '/'; // not the end tag: script text again
        case State::kScriptEscapeStart:
            state_ = c == '-' ? State::kScriptEscapeStartDash : State::kScript;
            return c == '-';
        case State::kScriptEscapeStartDash:
            state_ = c == '-' ? State::kScriptEscapedDashDash : State::kScript;
            return c == '-';
        case State::kScriptEscaped:
        case State::kScriptEscapedDash:
        case State::kScriptEscapedDashDash:
            if (c == '<') {
                if (!TakeEndTagOf("script")) {
                    state_ = State::kScriptEscapedLessThan;
                }
            } else if (c == '-') {
                state_ = state_ == State::kScriptEscaped ? State::kScriptEscapedDash
                                                         : State::kScriptEscapedDashDash;
            } else if (c == '>' && state_ == State::kScriptEscapedDashDash) {
                state_ = State::kScript;
            } else {
                state_ = State::kScriptEscaped;
            }
            return true;
        case State::kScriptEscapedLessThan:
            if (c == '/') {
                state_ = State::kScriptEscaped;
                return true;
            }
            if (IsAlpha(c)) {
                buffer_.clear();
                state_ = State::kScriptDoubleEscapeStart;
                return false;
            }
            state_ = State::kScriptEscaped;
            return false;
        case State::kScriptDoubleEscapeStart:
            if (IsWhite(c) || c == '/' || c == '>') {
                state_ = buffer_ == "script" ? State::kScriptDoubleEscaped : State::kScriptEscaped;
                return true;
            }
            if (IsAlpha(c)) {
                buffer_ += Lower(c);
                return true;
            }
            state_ = State::kScriptEscaped;
            return false;
        case State::kScriptDoubleEscaped:
        case State::kScriptDoubleEscapedDash:
        case State::kScriptDoubleEscapedDashDash:
            if (c == '<') {
                state_ = State::kScriptDoubleEscapedLessThan;
            } else if (c == '-') {
                state_ = state_ == State::kScriptDoubleEscaped
                             ? State::kScriptDoubleEscapedDash
                             : State::kScriptDoubleEscapedDashDash;
            } else if (c == '>' && state_ == State::kScriptDoubleEscapedDashDash) {
                state_ = State::kScript;
            } else {
                state_ = State::kScriptDoubleEscaped;
            }
            return true;
        case State::kScriptDoubleEscapedLessThan:
            if (c == '/') {
                buffer_.clear();
                state_ = State::kScriptDoubleEscapeEnd;
                return true;
            }
            state_ = State::kScriptDoubleEscaped;
            return false;
        case State::kScriptDoubleEscapeEnd:
            if (IsWhite(c) || c == '/' || c == '>') {
                state_ = buffer_ == "script" ? State::kScriptEscaped : State::kScriptDoubleEscaped;
                return true;
            }
            if (IsAlpha(c)) {
                buffer_ += Lower(c);
                return true;
            }
            state_ = State::kScriptDoubleEscaped;
            return false;
        }
        return true;
    }

    std::string_view text_;
    BrowserReading reading_;
    std::size_t i_ = 0;
    State state_ = State::kData;
    std::size_t tag_start_ = 0;
    bool end_tag_ = false;
    std::string name_;
    std::string raw_name_;
    bool raw_protected_ = false;
    std::string buffer_;
    bool in_pre_ = false;
    std::string pre_name_;
};

} // namespace

BrowserReading ReadAsBrowser(std::string_view text) {
    return Reader(text).Run();
}

} // namespace qf::fuzz
