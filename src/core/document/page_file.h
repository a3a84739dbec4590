#pragma once

#include "document/file_io.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// The longest line a page file is written with, where a blank allows the cut.
inline constexpr std::size_t kPageLineWidth = 120;

// The UTF-8 byte-order mark. At the start of a page text it is written at the
// very start of the file, before the leading empty line, where browsers read it.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Hands out the lines a page text is cut into, in one pass over the text.
// A line ends only directly after a blank that a browser reads as a mere
// blank: outside every tag's quoted attribute value, outside comments (so
// never inside a marker) and declarations, and outside the content of script,
// style, textarea, pre, xmp, listing and plaintext elements (and the other
// elements whose content is not markup: title, iframe, noembed, noframes,
// noscript). Contents are read as browsers read them: a script's runs to its
// end tag, but not to one inside "<!--" and "<script"; a pre's is markup, so
// its end tag inside a comment or an attribute value does not end it;
// plaintext runs to the end of the page. A line is at most
// kPageLineWidth characters long unless no such blank is within reach; then it
// runs on to the first one. Joining the lines gives the text back.
class LineCutter {
public:
    explicit LineCutter(std::string_view text) : text_(text) {}
    // The next line; false once every line was handed out.
    bool Next(std::string_view& line);

private:
    enum class State {
        kText,
        kTagName,
        kTag,
        kBeforeValue,
        kUnquotedValue,
        kDoubleQuoted,
        kSingleQuoted,
        kComment,
        kDeclaration,
        kRawText,
    };
    // The position of the next blank a line may end after, or npos.
    // Scans on over the blanks a line may end after: each one before `limit`
    // becomes `last`; answers the first one at or after `limit`, or npos.
    std::size_t NextCutBlank(std::size_t limit, std::size_t& last);
    // The same for the text from here to `end`, where every blank is a cut
    // blank (none in preformatted text); pos_ then stands behind the blank
    // answered, or at `end`.
    std::size_t CutBlankBefore(std::size_t end, std::size_t limit, std::size_t& last);
    void StartMarkup();
    void EndTagName();
    void EndTag();
    void ScanRawText();

    std::string_view text_;
    std::size_t start_ = 0;   // where the next line starts
    std::size_t pos_ = 0;     // everything before it is scanned
    std::size_t pending_ = 0; // the next cut blank not yet used, once started_
    bool started_ = false;
    State state_ = State::kText;
    std::size_t name_start_ = 0;
    bool end_tag_ = false;
    bool named_ = false;           // in a tag, an attribute name is read and no value yet
    std::string_view raw_element_; // the element whose content is being skipped
    std::string_view pre_element_; // the preformatted element the text is in
    std::string_view opening_pre_; // the start tag being read opens one
    bool closing_pre_ = false;     // the end tag being read closes it
    // Where the run of text or of a tag's attributes that the last answered
    // blank stands in ends; npos when no such run is under way.
    std::size_t segment_end_ = std::string_view::npos;
};

// The lines of a page text, as LineCutter hands them out.
std::vector<std::string_view> CutIntoLines(std::string_view text);

// The bytes of a page file: an empty line, the text cut into lines, an empty
// line, every line ended by CR LF; a byte-order mark that starts the text
// comes first of all.
std::string EncodePageFile(std::string_view text);

// The page text of a page file's bytes: all lines joined with nothing between
// them. LF and a CR directly before it are line breaks; every other byte,
// a lone CR included, is kept as it stands.
std::string DecodePageFile(std::string_view bytes);

// Reads a page file: only a regular file of at most 256 MB. Throws
// CommandError naming the file and the system's reason or what the path is.
// With `reading`, also the file's state and the hash of its bytes.
std::string ReadPageFile(const std::string& path, FileReading* reading = nullptr);

// The size in bytes of the page file EncodePageFile makes of `text`.
std::int64_t EncodedPageSize(std::string_view text);

// What a page save wrote: the new file's state and the hash of its bytes.
struct PageWrite {
    FileState state;
    std::size_t hash = 0;
};

// Writes a page file atomically (see SaveFile): every failure, a full disk or
// a failed sync or close among them, throws CommandError naming the file and
// the system's reason, and the old file stays whole. A page whose file would
// be larger than 256 MB (kMaxPageFileSize, the largest one read) is refused
// before anything is written. With `expected`, the file must still be in that
// state right before it is replaced (SaveFile::ExpectTarget). `written` is
// filled once the file is in place, also when NotDurableError follows.
void WritePageFile(const std::string& path, std::string_view text, PageWrite* written = nullptr,
                   const FileState* expected = nullptr);

} // namespace qf
