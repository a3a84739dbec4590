#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// Text operations on a page document: one string without line breaks, with
// positions counted from 0 here (npos means "not found"). Every search is an
// exact, case-sensitive search for the first occurrence.

inline constexpr std::size_t kNotFound = std::string_view::npos;

// The highest instance number a kind can have: the selection lists read at
// most three trailing digits back.
inline constexpr int kMaxInstanceNumber = 999;

// The text from the first "<!---declare_begin" up to, not including, the first
// "<!---declare_end"; empty when either is missing.
std::string_view DeclarationBlockText(std::string_view page);

// The marker names of all declarations, in block order.
std::vector<std::string> DeclarationNames(std::string_view page);
// The same names as views into `page`, for readers that only look.
std::vector<std::string_view> DeclarationNameViews(std::string_view page);

// True when a declaration, start marker or end marker of exactly this marker
// name stands anywhere in the page.
bool MarkerNameInUse(std::string_view page, std::string_view name);

// The number of a new component of the given kind: one more than the number of
// declarations whose tag begins with the kind tag, then the next number whose
// marker name is not yet in use. Throws CommandError past 999.
int NextInstanceNumber(std::string_view page, std::string_view kind);

// The number of an area committed in the layout designer: one more than the
// number of digit runs in the declaration block, then the next unused one.
int NextDesignerAreaNumber(std::string_view page);

// The numbers of the `count` areas of a new platform: counted from the digits
// that stand five characters after an upper-case "T" in the declaration block,
// each one the next number whose marker name is not yet in use.
std::vector<int> NextPlatformAreaNumbers(std::string_view page, int count);

// Where the declaration separator "<!---////---!>" stands. Throws
// CommandError when the page has none.
std::size_t DeclarationSeparator(std::string_view page);

// Inserts "<!---" + name + "---!>" immediately before the declaration
// separator. Throws CommandError when the page has no separator.
void AddDeclaration(std::string& page, std::string_view name);

// Deletes the first "<!---" + name + "---!>"; false when there is none.
bool RemoveDeclaration(std::string& page, std::string_view name);

// Where new content of area `area` goes: the end of the area's own cell.
// Throws CommandError when the area is not on the page or its content does not
// end in a cell.
std::size_t AreaInsertPoint(std::string_view page, int area);

// Where area `area` stands and where its new content goes. Throws as
// AreaInsertPoint does.
struct AreaPlace {
    std::size_t begin = kNotFound;        // first character of the start marker
    std::size_t end = kNotFound;          // first character of the end marker
    std::size_t insert_point = kNotFound; // as AreaInsertPoint answers
};
AreaPlace FindAreaPlace(std::string_view page, int area);

// `page` with two texts put in at positions of `page` itself, built in one
// pass: what inserting `first` at `first_at` and then `second` at the place
// `second_at` has moved to would give. At the same position `first` comes
// first.
std::string WithInsertions(std::string_view page, std::size_t first_at, std::string_view first,
                           std::size_t second_at, std::string_view second);

// The start and end markers of a block; kNotFound where missing.
struct BlockPosition {
    std::size_t begin = kNotFound; // first character of the start marker
    std::size_t end = kNotFound;   // first character of the end marker
    std::size_t content_begin = 0; // first character after the start marker
    std::size_t block_end = 0;     // one past the last character of the end marker
    bool found() const { return begin != kNotFound && end != kNotFound && content_begin <= end; }
};
BlockPosition FindBlock(std::string_view page, std::string_view name);

// The first occurrence of `needle` at or after `from`, as string_view::find
// answers it, but skipping ahead through text dense with markup: for marker
// texts.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0);

// Counts the non-overlapping occurrences of `needle` in `text`.
std::size_t CountOccurrences(std::string_view text, std::string_view needle);

} // namespace qf
