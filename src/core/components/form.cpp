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

namespace {

// What AddForm inserts, at positions in the page as it stands (the
// declaration, the form's opening before the declaration block, its end
// before the last "</html>"); `number` is the form's.
std::vector<TextInsertion> FormInsertions(std::string_view page, std::string_view action,
                                          int& number) {
    std::string opening = BeginMarker(kFormKind) + FormBody(action) + EndMarker(kFormKind);
    const std::size_t declarations = page.find(kDeclareBegin);
    if (declarations == std::string::npos) {
        throw CommandError("The page has no declaration block to put the form in front of");
    }
    // Behind every area, so that the form holds the fields.
    const std::size_t page_end = page.rfind(kPageEnd);
    if (page_end == std::string::npos) {
        throw CommandError("The page has no </html> to close the form before");
    }
    number = NextInstanceNumber(page, kFormKind);
    std::vector<TextInsertion> insertions;
    insertions.push_back({declarations, std::move(opening)});
    insertions.push_back({DeclarationSeparator(page),
                          DeclarationMarker(std::string(kFormKind) + std::to_string(number))});
    insertions.push_back({page_end, std::string(kFormEnd)});
    return insertions;
}

} // namespace

int AddForm(std::string& page, std::string_view action) {
    int number = 0;
    std::vector<TextInsertion> insertions = FormInsertions(page, action, number);
    // From the last, so the earlier positions stay where they are.
    for (auto it = insertions.rbegin(); it != insertions.rend(); ++it) {
        page.insert(it->at, it->text);
    }
    return number;
}

std::string PrepareForm(Workspace& workspace, std::string_view action) {
    RequireOpenPage(workspace);
    int number = 0;
    CommitInsertions(workspace, FormInsertions(workspace.page_text, action, number));
    return std::string(kFormKind) + std::to_string(number);
}

} // namespace qf
