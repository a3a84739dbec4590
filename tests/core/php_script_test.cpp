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

TEST(ScanFormFields, LabelledFieldsThenCheckBoxesThenRadioButtonGroups) {
    const std::string content =
        Field("Radio_Group", 1, {{"name", "r"}, {"choices", "a\nb"}, {"label", "R"}}) +
        Field("CheckBox", 1, {{"name", "c"}, {"label", "C"}}) +
        Field("Input_Text", 1, {{"name", "t"}, {"label", "T"}}) +
        Field("Radio_Group", 2, {{"name", "r2"}, {"choices", "x"}}) +
        Field("ListBox", 1, {{"name", "l"}, {"label", "L"}}) +
        Field("CheckBox", 2, {{"name", "c2"}});
    EXPECT_EQ(Names(content), (Strings{"t", "l", "c", "c2", "r", "r2"}));
    EXPECT_EQ(ScanFormFields(content)[5].component, "Radio Group2");
    // A label without the field after it in the block is no field.
    EXPECT_EQ(Names(Block("Input_Text1", "<label for=\"field-x\">X</label> <b>")), Strings{});
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

TEST(PhpScriptText, MailsEveryFieldInScanOrderAndReadsNothingElse) {
    const std::string page = test::PageWith(
        "", test::TableArea(1, Field("TextArea", 1, {{"name", "comments"}}) +
                                   Field("Input_Text", 1, {{"name", "name"}}) +
                                   Field("Input_Text", 2, {{"name", "Your_EMail"}})));
    const std::string script =
        PhpScriptText(ScanFormFields(page), "me@example.org", "thanks.html", "http://", "c.html");
    const Strings lines = Lines(script);
    Strings mailed;
    for (const std::string& line : lines) {
        if (line.rfind("$message .= ", 0) == 0) {
            mailed.push_back(line);
        }
    }
    EXPECT_EQ(mailed, (Strings{"$message .= mail_line('name', posted_field('name'));",
                               "$message .= mail_line('Your_EMail', posted_field('Your_EMail'));",
                               "$message .= mail_line('comments', posted_field('comments'));"}));
    // Values reach the mail's body only; no field is read from $_POST
    // directly, where a missing one would warn.
    EXPECT_EQ(script.find("$_POST['"), std::string::npos);
    EXPECT_NE(script.find("$reply = trim(posted_field('Your_EMail'));"), std::string::npos);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "if(mail('me@example.org','Form Feedback',quoted_printable_encode($message)"
                        ",$headers))"),
              lines.end());
    EXPECT_EQ(ReplyFieldName({"name", "mailing_list", "email"}), "mailing_list");
    EXPECT_EQ(ReplyFieldName({"name", "phone"}), "");
    // Without an address field there is no Reply-To at all.
    EXPECT_EQ(PhpScriptText({{"name", "Text Feild1"}}, "a@b.org", "ok", "no").find("Reply-To"),
              std::string::npos);
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
    EXPECT_EQ(name_error("contact_website"),
              "The field name \"contact_website\" of Text Feild3 is the one the form keeps hidden "
              "to catch robots; give the field another name");
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
        InsertComponent(workspace, "Input_Text", {{"name", "email"}});
        InsertComponent(workspace, "Input_Pass", {{"name", "secret"}});
        InsertComponent(workspace, "Image_Button", {{"src", "go.gif"}});
        workspace.area_list.text = "Area2";
        InsertComponent(workspace, "ListBox", {{"name", "colours"}, {"options", "Red\nBlue"}});
        InsertComponent(workspace, "TextArea", {{"name", "comments"}, {"width", "40"}});
        InsertComponent(workspace, "Drop_List", {{"name", "size"}, {"options", "S\nM\nL"}});
        InsertComponent(workspace, "Button", {{"value", "Send"}});
        InsertComponent(workspace, "Reset", {});
        InsertComponent(workspace, "Radio_Group",
                        {{"name", "by"}, {"choices", "Phone\nMail"}, {"label", "By"}});
        InsertComponent(workspace, "CheckBox", {{"name", "news"}, {"label", "News"}});
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
    // A name typed with its ending is the same script, never feedback.php.php.
    for (const char* typed : {"feedback.php", "feedback.PHP"}) {
        PhpScriptSettings ending = changed;
        ending.name = typed;
        const std::string made = CreatePhpScript(folder_, ending, answer(true));
        EXPECT_EQ(made, folder_ + typed) << typed;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder_ + "feedback.php.php")));

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

// A mail as Python's email package reads it, strictly (a defect fails):
// its headers, one a line "NAME: VALUE", an empty line, then its decoded
// body; or "UNREADABLE: reason".
constexpr const char* kMailReader = R"(import sys, email
from email import policy
try:
    message = email.message_from_bytes(open(sys.argv[1], 'rb').read(), policy=policy.strict)
    lines = [name + ': ' + str(value) for name, value in message.items()]
    sys.stdout.write('\n'.join(lines) + '\n\n' + message.get_content())
except Exception as error:
    sys.stdout.write('UNREADABLE: %r' % error)
)";

struct ReadMail {
    Strings headers; // "Name: value"
    std::string body;
};

// What php-cgi answered to one request, and the mail it sent, if any.
struct CgiRun {
    ProgramRun run;
    bool mailed = false;
    ReadMail mail;
    std::string log; // the PHP error log: every warning, shown or not
};

// The whole road: a form page with every field kind, its script, and a
// visitor's request through php-cgi, whose mail goes to a stand-in sendmail.
class PostedForm : public PhpScriptFile {
protected:
    void SetUp() override {
        PhpScriptFile::SetUp();
        WriteFormPage("form.html");
        script_ = CreatePhpScript(
            folder_, {"feedback", "form.html", "o'brien@example.org", "thanks.html", "sorry.html"},
            kNeverReplace);
        ASSERT_FALSE(script_.empty());
        mail_ = dir_.filePath("mail.txt");
        log_ = dir_.filePath("php.log");
        const QString sendmail = dir_.filePath("sendmail.sh");
        QFile fake(sendmail);
        ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\ncat > '" + mail_.toUtf8() + "'\n");
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(dir_.path()).mkdir("ini");
        QFile ini(dir_.filePath("ini/mail.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        // Errors shown and logged as on a careless server: the script itself
        // must keep them from the visitor, and must cause none.
        ini.write("sendmail_path=" + sendmail.toUtf8() + "\ndisplay_errors=1\nerror_reporting=" +
                  "E_ALL\nlog_errors=1\nerror_log=" + log_.toUtf8() + "\n");
        ini.close();
    }

    CgiRun Request(const std::string& method, const std::string& body,
                   const std::string& content_type = "application/x-www-form-urlencoded") {
        QFile::remove(mail_);
        QFile::remove(log_);
        QProcessEnvironment environment;
        environment.insert("PATH", qEnvironmentVariable("PATH"));
        environment.insert("PHP_INI_SCAN_DIR", dir_.filePath("ini"));
        environment.insert("REDIRECT_STATUS", "200");
        environment.insert("GATEWAY_INTERFACE", "CGI/1.1");
        environment.insert("REQUEST_METHOD", QString::fromStdString(method));
        environment.insert("SCRIPT_FILENAME", QString::fromStdString(script_));
        if (method == "POST") {
            environment.insert("CONTENT_TYPE", QString::fromStdString(content_type));
            environment.insert("CONTENT_LENGTH", QString::number(body.size()));
        }
        CgiRun result;
        result.run = RunProgram("php-cgi", {}, body, environment);
        EXPECT_NE(result.run.status, -1) << "php-cgi (the php-cgi package) is needed";
        EXPECT_EQ(result.run.status, 0) << result.run.out;
        result.log = QFile::exists(log_) ? Bytes(log_.toStdString()) : "";
        result.mailed = QFile::exists(mail_);
        if (result.mailed) {
            const ProgramRun read = RunProgram("python3", {"-c", kMailReader, mail_});
            EXPECT_EQ(read.status, 0) << "python3 is needed for this test";
            EXPECT_EQ(read.out.rfind("UNREADABLE", 0), std::string::npos)
                << read.out << Bytes(mail_.toStdString());
            const std::size_t split = read.out.find("\n\n");
            std::string_view head(read.out);
            head = head.substr(0, split);
            while (!head.empty()) {
                const std::size_t end = head.find('\n');
                result.mail.headers.emplace_back(head.substr(0, end));
                head = end == std::string_view::npos ? "" : head.substr(end + 1);
            }
            result.mail.body = split == std::string::npos ? "" : read.out.substr(split + 2);
            // Without the line break the mail program ends the text with.
            while (!result.mail.body.empty() &&
                   (result.mail.body.back() == '\n' || result.mail.body.back() == '\r')) {
                result.mail.body.pop_back();
            }
        }
        return result;
    }

    static std::string Form(const std::vector<std::pair<QString, QString>>& fields) {
        QUrlQuery query;
        for (const auto& [key, value] : fields) {
            query.addQueryItem(QString(QUrl::toPercentEncoding(key)),
                               QString(QUrl::toPercentEncoding(value)));
        }
        return query.query(QUrl::FullyEncoded).toStdString();
    }

    std::string script_;
    QString mail_;
    QString log_;
};

const std::string kSuccess = "<meta http-equiv='refresh' content='1; url=thanks.html'>";
const std::string kFailure = "<meta http-equiv='refresh' content='1; url=sorry.html'>";

TEST_F(PostedForm, AMailOfOneLineAFieldWhateverTheVisitorTypes) {
    const std::string injected = "\r\nBcc: evil@example.org\r\nSubject: bought";
    std::vector<std::pair<QString, QString>> posted;
    for (const char* field :
         {"name", "email", "secret", "comments", "size", "colours", "news", "by"}) {
        posted.emplace_back(field, QString(field) + "-value" + QString::fromStdString(injected));
    }
    posted[0].second = QString::fromUtf8("J\xC3\xB6rg \"Joe\" O'Neil $HOME {$x} ?> \\n\x01");
    posted.emplace_back("contact_website", "");
    const CgiRun sent = Request("POST", Form(posted));
    EXPECT_NE(sent.run.out.find(kSuccess), std::string::npos) << sent.run.out;
    EXPECT_EQ(sent.log, "");
    EXPECT_EQ(sent.run.out.find("Warning"), std::string::npos) << sent.run.out;
    ASSERT_TRUE(sent.mailed);
    // Exactly these headers: nothing a visitor typed became one, and the
    // address that is no single address gives no Reply-To.
    EXPECT_EQ(
        sent.mail.headers,
        (Strings{"To: o'brien@example.org", "Subject: Form Feedback", "MIME-Version: 1.0",
                 "Content-Type: text/plain; charset=\"UTF-8\"",
                 "Content-Transfer-Encoding: quoted-printable", "From: o'brien@example.org"}));
    // One "name: value" line a field in the script's order; a value's own
    // line breaks stay in it, indented, so no line of it reads as a field.
    const auto body_of = [&](const char* field) {
        return std::string(field) + ": " + field +
               "-value\r\n  Bcc: evil@example.org\r\n  Subject: bought";
    };
    std::string expected = "name: J\xC3\xB6rg \"Joe\" O'Neil $HOME {$x} ?> \\n";
    for (const char* field : {"email", "secret", "comments", "size", "colours", "news", "by"}) {
        expected += "\r\n" + body_of(field);
    }
    EXPECT_EQ(sent.mail.body, expected);

    // A valid address of the visitor is the one to answer.
    posted[1].second = "visitor@example.net";
    const CgiRun answered = Request("POST", Form(posted));
    ASSERT_TRUE(answered.mailed);
    EXPECT_EQ(answered.mail.headers.back(), "Reply-To: visitor@example.net");
    EXPECT_NE(answered.mail.body.find("\r\nemail: visitor@example.net\r\n"), std::string::npos);
}

TEST_F(PostedForm, FieldsNotSentOrSentOddlyAreEmptyWithoutAWarning) {
    // No list box chosen, nothing typed, one field posted as an array.
    const CgiRun sent = Request("POST", "name%5B%5D=x&contact_website=");
    EXPECT_NE(sent.run.out.find(kSuccess), std::string::npos) << sent.run.out;
    EXPECT_EQ(sent.log, "");
    EXPECT_EQ(sent.run.out.find("Warning"), std::string::npos) << sent.run.out;
    EXPECT_EQ(sent.run.out.find("Notice"), std::string::npos) << sent.run.out;
    // Every field empty: a robot's submission, shown success and never mailed.
    EXPECT_FALSE(sent.mailed);
    const CgiRun empty = Request("POST", "name=&email=+&comments=&contact_website=");
    EXPECT_FALSE(empty.mailed);
    EXPECT_NE(empty.run.out.find(kSuccess), std::string::npos) << empty.run.out;
    // One field filled is a message, the others empty in it.
    const CgiRun one = Request("POST", "comments=Hello");
    ASSERT_TRUE(one.mailed);
    EXPECT_EQ(one.mail.body, "name: \r\nemail: \r\nsecret: \r\ncomments: Hello\r\nsize: \r\n"
                             "colours: \r\nnews: \r\nby: ");
    // Invalid UTF-8 is not passed on as UTF-8.
    const CgiRun bytes = Request("POST", "name=%C3%28ok");
    ASSERT_TRUE(bytes.mailed);
    EXPECT_NE(bytes.mail.body.find("name: ?(ok\r\n"), std::string::npos) << bytes.mail.body;
}

TEST_F(PostedForm, OnlyAPostOfPeopleOfFittingSizeIsMailed) {
    // A plain visit goes to the form and sends nothing.
    EXPECT_FALSE(Request("HEAD", "").mailed);
    for (const char* method : {"GET", "PUT"}) {
        const CgiRun visit = Request(method, "");
        EXPECT_FALSE(visit.mailed) << method;
        EXPECT_NE(visit.run.out.find("<meta http-equiv='refresh' content='0; url=form.html'>"),
                  std::string::npos)
            << method << visit.run.out;
        EXPECT_EQ(visit.log, "") << method;
    }
    // A filled trap: a robot. It is shown success, and nothing is sent.
    const CgiRun robot = Request("POST", Form({{"name", "Spam"}, {"contact_website", "x.com"}}));
    EXPECT_FALSE(robot.mailed);
    EXPECT_NE(robot.run.out.find(kSuccess), std::string::npos) << robot.run.out;
    // More than 64 KB of fields in all is refused; exactly 64 KB is not.
    const std::string at_most = "name=" + std::string(64 * 1024 - 4, 'a');
    EXPECT_TRUE(Request("POST", at_most).mailed);
    const CgiRun large = Request("POST", at_most + "&x=y");
    EXPECT_FALSE(large.mailed);
    EXPECT_NE(large.run.out.find(kFailure), std::string::npos) << large.run.out;
    const std::string many = std::string(20000, 'k') + "=&" + std::string(50000, 'v') + "=";
    EXPECT_FALSE(Request("POST", many).mailed);
    // A body PHP did not take (not form data) is no empty mail.
    EXPECT_FALSE(Request("POST", "{\"name\":\"x\"}", "application/json").mailed);
}

} // namespace
} // namespace qf
