#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qf::check {

// A page file as written and its page text, with the way between places in
// the one and the other: the text is the file without its line breaks (LF,
// and a CR right before it), as ReadPageFile joins it.
class PageFileView {
public:
    explicit PageFileView(std::string bytes);

    const std::string& bytes() const { return bytes_; }
    const std::string& text() const { return text_; }

    struct Place {
        int line = 0;   // from 1
        int column = 0; // from 1, in bytes
    };
    // The file line and column of a byte of the file.
    Place AtFileOffset(std::size_t offset) const;
    // The file line and column of a character of the page text.
    Place AtTextOffset(std::size_t offset) const;
    // The text position of a byte of the file (a line break counts as the
    // character after it).
    std::size_t TextOffset(std::size_t file_offset) const;

private:
    std::string bytes_;
    std::string text_;
    std::vector<std::size_t> line_starts_; // file offset of each line's first byte
    std::vector<std::size_t> text_starts_; // text offset of the same
};

// The blocks of a page text (start marker to end marker, areas and
// components alike) and the innermost one around a place.
class BlockIndex {
public:
    explicit BlockIndex(std::string_view text);

    struct Block {
        std::string name;        // marker name: "Link_Img3", "Table2", "Form"
        std::size_t begin = 0;   // first character of the start marker
        std::size_t content = 0; // first character after it
        std::size_t end = 0;     // first character of the end marker
        std::size_t after = 0;   // first character after the end marker
        int parent = -1;         // the enclosing block, -1 for none
        bool area() const;
    };
    const std::vector<Block>& blocks() const { return blocks_; }
    // The innermost block whose markers enclose the text position, or -1.
    int Innermost(std::size_t position) const;
    // The innermost component block (not an area) around it, or -1.
    int InnermostComponent(std::size_t position) const;
    // The innermost area around it, or -1.
    int InnermostArea(std::size_t position) const;

private:
    std::vector<Block> blocks_; // by begin
};

// The list entry of a marker name: "Area2" for "Table2", "Image Link3" for
// "Link_Img3", "Form" for the form; the name itself for a kind not known.
std::string EntryOfMarkerName(std::string_view name);

} // namespace qf::check
