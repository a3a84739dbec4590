// Takes arbitrary bytes as a page text and a sequence of operations on it, and
// checks that nothing crashes and that writing then reading gives the text back.
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void RunOperation(std::string& page, std::uint8_t op) {
    const int number = 1 + (op >> 3) % 14;
    const std::string name = (op & 0x40 ? "Image" : "Table") + std::to_string(number);
    switch (op & 7) {
    case 0:
        qf::AddDeclaration(page, name);
        break;
    case 1: {
        const std::size_t point = qf::AreaInsertPoint(page, number);
        Check(point <= page.size());
        page.insert(point, "<!---Begin_Hr1---!><hr><!---End_Hr1---!>");
        break;
    }
    case 2: {
        const qf::BlockPosition block = qf::FindBlock(page, name);
        if (block.found() && block.begin < block.end) {
            page.erase(block.begin, block.block_end - block.begin);
        }
        qf::RemoveDeclaration(page, name);
        break;
    }
    case 3: {
        qf::SelectionList areas, components;
        qf::RebuildAreaList(areas, page);
        qf::RebuildComponentList(components, page);
        for (const std::string& entry : components.entries) {
            Check(qf::SelectedComponentName(entry).has_value());
        }
        break;
    }
    case 4:
        qf::NextInstanceNumber(page, op & 0x40 ? "Image" : "Text");
        qf::NextDesignerAreaNumber(page);
        qf::NextPlatformAreaNumbers(page, 1 + op % 3);
        break;
    case 5:
        qf::CheckPage(page);
        break;
    default:
        Check(qf::DecodePageFile(qf::EncodePageFile(page)) == page);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t ops = std::min<std::size_t>(data[0] % 16, size - 1);
    std::string page(reinterpret_cast<const char*>(data) + 1 + ops, size - 1 - ops);
    // A page text holds no line feeds: reading a file removes them.
    std::erase(page, '\n');
    for (std::size_t i = 0; i < ops; ++i) {
        try {
            RunOperation(page, data[1 + i]);
        } catch (const qf::CommandError&) {
            // A refusal is an answer, not a crash.
        }
    }
    Check(qf::DecodePageFile(qf::EncodePageFile(page)) == page);
    // The lines join to the text, and every line but the last ends after a
    // blank (a long line is allowed where no blank may be cut, as inside a
    // quoted value, a comment or a script).
    const std::vector<std::string_view> lines = qf::CutIntoLines(page);
    std::size_t joined = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Check(page.compare(joined, lines[i].size(), lines[i]) == 0);
        joined += lines[i].size();
        if (i + 1 < lines.size()) {
            Check(!lines[i].empty() && lines[i].back() == ' ');
        }
    }
    Check(joined == page.size());
    return 0;
}
