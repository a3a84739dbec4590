#include "about/about_dialog.h"
#include "about/system_info.h"
#include "about/version.h"
#include "app/dialog_table.h"
#include "app/main_window.h"
#include "app/palette_table.h"
#include "app/view_source_dialog.h"
#include "components/component_fields.h"
#include "dialog_driving.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "services/icons.h"
#include "services/preview.h"
#include "services/prompts.h"
#include "site/shared_parts.h"
#include "site/site_settings.h"
#include "site/site_style.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/component_values.h"
#include "workspace/page_commands.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

namespace qf {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

using test::OnModal;

// Puts an environment variable back as it was when the scope ends.
struct EnvironmentRestorer {
    explicit EnvironmentRestorer(const char* name) : name_(name), value_(qgetenv(name)) {}
    ~EnvironmentRestorer() { qputenv(name_, value_); }
    const char* name_;
    QByteArray value_;
};

// Scripted prompts whose print dialog chooses a PDF file as the printer.
class PdfPrompts : public test::ScriptedPrompts {
public:
    QString pdf_path;
    bool Print(QWidget* parent, QPrinter* printer, const PaintPages& paint) override {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf_path);
        return ScriptedPrompts::Print(parent, printer, paint);
    }
};

} // namespace

class MainWindowTest : public test::GuiTest {
    Q_OBJECT

private:
    QString Site() const { return dir_->filePath("site") + "/"; }

    // A started main window with the project "site" open, holding the
    // worked example as index.html and a second page other.html.
    void OpenSiteProject() {
        QDir().mkpath(Site());
        WritePageFile((Site() + "index.html").toStdString(), test::WorkedExamplePage());
        WritePageFile((Site() + "other.html").toStdString(),
                      test::PageWith("<!---Table1---!><!---Table2---!><!---Text3---!>"));
        prompts_->Queue(Site());
        window_->OpenProjectClick();
        QCOMPARE(prompts_->asked.takeLast(), QString("inform: Project Opened"));
    }

    QListWidgetItem* PageItem(const QString& name) {
        auto* list = window_->findChild<QListWidget*>("FileListBox1");
        const auto found = list->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    void ClickPage(const QString& name, std::optional<Prompts::Answer> answer) {
        QListWidgetItem* item = PageItem(name);
        QVERIFY(item != nullptr);
        if (answer) {
            prompts_->Queue(*answer);
        }
        auto* list = window_->findChild<QListWidget*>("FileListBox1");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }

    QString Text(const char* label) { return window_->findChild<QLabel*>(label)->text(); }

    void Trigger(const char* action) {
        QAction* found = window_->findChild<QAction*>(action);
        QVERIFY2(found != nullptr, action);
        found->trigger();
    }

    // The site project open with index.html open, nothing asked yet.
    void OpenIndexPage() {
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        QCOMPARE(Q(window_->workspace().page_name), QString("index.html"));
        prompts_->asked.clear();
    }

    std::string IndexPath() const { return (Site() + "index.html").toStdString(); }
    QAction* Action(const char* name) { return window_->findChild<QAction*>(name); }
    QComboBox* Combo(const char* name) { return window_->findChild<QComboBox*>(name); }

    QStringList ComboEntries(const char* name) {
        QStringList entries;
        for (int i = 0; i < Combo(name)->count(); ++i) {
            entries << Combo(name)->itemText(i);
        }
        return entries;
    }

    // Inserts a horizontal line into Area1 through its dialog's OK.
    void InsertLineThroughTheDialog() {
        Combo("Com1")->setEditText("Area1");
        OnModal([](QWidget* dialog) { test::Click(dialog, "ToolButton2"); });
        test::PaletteButton(window_.get(), "Insert Horizontal Line")->click();
    }

    // Keys typed into the active main window, away from the lists' text fields.
    void Keys(QKeyCombination keys) {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QWidget* list = window_->findChild<QListWidget*>("FileListBox1");
        list->setFocus();
        QTest::keyClick(list, keys.key(), keys.keyboardModifiers());
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() {
        StartTest();
        StartWindow();
    }

    void cleanup() { EndTest(); }

    void startUpShowsTheHomePageOfTheApplicationFolder() {
        const QString app = Q(DefaultAppFolder());
        QCOMPARE(Q(window_->workspace().app_folder), app);
        QVERIFY(app.endsWith('/'));
        for (const char* file :
             {"bin/home.html", "bin/blank.html", "bin/help.html", "bin/php.html", "js.js"}) {
            QVERIFY2(QFile::exists(app + file), file);
        }
        for (const char* folder : {"lays", "temp", "custom"}) {
            QVERIFY2(QDir(app + folder).exists(), folder);
        }
        QCOMPARE(window_->preview()->ShownFile(), app + "bin/home.html");
        QVERIFY(window_->preview()->VisibleText().contains("Create a New Project"));
        QCOMPARE(window_->findChild<QListWidget*>("FileListBox1")->count(), 0);
        QVERIFY(!window_->findChild<QTabWidget*>("PageControl1")->isEnabled());
        QCOMPARE(window_->windowTitle(), QString("Quenfort Website Developer"));
        QCOMPARE(window_->size(), QSize(803, 572));
        QCOMPARE(window_->findChild<QComboBox*>("Com1")->currentText(), QString("Select Area"));
        QCOMPARE(window_->findChild<QComboBox*>("Com2")->currentText(),
                 QString("Select Component"));
        // Activating the window again changes nothing.
        window_->preview()->ShowFile("/nowhere.html");
        window_->FormActivate();
        QCOMPARE(window_->preview()->ShownFile(), QString("/nowhere.html"));
        QVERIFY(prompts_->asked.isEmpty());
    }

    void theStartPageLoadsBeforeTheWindowIsFirstShown() {
        TForm1 hidden;
        QVERIFY(!hidden.isVisible());
        QCOMPARE(Q(hidden.workspace().app_folder), Q(DefaultAppFolder()));
        QCOMPARE(hidden.preview()->ShownFile(), Q(DefaultAppFolder()) + "bin/home.html");
    }

    void menusToolBarAndPaletteAreTheSystems() {
        QStringList menus;
        for (QAction* menu : window_->menuBar()->actions()) {
            QStringList items;
            for (QAction* item : menu->menu()->actions()) {
                if (!item->isSeparator()) {
                    items << item->text();
                }
            }
            menus << menu->text().remove('&') + ": " + items.join(", ");
        }
        QCOMPARE(menus,
                 QStringList({
                     "File: New Project, New Page, Open Project, Open Project Page, "
                     "Recent Projects, Publish Project..., Site Settings..., Print..., Exit",
                     "Edit: Undo, Redo, Delete Project Page, Delete Selected Area, "
                     "Delete Selected "
                     "Component, Modify Selected Area, Modify Selected Component, Rename Project "
                     "Page..., Find and Replace in Site..., Shared &Parts, Preferences...",
                     "View: View Source, Show Areas, Preview Width, As Published",
                     "Tools: Page Properties, Check Site, Reopen Last Project at Start",
                     "Help: Help Contents, VORNEX Online, About...",
                 }));
        QCOMPARE(window_->findChild<QAction*>("NewPage")->shortcut(),
                 QKeySequence(QKeySequence::New));
        QCOMPARE(window_->findChild<QAction*>("Exit")->shortcut(), QKeySequence("Ctrl+Q"));
        QCOMPARE(window_->findChild<QAction*>("HelpContents")->shortcut(), QKeySequence("F1"));
        QCOMPARE(window_->findChild<QAction*>("OpenProjectPage")->toolTip(),
                 QString("Open a Page"));

        auto* palette = window_->findChild<QTabWidget*>("PageControl1");
        QStringList tabs;
        for (int i = 0; i < palette->count(); ++i) {
            tabs << palette->tabText(i);
        }
        QCOMPARE(tabs, QStringList({"Standard", "Text", "Lists", "Tables", "Frames", "Forms",
                                    "Multimedia", "PHP"}));
        // Every button is there with its hint and icon; those whose dialog is
        // not in the dialog table yet stay disabled.
        for (const PaletteButton& button : PaletteButtons()) {
            auto* tool = window_->findChild<QToolButton*>("Palette" +
                                                          QString::fromUtf8(button.dialog_class));
            QVERIFY(tool != nullptr);
            QVERIFY(!tool->icon().isNull());
            if (!button.hint.empty()) {
                QCOMPARE(tool->toolTip(), QString::fromUtf8(button.hint));
            }
            QCOMPARE(tool->isEnabledTo(palette), FindDialog(button.dialog_class) != nullptr);
        }
        QCOMPARE(window_->findChild<QAction*>("About")->isEnabled(), true);
        QCOMPARE(window_->findChild<QAction*>("NewPage")->isEnabled(),
                 FindDialog("TFormmen5") != nullptr);
    }

    void toolBarAndPanelsCarryTheSystemsTexts() {
        // The tool bar's hints, in order, with the gap between its two groups.
        QStringList hints;
        for (QAction* action : window_->findChild<QToolBar*>("ToolBar1")->actions()) {
            hints << (action->isSeparator() ? QString("|") : action->toolTip());
        }
        QCOMPARE(
            hints,
            QStringList({"Create a New Project", "Create a New Project Page", "Open a Project",
                         "Open a Page", "|", "Exit", "Delete Project Page",
                         QString("VORNEX Online (%1)").arg(QString::fromUtf8(kMakerWebSite.data())),
                         "|", "Undo (Ctrl+Z)", "Redo (Ctrl+Shift+Z)"}));

        // The bottom panels' labels and captions, blanks included.
        QStringList labels;
        for (const char* panel : {"PropertiesPanel", "SelectionPanel"}) {
            for (QLabel* label : window_->findChild<QWidget*>(panel)->findChildren<QLabel*>()) {
                if (label->objectName().isEmpty()) {
                    labels << label->text();
                }
            }
        }
        QCOMPARE(labels,
                 QStringList({"Name:", "Header:", "Size:", "Select Area:", "Select Component:"}));
        QCOMPARE(window_->findChild<QGroupBox*>("PropertiesPanel")->title(),
                 QString("Page Properties:"));
        QCOMPARE(Text("Label1"), QString("Project Pages:"));
        QCOMPARE(window_->findChild<QPushButton*>("ViewPageSource")->text(),
                 QString("  View Page Source       "));
        QStringList buttons;
        for (const char* name :
             {"ModifyArea", "DeleteArea", "ModifyComponent", "DeleteComponent"}) {
            auto* button = window_->findChild<QToolButton*>(name);
            buttons << button->text() + "|" + button->toolTip();
        }
        QCOMPARE(buttons, QStringList({"Modify    |Modify the selected area",
                                       "Delete     |Delete the selected area",
                                       "Modify    |Modify the selected component",
                                       "Delete     |Delete the selected component"}));
    }

    void guardsRefuseWithTheSystemsMessages() {
        Trigger("OpenProjectPage");
        Trigger("PageProperties");
        Trigger("DeleteProjectPage"); // no page open: nothing happens, not even a message
        QCOMPARE(prompts_->asked, QStringList({"inform: Open or Create a new project first",
                                               "inform: A page must be open!"}));
        if (FindDialog("TFormmen5") != nullptr) {
            prompts_->asked.clear();
            Trigger("NewPage");
            QCOMPARE(prompts_->asked, QStringList({"inform: Open or Create a new project first"}));
        }

        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        prompts_->asked.clear();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        auto* com1 = window_->findChild<QComboBox*>("Com1");
        window_->findChild<QWidget*>("FileListBox1")->setFocus();
        auto* image = window_->findChild<QToolButton*>("PaletteTFormb");
        if (!image->isEnabled()) {
            QSKIP("the image dialog is not in the dialog table");
        }
        image->click();
        QCOMPARE(prompts_->asked, QStringList({"inform: Your Must Select an Area!"}));
        QVERIFY(test::HasFocusInWindow(com1));
        // Any text beginning with "A" passes the guard; this one then goes on
        // to the dialog, which the test closes at once.
        com1->setEditText("Area1");
        prompts_->asked.clear();
        OnModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        image->click();
        QVERIFY(prompts_->asked.isEmpty());
    }

    void newProjectFillsThePageList() {
        QDir().mkpath(dir_->filePath("shop"));
        WriteFile(dir_->filePath("shop/b.html"), "<html></html>");
        WriteFile(dir_->filePath("shop/A.php"), "<?php ?>");
        WriteFile(dir_->filePath("shop/notes.txt"), "x");
        const QString location = dir_->path();

        QStringList seen;
        OnModal([&](QWidget* dialog) {
            auto* name = dialog->findChild<QLineEdit*>("Edit1");
            auto* where = dialog->findChild<QLineEdit*>("Edit");
            auto* browse = dialog->findChild<QToolButton*>("ToolButton1");
            auto* done = dialog->findChild<QPushButton*>("ToolButton2");
            seen << dialog->windowTitle() << name->text() << where->text();
            // Nothing typed: refused, and the dialog stays.
            done->click();
            seen << QString::number(dialog->isVisible());
            // The browser's choice gets a "/"; a cancelled browser keeps the text.
            prompts_->Queue(location);
            browse->click();
            seen << where->text();
            browse->click();
            seen << where->text();
            name->setText("shop");
            done->click();
        });
        Trigger("NewProject");
        QCOMPARE(seen, QStringList(
                           {"Create a New Project", "", "", "1", location + "/", location + "/"}));
        // The folder was there already: it has been opened, and says so.
        QCOMPARE(prompts_->asked,
                 QStringList({"error: Please enter a Project Name.", "folder: Select a folder",
                              "folder: Select a folder", "inform: Project Opened"}));
        QCOMPARE(Q(window_->workspace().project_folder), location + "/shop/");
        auto* list = window_->findChild<QListWidget*>("FileListBox1");
        QStringList pages;
        for (int i = 0; i < list->count(); ++i) {
            pages << list->item(i)->text();
        }
        QCOMPARE(pages, QStringList({"A.php", "b.html"}));

        // A folder that was not there is created.
        prompts_->asked.clear();
        OnModal([&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("Edit1")->setText("fresh");
            dialog->findChild<QLineEdit*>("Edit")->setText(location);
            dialog->findChild<QPushButton*>("ToolButton2")->click();
        });
        Trigger("NewProject");
        QCOMPARE(prompts_->asked, QStringList({"inform: Project Created"}));
        QVERIFY(QDir(location + "/fresh").exists());
    }

    void anotherProjectClosesTheOpenPageSoNoEditLandsInTheOldOne() {
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        QCOMPARE(window_->workspace().page_name, std::string("index.html"));
        const std::string before = ReadPageFile((Site() + "index.html").toStdString());
        QDir().mkpath(dir_->filePath("other"));
        prompts_->Queue(dir_->filePath("other"));
        window_->OpenProjectClick();
        QVERIFY(!window_->workspace().HasOpenPage());
        QCOMPARE(window_->findChild<QComboBox*>("Com1")->count(), 0);
        QCOMPARE(window_->findChild<QLabel*>("lblName")->text(), QString());
        // Nothing can be inserted now, so nothing lands in the old project's page.
        Combo("Com1")->setEditText("Area1");
        QVERIFY(!window_->findChild<QTabWidget*>("PageControl1")->isEnabled());
        QVERIFY(!test::PaletteButton(window_.get(), "Insert Horizontal Line")->isEnabled());
        QCOMPARE(ReadPageFile((Site() + "index.html").toStdString()), before);
    }

    void siteSettingsAreKeptForTheSiteAndABadAddressIsSaid() {
        OpenSiteProject();
        prompts_->asked.clear();
        QStringList seen;
        OnModal([&](QWidget* dialog) {
            seen << dialog->windowTitle();
            dialog->findChild<QLineEdit*>("EditSiteName")->setText("The Bakery");
            dialog->findChild<QLineEdit*>("EditAddress")->setText("bakery.example");
            dialog->findChild<QLineEdit*>("EditLanguage")->setText("de-CH");
            // The menu: other.html first, named anew; index.html hidden.
            auto* menu = dialog->findChild<QListWidget*>("ListMenu");
            seen << QString::number(menu->count());
            dialog->findChild<QComboBox*>("ComboStyle")->setCurrentText("Warm");
            seen << QString::number(
                dialog->findChild<QLabel*>("LabelStyleNote")->isVisibleTo(dialog));
            // The style's values: a pale accent is warned of as it is typed.
            auto* accent = dialog->findChild<QLineEdit*>("EditStyleAccent");
            accent->setText("#ffff66");
            seen << QString::number(
                dialog->findChild<QLabel*>("LabelStyleNote")->isVisibleTo(dialog));
            accent->setText("#7a2e0a");
            dialog->findChild<QLineEdit*>("EditStyleContentWidth")->setText("1200px");
            if (menu->count() == 2) {
                menu->item(0)->setCheckState(Qt::Unchecked);
                menu->insertItem(0, menu->takeItem(1));
                menu->item(0)->setText("Our other page");
            }
            test::Shoot(dialog, "site_settings");
            dialog->findChild<QPushButton*>("ButtonOk")->click();
            seen << QString::number(dialog->isVisible());
            dialog->findChild<QLineEdit*>("EditAddress")->setText("https://bakery.example");
            dialog->findChild<QPushButton*>("ButtonOk")->click();
        });
        Trigger("SiteSettings");
        QCOMPARE(seen, (QStringList{"Site Settings", "2", "0", "1", "1"}));
        QCOMPARE(prompts_->asked.size(), 1);
        QVERIFY(prompts_->asked[0].startsWith("error: The site's address \"bakery.example\""));
        const SiteSettings settings = ReadSiteSettings(Site().toStdString());
        QCOMPARE(settings.address, std::string("https://bakery.example/"));
        QCOMPARE(settings.language, std::string("de-CH"));
        QCOMPARE(settings.name, std::string("The Bakery"));
        QCOMPARE(settings.style, std::string("Warm"));
        QCOMPARE(settings.style_values, (std::vector<std::pair<std::string, std::string>>{
                                            {"content-width", "1200px"}, {"accent", "#7a2e0a"}}));
        QCOMPARE(SiteSettingsText(settings).substr(SiteSettingsText(settings).find("menu=")),
                 std::string("menu=other.html\tOur other page\t0\nmenu=index.html\t\t1\n"));
    }

    void openProjectCancelledChangesNothing() {
        OpenSiteProject();
        prompts_->asked.clear();
        window_->OpenProjectClick(); // no answer queued: the browser is cancelled
        QCOMPARE(prompts_->asked, QStringList({"folder: Select a folder"}));
        QCOMPARE(Q(window_->workspace().project_folder), Site());
        QCOMPARE(window_->findChild<QListWidget*>("FileListBox1")->count(), 2);
    }

    void openingFromTheListAsksFirst() {
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        QCOMPARE(prompts_->asked.takeLast(), QString("ask: Open Page?"));
        QCOMPARE(prompts_->last_ask_position, std::optional<QPoint>(QPoint(300, 200)));
        QCOMPARE(Text("lblName"), QString("index.html"));
        QCOMPARE(Text("lblHead"), QString("My Page"));
        const qint64 size = QFileInfo(Site() + "index.html").size();
        QCOMPARE(Text("lblSize"), Q(SizeText(size)));
        QCOMPARE(window_->preview()->ShownFile(), Site() + "index.html");
        QVERIFY(window_->preview()->WaitForLoaded());
        QVERIFY(window_->findChild<QTabWidget*>("PageControl1")->isEnabled());
        auto* com1 = window_->findChild<QComboBox*>("Com1");
        auto* com2 = window_->findChild<QComboBox*>("Com2");
        QCOMPARE(com1->count(), 1);
        QCOMPARE(com1->itemText(0), QString("Area1"));
        QCOMPARE(com2->itemText(0), QString("Image1"));
        QCOMPARE(com1->currentText(), QString("Select Area"));

        // No and Cancel keep the open page as it is, and marked in the list.
        auto* list = window_->findChild<QListWidget*>("FileListBox1");
        for (const auto answer : {Prompts::Answer::No, Prompts::Answer::Cancel}) {
            ClickPage("other.html", answer);
            QCOMPARE(Q(window_->workspace().page_name), QString("index.html"));
            QCOMPARE(Text("lblName"), QString("index.html"));
            QCOMPARE(com2->count(), 1);
            QCOMPARE(list->currentItem()->text(), QString("index.html"));
        }
        // Yes opens the other page; the lists' texts stay as the user left them.
        com1->setEditText("Area2");
        ClickPage("other.html", Prompts::Answer::Yes);
        QCOMPARE(Text("lblName"), QString("other.html"));
        QCOMPARE(Text("lblHead"), QString("T"));
        QCOMPARE(com1->count(), 2);
        QCOMPARE(com2->itemText(0), QString("Text String3"));
        QCOMPARE(com1->currentText(), QString("Area2"));
        QCOMPARE(window_->preview()->ShownFile(), Site() + "other.html");
    }

    // After another page is opened the lists name nothing of the page before,
    // and a command refuses an area the page lacks before its dialog opens.
    void theListsShowOnlyWhatTheOpenPageHolds() {
        OpenSiteProject();
        ClickPage("other.html", Prompts::Answer::Yes);
        Combo("Com1")->setEditText("Area2");
        Combo("Com2")->setEditText("Text String3");
        ClickPage("index.html", Prompts::Answer::Yes);
        QCOMPARE(Combo("Com1")->currentText(), QString("Select Area"));
        QCOMPARE(Combo("Com2")->currentText(), QString("Select Component"));
        QVERIFY(!Action("ModifySelectedComponent")->isEnabled());
        // What the new page holds too stays shown.
        Combo("Com1")->setEditText("Area1");
        ClickPage("other.html", Prompts::Answer::Yes);
        QCOMPARE(Combo("Com1")->currentText(), QString("Area1"));

        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        prompts_->asked.clear();
        const std::string before = ReadPageFile((Site() + "other.html").toStdString());
        QStringList opened;
        for (const char* hint :
             {"Insert Image", "Insert a Platform to add components next to each other"}) {
            Combo("Com1")->setEditText("Area3");
            window_->findChild<QWidget*>("FileListBox1")->setFocus();
            QTimer::singleShot(0, [&opened] {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    opened << dialog->objectName();
                    dialog->reject();
                }
            });
            test::PaletteButton(window_.get(), hint)->click();
            QCoreApplication::processEvents();
            QVERIFY(test::HasFocusInWindow(Combo("Com1")));
        }
        QCOMPARE(opened, QStringList());
        QCOMPARE(prompts_->asked, QStringList({"error: Area3 is not on this page",
                                               "error: Area3 is not on this page"}));
        QCOMPARE(ReadPageFile((Site() + "other.html").toStdString()), before);
    }

    // The header label shows the title as its reader sees it, cut with "…"
    // where it does not fit, and the whole of it as its tooltip.
    void headerLabelShowsTheTitleDecodedAndElided() {
        QDir().mkpath(Site());
        auto titled = [](const std::string& title) {
            std::string page = test::WorkedExamplePage();
            page.replace(page.find("My Page"), 7, title);
            return page;
        };
        const std::string long_title = "&#252;ber uns: " + std::string(200, 'x') + " end";
        WritePageFile((Site() + "index.html").toStdString(), titled("&#252;ber uns"));
        WritePageFile((Site() + "long.html").toStdString(), titled(long_title));
        prompts_->Queue(Site());
        window_->OpenProjectClick();
        ClickPage("index.html", Prompts::Answer::Yes);
        auto* label = window_->findChild<QLabel*>("lblHead");
        QCOMPARE(label->text(), QString("\u00FCber uns"));
        QCOMPARE(label->toolTip(), QString("\u00FCber uns"));

        ClickPage("long.html", Prompts::Answer::Yes);
        const QString whole = QString("\u00FCber uns: ") + QString(200, 'x') + " end";
        QCOMPARE(label->toolTip(), whole);
        QVERIFY2(label->text().endsWith(QChar(0x2026)), qPrintable(label->text()));
        QVERIFY(label->text().startsWith("\u00FCber uns: x"));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        if (const QByteArray folder = qgetenv("QF_GRAB_DIR"); !folder.isEmpty()) {
            window_->grab().save(QString(folder) + "/long_header.png");
        }
        // A wider window shows more of it.
        const int shown = label->text().size();
        window_->resize(1400, 700);
        QTRY_VERIFY(label->text().size() > shown);
        // The page keeps its title as it was written.
        QVERIFY(window_->workspace().page_header == long_title);
    }

    // Every icon drawn in code has a disabled look of its own: grey, and
    // unlike its enabled look, so a disabled button never passes for an
    // enabled one.
    // The list icons show what their lists write: the item list indents its
    // items without any mark, the bullet lists give each a bullet.
    void listIconsShowWhatTheListsWrite() {
        const auto marks = [](const QString& name) {
            const QImage image =
                ToolIcon(name).pixmap(24).toImage().convertToFormat(QImage::Format_ARGB32);
            int inked = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < 7; ++x) { // where numbers or bullets stand
                    inked += qAlpha(image.pixel(x, y)) > 40 ? 1 : 0;
                }
            }
            return inked;
        };
        QCOMPARE(marks("item-list"), 0);
        QVERIFY(marks("bullet-list") > 0);
        QVERIFY(marks("spaced-list") > 0);
        QDir().mkpath("/tmp/shots");
        ToolIcon("item-list").pixmap(96).save("/tmp/shots/icon-item-list.png");
        ToolIcon("bullet-list").pixmap(96).save("/tmp/shots/icon-bullet-list.png");
    }

    void everyIconHasAGreyedDisabledLook() {
        QList<QPair<QString, QIcon>> icons;
        for (const QString& name : ToolIconNames()) {
            icons.append({name, ToolIcon(name)});
        }
        icons.append({"product", ProductIcon()});
        QVERIFY(icons.size() > 40);
        for (const auto& [name, icon] : icons) {
            for (const int size : {16, 24}) {
                QVERIFY2(!icon.availableSizes(QIcon::Disabled).isEmpty(), qPrintable(name));
                const QImage normal = icon.pixmap(size, QIcon::Normal)
                                          .toImage()
                                          .convertToFormat(QImage::Format_ARGB32);
                const QImage disabled = icon.pixmap(size, QIcon::Disabled)
                                            .toImage()
                                            .convertToFormat(QImage::Format_ARGB32);
                QCOMPARE(disabled.size(), normal.size());
                QVERIFY2(disabled != normal, qPrintable(name));
                for (int y = 0; y < normal.height(); ++y) {
                    for (int x = 0; x < normal.width(); ++x) {
                        const QRgb on = normal.pixel(x, y);
                        const QRgb off = disabled.pixel(x, y);
                        QVERIFY2(qAlpha(off) == 0 ||
                                     (qRed(off) == qGreen(off) && qGreen(off) == qBlue(off)),
                                 qPrintable(name));
                        QVERIFY2(qAlpha(off) <= qAlpha(on), qPrintable(name));
                        // Light (faint edges aside, whose colour rounds away).
                        QVERIFY2(qAlpha(off) < 32 || qRed(off) >= 150, qPrintable(name));
                    }
                }
            }
        }
        // The tool bar's buttons show it.
        auto* button = window_->findChild<QToolButton*>("ToolButton_NewPage");
        button->setEnabled(true);
        const QImage enabled = button->grab().toImage();
        button->setEnabled(false);
        QVERIFY(button->grab().toImage() != enabled);
    }

    void sizeLabelFollowsARefresh() {
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        Workspace& workspace = window_->workspace();
        CommitPageText(workspace, workspace.page_text + std::string(3000, ' ') + "<p>more</p>");
        window_->ShowWorkspace(true);
        const qint64 size = QFileInfo(Site() + "index.html").size();
        QVERIFY(size > 3000);
        QCOMPARE(Text("lblSize"), Q(SizeText(size)));
        QVERIFY(Text("lblSize").endsWith("Kb"));
        // Text full of "<" leaves the page list's label alone (no "Alert!").
        CommitPageText(workspace, workspace.page_text + std::string(200, '<') + " a < b <");
        window_->ShowWorkspace(true);
        QCOMPARE(Text("Label1"), QString("Project Pages:"));
        QCOMPARE(Text("lblSize"), Q(SizeText(QFileInfo(Site() + "index.html").size())));
    }

    // Whoever changes the page, the size shown is the file's at once: a
    // change made while a dialog is still open (and then cancelled), undo,
    // redo, and a change by another program, reloaded.
    void sizeLabelFollowsEveryChangeOfThePage() {
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        Workspace& workspace = window_->workspace();
        const QString file = Site() + "index.html";
        auto shows_file = [&] { return Text("lblSize") == Q(SizeText(QFileInfo(file).size())); };
        const QString opened = Text("lblSize");
        QString while_open;
        OnModal([&](QWidget* dialog) {
            CommitPageText(workspace, workspace.page_text + std::string(1000, ' ') + "<p>x</p>");
            while_open = Text("lblSize");
            static_cast<QDialog*>(dialog)->reject();
        });
        window_->PagePropertiesClick();
        QVERIFY(while_open != opened);
        QCOMPARE(while_open, Q(SizeText(QFileInfo(file).size())));
        QVERIFY(shows_file());

        window_->UndoClick();
        QCOMPARE(Text("lblSize"), opened);
        QVERIFY(shows_file());
        window_->RedoClick();
        QCOMPARE(Text("lblSize"), while_open);

        WritePageFile(file.toStdString(), workspace.page_text + std::string(3000, ' '));
        window_->CheckPageOnDisk();
        QVERIFY(Text("lblSize") != while_open);
        QVERIFY(shows_file());
    }

    void aDialogsChangeShowsEverywhere() {
        if (FindDialog("TFormd") == nullptr) {
            QSKIP("the rollover dialog is not in the dialog table");
        }
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        const QString size_before = Text("lblSize");
        window_->findChild<QComboBox*>("Com1")->setEditText("Area1");
        window_->findChild<QComboBox*>("Com2")->setEditText("Image1");
        auto* rollover = window_->findChild<QToolButton*>("PaletteTFormd");
        QVERIFY(rollover->isEnabled());
        OnModal([](QWidget* dialog) { dialog->findChild<QPushButton*>("ToolButton3")->click(); });
        rollover->click();
        QVERIFY2(!prompts_->asked.join('\n').contains("error:"),
                 qPrintable(prompts_->asked.join('\n')));
        // The lists, the size and the preview follow the page; the texts stay.
        auto* com2 = window_->findChild<QComboBox*>("Com2");
        QCOMPARE(com2->count(), 2);
        QCOMPARE(com2->itemText(1), QString("Rollover Image1"));
        QCOMPARE(com2->currentText(), QString("Image1"));
        QCOMPARE(window_->findChild<QComboBox*>("Com1")->currentText(), QString("Area1"));
        QVERIFY(Text("lblSize") != size_before);
        QCOMPARE(Text("lblSize"), Q(SizeText(QFileInfo(Site() + "index.html").size())));
        QCOMPARE(window_->preview()->ShownFile(), Site() + "index.html");
        // One rollover a page: the button waits for a page without one.
        QVERIFY(!rollover->isEnabled());
        ClickPage("other.html", Prompts::Answer::Yes);
        QVERIFY(rollover->isEnabled());
    }

    void deletingTheOpenPageClosesIt() {
        QDir().mkpath(Site());
        WritePageFile(
            (Site() + "menu.html").toStdString(),
            test::PageWith(
                "<!---Table1---!><!---Text_Link1---!>",
                test::TableArea(1, test::Block("Text_Link1", "<a href=\"index.html\">i</a>"))));
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        prompts_->asked.clear();
        // Asked first, naming the pages that link to it: No keeps the page
        // open and its file where it is.
        Trigger("DeleteProjectPage");
        QCOMPARE(prompts_->asked,
                 QStringList({"ask: Move index.html to the Trash?\n\nThese pages link to it, and "
                              "their links will lead nowhere: menu.html"}));
        QVERIFY(QFile::exists(Site() + "index.html"));
        QCOMPARE(Q(window_->workspace().page_name), QString("index.html"));
        prompts_->Queue(Prompts::Answer::Yes);
        Trigger("DeleteProjectPage");
        QCOMPARE(window_->statusBar()->currentMessage(), QString("index.html is in the Trash"));
        QVERIFY(!QFile::exists(Site() + "index.html"));
        QVERIFY(QFile::exists(data_home_.filePath("Trash/files/index.html")));
        QCOMPARE(PageItem("index.html"), nullptr);
        QVERIFY(PageItem("other.html") != nullptr);
        QCOMPARE(window_->preview()->ShownFile(),
                 Q(window_->workspace().app_folder) + "bin/blank.html");
        // Nothing edits the page until one is opened: no palette, no Modify
        // or Delete, no rename; Page Properties says why; no file comes back.
        QCOMPARE(Text("lblName"), QString());
        QVERIFY(!window_->findChild<QTabWidget*>("PageControl1")->isEnabled());
        for (const char* action : {"ModifySelectedArea", "DeleteSelectedComponent",
                                   "ModifySelectedComponent", "RenameProjectPage"}) {
            QVERIFY2(!window_->findChild<QAction*>(action)->isEnabled(), action);
        }
        window_->findChild<QComboBox*>("Com1")->setEditText("Area1");
        Trigger("PageProperties");
        QCOMPARE(prompts_->asked.last(), QString("inform: A page must be open!"));
        Trigger("DeleteProjectPage");
        QVERIFY(!QFile::exists(Site() + "index.html"));
        // Deleting the trashed page's namesake is not possible: no page is open.
        QVERIFY(QFile::exists(Site() + "other.html"));
    }

    // Rename: the pages that link to it are named first; a refused name
    // brings the dialog back; then the file and every link follow.
    void renamingThePageKeepsItOpenAndItsLinks() {
        QDir().mkpath(Site());
        WritePageFile(
            (Site() + "menu.html").toStdString(),
            test::PageWith(
                "<!---Table1---!><!---Text_Link1---!>",
                test::TableArea(1, test::Block("Text_Link1", "<a href=\"other.html\">o</a>"))));
        OpenSiteProject();
        prompts_->asked.clear();
        ClickPage("other.html", Prompts::Answer::Yes);
        QStringList shown;
        OnModal([&shown](QWidget* dialog) {
            shown << dialog->findChild<QLabel*>("LabelLinkingPages")->text();
            test::Shoot(dialog, "rename_page");
            test::Type(dialog, "EditNewName", "menu"); // taken
            test::Click(dialog, "ButtonRename");
            // The dialog is hidden now; this waits for it to come back.
            OnModal([](QWidget* again) {
                test::Type(again, "EditNewName", "Opening Hours");
                test::Click(again, "ButtonRename");
            });
        });
        Trigger("RenameProjectPage");
        QCOMPARE(shown, QStringList{"The links to it on 1 page will follow: menu.html"});
        QVERIFY2(prompts_->asked.last().contains("already has a page \"menu.html\""),
                 qPrintable(prompts_->asked.join("|")));
        QVERIFY(!QFile::exists(Site() + "other.html"));
        QCOMPARE(Text("lblName"), QString("Opening Hours.html"));
        QVERIFY(PageItem("Opening Hours.html") != nullptr);
        QVERIFY(ReadPageFile((Site() + "menu.html").toStdString())
                    .find("href=\"Opening%20Hours.html\"") != std::string::npos);
        QCOMPARE(window_->preview()->ShownFile(), Site() + "Opening Hours.html");
    }

    // Find and Replace in Site: the matches of every page listed, the
    // checked ones replaced, and one Undo takes them back on every page.
    void replacingInSiteChangesTheCheckedMatchesAndUndoesAsOne() {
        QDir().mkpath(Site());
        const auto text_page = [](const std::string& text) {
            return test::PageWith(
                "<!---Table1---!><!---Text1---!>",
                test::TableArea(
                    1, test::Block("Text1", BuildComponentBody("Text", {{"text", text}}))));
        };
        WritePageFile((Site() + "index.html").toStdString(), text_page("Acme and Acme"));
        WritePageFile((Site() + "other.html").toStdString(), text_page("Acme"));
        prompts_->Queue(Site());
        window_->OpenProjectClick();
        ClickPage("index.html", Prompts::Answer::Yes);
        int listed = 0;
        OnModal([&listed](QWidget* dialog) {
            test::Type(dialog, "EditFind", "acme");
            test::Click(dialog, "ButtonFindAll");
            auto* list = dialog->findChild<QTreeWidget*>("ListMatches");
            listed = list->topLevelItemCount();
            if (listed == 3) {
                list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
            }
            test::Type(dialog, "EditReplace", "Zed");
            test::Shoot(dialog, "replace_in_site");
            test::Click(dialog, "ButtonReplace");
        });
        Trigger("FindReplaceInSite");
        QCOMPARE(listed, 3);
        const auto shown = [this](const char* page) {
            return ReadComponent(ReadPageFile((Site() + page).toStdString()), "Text String1")
                .Values()
                .at("text");
        };
        QCOMPARE(shown("index.html"), std::string("Zed and Acme"));
        QCOMPARE(shown("other.html"), std::string("Zed"));
        QVERIFY(window_->workspace().page_text.find(">Zed and Acme<") != std::string::npos);
        Trigger("Undo");
        QCOMPARE(shown("index.html"), std::string("Acme and Acme"));
        QCOMPARE(shown("other.html"), std::string("Acme"));
    }

    // Share on Other Pages and Place Shared Part: a component of one page
    // shown on another, named once.
    void sharingAComponentAndPlacingItOnAnotherPage() {
        QDir().mkpath(Site());
        const std::string page = test::PageWith(
            "<!---Table1---!><!---Text1---!>",
            test::TableArea(1,
                            test::Block("Text1", BuildComponentBody("Text", {{"text", "(c)"}}))));
        WritePageFile((Site() + "index.html").toStdString(), page);
        WritePageFile((Site() + "other.html").toStdString(),
                      test::PageWith("<!---Table1---!>", test::TableArea(1)));
        prompts_->Queue(Site());
        window_->OpenProjectClick();
        ClickPage("index.html", Prompts::Answer::Yes);
        window_->findChild<QComboBox*>("Com2")->setEditText("Text String1");
        OnModal([](QWidget* dialog) {
            test::Type(dialog, "EditPartName", "Foot/er"); // refused
            test::Shoot(dialog, "share_component");
            test::Click(dialog, "ButtonShare");
            OnModal([](QWidget* again) {
                test::Type(again, "EditPartName", "Footer");
                test::Click(again, "ButtonShare");
            });
        });
        Trigger("ShareComponent");
        QVERIFY2(prompts_->asked.last().contains("letters (a to z)"),
                 qPrintable(prompts_->asked.join("|")));
        ClickPage("other.html", Prompts::Answer::Yes);
        window_->findChild<QComboBox*>("Com1")->setEditText("Area1");
        QString pages;
        OnModal([&pages](QWidget* dialog) {
            pages = dialog->findChild<QLabel*>("LabelSharingPages")->text();
            test::Shoot(dialog, "place_shared_part");
            test::Click(dialog, "ButtonPlace");
        });
        Trigger("PlaceSharedPart");
        QCOMPARE(pages, QString("Shown on: index.html"));
        QCOMPARE(PagesSharing(Site().toStdString(), "Footer"),
                 (std::vector<std::string>{"index.html", "other.html"}));
        QCOMPARE(window_->findChild<QComboBox*>("Com2")->findText("Text String1") >= 0, true);
        // The site menu, and a new page it follows at once.
        window_->findChild<QComboBox*>("Com1")->setEditText("Area1");
        Trigger("InsertSiteMenu");
        QVERIFY2(window_->findChild<QComboBox*>("Com2")->findText("Bullet Item List1") >= 0,
                 qPrintable(prompts_->asked.join("|")));
        WritePageFile((Site() + "zebra.html").toStdString(),
                      test::PageWith("<!---Table1---!>", test::TableArea(1)));
        window_->FollowSiteMenu();
        QVERIFY(window_->workspace().page_text.find("<a href=\"zebra.html\">") !=
                std::string::npos);
    }

    // The editing view shows the project's pages in the site style, as the
    // published site does.
    void theEditingPreviewShowsTheSiteStyle() {
        QDir().mkpath(Site());
        SiteSettings settings;
        settings.style = "Warm";
        WriteSiteSettings(Site().toStdString(), settings);
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        QVERIFY(window_->preview()->WaitForLoaded());
        const QString accent = window_->preview()->EvaluateText(
            "getComputedStyle(document.documentElement).getPropertyValue('--q-accent')", 30000);
        QCOMPARE(accent.trimmed(), QString::fromStdString(StyleWith("Warm", {}).accent));
    }

    void withoutATrashDeletingAsksFirst() {
        OpenSiteProject();
        // A data home that cannot hold a trash folder.
        const QString blocker = dir_->filePath("blocker");
        WriteFile(blocker, "x");
        const EnvironmentRestorer restore("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", blocker.toUtf8());
        ClickPage("index.html", Prompts::Answer::Yes);
        prompts_->asked.clear();
        prompts_->Queue(Prompts::Answer::Yes);
        Trigger("DeleteProjectPage"); // No to deleting for good: nothing changes
        QCOMPARE(prompts_->asked, QStringList({"ask: Move index.html to the Trash?",
                                               "ask: Delete the page index.html?"}));
        QVERIFY(QFile::exists(Site() + "index.html"));
        QCOMPARE(Q(window_->workspace().page_name), QString("index.html"));
        QCOMPARE(window_->preview()->ShownFile(), Site() + "index.html");

        prompts_->Queue(Prompts::Answer::Yes);
        prompts_->Queue(Prompts::Answer::Yes);
        Trigger("DeleteProjectPage");
        QVERIFY(!QFile::exists(Site() + "index.html"));
        QCOMPARE(window_->statusBar()->currentMessage(),
                 QString("index.html was deleted (there is no Trash for it)"));
        QCOMPARE(PageItem("index.html"), nullptr);
        QCOMPARE(Q(window_->workspace().page_name), QString());
        QCOMPARE(window_->preview()->ShownFile(),
                 Q(window_->workspace().app_folder) + "bin/blank.html");
    }

    void viewSourceShowsACopyOfThePageText() {
        QString before_any_page = "unset";
        OnModal([&](QWidget* dialog) {
            before_any_page = dialog->findChild<QPlainTextEdit*>("Memo1")->toPlainText();
            dialog->findChild<QPushButton*>("Button1")->click();
        });
        Trigger("ViewSource");
        QCOMPARE(before_any_page, QString());

        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        QString shown;
        OnModal([&](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("View Page Source"));
            auto* memo = dialog->findChild<QPlainTextEdit*>("Memo1");
            shown = memo->toPlainText();
            // What is typed would be discarded, so nothing can be typed.
            QVERIFY(memo->isReadOnly());
            memo->setFocus();
            QTest::keyClicks(memo, "typed over");
            QTest::keyClick(memo, Qt::Key_Delete);
            QCOMPARE(memo->toPlainText(), shown);
            memo->setPlainText("typed over");
            dialog->findChild<QPushButton*>("Button1")->click();
        });
        window_->findChild<QPushButton*>("ViewPageSource")->click();
        // One tag or marker a line; the lines join back to the page text.
        QVERIFY(shown.contains("\n<!---Begin_Image1---!>\n"));
        QCOMPARE(shown.remove('\n'), Q(test::WorkedExamplePage()));
        QCOMPARE(window_->workspace().page_text, test::WorkedExamplePage());
        QCOMPARE(QByteArray::fromStdString(ReadPageFile((Site() + "index.html").toStdString())),
                 QByteArray::fromStdString(test::WorkedExamplePage()));
    }

    // Find finds a word as the page reads, also where it is written as
    // character references, and selects it as written.
    void viewSourceFindsWhatThePageReads() {
        TFormt dialog(test::PageWith("<!---Text1---!>") + "<p>Z&#252;rich</p><p>Z&uuml;rich</p>");
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* memo = dialog.findChild<QPlainTextEdit*>("Memo1");
        dialog.ShowFind();
        auto* find = dialog.findChild<QLineEdit*>("FindEdit");
        find->setText(QString::fromUtf8("Zürich"));
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(memo->textCursor().selectedText(), QString("Z&#252;rich"));
        const int first = memo->textCursor().selectionStart();
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(memo->textCursor().selectedText(), QString("Z&uuml;rich"));
        QTest::keyClick(find, Qt::Key_Return); // round the end
        QCOMPARE(memo->textCursor().selectionStart(), first);
        dialog.FindPrevious(); // and back round the start
        QCOMPARE(memo->textCursor().selectedText(), QString("Z&uuml;rich"));
        QCOMPARE(dialog.findChild<QLabel*>("FindResult")->text(), QString());
        find->setText("Basel");
        QTest::keyClick(find, Qt::Key_Return);
        QCOMPARE(dialog.findChild<QLabel*>("FindResult")->text(), QString("Not found"));
        QCOMPARE(memo->textCursor().selectedText(), QString("Z&uuml;rich"));
    }

    void aboutBoxShowsTheSystemsLines() {
        TForm90 fresh;
        QCOMPARE(fresh.findChild<QLabel*>("OS")->text(), QString("OS"));
        QCOMPARE(fresh.findChild<QLabel*>("PhysMem")->text(), QString("PhysMem"));

        QStringList lines;
        OnModal([&](QWidget* dialog) {
            lines << dialog->windowTitle();
            for (const char* name : {"Label5", "Label1", "OS", "Label2", "PhysMem"}) {
                lines << dialog->findChild<QLabel*>(name)->text();
            }
            lines << QString::number(dialog->findChild<QLabel*>("Image1")->pixmap().width());
            dialog->findChild<QPushButton*>("Button1")->click();
        });
        Trigger("About");
        QCOMPARE(lines,
                 QStringList({"About", QString("Quenfort Website Developer v%1").arg(kVersion),
                              "Operating System:", Q(OsLine(CurrentOsVersion())),
                              " Physical Memory:", Q(CurrentMemoryLine()), "57"}));
        QVERIFY(lines[5].endsWith(" KB"));
    }

    void aPageFromOutsideTheProjectKeepsItsOwnPath() {
        OpenSiteProject();
        const QString outside = dir_->filePath("elsewhere/away.html");
        QDir().mkpath(dir_->filePath("elsewhere"));
        WritePageFile(outside.toStdString(), test::WorkedExamplePage());
        WriteFile(Site() + "away.html", "<html>the project's own away.html</html>");

        prompts_->asked.clear();
        Trigger("OpenProjectPage"); // cancelled: nothing changes
        QCOMPARE(prompts_->asked, QStringList{"open-file: Open a Page"});
        QCOMPARE(prompts_->last_folder, Site());
        QCOMPARE(prompts_->last_filter, QString("Web page (HTML) (*.html *.htm)"));
        QCOMPARE(Q(window_->workspace().page_name), QString());

        prompts_->Queue(outside);
        Trigger("OpenProjectPage");
        QCOMPARE(Text("lblName"), QString("away.html"));
        QCOMPARE(window_->preview()->ShownFile(), outside);
        Workspace& workspace = window_->workspace();
        CommitPageText(workspace, workspace.page_text + "<p>added</p>");
        window_->ShowWorkspace(true);
        QCOMPARE(window_->preview()->ShownFile(), outside);
        QVERIFY(ReadPageFile(outside.toStdString()).ends_with("<p>added</p>"));

        prompts_->Queue(Prompts::Answer::Yes);
        Trigger("DeleteProjectPage");
        QVERIFY(!QFile::exists(outside));
        QVERIFY(QFile::exists(Site() + "away.html"));
        QVERIFY(PageItem("away.html") != nullptr);
    }

    void printPrintsThePreviewOnTheChosenPrinter() {
        prompts_.reset();
        auto pdf_prompts = std::make_unique<PdfPrompts>();
        pdf_prompts->pdf_path = dir_->filePath("printed.pdf");
        OpenSiteProject_With(pdf_prompts.get());
        // Cancelled: nothing is printed.
        Trigger("Print");
        QVERIFY(!QFile::exists(pdf_prompts->pdf_path));
        pdf_prompts->Queue(true);
        Trigger("Print");
        QFile pdf(pdf_prompts->pdf_path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.size() > 500);
        QVERIFY(pdf.read(5) == "%PDF-");
        QVERIFY(!pdf_prompts->asked.join('\n').contains("error:"));
    }

    void webSiteAndHelpCommands() {
        auto* button = window_->findChild<QToolButton*>("ToolButton_VornexOnline");
        QVERIFY(button != nullptr);
        QCOMPARE(button->toolTip(),
                 QString("VORNEX Online (%1)").arg(QString::fromUtf8(kMakerWebSite.data())));
        button->click();
        QCOMPARE(prompts_->asked.last(), "open-url: " + QString::fromUtf8(kMakerWebSite.data()));
        Trigger("HelpContents");
        QCOMPARE(window_->preview()->ShownFile(),
                 Q(window_->workspace().app_folder) + "bin/help.html");
        QVERIFY(window_->preview()->VisibleText().contains("Select Area"));
    }

    void fileErrorsNameTheFileAndChangeNothing() {
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        QVERIFY(QFile::remove(Site() + "other.html")); // gone behind the list's back
        prompts_->asked.clear();
        ClickPage("other.html", Prompts::Answer::Yes);
        QCOMPARE(prompts_->asked,
                 QStringList({"ask: Open Page?", "error: Cannot open file \"" + Site() +
                                                     "other.html\". No such file or directory"}));
        QCOMPARE(Q(window_->workspace().page_name), QString("index.html"));
        QCOMPARE(Text("lblName"), QString("index.html"));
        QCOMPARE(window_->preview()->ShownFile(), Site() + "index.html");
    }

    void pictureDialogPreviewsTheHighlightedPicture() {
        QTemporaryDir folder;
        QImage wide(400, 100, QImage::Format_RGB32);
        wide.fill(Qt::darkCyan);
        QVERIFY(wide.save(folder.filePath("wide.png")));
        QImage small(30, 20, QImage::Format_RGB32);
        small.fill(Qt::red);
        QVERIFY(small.save(folder.filePath("small.bmp")));
        WriteFile(folder.filePath("notes.txt"), "plain text, no picture");
        WriteFile(folder.filePath("fake.png"), "a text file named like a picture");

        // A large picture is shrunk to fit, keeping its proportions; a small
        // one is not enlarged. Both give their own size.
        PicturePreview preview;
        preview.ShowFile(folder.filePath("wide.png"));
        QCOMPARE(preview.Picture()->pixmap().size(), QSize(200, 50));
        QCOMPARE(preview.Picture()->pixmap().toImage().pixelColor(100, 25), QColor(Qt::darkCyan));
        QCOMPARE(preview.PixelSize()->text(), QString("400 x 100 pixels"));
        preview.ShowFile(folder.filePath("small.bmp"));
        QCOMPARE(preview.Picture()->pixmap().size(), QSize(30, 20));
        QCOMPARE(preview.PixelSize()->text(), QString("30 x 20 pixels"));
        // What is not a readable picture, whatever its name, shows no picture
        // and no size left over from the one before.
        for (const QString& path : {folder.filePath("notes.txt"), folder.filePath("fake.png"),
                                    folder.path(), folder.filePath("missing.png"), QString()}) {
            preview.ShowFile(folder.filePath("wide.png"));
            preview.ShowFile(path);
            QVERIFY2(preview.Picture()->pixmap().isNull(), qPrintable(path));
            QCOMPARE(preview.Picture()->text(), QString("No preview"));
            QCOMPARE(preview.PixelSize()->text(), QString());
        }

        // The dialog, shown without a modal loop: its preview follows the
        // highlighted file.
        std::unique_ptr<QFileDialog> dialog(
            NewPictureDialog(nullptr, "Open", folder.path(), "Pictures (*.png *.bmp)"));
        QCOMPARE(dialog->windowTitle(), QString("Open"));
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        auto* shown = dialog->findChild<PicturePreview*>();
        QVERIFY(shown != nullptr);
        QCOMPARE(shown->Picture()->text(), QString("No preview"));
        dialog->show();
        auto* files = dialog->findChild<QFileSystemModel*>();
        QVERIFY(files != nullptr);
        QTRY_COMPARE(files->rowCount(files->index(folder.path())), 3); // no notes.txt
        auto* list = dialog->findChild<QListView*>("listView");
        QVERIFY(list != nullptr);
        const auto highlight = [&](const QString& name) {
            const QModelIndex index = files->index(folder.filePath(name));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(index).center());
        };
        highlight("wide.png");
        QTRY_COMPARE(shown->PixelSize()->text(), QString("400 x 100 pixels"));
        QVERIFY(shown->isVisible());
        test::Shoot(dialog.get(), "open_picture_dialog");
        highlight("fake.png");
        QTRY_COMPARE(shown->Picture()->text(), QString("No preview"));
        dialog->close();
    }

    void grabForALook() {
        const QByteArray folder = qgetenv("QF_GRAB_DIR");
        if (folder.isEmpty()) {
            QSKIP("set QF_GRAB_DIR to save pictures of the windows");
        }
        window_->preview()->WaitForLoaded();
        QTest::qWait(300);
        window_->grab().save(QString(folder) + "/start.png");
        Trigger("HelpContents");
        window_->preview()->WaitForLoaded();
        QTest::qWait(300);
        window_->grab().save(QString(folder) + "/help.png");
        OpenSiteProject();
        ClickPage("index.html", Prompts::Answer::Yes);
        window_->preview()->WaitForLoaded();
        QTest::qWait(300);
        window_->grab().save(QString(folder) + "/main_window.png");
        window_->resize(1100, 760);
        QTest::qWait(300);
        window_->grab().save(QString(folder) + "/main_window_large.png");
        window_->resize(720, 480);
        QTest::qWait(300);
        window_->grab().save(QString(folder) + "/main_window_small.png");
        QCOMPARE(window_->minimumSize(), QSize(720, 480));
        for (const char* action : {"NewProject", "About", "ViewSource"}) {
            OnModal([folder, action](QWidget* dialog) {
                QTest::qWait(100);
                dialog->grab().save(QString(folder) + "/" + action + ".png");
                static_cast<QDialog*>(dialog)->reject();
            });
            Trigger(action);
        }
    }

    void undoAndRedoAreNamedEnabledAndOnTheirKeys() {
        QVERIFY(!Action("Undo")->isEnabled());
        QVERIFY(!Action("Redo")->isEnabled());
        QCOMPARE(Action("Undo")->shortcuts(), QList<QKeySequence>({QKeySequence::Undo}));
        QCOMPARE(Action("Redo")->shortcuts(),
                 QList<QKeySequence>({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
        auto* undo_button = window_->findChild<QToolButton*>("ToolButton_Undo");
        QVERIFY(undo_button != nullptr && !undo_button->icon().isNull());

        OpenIndexPage();
        const std::string original = ReadPageFile(IndexPath());
        QVERIFY(!Action("Undo")->isEnabled());
        InsertLineThroughTheDialog();
        QVERIFY2(prompts_->asked.isEmpty(), qPrintable(prompts_->asked.join('\n')));
        const std::string inserted = ReadPageFile(IndexPath());
        QVERIFY(inserted != original);
        QCOMPARE(Action("Undo")->text(), QString("Undo Insert Horizontal Line1"));
        QCOMPARE(Action("Undo")->toolTip(), QString("Undo Insert Horizontal Line1 (Ctrl+Z)"));
        QVERIFY(Action("Undo")->isEnabled());
        QVERIFY(undo_button->isEnabled());
        QVERIFY(!Action("Redo")->isEnabled());
        QCOMPARE(Action("Redo")->text(), QString("Redo"));

        Keys(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(ReadPageFile(IndexPath()), original);
        QCOMPARE(ComboEntries("Com2"), QStringList({"Image1"}));
        QVERIFY(!Action("Undo")->isEnabled());
        QCOMPARE(Action("Redo")->text(), QString("Redo Insert Horizontal Line1"));
        QCOMPARE(window_->statusBar()->currentMessage(),
                 QString("Undone: Insert Horizontal Line1"));

        Keys(Qt::CTRL | Qt::Key_Y);
        QCOMPARE(ReadPageFile(IndexPath()), inserted);
        QCOMPARE(ComboEntries("Com2"), QStringList({"Image1", "Horizontal Line1"}));
        Keys(Qt::CTRL | Qt::Key_Z);
        Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(ReadPageFile(IndexPath()), inserted);
        QVERIFY(window_->preview()->ShownFile().endsWith("index.html"));

        // Another page has its own history; coming back finds this one's.
        prompts_->Queue(Prompts::Answer::Yes);
        window_->FileListBox1Click(window_->findChild<QListWidget*>("FileListBox1")->item(1));
        QCOMPARE(Q(window_->workspace().page_name), QString("other.html"));
        QVERIFY(!Action("Undo")->isEnabled());
        prompts_->Queue(Prompts::Answer::Yes);
        window_->FileListBox1Click(window_->findChild<QListWidget*>("FileListBox1")->item(0));
        QCOMPARE(Action("Undo")->text(), QString("Undo Insert Horizontal Line1"));
    }

    // The keys reach the page's steps also from the lists' own text fields,
    // which then keep what was typed into them.
    void undoAndRedoKeysWorkFromTheSelectionLists() {
        OpenIndexPage();
        const std::string original = ReadPageFile(IndexPath());
        InsertLineThroughTheDialog();
        const std::string inserted = ReadPageFile(IndexPath());
        QVERIFY(inserted != original);
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        for (const char* name : {"Com1", "Com2"}) {
            QComboBox* combo = Combo(name);
            combo->setFocus();
            combo->lineEdit()->end(false);
            QTest::keyClicks(combo, "x"); // the field's own undo would take this back
            const QString typed = combo->currentText();
            QVERIFY(typed.endsWith('x'));
            QTest::keyClick(combo, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(ReadPageFile(IndexPath()), original);
            QCOMPARE(combo->currentText(), typed);
            // Nothing left to undo: the key still leaves the typed text alone.
            QTest::keyClick(combo, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(combo->currentText(), typed);
            QTest::keyClick(combo, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(ReadPageFile(IndexPath()), inserted);
            QTest::keyClick(combo, Qt::Key_Z, Qt::ControlModifier);
            QTest::keyClick(combo, Qt::Key_Y, Qt::ControlModifier);
            QCOMPARE(ReadPageFile(IndexPath()), inserted);
            QCOMPARE(combo->currentText(), typed);
        }
        QVERIFY2(prompts_->asked.isEmpty(), qPrintable(prompts_->asked.join('\n')));
    }

    void undoAfterADeletionBringsTheComponentBack() {
        OpenIndexPage();
        const std::string original = window_->workspace().page_text;
        // The component deletion: block and declaration gone, entry removed.
        std::string text = original;
        const BlockPosition block = FindBlock(text, "Image1");
        text.erase(block.begin, block.block_end - block.begin);
        RemoveDeclaration(text, "Image1");
        CommitPageText(window_->workspace(), text);
        window_->workspace().component_list.Remove("Image1");
        window_->ShowWorkspace(true);
        QCOMPARE(ComboEntries("Com2"), QStringList());
        QCOMPARE(Action("Undo")->text(), QString("Undo Delete Image1"));

        Action("Undo")->trigger();
        QCOMPARE(ReadPageFile(IndexPath()), original);
        QCOMPARE(ComboEntries("Com2"), QStringList({"Image1"}));
        QCOMPARE(ComboEntries("Com1"), QStringList({"Area1"}));
        QCOMPARE(Action("Redo")->text(), QString("Redo Delete Image1"));
        QVERIFY(prompts_->asked.isEmpty());
    }

    void aPageChangedBehindAnInsertionIsAskedAbout() {
        OpenIndexPage();
        const std::string theirs = test::WorkedExamplePage() + "<p>theirs</p>";
        // Written while a dialog is open, so the watcher leaves it to the OK.
        const QString question = "choose: index.html was changed by another program. Reload it "
                                 "(your last change is not applied), or overwrite it? "
                                 "[Reload|Overwrite|Cancel]";
        QStringList seen;
        Combo("Com1")->setEditText("Area1");
        OnModal([&](QWidget* dialog) {
            WritePageFile(IndexPath(), theirs);
            prompts_->Queue(QString("Cancel"));
            test::Click(dialog, "ToolButton2");
            seen << QString::number(dialog->isVisible()) << Q(ReadPageFile(IndexPath()));
            prompts_->Queue(QString("Reload"));
            test::Click(dialog, "ToolButton2");
            seen << QString::number(dialog->isVisible()) << Q(window_->workspace().page_text);
            static_cast<QDialog*>(dialog)->reject();
        });
        test::PaletteButton(window_.get(), "Insert Horizontal Line")->click();
        QCOMPARE(prompts_->asked, QStringList({question, question}));
        QCOMPARE(seen, QStringList({"1", Q(theirs), "1", Q(theirs)}));
        QTRY_COMPARE(window_->statusBar()->currentMessage(),
                     QString("index.html was reloaded from disk"));
        QVERIFY(!Action("Undo")->isEnabled());

        // Overwrite writes the insertion over the other program's page.
        prompts_->asked.clear();
        WritePageFile(IndexPath(), theirs + "<p>again</p>");
        window_->workspace().area_list.text = "Area1";
        prompts_->Queue(QString("Overwrite"));
        InsertLineThroughTheDialog();
        QCOMPARE(prompts_->asked, QStringList({question}));
        const std::string now = ReadPageFile(IndexPath());
        QVERIFY(now.find("again") == std::string::npos);
        QVERIFY(now.find("Begin_Hr1") != std::string::npos);
    }

    void aPageChangedWhileIdleIsReloadedAndADeletedOneClosed() {
        OpenIndexPage();
        QFile file(Q(IndexPath()));
        QVERIFY(file.open(QIODevice::Append));
        file.write("<p>appended</p>\r\n");
        file.close();
        QTRY_VERIFY_WITH_TIMEOUT(window_->workspace().page_text.ends_with("<p>appended</p>"), 1000);
        QCOMPARE(window_->statusBar()->currentMessage(),
                 QString("index.html was changed by another program and has been reloaded"));
        QVERIFY(prompts_->asked.isEmpty());

        // The editor's own writes are not taken for another program's.
        InsertLineThroughTheDialog();
        window_->statusBar()->clearMessage();
        QTest::qWait(400);
        QVERIFY(window_->statusBar()->currentMessage().isEmpty());
        QCOMPARE(Action("Undo")->text(), QString("Undo Insert Horizontal Line1"));

        QVERIFY(QFile::rename(Q(IndexPath()), Site() + "renamed.html"));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->workspace().HasOpenPage(), 1000);
        QCOMPARE(prompts_->asked,
                 QStringList({"inform: index.html was deleted or renamed by another program. The "
                              "page has been closed."}));
        QVERIFY(window_->preview()->ShownFile().endsWith("bin/blank.html"));
        QVERIFY(!Action("Undo")->isEnabled());
        QVERIFY(!QFile::exists(Q(IndexPath())));
    }

private:
    void OpenSiteProject_With(test::ScriptedPrompts* prompts) {
        QDir().mkpath(Site());
        WritePageFile((Site() + "index.html").toStdString(), test::WorkedExamplePage());
        prompts->Queue(Site());
        window_->OpenProjectClick();
        prompts->Queue(Prompts::Answer::Yes);
        window_->FileListBox1Click(PageItem("index.html"));
        QCOMPARE(Q(window_->workspace().page_name), QString("index.html"));
        QVERIFY(window_->preview()->WaitForLoaded());
    }
};

} // namespace qf

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    qf::MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
