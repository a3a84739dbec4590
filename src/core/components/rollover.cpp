#include "components/rollover.h"

#include "components/page_properties.h"
#include "document/file_io.h"
#include "document/page_text.h"
#include "error.h"

namespace qf {

bool PageTakesRollover(std::string_view page) {
    return CountOccurrences(DeclarationBlockText(page), "<!---Roll_Img") == 0 &&
           page.find("<!---Begin_Roll_Img") == std::string_view::npos;
}

void CopyRolloverScript(const std::string& app_folder, const std::string& target_folder) {
    const std::string source_path = app_folder + std::string(kRolloverScriptFile);
    const std::string target_path = target_folder + std::string(kRolloverScriptFile);
    WriteFileAtomically(target_path, ReadRegularFile(source_path));
}

void AddRolloverScriptReference(std::string& page) {
    const std::size_t head_end = HeadEndTag(page);
    if (head_end == std::string::npos) {
        throw CommandError("This page has no \"</head>\" to take the rollover script");
    }
    // Only a reference in the head, behind the title, loads the script: the
    // same text typed into the heading or into a component does not.
    const std::size_t from = TitleEnd(page);
    if (std::string_view(page).substr(from, head_end - from).find(kRolloverScriptReference) !=
        std::string_view::npos) {
        return;
    }
    page.insert(head_end, kRolloverScriptReference);
}

} // namespace qf
