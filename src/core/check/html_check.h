#pragma once

#include "check/page_places.h"
#include "check/site_check.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qf::check {

// What the check learns about files of the project once and asks again for
// every page that names them.
class FileFacts {
public:
    struct Entry {
        bool exists = false;
        bool file = false;
        bool folder = false;
        long long size = 0;
    };
    const Entry& Look(const std::string& path);
    // The natural size of a picture, read once per path.
    std::optional<PictureSize> SizeOf(const std::string& path, const PictureSizeReader& reader);
    // The name of an entry of `folder` that equals `name` but for case, or empty.
    std::string OtherCase(const std::string& folder, const std::string& name);
    // The places a link can name in the page at `path` ("page.html#part"):
    // the values of its id and name attributes, read once per path.
    const std::set<std::string>& Anchors(const std::string& path);

private:
    std::map<std::string, Entry> entries_;
    std::map<std::string, std::optional<PictureSize>> sizes_;
    std::map<std::string, std::vector<std::string>> listings_;
    std::map<std::string, std::set<std::string>> anchors_;
};

// One page being checked: what it is, where it lies, and the findings so far.
struct PageCheck {
    const std::string& folder; // the project folder, ending in "/"
    const std::string& page;   // the page's file name
    const PageFileView& view;
    const BlockIndex& blocks;
    const SiteCheckOptions& options;
    FileFacts& files;
    std::vector<Finding>& findings;

    // Filled by CheckPageHtml for the checks that follow it.
    std::string form_action;                   // the form block's action, as written
    std::size_t form_offset = std::size_t(-1); // file offset of the form's start tag
    // The files of the project the page's locations reach, by full path.
    std::set<std::string> used_files;
    // The language the site's settings give every page; empty: none given.
    std::string site_language;
    // The natural width of the widest picture the page shows, as far as it
    // could be read; 0 for none.
    int widest_picture = 0;
    static constexpr std::size_t kNoOffset = std::size_t(-1);

    // The list entry of the component or area around a file offset.
    std::string EntryAt(std::size_t file_offset) const;
    void AddAtFileOffset(Severity severity, std::size_t file_offset, std::string message);
    void AddAtTextOffset(Severity severity, std::size_t text_offset, std::string message);
    void AddForPage(Severity severity, std::string message);
};

// Parses the page file as a browser does and reports, from what it builds:
// links and file locations that reach nothing, local paths, pictures without
// alternative text or much larger than shown, fields without a name, the
// title and language, and, inside components and areas' HTML code, elements
// closed implicitly, misnested, moved or ignored; what the page format itself
// makes a browser correct is one note.
void CheckPageHtml(PageCheck& check);

// What is said of text in angle brackets that names no element ("<since
// 1998>"), which browsers take for a tag and hide.
std::string UnknownElementMessage(std::string_view name);

// UnknownElementMessage for the first such text in `text` as typed into a
// component's text field (custom elements, with a "-", are elements); empty
// when there is none.
std::string UnknownElementHint(std::string_view text);

} // namespace qf::check
