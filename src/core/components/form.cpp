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

std::string RetargetForm(std::string& page, std::string_view action) {
    const std::string begin = BeginMarker(kFormKind);
    const std::string end = EndMarker(kFormKind);
    std::vector<std::pair<std::size_t, std::size_t>>
        blocks; // from the begin marker to behind the end
    for (std::size_t at = FindText(page, begin); at != std::string::npos;) {
        const std::size_t close = FindText(page, end, at + begin.size());
        if (close == std::string::npos) {
            break;
        }
        blocks.emplace_back(at, close + end.size());
        at = FindText(page, begin, close + end.size());
    }
    if (blocks.empty()) {
        return {};
    }
    std::vector<std::string> forms;
    for (const std::string& name : DeclarationNames(page)) {
        if (name.size() > kFormKind.size() && name.compare(0, kFormKind.size(), kFormKind) == 0 &&
            name.find_first_not_of("0123456789", kFormKind.size()) == std::string::npos) {
            forms.push_back(name);
        }
    }
    // The first form's new body: its action replaced, everything else kept;
    // a form tag without an action (edited by hand) is written anew.
    const std::size_t body_at = blocks[0].first + begin.size();
    const std::string body = page.substr(body_at, blocks[0].second - end.size() - body_at);
    const std::string value = AttributeText(kActionTitle, action);
    FormBody(action); // refuses what AddForm refuses
    std::string new_body;
    const std::size_t tag_end = body.find('>');
    const std::size_t attribute = body.find(" action=\"");
    const std::size_t value_at = attribute == std::string::npos ? 0 : attribute + 9;
    const std::size_t value_end =
        attribute == std::string::npos ? std::string::npos : body.find('"', value_at);
    if (body.rfind("<form", 0) == 0 && attribute < tag_end && value_end < tag_end) {
        new_body = body.substr(0, value_at) + value + body.substr(value_end);
    } else {
        new_body = FormBody(action, body.find(kTrapFieldName) != std::string::npos);
    }
    std::string text;
    text.reserve(page.size() + new_body.size());
    text.append(page, 0, body_at);
    text += new_body;
    std::size_t from = blocks[0].second - end.size();
    for (std::size_t i = 1; i < blocks.size(); ++i) {
        text.append(page, from, blocks[i].first - from);
        from = blocks[i].second;
    }
    text.append(page, from, std::string::npos);
    for (std::size_t i = 1; i < forms.size(); ++i) {
        RemoveDeclaration(text, forms[i]);
    }
    for (std::size_t i = 1; i < blocks.size(); ++i) {
        const std::size_t page_end = text.rfind(kPageEnd);
        if (page_end == std::string::npos || page_end < kFormEnd.size() ||
            text.compare(page_end - kFormEnd.size(), kFormEnd.size(), kFormEnd) != 0) {
            break;
        }
        text.erase(page_end - kFormEnd.size(), kFormEnd.size());
    }
    page = std::move(text);
    return forms.empty() ? std::string(kFormKind) + "1" : forms[0];
}

std::string PrepareForm(Workspace& workspace, std::string_view action) {
    RequireOpenPage(workspace);
    if (workspace.page_text.find(BeginMarker(kFormKind)) != std::string::npos) {
        std::string text = workspace.page_text;
        const std::string name = RetargetForm(text, action);
        if (!name.empty()) {
            CommitPageText(workspace, std::move(text), "Prepare your Form");
            return name;
        }
    }
    int number = 0;
    CommitInsertions(workspace, FormInsertions(workspace.page_text, action, number));
    return std::string(kFormKind) + std::to_string(number);
}

} // namespace qf
