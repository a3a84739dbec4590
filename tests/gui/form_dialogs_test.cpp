// The form, its field dialogs and the feedback script dialog, filled through
// their control names, and the Forms and PHP tabs of the main window.

#include "app/main_window.h"
#include "app/palette_table.h"
#include "components/form.h"
#include "components/form_dialog.h"
#include "components/form_field_dialogs.h"
#include "components/insertion.h"
#include "components/php_script.h"
#include "components/php_script_dialog.h"
#include "dialog_driving.h"
#include "document/page_file.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "services/preview.h"
#include "test_pages.h"
#include "widgets/picture_field.h"
#include "workspace/app_folder.h"
#include "workspace/page_commands.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace qf;
using test::Click;
using test::Find;
using test::OnModal;
using test::Shoot;
using test::Type;

namespace {

std::string Block(const std::string& name, const std::string& body) {
    return "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>";
}

const std::string kStyle = " style=\"BORDER-RIGHT: 1px solid; BORDER-TOP: 1px solid; MARGIN: 1px; "
                           "BORDER-LEFT: 1px solid; COLOR: #000000; BORDER-BOTTOM: 1px solid; "
                           "FONT-FAMILY: Verdana, arial,helvetica,sans-serif; BACKGROUND-COLOR: "
                           "#FFFFFF\"";

// Fills in the script's name, the form page index.html and the recipient.
void FillScript(QWidget* dialog, const QString& name, const QString& recipient) {
    Type(dialog, "Edit1", name);
    Find<QComboBox>(dialog, "ComboBox1")->setEditText("index.html");
    Type(dialog, "Edit2", recipient);
}

void Touch(const std::string& path) {
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::WriteOnly);
}

} // namespace

class FormDialogsTest : public test::GuiTest {
    Q_OBJECT

private:
    Workspace workspace_;

    std::string PageOnDisk() const { return ReadPageFile(workspace_.page_path); }
    bool PageHolds(const std::string& text) const {
        return PageOnDisk().find(text) != std::string::npos;
    }
    void Confirm(QDialog& dialog) {
        Click(&dialog, "ToolButton3");
        QVERIFY2(dialog.result() == QDialog::Accepted, qPrintable(prompts_->asked.join(" | ")));
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() {
        StartTest();
        workspace_ = test::TwoAreaWorkspace(dir_->path());
    }

    void cleanup() { EndTest(); }

    void TextFieldWithItsStyle() {
        TFormg3 dialog(workspace_);
        QCOMPARE(dialog.objectName(), QString("TFormg3"));
        QCOMPARE(dialog.windowTitle(), QString("Insert a Text Field"));
        QCOMPARE(Find<QLabel>(&dialog, "HeadingPanel")->text(),
                 QString("Insert an Input Text Field:"));
        QCOMPARE(Find<QPushButton>(&dialog, "ToolButton3")->text(), QString("OK   "));
        QCOMPARE(Find<QPushButton>(&dialog, "ToolButton1")->text(), QString("Cancel   "));
        QCOMPARE(Find<QGroupBox>(&dialog, "GroupBox1")->title(), QString("Style"));
        QCOMPARE(Find<QToolButton>(&dialog, "ToolButton2")->text(), QString("[...] "));
        Shoot(&dialog, "form_text_field");
        Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(30);
        Find<QSpinBox>(&dialog, "SpinEdit2")->setValue(60);
        Type(&dialog, "Edit4", "email");
        // The colour buttons take "#" and the colour; a cancel keeps the text.
        prompts_->Queue(QColor(Qt::black));
        Click(&dialog, "ToolButton2");
        prompts_->Queue(QColor(Qt::white));
        Click(&dialog, "ToolButton4");
        Click(&dialog, "ToolButton4");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("#FFFFFF"));
        Confirm(dialog);
        QVERIFY(PageHolds(Block("Input_Text1", "<input name=\"email\" size=\"30\" maxlength=\"60\" "
                                               "type=\"text\" value=\"\"" +
                                                   kStyle + ">") +
                          "</td></table><!---End_Table1---!>"));
        QCOMPARE(workspace_.component_list.entries.back(), std::string("Text Feild1"));
    }

    void DefaultStyleDisablesTheColours() {
        TFormg4 dialog(workspace_);
        QLineEdit* const colour_edits[] = {Find<QLineEdit>(&dialog, "Edit2"),
                                           Find<QLineEdit>(&dialog, "Edit3")};
        Type(&dialog, "Edit2", "#000000");
        Click(&dialog, "CheckBox1");
        for (QLineEdit* edit : colour_edits) {
            QVERIFY(!edit->isEnabled());
        }
        QVERIFY(!Find<QToolButton>(&dialog, "ToolButton2")->isEnabled());
        QVERIFY(!Find<QToolButton>(&dialog, "ToolButton4")->isEnabled());
        Click(&dialog, "CheckBox1");
        QVERIFY(Find<QToolButton>(&dialog, "ToolButton4")->isEnabled());
        Click(&dialog, "CheckBox1");
        Type(&dialog, "Edit1", QString::fromUtf8("s\xC3\xA9same \"open\""));
        Type(&dialog, "Edit4", "pw");
        Confirm(dialog);
        QVERIFY(PageHolds(Block("Input_Pass1", "<input name=\"pw\" type=\"password\" "
                                               "value=\"s&#233;same &quot;open&quot;\">")));
    }

    void AreaListsAndButtons() {
        {
            TFormg5 dialog(workspace_);
            QCOMPARE(Find<QLabel>(&dialog, "HeadingPanel")->text(),
                     QString("Insert a Text Area Field:"));
            QVERIFY(dialog.findChild<QSpinBox*>("SpinEdit2") == nullptr);
            Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(40);
            Type(&dialog, "Edit4", "comments");
            Click(&dialog, "CheckBox1");
            Confirm(dialog);
        }
        {
            TFormg6 dialog(workspace_);
            Shoot(&dialog, "form_drop_down");
            Type(&dialog, "Edit4", "size");
            Find<QPlainTextEdit>(&dialog, "Memo1")->setPlainText("S\n\nM\nL\n");
            Click(&dialog, "CheckBox1");
            Confirm(dialog);
        }
        {
            TFormg7 dialog(workspace_);
            Type(&dialog, "Edit4", "x");
            Click(&dialog, "CheckBox1");
            Confirm(dialog);
        }
        {
            TFormg8 dialog(workspace_);
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit4")->text(), QString());
            Type(&dialog, "Edit4", "Send");
            Click(&dialog, "CheckBox1");
            Confirm(dialog);
        }
        {
            TFormg10 dialog(workspace_);
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit4")->text(), QString("Reset"));
            Click(&dialog, "CheckBox1");
            Confirm(dialog);
        }
        const std::string content =
            Block("TextArea1", "<textarea name=\"comments\" cols=\"40\" rows=\"5\"></textarea>") +
            Block("Drop_List1", "<select name=\"size\"><option selected>&lt;-- Select --&gt;"
                                "<option>S<option>M<option>L</select>") +
            Block("ListBox1", "<select name=\"x\" size=\"6\"></select>") +
            Block("Button1", "<input type=\"submit\" value=\"Send\">") +
            Block("Reset1", "<input type=\"reset\" value=\"Reset\">");
        QVERIFY2(PageHolds(content + "</td></table>"), PageOnDisk().c_str());
        QCOMPARE(workspace_.component_list.entries,
                 (std::vector<std::string>{"Form TextArea1", "Drop List1", "ListBox1",
                                           "Form Button1", "Reset Button1"}));
    }

    void LabelsCheckBoxesAndRadioButtonGroups() {
        {
            TFormg6 dialog(workspace_);
            Type(&dialog, "Edit4", "size");
            Type(&dialog, "Edit5",
                 QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                                   "e"));
            Find<QPlainTextEdit>(&dialog, "Memo1")->setPlainText("S\nM");
            Click(&dialog, "CheckBox1");
            Confirm(dialog);
        }
        {
            TFormg11 dialog(workspace_);
            QCOMPARE(dialog.windowTitle(), QString("Insert Check Box"));
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("Yes"));
            Type(&dialog, "Edit4", "news");
            Type(&dialog, "Edit5", "Send me news");
            Click(&dialog, "CheckBox2");
            Shoot(&dialog, "form_check_box");
            Confirm(dialog);
        }
        {
            TFormg12 dialog(workspace_);
            QCOMPARE(dialog.windowTitle(), QString("Insert Radio Button Group"));
            auto* chosen = Find<QComboBox>(&dialog, "ComboBox1");
            QCOMPARE(Find<QPlainTextEdit>(&dialog, "Memo1")->toPlainText(), QString("Yes\nNo"));
            QCOMPARE(chosen->count(), 3); // "(none)" and the two
            QCOMPARE(chosen->currentIndex(), 0);
            Type(&dialog, "Edit4", "by");
            Find<QPlainTextEdit>(&dialog, "Memo1")->setPlainText("Phone\n\nMail");
            QCOMPARE(chosen->count(), 3);
            chosen->setCurrentIndex(2);
            // Editing the choices keeps the chosen place while it exists.
            Find<QPlainTextEdit>(&dialog, "Memo1")->setPlainText("Phone\nMail\nPost");
            QCOMPARE(chosen->currentText(), QString("Mail"));
            Shoot(&dialog, "form_radio_group");
            Confirm(dialog);
        }
        QVERIFY2(PageHolds(Block("Drop_List1", "<div><label for=\"field-size\">Gr&#246;&#223;e"
                                               "</label> <select name=\"size\" id=\"field-size\">"
                                               "<option selected>&lt;-- Select --&gt;<option>S"
                                               "<option>M</select></div>") +
                           Block("CheckBox1", "<div><input type=\"checkbox\" name=\"news\" "
                                              "id=\"field-news\" value=\"Yes\" checked> <label "
                                              "for=\"field-news\">Send me news</label></div>")),
                 PageOnDisk().c_str());
        QVERIFY2(PageHolds("value=\"Mail\" checked> <label for=\"field-by-2\">Mail</label><br>"),
                 PageOnDisk().c_str());
        QCOMPARE(workspace_.component_list.entries,
                 (std::vector<std::string>{"Drop List1", "Check Box1", "Radio Group1"}));
        // A second field of the same name and a label is refused, the
        // dialog staying open.
        TFormg3 dialog(workspace_);
        Type(&dialog, "Edit4", "news");
        Type(&dialog, "Edit5", "Again");
        Click(&dialog, "ToolButton3");
        QVERIFY(dialog.result() != QDialog::Accepted);
        QVERIFY(prompts_->asked.join(" ").contains("field-news"));
    }

    void ImagedSubmitButton() {
        workspace_.area_list.text = "Area2";
        TFormg9 dialog(workspace_);
        QCOMPARE(dialog.windowTitle(), QString("Insert an Imaged Submit Button"));
        QVERIFY(dialog.findChild<QGroupBox*>("GroupBox1") == nullptr);
        QVERIFY(!Find<QRadioButton>(&dialog, "RadioButton1")->isChecked());
        QVERIFY(!Find<QRadioButton>(&dialog, "RadioButton2")->isChecked());
        QVERIFY(!Find<QToolButton>(&dialog, "ToolButton2")->isHidden());
        QCOMPARE(Find<QToolButton>(&dialog, "ToolButton2")->text(), QString("[...] "));
        Shoot(&dialog, "form_image_button");
        Click(&dialog, "RadioButton2");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit4")->text(), QString("http://"));
        QVERIFY(Find<QToolButton>(&dialog, "ToolButton2")->isHidden());
        Click(&dialog, "RadioButton1");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit4")->text(), QString());
        // The picture travels with the site, named relative to the page.
        QDir(dir_->path()).mkpath("pics");
        QImage picture(QSize(60, 20), QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(dir_->filePath("pics/go button.png"), "PNG"));
        prompts_->Queue(dir_->filePath("pics/go button.png"));
        Click(&dialog, "ToolButton2");
        QCOMPARE(prompts_->last_filter, kTiffPictureFilter);
        Click(&dialog, "ToolButton2"); // cancelled: the location stays
        QVERIFY(QFile::exists(dir_->filePath("site/images/go button.png")));
        Confirm(dialog);
        QVERIFY(PageHolds(Block("Image_Button1", "<input name=\"\" type=\"image\" "
                                                 "src=\"images/go%20button.png\" border=\"0\">") +
                          "</td><!---End_Table2---!>"));
    }

    void RefusalsKeepTheDialogOpen() {
        const std::string before = PageOnDisk();
        TFormg6 dialog(workspace_);
        dialog.show();
        Type(&dialog, "Edit4", "a");
        Find<QPlainTextEdit>(&dialog, "Memo1")->setPlainText("one\ntwo<!---");
        Click(&dialog, "ToolButton3");
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompts_->asked,
                 QStringList{"error: List (options) may not contain \"<!---\" or \"---!>\""});
        QCOMPARE(PageOnDisk(), before);
        Click(&dialog, "ToolButton1");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(PageOnDisk(), before);
    }

    void PrepareYourForm() {
        for (const char* name : {"b.php", "A.php", "page.html"}) {
            Touch(workspace_.project_folder + name);
        }
        {
            TFormg1 dialog(workspace_);
            QCOMPARE(dialog.windowTitle(), QString("Prepare your Form"));
            QCOMPARE(Find<QLabel>(&dialog, "HeadingPanel")->text(),
                     QString("Prepare your form below:"));
            auto* scripts = Find<QComboBox>(&dialog, "ComboBox1");
            QCOMPARE(scripts->count(), 2);
            QCOMPARE(scripts->itemText(0), QString("A.php"));
            QCOMPARE(scripts->currentText(), QString());
            QVERIFY(Find<QLineEdit>(&dialog, "Edit1")->isHidden());
            QVERIFY(Find<QLabel>(&dialog, "NoteLabel")->text().startsWith("Note: You can create"));
            Shoot(&dialog, "form_prepare");
            Click(&dialog, "RadioButton2");
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("http://"));
            QVERIFY(scripts->isHidden());
            Confirm(dialog);
        }
        QVERIFY(PageHolds("<!---End_Body---!><!---Begin_Form---!><form method=\"POST\" "
                          "action=\"http://\"><div style="));
        QVERIFY(PageHolds("autocomplete=\"off\"></div><!---End_Form---!><!---declare_begin---!>"));
        QVERIFY(PageHolds("<!---Form1---!><!---////---!><!---declare_end---!></body>"));
        QVERIFY(PageHolds("<!---End_Table2---!></form></html>"));
        {
            TFormg1 dialog(workspace_);
            Click(&dialog, "RadioButton1");
            Find<QComboBox>(&dialog, "ComboBox1")->setCurrentIndex(1);
            Confirm(dialog);
        }
        {
            TFormg1 dialog(workspace_); // neither chosen: no action
            Find<QComboBox>(&dialog, "ComboBox1")->setEditText("b.php");
            Confirm(dialog);
        }
        // Preparing again changes the one form's target: no form is nested.
        QVERIFY(PageHolds("<!---End_Body---!><!---Begin_Form---!><form method=\"POST\" "
                          "action=\"\"><div style="));
        QVERIFY(!PageHolds("action=\"b.php\""));
        QVERIFY(PageHolds("<!---Form1---!><!---////---!><!---declare_end---!></body>"));
        QVERIFY(PageHolds("<!---End_Table2---!></form></html>"));
        QVERIFY(workspace_.component_list.entries.empty());
    }

    void CreateAPhpScript() {
        workspace_.area_list.text = "Area1";
        {
            TFormg3 field(workspace_);
            Type(&field, "Edit4", "name");
            Confirm(field);
        }
        for (const char* name : {"thanks.html", "Sorry.html"}) {
            Touch(workspace_.project_folder + name);
        }
        const std::string script = workspace_.project_folder + "feedback.php";
        TFormja dialog(workspace_);
        QCOMPARE(dialog.windowTitle(), QString("Create a PHP script"));
        QCOMPARE(Find<QLabel>(&dialog, "HeadingPanel")->text(), QString("Create a PHP script:"));
        QCOMPARE(Find<QPushButton>(&dialog, "ToolButton3")->text(), QString(" OK  "));
        QCOMPARE(Find<QPushButton>(&dialog, "ToolButton1")->text(), QString("Cancel  "));
        auto* pages = Find<QComboBox>(&dialog, "ComboBox1");
        QCOMPARE(pages->toolTip(), QString("The page which hosts your form"));
        QCOMPARE(pages->count(), 3);
        QCOMPARE(pages->itemText(0), QString("index.html"));
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit2")->toolTip(),
                 QString("The Information entered in the form will be emailed to the specified "
                         "address"));
        QCOMPARE(Find<QRadioButton>(&dialog, "RadioButton4")->toolTip(),
                 QString("Page to be displayed if the submission is unsuccessful"));
        QVERIFY(Find<QLineEdit>(&dialog, "Edit3")->isHidden());
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("http://"));
        Shoot(&dialog, "php_script");

        FillScript(&dialog, "feedback", "me@example.org");
        // Success: a project page; the list counts only after "Project Page".
        Find<QComboBox>(&dialog, "ComboBox2")->setEditText("thanks.html");
        Click(&dialog, "ToolButton3");
        QVERIFY(dialog.result() == QDialog::Accepted);
        QCOMPARE(prompts_->asked, QStringList{"inform: PHP Script created in Project Directory"});
        QVERIFY(ReadPageFile(script).find("url=http://'>\";") != std::string::npos);
        QVERIFY(ReadPageFile(script).find("url=thanks.html") == std::string::npos);

        // Again under the same name: asked first; No keeps the dialog and the script.
        const std::string first = ReadPageFile(script);
        prompts_->asked.clear();
        TFormja again(workspace_);
        again.show();
        FillScript(&again, "feedback", "you@example.org");
        Click(&again, "RadioButton1");
        QCOMPARE(Find<QLineEdit>(&again, "Edit3")->text(), QString());
        Find<QComboBox>(&again, "ComboBox2")->setEditText("thanks.html");
        Click(&again, "RadioButton4");
        QVERIFY(Find<QComboBox>(&again, "ComboBox3")->isHidden());
        Type(&again, "Edit4", "http://example.org/sorry");
        prompts_->Queue(Prompts::Answer::No);
        Click(&again, "ToolButton3");
        QVERIFY(again.isVisible());
        QCOMPARE(prompts_->asked, QStringList{"ask: Replace the existing script feedback.php?"});
        QCOMPARE(ReadPageFile(script), first);
        prompts_->Queue(Prompts::Answer::Yes);
        Click(&again, "ToolButton3");
        QCOMPARE(again.result(), int(QDialog::Accepted));
        const std::string replaced = ReadPageFile(script);
        QVERIFY(replaced.find("mail('you@example.org'") != std::string::npos);
        QVERIFY(replaced.find("url=thanks.html'>") != std::string::npos);
        QVERIFY(replaced.find("url=http://example.org/sorry'>") != std::string::npos);

        // A refusal is shown and the dialog stays open.
        prompts_->asked.clear();
        TFormja bad(workspace_);
        bad.show();
        FillScript(&bad, "other", "a@b.org, c@d.org");
        Click(&bad, "ToolButton3");
        QVERIFY(bad.isVisible());
        QCOMPARE(prompts_->asked, QStringList{"error: Give one recipient's email address only"});
        QVERIFY(!QFile::exists(QString::fromStdString(workspace_.project_folder + "other.php")));
        QVERIFY(QMetaObject::invokeMethod(&bad, "ToolButton1Click"));
        QCOMPARE(bad.result(), int(QDialog::Rejected));
    }

    // In the browser the prepared form holds every field of the page, so its
    // submit button posts them all.
    void ThePreparedFormHoldsEveryFieldInTheBrowser() {
        InsertComponent(workspace_, "Input_Text", {{"name", "email"}});
        InsertComponent(workspace_, "Input_Pass", {{"name", "pw"}});
        InsertComponent(workspace_, "Image_Button", {});
        workspace_.area_list.text = "Area2";
        InsertComponent(workspace_, "TextArea", {{"name", "comments"}});
        InsertComponent(workspace_, "Drop_List", {{"name", "size"}, {"options", "S\nM"}});
        InsertComponent(workspace_, "ListBox", {{"name", "colours"}, {"options", "Red"}});
        InsertComponent(workspace_, "Button", {{"value", "Send"}});
        InsertComponent(workspace_, "Reset", {});
        PrepareForm(workspace_, "feedback.php");
        // A script at the end lists what the form holds, for the test to read.
        std::string page = workspace_.page_text;
        page.insert(page.rfind("</html>"),
                    "<script>document.body.appendChild(document.createTextNode('FORM ' + "
                    "Array.from(document.querySelectorAll('input,select,textarea')).map(e => "
                    "e.form === document.forms[0] ? e.name || e.type : 'outside').join(',') + "
                    "' ' + document.forms[0].getAttribute('action')))</script>");
        WritePageFile(workspace_.page_path, page);
        Preview preview;
        preview.show();
        preview.ShowFile(QString::fromStdString(workspace_.page_path));
        QVERIFY(preview.WaitForLoaded());
        QVERIFY2(preview.VisibleText().contains(
                     "FORM contact_website,email,pw,image,comments,size,colours,submit,reset "
                     "feedback.php"),
                 qPrintable(preview.VisibleText()));
    }

    // The Forms and PHP tabs in the main window: every button works while a
    // page is open; making the PHP script leaves the page open and shown.
    void FormsAndPhpTabsOfTheMainWindow() {
        TForm1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.FormActivate();
        const QString site = QString::fromStdString(workspace_.project_folder);
        prompts_->Queue(site);
        window.OpenProjectClick();
        auto* list = window.findChild<QListWidget*>("FileListBox1");
        const QList<QListWidgetItem*> index = list->findItems("index.html", Qt::MatchExactly);
        QVERIFY(!index.isEmpty());
        prompts_->Queue(Prompts::Answer::Yes);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(index.first()).center());
        QCOMPARE(window.preview()->ShownFile(), site + "index.html");
        for (const PaletteButton& button : PaletteButtons()) {
            if (button.tab == "Forms" || button.tab == "PHP") {
                auto* tool = window.findChild<QToolButton*>("Palette" +
                                                            QString::fromUtf8(button.dialog_class));
                QVERIFY2(tool != nullptr && tool->isEnabled(), button.dialog_class.data());
            }
        }
        window.findChild<QComboBox*>("Com1")->setEditText("Area1");
        OnModal([](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("TFormg3"));
            Type(dialog, "Edit4", "email");
            Click(dialog, "ToolButton3");
        });
        window.findChild<QToolButton*>("PaletteTFormg3")->click();
        OnModal([](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("TFormg1"));
            Click(dialog, "ToolButton3");
        });
        window.findChild<QToolButton*>("PaletteTFormg1")->click();
        QVERIFY(window.preview()->WaitForLoaded());
        const std::string page = ReadPageFile((site + "index.html").toStdString());
        QVERIFY(page.find("<input name=\"email\"") != std::string::npos);
        QVERIFY(page.find("</form></html>") != std::string::npos);

        // Cancelled: nothing is shown anew.
        OnModal([](QWidget* dialog) { Click(dialog, "ToolButton1"); });
        window.findChild<QToolButton*>("PaletteTFormja")->click();
        QCOMPARE(window.preview()->ShownFile(), site + "index.html");
        QVERIFY(!QFile::exists(site + "feedback.php"));
        prompts_->asked.clear();
        OnModal([](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("TFormja"));
            FillScript(dialog, "feedback", "me@example.org");
            Click(dialog, "ToolButton3");
        });
        window.findChild<QToolButton*>("PaletteTFormja")->click();
        QCOMPARE(prompts_->asked, QStringList{"inform: PHP Script created in Project Directory"});
        QVERIFY(QFile::exists(site + "feedback.php"));
        QVERIFY(list->findItems("feedback.php", Qt::MatchExactly).size() == 1);
        // The page stays open: the next command still goes into it.
        QCOMPARE(window.preview()->ShownFile(), site + "index.html");
        QVERIFY(window.workspace().HasOpenPage());
        QCOMPARE(window.findChild<QLabel*>("lblName")->text(), QString("index.html"));
        QVERIFY(window.findChild<QToolButton*>("PaletteTForma")->isEnabled());
    }
};

QTEST_MAIN(FormDialogsTest)
#include "form_dialogs_test.moc"
