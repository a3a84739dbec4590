#include "components/form.h"

#include "components/builders.h"
#include "components/user_text.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "error.h"
#include "workspace/workspace.h"

namespace qf {

namespace {

constexpr std::string_view kFormKind = "Form";
constexpr std::string_view kPageEnd = "</html>";
constexpr std::string_view kFormEnd = "</form>";
constexpr std::string_view kActionTitle = "Target Script";

} // namespace

std::string FormBody(std::string_view action, bool trap) {
    CheckNoMarkerDelimiters(kActionTitle, action);
    if (action.find_first_of("\r\n") != std::string_view::npos) {
        throw CommandError(std::string(kActionTitle) + " must be a single line");
    }
    return builders::FormBlockBody(builders::Fields(
        {{"action", AttributeText(kActionTitle, action)}, {"trap", trap ? "1" : "0"}}));
}

// The trap stands off the screen rather than hidden, so that robots reading
// the style still see a field; screen readers and the tab key skip it.
std::string builders::FormBlockBody(const Fields& f) {
    std::string body = "<form method=\"POST\" action=\"" + f.Text("action") + "\">";
    if (f.Flag("trap")) {
        body += "<div style=\"position:absolute;left:-10000px;width:1px;height:1px;"
                "overflow:hidden\" aria-hidden=\"true\"><input type=\"text\" name=\"" +
                std::string(kTrapFieldName) +
                "\" value=\"\" tabindex=\"-1\" autocomplete=\"off\"></div>";
    }
    return body;
}

int AddForm(std::string& page, std::string_view action) {
    const std::string opening = BeginMarker(kFormKind) + FormBody(action) + EndMarker(kFormKind);
    std::string text = page;
    const int number = NextInstanceNumber(text, kFormKind);
    AddDeclaration(text, std::string(kFormKind) + std::to_string(number));
    const std::size_t declarations = text.find(kDeclareBegin);
    if (declarations == std::string::npos) {
        throw CommandError("The page has no declaration block to put the form in front of");
    }
    text.insert(declarations, opening);
    // Behind every area, so that the form holds the fields.
    const std::size_t page_end = text.rfind(kPageEnd);
    if (page_end == std::string::npos) {
        throw CommandError("The page has no </html> to close the form before");
    }
    text.insert(page_end, kFormEnd);
    page = std::move(text);
    return number;
}

std::string PrepareForm(Workspace& workspace, std::string_view action) {
    RequireOpenPage(workspace);
    std::string page = workspace.page_text;
    const int number = AddForm(page, action);
    CommitPageText(workspace, std::move(page));
    return std::string(kFormKind) + std::to_string(number);
}

} // namespace qf
