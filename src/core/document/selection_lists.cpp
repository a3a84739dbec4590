#include "document/selection_lists.h"

#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "error.h"

#include <algorithm>

namespace qf {

void SelectionList::Remove(std::string_view entry) {
    const auto it = std::find(entries.begin(), entries.end(), entry);
    if (it != entries.end()) {
        entries.erase(it);
    }
}

int TrailingNumber(std::string_view text) {
    const std::optional<NumberedName> split = SplitTrailingNumber(text);
    if (!split) {
        throw CommandError("'" + std::string(text) + "' is not a valid integer value");
    }
    return split->number;
}

namespace {

void AddAreaEntry(std::vector<std::string>& entries, std::string_view name) {
    if (name.substr(0, kAreaKind.size()) == kAreaKind) {
        entries.push_back(std::string("Area").append(name.substr(kAreaKind.size())));
    }
}

void AddComponentEntry(std::vector<std::string>& entries, std::string_view name) {
    const std::optional<NumberedName> split = SplitTrailingNumber(name);
    if (!split || split->prefix == kAreaKind) {
        return;
    }
    const Kind* kind = FindKindByTag(split->prefix);
    if (kind == nullptr || kind->display_name.empty()) {
        return;
    }
    entries.push_back(std::string(kind->display_name) + std::to_string(split->number));
}

} // namespace

std::vector<std::string> AreaEntries(std::string_view page) {
    std::vector<std::string> entries;
    for (const std::string_view name : DeclarationNameViews(page)) {
        AddAreaEntry(entries, name);
    }
    return entries;
}

std::vector<std::string> ComponentEntries(std::string_view page) {
    std::vector<std::string> entries;
    for (const std::string_view name : DeclarationNameViews(page)) {
        AddComponentEntry(entries, name);
    }
    return entries;
}

void RebuildSelectionLists(SelectionList& areas, SelectionList& components, std::string_view page) {
    areas.entries.clear();
    components.entries.clear();
    for (const std::string_view name : DeclarationNameViews(page)) {
        AddAreaEntry(areas.entries, name);
        AddComponentEntry(components.entries, name);
    }
}

void ForgetStaleText(SelectionList& list, std::string_view prompt) {
    if (std::find(list.entries.begin(), list.entries.end(), list.text) == list.entries.end()) {
        list.text = std::string(prompt);
    }
}

std::optional<int> SelectedAreaNumber(std::string_view area_text) {
    if (area_text.empty() || area_text.front() != 'A') {
        return std::nullopt;
    }
    return TrailingNumber(area_text);
}

std::optional<int> SelectedAreaOnPage(std::string_view page, std::string_view area_text) {
    const std::optional<int> area = SelectedAreaNumber(area_text);
    if (area) {
        AreaInsertPoint(page, *area); // throws when the area is not there
    }
    return area;
}

int ExactAreaNumber(std::string_view page, std::string_view area_text) {
    constexpr std::string_view kPrefix = "Area";
    const std::string_view digits = area_text.substr(std::min(area_text.size(), kPrefix.size()));
    const bool well_formed =
        area_text.substr(0, kPrefix.size()) == kPrefix && !digits.empty() && digits[0] != '0' &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!well_formed) {
        throw CommandError("'" + std::string(area_text) +
                           "' is not an area name: Area followed by the area's number, as Area2");
    }
    // Numbers stop at 999, so a longer one names no area of any page.
    if (digits.size() > 3) {
        throw CommandError(std::string(area_text) + " is not on this page");
    }
    const int area = TrailingNumber(area_text);
    // A declared area counts even without its block: deleting it is how
    // such a declaration goes.
    const std::vector<std::string> declared = AreaEntries(page);
    if (std::find(declared.begin(), declared.end(), area_text) == declared.end()) {
        AreaInsertPoint(page, area); // throws when the page does not hold it
    }
    return area;
}

std::optional<ComponentSelection> SelectedComponentName(std::string_view component_text) {
    if (component_text.empty() || component_text.back() < '0' || component_text.back() > '9') {
        return std::nullopt;
    }
    const std::optional<NumberedName> split = SplitTrailingNumber(component_text);
    if (!split) {
        return std::nullopt;
    }
    ComponentSelection selection;
    selection.number = split->number;
    if (const Kind* kind = FindKindByDisplayName(split->prefix)) {
        selection.kind_tag = std::string(kind->tag);
    }
    return selection;
}

std::string ComponentEntry(std::string_view kind_tag, int number) {
    const Kind* kind = FindKindByTag(kind_tag);
    if (kind == nullptr || kind->display_name.empty()) {
        return {};
    }
    return std::string(kind->display_name) + std::to_string(number);
}

} // namespace qf
