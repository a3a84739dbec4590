#include "check/page_places.h"

#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_text.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace qf::check {

PageFileView::PageFileView(std::string bytes) : bytes_(std::move(bytes)) {
    text_.reserve(bytes_.size());
    const char* data = bytes_.data();
    const std::size_t size = bytes_.size();
    std::size_t start = 0;
    while (true) {
        line_starts_.push_back(start);
        text_starts_.push_back(text_.size());
        const void* found = start < size ? std::memchr(data + start, '\n', size - start) : nullptr;
        if (found == nullptr) {
            text_.append(data + start, size - start);
            break;
        }
        const std::size_t lf = std::size_t(static_cast<const char*>(found) - data);
        const std::size_t line_end = lf > start && data[lf - 1] == '\r' ? lf - 1 : lf;
        text_.append(data + start, line_end - start);
        start = lf + 1;
    }
}

PageFileView::Place PageFileView::AtFileOffset(std::size_t offset) const {
    const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
    const std::size_t line = std::size_t(after - line_starts_.begin()) - 1;
    return {int(line + 1), int(offset - line_starts_[line] + 1)};
}

PageFileView::Place PageFileView::AtTextOffset(std::size_t offset) const {
    // The last line starting at or before the character: empty lines share
    // their text start with the line after them.
    const auto after = std::upper_bound(text_starts_.begin(), text_starts_.end(), offset);
    const std::size_t line = std::size_t(after - text_starts_.begin()) - 1;
    return {int(line + 1), int(offset - text_starts_[line] + 1)};
}

std::size_t PageFileView::TextOffset(std::size_t file_offset) const {
    const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), file_offset);
    const std::size_t line = std::size_t(after - line_starts_.begin()) - 1;
    const std::size_t line_length =
        (line + 1 < text_starts_.size() ? text_starts_[line + 1] : text_.size()) -
        text_starts_[line];
    return text_starts_[line] + std::min(file_offset - line_starts_[line], line_length);
}

bool BlockIndex::Block::area() const {
    return name.compare(0, kAreaKind.size(), kAreaKind) == 0 && name.size() > kAreaKind.size() &&
           std::all_of(name.begin() + kAreaKind.size(), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

BlockIndex::BlockIndex(std::string_view text) {
    constexpr std::size_t kLongestWord = 64;
    std::unordered_map<std::string_view, std::vector<int>> open;
    for (std::size_t at = FindText(text, kMarkerOpen); at != kNotFound;
         at = FindText(text, kMarkerOpen, at + 1)) {
        const std::size_t word = at + kMarkerOpen.size();
        const std::size_t close =
            text.substr(0, std::min(text.size(), word + kLongestWord + kMarkerClose.size()))
                .find(kMarkerClose, word);
        if (close == std::string_view::npos) {
            continue;
        }
        const std::string_view name = text.substr(word, close - word);
        if (name.substr(0, 6) == "Begin_" && name.size() > 6) {
            const std::string_view bare = name.substr(6);
            open[bare].push_back(int(blocks_.size()));
            blocks_.push_back(
                {std::string(bare), at, close + kMarkerClose.size(), kNotFound, kNotFound, -1});
        } else if (name.substr(0, 4) == "End_" && name.size() > 4 && name != "End_Body") {
            const auto starts = open.find(name.substr(4));
            if (starts == open.end() || starts->second.empty()) {
                continue;
            }
            Block& block = blocks_[std::size_t(starts->second.back())];
            starts->second.pop_back();
            block.end = at;
            block.after = close + kMarkerClose.size();
        }
        at = close + kMarkerClose.size() - 1;
    }
    // Start markers without their end marker enclose nothing.
    std::erase_if(blocks_, [](const Block& block) { return block.end == kNotFound; });
    std::vector<int> stack;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        Block& block = blocks_[i];
        while (!stack.empty() && blocks_[std::size_t(stack.back())].after <= block.begin) {
            stack.pop_back();
        }
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
            if (blocks_[std::size_t(*it)].after >= block.after) {
                block.parent = *it;
                break;
            }
        }
        stack.push_back(int(i));
    }
}

int BlockIndex::Innermost(std::size_t position) const {
    auto after = std::upper_bound(blocks_.begin(), blocks_.end(), position,
                                  [](std::size_t p, const Block& b) { return p < b.begin; });
    int index = int(after - blocks_.begin()) - 1;
    while (index >= 0 && blocks_[std::size_t(index)].after <= position) {
        index = blocks_[std::size_t(index)].parent;
    }
    return index;
}

int BlockIndex::InnermostComponent(std::size_t position) const {
    int index = Innermost(position);
    while (index >= 0 && blocks_[std::size_t(index)].area()) {
        index = blocks_[std::size_t(index)].parent;
    }
    return index;
}

int BlockIndex::InnermostArea(std::size_t position) const {
    int index = Innermost(position);
    while (index >= 0 && !blocks_[std::size_t(index)].area()) {
        index = blocks_[std::size_t(index)].parent;
    }
    return index;
}

std::string EntryOfMarkerName(std::string_view name) {
    if (name == "Form") {
        return "Form";
    }
    const std::optional<NumberedName> split = SplitTrailingNumber(name);
    if (split && split->prefix == kAreaKind) {
        return "Area" + std::to_string(split->number);
    }
    if (split) {
        if (const Kind* kind = FindKindByTag(split->prefix);
            kind != nullptr && !kind->display_name.empty()) {
            return std::string(kind->display_name) + std::to_string(split->number);
        }
    }
    return std::string(name);
}

} // namespace qf::check
