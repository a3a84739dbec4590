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

} // namespace qf
