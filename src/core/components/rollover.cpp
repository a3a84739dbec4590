#include "components/rollover.h"

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
    if (page.find(kRolloverScriptReference) != std::string::npos) {
        return;
    }
    const std::size_t head_end = page.find("</head>");
    if (head_end == std::string::npos) {
        throw CommandError("This page has no \"</head>\" to take the rollover script");
    }
    page.insert(head_end, kRolloverScriptReference);
}

} // namespace qf
