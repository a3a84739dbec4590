// Takes arbitrary bytes as a page and a sequence of the editor's commands on
// it, run through the one workspace as the editor and the command line run
// them: areas modified and deleted, platforms, line breaks and raw HTML,
// component sources, values and deletion, the form, undo and redo, the exact
// area names of the command line; and, beside the page, the PHP script of its
// form, picture import, the layout designer's layouts and new pages made from
// them, and the source text's decoding. It checks that nothing crashes, that
// a refused command changes neither the page file nor the text, that a
// command that succeeds leaves the file holding the text, that no command
// leaves `check` finding more than before, and that undo followed by redo
// gives the text back.
//
// Input: the first byte gives the number of commands (its low four bits);
// the command bytes follow; then the page text up to the first line feed;
// then the values the commands take in turn, one a line.
#include "components/component_fields.h"
#include "components/form.h"
#include "components/insertion.h"
#include "components/php_script.h"
#include "components/picture_import.h"
#include "document/file_io.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/selection_lists.h"
#include "error.h"
#include "fuzz_support.h"
#include "workspace/app_folder.h"
#include "workspace/area_content.h"
#include "workspace/area_editing.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"
#include "workspace/layouts.h"
#include "workspace/new_page.h"
#include "workspace/source_text.h"
#include "workspace/workspace.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qf {
namespace {

using fuzz::Require;

// The values the commands take, one after the other, over and over.
class Values {
public:
    explicit Values(std::string_view lines) {
        for (std::size_t start = 0; !lines.empty() && start <= lines.size();) {
            const std::size_t end = std::min(lines.find('\n', start), lines.size());
            values_.emplace_back(lines.substr(start, end - start));
            start = end + 1;
        }
    }
    std::string Next() {
        return values_.empty() ? std::string() : values_[next_++ % values_.size()];
    }
    int Number(int limit) {
        const std::string value = Next();
        unsigned sum = 0;
        for (unsigned char c : value) {
            sum = sum * 31 + c;
        }
        return int(sum % unsigned(limit + 1));
    }

private:
    std::vector<std::string> values_;
    std::size_t next_ = 0;
};

const std::string& AppFolder() {
    static const std::string folder = [] {
        const std::string made = fuzz::TemporaryFolder() + "app/";
        std::filesystem::create_directories(made);
        FillAppFolder(made);
        return made;
    }();
    return folder;
}

// Runs one page command; a refusal must leave the page as it was, a success
// must leave the file holding the text, and neither may add to what `check`
// finds (undo and redo go back to a text the page had, which may hold more).
template <typename Command>
void Run(Workspace& workspace, Command&& command, bool goes_back = false) {
    const std::string before = workspace.page_text;
    const std::size_t findings_before = CheckPage(before).size();
    try {
        command();
    } catch (const CommandError&) {
        Require(workspace.page_text == before, "a refused command changes nothing");
        Require(ReadPageFile(workspace.page_path) == before,
                "a refused command leaves the file as it was");
        return;
    }
    Require(ReadPageFile(workspace.page_path) == workspace.page_text,
            "the file holds the text after a command");
    if (workspace.page_text != before && !goes_back) {
        Require(CheckPage(workspace.page_text).size() <= findings_before,
                "a command never adds to what check finds");
    }
}

void BesideThePage(std::uint8_t command, const Workspace& workspace, Values& values) {
    const std::string folder = fuzz::TemporaryFolder();
    switch (command % 5) {
    case 0: { // the PHP script of the page's form
        const std::vector<FormField> fields = ScanFormFields(workspace.page_text);
        try {
            const std::string script =
                PhpScriptText(fields, values.Next(), values.Next(), values.Next());
            Require(script.size() >= 2 && script.substr(script.size() - 2) == "\r\n",
                    "the script's lines end with CR LF");
        } catch (const CommandError&) {
        }
        break;
    }
    case 1: { // a picture imported from bytes of the input
        const std::string picture = folder + "in/" + values.Next().substr(0, 40) + ".png";
        std::error_code ignored;
        std::filesystem::create_directories(folder + "in", ignored);
        try {
            WriteFileAtomically(picture, values.Next());
        } catch (const CommandError&) {
            break; // a name the file system refuses
        }
        try {
            const std::string location = ImportPicture(folder + "project/", "", picture);
            Require(!location.empty(), "an imported picture has a location");
        } catch (const CommandError&) {
        }
        break;
    }
    case 2: { // a layout saved by the designer, and a page made from it
        try {
            const int number = SaveLayout(AppFolder(), values.Next());
            const std::string layout = ReadLayout(AppFolder(), number);
            (void)LayoutPreviewText(layout);
            NewPageProperties properties{values.Next(), values.Next(), values.Next(),
                                         values.Number(50), values.Number(1) == 1};
            CheckNewPageProperties(properties);
            (void)CheckPage(PageTextFromLayout(layout, properties));
        } catch (const CommandError&) {
        }
        break;
    }
    case 3: { // a page made from a shipped layout into the project
        Workspace fresh;
        fresh.app_folder = AppFolder();
        fresh.project_folder = folder + "project/";
        std::error_code ignored;
        std::filesystem::create_directories(fresh.project_folder, ignored);
        try {
            const int layout = 1 + values.Number(9);
            CreatePageFromLayout(fresh, {values.Next(), values.Next(), values.Next(), 0}, layout,
                                 ExistingPage::Replace);
            Require(ReadPageFile(fresh.page_path) == fresh.page_text,
                    "a new page's file holds its text");
            Require(CheckPage(fresh.page_text).empty(), "a new page is sound");
        } catch (const CommandError&) {
        }
        break;
    }
    default: { // the source editor's text, decoded and encoded again
        const std::string bytes = values.Next();
        const SourceText text = DecodeSource(bytes);
        (void)SourceLines(bytes);
        (void)ReadableText(bytes);
        if (text.encoding == SourceEncoding::Utf8) {
            Require(DecodeSource(EncodeSource(text.text, text.encoding)).text == text.text,
                    "source text survives encoding");
        }
        break;
    }
    }
}

void Operate(std::uint8_t command, Workspace& workspace, Values& values) {
    switch (command % 14) {
    case 0:
        workspace.area_list.text = values.Next();
        Run(workspace, [&] { ModifyArea(workspace, {.height = values.Number(999)}); });
        break;
    case 1:
        workspace.area_list.text = values.Next();
        Run(workspace, [&] { DeleteArea(workspace); });
        break;
    case 2:
        workspace.area_list.text = values.Next();
        Run(workspace, [&] {
            InsertPlatform(workspace, 1 + values.Number(4), values.Number(900), values.Number(900));
        });
        break;
    case 3:
        workspace.area_list.text = values.Next();
        Run(workspace, [&] { InsertLineBreak(workspace); });
        break;
    case 4:
        workspace.area_list.text = values.Next();
        Run(workspace, [&] { InsertHtml(workspace, values.Next()); });
        break;
    case 5:
        workspace.component_list.text = values.Next();
        Run(workspace, [&] { SaveComponentSource(workspace, values.Next()); });
        break;
    case 6:
        workspace.component_list.text = values.Next();
        Run(workspace, [&] { DeleteComponent(workspace); });
        break;
    case 7: {
        const std::string entry = values.Next();
        Run(workspace, [&] {
            (void)ReadComponent(workspace.page_text, entry);
            ModifyComponent(workspace, entry, {{values.Next(), values.Next()}});
        });
        break;
    }
    case 8:
        Run(workspace, [&] { PrepareForm(workspace, values.Next()); });
        break;
    case 9: { // undo, then redo gives the text back
        const std::string before = workspace.page_text;
        bool undone = false;
        Run(
            workspace,
            [&] {
                UndoPageChange(workspace);
                undone = true;
            },
            true);
        if (undone) {
            Run(
                workspace, [&] { RedoPageChange(workspace); }, true);
            Require(workspace.page_text == before, "undo then redo gives the text back");
        }
        break;
    }
    case 10: {
        const std::string typed = values.Next();
        try {
            const int number = ExactAreaNumber(workspace.page_text, typed);
            Require(typed == "Area" + std::to_string(number), "an exact area name is exact");
        } catch (const CommandError&) {
        }
        break;
    }
    case 11:
        workspace.area_list.text = values.Next();
        Run(workspace, [&] {
            InsertComponent(workspace, "Text", {{"text", values.Next()}, {"color", values.Next()}});
        });
        break;
    default:
        BesideThePage(command, workspace, values);
        break;
    }
}

} // namespace
} // namespace qf

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qf;
    if (size < 2) {
        return 0;
    }
    const int count = data[0] & 0x0f;
    if (size < std::size_t(1 + count)) {
        return 0;
    }
    const std::vector<std::uint8_t> commands(data + 1, data + 1 + count);
    std::string_view rest(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);
    const std::size_t line = rest.find('\n');
    const std::string page(rest.substr(0, line));
    Values values(line == std::string_view::npos ? std::string_view() : rest.substr(line + 1));

    const std::string path = fuzz::TemporaryFolder() + "page.html";
    try {
        WritePageFile(path, page);
    } catch (const CommandError&) {
        return 0;
    }
    Workspace workspace;
    workspace.app_folder = AppFolder();
    workspace.lock_wait_ms = 0;
    try {
        OpenPage(workspace, path);
    } catch (const CommandError&) {
        return 0;
    }
    for (std::uint8_t command : commands) {
        Operate(command, workspace, values);
    }
    return 0;
}
