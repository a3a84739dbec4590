#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// A component that is a copy of a shared part stands between two plain
// comments naming the part: "<!--shared NAME-->" right before its start
// marker and "<!--/shared NAME-->" right after its end marker. They are no
// markers (browsers and the page's readers skip them as comments), so the
// component is read, modified and deleted as any other.
std::string SharedPartOpening(std::string_view part);
std::string SharedPartClosing(std::string_view part);

// One copy of a shared part on a page.
struct SharedCopy {
    std::string part;           // "Footer"
    std::string marker_name;    // the component's marker name: "Text2"
    std::size_t begin = 0;      // the opening comment's first character
    std::size_t end = 0;        // one past the closing comment's last character
    std::size_t body_begin = 0; // the component's body: after its start marker
    std::size_t body_end = 0;   // ... up to its end marker
};

// Every copy on `page`, in page order; with a `part`, only that part's. A
// comment pair around anything but one whole component block is no copy.
std::vector<SharedCopy> SharedCopies(std::string_view page, std::string_view part = {});

// The part the component with marker name `marker_name` is a copy of;
// empty when it is none.
std::string SharedPartOf(std::string_view page, std::string_view marker_name);

// `page` with the comments around the component `marker_name` taken out
// (the component stays); the page as it is when it is no copy.
std::string WithoutSharedComments(std::string_view page, std::string_view marker_name);

// A part's name, as the user gives it: 1 to 60 letters, digits, spaces, "_"
// and single "-", neither beginning nor ending with a space or "-". Throws
// CommandError saying what is wrong.
void CheckSharedPartName(std::string_view name);

} // namespace qf
