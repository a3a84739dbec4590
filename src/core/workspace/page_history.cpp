#include "workspace/page_history.h"

#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "document/selection_lists.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace qf {

namespace {

// A run of this many bytes from the middle of the old text, found in the new
// one, splits a change into two smaller ones.
constexpr std::size_t kAnchorSize = 48;
// Splitting stops at this depth or this many runs; what is left is kept whole.
constexpr int kMaxSplitDepth = 24;
constexpr std::size_t kMaxHunks = 256;

// Equal runs are skipped a block at a time with memcmp, then byte by byte.
constexpr std::size_t kCompareBlock = 256;

std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    const std::size_t limit = std::min(a.size(), b.size());
    std::size_t n = 0;
    while (limit - n >= kCompareBlock &&
           std::memcmp(a.data() + n, b.data() + n, kCompareBlock) == 0) {
        n += kCompareBlock;
    }
    while (n < limit && a[n] == b[n]) {
        ++n;
    }
    return n;
}

std::size_t CommonSuffix(std::string_view a, std::string_view b, std::size_t limit) {
    limit = std::min({limit, a.size(), b.size()});
    const char* const a_end = a.data() + a.size();
    const char* const b_end = b.data() + b.size();
    std::size_t n = 0;
    while (limit - n >= kCompareBlock &&
           std::memcmp(a_end - n - kCompareBlock, b_end - n - kCompareBlock, kCompareBlock) == 0) {
        n += kCompareBlock;
    }
    while (n < limit && a_end[-std::ptrdiff_t(n) - 1] == b_end[-std::ptrdiff_t(n) - 1]) {
        ++n;
    }
    return n;
}

void Diff(std::string_view before, std::string_view after, std::size_t offset, int depth,
          std::vector<TextHunk>& hunks) {
    const std::size_t prefix = CommonPrefix(before, after);
    const std::size_t suffix =
        CommonSuffix(before, after, std::min(before.size(), after.size()) - prefix);
    before = before.substr(prefix, before.size() - prefix - suffix);
    after = after.substr(prefix, after.size() - prefix - suffix);
    offset += prefix;
    if (before.empty() && after.empty()) {
        return;
    }
    if (depth < kMaxSplitDepth && hunks.size() < kMaxHunks && before.size() >= 2 * kAnchorSize &&
        after.size() >= kAnchorSize) {
        // The anchor is matched first occurrence to first occurrence, so a
        // run repeated in the page cannot pair one copy with another.
        const std::string_view middle =
            before.substr(before.size() / 2 - kAnchorSize / 2, kAnchorSize);
        const std::size_t in_before = before.find(middle);
        const std::size_t in_after = after.find(middle);
        if (in_after != std::string_view::npos) {
            Diff(before.substr(0, in_before), after.substr(0, in_after), offset, depth + 1, hunks);
            Diff(before.substr(in_before), after.substr(in_after), offset + in_before, depth + 1,
                 hunks);
            return;
        }
    }
    hunks.push_back({offset, std::string(before), std::string(after)});
}

// Builds a text from `source` by replacing, at each hunk's place, `from` by `to`.
// `positions_in_source` says whether the hunks' positions count in `source`
// (else in the text the hunks were taken from, shifted by the earlier hunks).
template <typename From, typename To>
std::optional<std::string> Splice(std::string_view source, const std::vector<TextHunk>& hunks,
                                  bool positions_in_source, From from, To to) {
    std::size_t grown = source.size();
    for (const TextHunk& hunk : hunks) {
        grown += to(hunk).size();
    }
    std::string result;
    result.reserve(grown);
    std::size_t cursor = 0;
    std::ptrdiff_t shift = 0; // where the hunk stands in `source` against its position
    for (const TextHunk& hunk : hunks) {
        const std::string& old_run = from(hunk);
        const std::size_t at = std::size_t(std::ptrdiff_t(hunk.position) + shift);
        if (at < cursor || at > source.size() || source.size() - at < old_run.size() ||
            source.compare(at, old_run.size(), old_run) != 0) {
            return std::nullopt;
        }
        result.append(source.substr(cursor, at - cursor)).append(to(hunk));
        cursor = at + old_run.size();
        if (!positions_in_source) {
            shift += std::ptrdiff_t(hunk.inserted.size()) - std::ptrdiff_t(hunk.removed.size());
        }
    }
    result.append(source.substr(cursor));
    return result;
}

std::size_t StepBytes(const std::string& name, const std::vector<TextHunk>& hunks) {
    std::size_t bytes = 64 + name.capacity() + hunks.capacity() * sizeof(TextHunk);
    for (const TextHunk& hunk : hunks) {
        bytes += hunk.removed.capacity() + hunk.inserted.capacity();
    }
    return bytes;
}

// "Area3" for an area, the Select Component entry for a listed component,
// else the marker name itself.
std::string EntryName(std::string_view marker_name) {
    const std::optional<NumberedName> split = SplitTrailingNumber(marker_name);
    if (split) {
        if (split->prefix == kAreaKind) {
            return "Area" + std::to_string(split->number);
        }
        std::string entry = ComponentEntry(split->prefix, split->number);
        if (!entry.empty()) {
            return entry;
        }
    }
    return std::string(marker_name);
}

bool IsArea(std::string_view marker_name) {
    const std::optional<NumberedName> split = SplitTrailingNumber(marker_name);
    return split && split->prefix == kAreaKind;
}

// The innermost marked block of `page` that holds all of [first, last), by
// its marker name; empty when the run is in no block.
std::string EnclosingBlock(std::string_view page, std::size_t first, std::size_t last) {
    static constexpr std::string_view kBegin = "<!---Begin_";
    std::size_t search = first;
    while (search != std::string_view::npos) {
        const std::size_t begin = page.rfind(kBegin, search);
        if (begin == std::string_view::npos) {
            return {};
        }
        const std::size_t name_start = begin + kBegin.size();
        const std::size_t close = page.find(kMarkerClose, name_start);
        if (close != std::string_view::npos) {
            const std::string_view name = page.substr(name_start, close - name_start);
            const std::size_t end = page.find(EndMarker(name), close);
            // A change inside the start marker itself does not count as inside.
            if (end != std::string_view::npos && close + kMarkerClose.size() <= first &&
                last <= end) {
                return std::string(name);
            }
        }
        search = begin == 0 ? std::string_view::npos : begin - 1;
    }
    return {};
}

// When the one inserted run `hunk` is content put at the insertion point of
// area `area_name`, that content. The run may stand a few bytes to the right
// of the point where the same bytes repeat ("A</td>" to "A<br></td>" is found
// as "br><" after "A<"), so the point itself is looked at.
std::optional<std::string> ContentAddedToArea(std::string_view before, std::string_view after,
                                              const TextHunk& hunk, std::string_view area_name) {
    std::size_t point = 0;
    try {
        point = AreaInsertPoint(before, SplitTrailingNumber(area_name)->number);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const std::size_t length = hunk.inserted.size();
    if (point > hunk.position || hunk.position - point > length) {
        return std::nullopt;
    }
    const std::size_t slide = hunk.position - point;
    if (before.substr(point, slide) != after.substr(point + length, slide)) {
        return std::nullopt;
    }
    return std::string(after.substr(point, length));
}

// The names declared in `after` and not in `before`, and those declared in
// `before` and not in `after`, each in its block's order. The two blocks
// differ in a few names: only the stretch between their common beginning and
// their common end is read name by name, and each name found there is looked
// for in the whole other block.
std::pair<std::vector<std::string>, std::vector<std::string>>
DeclarationChanges(std::string_view before, std::string_view after) {
    const std::string_view old_block = DeclarationBlockText(before);
    const std::string_view new_block = DeclarationBlockText(after);
    std::pair<std::vector<std::string>, std::vector<std::string>> changes;
    if (old_block == new_block) {
        return changes;
    }
    std::size_t prefix = 0;
    const std::size_t shorter = std::min(old_block.size(), new_block.size());
    while (prefix < shorter && old_block[prefix] == new_block[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           old_block[old_block.size() - 1 - suffix] == new_block[new_block.size() - 1 - suffix]) {
        ++suffix;
    }
    // The names whose markers overlap [from, to) of `block`, read from the
    // first marker at or before `from`, as DeclarationNames reads them.
    auto names_in = [](std::string_view block, std::size_t from, std::size_t to) {
        std::vector<std::string_view> names;
        const std::size_t skip = std::min<std::size_t>(kDeclareBegin.size(), block.size());
        std::size_t pos = from;
        if (pos > skip) {
            const std::size_t back = block.rfind(kMarkerOpen, pos);
            pos = back == std::string_view::npos || back < skip ? skip : back;
        } else {
            pos = skip;
        }
        while (pos < block.size()) {
            const std::size_t open = block.find(kMarkerOpen, pos);
            if (open == std::string_view::npos || open >= to) {
                break;
            }
            const std::size_t close = block.find(kMarkerClose, open + kMarkerOpen.size());
            if (close == std::string_view::npos) {
                break;
            }
            const std::string_view name =
                block.substr(open + kMarkerOpen.size(), close - open - kMarkerOpen.size());
            pos = close + kMarkerClose.size();
            if (name != "////") {
                names.push_back(name);
            }
        }
        return names;
    };
    auto declared_in = [](std::string_view block, std::string_view name) {
        return block.find(DeclarationMarker(name),
                          std::min<std::size_t>(kDeclareBegin.size(), block.size())) !=
               std::string_view::npos;
    };
    for (const std::string_view name : names_in(new_block, prefix, new_block.size() - suffix)) {
        if (!declared_in(old_block, name)) {
            changes.first.emplace_back(name);
        }
    }
    for (const std::string_view name : names_in(old_block, prefix, old_block.size() - suffix)) {
        if (!declared_in(new_block, name)) {
            changes.second.emplace_back(name);
        }
    }
    return changes;
}

} // namespace

std::vector<TextHunk> DiffTexts(std::string_view before, std::string_view after) {
    std::vector<TextHunk> hunks;
    Diff(before, after, 0, 0, hunks);
    return hunks;
}

std::optional<std::string> ApplyHunks(std::string_view before, const std::vector<TextHunk>& hunks) {
    return Splice(
        before, hunks, true, [](const TextHunk& h) -> const std::string& { return h.removed; },
        [](const TextHunk& h) -> const std::string& { return h.inserted; });
}

std::optional<std::string> RevertHunks(std::string_view after, const std::vector<TextHunk>& hunks) {
    return Splice(
        after, hunks, false, [](const TextHunk& h) -> const std::string& { return h.inserted; },
        [](const TextHunk& h) -> const std::string& { return h.removed; });
}

std::string DescribeChange(std::string_view before, std::string_view after) {
    const auto [added, removed] = DeclarationChanges(before, after);
    if (!added.empty()) {
        if (std::any_of(added.begin(), added.end(), IsArea)) {
            return "Insert Platform";
        }
        // A kind listed nowhere (the form) is named by its command.
        const std::optional<NumberedName> split = SplitTrailingNumber(added.front());
        const Kind* kind = split ? FindKindByTag(split->prefix) : nullptr;
        if (kind != nullptr && kind->display_name.empty() && !kind->dialog_caption.empty()) {
            return std::string(kind->dialog_caption);
        }
        return "Insert " + EntryName(added.front());
    }
    if (!removed.empty()) {
        return "Delete " + EntryName(removed.front());
    }
    const std::vector<TextHunk> hunks = DiffTexts(before, after);
    if (hunks.empty()) {
        return "Change Page";
    }
    const std::size_t first = hunks.front().position;
    const std::size_t last = hunks.back().position + hunks.back().removed.size();
    const std::string block = EnclosingBlock(before, first, last);
    if (block.empty()) {
        const std::size_t body = before.find(kBodyMarker);
        return body != std::string_view::npos && last <= body ? "Page Properties" : "Change Page";
    }
    if (IsArea(block) && hunks.size() == 1 && hunks.front().removed.empty()) {
        if (const std::optional<std::string> content =
                ContentAddedToArea(before, after, hunks.front(), block)) {
            return *content == "<br>" ? "Insert Line Break" : "Insert HTML";
        }
    }
    return "Modify " + EntryName(block);
}

std::string_view PageHistory::UndoName() const {
    return CanUndo() ? std::string_view(steps_[done_ - 1].name) : std::string_view();
}

std::string_view PageHistory::RedoName() const {
    return CanRedo() ? std::string_view(steps_[done_].name) : std::string_view();
}

std::uint64_t PageHistory::UndoGroup() const {
    return CanUndo() ? steps_[done_ - 1].group : 0;
}

std::uint64_t PageHistory::RedoGroup() const {
    return CanRedo() ? steps_[done_].group : 0;
}

void PageHistory::Record(std::string_view before, std::string_view after, std::string name,
                         std::uint64_t group) {
    RecordHunks(DiffTexts(before, after), std::move(name), group);
}

void PageHistory::RecordHunks(std::vector<TextHunk> hunks, std::string name, std::uint64_t group) {
    if (hunks.empty() && group == 0) {
        return;
    }
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    Step step{std::move(name), std::move(hunks), 0, group};
    step.bytes = StepBytes(step.name, step.hunks);
    bytes_ += step.bytes;
    steps_.push_back(std::move(step));
    ++done_;
    while (bytes_ > kMaxBytes && steps_.size() > 1) {
        bytes_ -= steps_.front().bytes;
        steps_.pop_front();
        --done_;
    }
}

std::optional<std::string> PageHistory::UndoText(std::string_view current) const {
    if (!CanUndo()) {
        return std::nullopt;
    }
    return RevertHunks(current, steps_[done_ - 1].hunks);
}

std::optional<std::string> PageHistory::RedoText(std::string_view current) const {
    if (!CanRedo()) {
        return std::nullopt;
    }
    return ApplyHunks(current, steps_[done_].hunks);
}

void PageHistory::StepBack() {
    if (CanUndo()) {
        --done_;
    }
}

void PageHistory::StepForward() {
    if (CanRedo()) {
        ++done_;
    }
}

void PageHistory::Clear() {
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
}

} // namespace qf
