// Tools > Check Site: the list of findings, what a click and a double-click
// on one do, and a check that runs beside the window without stopping it.

#include "app/main_window.h"
#include "app/site_check_dock.h"
#include "dialog_driving.h"
#include "document/page_file.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "services/preview.h"
#include "test_pages.h"

#include <QAction>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <climits>

namespace qf {

namespace {

// A page as the editor writes it: title, language, one area holding `content`.
std::string Page(const std::string& declarations, const std::string& content) {
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html lang=\"en\">"
           "<head><title>Home</title></head><body><!---End_Body---!><!---declare_begin---!>"
           "<!---Table1---!>" +
           declarations + "<!---////---!><!---declare_end---!></body>" +
           test::TableArea(1, content) + "</html>";
}

std::string CleanPage() {
    return Page("<!---Text1---!>", test::Block("Text1", "<p>Welcome</p>"));
}

// Image1 has no alternative text, Image2 shows a picture the project lacks.
std::string FaultyPage() {
    return Page("<!---Image1---!><!---Image2---!>",
                test::Block("Image1", "<img src=\"sky.png\">") +
                    test::Block("Image2", "<img src=\"images/gone.png\" alt=\"Gone\">"));
}

// A page of about `size` bytes of text in one component, with one fault.
std::string LargePage(std::size_t size) {
    std::string text;
    while (text.size() < size) {
        text += "<p>Plain words of a long page, one paragraph after another.</p> ";
    }
    return Page("<!---Text1---!><!---Image1---!>",
                test::Block("Text1", text) + test::Block("Image1", "<img src=\"sky.png\">"));
}

} // namespace

class SiteCheckTest : public test::GuiTest {
    Q_OBJECT

private:
    QString Site() const { return dir_->filePath("site/"); }
    void WritePage(const QString& name, const std::string& text) {
        WritePageFile((Site() + name).toStdString(), text);
    }
    void WritePicture(const QString& name) {
        QDir(Site()).mkpath(QFileInfo(name).path());
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(Site() + name));
    }
    void OpenSite() {
        StartWindow();
        prompts_->Queue(Site());
        window_->OpenProjectClick();
        QCOMPARE(QString::fromStdString(window_->workspace().project_folder), Site());
    }
    SiteCheckDock* Dock() const { return window_->findChild<SiteCheckDock*>("SiteCheckDock"); }
    QTreeView* View() const { return Dock()->findChild<QTreeView*>("Findings"); }
    QString Cell(int row, int column) const {
        return View()->model()->index(row, column).data().toString();
    }
    // Starts Check Site from the Tools menu; with `wait` returns once it has ended.
    void RunCheck(bool wait = true) {
        window_->findChild<QAction*>("CheckSite")->trigger();
        QVERIFY(Dock() != nullptr);
        if (wait) {
            WaitForCheck();
        }
    }
    void WaitForCheck() { QTRY_VERIFY_WITH_TIMEOUT(!Dock()->Running(), 60000); }
    // The row of the list that shows `entry` of `page`, or -1.
    int RowOf(const QString& page, const QString& entry) const {
        for (int row = 0; row < View()->model()->rowCount(); ++row) {
            if (Cell(row, 1) == page && Cell(row, 3) == entry) {
                return row;
            }
        }
        return -1;
    }
    void ClickRow(int row, bool twice) {
        const QModelIndex index = View()->model()->index(row, 4);
        View()->scrollTo(index);
        const QPoint at = View()->visualRect(index).center();
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, at);
        if (twice) {
            QTest::mouseDClick(View()->viewport(), Qt::LeftButton, {}, at);
        }
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }
    void init() {
        StartTest();
        QDir(dir_->path()).mkpath("site");
    }
    void cleanup() { EndTest(); }

    void NeedsAProject() {
        StartWindow();
        window_->findChild<QAction*>("CheckSite")->trigger();
        QCOMPARE(prompts_->asked, QStringList{"inform: Open or Create a new project first"});
        QVERIFY(Dock() == nullptr);
        QCOMPARE(window_->findChild<QAction*>("CheckSite")->shortcut(),
                 QKeySequence("Ctrl+Shift+K"));
    }

    void ListsFilterAndSort() {
        WritePage("index.html", CleanPage());
        WritePage("other.html", FaultyPage());
        WritePicture("sky.png");
        OpenSite();
        RunCheck();
        const SiteCheckResult& result = Dock()->Result();
        QCOMPARE(result.pages, 2);
        const int missing = RowOf("other.html", "Image2");
        QVERIFY2(missing >= 0, "the missing picture is listed");
        QCOMPARE(Cell(missing, 0), QString("error"));
        QVERIFY(Cell(missing, 2).contains(':'));
        QVERIFY(Cell(missing, 4).contains("gone.png"));
        QVERIFY(RowOf("other.html", "Image1") >= 0);
        QVERIFY(RowOf("index.html", "Text1") < 0);
        QVERIFY(
            Dock()->findChild<QLabel*>("Summary")->text().startsWith("2 pages checked: 1 error"));

        // Errors only.
        auto* severity = Dock()->findChild<QComboBox*>("SeverityFilter");
        severity->setCurrentIndex(severity->findText("Errors"));
        QCOMPARE(View()->model()->rowCount(), result.Errors());
        for (int row = 0; row < View()->model()->rowCount(); ++row) {
            QCOMPARE(Cell(row, 0), QString("error"));
        }
        severity->setCurrentIndex(0);
        // One page only: the clean page has only the page format's note, if any.
        auto* page = Dock()->findChild<QComboBox*>("PageFilter");
        QVERIFY(page->findText("other.html") > 0);
        page->setCurrentIndex(page->findText("other.html"));
        const int other_rows = View()->model()->rowCount();
        QVERIFY(other_rows >= 2);
        for (int row = 0; row < other_rows; ++row) {
            QCOMPARE(Cell(row, 1), QString("other.html"));
        }
        page->setCurrentIndex(0);
        QCOMPARE(View()->model()->rowCount(), int(result.findings.size()));

        // Sorted by place, lines are compared as numbers and columns within them.
        View()->sortByColumn(2, Qt::DescendingOrder);
        int last_line = INT_MAX;
        int last_column = INT_MAX;
        for (int row = 0; row < View()->model()->rowCount(); ++row) {
            const QStringList place = Cell(row, 2).split(':');
            const int line = place.size() == 2 ? place[0].toInt() : 0;
            const int column = place.size() == 2 ? place[1].toInt() : 0;
            QVERIFY(line < last_line || (line == last_line && column <= last_column));
            last_line = line;
            last_column = column;
        }
        window_->resize(900, 700);
        QDir().mkpath("/tmp/shots");
        QVERIFY(Dock()->grab().save("/tmp/shots/site_check_dock.png"));
        QVERIFY(window_->grab().save("/tmp/shots/site_check_window.png"));
    }

    void ClickOpensThePageAndSelects() {
        WritePage("index.html", CleanPage());
        WritePage("other.html", FaultyPage());
        OpenSite();
        prompts_->Queue(Prompts::Answer::Yes);
        window_->FileListBox1Click(
            window_->findChild<QListWidget*>("FileListBox1")->findItems("index.html", {})[0]);
        QCOMPARE(QString::fromStdString(window_->workspace().page_name), QString("index.html"));
        RunCheck();
        prompts_->asked.clear();

        // Declined: the open page stays and nothing is selected.
        ClickRow(RowOf("other.html", "Image1"), false);
        QCOMPARE(prompts_->asked, QStringList{"ask: Open Page?"});
        QCOMPARE(QString::fromStdString(window_->workspace().page_name), QString("index.html"));
        QVERIFY(window_->findChild<QComboBox*>("Com2")->currentText() != "Image1");

        prompts_->Queue(Prompts::Answer::Yes);
        ClickRow(RowOf("other.html", "Image1"), false);
        QCOMPARE(QString::fromStdString(window_->workspace().page_name), QString("other.html"));
        QCOMPARE(window_->findChild<QComboBox*>("Com2")->currentText(), QString("Image1"));
        QCOMPARE(window_->workspace().component_list.text, std::string("Image1"));
        QVERIFY(window_->findChild<QAction*>("ModifySelectedComponent")->isEnabled());
        // The preview outlines it as chosen.
        // Each look waits at most two seconds for the page, and the whole
        // wait is bounded in time (a QTRY would count its tries, each as
        // long as a look); a page whose load was never reported is shown
        // once more.
        const auto drawn = [&] {
            return window_->preview()->OutlineState(2000).value("drawn").toVariant().toStringList();
        };
        const QDeadlineTimer deadline(40000);
        bool shown_again = false;
        while (!drawn().contains("Image1 comp chosen") && !deadline.hasExpired()) {
            if (!shown_again && deadline.remainingTime() < 25000) {
                qWarning("the preview shows no outlines after 15 s: the page is shown once more");
                window_->preview()->Reload();
                shown_again = true;
            }
            QTest::qWait(100);
        }
        QVERIFY(drawn().contains("Image1 comp chosen"));

        // The page is open now: another of its findings asks nothing.
        prompts_->asked.clear();
        ClickRow(RowOf("other.html", "Image2"), false);
        QVERIFY(prompts_->asked.isEmpty());
        QCOMPARE(window_->findChild<QComboBox*>("Com2")->currentText(), QString("Image2"));

        // A double-click opens Modify for it.
        QString modal;
        test::OnModal([&](QWidget* dialog) {
            modal = dialog->objectName();
            dialog->close();
        });
        ClickRow(RowOf("other.html", "Image1"), true);
        QTRY_COMPARE_WITH_TIMEOUT(modal, QString("TFormCom"), 15000);
        QCOMPARE(window_->findChild<QComboBox*>("Com2")->currentText(), QString("Image1"));
    }

    void WindowAnswersWhileALargeProjectIsChecked() {
        const std::string page = LargePage(60 * 1024);
        for (int i = 0; i < 200; ++i) {
            WritePage(QString("page%1.html").arg(i, 3, 10, QChar('0')), page);
        }
        OpenSite();
        // A timer of the window's event loop looks at the progress bar while
        // the check runs.
        int ticks = 0;
        QSet<int> seen;
        QTimer timer;
        timer.setInterval(5);
        auto* progress = window_->findChild<QProgressBar*>("CheckProgress");
        QVERIFY(progress == nullptr); // the dock is made by the first check
        connect(&timer, &QTimer::timeout, this, [&] {
            if (Dock() != nullptr && Dock()->Running()) {
                ++ticks;
                seen.insert(Dock()->findChild<QProgressBar*>("CheckProgress")->value());
            }
        });
        timer.start();
        RunCheck(false);
        QVERIFY(Dock()->Running());
        QVERIFY(Dock()->findChild<QProgressBar*>("CheckProgress")->isVisible());
        WaitForCheck();
        timer.stop();
        QCOMPARE(Dock()->Result().pages, 200);
        QVERIFY(!Dock()->Result().cancelled);
        QVERIFY2(ticks >= 10, qPrintable(QString("%1 ticks").arg(ticks)));
        // Progress was shown in steps, not all at the end.
        QVERIFY2(seen.size() >= 3, qPrintable(QString("%1 values seen").arg(seen.size())));
        QVERIFY(!Dock()->findChild<QProgressBar*>("CheckProgress")->isVisible());
        QCOMPARE(View()->model()->rowCount(), int(Dock()->Result().findings.size()));
        QVERIFY(RowOf("page199.html", "Image1") >= 0);

        // Cancel stops a check part of the way.
        window_->findChild<QAction*>("CheckSite")->trigger();
        auto* bar = Dock()->findChild<QProgressBar*>("CheckProgress");
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 1 || !Dock()->Running(), 30000);
        QVERIFY2(Dock()->Running(), "the check was still running when Cancel was pressed");
        QVERIFY(Dock()->grab().save("/tmp/shots/site_check_running.png"));
        QTest::mouseClick(Dock()->findChild<QPushButton*>("CancelCheck"), Qt::LeftButton);
        WaitForCheck();
        QVERIFY(Dock()->Result().cancelled);
        QVERIFY(Dock()->Result().pages < 200);
        QVERIFY(Dock()->findChild<QLabel*>("Summary")->text().startsWith("Cancelled: "));
        QCOMPARE(View()->model()->rowCount(), int(Dock()->Result().findings.size()));
    }

    void CheckAgainPicksUpAFix() {
        WritePage("index.html", FaultyPage());
        WritePicture("sky.png");
        OpenSite();
        RunCheck();
        QVERIFY(RowOf("index.html", "Image2") >= 0);
        const int errors = Dock()->Result().Errors();
        QVERIFY(errors >= 1);

        WritePicture("images/gone.png");
        QSignalSpy finished(Dock(), &SiteCheckDock::Finished);
        QTest::mouseClick(Dock()->findChild<QPushButton*>("CheckAgain"), Qt::LeftButton);
        QVERIFY(finished.wait(30000));
        QCOMPARE(RowOf("index.html", "Image2"), -1);
        QCOMPARE(Dock()->Result().Errors(), errors - 1);
        QVERIFY(RowOf("index.html", "Image1") >= 0);
    }
};

} // namespace qf

QTEST_MAIN(qf::SiteCheckTest)
#include "site_check_test.moc"
