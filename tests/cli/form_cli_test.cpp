#include "cli_runner.h"
#include "components/form.h"
#include "components/insertion.h"
#include "components/php_script.h"
#include "document/page_file.h"
#include "test_pages.h"
#include "workspace/workspace.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::RunCli;

// The form fields, the form and the feedback script from the command line
// give the bytes the dialogs give through the same core calls.
class FormCli : public ::testing::Test {
protected:
    void SetUp() override {
        WritePageFile(Path(dir_), Start());
        WritePageFile(Path(other_), Start());
        workspace_.page_name = "index.html";
        workspace_.page_path = Path(other_);
        workspace_.page_text = Start();
    }
    static std::string Start() {
        return test::PageWith("<!---Table1---!><!---Table2---!>",
                              test::TableArea(1) + test::CellArea(2));
    }
    static std::string Path(const QTemporaryDir& dir) {
        return dir.filePath("index.html").toStdString();
    }
    static std::string Bytes(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
    }
    QString Page() const { return QString::fromStdString(Path(dir_)); }
    QTemporaryDir dir_;   // changed by the command line
    QTemporaryDir other_; // changed by the core calls
    Workspace workspace_;
};

TEST_F(FormCli, FieldsAndTheFormGiveTheDialogsBytes) {
    struct Insert {
        const char* area;
        const char* kind;
        FieldValues values;
    };
    const Insert inserts[] = {
        {"Area1",
         "Input_Text",
         {{"name", "email"},
          {"width", "30"},
          {"maxlength", "60"},
          {"bordercolor", "#000000"},
          {"bgcolor", "#FFFFFF"}}},
        {"Area1", "Input_Pass", {{"name", "pw"}, {"value", "Caf\xC3\xA9 \"x\""}}},
        {"Area2", "TextArea", {{"name", "comments"}, {"width", "40"}, {"defaultstyle", "1"}}},
        {"Area2", "Drop_List", {{"name", "size"}, {"options", "S\n\nM\r\nL"}}},
        {"Area2", "ListBox", {{"name", "x"}, {"defaultstyle", "1"}}},
        {"Area1", "Button", {{"value", "Send"}}},
        {"Area1", "Image_Button", {{"src", "C:\\pics\\go.gif"}}},
        {"Area1", "Reset", {}},
    };
    for (const Insert& insert : inserts) {
        workspace_.area_list.text = insert.area;
        const std::string entry = InsertComponent(workspace_, insert.kind, insert.values);
        QStringList args = {"insert", Page(), insert.area, insert.kind};
        for (const auto& [name, value] : insert.values) {
            args << QString::fromStdString(name + "=" + value);
        }
        const auto result = RunCli(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, entry + "\n");
    }
    EXPECT_EQ(Bytes(Path(dir_)), Bytes(Path(other_)));
    EXPECT_NE(workspace_.page_text.find("<!---Begin_Drop_List1---!><select name=\"size\" style="),
              std::string::npos);

    PrepareForm(workspace_, "feedback.php");
    PrepareForm(workspace_, "");
    auto result = RunCli({"form", Page(), "target=feedback.php"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Form1\n");
    // A second time the one form gets the new target.
    result = RunCli({"form", Page()});
    EXPECT_EQ(result.out, "Form1\n");
    EXPECT_EQ(Bytes(Path(dir_)), Bytes(Path(other_)));

    const std::string before = Bytes(Path(dir_));
    EXPECT_EQ(RunCli({"form"}).status, 2);
    EXPECT_EQ(RunCli({"form", Page(), "action=x.php"}).status, 2);
    result = RunCli({"form", Page(), "target=a\nb"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Target Script must be a single line\n");
    EXPECT_EQ(Bytes(Path(dir_)), before);

    result = RunCli({"kinds"});
    EXPECT_NE(result.out.find("Drop_List (Drop List)\n  name=               Name [text]\n"
                              "  label=              Label [text, markup allowed]\n"
                              "  options=            List [lines, one item each"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Reset (Reset Button)\n  value=Reset"), std::string::npos);
}

TEST_F(FormCli, PhpWritesTheScriptAndReplacesOnlyWhenTold) {
    workspace_.area_list.text = "Area1";
    InsertComponent(workspace_, "Input_Text", {{"name", "name"}});
    InsertComponent(workspace_, "TextArea", {{"name", "comments"}});
    PrepareForm(workspace_, "feedback.php");
    const QString project = other_.path();
    const std::string script = other_.filePath("feedback.php").toStdString();
    const QStringList settings = {"form-page=index.html", "recipient=me@example.org",
                                  "success=thanks.html", "failure=http://"};
    auto result = RunCli(QStringList{"php", project, "feedback"} + settings);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, script + "\n");
    EXPECT_EQ(Bytes(script), PhpScriptText({{"name", ""}, {"comments", ""}}, "me@example.org",
                                           "thanks.html", "http://", "index.html"));
    // The project folder may be given relative to the shell's folder.
    result = RunCli(QStringList{"php", ".", "again"} + settings, {}, project);
    EXPECT_EQ(result.out, other_.filePath("again.php").toStdString() + "\n");

    const std::string first = Bytes(script);
    const QStringList other = {"form-page=index.html", "recipient=you@example.org",
                               "success=thanks.html", "failure=sorry.html"};
    result = RunCli(QStringList{"php", project, "feedback"} + other);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "The script feedback.php already exists; give replace=yes to replace it\n");
    EXPECT_EQ(Bytes(script), first);
    result = RunCli(QStringList{"php", project, "feedback", "replace=yes"} + other);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(Bytes(script).find("you@example.org"), std::string::npos);

    EXPECT_EQ(RunCli({"php", project}).status, 2);
    EXPECT_EQ(RunCli({"php", project, "x", "form-page=index.html"}).status, 2);
    EXPECT_EQ(RunCli(QStringList{"php", project, "x", "replace=maybe"} + settings).status, 2);
    EXPECT_EQ(RunCli(QStringList{"php", project, "x", "subject=Hi"} + settings).status, 2);
    result = RunCli(QStringList{"php", project + "/nowhere", "x"} + settings);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("is not a folder"), std::string::npos);
    result = RunCli({"php", project, "x", "form-page=index.html", "recipient=a@b.org, c@d.org",
                     "success=ok.html", "failure=no.html"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Give one recipient's email address only\n");
    EXPECT_FALSE(QFile::exists(other_.filePath("x.php")));
}

} // namespace
} // namespace qf
