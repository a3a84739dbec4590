#include "document/page_check.h"

#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace qf {

namespace {

constexpr std::uint32_t kNoPosition = UINT32_MAX;

// What the page holds of one marker name, gathered in one pass in page order.
struct MarkerCounts {
    int begins = 0;
    int ends = 0;
    // Positions in 32 bits (a page is far smaller than 4 GB), so that a page
    // of many thousand names keeps its counts in few cache lines.
    std::uint32_t first_begin = kNoPosition;
    std::uint32_t second_begin = kNoPosition;
    std::uint32_t first_end = kNoPosition;
    std::uint32_t second_end = kNoPosition;
    std::uint32_t end_after_begin = kNoPosition; // the first end marker behind first_begin
    bool declared = false;                       // the declaration block names it as it stands
};

// The marker names of a page and what it holds of each, in the order first
// met: the entries in one array and an open-addressing index of 4 bytes a
// slot over them, so a page of many thousand names costs no allocation per
// name. Names are views into the page.
class NameTable {
public:
    struct Entry {
        std::string_view name;
        MarkerCounts counts;
    };

    explicit NameTable(std::size_t expected) {
        entries_.reserve(expected);
        std::size_t capacity = 64;
        while (capacity < 2 * expected) {
            capacity *= 2;
        }
        index_.assign(capacity, 0);
    }

    MarkerCounts& operator[](std::string_view name) {
        std::uint32_t& slot = SlotOf(name);
        if (slot != 0) {
            return entries_[slot - 1].counts;
        }
        entries_.push_back({name, {}});
        slot = std::uint32_t(entries_.size());
        if (entries_.size() * 2 > index_.size()) {
            Grow();
        }
        return entries_.back().counts;
    }

    // The counts of `name`; nullptr when the page holds no marker of it.
    MarkerCounts* Find(std::string_view name) {
        const std::uint32_t slot = SlotOf(name);
        return slot != 0 ? &entries_[slot - 1].counts : nullptr;
    }

    const std::vector<Entry>& Entries() const { return entries_; }

private:
    static std::uint64_t Hash(std::string_view name) {
        std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ name.size();
        std::size_t at = 0;
        for (; at + 8 <= name.size(); at += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, name.data() + at, 8);
            hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
            hash ^= hash >> 32;
        }
        std::uint64_t rest = 0;
        std::memcpy(&rest, name.data() + at, name.size() - at);
        hash = (hash ^ rest) * 0xC4CEB9FE1A85EC53ull;
        return hash ^ (hash >> 29);
    }

    // The index slot of `name`, or the free one where it would go.
    std::uint32_t& SlotOf(std::string_view name) {
        const std::size_t mask = index_.size() - 1;
        for (std::size_t at = Hash(name) & mask;; at = (at + 1) & mask) {
            std::uint32_t& slot = index_[at];
            if (slot == 0 || entries_[slot - 1].name == name) {
                return slot;
            }
        }
    }

    void Grow() {
        index_.assign(index_.size() * 2, 0);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            SlotOf(entries_[i].name) = std::uint32_t(i + 1);
        }
    }

    std::vector<std::uint32_t> index_; // an entry's number plus one; 0 is free
    std::vector<Entry> entries_;
};

constexpr std::string_view kTableBegin = "<!---Begin_Table";

constexpr std::size_t kLongestMarkerWord = 64;

bool IsMarkerWord(std::string_view word) {
    return !word.empty() && word.size() <= kLongestMarkerWord &&
           std::none_of(word.begin(), word.end(),
                        [](char c) { return c == ' ' || c == '<' || c == '>' || c == '\t'; });
}

} // namespace

std::vector<std::string> CheckPage(std::string_view page) {
    std::vector<std::string> messages;
    for (PageProblem& problem : FindPageProblems(page)) {
        messages.push_back(std::move(problem.message));
    }
    return messages;
}

std::vector<PageProblem> FindPageProblems(std::string_view page) {
    std::vector<PageProblem> problems;
    if (page.size() >= kNoPosition) {
        problems.push_back({"the page is larger than 4 GB", kNotFound});
        return problems;
    }
    if (page.find(kDeclareBegin) == kNotFound || page.find(kDeclarationSeparator) == kNotFound ||
        page.find(kDeclareEnd) == kNotFound) {
        problems.push_back({"no declaration block", kNotFound});
    }

    const std::vector<std::string_view> declarations = DeclarationNameViews(page);
    // Every block marker in the page, by marker name (a view into the page).
    NameTable blocks(declarations.size() + 16);
    std::size_t close = 0; // the first marker close at or after the word searched
    bool close_known = false;
    for (std::size_t open = FindText(page, kMarkerOpen); open != kNotFound;
         open = FindText(page, kMarkerOpen, open + 1)) {
        if (!close_known || close < open + kMarkerOpen.size()) {
            close = FindText(page, kMarkerClose, open + kMarkerOpen.size());
            close_known = true;
        }
        if (close == kNotFound) {
            break;
        }
        if (close - open - kMarkerOpen.size() > kLongestMarkerWord) {
            // The openings up to here all have words too long: go on near the close.
            open = close - kMarkerOpen.size() - kLongestMarkerWord - 1;
            continue;
        }
        const std::string_view word =
            page.substr(open + kMarkerOpen.size(), close - open - kMarkerOpen.size());
        if (!IsMarkerWord(word) || word == "End_Body") {
            continue;
        }
        if (word.substr(0, 6) == "Begin_") {
            MarkerCounts& counts = blocks[word.substr(6)];
            if (counts.begins++ == 0) {
                counts.first_begin = std::uint32_t(open);
            } else if (counts.begins == 2) {
                counts.second_begin = std::uint32_t(open);
            }
        } else if (word.substr(0, 4) == "End_") {
            MarkerCounts& counts = blocks[word.substr(4)];
            if (counts.ends++ == 0) {
                counts.first_end = std::uint32_t(open);
            } else if (counts.ends == 2) {
                counts.second_end = std::uint32_t(open);
            }
            if (counts.begins > 0 && counts.end_after_begin == kNoPosition) {
                counts.end_after_begin = std::uint32_t(open);
            }
        }
    }
    // Where each table block starts, in page order.
    std::vector<std::size_t> table_begins;
    for (std::size_t at = FindText(page, kTableBegin); at != kNotFound;
         at = FindText(page, kTableBegin, at + 1)) {
        table_begins.push_back(at);
    }

    bool any_form_declared = false;
    for (const std::string_view name : declarations) {
        const std::optional<NumberedName> split = SplitTrailingNumber(name);
        const bool form = split && split->prefix == "Form";
        any_form_declared = any_form_declared || form;
        MarkerCounts* const own = blocks.Find(name);
        if (own != nullptr) {
            own->declared = true;
        }
        // "Form1" declares the block Form.
        const MarkerCounts* const found = form ? blocks.Find(std::string_view("Form")) : own;
        if (found == nullptr || found->begins == 0) {
            const std::size_t block_start = page.find(kDeclareBegin);
            problems.push_back({"declaration " + std::string(name) + " has no block",
                                page.find(DeclarationMarker(name), block_start)});
        }
    }

    // The findings about blocks come in the order of the blocks' names (and
    // in the order found for one name), the same on every run; only what is
    // found is sorted, not every name.
    struct Finding {
        std::string_view name;
        PageProblem problem;
    };
    std::vector<Finding> findings;
    for (const NameTable::Entry& entry : blocks.Entries()) {
        const std::string_view name_view = entry.name;
        const MarkerCounts& counts = entry.counts;
        const bool form = name_view == "Form";
        const bool sound_so_far =
            counts.begins == 1 && counts.ends == 1 && counts.first_end > counts.first_begin;
        const bool numbered =
            !name_view.empty() && name_view.back() >= '0' && name_view.back() <= '9';
        if (!form && sound_so_far && (!numbered || counts.declared)) {
            continue; // the common case: nothing to say, and no text made for it
        }
        const std::string name(name_view);
        const auto add = [&findings, view = name_view](std::string message, std::size_t at) {
            findings.push_back({view, {std::move(message), at}});
        };
        if (counts.begins > 0 && counts.ends == 0) {
            add("start marker Begin_" + name + " has no end marker", counts.first_begin);
        } else if (counts.ends > 0 && counts.begins == 0) {
            add("end marker End_" + name + " has no start marker", counts.first_end);
        } else if (!form && (counts.begins > 1 || counts.ends > 1)) {
            add("marker name " + name + " is used by " +
                    std::to_string(std::max(counts.begins, counts.ends)) + " blocks",
                counts.second_begin != kNoPosition ? counts.second_begin : counts.second_end);
        } else if (!form && counts.first_end < counts.first_begin) {
            add("end marker End_" + name + " comes before its start marker", counts.first_end);
        }
        if (form) {
            if (counts.begins > 0 && !any_form_declared) {
                add("block Form has no declaration", counts.first_begin);
            }
            continue;
        }
        if (counts.begins == 0 || !numbered || counts.declared) {
            continue;
        }
        // The designer keeps the row of a deleted area that had adjacent areas
        // as an undeclared table around them; that is not a fault.
        // The first end marker after the start marker, and a table start
        // marker lying wholly between the two.
        bool kept_row = false;
        if (name.compare(0, kAreaKind.size(), kAreaKind) == 0 &&
            counts.end_after_begin != kNoPosition) {
            const auto table =
                std::lower_bound(table_begins.begin(), table_begins.end(), counts.first_begin + 1);
            kept_row = table != table_begins.end() &&
                       *table + kTableBegin.size() <= counts.end_after_begin + 1;
        }
        if (!kept_row) {
            add("block " + name + " has no declaration", counts.first_begin);
        }
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.name < b.name; });
    for (Finding& finding : findings) {
        problems.push_back(std::move(finding.problem));
    }
    return problems;
}

} // namespace qf
