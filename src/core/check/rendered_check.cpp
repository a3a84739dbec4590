#include "check/rendered_check.h"

#include "check/element_name.h"
#include "render/render_page.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <utility>
#include <vector>

namespace qf::check {
namespace {

using Places = std::vector<std::pair<std::size_t, std::size_t>>;

// The parser's marks on an element it had to mend: closed before its own end
// tag, made from a stray end tag, moved out of a table, started again after
// misnesting.
constexpr unsigned kMended =
    GUMBO_INSERTION_IMPLICIT_END_TAG | GUMBO_INSERTION_CONVERTED_FROM_END_TAG |
    GUMBO_INSERTION_FOSTER_PARENTED | GUMBO_INSERTION_ADOPTION_AGENCY_CLONED |
    GUMBO_INSERTION_ADOPTION_AGENCY_MOVED | GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT;

// An element whose end tag may be left out, so a start tag that closes it
// is no mending ("<li>" closed by the next "<li>" never happens here, as the
// rendering writes every end tag, but "<p>" closed by "<table>" does).
bool EndTagOptional(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_BODY:
        return true;
    default:
        return false;
    }
}

bool IsAreaTable(const GumboNode* node) {
    if (node->type != GUMBO_NODE_ELEMENT || node->v.element.tag != GUMBO_TAG_TABLE) {
        return false;
    }
    const GumboAttribute* role = gumbo_get_attribute(&node->v.element.attributes, "role");
    return role != nullptr && std::string_view(role->value) == "presentation";
}

class RenderedWalk {
public:
    RenderedWalk(PageCheck& check, const std::string& rendered, const Places& places)
        : check_(check), rendered_(rendered), places_(places) {}

    void Walk(const GumboNode* node, int outer_area);
    void AreasNotShown();

private:
    // The page file offset of the element written at or before a place of
    // the rendered page; npos when none is known.
    std::size_t SourceOf(std::size_t rendered_offset) const;
    // The area block whose own table starts at a page file offset, or -1.
    int AreaOfTable(std::size_t file_offset) const;
    // The component or area (its own HTML code) around a page file offset,
    // or -1 for the page format.
    int UsersBlockAt(std::size_t file_offset) const;
    std::string Entry(int block) const {
        return EntryOfMarkerName(check_.blocks.blocks()[std::size_t(block)].name);
    }
    void Mended(const GumboNode* node);

    PageCheck& check_;
    const std::string& rendered_;
    const Places& places_;
    std::set<int> shown_areas_;
    std::set<int> reported_blocks_;
};

std::size_t RenderedWalk::SourceOf(std::size_t rendered_offset) const {
    const auto after = std::upper_bound(
        places_.begin(), places_.end(), rendered_offset,
        [](std::size_t offset, const auto& place) { return offset < place.first; });
    if (after == places_.begin()) {
        return std::string::npos;
    }
    return std::prev(after)->second;
}

int RenderedWalk::AreaOfTable(std::size_t file_offset) const {
    const int area = check_.blocks.InnermostArea(check_.view.TextOffset(file_offset));
    if (area < 0) {
        return -1;
    }
    // The area's table is the first element of its block.
    const BlockIndex::Block& block = check_.blocks.blocks()[std::size_t(area)];
    const std::string& text = check_.view.text();
    std::size_t first = block.content;
    while (first < block.end && std::isspace(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    return first == check_.view.TextOffset(file_offset) ? area : -1;
}

int RenderedWalk::UsersBlockAt(std::size_t file_offset) const {
    const std::size_t text_offset = check_.view.TextOffset(file_offset);
    const int component = check_.blocks.InnermostComponent(text_offset);
    if (component >= 0) {
        return check_.blocks.blocks()[std::size_t(component)].name == "Form" ? -1 : component;
    }
    const int area = check_.blocks.InnermostArea(text_offset);
    // The area's own table and cells are the page format's.
    return area >= 0 && AreaOfTable(file_offset) != area ? area : -1;
}

void RenderedWalk::Walk(const GumboNode* node, int outer_area) {
    if (node->type != GUMBO_NODE_ELEMENT) {
        return;
    }
    const GumboElement& element = node->v.element;
    if ((node->parse_flags & kMended) != 0 && !EndTagOptional(element.tag) &&
        !IsVoid(element.tag)) {
        Mended(node);
    }
    int area = outer_area;
    if (IsAreaTable(node)) {
        const std::size_t source = SourceOf(element.start_pos.offset);
        const int own = source == std::string::npos ? -1 : AreaOfTable(source);
        if (own >= 0) {
            shown_areas_.insert(own);
            const auto& blocks = check_.blocks.blocks();
            // A platform's areas stand inside their area in the page file
            // too; any other area inside one was taken in.
            bool inside_in_file = false;
            for (int up = blocks[std::size_t(own)].parent; up >= 0;
                 up = blocks[std::size_t(up)].parent) {
                inside_in_file = inside_in_file || up == outer_area;
            }
            if (outer_area >= 0 && !inside_in_file && reported_blocks_.insert(outer_area).second) {
                check_.AddAtTextOffset(
                    Severity::kError, blocks[std::size_t(outer_area)].content,
                    "In the published page, " + Entry(own) + " stands inside " + Entry(outer_area) +
                        ", so it moves and is laid out with it: an element " + "of " +
                        Entry(outer_area) + " is left open; close it before the area ends");
            }
            area = own;
        }
    }
    const GumboVector& children = element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        Walk(static_cast<const GumboNode*>(children.data[i]), area);
    }
}

void RenderedWalk::Mended(const GumboNode* node) {
    const GumboElement& element = node->v.element;
    const std::size_t source = SourceOf(element.start_pos.offset);
    if (source == std::string::npos) {
        return;
    }
    const int block = UsersBlockAt(source);
    if (block < 0 || !reported_blocks_.insert(block).second) {
        return;
    }
    const std::string name = ElementName(element, "?");
    std::string message;
    if ((node->parse_flags & GUMBO_INSERTION_IMPLICIT_END_TAG) != 0) {
        // What closed it: the tag at its end.
        std::string closer;
        std::size_t at = element.end_pos.offset;
        if (at + 1 < rendered_.size() && rendered_[at] == '<' && rendered_[at + 1] != '/') {
            ++at;
            while (at < rendered_.size() &&
                   std::isalnum(static_cast<unsigned char>(rendered_[at]))) {
                closer.push_back(char(std::tolower(static_cast<unsigned char>(rendered_[at]))));
                ++at;
            }
        }
        message = closer.empty()
                      ? "In the published page, \"<" + name +
                            ">\" is closed before its end tag, so the page looks different " +
                            "from the preview: close the elements inside it in order"
                      : "In the published page, \"<" + closer + ">\" may not stand inside \"<" +
                            name + ">\", so a browser closes \"<" + name +
                            ">\" there and the page looks different from the preview: close \"<" +
                            name + ">\" before \"<" + closer + ">\"";
    } else if ((node->parse_flags & GUMBO_INSERTION_CONVERTED_FROM_END_TAG) != 0) {
        message = "In the published page, \"</" + name +
                  ">\" closes nothing that is open, so a browser reads it as a new \"<" + name +
                  ">\": remove it";
    } else if ((node->parse_flags & GUMBO_INSERTION_FOSTER_PARENTED) != 0) {
        message = "In the published page, \"<" + name +
                  ">\" stands in a table outside any cell, so a browser moves it before the "
                  "table: put it into a cell";
    } else {
        message = "In the published page, \"<" + name +
                  ">\" is closed in the wrong order with the elements around it (misnested), "
                  "so a browser moves or repeats it: close the inner elements first";
    }
    check_.AddAtFileOffset(Severity::kWarning, source, std::move(message));
}

void RenderedWalk::AreasNotShown() {
    const auto& blocks = check_.blocks.blocks();
    const std::string& text = check_.view.text();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const BlockIndex::Block& block = blocks[i];
        if (!block.area() || shown_areas_.count(int(i)) != 0) {
            continue;
        }
        // Only areas drawn as a table of their own (not a platform's cells).
        std::size_t first = block.content;
        while (first < block.end && std::isspace(static_cast<unsigned char>(text[first]))) {
            ++first;
        }
        std::string start = text.substr(first, 6);
        for (char& c : start) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        if (start != "<table") {
            continue;
        }
        check_.AddAtTextOffset(Severity::kError, block.content,
                               "In the published page, " + Entry(int(i)) +
                                   " is not shown: HTML code before it leaves an element or a "
                                   "comment open (such as \"<textarea>\", \"<select>\" or "
                                   "\"<!--\"), which takes it in; close it");
        return; // the areas after it are taken in alike
    }
}

} // namespace

void CheckRenderedPage(PageCheck& check) {
    Places places;
    render::RenderOptions options;
    options.language = check.site_language;
    options.element_places = &places;
    const std::string rendered = render::RenderPage(check.view.bytes(), options);
    if (places.empty()) {
        return; // not UTF-8, or nothing in its body: nothing to point at
    }
    GumboOptions parse = kGumboDefaultOptions;
    parse.max_errors = 0;
    GumboOutput* output = gumbo_parse_with_options(&parse, rendered.data(), rendered.size());
    RenderedWalk walk(check, rendered, places);
    walk.Walk(output->root, -1);
    walk.AreasNotShown();
    gumbo_destroy_output(&kGumboDefaultOptions, output);
}

} // namespace qf::check
