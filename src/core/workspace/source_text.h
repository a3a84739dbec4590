#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace qf {

// How page bytes shown for editing were decoded, so that they are written
// back the same way and an unchanged source round-trips byte for byte.
enum class SourceEncoding { Utf8, Windows1252 };

struct SourceText {
    QString text;
    SourceEncoding encoding = SourceEncoding::Utf8;
};

// Page text as a person reads it: UTF-8 where the bytes are valid UTF-8,
// otherwise Windows-1252.
SourceText DecodeSource(std::string_view bytes);
// The encoding DecodeSource finds, without holding the decoded text.
SourceEncoding EncodingOfSource(std::string_view bytes);

// Page bytes cut for reading: every tag, comment and marker on a line of its
// own, the text between them on lines of their own. Nothing is lost or added,
// so the lines joined with nothing between them are the page bytes again.
// A tag's end is its first ">" outside quotes; a comment's (and a marker's)
// is its first "-->" or "--!>"; a "<" that starts no tag is text.
std::vector<std::string> SourceLines(std::string_view bytes);

// Text back to page bytes in `encoding`. A character Windows-1252 cannot hold
// is written as a numeric character reference ("&#8364;" style).
std::string EncodeSource(const QString& text, SourceEncoding encoding);

// Page text as a reader sees it where it stands for one line of typed text
// (a title): decoded as DecodeSource does, with every numeric character
// reference of a character outside ASCII ("&#252;", "&#xFC;") turned back
// into that character, the way typed text entered the page. Everything else,
// other references included, stays as it is.
QString ReadableText(std::string_view bytes);

// A place found in the source shown: its first character and its length.
struct SourceMatch {
    qsizetype start = -1;
    qsizetype length = 0;
    bool Found() const { return start >= 0; }
};

// Finds `needle` (in any case) in the source shown, as it is written and as
// it reads: a character reference ("&#252;", "&#xFC;", "&uuml;", "&amp;")
// reads as its character, so "Zürich" is found where the page writes
// "Z&#252;rich", the match then covering the whole reference. Forward: the
// first place starting at `from` or after it; backward: the last one
// starting before it; either goes round the end. Not found when the source
// holds it nowhere (or the needle is empty).
SourceMatch FindInSource(const QString& source, const QString& needle, qsizetype from,
                         bool backward);

} // namespace qf
