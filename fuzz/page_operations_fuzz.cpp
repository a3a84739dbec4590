// Takes arbitrary bytes as a page text, values and a sequence of operations on
// the page (declarations, blocks, lists, numbers, the check, insertion of
// components, page properties, the file writer), and checks that nothing
// crashes, that every refusal changes nothing, and that the page file the
// writer leaves reads back as the text, cut into lines only where a browser
// reads a mere blank.
//
// Input: the first byte gives the number of operations (its low four bits);
// the operation bytes follow (an insertion takes one more byte, choosing the
// kind and the field); then the page text up to the first line feed; then the
// values the operations take in turn, one a line.
#include "components/component_fields.h"
#include "components/insertion.h"
#include "components/page_properties.h"
#include "components/small_screens.h"
#include "components/user_text.h"
#include "document/file_io.h"
#include "document/markers.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"
#include "fuzz_support.h"
#include "html_reading.h"
#include "workspace/workspace.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qf {
namespace {

using fuzz::Require;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return data_.empty(); }
    std::uint8_t Byte() {
        if (data_.empty()) {
            return 0;
        }
        const auto byte = static_cast<std::uint8_t>(data_.front());
        data_.remove_prefix(1);
        return byte;
    }
    std::string_view Rest() const { return data_; }

private:
    std::string_view data_;
};

// The values the operations take, one after the other, over and over.
class Values {
public:
    explicit Values(std::string_view lines) {
        std::size_t start = 0;
        while (start <= lines.size() && !lines.empty()) {
            const std::size_t end = std::min(lines.find('\n', start), lines.size());
            values_.emplace_back(lines.substr(start, end - start));
            start = end + 1;
        }
    }
    std::string Next() {
        return values_.empty() ? std::string() : values_[next_++ % values_.size()];
    }

private:
    std::vector<std::string> values_;
    std::size_t next_ = 0;
};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The page file of `page`, as the writer left it, against the rule: the byte
// order mark that starts the text first, an empty line, the text cut into
// lines that join to it, an empty line, every line ended by CR LF; each line
// but the last ends after a blank, and no line ends where a browser would
// read the line break as part of a value, a comment or a protected element.
void CheckPageFileBytes(std::string_view page, std::string_view bytes) {
    std::string_view text = page;
    if (StartsWith(text, kByteOrderMark)) {
        Require(StartsWith(bytes, kByteOrderMark), "the byte order mark comes first");
        text.remove_prefix(kByteOrderMark.size());
        bytes.remove_prefix(kByteOrderMark.size());
    }
    Require(StartsWith(bytes, "\r\n"), "the file starts with an empty line");
    Require(bytes.size() >= 4 && bytes.substr(bytes.size() - 2) == "\r\n",
            "the file ends with CR LF");
    std::string_view lines = bytes.substr(2, bytes.size() - 4);
    const fuzz::BrowserReading reading = fuzz::ReadAsBrowser(text);
    std::size_t joined = 0;
    while (!lines.empty()) {
        const std::size_t end = lines.find("\r\n");
        Require(end != std::string_view::npos, "every line ends with CR LF");
        const std::string_view line = lines.substr(0, end);
        lines.remove_prefix(end + 2);
        Require(!line.empty(), "no empty line but the first and the last");
        Require(text.substr(joined, line.size()) == line, "the lines join to the text");
        joined += line.size();
        if (!lines.empty()) {
            Require(line.back() == ' ', "a line ends after a blank");
            if (reading.protected_after[joined - 1]) {
                const std::size_t from = joined > 60 ? joined - 60 : 0;
                std::fprintf(stderr, "cut at ...%s|%s...\n",
                             std::string(text.substr(from, joined - from)).c_str(),
                             std::string(text.substr(joined, 60)).c_str());
                Require(false,
                        "a line break inside a quoted value, a comment or a protected element");
            }
        }
    }
    Require(joined == text.size(), "the lines hold the whole text");
}

// Writes the page with the page writer, reads it back, and checks both.
void CheckWriteAndRead(const std::string& page) {
    const std::string path = fuzz::TemporaryFolder() + "page.html";
    WritePageFile(path, page);
    Require(ReadPageFile(path) == page, "the page file reads back as the text written");
    CheckPageFileBytes(page, ReadRegularFile(path));
    Require(DecodePageFile(EncodePageFile(page)) == page, "encoding then decoding gives the text");
}

std::string ReadBytesOrEmpty(const std::string& path) {
    return EntryExists(path) ? ReadRegularFile(path) : std::string();
}

// Writes bytes piece by piece through a SaveFile, committed or dropped; a
// dropped one leaves the old file and nothing beside it.
void CheckSaveFile(std::string_view bytes, std::uint8_t how) {
    const std::string folder = fuzz::TemporaryFolder();
    const std::string path = folder + "saved.bin";
    const std::string old = ReadBytesOrEmpty(path);
    {
        SaveFile file(path);
        std::size_t piece = 1 + (how >> 1) * 97;
        for (std::size_t at = 0; at < bytes.size(); at += piece, piece = piece * 3 + 1) {
            file.Write(bytes.substr(at, piece));
        }
        if (how & 1) {
            file.Commit();
        }
    }
    Require(ReadBytesOrEmpty(path) == ((how & 1) ? bytes : std::string_view(old)),
            "a committed save holds the bytes written, a dropped one the old bytes");
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        Require(name == "page.html" || name == "saved.bin", "no file is left beside the page");
    }
}

// The number of an area on the page, or some number when there is none.
int SomeArea(const std::string& page, std::uint8_t choice) {
    SelectionList areas;
    areas.entries = AreaEntries(page);
    if (areas.entries.empty()) {
        return 1 + choice;
    }
    const std::optional<int> area =
        SelectedAreaNumber(areas.entries[choice % areas.entries.size()]);
    return area.value_or(1 + choice);
}

// A component body built from one field value (the kind's initial values
// when the kind refuses it).
std::optional<std::string> SomeBody(const ComponentSpec& spec, std::uint8_t choice,
                                    const std::string& value) {
    FieldValues values;
    if (!spec.fields.empty()) {
        values[std::string(spec.fields[choice % spec.fields.size()].name)] = value;
    }
    for (const FieldValues& tried : {values, FieldValues{}}) {
        try {
            return BuildComponentBody(spec.kind_tag, tried);
        } catch (const CommandError& error) {
            Require(*error.what() != '\0', "a refusal says why");
        }
    }
    return std::nullopt;
}

// Inserts a component, into an area or before the declarations, and checks
// the page it gives: the block with the body, declared under its new name;
// a refusal leaves the page as it was.
void InsertSomeComponent(std::string& page, std::uint8_t op, std::uint8_t choice, Values& values) {
    const auto specs = ComponentSpecs();
    const ComponentSpec& spec = specs[choice % specs.size()];
    const std::optional<std::string> body = SomeBody(spec, choice / specs.size(), values.Next());
    if (!body) {
        return;
    }
    const std::string before = page;
    const bool into_area = (op & 0x10) == 0;
    int number = 0;
    try {
        number = into_area ? AddComponent(page, spec.kind_tag, *body, SomeArea(page, op >> 5))
                           : AddComponentBeforeDeclarations(page, spec.kind_tag, *body);
    } catch (const CommandError& error) {
        Require(*error.what() != '\0', "a refusal says why");
        Require(page == before, "a refused insertion changes nothing");
        return;
    }
    const std::string name = std::string(spec.kind_tag) + std::to_string(number);
    const std::string block = BeginMarker(name) + *body + EndMarker(name);
    const std::string declaration = std::string(kMarkerOpen) + name + std::string(kMarkerClose);
    Require(number >= 1 && number <= kMaxInstanceNumber, "the number is one the lists read");
    // Without the declaration and the block, the page is the page before.
    std::string rest = page;
    const std::size_t declared = rest.find(declaration + std::string(kDeclarationSeparator));
    Require(declared != std::string::npos, "the new component is declared");
    rest.erase(declared, declaration.size());
    Require(rest.find(kDeclarationSeparator) == declared,
            "the declaration stands before the first separator");
    const std::size_t at = rest.find(block);
    Require(at != std::string::npos, "the page holds the new block");
    rest.erase(at, block.size());
    Require(rest == before, "an insertion adds the block and its declaration, nothing else");
    Require(FindBlock(page, name).found(), "the new block is found by its name");
}

// Applies page properties and checks the page they give: the title holds the
// heading as written, the body start tag is still found, the small-screen
// block is there when asked for and gone when not, and applying the same
// properties again changes nothing.
void ApplySomeProperties(std::string& page, std::uint8_t op, Values& values) {
    PageProperties properties;
    if (op & 0x10) {
        properties.heading = values.Next();
    }
    if (op & 0x20) {
        properties.background = values.Next();
    }
    if (op & 0x40) {
        properties.disable_scrollers = (op & 0x80) != 0;
    }
    if ((op & 0x60) == 0x60) {
        const std::string fit = values.Next();
        if (!fit.empty()) {
            properties.fit_small_screens = (fit.front() & 1) != 0;
        }
    }
    std::string changed;
    try {
        changed = ApplyPageProperties(page, properties);
    } catch (const CommandError& error) {
        Require(*error.what() != '\0', "a refusal says why");
        return;
    }
    if (properties.heading) {
        Require(PageHeader(changed) == PageText("Heading", *properties.heading),
                "the title holds the heading as written");
    }
    Require(BodyTagStart(changed) != kNotFound, "the body start tag is still found");
    if (properties.fit_small_screens) {
        Require(PageFitsSmallScreens(changed) == *properties.fit_small_screens,
                "the small-screen block is there exactly when asked for");
    }
    if (const std::string again = ApplyPageProperties(changed, properties); again != changed) {
        std::fprintf(stderr, "heading [%s] background [%s] scroll %d\n",
                     properties.heading.value_or("(none)").c_str(), properties.background.c_str(),
                     properties.disable_scrollers ? int(*properties.disable_scrollers) : -1);
        for (const std::string* text : {&std::as_const(page), &std::as_const(changed), &again}) {
            std::fwrite(text->data(), 1, text->size(), stderr);
            std::fputc('\n', stderr);
        }
        Require(false, "the same properties applied again change nothing");
    }
    page = std::move(changed);
}

void RunOperation(std::string& page, std::uint8_t op, Input& input, Values& values) {
    const int number = 1 + (op >> 4) % 14;
    const std::string name = (op & 0x80 ? "Image" : "Table") + std::to_string(number);
    switch (op & 15) {
    case 0:
        AddDeclaration(page, name);
        break;
    case 1: {
        const std::size_t point = AreaInsertPoint(page, number);
        Require(point <= page.size(), "the insert point lies in the page");
        page.insert(point, "<!---Begin_Hr1---!><hr><!---End_Hr1---!>");
        break;
    }
    case 2: {
        const BlockPosition block = FindBlock(page, name);
        if (block.found() && block.begin < block.end) {
            page.erase(block.begin, block.block_end - block.begin);
        }
        RemoveDeclaration(page, name);
        break;
    }
    case 3: {
        SelectionList areas, components;
        RebuildSelectionLists(areas, components, page);
        Require(areas.entries == AreaEntries(page) && components.entries == ComponentEntries(page),
                "both lists read at once are the lists read one by one");
        for (const std::string& entry : components.entries) {
            Require(SelectedComponentName(entry).has_value(), "a listed component has a name");
        }
        break;
    }
    case 4:
        NextInstanceNumber(page, op & 0x80 ? "Image" : "Text");
        NextDesignerAreaNumber(page);
        NextPlatformAreaNumbers(page, 1 + op % 3);
        break;
    case 5:
        CheckPage(page);
        break;
    case 6:
    case 7:
        InsertSomeComponent(page, op, input.Byte(), values);
        break;
    case 8:
        ApplySomeProperties(page, op, values);
        break;
    case 9:
        CheckWriteAndRead(page);
        break;
    case 10:
        CheckSaveFile(page, op >> 4);
        break;
    default:
        Require(DecodePageFile(EncodePageFile(page)) == page,
                "encoding then decoding gives the text");
        break;
    }
}

} // namespace
} // namespace qf

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qf::Input input(data, size);
    if (input.Empty()) {
        return 0;
    }
    std::vector<std::uint8_t> ops;
    for (int count = input.Byte() % 16; count > 0 && !input.Empty(); --count) {
        ops.push_back(input.Byte());
        if ((ops.back() & 15) == 6 || (ops.back() & 15) == 7) {
            ops.push_back(input.Byte()); // the kind and field
        }
    }
    const std::string_view rest = input.Rest();
    const std::size_t line_end = std::min(rest.find('\n'), rest.size());
    // A page text holds no line feeds: reading a file removes them.
    std::string page(rest.substr(0, line_end));
    qf::Values values(rest.substr(std::min(line_end + 1, rest.size())));
    // The operation bytes are read again in order; an insertion's choice
    // byte is its follower.
    std::string choices(ops.begin(), ops.end());
    qf::Input op_input(reinterpret_cast<const std::uint8_t*>(choices.data()), choices.size());
    while (!op_input.Empty()) {
        const std::uint8_t op = op_input.Byte();
        try {
            qf::RunOperation(page, op, op_input, values);
        } catch (const qf::CommandError& error) {
            // A refusal is an answer, not a crash; it says why.
            qf::fuzz::Require(*error.what() != '\0', "a refusal says why");
        }
    }
    qf::CheckWriteAndRead(page);
    return 0;
}
