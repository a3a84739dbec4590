#include "components/component_reading.h"

#include "components/builders.h"
#include "components/form.h"
#include "components/user_text.h"
#include "error.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

namespace qf {

namespace {

using F = FieldFormat;

// A kind that can be read: its fields, its builder on values in page form,
// and the build from values as typed that every reading is checked against.
struct ReadableKind {
    std::string_view display_name;
    std::span<const FieldSpec> fields;
    builders::Builder page_builder = nullptr;
    std::function<std::string(const FieldValues&)> build;

    bool HasGrid() const {
        return std::any_of(fields.begin(), fields.end(),
                           [](const FieldSpec& field) { return field.format == F::kCell; });
    }
    // The grid's row and column counts are numbers the body shows only as
    // its count of rows and cells.
    bool IsGridCount(const FieldSpec& field) const {
        return field.format == F::kInteger && (field.name == "rows" || field.name == "cols") &&
               HasGrid();
    }
    const FieldSpec* LinesField() const {
        for (const FieldSpec& field : fields) {
            if (field.format == F::kLines) {
                return &field;
            }
        }
        return nullptr;
    }
};

// A number the body shows only by what it chooses (which radio button is
// checked), never as digits: bounded from 0 to a small maximum. Each of its
// values is a shape of its own.
constexpr int kMostChoiceNumber = 32;
bool IsChoiceNumber(const FieldSpec& field) {
    // A text size (1 to 7) is bounded as tightly but written as digits.
    return field.format == F::kInteger && field.minimum == 0 && field.maximum > 0 &&
           field.maximum <= kMostChoiceNumber && field.name != "size";
}

// The shape of a body: the values that change more than their own place
// (flags; texts and numbers whose empty or zero value is written otherwise),
// the number of list items and the grid's size.
struct Shape {
    std::map<std::string, std::string, std::less<>> fixed;
    int items = 1;
    int rows = 1;
    int columns = 1;
};

// Where a value stands in a template. Slots are numbered by field (a field's
// place in the kind's table), list items and cells from kFirstRepeatedSlot,
// so the same field has the same placeholder in every shape.
struct Slot {
    std::string field; // "face", "cell.2.3"; for a list item its lines field
    int item = -1;     // a list item's place, from 0
    FieldFormat format = F::kAttribute;
};
constexpr int kFirstRepeatedSlot = 1000;
constexpr char kSlotOpen = '\x01';
constexpr char kSlotClose = '\x02';
// A number field's placeholder is this number plus its slot: the builders
// take numbers as decimal text.
constexpr std::int64_t kNumberPlaceholder = 1900000000;

// A piece of a template: literal text, or the place of a slot's value.
struct Token {
    std::string literal;
    int slot = -1;
};

std::string TextPlaceholder(int slot) {
    return kSlotOpen + std::to_string(slot) + kSlotClose;
}

// The builder's body for one shape, with placeholders for the values, cut
// into tokens.
struct Probe {
    bool built = false;
    std::string text;
    std::vector<Slot> slots; // by slot number; unused numbers have no field
    std::vector<Token> tokens;

    int SlotOf(std::string_view field, int item = -1) const {
        for (std::size_t i = 0; i < slots.size(); ++i) {
            if (slots[i].field == field && slots[i].item == item) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    // The token index of a slot's first place, or -1.
    int TokenOf(int slot) const {
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i].slot == slot) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
};

Probe MakeProbe(const ReadableKind& kind, const Shape& shape) {
    Probe probe;
    std::map<std::string, std::string, std::less<>> values;
    std::vector<std::pair<std::string, int>> numbers;
    const auto add_slot = [&](int number, Slot slot) {
        if (probe.slots.size() <= static_cast<std::size_t>(number)) {
            probe.slots.resize(static_cast<std::size_t>(number) + 1);
        }
        probe.slots[static_cast<std::size_t>(number)] = std::move(slot);
    };
    int repeated = kFirstRepeatedSlot;
    for (std::size_t i = 0; i < kind.fields.size(); ++i) {
        const FieldSpec& field = kind.fields[i];
        const std::string name(field.name);
        const int number = static_cast<int>(i);
        if (field.format == F::kCell) {
            continue;
        }
        if (const auto fixed = shape.fixed.find(name); fixed != shape.fixed.end()) {
            values[name] = fixed->second;
        } else if (field.format == F::kFlag) {
            values[name] = "0";
        } else if (kind.IsGridCount(field)) {
            values[name] = std::to_string(field.name == "rows" ? shape.rows : shape.columns);
        } else if (IsChoiceNumber(field)) {
            values[name] = "0";
        } else if (field.format == F::kInteger) {
            add_slot(number, {name, -1, field.format});
            numbers.emplace_back(std::to_string(kNumberPlaceholder + number), number);
            values[name] = numbers.back().first;
        } else if (field.format == F::kLines) {
            std::string lines;
            for (int item = 0; item < shape.items; ++item) {
                add_slot(repeated, {name, item, field.format});
                lines += (item == 0 ? "" : "\n") + TextPlaceholder(repeated++);
            }
            values[name] = lines;
        } else {
            add_slot(number, {name, -1, field.format});
            values[name] = TextPlaceholder(number);
        }
    }
    if (kind.HasGrid()) {
        for (int row = 1; row <= shape.rows; ++row) {
            for (int column = 1; column <= shape.columns; ++column) {
                const std::string name =
                    "cell." + std::to_string(row) + "." + std::to_string(column);
                add_slot(repeated, {name, -1, F::kCell});
                values[name] = TextPlaceholder(repeated++);
            }
        }
    }
    try {
        probe.text = kind.page_builder(builders::Fields(std::move(values)));
    } catch (const std::exception&) {
        return probe; // a shape the builder refuses is no shape of a body
    }
    probe.built = true;

    // The places of the placeholders, in order.
    struct Mark {
        std::size_t at, length;
        int slot;
    };
    std::vector<Mark> marks;
    for (const auto& [placeholder, slot] : numbers) {
        for (std::size_t at = probe.text.find(placeholder); at != std::string::npos;
             at = probe.text.find(placeholder, at + placeholder.size())) {
            marks.push_back({at, placeholder.size(), slot});
        }
    }
    for (std::size_t at = probe.text.find(kSlotOpen); at != std::string::npos;
         at = probe.text.find(kSlotOpen, at + 1)) {
        const std::size_t close = probe.text.find(kSlotClose, at);
        marks.push_back({at, close + 1 - at, std::stoi(probe.text.substr(at + 1, close - at - 1))});
    }
    std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.at < b.at; });
    std::size_t done = 0;
    for (const Mark& mark : marks) {
        if (mark.at > done) {
            probe.tokens.push_back({probe.text.substr(done, mark.at - done), -1});
        }
        probe.tokens.push_back({std::string(), mark.slot});
        done = mark.at + mark.length;
    }
    if (done < probe.text.size()) {
        probe.tokens.push_back({probe.text.substr(done), -1});
    }
    return probe;
}

std::size_t CountOf(std::string_view text, std::string_view piece) {
    std::size_t count = 0;
    if (piece.empty()) {
        return 0;
    }
    for (std::size_t at = text.find(piece); at != std::string_view::npos;
         at = text.find(piece, at + piece.size())) {
        ++count;
    }
    return count;
}

// The first literal piece between two slots' places in a template: what
// separates one list item, row or cell from the next.
std::string Separator(const Probe& probe, int from_slot, int to_slot) {
    const int from = probe.TokenOf(from_slot);
    const int to = probe.TokenOf(to_slot);
    for (int i = from + 1; from >= 0 && i < to; ++i) {
        if (probe.tokens[static_cast<std::size_t>(i)].slot < 0) {
            return probe.tokens[static_cast<std::size_t>(i)].literal;
        }
    }
    return std::string();
}

// Where each value may end, from the body alone: the builders write every
// value in ASCII without line breaks, and a value inside an attribute
// without a double quote.
// Kept as the sorted places of the characters that end values, so a long
// body costs memory only for what it holds of them.
struct BodyLimits {
    explicit BodyLimits(std::string_view body) : size(body.size()) {
        for (std::size_t i = 0; i < body.size(); ++i) {
            const auto c = static_cast<unsigned char>(body[i]);
            if (c == '\r' || c == '\n' || c >= 0x80) {
                bad.push_back(i);
                bad_or_quote.push_back(i);
            } else if (c == '"') {
                bad_or_quote.push_back(i);
            }
        }
    }
    // The first place at or after `pos` where a value of any text ends
    // (a line break or a character outside ASCII), or the body's end.
    std::size_t AnyText(std::size_t pos) const { return NextOf(bad, pos); }
    // The same for a value inside an attribute, which a double quote ends too.
    std::size_t Attribute(std::size_t pos) const { return NextOf(bad_or_quote, pos); }

    std::size_t size;
    std::vector<std::size_t> bad;
    std::vector<std::size_t> bad_or_quote;

private:
    std::size_t NextOf(const std::vector<std::size_t>& places, std::size_t pos) const {
        const auto found = std::lower_bound(places.begin(), places.end(), pos);
        return found == places.end() ? size : *found;
    }
};

bool IsWrittenInteger(std::string_view text) {
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
        if (text == "0") {
            return false;
        }
    }
    return !text.empty() && (text.front() != '0' || text.size() == 1) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Matches a template against a body, each slot's value taken once and found
// the same wherever the template repeats it. The search backtracks over the
// places a value may end (a text may hold what follows it in the template);
// it gives up after a number of steps proportional to the template.
class Matcher {
public:
    Matcher(std::string_view body, const BodyLimits& limits, const Probe& probe)
        : body_(body), limits_(limits), probe_(probe),
          bound_(probe.slots.size(), {std::string_view::npos, 0}) {}

    bool Run() {
        const std::size_t budget = 64 * probe_.tokens.size() + 100000;
        std::size_t steps = 0;
        std::size_t token = 0;
        std::size_t pos = 0;
        while (++steps < budget) {
            const std::vector<Token>& tokens = probe_.tokens;
            if (token == tokens.size()) {
                if (pos == body_.size()) {
                    return true;
                }
                Reached(pos);
            } else if (tokens[token].slot < 0 || Bound(tokens[token].slot)) {
                const std::string_view expected = tokens[token].slot < 0
                                                      ? std::string_view(tokens[token].literal)
                                                      : Value(tokens[token].slot);
                if (body_.compare(pos, expected.size(), expected) == 0) {
                    pos += expected.size();
                    ++token;
                    continue;
                }
                std::size_t same = 0;
                while (pos + same < body_.size() && same < expected.size() &&
                       body_[pos + same] == expected[same]) {
                    ++same;
                }
                Reached(pos + same);
            } else {
                Choice choice{token, pos, pos, Limit(tokens[token].slot, pos)};
                if (Take(choice, token, pos)) {
                    continue;
                }
                ReachedAfterValue(choice);
            }
            if (!Backtrack(token, pos)) {
                return false;
            }
        }
        return false;
    }

    std::size_t Furthest() const { return furthest_; }
    // The value a match found for a slot, if the template holds it.
    std::optional<std::string_view> Found(std::size_t slot) const {
        if (!Bound(static_cast<int>(slot))) {
            return std::nullopt;
        }
        return Value(static_cast<int>(slot));
    }

private:
    struct Choice {
        std::size_t token;
        std::size_t start;
        std::size_t next; // the least end still to try
        std::size_t limit;
    };

    bool Bound(int slot) const {
        return bound_[static_cast<std::size_t>(slot)].first != std::string_view::npos;
    }
    std::string_view Value(int slot) const {
        const auto& [begin, end] = bound_[static_cast<std::size_t>(slot)];
        return body_.substr(begin, end - begin);
    }
    void Reached(std::size_t pos) { furthest_ = std::max(furthest_, pos); }
    // A value that finds no end: an attribute's or a number's ends where its
    // characters do, and the body differs where what follows it does.
    void ReachedAfterValue(const Choice& choice) {
        const std::vector<Token>& tokens = probe_.tokens;
        const FieldFormat format =
            probe_.slots[static_cast<std::size_t>(tokens[choice.token].slot)].format;
        if (format != F::kAttribute && format != F::kScript && format != F::kInteger) {
            Reached(choice.start);
            return;
        }
        std::size_t at = choice.limit;
        if (choice.token + 1 < tokens.size() && tokens[choice.token + 1].slot < 0) {
            const std::string& next = tokens[choice.token + 1].literal;
            for (std::size_t i = 0; i < next.size() && at < body_.size() && body_[at] == next[i];
                 ++i) {
                ++at;
            }
        }
        Reached(at);
    }

    std::size_t Limit(int slot, std::size_t pos) const {
        switch (probe_.slots[static_cast<std::size_t>(slot)].format) {
        case F::kAttribute:
        case F::kScript:
            return limits_.Attribute(pos);
        case F::kInteger: {
            std::size_t end = pos;
            while (end < body_.size() &&
                   (body_[end] == '-' || (body_[end] >= '0' && body_[end] <= '9'))) {
                ++end;
            }
            return end;
        }
        default:
            return limits_.AnyText(pos);
        }
    }

    // The next end of the choice's value, from choice.next on.
    std::optional<std::size_t> NextEnd(Choice& choice) const {
        const std::vector<Token>& tokens = probe_.tokens;
        const Slot& slot = probe_.slots[static_cast<std::size_t>(tokens[choice.token].slot)];
        const std::size_t least = choice.start + (slot.item >= 0 ? 1 : 0); // items are not empty
        std::size_t from = std::max(choice.next, least);
        const bool last = choice.token + 1 == tokens.size();
        const bool literal_next = !last && tokens[choice.token + 1].slot < 0;
        while (from <= choice.limit) {
            std::size_t end = from;
            if (last) {
                end = body_.size();
            } else if (literal_next) {
                end = body_.find(tokens[choice.token + 1].literal, from);
            }
            if (end == std::string_view::npos || end > choice.limit) {
                return std::nullopt;
            }
            choice.next = end + 1;
            if (slot.format != F::kInteger ||
                IsWrittenInteger(body_.substr(choice.start, end - choice.start))) {
                return end;
            }
            from = end + 1;
        }
        return std::nullopt;
    }

    bool Take(Choice choice, std::size_t& token, std::size_t& pos) {
        const std::optional<std::size_t> end = NextEnd(choice);
        if (!end) {
            return false;
        }
        bound_[static_cast<std::size_t>(probe_.tokens[choice.token].slot)] = {choice.start, *end};
        choices_.push_back(choice);
        token = choice.token + 1;
        pos = *end;
        return true;
    }

    bool Backtrack(std::size_t& token, std::size_t& pos) {
        while (!choices_.empty()) {
            Choice choice = choices_.back();
            choices_.pop_back();
            bound_[static_cast<std::size_t>(probe_.tokens[choice.token].slot)] = {
                std::string_view::npos, 0};
            if (Take(choice, token, pos)) {
                return true;
            }
        }
        return false;
    }

    std::string_view body_;
    const BodyLimits& limits_;
    const Probe& probe_;
    std::vector<std::pair<std::size_t, std::size_t>> bound_;
    std::vector<Choice> choices_;
    std::size_t furthest_ = 0;
};

std::string TypedValue(FieldFormat format, std::string_view page_value) {
    switch (format) {
    case F::kAttribute:
        return TypedFromAttributeText(page_value);
    case F::kScript:
        return TypedFromScriptStringText(page_value);
    case F::kContent:
    case F::kLines:
    case F::kCell:
        return TypedFromPageText(page_value);
    case F::kInteger:
    case F::kFlag:
        return std::string(page_value);
    }
    return std::string(page_value);
}

// The values a match found, as typed, in the order of the field table.
std::vector<std::pair<std::string, std::string>> MatchedFields(const ReadableKind& kind,
                                                               const Shape& shape,
                                                               const Probe& probe,
                                                               const Matcher& matcher) {
    const auto slot_value = [&](int slot) -> std::optional<std::string> {
        if (slot < 0) {
            return std::nullopt;
        }
        const auto value = matcher.Found(static_cast<std::size_t>(slot));
        if (!value) {
            return std::nullopt;
        }
        return TypedValue(probe.slots[static_cast<std::size_t>(slot)].format, *value);
    };
    std::vector<std::pair<std::string, std::string>> fields;
    for (const FieldSpec& field : kind.fields) {
        const std::string name(field.name);
        if (field.format == F::kCell) {
            for (int row = 1; row <= shape.rows; ++row) {
                for (int column = 1; column <= shape.columns; ++column) {
                    const std::string cell =
                        "cell." + std::to_string(row) + "." + std::to_string(column);
                    fields.emplace_back(cell, slot_value(probe.SlotOf(cell)).value_or(""));
                }
            }
        } else if (const auto fixed = shape.fixed.find(name); fixed != shape.fixed.end()) {
            fields.emplace_back(name, fixed->second);
        } else if (field.format == F::kFlag || IsChoiceNumber(field)) {
            fields.emplace_back(name, "0");
        } else if (kind.IsGridCount(field)) {
            fields.emplace_back(name,
                                std::to_string(field.name == "rows" ? shape.rows : shape.columns));
        } else if (field.format == F::kLines) {
            std::string lines;
            for (int item = 0; item < shape.items; ++item) {
                lines +=
                    (item == 0 ? "" : "\n") + slot_value(probe.SlotOf(name, item)).value_or("");
            }
            fields.emplace_back(name, lines);
        } else {
            // A value the body shows nowhere keeps the dialog's initial value.
            fields.emplace_back(
                name, slot_value(probe.SlotOf(name)).value_or(std::string(field.initial)));
        }
    }
    return fields;
}

// The fields whose value changes the body's shape, each with the value that
// is not the placeholder's: flags "1", texts empty, numbers 0. A field whose
// other value changes nothing but its own place is left out.
std::vector<std::pair<std::string, std::string>> ShapeFields(const ReadableKind& kind) {
    const Shape base;
    const Probe probe = MakeProbe(kind, base);
    std::vector<std::pair<std::string, std::string>> shape_fields;
    for (std::size_t i = 0; i < kind.fields.size() && probe.built; ++i) {
        const FieldSpec& field = kind.fields[i];
        if (field.format == F::kCell || field.format == F::kLines || kind.IsGridCount(field) ||
            IsChoiceNumber(field)) {
            continue;
        }
        const std::string other = field.format == F::kFlag      ? "1"
                                  : field.format == F::kInteger ? "0"
                                                                : "";
        Shape changed = base;
        changed.fixed[std::string(field.name)] = other;
        const Probe probe_changed = MakeProbe(kind, changed);
        // What the body would be if the value only filled its place.
        std::string expected = probe.text;
        if (field.format != F::kFlag) {
            const std::string placeholder =
                field.format == F::kInteger
                    ? std::to_string(kNumberPlaceholder + static_cast<std::int64_t>(i))
                    : TextPlaceholder(static_cast<int>(i));
            for (std::size_t at = expected.find(placeholder); at != std::string::npos;
                 at = expected.find(placeholder, at + other.size())) {
                expected.replace(at, placeholder.size(), other);
            }
        }
        if (!probe_changed.built || probe_changed.text != expected) {
            shape_fields.emplace_back(field.name, other);
        }
    }
    return shape_fields;
}

// The list item counts worth trying, most likely first: the count of item
// separators in the body says how many items there are unless an item's
// own text holds a separator.
std::vector<int> ItemCounts(const ReadableKind& kind, Shape shape, std::string_view body) {
    const std::string field(kind.LinesField()->name);
    // The fewest items the shape can have (a chosen radio button needs as
    // many), and one more.
    int first = 1;
    for (const FieldSpec& choice : kind.fields) {
        const auto fixed = shape.fixed.find(choice.name);
        if (IsChoiceNumber(choice) && fixed != shape.fixed.end()) {
            first = std::max(first, std::stoi(fixed->second));
        }
    }
    shape.items = first;
    const Probe one = MakeProbe(kind, shape);
    shape.items = first + 1;
    const Probe two = MakeProbe(kind, shape);
    std::vector<int> counts;
    const std::string separator =
        two.built ? Separator(two, two.SlotOf(field, 0), two.SlotOf(field, 1)) : std::string();
    const std::size_t per_one = CountOf(one.text, separator);
    const std::size_t per_two = CountOf(two.text, separator);
    if (separator.empty() || per_two <= per_one) {
        for (int count = 0; count <= 8; ++count) {
            counts.push_back(count);
        }
        return counts;
    }
    const std::size_t in_body = CountOf(body, separator);
    const int most =
        in_body < per_one ? 0 : static_cast<int>((in_body - per_one) / (per_two - per_one)) + first;
    for (int count = most; count >= 1 && count > most - 6; --count) {
        counts.push_back(count);
    }
    counts.push_back(0);
    return counts;
}

// The grid sizes worth trying, most likely first, from the counts of row
// and cell separators in the body (each count a function of the rows and
// columns that four small grids show).
std::vector<std::pair<int, int>> GridSizes(const ReadableKind& kind, Shape shape,
                                           std::string_view body, std::size_t most) {
    const auto probe = [&](int rows, int columns) {
        shape.rows = rows;
        shape.columns = columns;
        return MakeProbe(kind, shape);
    };
    const Probe p11 = probe(1, 1), p12 = probe(1, 2), p21 = probe(2, 1), p22 = probe(2, 2);
    std::vector<std::pair<int, int>> sizes;
    if (!p11.built || !p12.built || !p21.built || !p22.built) {
        return sizes;
    }
    const std::string cell_separator =
        Separator(p12, p12.SlotOf("cell.1.1"), p12.SlotOf("cell.1.2"));
    const std::string row_separator =
        Separator(p21, p21.SlotOf("cell.1.1"), p21.SlotOf("cell.2.1"));
    struct Model {
        std::int64_t a, b, c, d; // a + b(r-1) + c(k-1) + d(r-1)(k-1)
        std::int64_t in_body;
        std::int64_t At(int r, int k) const {
            return a + b * (r - 1) + c * (k - 1) + d * (r - 1) * (k - 1);
        }
    };
    const auto model = [&](const std::string& piece) {
        const auto n = [&](const Probe& p) {
            return static_cast<std::int64_t>(CountOf(p.text, piece));
        };
        return Model{n(p11), n(p21) - n(p11), n(p12) - n(p11), n(p22) - n(p21) - n(p12) + n(p11),
                     static_cast<std::int64_t>(CountOf(body, piece))};
    };
    const Model cells = model(cell_separator);
    const Model rows = model(row_separator);
    struct Candidate {
        int rows, columns;
        bool exact;
    };
    std::vector<Candidate> candidates;
    for (int r = 1; r <= builders::kMaxDataTableRows; ++r) {
        for (int k = 1; k <= builders::kMaxDataTableColumns; ++k) {
            const std::int64_t at_rows = rows.At(r, k);
            const std::int64_t at_cells = cells.At(r, k);
            if (at_rows <= rows.in_body && at_cells <= cells.in_body) {
                candidates.push_back({r, k, at_rows == rows.in_body && at_cells == cells.in_body});
            }
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& x, const Candidate& y) {
                         if (x.exact != y.exact) {
                             return x.exact;
                         }
                         return x.rows * x.columns > y.rows * y.columns;
                     });
    for (std::size_t i = 0; i < candidates.size() && i < most; ++i) {
        sizes.emplace_back(candidates[i].rows, candidates[i].columns);
    }
    return sizes;
}

std::string Snippet(std::string_view body, std::size_t at) {
    std::string shown;
    for (std::size_t i = at; i < body.size() && shown.size() < 30; ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return shown;
}

std::string WithArticle(std::string_view name) {
    const bool vowel =
        !name.empty() && std::string_view("AEIOU").find(name.front()) != std::string_view::npos;
    return std::string(vowel ? "an " : "a ") + std::string(name);
}

// The length of a template without its placeholders.
std::size_t LiteralLength(const Probe& probe) {
    std::size_t length = 0;
    for (const Token& token : probe.tokens) {
        length += token.literal.size();
    }
    return length;
}

// Every combination of the shape fields' values, the ones whose template
// holds the most literal text first: where two readings give the same body
// (a bold text, or a text that holds "<b>" itself), the reading with the
// ticked box wins, as the dialog would have written it. Worked out once a
// kind, from its builder alone.
const std::vector<Shape>& ShapesOf(const ReadableKind& kind) {
    static std::mutex mutex;
    static std::map<std::string, std::vector<Shape>, std::less<>> known;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = known.find(kind.display_name);
    if (found != known.end()) {
        return found->second;
    }
    const std::vector<std::pair<std::string, std::string>> shape_fields = ShapeFields(kind);
    const std::size_t count = std::min<std::size_t>(shape_fields.size(), 14);
    const FieldSpec* choice = nullptr;
    for (const FieldSpec& field : kind.fields) {
        if (IsChoiceNumber(field)) {
            choice = &field;
        }
    }
    std::vector<std::pair<std::size_t, Shape>> measured;
    for (std::size_t mask = 0; mask < (std::size_t{1} << count); ++mask) {
        Shape shape;
        for (std::size_t i = 0; i < count; ++i) {
            if (((mask >> i) & 1) != 0) {
                shape.fixed[shape_fields[i].first] = shape_fields[i].second;
            }
        }
        for (int chosen = 0; chosen <= (choice != nullptr ? choice->maximum : 0); ++chosen) {
            Shape with_choice = shape;
            if (choice != nullptr) {
                with_choice.fixed[std::string(choice->name)] = std::to_string(chosen);
                with_choice.items = std::max(chosen, 1); // measured with enough items
            }
            const Probe probe = MakeProbe(kind, with_choice);
            with_choice.items = 1;
            if (probe.built) {
                measured.emplace_back(LiteralLength(probe), std::move(with_choice));
            }
        }
    }
    std::stable_sort(measured.begin(), measured.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<Shape> shapes;
    for (auto& [length, shape] : measured) {
        shapes.push_back(std::move(shape));
    }
    return known.emplace(std::string(kind.display_name), std::move(shapes)).first->second;
}

// Whether the template's literal pieces stand in the body in their order,
// the last one at its end: true for every body the template can match, and
// a quick no for most that it cannot, before the matcher searches.
bool LiteralsInOrder(const Probe& probe, std::string_view body) {
    std::size_t at = 0;
    for (const Token& token : probe.tokens) {
        if (token.slot >= 0) {
            continue;
        }
        const std::size_t found = body.find(token.literal, at);
        if (found == std::string_view::npos) {
            return false;
        }
        at = found + token.literal.size();
    }
    if (!probe.tokens.empty() && probe.tokens.back().slot < 0) {
        const std::string& last = probe.tokens.back().literal;
        return body.size() >= last.size() && body.substr(body.size() - last.size()) == last;
    }
    return true;
}

// Whether a body can be of this shape at all, by the literal text every
// body of the shape begins with (whatever its number of list items): a cheap
// test that spares trying every item count of a shape that cannot be.
bool MayBegin(const ReadableKind& kind, const Shape& shape, std::string_view body) {
    std::string lead;
    bool any = false;
    for (int items : {0, 1}) {
        Shape sized = shape;
        sized.items = items;
        const Probe probe = MakeProbe(kind, sized);
        if (!probe.built) {
            continue;
        }
        const std::string first =
            probe.tokens.empty() || probe.tokens[0].slot >= 0 ? "" : probe.tokens[0].literal;
        if (!any) {
            lead = first;
        } else {
            const auto differ = std::mismatch(lead.begin(), lead.end(), first.begin(), first.end());
            lead.erase(differ.first, lead.end());
        }
        any = true;
    }
    return body.substr(0, lead.size()) == lead;
}

ComponentReading Read(const ReadableKind& kind, std::string_view body) {
    ComponentReading reading;
    const BodyLimits limits(body);
    const FieldSpec* lines = kind.LinesField();
    const std::vector<Shape>& shapes = ShapesOf(kind);
    std::size_t furthest = 0;
    // The templates tried, in bytes: a body whose texts hold many separators
    // tries more item counts and grid sizes, up to this much work.
    std::size_t work = 0;
    const std::size_t most_work = 512 * body.size() + (4 << 20);
    // First only the templates whose literal pieces the body holds in order;
    // when none matches, all once more, to tell how far the body agrees.
    bool quick = true;
    const auto attempt = [&](const Shape& candidate) {
        const Probe probe = MakeProbe(kind, candidate);
        work += probe.text.size();
        if (!probe.built) {
            return false;
        }
        if (quick && !LiteralsInOrder(probe, body)) {
            return false;
        }
        Matcher matcher(body, limits, probe);
        if (!matcher.Run()) {
            furthest = std::max(furthest, matcher.Furthest());
            return false;
        }
        std::vector<std::pair<std::string, std::string>> fields =
            MatchedFields(kind, candidate, probe, matcher);
        std::string rebuilt;
        try {
            rebuilt = kind.build(FieldValues(fields.begin(), fields.end()));
        } catch (const CommandError&) {
            return false;
        }
        if (rebuilt != body) {
            const auto differ =
                std::mismatch(rebuilt.begin(), rebuilt.end(), body.begin(), body.end());
            furthest = std::max(furthest, static_cast<std::size_t>(differ.second - body.begin()));
            return false;
        }
        reading.readable = true;
        reading.fields = std::move(fields);
        return true;
    };
    const auto search = [&]() -> bool {
        std::vector<const Shape*> possible;
        // A choice number does not change how a body begins: asked once for all.
        std::map<std::map<std::string, std::string, std::less<>>, bool> begins;
        for (const Shape& shape : shapes) {
            Shape unchosen = shape;
            for (const FieldSpec& field : kind.fields) {
                if (IsChoiceNumber(field)) {
                    unchosen.fixed.erase(std::string(field.name));
                }
            }
            const auto known = begins.find(unchosen.fixed);
            const bool may = known != begins.end()
                                 ? known->second
                                 : (begins[unchosen.fixed] = MayBegin(kind, unchosen, body));
            if (may) {
                possible.push_back(&shape);
            }
        }
        if (possible.empty()) { // every shape then tells how far it came
            for (const Shape& shape : shapes) {
                possible.push_back(&shape);
            }
        }
        for (const Shape* shape_of : possible) {
            const Shape& shape = *shape_of;
            if (lines != nullptr) {
                for (int items : ItemCounts(kind, shape, body)) {
                    Shape candidate = shape;
                    candidate.items = items;
                    if (attempt(candidate)) {
                        return true;
                    }
                }
            } else if (kind.HasGrid()) {
                for (const auto& [rows, columns] : GridSizes(kind, shape, body, 6)) {
                    Shape candidate = shape;
                    candidate.rows = rows;
                    candidate.columns = columns;
                    if (attempt(candidate)) {
                        return true;
                    }
                }
            } else if (attempt(shape)) {
                return true;
            }
        }
        // The likely counts did not do: every other count, as far as the work allows.
        for (const Shape* shape_of : possible) {
            const Shape& shape = *shape_of;
            if (lines != nullptr) {
                const std::vector<int> tried = ItemCounts(kind, shape, body);
                for (int items = tried.front(); items > 0 && work < most_work; --items) {
                    Shape candidate = shape;
                    candidate.items = items;
                    if (std::find(tried.begin(), tried.end(), items) == tried.end() &&
                        attempt(candidate)) {
                        return true;
                    }
                }
            } else if (kind.HasGrid()) {
                const auto sizes = GridSizes(kind, shape, body, 100000);
                for (std::size_t i = 6; i < sizes.size() && work < most_work; ++i) {
                    Shape candidate = shape;
                    candidate.rows = sizes[i].first;
                    candidate.columns = sizes[i].second;
                    if (attempt(candidate)) {
                        return true;
                    }
                }
            }
        }
        return false;
    };
    if (search()) {
        return reading;
    }
    quick = false;
    work = 0;
    if (search()) {
        return reading;
    }
    reading.reason = "Its HTML is not what the editor writes for " +
                     WithArticle(kind.display_name) + ": it differs at character " +
                     std::to_string(furthest + 1) +
                     (furthest < body.size() ? " (\"" + Snippet(body, furthest) + "\")"
                                             : std::string(" (where it ends)")) +
                     ".";
    return reading;
}

} // namespace

FieldValues ComponentReading::Values() const {
    return FieldValues(fields.begin(), fields.end());
}

ComponentReading ReadComponentBody(std::string_view kind_tag, std::string_view body) {
    const ComponentSpec* spec = FindComponentSpec(kind_tag);
    if (spec == nullptr) {
        return {false, "There is no component kind " + std::string(kind_tag) + ".", {}};
    }
    const builders::Builder builder = builders::BuilderOf(kind_tag);
    if (builder == nullptr) {
        return {false,
                "A " + std::string(spec->display_name) +
                    " is the text of its file, so its HTML is edited as it stands.",
                {}};
    }
    if (kind_tag == "Html_Code") {
        // The body is the code: its kept line breaks shown as typed, read
        // back when building it again gives the body.
        std::string code = TypedFromPageText(body);
        std::replace(code.begin(), code.end(), kKeptLineBreak, '\n');
        try {
            if (BuildComponentBody(kind_tag, {{"code", code}}) == body) {
                return {true, {}, {{"code", code}}};
            }
        } catch (const CommandError&) {
            // not what the editor writes
        }
        return {false, "Its HTML is not what the editor writes for HTML Code.", {}};
    }
    const std::string tag(kind_tag);
    return Read({spec->display_name, spec->fields, builder,
                 [&tag](const FieldValues& values) { return BuildComponentBody(tag, values); }},
                body);
}

ComponentReading ReadFormBody(std::string_view body) {
    static constexpr FieldSpec kFormFields[] = {{"action", "Target Script", "", F::kAttribute},
                                                {"trap", "Robot trap", "0", F::kFlag}};
    return Read({"Form", kFormFields, builders::FormBlockBody,
                 [](const FieldValues& values) {
                     return FormBody(values.at("action"), values.at("trap") == "1");
                 }},
                body);
}

} // namespace qf
