#include "workspace/area_editing.h"

#include "components/user_text.h"
#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"
#include "workspace/workspace.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <iterator>
#include <unordered_map>
#include <unordered_set>

namespace qf {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

// One attribute of a tag: where its value stands in the page, and how it is
// quoted ('"', '\'' or 0 for none).
struct Attribute {
    std::string_view name;
    std::size_t value_begin = 0;
    std::size_t value_end = 0;
    char quote = 0;
};

struct Tag {
    std::string_view name;
    std::size_t end = 0; // one past the closing ">"
    std::vector<Attribute> attributes;

    const Attribute* Find(std::string_view attribute) const {
        for (const Attribute& a : attributes) {
            if (SameName(a.name, attribute)) {
                return &a;
            }
        }
        return nullptr;
    }
};

// The start tag that begins at `pos` (blanks before it skipped), read up to
// its ">" with quoted values honoured; nothing when there is no tag there or
// it does not close before `limit`.
std::optional<Tag> ReadTag(std::string_view page, std::size_t pos, std::size_t limit) {
    while (pos < limit && IsBlank(page[pos])) {
        ++pos;
    }
    if (pos >= limit || page[pos] != '<') {
        return std::nullopt;
    }
    auto is_name_char = [](char c) { return !IsBlank(c) && c != '>' && c != '=' && c != '/'; };
    Tag tag;
    std::size_t i = pos + 1;
    const std::size_t name_begin = i;
    while (i < limit && is_name_char(page[i])) {
        ++i;
    }
    tag.name = page.substr(name_begin, i - name_begin);
    if (tag.name.empty()) {
        return std::nullopt;
    }
    while (i < limit) {
        while (i < limit && (IsBlank(page[i]) || page[i] == '/')) {
            ++i;
        }
        if (i >= limit) {
            break;
        }
        if (page[i] == '>') {
            tag.end = i + 1;
            return tag;
        }
        Attribute attribute;
        const std::size_t attribute_begin = i;
        while (i < limit && is_name_char(page[i])) {
            ++i;
        }
        attribute.name = page.substr(attribute_begin, i - attribute_begin);
        std::size_t after = i;
        while (after < limit && IsBlank(page[after])) {
            ++after;
        }
        if (after < limit && page[after] == '=') {
            i = after + 1;
            while (i < limit && IsBlank(page[i])) {
                ++i;
            }
            if (i < limit && (page[i] == '"' || page[i] == '\'')) {
                attribute.quote = page[i];
                const std::size_t close = page.find(attribute.quote, i + 1);
                if (close == kNotFound || close >= limit) {
                    return std::nullopt;
                }
                attribute.value_begin = i + 1;
                attribute.value_end = close;
                i = close + 1;
            } else {
                attribute.value_begin = i;
                while (i < limit && !IsBlank(page[i]) && page[i] != '>') {
                    ++i;
                }
                attribute.value_end = i;
            }
        } else {
            attribute.value_begin = attribute.value_end = i;
        }
        tag.attributes.push_back(attribute);
    }
    return std::nullopt;
}

// Where each field of an area stands in the page.
struct AreaLayout {
    AreaShape shape = AreaShape::Table;
    std::optional<Tag> table;
    Tag cell;
    Tag spacer;
};

std::string AreaLabel(int area) {
    return "Area" + std::to_string(area);
}

[[noreturn]] void Unreadable(int area, const std::string& why) {
    throw CommandError(AreaLabel(area) + " cannot be modified: " + why + ".");
}

AreaLayout LocateArea(std::string_view page, int area) {
    const BlockPosition block = FindBlock(page, AreaName(area));
    if (!block.found()) {
        throw CommandError(AreaLabel(area) + " is not on this page");
    }
    AreaLayout layout;
    std::optional<Tag> first = ReadTag(page, block.content_begin, block.end);
    if (!first) {
        Unreadable(area, "its content does not begin with a table or a cell");
    }
    std::optional<Tag> cell;
    if (SameName(first->name, "table")) {
        layout.table = first;
        cell = ReadTag(page, first->end, block.end);
        if (!cell || !SameName(cell->name, "td")) {
            Unreadable(area, "its table does not begin with a cell");
        }
    } else if (SameName(first->name, "td")) {
        layout.shape = AreaShape::Cell;
        cell = first;
    } else {
        Unreadable(area, "its content does not begin with a table or a cell");
    }
    layout.cell = *cell;
    std::optional<Tag> spacer = ReadTag(page, cell->end, block.end);
    if (!spacer || !SameName(spacer->name, "img")) {
        Unreadable(area, "its cell does not begin with the spacer picture that gives its height");
    }
    layout.spacer = *spacer;
    return layout;
}

const Attribute& Require(int area, const Tag& tag, std::string_view name, const char* where) {
    const Attribute* attribute = tag.Find(name);
    if (attribute == nullptr) {
        Unreadable(area, std::string(where) + " has no " + std::string(name) + " attribute");
    }
    return *attribute;
}

std::string_view ValueOf(std::string_view page, const Attribute& attribute) {
    return page.substr(attribute.value_begin, attribute.value_end - attribute.value_begin);
}

int NumberOf(std::string_view page, int area, const Attribute& attribute, const char* what) {
    const std::string_view text = ValueOf(page, attribute);
    int value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || stop != text.data() + text.size()) {
        Unreadable(area, std::string("its ") + what + " \"" + std::string(text) +
                             "\" is not a whole number");
    }
    return value;
}

// Every attribute Modify reads, located in the area's own tags.
struct AreaAttributes {
    AreaShape shape = AreaShape::Table;
    const Attribute* table_width = nullptr;
    const Attribute* inner = nullptr;
    const Attribute* outer = nullptr;
    const Attribute* align = nullptr;
    const Attribute* valign = nullptr;
    Attribute cell_width;
    Attribute background;
    Attribute border_colour;
    Attribute height;
};

AreaAttributes Attributes(const AreaLayout& layout, int area) {
    AreaAttributes a;
    a.shape = layout.shape;
    if (layout.table) {
        const Tag& table = *layout.table;
        a.table_width = &Require(area, table, "width", "its table");
        a.inner = &Require(area, table, "cellpadding", "its table");
        a.outer = &Require(area, table, "cellspacing", "its table");
        a.align = &Require(area, table, "align", "its table");
        a.valign = &Require(area, table, "valign", "its table");
    }
    a.cell_width = Require(area, layout.cell, "width", "its cell");
    a.background = Require(area, layout.cell, "bgcolor", "its cell");
    a.border_colour = Require(area, layout.cell, "bordercolor", "its cell");
    a.height = Require(area, layout.spacer, "height", "its spacer picture");
    return a;
}

AreaReading Read(std::string_view page, int area, const AreaAttributes& a) {
    AreaReading reading;
    reading.shape = a.shape;
    AreaFields& f = reading.fields;
    f.width = NumberOf(page, area, a.cell_width, "width");
    f.height = NumberOf(page, area, a.height, "height");
    f.background = ValueOf(page, a.background);
    f.border_colour = ValueOf(page, a.border_colour);
    if (a.shape == AreaShape::Table) {
        NumberOf(page, area, *a.table_width, "table width");
        f.inner = NumberOf(page, area, *a.inner, "inner spacing");
        f.outer = NumberOf(page, area, *a.outer, "outer spacing");
        f.align = ValueOf(page, *a.align);
        f.valign = ValueOf(page, *a.valign);
    }
    return reading;
}

// One value to write over an attribute's value.
struct Replacement {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string text;
};

Replacement Write(const Attribute& attribute, std::string text) {
    // An unquoted value only takes a plain token; anything else gets quotes.
    const bool needs_quotes =
        attribute.quote == 0 && (text.empty() || std::any_of(text.begin(), text.end(), [](char c) {
                                     return IsBlank(c) || c == '>' || c == '"' || c == '\'' ||
                                            c == '=';
                                 }));
    if (needs_quotes) {
        text = "\"" + text + "\"";
    }
    return {attribute.value_begin, attribute.value_end, std::move(text)};
}

// The text with every replacement made, from the back, so every position
// read stays true for the ones before it.
std::string Replaced(std::string_view text, std::vector<Replacement> replacements) {
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement& x, const Replacement& y) { return x.begin > y.begin; });
    std::string replaced(text);
    for (const Replacement& r : replacements) {
        replaced.replace(r.begin, r.end - r.begin, r.text);
    }
    return replaced;
}

std::string TypedAttribute(const char* label, const std::string& typed) {
    CheckNoMarkerDelimiters(label, typed);
    CheckSingleLine(label, typed);
    return AttributeText(label, typed);
}

} // namespace

int AreaToEdit(std::string_view area_text) {
    if (area_text.empty() || area_text.front() != 'A') {
        throw CommandError(std::string(kNeedAreaToEditMessage));
    }
    return TrailingNumber(area_text);
}

AreaReading ReadArea(std::string_view page, int area) {
    const AreaLayout layout = LocateArea(page, area);
    return Read(page, area, Attributes(layout, area));
}

std::string ModifiedAreaText(std::string_view page, int area, const AreaChanges& changes) {
    const AreaLayout layout = LocateArea(page, area);
    const AreaAttributes a = Attributes(layout, area);
    const AreaReading before = Read(page, area, a);
    if (a.shape == AreaShape::Cell &&
        (changes.inner || changes.outer || changes.align || changes.valign)) {
        throw CommandError(AreaLabel(area) +
                           " is a cell beside another area: it has no spacings or alignment of "
                           "its own, only width, height and colours.");
    }
    std::vector<Replacement> replacements;
    if (changes.width) {
        replacements.push_back(Write(a.cell_width, std::to_string(*changes.width)));
        if (a.table_width != nullptr) {
            const long long table = NumberOf(page, area, *a.table_width, "table width");
            const long long grown = table + (*changes.width - (long long)before.fields.width);
            if (grown < INT_MIN || grown > INT_MAX) {
                throw CommandError("Width " + std::to_string(*changes.width) +
                                   " makes the table of " + AreaLabel(area) + " too wide.");
            }
            replacements.push_back(Write(*a.table_width, std::to_string(grown)));
        }
    }
    if (changes.height) {
        replacements.push_back(Write(a.height, std::to_string(*changes.height)));
    }
    if (changes.inner) {
        replacements.push_back(Write(*a.inner, std::to_string(*changes.inner)));
    }
    if (changes.outer) {
        replacements.push_back(Write(*a.outer, std::to_string(*changes.outer)));
    }
    if (changes.align) {
        replacements.push_back(Write(*a.align, TypedAttribute("Align", *changes.align)));
    }
    if (changes.valign) {
        replacements.push_back(Write(*a.valign, TypedAttribute("Valign", *changes.valign)));
    }
    if (changes.background) {
        replacements.push_back(
            Write(a.background, TypedAttribute("Background Color", *changes.background)));
    }
    if (changes.border_colour) {
        replacements.push_back(
            Write(a.border_colour, TypedAttribute("Border Color", *changes.border_colour)));
    }
    return Replaced(page, std::move(replacements));
}

void ModifyArea(Workspace& workspace, const AreaChanges& changes) {
    RequireOpenPage(workspace);
    const int area = AreaToEdit(workspace.area_list.text);
    CommitPageText(workspace, ModifiedAreaText(workspace.page_text, area, changes),
                   "Modify " + AreaLabel(area));
}

namespace {

// Removes from `list` the first occurrence of each of `removed` (twice for a
// name given twice), in one pass over the entries.
void RemoveEntries(SelectionList& list, const std::vector<std::string>& removed) {
    std::unordered_map<std::string_view, std::size_t> left;
    for (const std::string& entry : removed) {
        ++left[entry];
    }
    std::vector<std::string> kept;
    kept.reserve(list.entries.size());
    for (std::string& entry : list.entries) {
        const auto it = left.find(entry);
        if (it != left.end() && it->second > 0) {
            --it->second;
        } else {
            kept.push_back(std::move(entry));
        }
    }
    list.entries = std::move(kept);
}

// A stretch of the page that a deletion takes out: [begin, end).
struct Cut {
    std::size_t begin;
    std::size_t end;
};

// Walks the markers "<!---WORD---!>" that lie wholly outside the cuts, in
// page order, and hands each one's position and word to `visit`, which
// answers whether the marker goes too (the walk then goes on behind it).
// `cuts` are sorted and do not overlap.
template <typename Visit>
void ForEachMarkerOutside(std::string_view page, std::string_view open,
                          const std::vector<Cut>& cuts, Visit&& visit) {
    std::size_t next_cut = 0; // the first cut that does not end before pos
    for (std::size_t pos = page.find(open); pos != kNotFound;) {
        while (next_cut < cuts.size() && cuts[next_cut].end <= pos) {
            ++next_cut;
        }
        if (next_cut < cuts.size() && cuts[next_cut].begin <= pos) {
            pos = page.find(open, cuts[next_cut].end); // inside a cut
            continue;
        }
        const std::size_t limit = next_cut < cuts.size() ? cuts[next_cut].begin : page.size();
        const std::size_t word = pos + open.size();
        const std::size_t close = page.find(kMarkerClose, word);
        if (close == kNotFound) {
            return;
        }
        const std::size_t marker_end = close + kMarkerClose.size();
        if (marker_end > limit) {
            pos = page.find(open, pos + 1); // runs into a cut: no marker of what stays
            continue;
        }
        const bool goes = visit(pos, page.substr(word, close - word), marker_end);
        pos = page.find(open, goes ? marker_end : pos + 1);
    }
}

} // namespace

AreaDeletion DeletedAreaText(std::string_view page, int area) {
    const std::string name = AreaName(area);
    const BlockPosition block = FindBlock(page, name);
    const std::string own_marker = DeclarationMarker(name);
    const std::size_t own = page.find(own_marker);
    if (own == kNotFound && !block.found()) {
        throw CommandError(AreaLabel(area) + " is not on this page");
    }
    AreaDeletion deletion;
    deletion.area_entries.push_back(AreaLabel(area));
    // What goes: the area's declaration and its block (which takes the
    // declaration with it should it lie inside), then the declarations of
    // what was inside. Cut out of the page in one pass at the end.
    std::vector<Cut> cuts;
    if (block.found()) {
        cuts.push_back({block.begin, block.block_end});
    }
    if (own != kNotFound &&
        !(block.found() && own >= block.begin && own + own_marker.size() <= block.block_end)) {
        cuts.push_back({own, own + own_marker.size()});
    }
    std::sort(cuts.begin(), cuts.end(),
              [](const Cut& a, const Cut& b) { return a.begin < b.begin; });
    if (cuts.size() == 2 && cuts[0].end > cuts[1].begin) {
        // The declaration overlaps the block's edge: both go as one.
        cuts = {{cuts[0].begin, std::max(cuts[0].end, cuts[1].end)}};
    }

    // The names of every block inside the area, views into the page.
    std::vector<std::string_view> inner;
    const std::string begin_open = std::string(kMarkerOpen) + "Begin_";
    if (block.found()) {
        ForEachMarkerOutside(page.substr(block.content_begin, block.end - block.content_begin),
                             begin_open, {},
                             [&inner](std::size_t, std::string_view word, std::size_t) {
                                 inner.push_back(word);
                                 return false;
                             });
    }
    if (!inner.empty()) {
        // A name that still has a block outside the area (a number handed out
        // twice) keeps its declaration and its entry.
        std::unordered_set<std::string_view> begun;
        ForEachMarkerOutside(page, begin_open, cuts,
                             [&](std::size_t, std::string_view word, std::size_t) {
                                 begun.insert(word);
                                 return false;
                             });
        // Each inner name without a block left takes away one of its
        // declarations, the first still there, as many times as the area held it.
        struct Count {
            std::size_t wanted = 0;
            std::size_t found = 0;
        };
        std::unordered_map<std::string_view, Count> counts;
        counts.reserve(inner.size());
        std::size_t remaining = 0;
        for (const std::string_view inner_name : inner) {
            if (begun.count(inner_name) == 0) {
                ++counts[inner_name].wanted;
                ++remaining;
            }
        }
        // Only declaration markers can be wanted: a word that begins a block
        // marker is passed over without a look-up unless a wanted name reads so.
        const bool wanted_like_blocks =
            std::any_of(counts.begin(), counts.end(), [](const auto& entry) {
                return entry.first.substr(0, 6) == "Begin_" || entry.first.substr(0, 4) == "End_";
            });
        std::vector<Cut> declarations;
        declarations.reserve(remaining);
        if (remaining > 0) {
            ForEachMarkerOutside(
                page, kMarkerOpen, cuts,
                [&](std::size_t pos, std::string_view word, std::size_t marker_end) {
                    if (remaining == 0 || (!wanted_like_blocks && (word.substr(0, 6) == "Begin_" ||
                                                                   word.substr(0, 4) == "End_"))) {
                        return false;
                    }
                    const auto want = counts.find(word);
                    if (want == counts.end() || want->second.found >= want->second.wanted) {
                        return false;
                    }
                    ++want->second.found;
                    --remaining;
                    declarations.push_back({pos, marker_end});
                    return true;
                });
        }
        for (const std::string_view inner_name : inner) {
            const auto got = counts.find(inner_name);
            if (got == counts.end() || got->second.found == 0) {
                continue; // still begun elsewhere, or never declared
            }
            --got->second.found;
            const std::optional<NumberedName> split = SplitTrailingNumber(inner_name);
            if (!split) {
                continue;
            }
            if (split->prefix == kAreaKind) {
                deletion.area_entries.push_back(AreaLabel(split->number));
            } else if (std::string entry = ComponentEntry(split->prefix, split->number);
                       !entry.empty()) {
                deletion.component_entries.push_back(std::move(entry));
            }
        }
        if (!declarations.empty()) {
            std::vector<Cut> all;
            all.reserve(cuts.size() + declarations.size());
            std::merge(cuts.begin(), cuts.end(), declarations.begin(), declarations.end(),
                       std::back_inserter(all),
                       [](const Cut& a, const Cut& b) { return a.begin < b.begin; });
            cuts = std::move(all);
        }
    }
    std::size_t kept_size = page.size();
    for (const Cut& cut : cuts) {
        kept_size -= cut.end - cut.begin;
    }
    deletion.page.reserve(kept_size);
    std::size_t from = 0;
    for (const Cut& cut : cuts) {
        deletion.page.append(page.substr(from, cut.begin - from));
        from = cut.end;
    }
    deletion.page.append(page.substr(from));
    return deletion;
}

std::string AreaSpacer(int height) {
    return "<img src=\"\" height=\"" + std::to_string(height) +
           "\" width=\"0\" align=\"left\" hspace=\"0\">";
}

std::string WithStandingSpacers(std::string_view text) {
    std::vector<Replacement> replacements;
    const std::string begin_open = std::string(kMarkerOpen) + "Begin_" + std::string(kAreaKind);
    for (std::size_t pos = text.find(begin_open); pos != kNotFound;
         pos = text.find(begin_open, pos + 1)) {
        const std::size_t number_begin = pos + begin_open.size();
        const std::size_t close = text.find(kMarkerClose, number_begin);
        if (close == kNotFound) {
            break;
        }
        int area = 0;
        const char* first = text.data() + number_begin;
        const auto [stop, error] = std::from_chars(first, text.data() + close, area);
        if (error != std::errc() || stop != text.data() + close || *first == '0') {
            continue;
        }
        AreaLayout layout;
        try {
            layout = LocateArea(text, area);
        } catch (const CommandError&) {
            continue; // not an area of the editor's shapes
        }
        const Tag& spacer = layout.spacer;
        const Attribute* src = spacer.Find("src");
        const Attribute* width = spacer.Find("width");
        if (src == nullptr || src->value_begin != src->value_end || width == nullptr) {
            continue; // a picture of its own, not a spacer
        }
        // Only the first occurrence of an area's markers counts.
        if (FindBlock(text, AreaName(area)).begin != pos) {
            continue;
        }
        replacements.push_back(Write(*width, "0"));
        if (const Attribute* hspace = spacer.Find("hspace")) {
            replacements.push_back(Write(*hspace, "0"));
        } else {
            std::size_t end = spacer.end - 1; // the ">"
            if (end > 0 && text[end - 1] == '/') {
                --end;
            }
            replacements.push_back({end, end, " hspace=\"0\""});
        }
    }
    return Replaced(text, std::move(replacements));
}

AreaDeletion DeleteArea(Workspace& workspace) {
    RequireOpenPage(workspace);
    const int area = AreaToEdit(workspace.area_list.text);
    AreaDeletion deletion = DeletedAreaText(workspace.page_text, area);
    CommitPageText(workspace, deletion.page, "Delete " + AreaLabel(area));
    auto take = [](SelectionList& list, const std::vector<std::string>& removed,
                   std::string_view prompt, bool selected_gone) {
        RemoveEntries(list, removed);
        if (selected_gone ||
            std::find(removed.begin(), removed.end(), list.text) != removed.end()) {
            list.text = prompt;
        }
    };
    take(workspace.area_list, deletion.area_entries, kSelectAreaText, true);
    take(workspace.component_list, deletion.component_entries, kSelectComponentText, false);
    return deletion;
}

} // namespace qf
