// The table, frame and multimedia dialogs, filled through their control
// names: each writes the core's bytes for the values it gathered, the custom
// table chooser steps as the core's chooser does, and the background sound
// lands before the declaration block whatever area is selected.

#include "app/dialog_table.h"
#include "app/main_window.h"
#include "components/component_fields.h"
#include "components/custom_table_dialog.h"
#include "components/custom_tables.h"
#include "components/data_table_dialog.h"
#include "components/frame_dialog.h"
#include "components/insertion.h"
#include "components/media_dialogs.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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
using test::Shoot;
using test::Type;
// "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>".
using test::Block;

} // namespace

class TableMediaDialogsTest : public test::GuiTest {
    Q_OBJECT

private:
    Workspace workspace_;

    std::string PageOnDisk() const { return ReadPageFile(workspace_.page_path); }

    void Confirm(QDialog& dialog, const char* ok_name) {
        Click(&dialog, ok_name);
        QVERIFY2(dialog.result() == QDialog::Accepted, qPrintable(prompts_->asked.join(" | ")));
    }
    // Expects the page to hold `body` as the last component of area 1.
    void ExpectInArea1(const std::string& name, const std::string& body) {

        QVERIFY2(PageOnDisk().find(Block(name, body) + "</td></table><!---End_Table1---!>") !=
                     std::string::npos,
                 PageOnDisk().c_str());
    }
    // A file outside the project, as the user browses it.
    QString Outside(const QString& name) const {
        QDir(dir_->path()).mkpath("elsewhere");
        QFile file(dir_->filePath("elsewhere/" + name));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(name.toUtf8());
        }
        return file.fileName();
    }
    QByteArray InProject(const QString& relative) const {
        QFile file(QString::fromStdString(workspace_.project_folder) + relative);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    void PutCustomTable(int number, const std::string& text) {
        WritePageFile(CustomTablePath(workspace_.app_folder, number), text);
    }
    void SelectCell(QDialog& dialog, int row, int column) {
        Find<QTableWidget>(&dialog, "Sg1")->setCurrentCell(row, column);
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() {
        StartTest();
        workspace_ = test::TwoAreaWorkspace(dir_->path());
        QDir(dir_->path()).mkpath("app/custom");
    }

    void cleanup() { EndTest(); }

    void DataTableGridStylesAndBackground() {
        TFormd1 dialog(workspace_);
        QCOMPARE(dialog.windowTitle(), QString("Insert a Data Table"));
        QCOMPARE(dialog.Heading()->text(), QString("Insert Data Table"));
        QTableWidget* grid = Find<QTableWidget>(&dialog, "Sg1");
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->columnCount(), 1);
        Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(2);
        Find<QSpinBox>(&dialog, "SpinEdit2")->setValue(3);
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->columnCount(), 3);
        Type(&dialog, "Edit1", "a"); // the top-left cell until another is selected
        SelectCell(dialog, 0, 1);
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString());
        Type(&dialog, "Edit1", QString::fromUtf8("<b>5 \xE2\x82\xAC</b>"));
        SelectCell(dialog, 1, 2);
        Type(&dialog, "Edit1", "f");
        SelectCell(dialog, 0, 1);
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(),
                 QString::fromUtf8("<b>5 \xE2\x82\xAC</b>"));
        QCOMPARE(grid->item(0, 0)->text(), QString("a"));
        QCOMPARE(grid->item(1, 2)->text(), QString("f"));

        // Rows of 0 or less leave one; the cells that remain keep their texts,
        // the removed row's are gone.
        Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(-3);
        QCOMPARE(grid->rowCount(), 1);
        Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(2);
        QVERIFY(grid->item(1, 2) == nullptr);
        QCOMPARE(grid->item(0, 1)->text(), QString::fromUtf8("<b>5 \xE2\x82\xAC</b>"));
        // More than a hundred is refused with a message; the grid stays.
        Find<QSpinBox>(&dialog, "SpinEdit2")->setValue(10000);
        QCOMPARE(prompts_->asked.last(),
                 QString("inform: A data table can have at most 100 columns."));
        QCOMPARE(grid->columnCount(), 3);
        QCOMPARE(Find<QSpinBox>(&dialog, "SpinEdit2")->value(), 3);

        for (const char* box : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"}) {
            Find<QCheckBox>(&dialog, box)->setChecked(true);
        }
        Find<QSpinBox>(&dialog, "SpinEdit5")->setValue(400);
        Find<QSpinBox>(&dialog, "SpinEdit7")->setValue(2);
        prompts_->Queue(QColor(255, 128, 0));
        Click(&dialog, "ToolButton3");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit2")->text(), QString("#FF8000"));
        Click(&dialog, "RadioButton1"); // Color: the button runs the colour dialog
        Click(&dialog, "ToolButton4");  // cancelled: the text stays as it was
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString());
        prompts_->Queue(QColor(255, 255, 255));
        Click(&dialog, "ToolButton4");
        QCOMPARE(prompts_->asked.last(), QString("colour"));
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("#FFFFFF"));
        Shoot(&dialog, "data_table_dialog");
        Confirm(dialog, "ToolButton1");

        const std::string body =
            BuildComponentBody("Data_Table", {{"rows", "2"},
                                              {"cols", "3"},
                                              {"cell.1.1", "a"},
                                              {"cell.1.2", "<b>5 \xE2\x82\xAC</b>"},
                                              {"bold", "1"},
                                              {"italic", "1"},
                                              {"underline", "1"},
                                              {"strikeout", "1"},
                                              {"width", "400"},
                                              {"size", "2"},
                                              {"color", "#FF8000"},
                                              {"bgcolor", "1"},
                                              {"background", "#FFFFFF"}});
        ExpectInArea1("Data_Table1", body);
        QVERIFY(body.find("<td bgcolor=\"#FFFFFF\" Cellpadding=\"0\" Cellspacing=\"0\"><font "
                          "color=\"#FF8000\" size=\"2\" bordercolor=\"#000000\"><b><u><i><strike>"
                          "<b>5 &#8364;</b></strike></i></u></b></td>") != std::string::npos);
        QCOMPARE(workspace_.component_list.entries.back(), std::string("Data Table1"));
    }

    void DataTableBackgroundPictureAndDefaults() {
        TFormd1 dialog(workspace_);
        // Neither radio button: the button browses for a picture.
        Click(&dialog, "ToolButton4");
        QCOMPARE(prompts_->asked.last(), QString("open-picture: Open"));
        QCOMPARE(prompts_->last_filter, kTiffPictureFilter);
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString());
        // A picture from outside the project travels with it, as every
        // picture browse makes it.
        QDir(dir_->path()).mkpath("pics");
        QFile tile(dir_->filePath("pics/tile.gif"));
        QVERIFY(tile.open(QIODevice::WriteOnly));
        tile.write("GIF89a");
        tile.close();
        prompts_->Queue(tile.fileName());
        Click(&dialog, "ToolButton4");
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit3")->text(), QString("images/tile.gif"));
        QVERIFY(
            QFile::exists(QString::fromStdString(workspace_.project_folder) + "images/tile.gif"));
        Find<QLineEdit>(&dialog, "Edit3")->clear();
        Confirm(dialog, "ToolButton1");
        ExpectInArea1("Data_Table1",
                      "<table width=\"0\" Cellpadding=\"0\" Cellspacing=\"0\" border=\"0\" "
                      "bordercolor=\"#000000\"><tr><td background=\"\" Cellpadding=\"0\" "
                      "Cellspacing=\"0\"><font color=\"\" bordercolor=\"#000000\">"
                      "</td></tr></table>");

        // A marker typed into a cell is refused; the dialog stays open.
        TFormd1 refused(workspace_);
        refused.show();
        Type(&refused, "Edit1", "<!---x");
        const std::string before = PageOnDisk();
        Click(&refused, "ToolButton1");
        QVERIFY(refused.isVisible());
        QCOMPARE(prompts_->asked.last(),
                 QString("error: Cell 1.1 (cell.1.1) may not contain \"<!---\" or \"---!>\""));
        QCOMPARE(PageOnDisk(), before);
    }

    void CustomTableChooserStepsAndInserts() {
        PutCustomTable(1, "<table><tr><td>one</td></tr></table>");
        PutCustomTable(2, "<table><tr><td>two</td></tr></table>");
        PutCustomTable(3, "<table><tr><td>three</td></tr></table>");
        TFormer2 dialog(workspace_);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Insert a Custom Table"));
        QCOMPARE(dialog.Heading()->text(), QString("Insert Custom Table:"));
        QCOMPARE(dialog.Chooser().Current(), 3);
        QVERIFY(!Find<QPushButton>(&dialog, "ToolButton2")->isEnabled());
        QVERIFY(Find<QPushButton>(&dialog, "ToolButton3")->isEnabled());
        QCOMPARE(Find<Preview>(&dialog, "Web1")->ShownFile(),
                 QString::fromStdString(CustomTablePath(workspace_.app_folder, 3)));
        Click(&dialog, "ToolButton3");
        Click(&dialog, "ToolButton3");
        QCOMPARE(dialog.Chooser().Current(), 1);
        QVERIFY(!Find<QPushButton>(&dialog, "ToolButton3")->isEnabled());
        QVERIFY(Find<QPushButton>(&dialog, "ToolButton2")->isEnabled());
        Click(&dialog, "ToolButton2");
        QCOMPARE(Find<QLabel>(&dialog, "TableLabel")->text(), QString("Custom table 2 (2 of 3)"));

        // A table that cannot be read at OK inserts nothing and names the file.
        QFile::remove(QString::fromStdString(CustomTablePath(workspace_.app_folder, 2)));
        const std::string before = PageOnDisk();
        Click(&dialog, "ToolButton1");
        QVERIFY(dialog.isVisible());
        QVERIFY2(prompts_->asked.last().contains(
                     QString::fromStdString(CustomTablePath(workspace_.app_folder, 2))),
                 qPrintable(prompts_->asked.last()));
        QCOMPARE(PageOnDisk(), before);
        Click(&dialog, "ToolButton3");
        Confirm(dialog, "ToolButton1");
        ExpectInArea1("Custom_Table1", "<table><tr><td>one</td></tr></table>");
        QCOMPARE(workspace_.component_list.entries.back(), std::string("Custom Table1"));
    }

    void CustomTableChooserWithoutTables() {
        TFormer2 dialog(workspace_);
        dialog.show();
        QVERIFY(!Find<QPushButton>(&dialog, "ToolButton1")->isEnabled());
        QVERIFY(!Find<QPushButton>(&dialog, "ToolButton2")->isEnabled());
        QVERIFY(!Find<QPushButton>(&dialog, "ToolButton3")->isEnabled());
        QVERIFY(
            Find<QLabel>(&dialog, "TableLabel")->text().startsWith("There are no custom tables"));
    }

    // Every shipped table reads well alone and inside a page.
    void ShippedCustomTablesPreviewAloneAndInAPage() {
        workspace_.app_folder = PrepareAppFolder();
        const std::vector<int> numbers = CustomTableNumbers(workspace_.app_folder);
        QVERIFY(numbers.size() >= 6);
        TFormer2 dialog(workspace_);
        Shoot(&dialog, "custom_table_dialog", "Web1");
        Preview* preview = Find<Preview>(&dialog, "Web1");
        const QStringList titles{"Price List",      "Opening Hours", "Contact Us",
                                 "Weekly Schedule", "Why choose us", "Product Data Sheet"};
        for (int number : numbers) {
            preview->ShowFile(
                QString::fromStdString(CustomTablePath(workspace_.app_folder, number)));
            QVERIFY(preview->WaitForLoaded());
            const QString alone = preview->VisibleText();
            QVERIFY2(alone.contains(titles.value(number - 1, "?")), qPrintable(alone));
            InsertComponent(workspace_, "Custom_Table", {{"table", std::to_string(number)}});
        }
        dialog.resize(900, 2000);
        preview->ShowFile(QString::fromStdString(workspace_.page_path));
        QVERIFY(preview->WaitForLoaded());
        QTest::qWait(300);
        preview->grab().save("/tmp/shots/custom_tables_in_a_page.png");
        const QString page = preview->VisibleText();
        for (const QString& title : titles) {
            QVERIFY2(page.contains(title), qPrintable(title));
        }
        QVERIFY(!page.contains("<!---"));
        QVERIFY(!page.contains("<td"));
    }

    void FrameFromProjectPageOrUrl() {
        WritePageFile(workspace_.project_folder + "about.html", "<html></html>");
        TFormf1 dialog(workspace_);
        QCOMPARE(dialog.windowTitle(), QString("Insert Frame"));
        QVERIFY(Find<QLineEdit>(&dialog, "Edit1")->isHidden());
        QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString());
        QComboBox* pages = Find<QComboBox>(&dialog, "ComboBox1");
        QVERIFY(pages->findText("about.html") >= 0);
        Click(&dialog, "RadioButton1");
        pages->setEditText("about.html");
        Find<QSpinBox>(&dialog, "SpinEdit1")->setValue(400);
        Find<QSpinBox>(&dialog, "SpinEdit2")->setValue(300);
        Find<QComboBox>(&dialog, "ComboBox2")->setEditText("Center");
        Click(&dialog, "CheckBox1");
        Shoot(&dialog, "frame_dialog");
        Confirm(dialog, "ToolButton26");
        ExpectInArea1("Frame1", "<iframe src=\"about.html\" align=\"Center\" width=\"400\" "
                                "height=\"300\" Frameborder=\"yes\" scrolling=\"no\"></iframe>");

        // Neither radio button: the hidden URL box, empty.
        TFormf1 neither(workspace_);
        Confirm(neither, "ToolButton26");
        ExpectInArea1(
            "Frame2",
            "<iframe src=\"\" align=\"\" Frameborder=\"yes\" scrolling=\"yes\"></iframe>");
        TFormf1 url(workspace_);
        Click(&url, "RadioButton2");
        QVERIFY(!Find<QLineEdit>(&url, "Edit1")->isHidden());
        QCOMPARE(Find<QLineEdit>(&url, "Edit1")->text(), QString()); // no "http://"
        Type(&url, "Edit1", "http://example.com/");
        Click(&url, "CheckBox2");
        Confirm(url, "ToolButton26");
        ExpectInArea1("Frame3", "<iframe src=\"http://example.com/\" align=\"\" "
                                "Frameborder=\"no\" scrolling=\"yes\"></iframe>");
    }

    void SoundGoesBeforeTheDeclarationBlockWhateverArea() {
        for (const char* area : {"Area2", "Area1"}) {
            workspace_.area_list.text = area;
            TFormh1 dialog(workspace_);
            QCOMPARE(dialog.objectName(), QString("TFormh1"));
            QCOMPARE(dialog.Heading()->text(), QString("Insert Back Ground Sound:"));
            QVERIFY(dialog.findChild<QSpinBox*>("SpinEdit1") == nullptr);
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString());
            Click(&dialog, "RadioButton1");
            prompts_->Queue(Outside("tune.mid"));
            Click(&dialog, "ToolButton1");
            QCOMPARE(prompts_->asked.last(), QString("open-file: Open"));
            QCOMPARE(prompts_->last_filter, QString("All (*)"));
            // Copied into the project, once, and named relative to the page.
            QCOMPARE(Find<QLineEdit>(&dialog, "Edit1")->text(), QString("media/tune.mid"));
            Confirm(dialog, "ToolButton2");
        }
        QCOMPARE(InProject("media/tune.mid"), QByteArray("tune.mid"));
        QCOMPARE(QDir(QString::fromStdString(workspace_.project_folder) + "media")
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"tune.mid"}));
        const std::string body = BuildComponentBody("Bgsound", {{"src", "media/tune.mid"}});
        QVERIFY(PageOnDisk().find("<!---End_Body---!>" + Block("Bgsound1", body) +
                                  Block("Bgsound2", body) + "<!---declare_begin---!>") !=
                std::string::npos);
        QCOMPARE(workspace_.component_list.entries,
                 (std::vector<std::string>{"Back Ground Sound1", "Back Ground Sound2"}));
    }

    void VideoFlashAndShockwave() {
        TFormh2 video(workspace_);
        QCOMPARE(video.windowTitle(), QString("Insert a Video Plugin"));
        Click(&video, "RadioButton2"); // Url: "http://", the browse button hidden
        QCOMPARE(Find<QLineEdit>(&video, "Edit1")->text(), QString("http://"));
        QVERIFY(Find<QToolButton>(&video, "ToolButton1")->isHidden());
        Click(&video, "RadioButton1");
        prompts_->Queue(Outside("clip.avi"));
        Click(&video, "ToolButton1");
        QCOMPARE(prompts_->last_filter, QString("All (*);;Video Files (*.avi *.wma *.mpg *.mpeg)"));
        Click(&video, "ToolButton1"); // cancelled: the location stays
        QCOMPARE(Find<QLineEdit>(&video, "Edit1")->text(), QString("media/clip.avi"));
        Find<QSpinBox>(&video, "SpinEdit1")->setValue(320);
        Find<QSpinBox>(&video, "SpinEdit2")->setValue(240);
        Click(&video, "CheckBox1");
        Shoot(&video, "video_dialog");
        Confirm(video, "ToolButton2");
        ExpectInArea1("Video1", "<embed src=\"media/clip.avi\" autostart=\"true\" width=\"320\" "
                                "height=\"240\">");

        TFormh3 flash(workspace_);
        QCOMPARE(flash.windowTitle(), QString("Insert a Macromedia Flash File"));
        Click(&flash, "RadioButton2");
        Confirm(flash, "ToolButton2");
        ExpectInArea1("Flash1", BuildComponentBody("Flash", {{"src", "http://"}}));

        TFormh4 shock(workspace_);
        QCOMPARE(Find<QPushButton>(&shock, "ToolButton2")->text(), QString(" OK  "));
        QCOMPARE(Find<QPushButton>(&shock, "ToolButton3")->text(), QString("Cancel  "));
        Click(&shock, "RadioButton1");
        prompts_->Queue(Outside("intro film.swf"));
        Click(&shock, "ToolButton1");
        QCOMPARE(prompts_->last_filter, QString("All (*);;Shockwave Files (*.swf)"));
        Find<QSpinBox>(&shock, "SpinEdit1")->setValue(550);
        Shoot(&shock, "shockwave_dialog");
        Confirm(shock, "ToolButton2");
        ExpectInArea1("Shock1", BuildComponentBody("Shock", {{"src", "media/intro%20film.swf"},
                                                             {"width", "550"}}));
        QCOMPARE(InProject("media/intro film.swf"), QByteArray("intro film.swf"));

        // A file that cannot be copied is named, and the field keeps its text.
        TFormh3 failed(workspace_);
        Click(&failed, "RadioButton1");
        prompts_->Queue(dir_->filePath("elsewhere/gone.swf"));
        Click(&failed, "ToolButton1");
        QCOMPARE(Find<QLineEdit>(&failed, "Edit1")->text(), QString());
        QVERIFY2(prompts_->asked.last().startsWith("error: Cannot open file"),
                 qPrintable(prompts_->asked.last()));

        TFormh2 cancelled(workspace_);
        const std::string before = PageOnDisk();
        Click(&cancelled, "ToolButton3");
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
        QCOMPARE(PageOnDisk(), before);
    }

    // No button of the three tabs is disabled while a page is open, and each
    // opens its own dialog.
    void PaletteButtonsOpenTheirDialogs() {
        TForm1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.FormActivate();
        Workspace& workspace = window.workspace();
        workspace.project_folder = workspace_.project_folder;
        OpenPage(workspace, workspace_.page_path);
        window.ShowWorkspace(true);
        window.findChild<QComboBox*>("Com1")->setEditText("Area1");
        for (const char* dialog_class :
             {"TFormd1", "TFormer2", "TFormf1", "TFormh1", "TFormh2", "TFormh3", "TFormh4"}) {
            QVERIFY2(FindDialog(dialog_class) != nullptr, dialog_class);
            QToolButton* button = window.findChild<QToolButton*>(QString("Palette") + dialog_class);
            QVERIFY2(button != nullptr && button->isEnabled(), dialog_class);
            QString opened;
            OnModal([&opened](QWidget* dialog) {
                opened = dialog->objectName();
                dialog->close();
            });
            button->click();
            QCOMPARE(opened, QString(dialog_class));
        }
        QCOMPARE(ReadPageFile(workspace_.page_path), workspace_.page_text);
    }
};

QTEST_MAIN(TableMediaDialogsTest)
#include "table_media_dialogs_test.moc"
