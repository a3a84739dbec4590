// The window says where the user is: its title names the open page and
// project, File > Recent Projects keeps the last eight, and the last project
// and page come back at the next start.

#include "app/main_window.h"
#include "document/page_file.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "services/preview.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/session.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace qf {

class SessionWindowTest : public test::GuiTest {
    Q_OBJECT

private:
    QString Settings() const { return dir_->filePath("config/quenfort.conf"); }

    // A project folder holding index.html and other.html; its path with "/".
    QString MakeSite(const QString& name) const {
        const QString folder = dir_->filePath(name) + "/";
        QDir().mkpath(folder);
        WritePageFile((folder + "index.html").toStdString(), test::WorkedExamplePage());
        WritePageFile((folder + "other.html").toStdString(), test::PageWith("<!---Table1---!>"));
        return folder;
    }

    // Starts a window as the editor does: memory read before it is shown.
    void Start(bool remember = true) {
        window_ = std::make_unique<TForm1>();
        if (remember) {
            window_->RememberSession(Settings());
        }
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->FormActivate();
    }

    void OpenProject(const QString& folder) {
        prompts_->Queue(folder);
        window_->OpenProjectClick();
        QCOMPARE(prompts_->asked.takeLast(), QString("inform: Project Opened"));
    }

    void OpenPage(const QString& name) {
        auto* list = window_->findChild<QListWidget*>("FileListBox1");
        const auto found = list->findItems(name, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        prompts_->Queue(Prompts::Answer::Yes);
        window_->FileListBox1Click(found.first());
    }

    QMenu* Recent() const { return window_->findChild<QMenu*>("RecentProjects"); }

    // The Recent Projects entries as shown, without the "&N" accelerators.
    QStringList RecentEntries() const {
        QStringList entries;
        for (QAction* action : Recent()->actions()) {
            if (action->objectName().startsWith("RecentProject")) {
                entries << action->text().section("  ", 1);
            }
        }
        return entries;
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() { StartTest(); }

    void cleanup() { EndTest(); }

    void TheTitleNamesThePageAndTheProject() {
        Start(false);
        QCOMPARE(window_->windowTitle(), QString("Quenfort Website Developer"));
        const QString site = MakeSite("Bäckerei site");
        OpenProject(site);
        QCOMPARE(window_->windowTitle(),
                 QString::fromUtf8("Bäckerei site – Quenfort Website Developer"));
        OpenPage("index.html");
        QCOMPARE(window_->windowTitle(),
                 QString::fromUtf8("index.html – Bäckerei site – Quenfort Website Developer"));
        OpenPage("other.html");
        QCOMPARE(window_->windowTitle(),
                 QString::fromUtf8("other.html – Bäckerei site – Quenfort Website Developer"));
        // A deleted page leaves the project named.
        prompts_->Queue(Prompts::Answer::Yes);
        window_->findChild<QAction*>("DeleteProjectPage")->trigger();
        if (!prompts_->asked.isEmpty() && prompts_->asked.last().startsWith("ask: Delete")) {
            QSKIP("no trash on this system");
        }
        QCOMPARE(window_->windowTitle(),
                 QString::fromUtf8("Bäckerei site – Quenfort Website Developer"));
    }

    void RecentProjectsAndTheLastPageSurviveARestart() {
        Start();
        QVERIFY(!Recent()->isEnabled()); // nothing yet
        const QString first = MakeSite("first");
        const QString second = MakeSite("second & more");
        OpenProject(first);
        OpenPage("other.html");
        OpenProject(second);
        OpenPage("index.html");
        OpenProject(first); // moves to the top again, listed once
        OpenPage("other.html");
        window_.reset();
        prompts_->asked.clear();

        Start();
        QCOMPARE(RecentEntries(),
                 (QStringList{dir_->filePath("first"), dir_->filePath("second && more")}));
        // The last project and page are open again, without a question.
        QCOMPARE(window_->workspace().project_folder, first.toStdString());
        QCOMPARE(window_->workspace().page_name, std::string("other.html"));
        QCOMPARE(window_->findChild<QLabel*>("lblName")->text(), QString("other.html"));
        QCOMPARE(window_->windowTitle(),
                 QString::fromUtf8("other.html – first – Quenfort Website Developer"));
        QVERIFY(prompts_->asked.isEmpty());

        // Choosing an entry opens that project.
        Recent()->actions().at(1)->trigger();
        QCOMPARE(window_->workspace().project_folder, second.toStdString());
        QCOMPARE(RecentEntries().first(), dir_->filePath("second && more"));

        // A folder that is gone is taken off the list, with a note.
        QVERIFY(QDir(first).removeRecursively());
        Recent()->actions().at(1)->trigger();
        QCOMPARE(prompts_->asked.takeLast(),
                 "inform: The project folder \"" + first +
                     "\" is no longer there; it was taken off Recent Projects.");
        QCOMPARE(window_->workspace().project_folder, second.toStdString());
        QCOMPARE(RecentEntries(), QStringList{dir_->filePath("second && more")});
        window_.reset();
        Start();
        QCOMPARE(RecentEntries(), QStringList{dir_->filePath("second && more")});
        QCOMPARE(window_->workspace().project_folder, second.toStdString());
    }

    void TheWindowAndItsPanesKeepTheirSizes() {
        Start();
        auto* panes = window_->findChild<QSplitter*>("PaneSplitter");
        auto* panels = window_->findChild<QSplitter*>("PanelSplitter");
        QVERIFY(panes != nullptr && panels != nullptr);
        QCOMPARE(panes->orientation(), Qt::Vertical);
        QVERIFY(panes->indexOf(window_->findChild<QWidget*>("PreviewPane")) == 0);
        QVERIFY(window_->findChild<QWidget*>("PreviewPane")
                    ->isAncestorOf(window_->findChild<QWidget*>("Web1")));
        window_->resize(1010, 690);
        QTRY_COMPARE(window_->size(), QSize(1010, 690));
        panes->setSizes({360, 220});
        panels->setSizes({420, 250, 300});
        QApplication::processEvents();
        const QList<int> pane_sizes = panes->sizes();
        const QList<int> panel_sizes = panels->sizes();
        QVERIFY(pane_sizes.last() > 180); // the panels grew
        QVERIFY(panel_sizes.first() > 380);
        window_->close();
        window_.reset();

        Start();
        QCOMPARE(window_->size(), QSize(1010, 690));
        QCOMPARE(window_->findChild<QSplitter*>("PaneSplitter")->sizes(), pane_sizes);
        QCOMPARE(window_->findChild<QSplitter*>("PanelSplitter")->sizes(), panel_sizes);
        window_.reset();

        // Without memory the window starts at its own size.
        Start(false);
        QCOMPARE(window_->size(), QSize(803, 572));
    }

    void TheListKeepsEightAndReopeningCanBeSwitchedOff() {
        Start();
        for (int i = 1; i <= 10; ++i) {
            OpenProject(MakeSite(QString("site%1").arg(i)));
        }
        QCOMPARE(RecentEntries().size(), 8);
        QCOMPARE(RecentEntries().first(), dir_->filePath("site10"));
        QCOMPARE(RecentEntries().last(), dir_->filePath("site3"));
        QAction* reopen = window_->findChild<QAction*>("ReopenLastProject");
        QVERIFY(reopen->isChecked());
        reopen->setChecked(false);
        QAction* show_areas = window_->findChild<QAction*>("ShowAreas");
        QVERIFY(show_areas->isChecked());
        show_areas->setChecked(false);
        window_->findChild<QAction*>("PreviewPhone")->trigger();
        window_.reset();

        Start();
        QVERIFY(!window_->workspace().HasProject());
        QCOMPARE(window_->windowTitle(), QString("Quenfort Website Developer"));
        QVERIFY(!window_->findChild<QAction*>("ReopenLastProject")->isChecked());
        QVERIFY(!window_->findChild<QAction*>("ShowAreas")->isChecked());
        QVERIFY(window_->findChild<QAction*>("PreviewPhone")->isChecked());
        QCOMPARE(window_->findChild<Preview*>("Web1")->LayoutWidth(), kPhoneWidth);
        QCOMPARE(RecentEntries().size(), 8);

        // A last project that was deleted meanwhile is dropped at start, with the note.
        window_->findChild<QAction*>("ReopenLastProject")->setChecked(true);
        window_.reset();
        QVERIFY(QDir(dir_->filePath("site10")).removeRecursively());
        Start();
        QCOMPARE(prompts_->asked.takeLast(), "inform: The project folder \"" +
                                                 dir_->filePath("site10") +
                                                 "/\" is no longer there; it was taken off "
                                                 "Recent Projects.");
        QVERIFY(!window_->workspace().HasProject());
        QCOMPARE(RecentEntries().first(), dir_->filePath("site9"));
        window_->findChild<QAction*>("ClearRecentProjects")->trigger();
        QVERIFY(RecentEntries().isEmpty());
        QVERIFY(!Recent()->isEnabled());
    }
};

} // namespace qf

QTEST_MAIN(qf::SessionWindowTest)
#include "session_window_test.moc"
