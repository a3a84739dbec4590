// Editing areas and components from the main window: the Edit menu and the
// Modify/Delete buttons beside both lists, "Modify an Area", "Component
// Modify", the platform dialog, "Insert HTML code" and the line break, all
// driven through their control names.

#include "app/main_window.h"
#include "components/component_fields.h"
#include "components/insertion.h"
#include "dialog_driving.h"
#include "document/page_file.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "services/preview.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/area_content.h"
#include "workspace/area_editing.h"
#include "workspace/layout_designer.h"
#include "workspace/new_page.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace qf;

namespace {

using test::Click;
using test::Find;
using test::OnModal;
using test::PaletteButton;
using test::Shoot;

std::string Block(const std::string& name, const std::string& body) {
    return "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>";
}

// Area 1 holds a bold text; area 2 is a cell beside it; Image3 lost its block.
std::string StartPage() {
    return test::PageWith("<!---Table1---!><!---Table2---!><!---Image1---!><!---Image3---!>",
                          test::TableArea(1, Block("Image1", "<b>Bold</b>")) + test::CellArea(2));
}

} // namespace

class EditingDialogsTest : public test::GuiTest {
    Q_OBJECT

private:
    std::string path_;

    Workspace& W() { return window_->workspace(); }
    QComboBox* List(const char* name) { return Find<QComboBox>(window_.get(), name); }
    bool Enabled(const char* name) {
        QObject* found = window_->findChild<QObject*>(name);
        if (auto* action = qobject_cast<QAction*>(found)) {
            return action->isEnabled();
        }
        return qobject_cast<QWidget*>(found)->isEnabled();
    }
    std::string Bytes() const {
        QFile file(QString::fromStdString(path_));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
    }
    QStringList Items(const char* list) {
        QStringList items;
        for (int i = 0; i < List(list)->count(); ++i) {
            items << List(list)->itemText(i);
        }
        return items;
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() {
        StartTest();
        window_ = std::make_unique<TForm1>();
        window_->FormActivate();
        QDir(dir_->path()).mkpath("site");
        W().project_folder = dir_->path().toStdString() + "/site/";
        path_ = W().project_folder + "index.html";
        WritePageFile(path_, StartPage());
        OpenPage(W(), path_);
        window_->ShowWorkspace(true);
    }

    void cleanup() { EndTest(); }

    void modifyAndDeleteFollowWhatTheListsShow() {
        const char* area_commands[] = {"ModifyArea", "DeleteArea", "ModifySelectedArea",
                                       "DeleteSelectedArea"};
        const char* component_commands[] = {"ModifyComponent", "DeleteComponent",
                                            "ModifySelectedComponent", "DeleteSelectedComponent"};
        auto expect = [&](const char* const(&names)[4], bool on) {
            for (const char* name : names) {
                QVERIFY2(Enabled(name) == on, name);
            }
        };
        expect(area_commands, false); // the prompts "Select Area" and "Select Component"
        expect(component_commands, false);
        List("Com1")->setCurrentIndex(1);
        expect(area_commands, true);
        List("Com1")->setEditText("Area9");
        expect(area_commands, false);
        List("Com1")->setEditText("Area1");
        expect(area_commands, true);
        List("Com2")->setEditText("Image1");
        expect(component_commands, true);
        List("Com2")->setEditText("Image2");
        expect(component_commands, false);
        QCOMPARE(Items("Com2"), QStringList({"Image1", "Image3"}));
        // The palette's editing buttons are there on an open page.
        for (const char* hint :
             {"Insert HTML code", "Insert a Platform to add components next to each other",
              "Insert a Line Braker"}) {
            QVERIFY2(PaletteButton(window_.get(), hint)->isEnabled(), hint);
        }
    }

    void modifyAreaShowsTheAreaAndWritesOnlyWhatChanged() {
        List("Com1")->setEditText("Area1");
        const std::string before = Bytes();
        OnModal([](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("TFormModify5"));
            QCOMPARE(dialog->windowTitle(), QString("Modify an Area"));
            QCOMPARE(Find<QSpinBox>(dialog, "Sed1")->value(), 400);
            QCOMPARE(Find<QSpinBox>(dialog, "Sed2")->value(), 100);
            QCOMPARE(Find<QComboBox>(dialog, "Com1")->currentText(), QString("Left"));
            QCOMPARE(Find<QComboBox>(dialog, "Com2")->currentText(), QString("Top"));
            QCOMPARE(Find<QLineEdit>(dialog, "Edit1")->text(), QString("#ffffff"));
            QCOMPARE(Find<QLineEdit>(dialog, "Edit2")->text(), QString("#000000"));
            Shoot(dialog, "editing-modify-area");
            Click(dialog, "ToolButton2");
        });
        Click(window_.get(), "ModifyArea");
        QCOMPARE(Bytes(), before); // OK without changes
        QVERIFY(prompts_->asked.isEmpty());

        // Each colour button fills its own field from the colour dialog.
        prompts_->Queue(QColor("#336699"));
        prompts_->Queue(QColor(255, 0, 0));
        OnModal([](QWidget* dialog) {
            Find<QSpinBox>(dialog, "Sed1")->setValue(300);
            Click(dialog, "ToolButton5");
            Click(dialog, "ToolButton6");
            QCOMPARE(Find<QLineEdit>(dialog, "Edit1")->text(), QString("#336699"));
            QCOMPARE(Find<QLineEdit>(dialog, "Edit2")->text(), QString("#FF0000"));
            Click(dialog, "ToolButton2");
        });
        window_->findChild<QAction*>("ModifySelectedArea")->trigger();
        QCOMPARE(prompts_->asked, QStringList({"colour", "colour"}));
        prompts_->asked.clear();
        const std::string page = ReadPageFile(path_);
        QVERIFY(page.find("width=300 cellpadding") != std::string::npos);
        QVERIFY(page.find("bordercolor=\"#FF0000\" bgcolor=\"#336699\" width=300><img") !=
                std::string::npos);
        QVERIFY(page.find(test::CellArea(2)) != std::string::npos);

        // A refusal keeps the dialog open with what was typed; Cancel then
        // leaves the page alone.
        const std::string after = Bytes();
        OnModal([this](QWidget* dialog) {
            Find<QComboBox>(dialog, "Com1")->setEditText("<!---x");
            Click(dialog, "ToolButton2");
            QVERIFY(dialog->isVisible());
            QCOMPARE(prompts_->asked,
                     QStringList({"error: Align may not contain \"<!---\" or \"---!>\""}));
            QCOMPARE(Find<QComboBox>(dialog, "Com1")->currentText(), QString("<!---x"));
            Click(dialog, "ToolButton1");
        });
        Click(window_.get(), "ModifyArea");
        QCOMPARE(Bytes(), after);
    }

    void aCellShowsItsSpacingsAndAlignmentDisabled() {
        List("Com1")->setEditText("Area2");
        OnModal([](QWidget* dialog) {
            for (const char* name : {"Sed3", "Sed4", "Com1", "Com2"}) {
                QVERIFY2(!Find<QWidget>(dialog, name)->isEnabled(), name);
            }
            QVERIFY(Find<QWidget>(dialog, "Sed1")->isEnabled());
            QCOMPARE(Find<QSpinBox>(dialog, "Sed1")->value(), 200);
            Shoot(dialog, "editing-modify-cell");
            Find<QSpinBox>(dialog, "Sed2")->setValue(55);
            Click(dialog, "ToolButton2");
        });
        Click(window_.get(), "ModifyArea");
        QVERIFY(ReadPageFile(path_).find("height=\"55\"") != std::string::npos);
    }

    void deletingAnAreaAsksAndTakesItsComponents() {
        List("Com1")->setEditText("Area1");
        List("Com2")->setEditText("Image1");
        const std::string before = Bytes();
        prompts_->Queue(Prompts::Answer::No);
        Click(window_.get(), "DeleteArea");
        QCOMPARE(prompts_->asked, QStringList({"ask: Delete Area1 from this page?"}));
        QCOMPARE(Bytes(), before);

        prompts_->Queue(Prompts::Answer::Yes);
        Click(window_.get(), "DeleteArea");
        const std::string page = ReadPageFile(path_);
        QVERIFY(page.find("Table1") == std::string::npos);
        QVERIFY(page.find("Image1") == std::string::npos);
        QCOMPARE(Items("Com1"), QStringList({"Area2"}));
        QCOMPARE(Items("Com2"), QStringList({"Image3"}));
        QCOMPARE(List("Com1")->currentText(), QString("Select Area"));
        QCOMPARE(List("Com2")->currentText(), QString("Select Component"));
        QVERIFY(!Enabled("DeleteArea"));
    }

    void componentModifyPreviewsAndSavesTheSource() {
        List("Com2")->setEditText("Image1");
        const std::string before = Bytes();
        const QString preview = QString::fromStdString(W().app_folder) + "temp/Comp.html";
        OnModal([&](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("TFormCom"));
            QCOMPARE(dialog->windowTitle(), QString("Component Modify"));
            auto* memo = Find<QPlainTextEdit>(dialog, "Memo1");
            QCOMPARE(memo->toPlainText(), QString("<b>Bold</b>"));
            auto* web = Find<Preview>(dialog, "Web1");
            QCOMPARE(web->ShownFile(), preview);
            QVERIFY(web->VisibleText().contains("Bold"));
            Shoot(dialog, "editing-component-modify", "Web1");

            memo->setPlainText("<i>Fresh</i>");
            Click(dialog, "ToolButton2"); // Update Preview: the page stays
            QVERIFY(web->VisibleText().contains("Fresh"));
            QCOMPARE(Bytes(), before);

            memo->setPlainText("<!---End_Image1---!>");
            Click(dialog, "ToolButton1");
            QVERIFY(dialog->isVisible());
            QCOMPARE(memo->toPlainText(), QString("<!---End_Image1---!>"));
            QCOMPARE(prompts_->asked.size(), 1);
            QCOMPARE(Bytes(), before);

            memo->setPlainText("<p>\nab</p>");
            Click(dialog, "ToolButton1");
        });
        Click(window_.get(), "ModifyComponent");
        QVERIFY(ReadPageFile(path_).find(Block("Image1", "<p>\rab</p>")) != std::string::npos);

        // Cancel changes nothing; a component whose block went is refused
        // before any dialog opens.
        const std::string saved = Bytes();
        OnModal([](QWidget* dialog) {
            Find<QPlainTextEdit>(dialog, "Memo1")->setPlainText("other");
            Click(dialog, "ToolButton3");
        });
        Click(window_.get(), "ModifyComponent");
        QCOMPARE(Bytes(), saved);
        prompts_->asked.clear();
        List("Com2")->setEditText("Image3");
        Click(window_.get(), "ModifyComponent");
        QCOMPARE(prompts_->asked,
                 QStringList({"error: Image3 is not on this page any more (the area that held it "
                              "was deleted), so it cannot be modified; it can only be deleted."}));
    }

    void deletingAComponentAsksFirst() {
        List("Com2")->setEditText("Image3");
        prompts_->Queue(Prompts::Answer::Yes);
        window_->findChild<QAction*>("DeleteSelectedComponent")->trigger();
        QCOMPARE(prompts_->asked, QStringList({"ask: Delete Image3 from this page?"}));
        QVERIFY(ReadPageFile(path_).find("Image3") == std::string::npos);
        QCOMPARE(Items("Com2"), QStringList({"Image1"}));
        QCOMPARE(List("Com2")->currentText(), QString("Select Component"));
    }

    void platformDialogSketchesTheRowAndInsertsIt() {
        List("Com1")->setEditText("Area2");
        OnModal([](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("TFormAdj"));
            QCOMPARE(dialog->windowTitle(), QString("Adjacent Component Platform"));
            auto* count = Find<QSpinBox>(dialog, "SE1");
            auto* sketch = Find<QTableWidget>(dialog, "SG1");
            QCOMPARE(count->value(), 2);
            QCOMPARE(count->minimum(), 2);
            QCOMPARE(count->maximum(), 20);
            QCOMPARE(sketch->rowCount(), 1);
            QCOMPARE(sketch->columnCount(), 2);
            count->setValue(4);
            QCOMPARE(sketch->columnCount(), 4);
            QCOMPARE(sketch->item(0, 0)->text(), QString("Area3"));
            QCOMPARE(sketch->item(0, 3)->text(), QString("Area6"));
            count->setValue(3);
            QCOMPARE(sketch->columnCount(), 3);
            Find<QSpinBox>(dialog, "SE2")->setValue(120);
            Find<QSpinBox>(dialog, "SE3")->setValue(30);
            Shoot(dialog, "editing-platform");
            Click(dialog, "ToolButton2");
        });
        PaletteButton(window_.get(), "Insert a Platform to add components next to each other")
            ->click();
        QCOMPARE(Items("Com1"), QStringList({"Area1", "Area2", "Area3", "Area4", "Area5"}));
        QVERIFY(ReadPageFile(path_).find("<Table width=\"360\"") != std::string::npos);
    }

    // Code typed with line breaks does in a browser what it says: the script
    // with a line comment runs, the pre and the textarea keep their lines,
    // words on two lines stay apart. Checked in the dialog's preview, in the
    // page file itself, and again after Component Modify saved it back.
    void typedCodeKeepsItsMeaningInTheBrowser() {
        const QString code =
            "<script>\n// say hello\ndocument.title = \"ran\";\n</script>\n"
            "<pre id=\"p\">line 1\nline 2</pre>\n"
            "<textarea id=\"t\">a\r\nb</textarea>\n<span id=\"w\">Hello\nworld</span>";
        const QString probe = "[document.title, document.getElementById('p').innerText,"
                              " document.getElementById('t').value,"
                              " document.getElementById('w').innerText].join('|')";
        const QString expected = "ran|line 1\nline 2|a\nb|Hello world";
        auto page_result = [&] {
            Preview page;
            page.resize(400, 300);
            page.show();
            page.ShowFile(QString::fromStdString(path_));
            const QString result = page.RunScript(probe).toString();
            const QStringList messages = page.ConsoleMessages();
            return messages.isEmpty() ? result : result + " " + messages.join(" ");
        };

        List("Com1")->setEditText("Area2");
        OnModal([&](QWidget* dialog) {
            Find<QPlainTextEdit>(dialog, "Memo1")->setPlainText(code);
            Click(dialog, "ToolButton2");
            QCOMPARE(Find<Preview>(dialog, "Web1")->RunScript(probe).toString(), expected);
            Click(dialog, "ToolButton1");
        });
        PaletteButton(window_.get(), "Insert HTML code")->click();
        QCOMPARE(page_result(), expected);

        // The component source editor shows the lines and keeps them.
        List("Com2")->setEditText("Image1");
        OnModal([&](QWidget* dialog) {
            Find<QPlainTextEdit>(dialog, "Memo1")->setPlainText(code);
            Click(dialog, "ToolButton1");
        });
        Click(window_.get(), "ModifyComponent");
        OnModal([&](QWidget* dialog) {
            QCOMPARE(Find<QPlainTextEdit>(dialog, "Memo1")->toPlainText(),
                     QString(code).replace("\r\n", "\n"));
            const std::string saved = Bytes();
            Click(dialog, "ToolButton1"); // saved unchanged: the same bytes
            QCOMPARE(Bytes(), saved);
        });
        Click(window_.get(), "ModifyComponent");
        // Both copies stand in the page now: the ids of the first answer.
        QCOMPARE(page_result(), expected);
        const std::string text = ReadPageFile(path_);
        QVERIFY(text.find("<!---Begin_Image1---!><script>\r// say hello\r") != std::string::npos);
    }

    // A picture as wide as its area's cell stands at the top of the cell,
    // beside the spacer picture that holds the cell's height, not below it:
    // in a designed area (320 wide, inner spacing 8, so 300 for content), in
    // the same area of a layout saved before spacers took no room, and in a
    // platform's area. Measured in the preview engine.
    void contentAsWideAsItsAreaStandsAtTheTop() {
        const QString picture = dir_->filePath("site/wide.png");
        QImage image(300, 100, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(picture));
        const LayoutArea area{320, 250, 8, 0, "Left", "Top"};
        LayoutDesigner designer(1);
        designer.Commit(area);
        const std::string designed = designer.Text();
        std::string old = designed;
        const std::size_t spacer = old.find(AreaSpacer(250));
        QVERIFY(spacer != std::string::npos);
        old.replace(spacer, AreaSpacer(250).size(),
                    "<img src=\"\" height=\"250\" width=\"1\" align=\"left\">");
        std::string platform = PageTextFromLayout(designed, {"p", "P", "", 0});
        AddPlatform(platform, 1, 2, 320, 60); // areas 2 and 3, 320 wide, no spacing
        struct Case {
            const char* what;
            std::string page;
            int area;
            int width;
        };
        const Case cases[] = {
            {"designed", PageTextFromLayout(designed, {"p", "P", "", 0}), 1, 300},
            {"old layout", PageTextFromLayout(old, {"p", "P", "", 0}), 1, 300},
            {"platform", platform, 2, 316}, // the cells' borders take 4
        };
        Preview preview;
        preview.resize(800, 600);
        preview.show();
        for (const Case& c : cases) {
            std::string page = c.page;
            AddComponent(page, "Image",
                         BuildComponentBody("Image", {{"src", "wide.png"},
                                                      {"width", std::to_string(c.width)},
                                                      {"height", "100"}}),
                         c.area);
            page.insert(page.find("</html>"),
                        "<script>var p = document.images[document.images.length - 1];"
                        "var s = p.parentNode.getElementsByTagName('img')[0];"
                        "var cell = p.parentNode.getBoundingClientRect();"
                        "var box = p.getBoundingClientRect();"
                        "document.title = [Math.round(box.top - s.getBoundingClientRect().top),"
                        " Math.round(box.left - cell.left), Math.round(cell.width)].join(' ');"
                        "</script>");
            const std::string path = dir_->filePath("site/wide.html").toStdString();
            WritePageFile(path, page);
            preview.ShowFile(QString::fromStdString(path));
            const QString seen = preview.RunScript("document.title").toString();
            const QStringList parts = seen.split(' ');
            QVERIFY2(parts.size() == 3, qPrintable(seen));
            // At the spacer's height, and inside the cell.
            QVERIFY2(parts[0] == "0", qPrintable(QString(c.what) + ": " + seen));
            QVERIFY2(parts[1].toInt() < 12, qPrintable(QString(c.what) + ": " + seen));
        }
        preview.grab().save("/tmp/shots/editing-wide-content.png");
    }

    void htmlCodeAndLineBreakGoIntoTheSelectedArea() {
        List("Com1")->setEditText("Select Area");
        PaletteButton(window_.get(), "Insert HTML code")->click();
        QCOMPARE(prompts_->asked, QStringList({"inform: Your Must Select an Area!"}));
        prompts_->asked.clear();

        List("Com1")->setEditText("Area2");
        PaletteButton(window_.get(), "Insert a Line Braker")->click();
        const QString preview = QString::fromStdString(W().app_folder) + "temp/Comp.html";
        OnModal([&](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), QString("TFormCom2"));
            QCOMPARE(dialog->windowTitle(), QString("Insert HTML code"));
            auto* memo = Find<QPlainTextEdit>(dialog, "Memo1");
            QVERIFY(memo->toPlainText().isEmpty());
            // Kept as a component unless the user says otherwise.
            QVERIFY(Find<QCheckBox>(dialog, "CheckKeepComponent")->isChecked());
            memo->setPlainText("<u>Under\nlined</u> caf\u00e9");
            Click(dialog, "ToolButton2");
            auto* web = Find<Preview>(dialog, "Web1");
            QCOMPARE(web->ShownFile(), preview);
            QVERIFY(web->VisibleText().contains("Under lined"));
            Shoot(dialog, "editing-html-code", "Web1");
            memo->appendPlainText("<!---");
            Click(dialog, "ToolButton1");
            QVERIFY(dialog->isVisible());
            memo->setPlainText("<u>Under\nlined</u> caf\u00e9");
            Click(dialog, "ToolButton1");
        });
        PaletteButton(window_.get(), "Insert HTML code")->click();
        QVERIFY(ReadPageFile(path_).find("<br><!---Begin_Html_Code1---!><u>Under\rlined</u> "
                                         "caf&#233;<!---End_Html_Code1---!></td><!---End_Table2") !=
                std::string::npos);
        QCOMPARE(List("Com2")->itemText(List("Com2")->count() - 1), QString("HTML Code1"));
        QCOMPARE(prompts_->asked,
                 QStringList({"error: The HTML code may not contain \"<!---\" or \"---!>\""}));
    }
};

QTEST_MAIN(EditingDialogsTest)
#include "editing_dialogs_test.moc"
