#include "random_values.h"

#include <climits>

namespace qf::test {

namespace {

int Pick(std::mt19937& random, int below) {
    return std::uniform_int_distribution<int>(0, below - 1)(random);
}

std::string RandomNumber(const FieldSpec& field, std::mt19937& random) {
    const bool bounded = field.minimum != 0 || field.maximum != 0;
    const int low = bounded ? field.minimum : INT_MIN;
    const int high = bounded ? field.maximum : INT_MAX;
    switch (Pick(random, 6)) {
    case 0:
        return std::to_string(low);
    case 1:
        return std::to_string(high);
    case 2:
        return bounded ? std::to_string(low) : "0";
    case 3:
        return bounded ? std::to_string(high) : "-1";
    default:
        return std::to_string(std::uniform_int_distribution<int>(low, high)(random));
    }
}

} // namespace

std::string RandomText(std::mt19937& random) {
    static const char* const kPieces[] = {
        "a",       "Z",        "7",        " ",          "\"",        "'",       "\\",
        "&",       "&amp;",    "&quot;",   "&#233;",     "&#39;",     "&#0233;", "<",
        ">",       "<b>",      "</b>",     "</font>",    "</a>",      "</td>",   "<tr>",
        "</dd>",   "<option>", "\">",      "é",          "€",         "😀",       "ß",
        "#FF0000", "-",        "--",       "%",          "\\'",       ";",       "=",
        "http://", "x.gif",    "</td><td", "\" size=\"", "</select>", "\t",
    };
    std::string text;
    const int length = Pick(random, 5) == 0 ? 0 : Pick(random, 8) + 1;
    for (int i = 0; i < length; ++i) {
        text += kPieces[Pick(random, static_cast<int>(std::size(kPieces)))];
    }
    return text;
}

FieldValues RandomFieldValues(const ComponentSpec& spec, std::mt19937& random) {
    FieldValues values;
    int rows = 1;
    int columns = 1;
    for (const FieldSpec& field : spec.fields) {
        const std::string name(field.name);
        switch (field.format) {
        case FieldFormat::kFlag:
            values[name] = Pick(random, 2) == 0 ? "0" : "1";
            break;
        case FieldFormat::kInteger:
            if (name == "rows" || name == "cols") {
                const int count = Pick(random, 5); // 0 gives one
                values[name] = std::to_string(count);
                (name == "rows" ? rows : columns) = std::max(count, 1);
            } else {
                values[name] = RandomNumber(field, random);
            }
            break;
        case FieldFormat::kLines: {
            std::string lines;
            const int count = Pick(random, 5);
            for (int i = 0; i < count; ++i) {
                lines +=
                    (i == 0 ? "" : (Pick(random, 3) == 0 ? "\r\n" : "\n")) + RandomText(random);
            }
            values[name] = lines;
            break;
        }
        case FieldFormat::kCell:
            break;
        default:
            values[name] = RandomText(random);
        }
    }
    // A radio group has a choice at least, and chooses one of them or none.
    if (values.count("choices") != 0 && values.count("chosen") != 0) {
        std::string& choices = values["choices"];
        choices += "\nc" + RandomText(random);
        int count = 0;
        for (std::size_t at = 0; at <= choices.size();) {
            const std::size_t end = std::min(choices.find_first_of("\r\n", at), choices.size());
            count += end > at ? 1 : 0;
            at = end + 1;
        }
        values["chosen"] = std::to_string(Pick(random, count + 1));
    }
    for (const FieldSpec& field : spec.fields) {
        if (field.format != FieldFormat::kCell) {
            continue;
        }
        for (int row = 1; row <= rows; ++row) {
            for (int column = 1; column <= columns; ++column) {
                if (Pick(random, 3) != 0) {
                    values["cell." + std::to_string(row) + "." + std::to_string(column)] =
                        RandomText(random);
                }
            }
        }
    }
    return values;
}

} // namespace qf::test
