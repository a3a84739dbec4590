#include "components/component_fields.h"
#include "components/form.h"
#include "components/insertion.h"
#include "components/php_script.h"
#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include <functional>

namespace qf {
namespace {

std::string Block(const std::string& name, const std::string& body) {
    return "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>";
}

// The block of a field kind built from its values, as the dialogs insert it.
std::string Field(const std::string& kind, int number, const FieldValues& values) {
    return Block(kind + std::to_string(number), BuildComponentBody(kind, values));
}

std::vector<std::string> Names(std::string_view page) {
    std::vector<std::string> names;
    for (const FormField& field : ScanFormFields(page)) {
        names.push_back(field.name);
    }
    return names;
}

using Strings = std::vector<std::string>;

TEST(ScanFormFields, PassesRunInKindOrderAndPageOrderWithinEach) {
    const std::string styled = "1"; // default style ticked or not makes no difference
    const std::string content =
        Field("ListBox", 1, {{"name", "lb"}, {"options", "a\nb"}}) +
        Field("Drop_List", 1, {{"name", "dl"}, {"defaultstyle", styled}}) +
        Field("TextArea", 1, {{"name", "ta"}}) + Field("Image_Button", 1, {{"src", "go.gif"}}) +
        Field("Input_Pass", 1, {{"name", "pw"}}) + Field("Button", 1, {{"value", "Send"}}) +
        Field("Input_Text", 1, {{"name", "tx"}, {"value", "type \"here\""}}) +
        Field("Reset", 1, {}) + Field("Drop_List", 2, {{"name", "dl2"}}) +
        Field("ListBox", 2, {{"name", "lb2"}, {"defaultstyle", "1"}});
    const std::string page = test::PageWith("", test::TableArea(1, content));
    EXPECT_EQ(Names(page), (Strings{"pw", "tx", "ta", "dl", "dl2", "lb", "lb2"}));
    const std::vector<FormField> fields = ScanFormFields(page);
    EXPECT_EQ(fields[0].component, "Password Feild1");
    EXPECT_EQ(fields[2].component, "Form TextArea1");
    EXPECT_EQ(fields[6].component, "ListBox2");

    // Drop-down lists before list boxes whichever stands first.
    const std::string drop_first =
        Field("Drop_List", 1, {{"name", "d"}}) + Field("ListBox", 1, {{"name", "l"}});
    const std::string box_first =
        Field("ListBox", 1, {{"name", "l"}}) + Field("Drop_List", 1, {{"name", "d"}});
    EXPECT_EQ(Names(test::PageWith("", test::TableArea(1, drop_first))), (Strings{"d", "l"}));
    EXPECT_EQ(Names(test::PageWith("", test::TableArea(1, box_first))), (Strings{"d", "l"}));
}

TEST(ScanFormFields, ButtonsAndBrokenOrForeignMarkupGiveNothing) {
    // The imaged submit button's body also begins with "<input name=\"" but
    // neither yields a name nor swallows the text field after it.
    EXPECT_EQ(Names(Field("Image_Button", 1, {}) + Field("Input_Text", 1, {{"name", "a"}})),
              (Strings{"a"}));
    // A start text without its end marker, or outside any block, is no field.
    EXPECT_EQ(Names("<!---Begin_Input_Text1---!><input name=\"lost\">" +
                    Field("Input_Text", 2, {{"name", "kept"}}) + "<input name=\"raw\">" +
                    "<!---Begin_TextArea1---!><textarea name=\"open"),
              (Strings{"kept"}));
    EXPECT_EQ(Names("<!---Begin_Input_Text1---!><input name=\"x\"><!---End_Input_Text2---!>"),
              Strings{});
    // The end marker must follow the start; the name must end inside the block.
    EXPECT_EQ(Names("<!---End_ListBox1---!><!---Begin_ListBox1---!><select name=\"s\">"),
              Strings{});
    EXPECT_EQ(Names(Block("Drop_List1", "<select name=\"no quote") + "\""), Strings{});
    // A block of another kind does not count, whatever its body.
    EXPECT_EQ(Names(Block("Text1", "<input name=\"t\">") + Block("Table1", "<select name=\"u\">")),
              Strings{});
    // An empty name is a name.
    EXPECT_EQ(Names(Field("TextArea", 1, {})), Strings{""});
    EXPECT_EQ(Names(""), Strings{});
    EXPECT_EQ(Names("<!---Begin_"), Strings{});
    EXPECT_EQ(Names("<!---Begin_Input_Text1---!>"), Strings{});
}

TEST(ScanFormFields, EachPassRemovesWhatItTookBeforeTheNextLooks) {
    // A text area written by hand inside a text field's block goes with it.
    const std::string nested = "<!---Begin_Input_Text1---!><input name=\"outer\">" +
                               Field("TextArea", 1, {{"name", "inner"}}) +
                               "<!---End_Input_Text1---!>" + Field("TextArea", 2, {{"name", "t"}});
    EXPECT_EQ(Names(nested), (Strings{"outer", "t"}));
    // So does a list box inside a drop-down list's block.
    const std::string in_list = "<!---Begin_Drop_List1---!><select name=\"d\">" +
                                Field("ListBox", 1, {{"name", "gone"}}) +
                                "</select><!---End_Drop_List1---!>";
    EXPECT_EQ(Names(in_list), (Strings{"d"}));
    // Overlapping blocks of one pass: the later one starts inside the taken one.
    EXPECT_EQ(Names("<!---Begin_Input_Text1---!><input name=\"a\"><!---Begin_Input_Pass1---!>"
                    "<input name=\"b\"><!---End_Input_Text1---!><!---End_Input_Pass1---!>"),
              (Strings{"a"}));
}

TEST(ScanFormFields, TakesEveryFieldOfALargePageAndAlwaysEnds) {
    std::string content;
    for (int i = 1; i <= 120; ++i) {
        content += Field("Input_Text", i % 999, {{"name", "f" + std::to_string(i)}});
    }
    const std::vector<FormField> fields = ScanFormFields(content);
    ASSERT_EQ(fields.size(), 120u);
    EXPECT_EQ(fields.back().name, "f120");
    // Many starts without end markers, and end markers without starts.
    std::string hostile;
    for (int i = 0; i < 20000; ++i) {
        hostile += "<!---Begin_Input_Text7---!><input name=\"x<!---End_ListBox3---!>";
    }
    EXPECT_EQ(Names(hostile), Strings{});
}

// The lines of a script, without their CR LF ends (every line must have one).
Strings Lines(const std::string& script) {
    Strings lines;
    std::size_t start = 0;
    while (start < script.size()) {
        const std::size_t end = script.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "the last line has no CR LF";
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(script.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

const std::string kHeaders = "\",\"From:Your Website's PHP script\\r\\nReply-to:NONE\"))";

TEST(PhpScriptText, TheWorkedExampleAndAnEmptyForm) {
    const std::string page =
        test::PageWith("", test::TableArea(1, Field("Input_Text", 1, {{"name", "name"}}) +
                                                  Field("TextArea", 1, {{"name", "comments"}})));
    const Strings lines =
        Lines(PhpScriptText(ScanFormFields(page), "me@example.org", "thanks.html", "http://"));
    EXPECT_EQ(
        lines,
        (Strings{"", "<?php", "", "$name = $_POST['name'];", "$comments = $_POST['comments'];", "",
                 "if(mail('me@example.org','Form Feedback',\"name: $name / "
                 "comments: $comments / " +
                     kHeaders,
                 "", "echo \"<meta http-equiv='refresh' content='1; url=thanks.html'>\";", "",
                 "else", "", "echo \"<meta http-equiv='refresh' content='1; url=http://'>\";", "",
                 "?>"}));

    const Strings empty = Lines(PhpScriptText({}, "a@b.org", "ok.html", "no.html"));
    ASSERT_EQ(empty.size(), 13u);
    EXPECT_EQ(Strings(empty.begin(), empty.begin() + 5),
              (Strings{"", "<?php", "", "", "if(mail('a@b.org','Form Feedback',\"" + kHeaders}));
    EXPECT_EQ(PhpMessageText({"a", "b_2"}), "a: $a / b_2: $b_2 / ");
    EXPECT_EQ(PhpMessageText({}), "");
}

std::string ErrorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const CommandError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(PhpScriptText, RefusesNamesRecipientsAndTargetsThatWouldBreakOrAbuseIt) {
    const auto name_error = [](const std::string& name) {
        return ErrorOf([&] { PhpScriptText({{name, "Text Feild3"}}, "a@b.org", "ok", "no"); });
    };
    EXPECT_EQ(name_error("first name"),
              "The field name \"first name\" of Text Feild3 cannot be read by the script: a name "
              "must consist of letters, digits and underscores and must not begin with a digit");
    for (const std::string bad : {"", "1st", "a-b", "caf&#233;", "a&quot;b", "x[]", "$x", "a'b"}) {
        EXPECT_NE(name_error(bad).find("cannot be read by the script"), std::string::npos) << bad;
    }
    EXPECT_EQ(name_error("_POST"), "The field name \"_POST\" of Text Feild3 is one of PHP's own "
                                   "variables; give the field another name");
    EXPECT_NE(name_error("this").find("PHP's own"), std::string::npos);
    EXPECT_EQ(name_error("_x1"), "(no error)");
    EXPECT_EQ(name_error("This"), "(no error)");

    const auto recipient_error = [](const std::string& recipient) {
        return ErrorOf([&] { PhpScriptText({}, recipient, "ok", "no"); });
    };
    EXPECT_EQ(recipient_error(""), "Give the recipient's email address");
    EXPECT_EQ(recipient_error("a@b.org\r\nBcc: c@d.org"),
              "The recipient's email address must be a single line");
    EXPECT_EQ(recipient_error("a@b.org\n"), "The recipient's email address must be a single line");
    EXPECT_EQ(recipient_error("a@b.org, c@d.org"), "Give one recipient's email address only");
    EXPECT_EQ(recipient_error("a@b.org;c@d.org"), "Give one recipient's email address only");
    EXPECT_EQ(recipient_error("a@b.org c@d.org"), "Give one recipient's email address only");
    EXPECT_EQ(recipient_error("Webmaster <web@b.org>"), "(no error)");

    const auto target_error = [](const std::string& success, const std::string& failure) {
        return ErrorOf([&] { PhpScriptText({}, "a@b.org", success, failure); });
    };
    EXPECT_EQ(target_error("", "no.html"),
              "Choose the success page (an empty one would run the script again)");
    EXPECT_EQ(target_error("ok.html", ""),
              "Choose the failure page (an empty one would run the script again)");
    EXPECT_EQ(target_error("ok.html\n", "no.html"), "The success page must be a single line");
}

TEST(PhpScriptText, QuotesBackslashesAndTheEndOfScriptStayText) {
    const std::string script =
        PhpScriptText({}, "o'b\\r?>n@x.org", "a'b\"c\\d?>$e{$f}.html", "\xC3\xA9t&<x>.html");
    EXPECT_NE(script.find("if(mail('o\\'b\\\\r?'.'>n@x.org','Form Feedback'"), std::string::npos)
        << script;
    EXPECT_NE(script.find("url=a&#39;b&quot;c\\\\d?&gt;\\$e{\\$f}.html'>\";"), std::string::npos)
        << script;
    EXPECT_NE(script.find("url=&#233;t&amp;&lt;x&gt;.html'>\";"), std::string::npos) << script;
    // "?>" appears once: the script's own end.
    EXPECT_EQ(script.find("?>"), script.rfind("?>"));
}

// Runs a program; its exit code, or -1 when it could not run.
struct ProgramRun {
    int status = -1;
    std::string out;
};

ProgramRun
RunProgram(const QString& program, const QStringList& args, const std::string& input = {},
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForStarted(10000)) {
        return {};
    }
    process.write(input.data(), qint64(input.size()));
    process.closeWriteChannel();
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            (process.readAllStandardOutput() + process.readAllStandardError()).toStdString()};
}

class PhpScriptFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString() + "/";
    }
    std::string Bytes(const std::string& path) const {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
    }
    // php -l accepts the script.
    void ExpectValidPhp(const std::string& path) const {
        const ProgramRun lint = RunProgram("php", {"-l", QString::fromStdString(path)});
        ASSERT_NE(lint.status, -1) << "php (the php-cli package) is needed for this test";
        EXPECT_EQ(lint.status, 0) << lint.out << Bytes(path);
        EXPECT_NE(lint.out.find("No syntax errors detected"), std::string::npos) << lint.out;
    }
    // Writes a page holding every field kind into a form posting to
    // "feedback.php", as the dialogs would.
    void WriteFormPage(const std::string& name) {
        Workspace workspace;
        workspace.project_folder = folder_;
        workspace.page_name = name;
        workspace.page_path = folder_ + name;
        workspace.page_text = test::PageWith("<!---Table1---!><!---Table2---!>",
                                             test::TableArea(1) + test::CellArea(2));
        WritePageFile(workspace.page_path, workspace.page_text);
        workspace.area_list.text = "Area1";
        InsertComponent(workspace, "Input_Text", {{"name", "name"}, {"width", "30"}});
        InsertComponent(workspace, "Input_Pass", {{"name", "secret"}});
        InsertComponent(workspace, "Image_Button", {{"src", "go.gif"}});
        workspace.area_list.text = "Area2";
        InsertComponent(workspace, "ListBox", {{"name", "colours"}, {"options", "Red\nBlue"}});
        InsertComponent(workspace, "TextArea", {{"name", "comments"}, {"width", "40"}});
        InsertComponent(workspace, "Drop_List", {{"name", "size"}, {"options", "S\nM\nL"}});
        InsertComponent(workspace, "Button", {{"value", "Send"}});
        InsertComponent(workspace, "Reset", {});
        PrepareForm(workspace, "feedback.php");
    }
    QTemporaryDir dir_;
    std::string folder_;
};

const auto kNeverReplace = [](const std::string&) { return false; };

TEST_F(PhpScriptFile, EveryGeneratedScriptPassesPhpLint) {
    WriteFormPage("form.html");
    struct Case {
        std::string recipient, success, failure;
    };
    const Case cases[] = {
        {"me@example.org", "thanks.html", "http://"},
        {"o'brien\\x?>@example.org", "a'b\"c\\d?>$e{$f}`g`.html", "\xC3\xA9t&<x>.html"},
        {"Webmaster <w@x.org>", "http://example.org/?a=1&b=2", "sorry.html#top"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "s" + std::to_string(++n);
        const std::string path = CreatePhpScript(
            folder_, {name, "form.html", c.recipient, c.success, c.failure}, kNeverReplace);
        ASSERT_EQ(path, folder_ + name + ".php");
        ExpectValidPhp(path);
    }
    // A page without fields gives a script that runs too.
    WritePageFile(folder_ + "empty.html", test::PageWith(""));
    ExpectValidPhp(
        CreatePhpScript(folder_, {"empty", "empty.html", "a@b.org", "ok", "no"}, kNeverReplace));
}

TEST_F(PhpScriptFile, ReplacingAsksFirstAndRefusalsWriteNothing) {
    WriteFormPage("form.html");
    const PhpScriptSettings settings{"feedback", "form.html", "me@x.org", "ok.html", "no.html"};
    const std::string path = folder_ + "feedback.php";
    std::vector<std::string> asked;
    const auto answer = [&](bool yes) {
        return [&asked, yes](const std::string& file) {
            asked.push_back(ReplaceScriptQuestion(file));
            return yes;
        };
    };
    EXPECT_EQ(CreatePhpScript(folder_, settings, answer(false)), path);
    EXPECT_TRUE(asked.empty());
    const std::string first = Bytes(path);

    PhpScriptSettings changed = settings;
    changed.recipient = "other@x.org";
    EXPECT_EQ(CreatePhpScript(folder_, changed, answer(false)), "");
    EXPECT_EQ(asked, Strings{"Replace the existing script feedback.php?"});
    EXPECT_EQ(Bytes(path), first);
    EXPECT_EQ(CreatePhpScript(folder_, changed, answer(true)), path);
    EXPECT_NE(Bytes(path).find("other@x.org"), std::string::npos);
    ExpectValidPhp(path);

    // Bad settings are refused before anything is asked or written.
    asked.clear();
    const auto refused = [&](PhpScriptSettings bad) {
        return ErrorOf([&] { CreatePhpScript(folder_, bad, answer(true)); });
    };
    PhpScriptSettings bad = settings;
    bad.recipient = "a@b.org\nBcc: c@d.org";
    EXPECT_EQ(refused(bad), "The recipient's email address must be a single line");
    bad = settings;
    bad.form_page = "missing.html";
    EXPECT_NE(refused(bad).find("missing.html"), std::string::npos);
    bad.form_page = "";
    EXPECT_EQ(refused(bad), "Choose the page of your form");
    for (const std::string name : {"", ".hidden", "a/b", "a\\b", "a\nb"}) {
        bad = settings;
        bad.name = name;
        EXPECT_NE(refused(bad), "(no error)") << name;
    }
    EXPECT_TRUE(asked.empty());
    EXPECT_NE(Bytes(path).find("other@x.org"), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { CreatePhpScript("", settings, answer(true)); }),
              "Open or Create a new project first");

    // A field name the script cannot use names the field.
    Workspace workspace;
    workspace.page_name = "bad.html";
    workspace.page_path = folder_ + "bad.html";
    workspace.page_text = test::PageWith("<!---Table1---!>", test::TableArea(1));
    WritePageFile(workspace.page_path, workspace.page_text);
    workspace.area_list.text = "Area1";
    InsertComponent(workspace, "Input_Text", {{"name", "e mail"}});
    bad = settings;
    bad.form_page = "bad.html";
    EXPECT_EQ(refused(bad).substr(0, 45), "The field name \"e mail\" of Text Feild1 cannot");
}

// The whole road: a form page with every field kind, its script, and a
// visitor's post through php-cgi, whose mail goes to a stand-in sendmail.
TEST_F(PhpScriptFile, APostedFormIsMailedAndTheVisitorSentOn) {
    WriteFormPage("form.html");
    const std::string path = CreatePhpScript(
        folder_, {"feedback", "form.html", "o'brien@example.org", "thanks.html", "sorry.html"},
        kNeverReplace);
    ASSERT_FALSE(path.empty());

    const QString mail = dir_.filePath("mail.txt");
    const QString sendmail = dir_.filePath("sendmail.sh");
    QFile script(sendmail);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ncat > '" + mail.toUtf8() + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(dir_.path()).mkdir("ini");
    QFile ini(dir_.filePath("ini/mail.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("sendmail_path=" + sendmail.toUtf8() + "\n");
    ini.close();

    QUrlQuery query;
    const std::vector<std::pair<QString, QString>> posted = {
        {"name", QString::fromUtf8("J\xC3\xB6rg \"Joe\" O'Neil")},
        {"secret", "$HOME {$x} ?> \\n"},
        {"comments", "line one\r\nBcc: evil@example.org"},
        {"size", "M"},
        {"colours", "Blue"},
    };
    for (const auto& [key, value] : posted) {
        query.addQueryItem(key, QString(QUrl::toPercentEncoding(value)));
    }
    const std::string body = query.query(QUrl::FullyEncoded).toStdString();
    QProcessEnvironment environment;
    environment.insert("PATH", qEnvironmentVariable("PATH"));
    environment.insert("PHP_INI_SCAN_DIR", dir_.filePath("ini"));
    environment.insert("REDIRECT_STATUS", "200");
    environment.insert("GATEWAY_INTERFACE", "CGI/1.1");
    environment.insert("REQUEST_METHOD", "POST");
    environment.insert("SCRIPT_FILENAME", QString::fromStdString(path));
    environment.insert("CONTENT_TYPE", "application/x-www-form-urlencoded");
    environment.insert("CONTENT_LENGTH", QString::number(body.size()));
    const ProgramRun run = RunProgram("php-cgi", {}, body, environment);
    ASSERT_NE(run.status, -1) << "php-cgi (the php-cgi package) is needed for this test";
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("<meta http-equiv='refresh' content='1; url=thanks.html'>"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("Warning"), std::string::npos) << run.out;

    const std::string sent = Bytes(mail.toStdString());
    EXPECT_NE(sent.find("To: o'brien@example.org\r\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find("Subject: Form Feedback\r\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find("name: J\xC3\xB6rg \"Joe\" O'Neil / secret: $HOME {$x} ?> \\n / "
                        "comments: line one\r\nBcc: evil@example.org / size: M / colours: Blue / "),
              std::string::npos)
        << sent;
    // The posted values stand in the body, after the headers, only.
    const std::size_t headers_end = sent.find("\r\n\r\n");
    ASSERT_NE(headers_end, std::string::npos);
    EXPECT_GT(sent.find("name: J"), headers_end);
    EXPECT_EQ(sent.substr(0, headers_end).find("evil"), std::string::npos) << sent;
}

} // namespace
} // namespace qf
