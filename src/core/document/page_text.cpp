#include "document/page_text.h"

#include "document/markers.h"
#include "error.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <utility>

namespace qf {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when `piece` stands in `text` at `at`; compared byte by byte, as the
// pieces are short and the walk over adjacent blocks compares many.
bool HasAt(std::string_view text, std::size_t at, std::string_view piece) {
    if (at > text.size() || text.size() - at < piece.size()) {
        return false;
    }
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (text[at + i] != piece[i]) {
            return false;
        }
    }
    return true;
}

bool EndsWith(std::string_view text, std::size_t end, std::string_view suffix) {
    return end >= suffix.size() && HasAt(text, end - suffix.size(), suffix);
}

// The instance numbers of `kind` whose marker name stands in the page as a
// declaration, start marker or end marker; one pass over the page.
std::set<int> NumbersInUse(std::string_view page, std::string_view kind) {
    std::set<int> used;
    auto take = [&](std::size_t at) {
        if (page.compare(at, kind.size(), kind) != 0) {
            return;
        }
        std::size_t digits = at + kind.size();
        std::size_t stop = digits;
        while (stop < page.size() && stop - digits <= 4 && IsDigit(page[stop])) {
            ++stop;
        }
        const std::size_t length = stop - digits;
        // The digits must read back as the number itself: no leading zero.
        if (length == 0 || length > 4 || (length > 1 && page[digits] == '0') ||
            page.compare(stop, kMarkerClose.size(), kMarkerClose) != 0) {
            return;
        }
        used.insert(std::stoi(std::string(page.substr(digits, length))));
    };
    // A word that holds a number of the kind is at most this long, and the
    // first marker close after its opening stands right behind it.
    const std::size_t longest = 6 + kind.size() + 4;
    const bool plain_kind = kind.find_first_of("-!>") == std::string_view::npos;
    std::size_t close = 0; // the first marker close at or after the word, once known
    bool close_known = false;
    for (std::size_t open = page.find(kMarkerOpen); open != kNotFound;
         open = page.find(kMarkerOpen, open + 1)) {
        const std::size_t word = open + kMarkerOpen.size();
        if (plain_kind && (!close_known || close < word)) {
            const std::size_t reach = std::min(page.size(), word + longest + kMarkerClose.size());
            close = page.substr(0, reach).find(kMarkerClose, word);
            close_known = true;
            if (close == kNotFound) {
                // No close within reach: none of the openings before the next
                // close can hold a number, so go on near it.
                close = FindText(page, kMarkerClose, word);
                if (close == kNotFound) {
                    break;
                }
                open = close - kMarkerOpen.size() - longest - 1;
                continue;
            }
        }
        take(word);
        if (page.compare(word, 6, "Begin_") == 0) {
            take(word + 6);
        } else if (page.compare(word, 4, "End_") == 0) {
            take(word + 4);
        }
    }
    return used;
}

int FirstUnusedFrom(std::string_view page, std::string_view kind, int number,
                    const std::vector<int>& taken = {}) {
    const std::set<int> used = NumbersInUse(page, kind);
    auto is_taken = [&](int n) {
        for (int t : taken) {
            if (t == n) {
                return true;
            }
        }
        return false;
    };
    while (number <= kMaxInstanceNumber && (is_taken(number) || used.count(number) != 0)) {
        ++number;
    }
    if (number > kMaxInstanceNumber) {
        const bool area = kind == kAreaKind;
        throw CommandError("This page has no free number left for a new " +
                           (area ? std::string("area") : std::string(kind)) +
                           ": numbers stop at 999. Delete some " +
                           (area ? std::string("areas") : std::string(kind) + " components") +
                           " or start a new page.");
    }
    return number;
}

// The start markers "<!---Begin_" + name + "---!>" that begin before
// `limit`, in page order: `visit(open, name_begin, name_end)` for each, the
// name running to the next marker close. Stops at the first opening that no
// close follows, or when `visit` returns false. One pass: the close found
// serves every opening before it.
template <class Visit>
void ForEachBeginMarker(std::string_view page, std::size_t limit, Visit visit) {
    constexpr std::string_view kBeginOpen = "<!---Begin_";
    std::size_t close = 0;
    bool close_known = false;
    for (std::size_t open = FindText(page, kBeginOpen); open != kNotFound && open < limit;
         open = FindText(page, kBeginOpen, open + 1)) {
        const std::size_t name = open + kBeginOpen.size();
        if (!close_known || close < name) {
            close = FindText(page, kMarkerClose, name);
            close_known = true;
        }
        if (close == kNotFound || !visit(open, name, close)) {
            return;
        }
    }
}

// The first position of each start marker "<!---Begin_" + name + "---!>" in
// the page, by name; built in one pass over the page. An open-addressing
// table of positions: a page may hold a hundred thousand markers, and one
// allocation per name would cost more than the pass itself.
class FirstBeginMarkers {
public:
    explicit FirstBeginMarkers(std::string_view page) : page_(page) {
        std::vector<std::pair<std::size_t, std::size_t>> names; // start and length
        ForEachBeginMarker(page, kNotFound,
                           [&](std::size_t /*open*/, std::size_t name, std::size_t close) {
                               names.emplace_back(name, close - name);
                               return true;
                           });
        std::size_t capacity = 16;
        while (capacity < 2 * names.size()) {
            capacity *= 2;
        }
        slots_.assign(capacity, Slot{});
        for (const auto& [start, length] : names) {
            const std::string_view name = page.substr(start, length);
            const std::size_t hash = Hash(name);
            Slot& slot = slots_[SlotOf(name, hash)];
            if (slot.start == kNotFound) { // the first of its name only
                slot = {hash, start, length};
            }
        }
    }

    // Where the first start marker of `name` begins, or kNotFound.
    std::size_t Find(std::string_view name) const {
        const Slot& slot = slots_[SlotOf(name, Hash(name))];
        return slot.start == kNotFound ? kNotFound : slot.start - kBegin.size();
    }

private:
    static constexpr std::string_view kBegin = "<!---Begin_";
    struct Slot {
        std::size_t hash = 0;
        std::size_t start = kNotFound; // of the name
        std::size_t length = 0;
    };

    static std::size_t Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

    // The slot holding `name`, or the empty slot where it would go.
    std::size_t SlotOf(std::string_view name, std::size_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (slot.start == kNotFound ||
                (slot.hash == hash && page_.substr(slot.start, slot.length) == name)) {
                return at;
            }
        }
    }

    std::string_view page_;
    std::vector<Slot> slots_;
};

// The last marker opening that starts at or before `at`, as rfind answers it.
std::size_t LastMarkerOpen(std::string_view page, std::size_t at) {
    if (page.size() < kMarkerOpen.size()) {
        return kNotFound;
    }
    for (at = std::min(at, page.size() - kMarkerOpen.size());; --at) {
        if (page[at] == '<' && HasAt(page, at, kMarkerOpen)) {
            return at;
        }
        if (at == 0) {
            return kNotFound;
        }
    }
}

// The walk of FindAreaPlace from `pos` back over adjacent blocks, each from
// its end marker to its start marker, which `begin_of(name, end_marker)`
// finds; the end of the area's own cell, or kNotFound.
template <typename BeginOf>
std::size_t WalkBackOverBlocks(std::string_view page, std::size_t content_begin, std::size_t pos,
                               BeginOf&& begin_of) {
    bool crossed_block = false;
    while (pos > content_begin) {
        if (crossed_block && EndsWith(page, pos, "</td>")) {
            return pos - 5;
        }
        if (!EndsWith(page, pos, kMarkerClose)) {
            break;
        }
        const std::size_t open = LastMarkerOpen(page, pos - kMarkerClose.size());
        if (open == kNotFound || open < content_begin) {
            break;
        }
        const std::string_view word = page.substr(
            open + kMarkerOpen.size(), pos - kMarkerClose.size() - open - kMarkerOpen.size());
        if (word.substr(0, 4) != "End_") {
            break;
        }
        // A name holding a marker close cannot be in the index: search for it.
        const std::string_view inner = word.substr(4);
        const std::size_t inner_begin = inner.find(kMarkerClose) != kNotFound
                                            ? page.find(BeginMarker(inner))
                                            : begin_of(inner, open);
        if (inner_begin == kNotFound || inner_begin < content_begin || inner_begin >= open) {
            break;
        }
        pos = inner_begin;
        crossed_block = true;
    }
    return kNotFound;
}

// The end of an area's own cell behind which adjacent blocks stand, walking
// back from `pos`. Each block's start marker counts where the name's first
// one in the page stands. Mostly that is the one right before the block,
// so the walk takes those first, and then checks in one pass that no block
// it crossed has a start marker of its name earlier in the page; only when
// one may have does it walk again with the index of every first start
// marker.
std::size_t OwnCellEnd(std::string_view page, std::size_t content_begin, std::size_t pos) {
    static constexpr std::string_view kBegin = "<!---Begin_";
    std::vector<std::size_t> crossed; // the start markers taken, in walk order
    std::vector<std::size_t> hashes;
    bool sure = true;
    const std::size_t quick = WalkBackOverBlocks(
        page, content_begin, pos, [&](std::string_view name, std::size_t before) {
            std::size_t at = kNotFound;
            for (std::size_t from = before; from > 0 && at == kNotFound;) {
                const std::size_t open = LastMarkerOpen(page, from - 1);
                if (open == kNotFound) {
                    break;
                }
                if (HasAt(page, open, kBegin) && HasAt(page, open + kBegin.size(), name) &&
                    HasAt(page, open + kBegin.size() + name.size(), kMarkerClose)) {
                    at = open;
                }
                from = open;
            }
            // The index reads a name up to the first marker close behind it,
            // which must not begin within the name's last characters.
            bool read_whole = at != kNotFound;
            for (std::size_t back = 1; read_whole && back < kMarkerClose.size(); ++back) {
                read_whole = back > name.size() ||
                             !HasAt(page, at + kBegin.size() + name.size() - back, kMarkerClose);
            }
            if (!read_whole) {
                sure = false;
                return kNotFound;
            }
            crossed.push_back(at);
            hashes.push_back(std::hash<std::string_view>{}(name));
            return at;
        });
    if (quick != kNotFound && sure) {
        // Every other start marker before the walk's end whose name may be
        // one crossed sends the walk to the index.
        std::size_t bits = 4096;
        while (bits < 32 * hashes.size()) {
            bits *= 2;
        }
        std::vector<bool> names(bits);
        for (const std::size_t hash : hashes) {
            names[hash & (bits - 1)] = true;
        }
        std::reverse(crossed.begin(), crossed.end()); // in page order
        auto next_crossed = crossed.begin();
        ForEachBeginMarker(page, pos, [&](std::size_t open, std::size_t name, std::size_t close) {
            while (next_crossed != crossed.end() && *next_crossed < open) {
                ++next_crossed;
            }
            if (next_crossed != crossed.end() && *next_crossed == open) {
                return true;
            }
            const std::size_t hash = std::hash<std::string_view>{}(page.substr(name, close - name));
            if (names[hash & (bits - 1)]) {
                sure = false;
                return false;
            }
            return true;
        });
        if (sure) {
            return quick;
        }
    }
    std::optional<FirstBeginMarkers> index;
    return WalkBackOverBlocks(page, content_begin, pos,
                              [&](std::string_view name, std::size_t /*before*/) {
                                  if (!index) {
                                      index.emplace(page);
                                  }
                                  return index->Find(name);
                              });
}

} // namespace

std::string_view DeclarationBlockText(std::string_view page) {
    const std::size_t begin = page.find("<!---declare_begin");
    const std::size_t end = page.find("<!---declare_end");
    if (begin == kNotFound || end == kNotFound || end < begin) {
        return {};
    }
    return page.substr(begin, end - begin);
}

std::vector<std::string_view> DeclarationNameViews(std::string_view page) {
    std::vector<std::string_view> names;
    std::string_view block = DeclarationBlockText(page);
    if (block.empty()) {
        return names;
    }
    block.remove_prefix(std::min<std::size_t>(kDeclareBegin.size(), block.size()));
    // No declaration is shorter than its marker's open and close.
    names.reserve(block.size() / (kMarkerOpen.size() + kMarkerClose.size()));
    bool separator_skipped = false;
    std::size_t pos = 0;
    while (true) {
        const std::size_t open = block.find(kMarkerOpen, pos);
        if (open == kNotFound) {
            break;
        }
        const std::size_t close = block.find(kMarkerClose, open + kMarkerOpen.size());
        if (close == kNotFound) {
            break;
        }
        std::string_view name =
            block.substr(open + kMarkerOpen.size(), close - open - kMarkerOpen.size());
        pos = close + kMarkerClose.size();
        if (!separator_skipped && name == "////") {
            separator_skipped = true;
            continue;
        }
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> DeclarationNames(std::string_view page) {
    const std::vector<std::string_view> views = DeclarationNameViews(page);
    return std::vector<std::string>(views.begin(), views.end());
}

bool MarkerNameInUse(std::string_view page, std::string_view name) {
    return page.find(DeclarationMarker(name)) != kNotFound ||
           page.find(BeginMarker(name)) != kNotFound || page.find(EndMarker(name)) != kNotFound;
}

std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from) {
    // Near at hand a plain search is quickest; memmem costs more to start but
    // skips ahead where it has far to go.
    constexpr std::size_t kNear = 256;
    const std::size_t near_end = std::min(text.size(), from + kNear);
    if (from > text.size() || needle.empty()) {
        return text.find(needle, from);
    }
    const std::size_t found = text.substr(0, near_end).find(needle, from);
    if (found != kNotFound || near_end == text.size()) {
        return found;
    }
    // An occurrence may start in the window and end behind it.
    const std::size_t rest = std::max(from, near_end - std::min(near_end, needle.size() - 1));
    const void* far =
        ::memmem(text.data() + rest, text.size() - rest, needle.data(), needle.size());
    return far ? std::size_t(static_cast<const char*>(far) - text.data()) : kNotFound;
}

std::size_t CountOccurrences(std::string_view text, std::string_view needle) {
    // An empty text may have no data at all, which memmem must not be given.
    if (needle.empty() || text.size() < needle.size()) {
        return 0;
    }
    // memmem skips ahead; a plain find stops at every first character, and
    // markers begin with "<", which a page is full of.
    std::size_t count = 0;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (const void* found = ::memmem(at, std::size_t(end - at), needle.data(), needle.size())) {
        ++count;
        at = static_cast<const char*>(found) + needle.size();
    }
    return count;
}

int NextInstanceNumber(std::string_view page, std::string_view kind) {
    const std::size_t count =
        CountOccurrences(DeclarationBlockText(page), std::string(kMarkerOpen).append(kind));
    const int first = count >= kMaxInstanceNumber ? kMaxInstanceNumber + 1 : int(count) + 1;
    return FirstUnusedFrom(page, kind, first);
}

int NextDesignerAreaNumber(std::string_view page) {
    const std::string_view block = DeclarationBlockText(page);
    std::size_t runs = 0;
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (IsDigit(block[i]) && (i == 0 || !IsDigit(block[i - 1]))) {
            ++runs;
        }
    }
    const int first = runs >= kMaxInstanceNumber ? kMaxInstanceNumber + 1 : int(runs) + 1;
    return FirstUnusedFrom(page, kAreaKind, first);
}

std::vector<int> NextPlatformAreaNumbers(std::string_view page, int count) {
    const std::string_view block = DeclarationBlockText(page);
    int counted = 0;
    for (std::size_t i = 0; i + 5 < block.size(); ++i) {
        if (block[i] == 'T' && IsDigit(block[i + 5])) {
            ++counted;
        }
    }
    std::vector<int> numbers;
    int next = std::min(counted, kMaxInstanceNumber) + 1;
    for (int i = 0; i < count; ++i) {
        next = FirstUnusedFrom(page, kAreaKind, next, numbers);
        numbers.push_back(next);
        ++next;
    }
    return numbers;
}

std::size_t DeclarationSeparator(std::string_view page) {
    const std::size_t separator = page.find(kDeclarationSeparator);
    if (separator == kNotFound) {
        throw CommandError("This page has no declaration block (\"<!---////---!>\" is missing), "
                           "so nothing can be added to it.");
    }
    return separator;
}

void AddDeclaration(std::string& page, std::string_view name) {
    page.insert(DeclarationSeparator(page), DeclarationMarker(name));
}

bool RemoveDeclaration(std::string& page, std::string_view name) {
    const std::string marker = DeclarationMarker(name);
    const std::size_t pos = page.find(marker);
    if (pos == kNotFound) {
        return false;
    }
    page.erase(pos, marker.size());
    return true;
}

std::size_t AreaInsertPoint(std::string_view page, int area) {
    return FindAreaPlace(page, area).insert_point;
}

AreaPlace FindAreaPlace(std::string_view page, int area) {
    const std::string name = AreaName(area);
    const std::string label = "Area" + std::to_string(area);
    const std::size_t end = FindText(page, EndMarker(name));
    const std::size_t begin = FindText(page, BeginMarker(name));
    if (end == kNotFound || begin == kNotFound || begin > end) {
        throw CommandError(label + " is not on this page");
    }
    const std::size_t content_begin = begin + BeginMarker(name).size();
    if (EndsWith(page, end, "</td></table>") && end - 13 >= content_begin) {
        return {begin, end, end - 13};
    }
    if (EndsWith(page, end, "</td>") && end - 5 >= content_begin) {
        return {begin, end, end - 5};
    }
    // A top-level area that holds adjacent cells: its own cell's "</td>", the
    // blocks of the adjacent areas one after another, then "</table>". Walk back
    // over the adjacent blocks to the end of the area's own cell.
    if (EndsWith(page, end, "</table>")) {
        const std::size_t point = OwnCellEnd(page, content_begin, end - 8);
        if (point != kNotFound) {
            return {begin, end, point};
        }
    }
    throw CommandError("The end of " + label + "'s cell cannot be found on this page");
}

std::string WithInsertions(std::string_view page, std::size_t first_at, std::string_view first,
                           std::size_t second_at, std::string_view second) {
    if (second_at < first_at) {
        std::swap(first_at, second_at);
        std::swap(first, second);
    }
    std::string text;
    text.reserve(page.size() + first.size() + second.size());
    text.append(page.substr(0, first_at))
        .append(first)
        .append(page.substr(first_at, second_at - first_at))
        .append(second)
        .append(page.substr(second_at));
    return text;
}

BlockPosition FindBlock(std::string_view page, std::string_view name) {
    BlockPosition block;
    const std::string begin_marker = BeginMarker(name);
    const std::string end_marker = EndMarker(name);
    block.begin = page.find(begin_marker);
    block.end = page.find(end_marker);
    if (block.begin != kNotFound) {
        block.content_begin = block.begin + begin_marker.size();
    }
    if (block.end != kNotFound) {
        block.block_end = block.end + end_marker.size();
    }
    return block;
}

} // namespace qf
