// The component dialogs, filled through their control names: OK writes the
// component into the page file, a refusal keeps the dialog open and the page
// as it was, and the shared colour and picture fields keep their text when
// their platform dialog is cancelled.

#include "app/dialog_table.h"
#include "app/main_window.h"
#include "components/horizontal_line_dialog.h"
#include "components/image_dialog.h"
#include "components/image_link_dialog.h"
#include "components/item_list_dialogs.h"
#include "components/mail_link_dialog.h"
#include "components/page_properties_dialog.h"
#include "components/rollover_dialog.h"
#include "components/small_screens.h"
#include "components/text_dialog.h"
#include "components/text_link_dialog.h"
#include "dialog_driving.h"
#include "document/page_file.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "services/preview.h"
#include "test_pages.h"
#include "widgets/picture_field.h"
#include "workspace/app_folder.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
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
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace qf;

namespace {

// Records the colour each colour dialog starts with.
class ColourPrompts : public test::ScriptedPrompts {
public:
    QList<QColor> initial_colours;
    std::optional<QColor> Colour(QWidget* parent, const QColor& initial) override {
        initial_colours << initial;
        return ScriptedPrompts::Colour(parent, initial);
    }
};

using test::Click;
using test::Find;
using test::OnModal;
using test::PaletteButton;
using test::Shoot;
using test::Type;

std::string Block(const std::string& name, const std::string& body) {
    return "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>";
}

} // namespace

class ComponentDialogsTest : public test::GuiTest {
    Q_OBJECT

private:
    ColourPrompts* Colours() { return static_cast<ColourPrompts*>(prompts_.get()); }
    Workspace workspace_;

    // The page file as it stands on disk, read back into a page text.
    std::string PageOnDisk() const { return ReadPageFile(workspace_.page_path); }

    // A real picture of `size` outside the project folder; its path.
    QString Picture(const QString& name, QSize size = QSize(40, 30)) const {
        QDir(dir_->path()).mkpath("pics");
        const QString path = dir_->filePath("pics/" + name);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(path, "PNG");
        return path;
    }

    // Runs OK and expects it to close the dialog.
    void Confirm(QDialog& dialog, const char* ok_name) {
        Click(&dialog, ok_name);
        QVERIFY2(dialog.result() == QDialog::Accepted, qPrintable(prompts_->asked.join(" | ")));
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() {
        StartTest(std::make_unique<ColourPrompts>());
        workspace_ = test::TwoAreaWorkspace(dir_->path());
    }

    void cleanup() { EndTest(); }

    void ImageWithInitialValuesIsTheModelComponent() {
        TFormb dialog(workspace_);
        QCOMPARE(dialog.windowTitle(), QString("Insert Image"));
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("http://"));
        QVERIFY(!Find<QRadioButton>(&dialog, "RadioButton1")->isChecked());
        QVERIFY(!Find<QRadioButton>(&dialog, "RadioButton2")->isChecked());
        Shoot(&dialog, "image_dialog");
        Confirm(dialog, "ToolButton2");
        const std::string page = PageOnDisk();
        QVERIFY(page.find(Block("Image1", "<img src=\"http://\" align=\"\" alt=\"\" border=\"0\" "
                                          "bordercolor=\"\">") +
                          "</td></table><!---End_Table1---!>") != std::string::npos);
        QVERIFY(page.find("<!---Image1---!><!---////---!>") != std::string::npos);
        QCOMPARE(workspace_.component_list.entries.back(), std::string("Image1"));
        QCOMPARE(workspace_.page_text, page);
    }

    void ImageFieldsReachThePageSafely() {
        workspace_.area_list.text = "Area2";
        TFormb dialog(workspace_);
        Click(&dialog, "RadioButton1"); // Local: the field is emptied, the button shown
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString());
        prompts_->Queue(Picture("a b.png"));
        Click(&dialog, "ToolButton1");
        QCOMPARE(prompts_->asked.last(), QString("open-picture: Open"));
        // The picture travels with the site, and its size fills the empty size fields.
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("images/a%20b.png"));
        QVERIFY(QFile::exists(dir_->filePath("site/images/a b.png")));
        QCOMPARE(Find<QSpinBox>(&dialog, "SpinEdit1")->value(), 40);
        QCOMPARE(Find<QSpinBox>(&dialog, "SpinEdit2")->value(), 30);
        QCOMPARE(prompts_->last_filter, kImagePictureFilter);
        QVERIFY(
            prompts_->last_filter.startsWith("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf *.gif"));
        Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(120);
        QCOMPARE(Find<QSpinBox>(&dialog, "SpinEdit2")->value(), 90); // in proportion
        Find<QSpinBox>(&dialog, "SpinEdit2")->setValue(-5);
        Type(&dialog, "Edit2", QString::fromUtf8("Caf\xC3\xA9 \"Chez Nous\""));
        Find<QComboBox>(&dialog, "ComboBox2")->setEditText("Center");
        Find<QSpinBox>(&dialog, "SpinEdit3")->setValue(2);
        prompts_->Queue(QColor(255, 128, 0));
        Click(&dialog, "ToolButton3");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("#FF8000"));
        Confirm(dialog, "ToolButton2");
        QVERIFY(PageOnDisk().find(Block("Image1",
                                        "<img src=\"images/a%20b.png\" width=\"120\" "
                                        "align=\"Center\" alt=\"Caf&#233; &quot;Chez Nous&quot;\" "
                                        "title=\"Caf&#233; &quot;Chez Nous&quot;\" "
                                        "border=\"2\" bordercolor=\"#FF8000\">") +
                                  "</td><!---End_Table2---!>") != std::string::npos);
    }

    // A picture wider than its area is offered at the area's width, and
    // width and height follow each other until that is switched off.
    void AWidePictureIsOfferedAtTheAreasWidthInProportion() {
        TFormb dialog(workspace_); // Area1 is 400 px wide
        Click(&dialog, "RadioButton1");
        prompts_->Queue(Picture("wide.png", QSize(1200, 900)));
        Click(&dialog, "ToolButton1");
        QSpinBox* width = Find<QSpinBox>(&dialog, "SpinEdit1");
        QSpinBox* height = Find<QSpinBox>(&dialog, "SpinEdit2");
        QCOMPARE(width->value(), 400);
        QCOMPARE(height->value(), 300);
        width->setValue(200);
        QCOMPARE(height->value(), 150);
        height->setValue(60);
        QCOMPARE(width->value(), 80);
        Find<QCheckBox>(&dialog, "KeepProportions")->setChecked(false);
        width->setValue(100);
        QCOMPARE(height->value(), 60);
        Shoot(&dialog, "image_dialog_sizes");
    }

    // OK reads a spin field's text as it stands: one that is not a whole
    // number counts as 0 brought into the bounds, never as the value the
    // field held before it was cleared.
    void SpinFieldsReadTheirTextAsTyped() {
        auto type_spin = [](QDialog& dialog, const char* name, const char* text) {
            QSpinBox* spin = Find<QSpinBox>(&dialog, name);
            spin->setValue(120);
            spin->findChild<QLineEdit*>()->setText(text);
        };
        {
            TFormb dialog(workspace_);
            type_spin(dialog, "SpinEdit1", "");
            type_spin(dialog, "SpinEdit2", "-");
            type_spin(dialog, "SpinEdit3", "-5");
            Confirm(dialog, "ToolButton2");
        }
        QVERIFY(PageOnDisk().find("<img src=\"http://\" align=\"\" alt=\"\" border=\"-5\"") !=
                std::string::npos);
        {
            TFormg2 dialog(workspace_);
            type_spin(dialog, "SpinEdit1", "");
            Confirm(dialog, "ToolButton2");
        }
        QVERIFY(PageOnDisk().find("<hr size=\"\" width=\"1%\"") != std::string::npos);
        {
            TFormb1 dialog(workspace_);
            type_spin(dialog, "SpinEdit1", "");
            Confirm(dialog, "ToolButton3");
        }
        QVERIFY(PageOnDisk().find("<font color=\"\"></font></div>") != std::string::npos);
        {
            TForme dialog(workspace_);
            type_spin(dialog, "SpinEdit1", "+");
            Confirm(dialog, "ToolButton3");
        }
        QVERIFY(PageOnDisk().find("<font face=\"Arial\" color=\"\"></font></a>") !=
                std::string::npos);
    }

    void RefusalsKeepTheDialogOpenAndThePageUnchanged() {
        const std::string before = workspace_.page_text;
        const std::vector<std::string> entries_before = workspace_.component_list.entries;
        struct Case {
            const char* area;
            const char* alt;
        };
        for (const Case& c : {Case{"Area", ""}, Case{"Area7", ""}, Case{"Area1", "a<!---b"},
                              Case{"Area1", "x---!>"}}) {
            prompts_->asked.clear();
            workspace_.area_list.text = c.area;
            TFormb dialog(workspace_);
            dialog.show();
            Type(&dialog, "Edit2", c.alt);
            Click(&dialog, "ToolButton2");
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.result() != QDialog::Accepted);
            QCOMPARE(prompts_->asked.size(), 1);
            QVERIFY(prompts_->asked.front().startsWith("error: "));
            QCOMPARE(PageOnDisk(), before);
            QCOMPARE(workspace_.page_text, before);
            QCOMPARE(workspace_.component_list.entries, entries_before);
        }
        QVERIFY(prompts_->asked.front().contains("Mouse Over Text"));
    }

    void CancelAndTheCloseBoxChangeNothing() {
        const std::string before = PageOnDisk();
        TFormb image(workspace_);
        Type(&image, "Edit2", "x");
        Click(&image, "ToolButton4");
        QCOMPARE(image.result(), int(QDialog::Rejected));
        TFormb1 text(workspace_);
        text.show();
        QVERIFY(text.close());
        QCOMPARE(text.result(), int(QDialog::Rejected));
        TFormc1 list(workspace_);
        Click(&list, "ToolButton2");
        QCOMPARE(list.result(), int(QDialog::Rejected));
        QCOMPARE(PageOnDisk(), before);
        QVERIFY(workspace_.component_list.entries.empty());
    }

    // The dialogs that name their Cancel handler: the button, by its caption,
    // and the handler, by its name, each close the dialog without change.
    void NamedCancelHandlersCloseWithoutChange() {
        const std::string before = PageOnDisk();
        struct Case {
            std::function<QDialog*(Workspace&)> make;
            const char* button;
            const char* caption;
            const char* handler;
        };
        const Case cases[] = {
            {[](Workspace& w) { return new TFormb(w); }, "ToolButton4", "Cancel    ",
             "ToolButton4Click"},
            {[](Workspace& w) { return new TFormc(w); }, "ToolButton4", "Cancel    ",
             "ToolButton4Click"},
            {[](Workspace& w) { return new TFormd(w); }, "ToolButton4", "Cancel     ",
             "ToolButton4Click"},
            {[](Workspace& w) { return new TForme(w); }, "ToolButton4", "Cancel     ",
             "ToolButton4Click"},
            {[](Workspace& w) { return new TFormf(w); }, "ToolButton4", "Cancel     ",
             "ToolButton4Click"},
            {[](Workspace& w) { return new TFormg2(w); }, "ToolButton3", "Cancel    ",
             "ToolButton3Click"},
            {[](Workspace& w) { return new TForma(w); }, "ToolButton4", "Cancel    ",
             "ToolButton4Click"},
        };
        for (const Case& c : cases) {
            std::unique_ptr<QDialog> dialog(c.make(workspace_));
            const QString name = dialog->objectName();
            QCOMPARE(Find<QPushButton>(dialog.get(), c.button)->text(), QString(c.caption));
            dialog->show();
            QVERIFY2(QMetaObject::invokeMethod(dialog.get(), c.handler), qPrintable(name));
            QVERIFY2(!dialog->isVisible(), qPrintable(name));
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
            dialog->setResult(-1);
            dialog->show();
            Click(dialog.get(), c.button);
            QVERIFY2(!dialog->isVisible(), qPrintable(name));
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
        }
        QCOMPARE(PageOnDisk(), before);
        QVERIFY(workspace_.component_list.entries.empty());
    }

    void PicturesTravelWithTheSiteOrSayWhyNot() {
        TFormb dialog(workspace_);
        Click(&dialog, "RadioButton1");
        // A picture inside the project stays; the size fields already set stay too.
        QDir(dir_->path()).mkpath("site/art");
        QImage(12, 9, QImage::Format_RGB32).save(dir_->filePath("site/art/sun.png"));
        Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(200);
        prompts_->Queue(dir_->filePath("site/art/sun.png"));
        Click(&dialog, "ToolButton1");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("art/sun.png"));
        QCOMPARE(Find<QSpinBox>(&dialog, "SpinEdit1")->value(), 200);
        QCOMPARE(Find<QSpinBox>(&dialog, "SpinEdit2")->value(), 9);
        QVERIFY(!QDir(dir_->filePath("site/images")).exists());

        // A copy that cannot be made is reported, and the field keeps its text.
        QFile blocker(dir_->filePath("site/images"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        prompts_->Queue(Picture("moon.png"));
        Click(&dialog, "ToolButton1");
        QCOMPARE(prompts_->asked.last(), "error: Cannot create folder \"" +
                                             dir_->filePath("site/images") +
                                             "\". A file of that name is in the way");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("art/sun.png"));

        // A typed location is written as typed.
        Type(&dialog, "Edit1", "../shared/my pic.png");
        Confirm(dialog, "ToolButton2");
        QVERIFY(PageOnDisk().find("<img src=\"../shared/my pic.png\" width=\"200\" height=\"9\"") !=
                std::string::npos);

        // Outside any project the chosen path is written as it is.
        PictureField loose("Edit1", "ToolButton1", kPictureFilter);
        loose.SetForwardSlashes(true);
        prompts_->Queue(QString("C:\\Pics\\a.gif"));
        loose.Browse();
        QCOMPARE(loose.Text(), QString("C:/Pics/a.gif"));
    }

    void CancelledPlatformDialogsLeaveFieldsAsTheyWere() {
        TFormb dialog(workspace_);
        // Colour: black at first, then the last colour chosen; a cancel keeps the text.
        Type(&dialog, "Edit3", "#123456");
        Click(&dialog, "ToolButton3");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("#123456"));
        prompts_->Queue(QColor(0, 0, 255));
        Click(&dialog, "ToolButton3");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("#0000FF"));
        Click(&dialog, "ToolButton3");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("#0000FF"));
        QCOMPARE(Colours()->initial_colours,
                 (QList<QColor>{Qt::black, Qt::black, QColor(0, 0, 255)}));
        // A new opening starts black again.
        TFormg2 line(workspace_);
        Click(&line, "ToolButton1");
        QCOMPARE(Colours()->initial_colours.back(), QColor(Qt::black));

        // Picture: a cancel keeps the chosen file; Url hides the button.
        Click(&dialog, "RadioButton1");
        prompts_->Queue(Picture("one.png"));
        Click(&dialog, "ToolButton1");
        Click(&dialog, "ToolButton1");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("images/one.png"));
        QCOMPARE(prompts_->last_folder, dir_->filePath("pics"));
        Click(&dialog, "RadioButton2");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("http://"));
        QVERIFY(Find<QToolButton>(&dialog, "ToolButton1")->isHidden());
        Click(&dialog, "RadioButton1");
        QVERIFY(!Find<QToolButton>(&dialog, "ToolButton1")->isHidden());
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString());
    }

    void ImageLinkDestinations() {
        for (const char* name : {"b.html", "A.html", "c.php", "d.htm"}) {
            QFile file(QString::fromStdString(workspace_.project_folder) + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        {
            TFormc dialog(workspace_);
            QComboBox* pages = Find<QComboBox>(&dialog, "ComboBox1");
            QStringList offered;
            for (int i = 0; i < pages->count(); ++i) {
                offered << pages->itemText(i);
            }
            QCOMPARE(offered, (QStringList{"A.html", "b.html", "index.html"}));
            QCOMPARE(pages->currentText(), QString("Select"));
            QVERIFY(Find<QLineEdit>(&dialog, "Edit4")->isHidden());
            Shoot(&dialog, "image_link_dialog");
            Confirm(dialog, "ToolButton2");
        }
        QVERIFY(
            PageOnDisk().find("<!---Begin_Link_Img1---!><a href=\"Select\"><img src=\"http://\"") !=
            std::string::npos);
        {
            TFormc dialog(workspace_);
            Click(&dialog, "RadioButton4");
            QVERIFY(Find<QComboBox>(&dialog, "ComboBox1")->isHidden());
            QCOMPARE(Find<QComboBox>(&dialog, "ComboBox1")->currentText(), QString());
            Type(&dialog, "Edit4", "http://example.org/?a=1&b=2");
            Click(&dialog, "CheckBox1");
            Confirm(dialog, "ToolButton2");
        }
        QVERIFY(PageOnDisk().find("<a href=\"http://example.org/?a=1&b=2\" target=\"_blank\"><img "
                                  "src=\"") != std::string::npos);
        QCOMPARE(workspace_.component_list.entries.back(), std::string("Image Link2"));
    }

    void RolloverOncePerPage() {
        QFile script(QString::fromStdString(workspace_.app_folder) + "js.js");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("function SwitchImg(){}\r\nfunction RestoreImg(){}\r\n");
        script.close();
        {
            TFormd dialog(workspace_);
            QVERIFY(Find<QLineEdit>(&dialog, "Edit3")->isHidden());
            prompts_->Queue(Picture("a.png"));
            Click(&dialog, "ToolButton2");
            QCOMPARE(prompts_->asked.last(), QString("open-picture: Open"));
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("images/a.png"));
            QVERIFY(!prompts_->last_filter.contains("*.gif"));
            Type(&dialog, "Edit2", "C:/Pics/b.gif");
            Click(&dialog, "RadioButton1");
            Find<QComboBox>(&dialog, "ComboBox1")->setEditText("about.html");
            Type(&dialog, "Edit4", "Hi");
            Click(&dialog, "CheckBox1");
            Shoot(&dialog, "rollover_dialog");
            Confirm(dialog, "ToolButton3");
        }
        const std::string page = PageOnDisk();
        QVERIFY(page.find(Block("Roll_Img1",
                                "<a href=\"about.html\" onMouseOut=\"RestoreImg()\" "
                                "onMouseOver=\"SwitchImg('document.y','document.y','C:/Pics/"
                                "b.gif')\" target=_blank><img src=\"images/a.png\" name=\"y\" "
                                "alt=\"Hi\" title=\"Hi\" border=\"0\"></a>")) != std::string::npos);
        QVERIFY(page.find("<SCRIPT SRC=\"js.js\"></SCRIPT></head>") != std::string::npos);
        QFile copy(QString::fromStdString(workspace_.project_folder) + "js.js");
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(),
                 QByteArray("function SwitchImg(){}\r\nfunction RestoreImg(){}\r\n"));

        TFormd second(workspace_);
        second.show();
        Click(&second, "ToolButton3");
        QVERIFY(second.isVisible());
        QVERIFY(prompts_->asked.back().startsWith("error: "));
        QCOMPARE(PageOnDisk(), page);
    }

    // Quotes and backslashes typed into the texts the links hand to scripts
    // (status-bar texts, the rollover picture) keep the scripts whole: the
    // browser runs every handler without a syntax error and gets the texts.
    void ScriptTextsRunInTheBrowser() {
        workspace_.app_folder = PrepareAppFolder(); // the shipped js.js
        // Texts without blanks, so no line cut of the page file falls in them.
        const QString status = "Don't\\miss\"it\"";
        {
            TForme dialog(workspace_);
            Type(&dialog, "Edit5", "Go");
            Type(&dialog, "Edit3", status);
            Type(&dialog, "Edit2", "#0000FF");
            prompts_->Queue(QColor(255, 0, 0)); // the mouse-over colour
            Click(&dialog, "ToolButton1");
            Confirm(dialog, "ToolButton3");
        }
        {
            TFormf dialog(workspace_);
            Type(&dialog, "Edit1", "me@example.org");
            Type(&dialog, "Edit5", "Mail");
            Type(&dialog, "Edit3", "It's");
            Confirm(dialog, "ToolButton3");
        }
        {
            TFormd dialog(workspace_);
            Type(&dialog, "Edit1", "Bob's_a.gif");
            Type(&dialog, "Edit2", "Bob's_b.gif");
            Type(&dialog, "Edit4", "Bob's");
            Confirm(dialog, "ToolButton3");
        }
        Preview preview;
        preview.resize(400, 300);
        preview.show();
        preview.ShowFile(QString::fromStdString(workspace_.page_path));
        QVERIFY(preview.WaitForLoaded());
        // Each link's mouse-over handler, then what it left behind.
        const QVariant seen =
            preview.RunScript("(function() { var seen = [];"
                              "  var links = document.getElementsByTagName('a');"
                              "  for (var i = 0; i < links.length; i++) {"
                              "    window.status = '';"
                              "    links[i].dispatchEvent(new MouseEvent('mouseover'));"
                              "    seen.push(String(window.status));"
                              "    links[i].dispatchEvent(new MouseEvent('mouseout'));"
                              "  }"
                              "  links[2].dispatchEvent(new MouseEvent('mouseover'));"
                              "  seen.push(decodeURIComponent(document.images['y'].src));"
                              "  return seen; })()");
        const QStringList messages = preview.ConsoleMessages();
        QVERIFY2(!messages.join("\n").contains("SyntaxError"), qPrintable(messages.join("\n")));
        const QStringList values = seen.toStringList();
        QCOMPARE(values.size(), 4);
        QCOMPARE(values[0], status);
        QCOMPARE(values[1], QString("It's"));
        QVERIFY2(values[3].endsWith("/Bob's_b.gif"), qPrintable(values[3]));
        // The text link takes its mouse-over colour while the mouse is over
        // it and its own colour again after; the picture's mouse-over text
        // is its title, which the browser shows on mouse-over.
        const QVariant looks =
            preview.RunScript("(function() { var link = document.getElementsByTagName('a')[0];"
                              "  var colour = function() {"
                              "    return getComputedStyle(link.firstChild).color; };"
                              "  var seen = [colour()];"
                              "  link.dispatchEvent(new MouseEvent('mouseover'));"
                              "  seen.push(colour());"
                              "  link.dispatchEvent(new MouseEvent('mouseout'));"
                              "  seen.push(colour(), document.images['y'].title);"
                              "  return seen; })()");
        QCOMPARE(looks.toStringList(),
                 QStringList({"rgb(0, 0, 255)", "rgb(255, 0, 0)", "rgb(0, 0, 255)", "Bob's"}));
        QVERIFY2(preview.ConsoleMessages().isEmpty(),
                 qPrintable(preview.ConsoleMessages().join("\n")));
    }

    void TextAndMailLinks() {
        {
            TForme dialog(workspace_);
            QCOMPARE(Find<QComboBox>(&dialog, "ComboBox2")->currentText(), QString("Arial"));
            QVERIFY(Find<QLineEdit>(&dialog, "Edit1")->isHidden());
            Click(&dialog, "RadioButton2");
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("http://"));
            Type(&dialog, "Edit1", "http://a.org/");
            Find<QComboBox>(&dialog, "ComboBox2")->setCurrentIndex(35); // " Verdana"
            Click(&dialog, "CheckBox1");
            Click(&dialog, "CheckBox2");
            Click(&dialog, "CheckBox3");
            Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(3);
            Type(&dialog, "Edit5", "Home");
            Type(&dialog, "Edit3", "Go home");
            prompts_->Queue(QColor(255, 0, 0));
            Click(&dialog, "ToolButton1"); // the mouse-over colour
            Shoot(&dialog, "text_link_dialog");
            Confirm(dialog, "ToolButton3");
        }
        QVERIFY(PageOnDisk().find(Block(
                    "Text_Link1",
                    "<a href=\"http://a.org/\" target=_blank onMouseOver=\"window.status='Go "
                    "home'; this.firstChild.style.color='#FF0000'; return true;\" "
                    "onMouseOut=\"window.status=''; this.firstChild.style.color=''; return "
                    "true;\"><font "
                    "face=\" Verdana\" size=\"3\" color=\"\"><b><u>Home</u></b></font></a>")) !=
                std::string::npos);
        {
            TFormf dialog(workspace_);
            Type(&dialog, "Edit1", "me@example.org");
            prompts_->Queue(QColor(255, 0, 0));
            Click(&dialog, "ToolButton1");
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit4")->text(), QString("#FF0000"));
            Shoot(&dialog, "mail_link_dialog");
            Confirm(dialog, "ToolButton3");
        }
        QVERIFY(PageOnDisk().find(Block(
                    "Mail_Link1", "<a href=\"mailto:me@example.org\" "
                                  "onMouseOver=\"window.status=''; "
                                  "this.firstChild.style.color='#FF0000'; return true;\" "
                                  "onMouseOut=\"window.status=''; this.firstChild.style.color=''; "
                                  "return true;\"><font face=\"Arial\" color=\"\"></font></a>")) !=
                std::string::npos);
    }

    void HorizontalLine() {
        {
            TFormg2 dialog(workspace_);
            QSpinBox* width = Find<QSpinBox>(&dialog, "SpinEdit1");
            QCOMPARE(width->value(), 1);
            width->setValue(500);
            QCOMPARE(width->value(), 100);
            width->setValue(-3);
            QCOMPARE(width->value(), 1);
            Shoot(&dialog, "horizontal_line_dialog");
            Confirm(dialog, "ToolButton2");
        }
        {
            TFormg2 dialog(workspace_);
            Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(50);
            Find<QComboBox>(&dialog, "ComboBox1")->setCurrentIndex(1);
            Find<QComboBox>(&dialog, "ComboBox2")->setEditText("Center");
            Click(&dialog, "CheckBox1");
            Type(&dialog, "Edit1", "#000000");
            Confirm(dialog, "ToolButton2");
        }
        const std::string page = PageOnDisk();
        QVERIFY(page.find(Block("Hr1", "<hr size=\"\" width=\"1%\" align=\"\" color=\"\">") +
                          Block("Hr2", "<hr size=\"2\" width=\"50%\" align=\"Center\" noshade "
                                       "color=\"#000000\">")) != std::string::npos);
    }

    void TextSubscriptAndSuperscript() {
        {
            TFormb1 dialog(workspace_);
            QCOMPARE(Find<QCheckBox>(&dialog, "CheckBox2")->text(), QString("Italics"));
            QVERIFY(Find<QCheckBox>(&dialog, "CheckBox1")->font().bold());
            QVERIFY(Find<QCheckBox>(&dialog, "CheckBox4")->font().strikeOut());
            QListWidget* faces = Find<QListWidget>(&dialog, "ListBox1");
            QCOMPARE(faces->count(), 38);
            QCOMPARE(faces->currentItem(), nullptr);
            faces->setCurrentRow(0);
            QCOMPARE(Find<QLabel>(&dialog, "Panel2")->font().family(), QString("Arial"));
            QCOMPARE(Find<QLabel>(&dialog, "Panel2")->text(), QString("Aa Bb Cc"));
            Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(3);
            Type(&dialog, "Edit1", "#FF0000");
            Find<QComboBox>(&dialog, "ComboBox1")->setCurrentIndex(2);
            Click(&dialog, "CheckBox1");
            Click(&dialog, "CheckBox2");
            // Text in brackets that no browser shows is said as it is typed.
            QLabel* hint = Find<QLabel>(&dialog, "LabelHint");
            Type(&dialog, "Edit2", "Bakery <since 1998>");
            QVERIFY(hint->isVisibleTo(&dialog));
            QVERIFY(hint->text().startsWith("<since> is not an HTML element"));
            Shoot(&dialog, "text_dialog_hint");
            Type(&dialog, "Edit2", "Hello");
            QVERIFY(!hint->isVisibleTo(&dialog));
            Shoot(&dialog, "text_dialog");
            Confirm(dialog, "ToolButton3");
        }
        {
            TFormb2 dialog(workspace_);
            Type(&dialog, "Edit3", "H");
            Type(&dialog, "Edit2", "2");
            Shoot(&dialog, "subscript_dialog");
            Confirm(dialog, "ToolButton3");
        }
        {
            TFormb3 dialog(workspace_);
            QCOMPARE(dialog.windowTitle(), QString("Insert Superscript"));
            QCOMPARE(dialog.Heading()->text(), QString("Insert Superscript:"));
            QCOMPARE(Find<QCheckBox>(&dialog, "CheckBox2")->text(), QString("Italic"));
            Type(&dialog, "Edit3", "x");
            Type(&dialog, "Edit2", "<i>2</i>");
            Click(&dialog, "CheckBox3");
            Confirm(dialog, "ToolButton3");
        }
        const std::string page = PageOnDisk();
        QVERIFY(page.find(Block("Text1", "<div align=\"Center\"><font face=\"Arial\" size=\"3\" "
                                         "color=\"#FF0000\"><b><I>Hello</I></b></font></div>")) !=
                std::string::npos);
        QVERIFY(page.find("H<sub>2</sub></font></div><!---End_Subscript1---!>") !=
                std::string::npos);
        QVERIFY(page.find("x<sup><u><i>2</i></u></sup></font></div><!---End_Superscript1---!>") !=
                std::string::npos);
    }

    void ItemLists() {
        {
            TFormc2 dialog(workspace_);
            QString long_line(300, 'w');
            Find<QPlainTextEdit>(&dialog, "Memo1")->setPlainText("one\n\n" + long_line + "\ntwo");
            Shoot(&dialog, "bullet_list_dialog");
            // Shown, the list has the focus and shows its first face chosen.
            const QList<QListWidgetItem*> chosen =
                Find<QListWidget>(&dialog, "ListBox1")->selectedItems();
            QCOMPARE(chosen.size(), 1);
            QCOMPARE(chosen.front()->text(), QString(" Arial"));
            Confirm(dialog, "ToolButton1");
        }
        {
            TFormc3 dialog(workspace_);
            Find<QPlainTextEdit>(&dialog, "Memo1")->setPlainText("a\nb\nc");
            Confirm(dialog, "ToolButton1");
        }
        {
            TFormc1 dialog(workspace_);
            Shoot(&dialog, "item_list_dialog");
            Confirm(dialog, "ToolButton1");
        }
        const std::string page = PageOnDisk();
        const std::string item = "<font color=\"\">";
        const std::string arial = "<font face=\"Arial\" color=\"\">";
        QVERIFY(page.find(Block("Bullet_Item_List1",
                                "<div align=\"\"><li>" + arial + "one</font></li><li>" + arial +
                                    std::string(300, 'w') + "</font></li><li>" + arial +
                                    "two</font></li></div>")) != std::string::npos);
        QVERIFY(page.find(Block("Spaced_List1",
                                "<div align=\"\"><menu>" + item + "a</font></menu><menu>" + item +
                                    "b</font></menu><menu>" + item + "c</font></menu></div>")) !=
                std::string::npos);
        QVERIFY(page.find(Block("Item_List1", "<div align=\"\"></div>")) != std::string::npos);
        QCOMPARE(
            workspace_.component_list.entries,
            (std::vector<std::string>{"Bullet Item List1", "Spaced Item List1", "Item List1"}));
    }

    void PagePropertiesSequence() {
        workspace_.page_text = test::WorkedExamplePage();
        WritePageFile(workspace_.page_path, workspace_.page_text);
        auto body_tag = [this] {
            const std::string page = PageOnDisk();
            const std::size_t begin = page.find("<body");
            return page.substr(begin, page.find("<!---End_Body") - begin);
        };
        const std::string margins = " topmargin=\"0\" leftmargin=\"0\"";
        {
            TForma dialog(workspace_);
            // The page's own title, not a stock heading.
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("My Page"));
            Type(&dialog, "Edit3", "\u00DCber uns");
            Click(&dialog, "RadioButton2");
            Type(&dialog, "Edit2", "#336699");
            Click(&dialog, "CheckBox1");
            Shoot(&dialog, "page_properties_dialog");
            Confirm(dialog, "ToolButton2");
        }
        QCOMPARE(workspace_.page_header, std::string("&#220;ber uns"));
        QCOMPARE(body_tag(), "<body scroll=\"no\" bgcolor=\"#336699\"" + margins +
                                 " bgcolor=\"#FFFFFF\"" + margins + ">");
        {
            TForma dialog(workspace_);
            // Shown decoded, written back as it was.
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("\u00DCber uns"));
            // Ticked as the page has it; untick to show the scroll bars again.
            QVERIFY(Find<QCheckBox>(&dialog, "CheckBox1")->isChecked());
            // The background the page has now.
            QVERIFY(Find<QRadioButton>(&dialog, "RadioButton2")->isChecked());
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit2")->text(), QString("#336699"));
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString());
            Click(&dialog, "CheckBox1");
            Click(&dialog, "RadioButton1");
            prompts_->Queue(Picture("bg.png"));
            Click(&dialog, "ToolButton3");
            Confirm(dialog, "ToolButton2");
        }
        QCOMPARE(body_tag(), "<body bgcolor=\"#336699\"" + margins + " bgcolor=\"#FFFFFF\"" +
                                 margins + " background=\"images/bg.png\">");
        QVERIFY(PageOnDisk().find("<title>&#220;ber uns</title>") != std::string::npos);
        {
            TForma dialog(workspace_);
            QVERIFY(!Find<QCheckBox>(&dialog, "CheckBox1")->isChecked());
            // A picture covers the colour: it is the one chosen.
            QVERIFY(Find<QRadioButton>(&dialog, "RadioButton1")->isChecked());
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("images/bg.png"));
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit2")->text(), QString("#336699"));
            Click(&dialog, "RadioButton2");
            prompts_->Queue(QColor(0, 0, 0));
            Click(&dialog, "ToolButton1");
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit2")->text(), QString("#000000"));
            Confirm(dialog, "ToolButton2");
        }
        QCOMPARE(body_tag(),
                 "<body bgcolor=\"#000000\"" + margins + " bgcolor=\"#FFFFFF\"" + margins + ">");
        {
            // Opened with the page's background and confirmed: it stays.
            TForma dialog(workspace_);
            QVERIFY(Find<QRadioButton>(&dialog, "RadioButton2")->isChecked());
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit2")->text(), QString("#000000"));
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString());
            Confirm(dialog, "ToolButton2");
        }
        QCOMPARE(body_tag(),
                 "<body bgcolor=\"#000000\"" + margins + " bgcolor=\"#FFFFFF\"" + margins + ">");
        const std::string before = PageOnDisk();
        TForma cancelled(workspace_);
        Type(&cancelled, "Edit3", "Other");
        Click(&cancelled, "ToolButton4");
        QCOMPARE(PageOnDisk(), before);
        QCOMPARE(workspace_.page_header, std::string("&#220;ber uns"));

        // A heading that would end the title is refused; the dialog stays.
        TForma refused(workspace_);
        refused.show();
        Type(&refused, "Edit3", "a</TITLE>b");
        Click(&refused, "ToolButton2");
        QVERIFY(refused.isVisible());
        QCOMPARE(prompts_->asked.last(), QString("error: Heading may not contain \"</title\""));
        QCOMPARE(PageOnDisk(), before);
        refused.close();

        // A page without a title starts from the stock heading.
        workspace_.page_text.replace(workspace_.page_text.find("<title>"), 7, "<titel>");
        QCOMPARE(Find<QLineEdit>(std::make_unique<TForma>(workspace_).get(), "Edit3")->text(),
                 QString("Welcome to ....."));
    }

    // The check box shows whether the page fits small screens; ticking and
    // unticking it puts the head's block in and takes it out again, and an
    // OK that leaves it alone leaves the head alone.
    void PagePropertiesFitSmallScreens() {
        const std::string original = test::WorkedExamplePage();
        workspace_.page_text = original;
        WritePageFile(workspace_.page_path, original);
        {
            TForma dialog(workspace_);
            QVERIFY(!Find<QCheckBox>(&dialog, "CheckBox2")->isChecked());
            QCOMPARE(Find<QCheckBox>(&dialog, "CheckBox2")->text(), QString("Fit small screens"));
            Click(&dialog, "CheckBox2");
            Shoot(&dialog, "page_properties_fit_small_screens");
            Confirm(dialog, "ToolButton2");
        }
        QCOMPARE(PageOnDisk(), WithSmallScreenFit(original, true));
        {
            TForma dialog(workspace_);
            QVERIFY(Find<QCheckBox>(&dialog, "CheckBox2")->isChecked());
            Confirm(dialog, "ToolButton2");
        }
        QCOMPARE(PageOnDisk(), WithSmallScreenFit(original, true));
        {
            TForma dialog(workspace_);
            Click(&dialog, "CheckBox2");
            Confirm(dialog, "ToolButton2");
        }
        QCOMPARE(PageOnDisk(), original);
        // A page whose block lost its end marker opens unticked, and its
        // other properties can still be changed.
        std::string damaged = WithSmallScreenFit(original, true);
        damaged.erase(damaged.find(kFitEndMarker), kFitEndMarker.size());
        workspace_.page_text = damaged;
        WritePageFile(workspace_.page_path, damaged);
        OpenPage(workspace_, workspace_.page_path);
        {
            TForma dialog(workspace_);
            QVERIFY(!Find<QCheckBox>(&dialog, "CheckBox2")->isChecked());
            Type(&dialog, "Edit3", "Renamed");
            Confirm(dialog, "ToolButton2");
        }
        QVERIFY(PageOnDisk().find("<title>Renamed</title>") != std::string::npos);
    }

    // Typing in a face list reaches the face typed, although the entries
    // are stored with their leading blank.
    // The face list shows as chosen what OK writes: the focus coming to the
    // list makes its first face current, and that face is then chosen too.
    void TheFaceShownChosenIsTheFaceWritten() {
        TFormb1 dialog(workspace_);
        dialog.show();
        auto* faces = Find<QListWidget>(&dialog, "ListBox1");
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(faces->viewport(), &focus);
        QApplication::sendEvent(faces, &focus);
        QVERIFY(faces->currentItem() != nullptr);
        QCOMPARE(faces->currentItem()->text(), QString(" Arial"));
        QVERIFY(faces->currentItem()->isSelected());
        QCOMPARE(Find<QLabel>(&dialog, "Panel2")->font().family(), QString("Arial"));
        Type(&dialog, "Edit2", "shown");
        Confirm(dialog, "ToolButton3");
        QVERIFY2(PageOnDisk().find("<font face=\"Arial\" color=\"\">shown</font>") !=
                     std::string::npos,
                 PageOnDisk().c_str());

        // Nothing chosen: nothing highlighted, no face written.
        TFormb1 plain(workspace_);
        QVERIFY(Find<QListWidget>(&plain, "ListBox1")->selectedItems().isEmpty());
        Type(&plain, "Edit2", "plain");
        Confirm(plain, "ToolButton3");
        QVERIFY(PageOnDisk().find("<font color=\"\">plain</font>") != std::string::npos);
    }

    void TypingInAFaceListReachesTheFace() {
        TFormb1 dialog(workspace_);
        dialog.show();
        auto* faces = Find<QListWidget>(&dialog, "ListBox1");
        faces->setFocus();
        QTest::keyClicks(faces, "Verd");
        QVERIFY(faces->currentItem() != nullptr);
        QCOMPARE(faces->currentItem()->text(), QString(" Verdana"));
        QVERIFY(faces->currentItem()->isSelected());
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        QTest::keyClicks(faces, "t");
        QCOMPARE(faces->currentItem()->text(), QString(" Tahoma"));
        QTest::keyClicks(faces, "t"); // again: the next face with that letter
        QCOMPARE(faces->currentItem()->text(), QString(" Terminal"));
        Type(&dialog, "Edit2", "x");
        Confirm(dialog, "ToolButton3");
        QVERIFY(PageOnDisk().find("<font face=\"Terminal\"") != std::string::npos);

        TForme link(workspace_);
        link.show();
        link.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&link));
        auto* combo = Find<QComboBox>(&link, "ComboBox2");
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), "Verd");
        QCOMPARE(combo->currentText(), QString("Verdana"));
    }

    // The text and list dialogs are one class each, made per kind: caption,
    // heading and objectName follow the kind.
    void SharedDialogsTakeTheirKindsCaptionAndName() {
        auto check = [](QDialog&& dialog, const char* class_name, const QString& caption) {
            QCOMPARE(dialog.objectName(), QString(class_name));
            QCOMPARE(dialog.windowTitle(), caption);
            QCOMPARE(static_cast<ToolDialog&>(dialog).Heading()->text(), caption + ":");
        };
        check(TFormb1(workspace_), "TFormb1", "Insert Text");
        check(TFormb2(workspace_), "TFormb2", "Insert Subscript");
        check(TFormc1(workspace_), "TFormc1", "Insert an Item List");
        check(TFormc2(workspace_), "TFormc2", "Insert a Bullet Item List");
        check(TFormc3(workspace_), "TFormc3", "Insert a Seperated Item List");
    }

    void DialogTableRunsEachDialogModally() {
        for (const char* name :
             {"TForma", "TFormb", "TFormc", "TFormd", "TForme", "TFormf", "TFormg2", "TFormb1",
              "TFormb2", "TFormb3", "TFormc1", "TFormc2", "TFormc3"}) {
            QVERIFY2(FindDialog(name) != nullptr, name);
        }
        // The opener answers whether the workspace changed: OK inserts, the
        // close box does not.
        auto press = [](const char* button) {
            QTimer::singleShot(0, [button] {
                QWidget* dialog = QApplication::activeModalWidget();
                QVERIFY(dialog != nullptr);
                if (button == nullptr) {
                    dialog->close();
                } else {
                    Click(dialog, button);
                }
            });
        };
        press("ToolButton2");
        QVERIFY(FindDialog("TFormg2")(workspace_, nullptr));
        press(nullptr);
        QVERIFY(!FindDialog("TFormg2")(workspace_, nullptr));
        QCOMPARE(workspace_.component_list.entries, std::vector<std::string>{"Horizontal Line1"});
    }

    void PaletteInsertsAndTheRolloverButtonFollowsThePage() {
        TForm1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.FormActivate();
        const std::string other = workspace_.project_folder + "other.html";
        WritePageFile(other, workspace_.page_text);
        Workspace& workspace = window.workspace();
        workspace.project_folder = workspace_.project_folder;
        OpenPage(workspace, workspace_.page_path);
        window.ShowWorkspace(true);
        window.findChild<QComboBox*>("Com1")->setEditText("Area2");

        QToolButton* rollover = PaletteButton(&window, "Insert Rollover Image");
        QVERIFY(rollover->isEnabled());
        OnModal([](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("TFormd"));
            Type(dialog, "Edit1", "a.gif");
            Click(dialog, "ToolButton3");
        });
        rollover->click();
        QVERIFY2(workspace.page_text.find("<!---Begin_Roll_Img1---!>") != std::string::npos,
                 qPrintable(prompts_->asked.join(" | ")));
        QVERIFY(!rollover->isEnabled());
        QCOMPARE(window.findChild<QComboBox*>("Com2")->itemText(0), QString("Rollover Image1"));
        QVERIFY(QFile::exists(QString::fromStdString(workspace.project_folder) + "js.js"));

        OnModal([](QWidget* dialog) {
            Type(dialog, "Edit2", "Hello");
            Click(dialog, "ToolButton3");
        });
        PaletteButton(&window, "Insert Text")->click();
        QCOMPARE(window.findChild<QComboBox*>("Com2")->count(), 2);
        QVERIFY(ReadPageFile(workspace.page_path).find("Hello</font></div>") != std::string::npos);

        OpenPage(workspace, other);
        window.ShowWorkspace(true);
        QVERIFY(rollover->isEnabled());
    }

    void PagePropertiesRefusalKeepsTheDialogOpen() {
        workspace_.page_name.clear();
        TForma dialog(workspace_);
        dialog.show();
        Click(&dialog, "ToolButton2");
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompts_->asked, QStringList{"error: A page must be open!"});
    }
};

QTEST_MAIN(ComponentDialogsTest)
#include "components_dialogs_test.moc"
