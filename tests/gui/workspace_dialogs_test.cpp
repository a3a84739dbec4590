// The new-page dialogs and the layout designer, driven through their control
// names: the page-properties step, the layout chooser's stepping and Finish,
// and the designer's fields, lists, preview and Save.

#include "app/dialog_table.h"
#include "app/main_window.h"
#include "components/small_screens.h"
#include "dialog_driving.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "scripted_prompts.h"
#include "services/preview.h"
#include "widgets/picture_field.h"
#include "workspace/app_folder.h"
#include "workspace/layout_chooser.h"
#include "workspace/layout_designer.h"
#include "workspace/layout_designer_dialog.h"
#include "workspace/layouts.h"
#include "workspace/new_page_dialog.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace qf;

namespace {

using test::Click;
using test::Find;
using test::PaletteButton;
using test::Shoot;

bool Enabled(QWidget* dialog, const char* name) {
    return Find<QWidget>(dialog, name)->isEnabled();
}

QStringList Items(QWidget* dialog, const char* name) {
    auto* list = Find<QComboBox>(dialog, name);
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->itemText(i);
    }
    return items;
}

// Runs `step` on the next modal dialog as soon as it is shown.
void WhenModal(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            qFatal("no modal dialog came up");
        }
        step(modal);
    });
}

QStringList ListItems(QWidget* window, const char* name) {
    QStringList items;
    if (auto* combo = window->findChild<QComboBox*>(name)) {
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
    } else if (auto* list = window->findChild<QListWidget*>(name)) {
        for (int i = 0; i < list->count(); ++i) {
            items << list->item(i)->text();
        }
    }
    return items;
}

} // namespace

class WorkspaceDialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<test::ScriptedPrompts> prompts_;
    Workspace workspace_;

    // Saves a layout of `tables` one-table rows through the core designer.
    int SaveLayout(int tables) {
        LayoutDesigner designer(1);
        for (int i = 0; i < tables; ++i) {
            designer.Commit({600, 40 + 10 * i, 0, 0, "Left", "Top", "NONE", "NONE"});
        }
        return designer.Save(workspace_.app_folder);
    }
    // The layout the chooser's overview marks as chosen, read from the page
    // shown; -1 when the overview is not shown or marks none.
    int ShownLayout(QWidget* chooser) const {
        auto* web = Find<Preview>(chooser, "Web2");
        if (!web->ShownFile().endsWith("/temp/lay02.html")) {
            return -1;
        }
        const QVariant marked =
            web->RunScript("(() => { const all = document.querySelectorAll('.thumb.chosen');"
                           " return all.length == 1 ? Number(all[0].dataset.number) : -1; })()");
        return marked.isValid() ? marked.toInt() : -1;
    }
    // Where the overview draws the tile of layout `number`, in the pointer
    // target's pixels; an empty rectangle when it draws none.
    QRect TileOf(QWidget* chooser, int number) const {
        const QVariantList box =
            Find<Preview>(chooser, "Web2")
                ->RunScript(QString("(() => { const tile = document.querySelector("
                                    "'.thumb[data-number=\"%1\"]'); if (!tile) return [];"
                                    " const r = tile.getBoundingClientRect();"
                                    " return [r.x, r.y, r.width, r.height]; })()")
                                .arg(number))
                .toList();
        if (box.size() != 4) {
            return {};
        }
        return QRect(int(box[0].toDouble()), int(box[1].toDouble()), int(box[2].toDouble()),
                     int(box[3].toDouble()));
    }
    std::string ProjectFile(const char* name) const { return workspace_.project_folder + name; }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        prompts_ = std::make_unique<test::ScriptedPrompts>();
        const std::string root = dir_->path().toStdString() + "/";
        QDir(dir_->path()).mkpath("app/lays");
        QDir(dir_->path()).mkpath("app/temp");
        QDir(dir_->path()).mkpath("site");
        workspace_ = Workspace{};
        workspace_.app_folder = root + "app/";
        workspace_.project_folder = root + "site/";
    }

    void cleanup() {
        prompts_.reset();
        dir_.reset();
    }

    void NewPageCommandsAreInTheDialogTable() {
        QVERIFY(FindDialog("TFormmen5") != nullptr);
        QVERIFY(FindDialog("TFormmen2") != nullptr);
        QVERIFY(FindDialog("TFormmen4") != nullptr);
        Workspace no_project;
        QVERIFY(!FindDialog("TFormmen5")(no_project, nullptr));
        QCOMPARE(prompts_->asked, QStringList{"inform: Open or Create a new project first"});
    }

    void BackgroundButtonPicksAColourOrAPicture() {
        TFormmen5 step(workspace_);
        QCOMPARE(step.windowTitle(), QString("Page Properties"));
        QVERIFY(!Find<QRadioButton>(&step, "RadioButton1")->isChecked());
        QVERIFY(!Find<QRadioButton>(&step, "RadioButton2")->isChecked());
        QCOMPARE(Find<QSpinBox>(&step, "SpinEdit1")->value(), 0);
        auto* background = Find<QLineEdit>(&step, "Edit1");
        Shoot(&step, "new_page_properties");

        // Neither radio button: the picture dialog. A picture from elsewhere is
        // copied into the project, since the new page will name it from there.
        QDir(dir_->path()).mkpath("pics");
        for (const char* name : {"pics/sky.jpg", "pics/sea.png"}) {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(Qt::blue);
            QVERIFY(picture.save(dir_->filePath(name)));
        }
        prompts_->Queue(dir_->filePath("pics/sky.jpg"));
        Click(&step, "ToolButton2");
        QCOMPARE(prompts_->asked.last(), QString("open-picture: Open"));
        QCOMPARE(prompts_->last_filter,
                 QString("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf *.gif *.png *.tiff *.jpe);;"
                         "JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;Bitmaps (*.bmp);;"
                         "Icons (*.ico);;Enhanced Metafiles (*.emf);;Metafiles (*.wmf)"));
        QCOMPARE(background->text(), QString("images/sky.jpg"));
        QVERIFY(QFile::exists(dir_->filePath("site/images/sky.jpg")));
        Click(&step, "ToolButton2"); // cancelled
        QCOMPARE(background->text(), QString("images/sky.jpg"));
        QCOMPARE(prompts_->last_folder, dir_->filePath("pics"));

        Click(&step, "RadioButton1");
        prompts_->Queue(QColor(255, 128, 0));
        Click(&step, "ToolButton2");
        QCOMPARE(prompts_->asked.last(), QString("colour"));
        QCOMPARE(background->text(), QString("#FF8000"));
        background->setText("#123456");
        Click(&step, "ToolButton2"); // a cancelled colour dialog leaves the field
        QCOMPARE(background->text(), QString("#123456"));

        Click(&step, "RadioButton2");
        prompts_->Queue(dir_->filePath("pics/sea.png"));
        Click(&step, "ToolButton2");
        QCOMPARE(background->text(), QString("images/sea.png"));
    }

    void ContinueRefusesBadNamesAndAsksBeforeReplacing() {
        SaveLayout(1);
        WritePageFile(ProjectFile("index.html"), "mine");
        TFormmen5 step(workspace_);
        step.show();
        for (const char* name : {"", "sub/page"}) {
            prompts_->asked.clear();
            Find<QLineEdit>(&step, "Edit2")->setText(name);
            Click(&step, "ToolButton1");
            QCOMPARE(prompts_->asked.size(), 1);
            QVERIFY(prompts_->asked.front().startsWith("error: "));
            QVERIFY(step.isVisible());
        }
        QVERIFY(prompts_->asked.front().contains("\"/\""));
        // A hidden name, and a header that would end the title or break the
        // line, are refused before the chooser; the field at fault has the focus.
        Find<QLineEdit>(&step, "Edit2")->setText(".hidden");
        Click(&step, "ToolButton1");
        QCOMPARE(prompts_->asked.last(), QString("error: A page name cannot start with \".\": "
                                                 ".hidden"));
        Find<QLineEdit>(&step, "Edit2")->setText("fresh");
        for (const char* header : {"a</Title>", "two\nlines"}) {
            prompts_->asked.clear();
            Find<QLineEdit>(&step, "Edit3")->setText(header);
            Click(&step, "ToolButton1");
            QCOMPARE(prompts_->asked.size(), 1);
            QVERIFY(prompts_->asked.front().startsWith("error: Header "));
            QVERIFY(step.isVisible());
            QVERIFY(step.focusWidget() == Find<QLineEdit>(&step, "Edit3"));
        }
        Find<QLineEdit>(&step, "Edit3")->clear();
        QVERIFY(!QFile::exists(QString::fromStdString(ProjectFile("fresh.html"))));

        prompts_->asked.clear();
        Find<QLineEdit>(&step, "Edit2")->setText("index.html");
        Click(&step, "ToolButton1"); // answered No
        QCOMPARE(prompts_->asked, QStringList{"ask: Replace the existing page index.html?"});
        QVERIFY(step.isVisible());
        QCOMPARE(ReadPageFile(ProjectFile("index.html")), std::string("mine"));
        QVERIFY(!workspace_.HasOpenPage());

        // Yes: the chooser comes up and Finish replaces the page without asking again.
        prompts_->asked.clear();
        prompts_->Queue(Prompts::Answer::Yes);
        Find<QLineEdit>(&step, "Edit3")->setText("Home");
        Find<QSpinBox>(&step, "SpinEdit1")->setValue(5);
        Find<QLineEdit>(&step, "Edit1")->setText("#ff0000");
        QString chooser_class;
        WhenModal([&](QWidget* chooser) {
            chooser_class = chooser->objectName();
            Click(chooser, "ToolButton4");
        });
        Click(&step, "ToolButton1");
        QCOMPARE(chooser_class, QString("TFormmen2"));
        QCOMPARE(prompts_->asked, QStringList{"ask: Replace the existing page index.html?"});
        QCOMPARE(step.result(), int(QDialog::Accepted));
        QVERIFY(!step.isVisible());
        QCOMPARE(workspace_.page_name, std::string("index.html"));
        QCOMPARE(workspace_.pending.name, std::string("index.html"));
        QVERIFY(ReadPageFile(ProjectFile("index.html")).find("<title>Home</title>") !=
                std::string::npos);
    }

    void ClosingTheChooserCreatesNothing() {
        SaveLayout(1);
        TFormmen5 step(workspace_);
        step.show();
        Find<QLineEdit>(&step, "Edit2")->setText("about");
        WhenModal([](QWidget* chooser) { Click(chooser, "CancelButton"); });
        Click(&step, "ToolButton1");
        QCOMPARE(step.result(), int(QDialog::Rejected));
        QVERIFY(!step.isVisible());
        QVERIFY(!QFile::exists(QString::fromStdString(ProjectFile("about.html"))));
        QVERIFY(!workspace_.HasOpenPage());
    }

    void ShippedLayoutsStepThroughTheChooser() {
        FillAppFolder(workspace_.app_folder);
        const std::vector<int> numbers = LayoutNumbers(workspace_.app_folder);
        QVERIFY(numbers.size() >= 8);
        TFormmen2 chooser(workspace_);
        chooser.resize(960, 560);
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        // Every layout at once, each a small tile, all in view without scrolling.
        auto* web = Find<Preview>(&chooser, "Web2");
        QCOMPARE(web->RunScript("document.querySelectorAll('.thumb iframe').length").toInt(),
                 int(numbers.size()));
        QVERIFY(web->RunScript("document.documentElement.scrollHeight <= innerHeight && "
                               "document.documentElement.scrollWidth <= innerWidth")
                    .toBool());
        // Next walks up from layout 1; Previous is enabled above the first.
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const int number = numbers[i];
            QCOMPARE(ShownLayout(&chooser), number);
            QCOMPARE(chooser.Chooser().Current(), number);
            QCOMPARE(Enabled(&chooser, "ToolButton2"), number != numbers.front());
            QCOMPARE(Enabled(&chooser, "ToolButton1"), number != numbers.back());
            QCOMPARE(Find<QLabel>(&chooser, "LayoutLabel")->text(),
                     QString("Layout %1 (%1 of %2)").arg(number).arg(numbers.size()));
            const QRect tile = TileOf(&chooser, number);
            QVERIFY(tile.width() > 100 && tile.width() < 260);
            if (i == 0 || i == 5) {
                Shoot(&chooser, QString("layout_chooser_at_%1").arg(number), "Web2");
            }
            Click(&chooser, "ToolButton1");
        }
        QCOMPARE(ShownLayout(&chooser), numbers.back());
        Click(&chooser, "ToolButton2");
        QCOMPARE(ShownLayout(&chooser), numbers[numbers.size() - 2]);
        QVERIFY(Enabled(&chooser, "ToolButton1"));

        // A click on a tile chooses its layout, and Finish then takes that one.
        QWidget* target = nullptr;
        for (int tries = 0; tries < 100 && (target = web->PointerTarget()) == nullptr; ++tries) {
            QTest::qWait(20);
        }
        QVERIFY(target != nullptr);
        const QRect third = TileOf(&chooser, numbers[2]);
        QVERIFY(!third.isEmpty());
        QTest::mouseClick(target, Qt::LeftButton, {}, third.center());
        QTRY_COMPARE(chooser.Chooser().Current(), numbers[2]);
        QCOMPARE(ShownLayout(&chooser), numbers[2]);
        QVERIFY(Enabled(&chooser, "ToolButton1"));
        QVERIFY(Enabled(&chooser, "ToolButton2"));
        QCOMPARE(web->ShownFile(),
                 QString::fromStdString(workspace_.app_folder) + "temp/lay02.html");
        chooser.resize(chooser.minimumSizeHint());
        Shoot(&chooser, "layout_chooser_small", "Web2");
        workspace_.pending = {"Home", "", 0, "index"};
        Click(&chooser, "ToolButton4");
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        const std::string page = ReadPageFile(ProjectFile("index.html"));
        const std::string layout = ReadLayout(workspace_.app_folder, numbers[2]);
        QCOMPARE(DeclarationNames(page), DeclarationNames(layout));
        QVERIFY(DeclarationNames(page) !=
                DeclarationNames(ReadLayout(workspace_.app_folder, numbers[1])));
        QVERIFY(prompts_->asked.isEmpty());
        // New pages fit small screens unless the editor's preference says no.
        QVERIFY(PageFitsSmallScreens(page));
        TFormmen2::SetFitNewPages(false);
        workspace_.pending = {"Plain", "", 0, "plain"};
        TFormmen2 again(workspace_);
        again.show();
        Click(&again, "ToolButton4");
        TFormmen2::SetFitNewPages(true);
        QCOMPARE(again.result(), int(QDialog::Accepted));
        const std::string plain = ReadPageFile(ProjectFile("plain.html"));
        QVERIFY(!PageFitsSmallScreens(plain));
        QVERIFY(plain.find("<title>Plain</title>") != std::string::npos);
    }

    void ChooserWithOneLayoutOrNone() {
        TFormmen2 empty(workspace_);
        empty.show();
        QVERIFY(!Enabled(&empty, "ToolButton4"));
        QVERIFY(!Enabled(&empty, "ToolButton1"));
        QVERIFY(!Enabled(&empty, "ToolButton2"));
        QVERIFY(Find<QLabel>(&empty, "LayoutLabel")->text().contains("no layouts"));
        Click(&empty, "ToolButton4");
        QVERIFY(empty.isVisible());

        SaveLayout(2);
        TFormmen2 chooser(workspace_);
        chooser.show();
        QVERIFY(!Enabled(&chooser, "ToolButton1"));
        QVERIFY(!Enabled(&chooser, "ToolButton2"));
        QVERIFY(Enabled(&chooser, "ToolButton4"));
        QCOMPARE(ShownLayout(&chooser), 1);
    }

    void FinishWritesThePageFromTheLayoutShown() {
        LayoutDesigner seed(1);
        seed.Save(workspace_.app_folder); // layout 1: the seed, no areas
        SaveLayout(2);                    // layout 2: two areas
        workspace_.pending = {"Home", "#ff0000", 5, "index"};
        workspace_.area_list.text = "Area2";
        TFormmen2 chooser(workspace_);
        chooser.show();
        Click(&chooser, "ToolButton1"); // layout 2
        Click(&chooser, "ToolButton4");
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        const std::string page = ReadPageFile(ProjectFile("index.html"));
        QVERIFY(page.find("<title>Home</title>") != std::string::npos);
        QVERIFY(page.find("<body bgcolor=\"#ff0000\" topmargin=\"5\" leftmargin=\"5\" "
                          "bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"0\">") !=
                std::string::npos);
        QCOMPARE(workspace_.page_text, page);
        QCOMPARE(workspace_.page_name, std::string("index.html"));
        QCOMPARE(workspace_.page_header, std::string("Home"));
        QCOMPARE(workspace_.area_list.entries, (std::vector<std::string>{"Area1", "Area2"}));
        QVERIFY(workspace_.component_list.entries.empty());
        QVERIFY(workspace_.palette_enabled);

        // Finish asks before it replaces a page the step did not ask about.
        workspace_.pending = {"Again", "", 0, "index.html"};
        TFormmen2 again(workspace_);
        again.show();
        Click(&again, "ToolButton4"); // layout 1, answered No
        QCOMPARE(prompts_->asked, QStringList{"ask: Replace the existing page index.html?"});
        QVERIFY(again.isVisible());
        QCOMPARE(ReadPageFile(ProjectFile("index.html")), page);
        prompts_->Queue(Prompts::Answer::Yes);
        Click(&again, "ToolButton4");
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QVERIFY(workspace_.area_list.entries.empty());
        const std::string replaced = ReadPageFile(ProjectFile("index.html"));
        QVERIFY(replaced.find("<title>Again</title>" + std::string(kFitStartMarker)) !=
                std::string::npos);
        QVERIFY(replaced.find(std::string(kFitEndMarker) +
                              "</head><body topmargin=\"0\" leftmargin=\"0\" bgcolor=") !=
                std::string::npos);
    }

    void DesignerSavesALayoutThatTheChooserShowsAtOnce() {
        SaveLayout(1);
        TFormmen2 chooser(workspace_);
        chooser.show();
        int saved = 0;
        WhenModal([&](QWidget* designer) {
            Click(designer, "Tool");
            Find<QSpinBox>(designer, "sed1")->setValue(300);
            Find<QSpinBox>(designer, "sed2")->setValue(80);
            Click(designer, "T2");
            Click(designer, "ToolButton1");
            saved = qobject_cast<TFormmen4*>(designer)->SavedLayout();
        });
        Click(&chooser, "ToolButton3");
        QCOMPARE(saved, 2);
        QCOMPARE(chooser.Chooser().Current(), 2);
        QCOMPARE(ShownLayout(&chooser), 2);
        QVERIFY(Enabled(&chooser, "ToolButton2"));
        QVERIFY(!Enabled(&chooser, "ToolButton1"));
    }

    void NewPageFromTheMainWindowTakesComponentsInEveryArea() {
        FillAppFolder(workspace_.app_folder);
        TForm1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Workspace& workspace = window.workspace();
        workspace.app_folder = workspace_.app_folder;
        workspace.project_folder = workspace_.project_folder;
        window.ShowWorkspace(false);

        // New Page: properties, then a layout designed with adjacent areas.
        int designed = 0;
        WhenModal([&](QWidget* step) {
            QCOMPARE(step->objectName(), QString("TFormmen5"));
            Find<QLineEdit>(step, "Edit2")->setText("index");
            Find<QLineEdit>(step, "Edit3")->setText("Home");
            WhenModal([&](QWidget* chooser) {
                WhenModal([&](QWidget* designer) {
                    Click(designer, "Tool");
                    Find<QSpinBox>(designer, "sed1")->setValue(400);
                    Find<QSpinBox>(designer, "sed2")->setValue(100);
                    Click(designer, "T2");
                    Find<QSpinBox>(designer, "sed1")->setValue(200);
                    Find<QComboBox>(designer, "com4")->setCurrentText("Table1");
                    Click(designer, "T2");
                    Click(designer, "T2");
                    Find<QComboBox>(designer, "com4")->setCurrentText("NONE");
                    Find<QSpinBox>(designer, "sed1")->setValue(800);
                    Click(designer, "T2");
                    Click(designer, "ToolButton1");
                    designed = qobject_cast<TFormmen4*>(designer)->SavedLayout();
                });
                Click(chooser, "ToolButton3");
                Click(chooser, "ToolButton4");
            });
            Click(step, "ToolButton1");
        });
        window.NewPageClick();
        QCOMPARE(designed, int(LayoutNumbers(workspace_.app_folder).size()));
        QVERIFY2(workspace.HasOpenPage(), qPrintable(prompts_->asked.join(" | ")));
        QCOMPARE(ListItems(&window, "FileListBox1"), QStringList{"index.html"});
        QCOMPARE(Find<QLabel>(&window, "lblName")->text(), QString("index.html"));
        QCOMPARE(Find<QLabel>(&window, "lblHead")->text(), QString("Home"));
        QCOMPARE(ListItems(&window, "Com1"), (QStringList{"Area1", "Area2", "Area3", "Area4"}));
        QVERIFY(Find<QTabWidget>(&window, "PageControl1")->isEnabled());

        // A text in every area, the adjacent ones included, each in its own cell.
        for (int area = 1; area <= 4; ++area) {
            Find<QComboBox>(&window, "Com1")->setEditText(QString("Area%1").arg(area));
            WhenModal([area](QWidget* dialog) {
                Find<QLineEdit>(dialog, "Edit2")->setText(QString("in area %1").arg(area));
                Click(dialog, "ToolButton3");
            });
            PaletteButton(&window, "Insert Text")->click();
        }
        const std::string page = ReadPageFile(ProjectFile("index.html"));
        for (int area = 1; area <= 4; ++area) {
            const std::string text = "in area " + std::to_string(area) + "</font></div>";
            const char* const cell_ends[] = {
                "</td><!---Begin_Table2---!>", "</td><!---End_Table2---!>",
                "</td><!---End_Table3---!>", "</td></table><!---End_Table4---!>"};
            const std::string cell_end = cell_ends[area - 1];
            const std::size_t at = page.find(text);
            QVERIFY2(at != std::string::npos, text.c_str());
            QCOMPARE(page.substr(page.find("</td>", at), cell_end.size()), cell_end);
        }
        QCOMPARE(ListItems(&window, "Com2").size(), 4);
        Shoot(&window, "main_window_new_page", "Web1");
    }

    void DesignerFieldsListsPreviewAndSave() {
        TFormmen4 designer(workspace_);
        QCOMPARE(designer.windowTitle(), QString("Create your own Page Layout"));
        designer.show();
        const QString preview_file =
            QString::fromStdString(workspace_.app_folder) + "temp/lay01.html";
        QCOMPARE(Find<Preview>(&designer, "web1")->ShownFile(), preview_file);
        for (const char* field :
             {"sed1", "sed2", "sed3", "sed4", "com1", "com2", "com3", "com4", "T2"}) {
            QVERIFY2(!Enabled(&designer, field), field);
        }
        QVERIFY(Enabled(&designer, "com5"));
        QVERIFY(Enabled(&designer, "ToolButton3"));
        QCOMPARE(Items(&designer, "com5"), QStringList{"NONE"});
        QCOMPARE(Items(&designer, "com1"), (QStringList{"Left", "Right"}));
        QCOMPARE(Find<QComboBox>(&designer, "com1")->currentText(), QString());

        Click(&designer, "Tool");
        QCOMPARE(Find<QPushButton>(&designer, "Tool")->text(), QString("New Table    "));
        QVERIFY(Enabled(&designer, "T2"));
        Find<QSpinBox>(&designer, "sed1")->setValue(400);
        Find<QSpinBox>(&designer, "sed2")->setValue(100);
        Find<QComboBox>(&designer, "com1")->setEditText("Left");
        Find<QComboBox>(&designer, "com2")->setEditText("Top");
        Click(&designer, "T2");
        Find<QSpinBox>(&designer, "sed1")->setValue(200);
        Find<QComboBox>(&designer, "com4")->setCurrentText("Table1");
        Click(&designer, "T2");
        QCOMPARE(Find<QComboBox>(&designer, "com4")->currentText(), QString("Table1"));
        Find<QComboBox>(&designer, "com4")->setCurrentText("NONE");
        Find<QSpinBox>(&designer, "sed1")->setValue(600);
        Click(&designer, "T2");
        for (const char* list : {"com3", "com4", "com5"}) {
            QCOMPARE(Items(&designer, list), (QStringList{"NONE", "Table1", "Table2", "Table3"}));
        }
        const std::string text = designer.Designer().Text();
        QCOMPARE(ReadPageFile(preview_file.toStdString()), LayoutPreviewText(text));
        QVERIFY(text.find("width=600 cellpadding") != std::string::npos); // Table1 widened
        QVERIFY(prompts_->asked.isEmpty());
        Shoot(&designer, "layout_designer", "web1");

        Find<QComboBox>(&designer, "com5")->setCurrentText("Table2");
        Click(&designer, "ToolButton3");
        QCOMPARE(Items(&designer, "com5"), (QStringList{"NONE", "Table1", "Table3"}));
        QCOMPARE(Find<QComboBox>(&designer, "com5")->currentText(), QString("NONE"));
        QCOMPARE(ReadPageFile(preview_file.toStdString()),
                 LayoutPreviewText(designer.Designer().Text()));
        QVERIFY(designer.Designer().Text().find("Table2") == std::string::npos);

        // A failed save is reported and the designer stays open with its work.
        QDir(QString::fromStdString(workspace_.app_folder) + "lays").removeRecursively();
        Click(&designer, "ToolButton1");
        QCOMPARE(prompts_->asked.size(), 1);
        QVERIFY(prompts_->asked.front().startsWith("error: Cannot create file"));
        QVERIFY(designer.isVisible());
        QDir(QString::fromStdString(workspace_.app_folder)).mkpath("lays");
        Click(&designer, "ToolButton1");
        QCOMPARE(designer.result(), int(QDialog::Accepted));
        QCOMPARE(designer.SavedLayout(), 1);
        QCOMPARE(ReadLayout(workspace_.app_folder, 1), designer.Designer().Text());
    }
};

QTEST_MAIN(WorkspaceDialogsTest)
#include "workspace_dialogs_test.moc"
