#include "document/page_check.h"

#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_text.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace qf {

namespace {

struct MarkerCounts {
    int begins = 0;
    int ends = 0;
    std::size_t first_begin = kNotFound;
    std::size_t second_begin = kNotFound;
    std::vector<std::size_t> end_positions; // in page order
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

    // Every block marker in the page, by marker name (a view into the page).
    std::unordered_map<std::string_view, MarkerCounts> blocks;
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
            ++counts.ends;
            counts.end_positions.push_back(open);
        }
    }
    // Where each table block starts, in page order.
    std::vector<std::size_t> table_begins;
    for (std::size_t at = FindText(page, kTableBegin); at != kNotFound;
         at = FindText(page, kTableBegin, at + 1)) {
        table_begins.push_back(at);
    }

    const std::vector<std::string> declarations = DeclarationNames(page);
    const std::unordered_set<std::string_view> declared(declarations.begin(), declarations.end());
    for (const std::string& name : declarations) {
        const std::optional<NumberedName> split = SplitTrailingNumber(name);
        const std::string_view block =
            split && split->prefix == "Form" ? std::string_view("Form") : std::string_view(name);
        const auto found = blocks.find(block);
        if (found == blocks.end() || found->second.begins == 0) {
            const std::size_t block_start = page.find(kDeclareBegin);
            problems.push_back({"declaration " + name + " has no block",
                                page.find(DeclarationMarker(name), block_start)});
        }
    }

    bool any_form_declared = std::any_of(declarations.begin(), declarations.end(), [](auto& n) {
        const std::optional<NumberedName> split = SplitTrailingNumber(n);
        return split && split->prefix == "Form";
    });
    // The blocks in the order of their names, so the findings come in the
    // same order on every run.
    std::vector<std::pair<std::string_view, const MarkerCounts*>> by_name;
    by_name.reserve(blocks.size());
    for (const auto& [name, counts] : blocks) {
        by_name.emplace_back(name, &counts);
    }
    std::sort(by_name.begin(), by_name.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [name_view, counts_pointer] : by_name) {
        const std::string name(name_view);
        const MarkerCounts& counts = *counts_pointer;
        const bool form = name == "Form";
        if (counts.begins > 0 && counts.ends == 0) {
            problems.push_back(
                {"start marker Begin_" + name + " has no end marker", counts.first_begin});
        } else if (counts.ends > 0 && counts.begins == 0) {
            problems.push_back(
                {"end marker End_" + name + " has no start marker", counts.end_positions.front()});
        } else if (!form && (counts.begins > 1 || counts.ends > 1)) {
            problems.push_back(
                {"marker name " + name + " is used by " +
                     std::to_string(std::max(counts.begins, counts.ends)) + " blocks",
                 counts.second_begin != kNotFound ? counts.second_begin : counts.end_positions[1]});
        } else if (!form && counts.end_positions.front() < counts.first_begin) {
            problems.push_back({"end marker End_" + name + " comes before its start marker",
                                counts.end_positions.front()});
        }
        if (form) {
            if (counts.begins > 0 && !any_form_declared) {
                problems.push_back({"block Form has no declaration", counts.first_begin});
            }
            continue;
        }
        const bool numbered = !name.empty() && name.back() >= '0' && name.back() <= '9';
        if (counts.begins == 0 || !numbered || declared.count(name) != 0) {
            continue;
        }
        // The designer keeps the row of a deleted area that had adjacent areas
        // as an undeclared table around them; that is not a fault.
        // The first end marker after the start marker, and a table start
        // marker lying wholly between the two.
        const auto end_at = std::lower_bound(counts.end_positions.begin(),
                                             counts.end_positions.end(), counts.first_begin);
        bool kept_row = false;
        if (name.compare(0, kAreaKind.size(), kAreaKind) == 0 &&
            end_at != counts.end_positions.end()) {
            const auto table =
                std::lower_bound(table_begins.begin(), table_begins.end(), counts.first_begin + 1);
            kept_row = table != table_begins.end() && *table + kTableBegin.size() <= *end_at + 1;
        }
        if (!kept_row) {
            problems.push_back({"block " + name + " has no declaration", counts.first_begin});
        }
    }
    return problems;
}

} // namespace qf
