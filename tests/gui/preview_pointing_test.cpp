// The preview one points at: areas outlined and named, a click that selects
// in Select Area and Select Component, a double-click that opens Modify,
// links that never take the preview away from the page.

#include "app/dialog_table.h"
#include "app/main_window.h"
#include "dialog_driving.h"
#include "document/page_file.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "services/preview.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/source_text.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <memory>

namespace qf {

namespace {

std::string Block(const std::string& name, const std::string& body) {
    return "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>";
}

// Two areas: the first holds a picture, the second three links.
std::string PointingPage() {
    return test::PageWith(
        "<!---Table1---!><!---Table2---!><!---Image1---!><!---Text_Link1---!>"
        "<!---Text_Link2---!><!---Text_Link3---!>",
        test::TableArea(1, Block("Image1", "<img src=\"images/sky.png\" width=\"120\" "
                                           "height=\"60\" alt=\"Sky\" border=\"0\">")) +
            test::TableArea(
                2, Block("Text_Link1", "<a href=\"other.html\">Other page</a>") + "<br>" +
                       Block("Text_Link2", "<a href=\"https://example.org/away\">Away</a>") +
                       "<br>" +
                       Block("Text_Link3", "<a href=\"mailto:me@example.org\" "
                                           "target=_blank>Write</a>")));
}

} // namespace

class PreviewPointingTest : public test::GuiTest {
    Q_OBJECT

private:
    QString Site() const { return dir_->filePath("site/"); }
    Preview* Web() const { return window_->preview(); }
    QString ListText(const char* name) const {
        return window_->findChild<QComboBox*>(name)->currentText();
    }

    // The rectangle of a list entry's block as the page script reports it,
    // in the preview's pixels; waits until the script is connected.
    QRect RectOf(const QString& entry) {
        QJsonObject state;
        for (int tries = 0; tries < 100; ++tries) {
            state = Web()->OutlineState();
            if (state.value("ready").toBool() && state.value("blocks").toObject().contains(entry)) {
                break;
            }
            QTest::qWait(50);
        }
        const QJsonArray r = state.value("blocks").toObject().value(entry).toArray();
        return QRectF(r.at(0).toDouble(), r.at(1).toDouble(), r.at(2).toDouble(),
                      r.at(3).toDouble())
            .toRect();
    }

    QStringList Drawn() { return Web()->OutlineState().value("drawn").toVariant().toStringList(); }

    QWidget* Target() {
        for (int tries = 0; tries < 100 && Web()->PointerTarget() == nullptr; ++tries) {
            QTest::qWait(50);
        }
        return Web()->PointerTarget();
    }

    void Click(const QPoint& at) { QTest::mouseClick(Target(), Qt::LeftButton, {}, at); }

    // Two clicks as a widget receives them from a hand: the second press
    // comes as the double-click event alone (QTest sends a press before it,
    // which the browser counts as a third click). The browser counts clicks
    // from the times and places of the presses, so these carry times of their
    // own, well apart from every earlier click and within the double-click time.
    void DoubleClick(const QPoint& at) {
        QWidget* target = Target();
        static ulong time = 100'000'000;
        time += 100'000;
        const QPointF local(at);
        const QPointF global(target->mapToGlobal(at));
        const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons, ulong when) {
            QMouseEvent event(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
            event.setTimestamp(when);
            QApplication::sendEvent(target, &event);
        };
        send(QEvent::MouseButtonPress, Qt::LeftButton, time);
        send(QEvent::MouseButtonRelease, Qt::NoButton, time + 20);
        send(QEvent::MouseButtonDblClick, Qt::LeftButton, time + 40);
        send(QEvent::MouseButtonRelease, Qt::NoButton, time + 60);
    }

    // Opens the project and its page index.html in a started window.
    void OpenIndex() {
        prompts_->Queue(Site());
        window_->OpenProjectClick();
        auto* list = window_->findChild<QListWidget*>("FileListBox1");
        prompts_->Queue(Prompts::Answer::Yes);
        window_->FileListBox1Click(list->findItems("index.html", Qt::MatchExactly).value(0));
        QCOMPARE(window_->workspace().page_name, std::string("index.html"));
        QVERIFY(Web()->WaitForLoaded());
        prompts_->asked.clear();
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() {
        StartTest();
        QDir().mkpath(Site() + "images");
        QImage sky(120, 60, QImage::Format_RGB32);
        sky.fill(QColor("#7ab8e8"));
        QVERIFY(sky.save(Site() + "images/sky.png"));
        WritePageFile((Site() + "index.html").toStdString(), PointingPage());
        WritePageFile((Site() + "other.html").toStdString(), test::WorkedExamplePage());
        StartWindow();
        OpenIndex();
    }

    void cleanup() { EndTest(); }

    void EveryAreaIsOutlinedAndNamedInTheViewOnly() {
        const QRect area1 = RectOf("Area1");
        const QRect area2 = RectOf("Area2");
        const QRect image = RectOf("Image1");
        QVERIFY(area1.width() >= 400 && area1.height() >= 100);
        QVERIFY(area1.contains(image));
        QCOMPARE(image.size(), QSize(120, 60));
        QVERIFY(!area1.intersects(area2));
        QTRY_VERIFY(Drawn().contains("Area1 area"));
        QVERIFY(Drawn().contains("Area2 area"));
        // Components are outlined only under the pointer or when chosen.
        QVERIFY(!Drawn().join(' ').contains("Image1"));
        QTest::mouseMove(Target(), image.center());
        QTRY_VERIFY(Drawn().contains("Image1 comp hover"));

        // What a reader sees is the page's own text, and the file is untouched.
        const QString text = Web()->VisibleText();
        QVERIFY(text.contains("Other page"));
        QVERIFY(!text.contains("Area1"));
        QCOMPARE(ReadPageFile((Site() + "index.html").toStdString()), PointingPage());
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());

        // The lists' choice is outlined more strongly.
        window_->findChild<QComboBox*>("Com1")->setEditText("Area2");
        window_->findChild<QComboBox*>("Com2")->setEditText("Text Link2");
        QTRY_VERIFY(Drawn().contains("Area2 area chosen"));
        QVERIFY(Drawn().contains("Text Link2 comp chosen"));
        QVERIFY(Drawn().contains("Area1 area"));
        QTest::mouseMove(Target(), image.center());
        QTRY_VERIFY(Drawn().contains("Image1 comp hover"));
        test::Shoot(window_.get(), "preview_outlines", "Web1");

        // View > Show Areas switches the drawing off and on; it survives a reload.
        QAction* show_areas = window_->findChild<QAction*>("ShowAreas");
        QVERIFY(show_areas->isChecked());
        show_areas->setChecked(false);
        QTRY_VERIFY(Drawn().isEmpty());
        QSignalSpy loaded(Web(), &Preview::Loaded);
        window_->findChild<QAction*>("PreviewReload")->trigger();
        QTRY_COMPARE(loaded.count(), 1);
        QTRY_VERIFY(Web()->OutlineState().value("ready").toBool());
        QTest::qWait(100);
        QVERIFY(Drawn().isEmpty());
        show_areas->setChecked(true);
        QTRY_VERIFY(Drawn().contains("Area2 area chosen"));
    }

    void AClickSelectsTheAreaAndComponentUnderThePointer() {
        const QRect area2 = RectOf("Area2");
        const QRect image = RectOf("Image1");
        // The empty right part of the second area: the area alone.
        Click(QPoint(area2.right() - 20, area2.bottom() - 10));
        QTRY_COMPARE(ListText("Com1"), QString("Area2"));
        QCOMPARE(ListText("Com2"), QString("Select Component"));
        QCOMPARE(window_->workspace().area_list.text, std::string("Area2"));
        // The picture: its area and itself.
        Click(image.center());
        QTRY_COMPARE(ListText("Com2"), QString("Image1"));
        QCOMPARE(ListText("Com1"), QString("Area1"));
        QCOMPARE(window_->workspace().component_list.text, std::string("Image1"));
        QTRY_VERIFY(Drawn().join(',').contains("Image1 comp chosen"));
        QVERIFY(prompts_->asked.isEmpty());
    }

    void ADoubleClickOpensModify() {
        const QRect image = RectOf("Image1");
        const QRect area2 = RectOf("Area2");
        QString opened;
        test::OnModal([&](QWidget* dialog) {
            opened = dialog->objectName();
            static_cast<QDialog*>(dialog)->reject();
        });
        DoubleClick(image.center());
        QTRY_COMPARE(opened, QString("TFormCom"));
        QCOMPARE(ListText("Com2"), QString("Image1"));

        opened.clear();
        test::OnModal([&](QWidget* dialog) {
            opened = dialog->objectName();
            static_cast<QDialog*>(dialog)->reject();
        });
        DoubleClick(QPoint(area2.right() - 20, area2.bottom() - 10));
        QTRY_COMPARE(opened, QString("TFormModify5"));
        QCOMPARE(ListText("Com1"), QString("Area2"));
    }

    void LinksNeverLeaveThePage() {
        // A page of the project: the page list's question, then that page.
        prompts_->Queue(Prompts::Answer::No);
        Click(RectOf("Text Link1").center());
        QTRY_COMPARE(prompts_->asked, QStringList{"ask: Open Page?"});
        QCOMPARE(window_->workspace().page_name, std::string("index.html"));
        QVERIFY(Web()->VisibleText().contains("Other page"));

        // Another address goes to the desktop; the preview stays.
        Click(RectOf("Text Link2").center());
        QTRY_COMPARE(prompts_->asked.last(), QString("open-url: https://example.org/away"));
        // One for a new window as well.
        Click(RectOf("Text Link3").center());
        QTRY_COMPARE(prompts_->asked.last(), QString("open-url: mailto:me@example.org"));
        QCOMPARE(Web()->ShownFile(), Site() + "index.html");
        QVERIFY(Web()->VisibleText().contains("Other page"));
        QCOMPARE(prompts_->asked.size(), 3);

        prompts_->Queue(Prompts::Answer::Yes);
        Click(RectOf("Text Link1").center());
        QTRY_COMPARE(window_->workspace().page_name, std::string("other.html"));
        QCOMPARE(Web()->ShownFile(), Site() + "other.html");
        QTRY_VERIFY(RectOf("Image1").width() == 120);
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());
    }

    void TheSourceViewShowsThePageLineByLineAndChangesNothing() {
        // A page with non-ASCII text (valid UTF-8) and one in Windows-1252.
        for (const std::string& page : {PointingPage() + "<p>Caf\xC3\xA9 \xE2\x82\xAC</p>",
                                        PointingPage() + "<p>Caf\xE9</p>"}) {
            window_->workspace().page_text = page;
            QString shown;
            QStringList coloured;
            bool read_only = false;
            QString found;
            QString missing;
            test::OnModal([&](QWidget* dialog) {
                auto* memo = dialog->findChild<QPlainTextEdit*>("Memo1");
                read_only = memo->isReadOnly();
                shown = memo->toPlainText();
                for (QTextBlock block = memo->document()->begin(); block.isValid();
                     block = block.next()) {
                    if (block.text().startsWith("<!---Begin_Image1") &&
                        !block.layout()->formats().isEmpty()) {
                        coloured
                            << block.layout()->formats().first().format.foreground().color().name();
                    }
                }
                // Ctrl+F, a word, Enter: the word is selected.
                QTest::keyClick(memo, Qt::Key_F, Qt::ControlModifier);
                auto* find = dialog->findChild<QLineEdit*>("FindEdit");
                QVERIFY(find->isVisible() && find->hasFocus());
                QTest::keyClicks(find, "Text_Link2");
                QTest::keyClick(find, Qt::Key_Return);
                found = memo->textCursor().selectedText();
                find->setText("nowhere at all");
                QTest::keyClick(find, Qt::Key_Return);
                missing = dialog->findChild<QLabel*>("FindResult")->text();
                test::Shoot(dialog, "view_source");
                static_cast<QDialog*>(dialog)->reject();
            });
            window_->findChild<QAction*>("ViewSource")->trigger();
            QVERIFY(read_only);
            // One tag or marker a line, and the lines join back to the exact page text.
            const QStringList lines = shown.split('\n');
            QVERIFY(lines.contains("<!---Begin_Image1---!>"));
            QVERIFY(lines.contains("<a href=\"other.html\">"));
            const SourceEncoding encoding = DecodeSource(page).encoding;
            QCOMPARE(EncodeSource(lines.join(QString()), encoding), page);
            QCOMPARE(coloured, QStringList{"#8e24aa"});
            QCOMPARE(found, QString("Text_Link2"));
            QCOMPARE(missing, QString("Not found"));
            QCOMPARE(window_->workspace().page_text, page);
        }
        QCOMPARE(ReadPageFile((Site() + "index.html").toStdString()), PointingPage());
    }
};

} // namespace qf

QTEST_MAIN(qf::PreviewPointingTest)
#include "preview_pointing_test.moc"
