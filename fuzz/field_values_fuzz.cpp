// Takes arbitrary bytes as the field values of one component kind (every
// field of every kind the core builds) and inserts the component into a page.
// Whatever the values, an accepted component's block holds no marker
// delimiter but its own two markers, no line break, and no double quote in
// a tag but those that open and close attribute values; a refused one is
// refused with a message and changes neither the page text, nor the lists,
// nor the page file.
//
// Input: the first byte chooses the kind; then fields, each a byte choosing
// the field (a grid cell takes two more bytes, its row and column) and its
// value up to the next 0xFF byte.
#include "components/component_fields.h"
#include "components/insertion.h"
#include "components/user_text.h"
#include "document/file_io.h"
#include "document/markers.h"
#include "document/page_file.h"
#include "error.h"
#include "fuzz_support.h"
#include "html_reading.h"
#include "workspace/workspace.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qf {
namespace {

using fuzz::Require;

constexpr std::string_view kPage =
    "<html><head><title>Fields</title></head><body bgcolor=#FFFFFF><!---End_Body---!>"
    "<!---declare_begin---!><!---Table1---!><!---////---!><!---declare_end---!></body>"
    "<!---Begin_Table1---!><table width=400><td width=400><img src=\"spacer.gif\"></td>"
    "</table><!---End_Table1---!></html>";

// A workspace with the page above open and Area1 selected, and an
// application folder holding the rollover script and one custom table.
Workspace& OpenWorkspace() {
    static Workspace workspace;
    if (workspace.HasOpenPage()) {
        return workspace;
    }
    const std::string folder = fuzz::TemporaryFolder();
    for (const char* sub : {"app/", "app/custom/", "site/"}) {
        std::filesystem::create_directory(folder + sub);
    }
    WriteFileAtomically(folder + "app/js.js", "function swap(i, s) { i.src = s; }\n");
    WriteFileAtomically(folder + "app/custom/1.html", "<table><tr><td>1</td></tr></table>");
    WritePageFile(folder + "site/index.html", kPage);
    workspace.app_folder = folder + "app/";
    workspace.project_folder = folder + "site/";
    OpenPage(workspace, folder + "site/index.html");
    workspace.area_list.text = "Area1";
    return workspace;
}

bool TakesContent(FieldFormat format) {
    return format == FieldFormat::kContent || format == FieldFormat::kLines ||
           format == FieldFormat::kCell;
}

// Reads the fields and their values from the input.
FieldValues ReadValues(const ComponentSpec& spec, std::string_view input) {
    FieldValues values;
    while (!input.empty()) {
        const auto choice = static_cast<std::uint8_t>(input.front());
        input.remove_prefix(1);
        const std::size_t index = choice % (spec.fields.size() + 1);
        std::string name = "nosuchfield";
        if (index < spec.fields.size()) {
            name = spec.fields[index].name;
            if (spec.fields[index].format == FieldFormat::kCell) {
                const auto number = [&input] {
                    const int n = input.empty() ? 1 : static_cast<std::uint8_t>(input.front()) % 9;
                    input.remove_prefix(input.empty() ? 0 : 1);
                    return std::to_string(n);
                };
                const std::string row = number();
                name = "cell." + row + "." + number();
            }
        }
        const std::size_t end = std::min(input.find('\xFF'), input.size());
        values[name] = std::string(input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));
    }
    return values;
}

// The same values with every "<" of element content written "&lt;": typed
// markup in a text is the user's own HTML, so the tags checked are those of
// the kind's template.
FieldValues WithoutTypedMarkup(const ComponentSpec& spec, FieldValues values) {
    for (auto& [name, value] : values) {
        const FieldSpec* field = FindField(spec, name);
        if (field != nullptr && TakesContent(field->format)) {
            std::string escaped;
            for (const char c : value) {
                escaped += c == '<' ? std::string("&lt;") : std::string(1, c);
            }
            value = escaped;
        }
    }
    return values;
}

// A script string value as written: every quote and backslash escaped, so
// the string ends only where the template ends it.
void CheckScriptStrings(const ComponentSpec& spec, const FieldValues& values) {
    for (const auto& [name, value] : values) {
        const FieldSpec* field = FindField(spec, name);
        if (field == nullptr || field->format != FieldFormat::kScript) {
            continue;
        }
        const std::string written = ScriptStringText(name, value);
        for (std::size_t i = 0; i < written.size(); ++i) {
            Require(written[i] != '"', "a script string holds no double quote");
            Require(written[i] != '\'', "a script string holds no unescaped single quote");
            if (written[i] == '\\') {
                ++i; // the escaped character
                Require(i < written.size(), "a script string does not end in a lone backslash");
            }
        }
    }
}

// The block of an accepted component: its own two markers and nothing like
// them inside, one line, and tags whose double quotes all open or close
// attribute values, ending outside every tag.
void CheckBlock(const std::string& name, const std::string& body, bool check_tags) {
    const std::string begin = BeginMarker(name);
    const std::string end = EndMarker(name);
    const std::string block = begin + body + end;
    Require(block.find(kMarkerOpen, 1) == begin.size() + body.size(),
            "no marker opening inside the block");
    Require(block.find(kMarkerClose) == begin.size() - kMarkerClose.size() &&
                block.find(kMarkerClose, begin.size() - kMarkerClose.size() + 1) ==
                    block.size() - kMarkerClose.size(),
            "no marker closing inside the block");
    // HTML code keeps its line breaks as lone CRs, which end no line of the
    // page file; and its markup is the user's, as typed.
    const bool code = name.rfind("Html_Code", 0) == 0;
    Require(block.find_first_of(code ? "\n" : "\r\n") == std::string::npos,
            "no line break in the block");
    if (check_tags && !code) {
        const fuzz::BrowserReading reading = fuzz::ReadAsBrowser(block);
        Require(reading.stray_quotes.empty(), "a double quote inside an attribute value");
        Require(reading.ends_in_text, "the block ends outside every tag");
    }
}

} // namespace
} // namespace qf

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qf;
    if (size == 0) {
        return 0;
    }
    const auto specs = ComponentSpecs();
    const ComponentSpec& spec = specs[data[0] % specs.size()];
    const FieldValues values =
        ReadValues(spec, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    std::string body;
    bool built = false;
    try {
        body = BuildComponentBody(spec.kind_tag, values);
        built = true;
    } catch (const CommandError& error) {
        fuzz::Require(*error.what() != '\0', "a refusal says why");
    }
    if (built) {
        CheckScriptStrings(spec, values);
        CheckBlock(std::string(spec.kind_tag) + "1", body, false);
        CheckBlock(std::string(spec.kind_tag) + "1",
                   BuildComponentBody(spec.kind_tag, WithoutTypedMarkup(spec, values)), true);
    }

    // The same values through the insertion every dialog and the command
    // line use.
    Workspace& workspace = OpenWorkspace();
    const std::string page = workspace.page_text;
    const std::vector<std::string> entries = workspace.component_list.entries;
    const std::string file = ReadRegularFile(workspace.page_path);
    std::string entry;
    try {
        entry = InsertComponent(workspace, spec.kind_tag, values);
    } catch (const CommandError& error) {
        fuzz::Require(*error.what() != '\0', "a refusal says why");
        if (built && spec.kind_tag != "Custom_Table") {
            std::fprintf(stderr, "refused: %s\n", error.what());
        }
        fuzz::Require(built == false || spec.kind_tag == "Custom_Table",
                      "values the builder accepts are inserted");
        fuzz::Require(workspace.page_text == page && workspace.component_list.entries == entries &&
                          ReadRegularFile(workspace.page_path) == file,
                      "a refusal changes nothing");
        return 0;
    }
    fuzz::Require(built || spec.kind_tag == "Custom_Table",
                  "what the builder refuses is not inserted");
    fuzz::Require(ReadPageFile(workspace.page_path) == workspace.page_text,
                  "the page file holds the new text");
    if (built) {
        const std::string name =
            std::string(spec.kind_tag) + entry.substr(entry.find_last_not_of("0123456789") + 1);
        fuzz::Require(workspace.page_text.find(BeginMarker(name) + body + EndMarker(name)) !=
                          std::string::npos,
                      "the page holds the block as built");
    }
    // Back to the page as it was, for the next input.
    UndoPageChange(workspace);
    fuzz::Require(workspace.page_text == page && ReadRegularFile(workspace.page_path) == file,
                  "undo gives the page back");
    return 0;
}
