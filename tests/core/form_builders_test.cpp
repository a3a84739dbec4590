#include "components/component_fields.h"
#include "components/form.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

const std::string kStyle = " style=\"BORDER-RIGHT: 1px solid; BORDER-TOP: 1px solid; MARGIN: 1px; "
                           "BORDER-LEFT: 1px solid; COLOR: #000000; BORDER-BOTTOM: 1px solid; "
                           "FONT-FAMILY: Verdana, arial,helvetica,sans-serif; BACKGROUND-COLOR: "
                           "#FFFFFF\"";

const FieldValues kColours = {{"bordercolor", "#000000"}, {"bgcolor", "#FFFFFF"}};

FieldValues With(FieldValues values, const FieldValues& more) {
    values.insert(more.begin(), more.end());
    return values;
}

TEST(FormBuilders, TextAndPasswordFieldsWithAndWithoutTheStyle) {
    // The width is the field's CSS width in pixels, behind the style's colours.
    const FieldValues email = {{"name", "email"}, {"width", "30"}, {"maxlength", "60"}};
    EXPECT_EQ(BuildComponentBody("Input_Text", With(email, kColours)),
              "<input name=\"email\" size=\"30\" maxlength=\"60\" type=\"text\" value=\"\"" +
                  kStyle.substr(0, kStyle.size() - 1) + "; WIDTH: 30px\">");
    EXPECT_EQ(
        BuildComponentBody("Input_Text", With(With(email, kColours), {{"defaultstyle", "1"}})),
        "<input name=\"email\" size=\"30\" maxlength=\"60\" type=\"text\" value=\"\" "
        "style=\"WIDTH: 30px\">");
    // A width or maximum length of 0 or less is not set: maxlength="0" would
    // take no typing.
    EXPECT_EQ(BuildComponentBody("Input_Pass", {{"value", "se\"cr\xC3\xA9t"}, {"width", "-2"}}),
              "<input name=\"\" type=\"password\" "
              "value=\"se&quot;cr&#233;t\" style=\"BORDER-RIGHT: 1px solid; BORDER-TOP: 1px "
              "solid; MARGIN: 1px; BORDER-LEFT: 1px solid; COLOR: ; BORDER-BOTTOM: 1px solid; "
              "FONT-FAMILY: Verdana, arial,helvetica,sans-serif; BACKGROUND-COLOR: \">");
    EXPECT_EQ(BuildComponentBody("Input_Text", {{"name", "q"}, {"defaultstyle", "1"}}),
              "<input name=\"q\" type=\"text\" value=\"\">");
    EXPECT_EQ(BuildComponentBody("Input_Text",
                                 {{"name", "q"}, {"maxlength", "8"}, {"defaultstyle", "1"}}),
              "<input name=\"q\" maxlength=\"8\" type=\"text\" value=\"\">");
}

TEST(FormBuilders, TextAreaListsAndButtons) {
    EXPECT_EQ(
        BuildComponentBody("TextArea", With(kColours, {{"name", "comments"}, {"width", "40"}})),
        "<textarea name=\"comments\" cols=\"40\" rows=\"5\"" + kStyle + "></textarea>");
    // A width of 0 leaves the browser's own number of columns.
    EXPECT_EQ(BuildComponentBody("TextArea", {{"name", "c"}, {"defaultstyle", "1"}}),
              "<textarea name=\"c\" rows=\"5\"></textarea>");
    EXPECT_EQ(BuildComponentBody("Drop_List",
                                 {{"name", "size"}, {"options", "S\nM\nL"}, {"defaultstyle", "1"}}),
              "<select name=\"size\"><option selected>&lt;-- Select --&gt;<option>S<option>M"
              "<option>L</select>");
    EXPECT_EQ(BuildComponentBody("ListBox", {{"name", "x"}, {"defaultstyle", "1"}}),
              "<select name=\"x\" size=\"6\"></select>");
    // Options are element content as typed, one per line, empty lines skipped.
    EXPECT_EQ(BuildComponentBody("ListBox", With(kColours, {{"name", "t"},
                                                            {"options", "\r\nA & <b>B</b>\r\n\n"
                                                                        "Caf\xC3\xA9\n"}})),
              "<select name=\"t\" size=\"6\"" + kStyle +
                  "><option>A & <b>B</b><option>Caf&#233;</select>");
    EXPECT_EQ(BuildComponentBody("Button", kColours),
              "<input type=\"submit\" value=\"\"" + kStyle + ">");
    EXPECT_EQ(BuildComponentBody("Reset", {{"defaultstyle", "1"}}),
              "<input type=\"reset\" value=\"Reset\">");
    EXPECT_EQ(BuildComponentBody("Button", {{"value", "Send"}, {"defaultstyle", "1"}}),
              "<input type=\"submit\" value=\"Send\">");
    EXPECT_EQ(BuildComponentBody("Image_Button", {{"src", "C:\\pics\\go.gif"}}),
              "<input name=\"\" type=\"image\" src=\"C:\\pics\\go.gif\" border=\"0\">");
    EXPECT_EQ(BuildComponentBody("Image_Button", {}),
              "<input name=\"\" type=\"image\" src=\"\" border=\"0\">");
}

TEST(FormBuilders, BadValuesAreRefusedNamingTheField) {
    auto error_of = [](std::string_view kind, const FieldValues& values) -> std::string {
        try {
            BuildComponentBody(kind, values);
        } catch (const CommandError& error) {
            return error.what();
        }
        return "(no error)";
    };
    EXPECT_EQ(error_of("Input_Text", {{"name", "a\nb"}}), "Name (name) must be a single line");
    EXPECT_EQ(error_of("Drop_List", {{"options", "one\n<!---x"}}),
              "List (options) may not contain \"<!---\" or \"---!>\"");
    EXPECT_EQ(error_of("Reset", {{"bgcolor", "#FFF\r"}}),
              "Back Ground Color (bgcolor) must be a single line");
    EXPECT_EQ(error_of("TextArea", {{"width", "wide"}}),
              "Width (width): 'wide' is not a valid integer value");
    EXPECT_EQ(error_of("Button", {{"defaultstyle", "yes"}}),
              "Use default Windows Style (defaultstyle) must be 0 or 1");
    EXPECT_EQ(error_of("Image_Button", {{"name", "x"}}), "'name' is not a field of Image_Button");
}

std::string FormBlock(const std::string& action) {
    return "<!---Begin_Form---!><form method=\"POST\" action=\"" + action + "\"><!---End_Form---!>";
}

TEST(AddForm, OpensBeforeTheDeclarationsAndClosesBeforeTheBody) {
    std::string page = "<html><body><!---End_Body---!><!---declare_begin---!><!---Table1---!>"
                       "<!---////---!><!---declare_end---!></body></html>";
    EXPECT_EQ(AddForm(page, "feedback.php"), 1);
    EXPECT_EQ(page, "<html><body><!---End_Body---!>" + FormBlock("feedback.php") +
                        "<!---declare_begin---!><!---Table1---!><!---Form1---!><!---////---!>"
                        "<!---declare_end---!></body></form></html>");
    // Prepared again: a further declaration, opening block and "</form>".
    EXPECT_EQ(AddForm(page, "http://"), 2);
    EXPECT_EQ(page, "<html><body><!---End_Body---!>" + FormBlock("feedback.php") +
                        FormBlock("http://") +
                        "<!---declare_begin---!><!---Table1---!><!---Form1---!><!---Form2---!>"
                        "<!---////---!><!---declare_end---!></body></form></form></html>");
    // The structural check accepts the numberless blocks.
    std::string checked = test::PageWith("<!---Table1---!>", test::TableArea(1));
    AddForm(checked, "a.php");
    AddForm(checked, "b.php");
    EXPECT_EQ(CheckPage(checked), std::vector<std::string>{});

    std::string empty_action = test::PageWith("");
    AddForm(empty_action, "");
    EXPECT_NE(empty_action.find(FormBlock("") + "<!---declare_begin---!>"), std::string::npos);
    std::string quoted = test::PageWith("");
    AddForm(quoted, "a\"b\xC3\xA9.php");
    EXPECT_NE(quoted.find(FormBlock("a&quot;b&#233;.php")), std::string::npos);
}

TEST(AddForm, RefusalsLeaveThePageAlone) {
    for (const auto& [page, action] : std::vector<std::pair<std::string, std::string>>{
             {test::PageWith(""), "a\nb"},
             {test::PageWith(""), "x<!---y"},
             {"<html><body><!---////---!></body></html>", "s.php"},
             {"<html><body><!---declare_begin---!></body></html>", "s.php"},
             {"<html><body><!---declare_begin---!><!---////---!></body>", "s.php"},
         }) {
        std::string changed = page;
        EXPECT_THROW(AddForm(changed, action), CommandError) << page;
        EXPECT_EQ(changed, page);
    }
}

TEST(PrepareForm, WritesThePageAndListsNothing) {
    QTemporaryDir dir;
    Workspace workspace;
    workspace.page_name = "index.html";
    workspace.page_path = dir.filePath("index.html").toStdString();
    workspace.page_text = test::PageWith("<!---Table1---!>", test::TableArea(1));
    WritePageFile(workspace.page_path, workspace.page_text);
    EXPECT_EQ(PrepareForm(workspace, "mail.php"), "Form1");
    EXPECT_EQ(ReadPageFile(workspace.page_path), workspace.page_text);
    // Closed behind the areas, which stand after "</body>".
    EXPECT_NE(workspace.page_text.find("<!---End_Table1---!></form></html>"), std::string::npos);
    EXPECT_TRUE(workspace.component_list.entries.empty());

    workspace.page_name.clear();
    const std::string before = workspace.page_text;
    EXPECT_THROW(PrepareForm(workspace, "mail.php"), CommandError);
    EXPECT_EQ(workspace.page_text, before);
}

} // namespace
} // namespace qf
