#include "components/component_fields.h"
#include "components/form.h"
#include "components/insertion.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
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
    // The width is characters (size), never a width in pixels as well, which
    // would make a field of 30 characters 30 pixels wide.
    const FieldValues email = {{"name", "email"}, {"width", "30"}, {"maxlength", "60"}};
    EXPECT_EQ(BuildComponentBody("Input_Text", With(email, kColours)),
              "<input name=\"email\" size=\"30\" maxlength=\"60\" type=\"text\" value=\"\"" +
                  kStyle + ">");
    EXPECT_EQ(
        BuildComponentBody("Input_Text", With(With(email, kColours), {{"defaultstyle", "1"}})),
        "<input name=\"email\" size=\"30\" maxlength=\"60\" type=\"text\" value=\"\">");
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

// A labelled field is a block of its own, its label before it, so a form's
// fields stand one under the other.
TEST(FormBuilders, ALabelIsTiedToItsFieldByAnIdFromTheName) {
    const FieldValues plain = {{"name", "email"}, {"defaultstyle", "1"}};
    EXPECT_EQ(BuildComponentBody("Input_Text", With(plain, {{"label", "Your e\xC3\xA9mail"}})),
              "<div><label for=\"field-email\">Your e&#233;mail</label> <input name=\"email\" "
              "id=\"field-email\" type=\"text\" value=\"\"></div>");
    EXPECT_EQ(BuildComponentBody("TextArea", With(plain, {{"label", "Notes"}})),
              "<div><label for=\"field-email\">Notes</label> <textarea name=\"email\" "
              "id=\"field-email\" rows=\"5\"></textarea></div>");
    EXPECT_EQ(BuildComponentBody("ListBox", With(plain, {{"label", "L"}, {"options", "a"}})),
              "<div><label for=\"field-email\">L</label> <select name=\"email\" "
              "id=\"field-email\" size=\"6\"><option>a</select></div>");
    EXPECT_EQ(BuildComponentBody("Drop_List", With(plain, {{"label", "D"}})),
              "<div><label for=\"field-email\">D</label> <select name=\"email\" "
              "id=\"field-email\"><option selected>&lt;-- Select --&gt;</select></div>");
    // No label: the field as it always was, without an id.
    EXPECT_EQ(BuildComponentBody("Input_Pass", plain),
              "<input name=\"email\" type=\"password\" value=\"\">");
    EXPECT_THROW(BuildComponentBody("Input_Text", With(plain, {{"label", "a\nb"}})), CommandError);
}

TEST(FormBuilders, CheckBoxesAndRadioButtonGroups) {
    // A name that is no marker delimiter alone makes one with the "-1" of a
    // button's id: refused, as it would break the page's markers.
    EXPECT_NE(test::ErrorOf("Radio_Group", {{"name", "<!--"}, {"choices", "a\nb"}})
                  .find("would write \"<!---\""),
              std::string::npos);

    EXPECT_EQ(BuildComponentBody("CheckBox", {{"name", "news"}}),
              "<input type=\"checkbox\" name=\"news\" value=\"Yes\">");
    EXPECT_EQ(BuildComponentBody(
                  "CheckBox",
                  {{"name", "news"}, {"value", "a \"b\""}, {"checked", "1"}, {"label", "News"}}),
              "<div><input type=\"checkbox\" name=\"news\" id=\"field-news\" "
              "value=\"a &quot;b&quot;\" checked> <label for=\"field-news\">News</label></div>");
    // Each choice is labelled by its own text, and one may be chosen.
    EXPECT_EQ(
        BuildComponentBody("Radio_Group", {{"name", "by"}, {"choices", "Phone\n\nMa\"il"}}),
        "<input type=\"radio\" name=\"by\" id=\"field-by-1\" value=\"Phone\"> <label "
        "for=\"field-by-1\">Phone</label><br><input type=\"radio\" name=\"by\" "
        "id=\"field-by-2\" value=\"Ma&quot;il\"> <label for=\"field-by-2\">Ma&quot;il</label>");
    EXPECT_EQ(
        BuildComponentBody(
            "Radio_Group",
            {{"name", "by"}, {"choices", "A\r\nB"}, {"chosen", "2"}, {"label", "Reach me by"}}),
        "<fieldset style=\"border:0;margin:0;padding:0\"><legend>Reach me by</legend>"
        "<input type=\"radio\" name=\"by\" id=\"field-by-1\" value=\"A\"> <label "
        "for=\"field-by-1\">A</label><br><input type=\"radio\" name=\"by\" "
        "id=\"field-by-2\" value=\"B\" checked> <label for=\"field-by-2\">B</label>"
        "</fieldset>");
    const auto error_of = [](const FieldValues& values) {
        try {
            return BuildComponentBody("Radio_Group", values);
        } catch (const CommandError& error) {
            return std::string(error.what());
        }
    };
    EXPECT_EQ(error_of({{"name", "x"}, {"choices", "\n\n"}}),
              "Choices (choices): give the choices, one a line");
    EXPECT_EQ(error_of({{"name", "x"}, {"choices", "a\nb"}, {"chosen", "3"}}),
              "Chosen (chosen): there is no choice 3 among the 2");
    EXPECT_EQ(error_of({{"name", "x"}, {"choices", "a"}, {"chosen", "-1"}}),
              "Chosen (chosen) must be between 0 and 20");
    std::string many;
    for (int i = 0; i < 21; ++i) {
        many += "c" + std::to_string(i) + "\n";
    }
    EXPECT_EQ(error_of({{"name", "x"}, {"choices", many}}),
              "Choices (choices): a group holds at most 20 choices");
}

// A workspace with index.html open: one area, written to `dir`.
Workspace OpenPageWithOneArea(const QTemporaryDir& dir) {
    Workspace workspace;
    workspace.page_name = "index.html";
    workspace.page_path = dir.filePath("index.html").toStdString();
    workspace.page_text = test::PageWith("<!---Table1---!>", test::TableArea(1));
    WritePageFile(workspace.page_path, workspace.page_text);
    return workspace;
}

TEST(FormBuilders, AFieldIdTheInsertionFindsOnThePageIsRefused) {
    QTemporaryDir dir;
    Workspace workspace = OpenPageWithOneArea(dir);
    workspace.area_list.text = "Area1";
    InsertComponent(workspace, "Radio_Group", {{"name", "by"}, {"choices", "a\nb"}});
    InsertComponent(workspace, "Input_Text", {{"name", "by"}}); // no label, no id
    const std::string before = workspace.page_text;
    try {
        InsertComponent(workspace, "Input_Text", {{"name", "by-2"}, {"label", "B"}});
        ADD_FAILURE() << "a second field-by-2 was inserted";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Another field of this page has the id \"field-by-2\" already, which its label "
                  "is known by: give this field another name");
    }
    EXPECT_EQ(workspace.page_text, before);
    EXPECT_EQ(ReadPageFile(workspace.page_path), before);
    InsertComponent(workspace, "CheckBox", {{"name", "by-3"}, {"label", "C"}});
}

// The robot trap every new form holds: off the screen, out of the tab order.
const std::string kTrap = "<div style=\"position:absolute;left:-10000px;width:1px;height:1px;"
                          "overflow:hidden\" aria-hidden=\"true\"><input type=\"text\" "
                          "name=\"contact_website\" value=\"\" tabindex=\"-1\" "
                          "autocomplete=\"off\"></div>";

std::string FormBlock(const std::string& action) {
    return "<!---Begin_Form---!><form method=\"POST\" action=\"" + action + "\">" + kTrap +
           "<!---End_Form---!>";
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
    Workspace workspace = OpenPageWithOneArea(dir);
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

TEST(PrepareForm, PreparingAgainChangesTheTargetAndNeverNestsASecondForm) {
    QTemporaryDir dir;
    Workspace workspace = OpenPageWithOneArea(dir);
    // The editor's own hint: prepare the form first, with no script yet.
    EXPECT_EQ(PrepareForm(workspace, ""), "Form1");
    std::string expected = workspace.page_text;
    expected.replace(expected.find("action=\"\""), 9, "action=\"contact.php\"");
    EXPECT_EQ(PrepareForm(workspace, "contact.php"), "Form1");
    EXPECT_EQ(workspace.page_text, expected);
    EXPECT_EQ(ReadPageFile(workspace.page_path), expected);
    EXPECT_EQ(CountOccurrences(workspace.page_text, "<form"), 1u);
    EXPECT_EQ(CountOccurrences(workspace.page_text, "</form>"), 1u);
    EXPECT_EQ(DeclarationNames(workspace.page_text), (std::vector<std::string>{"Table1", "Form1"}));
    // Refused actions leave the page alone.
    EXPECT_THROW(PrepareForm(workspace, "a\nb.php"), CommandError);
    EXPECT_EQ(workspace.page_text, expected);

    // A page where forms were nested before is mended to one form, the
    // first, posting to the script chosen now.
    std::string nested = test::PageWith("<!---Table1---!>", test::TableArea(1));
    AddForm(nested, "");
    AddForm(nested, "old.php");
    AddForm(nested, "older.php");
    std::string one = test::PageWith("<!---Table1---!>", test::TableArea(1));
    AddForm(one, "new.php");
    EXPECT_EQ(RetargetForm(nested, "new.php"), "Form1");
    EXPECT_EQ(nested, one);
    std::string none = test::PageWith("<!---Table1---!>", test::TableArea(1));
    const std::string unchanged = none;
    EXPECT_EQ(RetargetForm(none, "new.php"), "");
    EXPECT_EQ(none, unchanged);
}

} // namespace
} // namespace qf
