#include "document/page_check.h"

#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_text.h"

#include <algorithm>
#include <unordered_map>

namespace qf {

namespace {

// What the page holds of one marker name, gathered in one pass in page order.
struct MarkerCounts {
    int begins = 0;
    int ends = 0;
    std::size_t first_begin = kNotFound;
    std::size_t second_begin = kNotFound;
    std::size_t first_end = kNotFound;
    std::size_t second_end = kNotFound;
    std::size_t end_after_begin = kNotFound; // the first end marker behind first_begin
    bool declared = false;                   // the declaration block names it as it stands
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
    if (page.find(kDeclareBegin) == kNotFound || page.find(kDeclarationSeparator) == kNotFound ||
        page.find(kDeclareEnd) == kNotFound) {
        problems.push_back({"no declaration block", kNotFound});
    }

    const std::vector<std::string_view> declarations = DeclarationNameViews(page);
    // Every block marker in the page, by marker name (a view into the page).
    std::unordered_map<std::string_view, MarkerCounts> blocks;
    blocks.reserve(declarations.size() + 16);
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
                counts.first_begin = open;
            } else if (counts.begins == 2) {
                counts.second_begin = open;
            }
        } else if (word.substr(0, 4) == "End_") {
            MarkerCounts& counts = blocks[word.substr(4)];
            if (counts.ends++ == 0) {
                counts.first_end = open;
            } else if (counts.ends == 2) {
                counts.second_end = open;
            }
            if (counts.begins > 0 && counts.end_after_begin == kNotFound) {
                counts.end_after_begin = open;
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
        const auto own = blocks.find(name);
        if (own != blocks.end()) {
            own->second.declared = true;
        }
        // "Form1" declares the block Form.
        const auto found = form ? blocks.find(std::string_view("Form")) : own;
        if (found == blocks.end() || found->second.begins == 0) {
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
    for (const auto& [name_view, counts] : blocks) {
        const bool form = name_view == "Form";
        const bool sound_so_far =
            counts.begins == 1 && counts.ends == 1 && counts.first_end > counts.first_begin;
        const bool numbered =
            !name_view.empty() && name_view.back() >= '0' && name_view.back() <= '9';
        if (!form && sound_so_far && (!numbered || counts.declared)) {
            continue; // the common case: nothing to say, and no text made for it
        }
        const std::string name(name_view);
        // The view is captured by copy: clang before 16 cannot capture a structured binding.
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
                counts.second_begin != kNotFound ? counts.second_begin : counts.second_end);
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
            counts.end_after_begin != kNotFound) {
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
