#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qf {

// The longest line a page file is written with, where a blank allows the cut.
inline constexpr std::size_t kPageLineWidth = 120;

// Cuts a page text into lines. A line ends only directly after a blank, so no
// cut falls inside a tag, a marker or right after "<"; a line is at most
// kPageLineWidth characters long unless a run without blanks makes it longer.
// Joining the lines gives the text back.
std::vector<std::string_view> CutIntoLines(std::string_view text);

// The bytes of a page file: an empty line, the text cut into lines, an empty
// line, every line ended by CR LF.
std::string EncodePageFile(std::string_view text);

// The page text of a page file's bytes: all lines joined with nothing between
// them. LF and a CR directly before it are line breaks; every other byte,
// a lone CR included, is kept as it stands.
std::string DecodePageFile(std::string_view bytes);

// Reads a page file. Throws CommandError naming the file and the system's reason.
std::string ReadPageFile(const std::string& path);

// Writes `bytes` as the file at `path` atomically: a temporary file in the
// same folder, flushed and renamed over the old one, which keeps its
// permissions. On any failure the old file stays whole and CommandError names
// the file and the reason.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes a page file atomically: a temporary file in the same folder, flushed
// and renamed over the old one, which keeps its permissions. On any failure
// the old file stays whole and CommandError names the file and the reason.
void WritePageFile(const std::string& path, std::string_view text);

} // namespace qf
