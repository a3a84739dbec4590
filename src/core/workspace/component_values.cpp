#include "workspace/component_values.h"

#include "document/markers.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"
#include "workspace/component_editing.h"
#include "workspace/workspace.h"

#include <charconv>

namespace qf {

namespace {

// The row and column of a cell name "cell.R.C", or 0 0 for another name.
std::pair<int, int> CellPlace(std::string_view name) {
    constexpr std::string_view kPrefix = "cell.";
    if (name.substr(0, kPrefix.size()) != kPrefix) {
        return {0, 0};
    }
    int row = 0;
    int column = 0;
    const char* end = name.data() + name.size();
    const auto first = std::from_chars(name.data() + kPrefix.size(), end, row);
    if (first.ptr == end || *first.ptr != '.') {
        return {0, 0};
    }
    std::from_chars(first.ptr + 1, end, column);
    return {row, column};
}

int GridCount(const FieldValues& values, std::string_view name) {
    const auto found = values.find(name);
    int count = 1;
    if (found != values.end()) {
        std::from_chars(found->second.data(), found->second.data() + found->second.size(), count);
    }
    return std::max(count, 1);
}

} // namespace

ComponentReading ReadComponent(std::string_view page, std::string_view component_text) {
    const ComponentSelection selection = ComponentToEdit(component_text);
    return ReadComponentBody(selection.kind_tag, ComponentSource(page, component_text));
}

std::string ModifiedComponentValuesText(std::string_view page, std::string_view component_text,
                                        const FieldValues& changes) {
    const ComponentSelection selection = ComponentToEdit(component_text);
    const ComponentReading reading = ReadComponent(page, component_text);
    if (!reading.readable) {
        throw CommandError(std::string(component_text) + " cannot be read back: " + reading.reason +
                           " Its HTML can be changed as source.");
    }
    const ComponentSpec* spec = FindComponentSpec(selection.kind_tag);
    for (const auto& [name, value] : changes) {
        if (FindField(*spec, name) == nullptr) {
            throw CommandError("'" + name + "' is not a field of " + selection.kind_tag);
        }
    }
    FieldValues values = reading.Values();
    for (const auto& [name, value] : changes) {
        values[name] = value;
    }
    // A grid made smaller loses the cells it no longer has.
    const int rows = GridCount(values, "rows");
    const int columns = GridCount(values, "cols");
    for (auto at = values.begin(); at != values.end();) {
        const auto [row, column] = CellPlace(at->first);
        const bool outside = row > 0 && (row > rows || column > columns);
        at = outside && changes.count(at->first) == 0 ? values.erase(at) : std::next(at);
    }
    const std::string body = BuildComponentBody(selection.kind_tag, values);
    const BlockPosition block = FindBlock(page, selection.MarkerName());
    std::string text;
    text.reserve(page.size() - (block.end - block.content_begin) + body.size());
    text.append(page.substr(0, block.content_begin)).append(body).append(page.substr(block.end));
    return text;
}

void ModifyComponent(Workspace& workspace, std::string_view component_text,
                     const FieldValues& changes) {
    RequireOpenPage(workspace);
    const ComponentSelection selection = ComponentToEdit(component_text);
    const std::string entry = ComponentEntry(selection.kind_tag, selection.number);
    CommitPageText(workspace,
                   ModifiedComponentValuesText(workspace.page_text, component_text, changes),
                   "Modify " + entry);
}

} // namespace qf
