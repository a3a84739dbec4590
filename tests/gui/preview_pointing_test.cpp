// The preview one points at: areas outlined and named, a click that selects
// in Select Area and Select Component (links included, which a plain click
// never follows), a double-click that opens Modify, Ctrl+click and Open Link.

#include "app/dialog_table.h"
#include "app/main_window.h"
#include "components/component_fields.h"
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
#include <QMenu>
#include <QMouseEvent>
#include <QPdfDocument>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdlib>
#include <memory>

namespace qf {

namespace {

std::string Block(const std::string& name, const std::string& body) {
    return "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>";
}

// Two areas: the first holds a picture as its dialog writes it, the second
// three links written by hand.
std::string PointingPage() {
    return test::PageWith(
        "<!---Table1---!><!---Table2---!><!---Image1---!><!---Text_Link1---!>"
        "<!---Text_Link2---!><!---Text_Link3---!>",
        test::TableArea(1, Block("Image1", BuildComponentBody("Image", {{"src", "images/sky.png"},
                                                                        {"width", "120"},
                                                                        {"height", "60"},
                                                                        {"alt", "Sky"}}))) +
            test::TableArea(
                2, Block("Text_Link1", "<a href=\"other.html\">Other page</a>") + "<br>" +
                       Block("Text_Link2", "<a href=\"https://example.org/away\">Away</a>") +
                       "<br>" +
                       Block("Text_Link3", "<a href=\"mailto:me@example.org\" "
                                           "target=_blank>Write</a>")));
}

// A page wider than any paper: a table of 1700 pixels whose last column is
// red and named, in an area.
std::string WidePage() {
    return test::PageWith(
        "<!---Table1---!><!---Image1---!>",
        test::TableArea(1, Block("Image1", "<table width=\"1700\" cellspacing=\"0\"><tr>"
                                           "<td width=\"1500\">Left column</td>"
                                           "<td width=\"200\" bgcolor=\"#ff0000\">Right "
                                           "column</td></tr></table>")));
}

// Area 1's table holding one row of `count` adjacent areas, all declared.
std::string ManyAreasPage(int count) {
    std::string declarations = "<!---Table1---!>";
    std::string row;
    for (int n = 2; n <= count + 1; ++n) {
        const std::string name = "Table" + std::to_string(n);
        declarations += "<!---" + name + "---!>";
        row += "<!---Begin_" + name + "---!><td>y</td><!---End_" + name + "---!>";
    }
    return test::PageWith(declarations + "<!---Text_Link1---!>",
                          "<!---Begin_Table1---!><table><tr><td width=\"40\">" +
                              Block("Text_Link1", "<a href=\"x.html\">x</a>") + "</td>" + row +
                              "</tr></table><!---End_Table1---!>");
}

// Thirty areas of 300 pixels, one below the other.
std::string TallPage() {
    std::string declarations;
    std::string areas;
    for (int n = 1; n <= 30; ++n) {
        declarations += "<!---Table" + std::to_string(n) + "---!>";
        areas += test::TableArea(n, "<div style=\"height:300px\">Area text</div>");
    }
    return test::PageWith(declarations, areas);
}

// Scripted prompts whose printer is a PDF file.
class PdfPrompts : public test::ScriptedPrompts {
public:
    QString pdf_path;
    bool Print(QWidget* parent, QPrinter* printer, const PaintPages& paint) override {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf_path);
        return ScriptedPrompts::Print(parent, printer, paint);
    }
};

// How many pixels of `image` are near `colour`.
int PixelsNear(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) < 40 &&
                std::abs(pixel.green() - colour.green()) < 40 &&
                std::abs(pixel.blue() - colour.blue()) < 40) {
                ++count;
            }
        }
    }
    return count;
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

    void ThePageIsLaidOutAtAPhonesOrATabletsWidthAndStillPoints() {
        const auto layout_width = [this] { return Web()->RunScript("window.innerWidth").toInt(); };
        const int whole = layout_width();
        QVERIFY(whole > 768);
        QAction* phone = window_->findChild<QAction*>("PreviewPhone");
        QVERIFY(window_->findChild<QAction*>("PreviewFull")->isChecked());
        phone->trigger();
        QTRY_COMPARE(layout_width(), 390);
        QCOMPARE(Web()->findChild<QWidget*>("PreviewFrame")->width(), 390 + 2);
        // Pointing still finds what is under the pointer, in the frame.
        QTRY_VERIFY(RectOf("Image1").width() == 120);
        Click(RectOf("Image1").center());
        QTRY_COMPARE(window_->findChild<QComboBox*>("Com2")->currentText(), QString("Image1"));
        test::Shoot(window_.get(), "preview_phone_width");

        // A reload keeps the width; a preview narrower than a tablet shows
        // the page laid out at a tablet's width, scaled down.
        QSignalSpy loaded(Web(), &Preview::Loaded);
        window_->findChild<QAction*>("PreviewReload")->trigger();
        QTRY_COMPARE(loaded.count(), 1);
        QTRY_COMPARE(layout_width(), 390);
        window_->resize(window_->minimumWidth(), window_->height());
        window_->findChild<QAction*>("PreviewTablet")->trigger();
        QTRY_COMPARE(layout_width(), 768);
        QTRY_VERIFY(Web()->findChild<QWidget*>("PreviewFrame")->width() <= Web()->width());
        QVERIFY(Web()->width() < 768);
        window_->findChild<QAction*>("PreviewFull")->trigger();
        QTRY_VERIFY(layout_width() > 600 && layout_width() <= Web()->width());
        QCOMPARE(Web()->findChild<QWidget*>("PreviewFrame")->width(), Web()->width());
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());
    }

    void AsPublishedShowsTheRenderingReadOnlyAndComesBack() {
        QAction* published = window_->findChild<QAction*>("PreviewAsPublished");
        QVERIFY(published != nullptr && !published->isChecked());
        QSignalSpy loaded(Web(), &Preview::Loaded);
        published->setChecked(true);
        QTRY_VERIFY(loaded.count() >= 1);
        QVERIFY(Web()->ShownFile().endsWith("/as-published/index.html"));
        QVERIFY(!Web()->ShownFile().startsWith(Site()));
        // Standards mode, the page's pictures found, its text as written.
        QCOMPARE(Web()->RunScript("document.compatMode").toString(), QString("CSS1Compat"));
        QTRY_COMPARE(
            Web()->RunScript("document.images[0] && document.images[0].naturalWidth").toInt(), 120);
        QVERIFY(Web()->VisibleText().contains("Other page"));
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());
        test::Shoot(window_.get(), "preview_as_published", "Web1");
        // Nothing was written into the project.
        QCOMPARE(ReadPageFile((Site() + "index.html").toStdString()), PointingPage());
        QVERIFY(
            QDir(Site()).entryList(QDir::Files | QDir::Hidden).filter("as-published").isEmpty());

        published->setChecked(false);
        QTRY_COMPARE(Web()->ShownFile(), Site() + "index.html");
        QVERIFY(Web()->WaitForLoaded());
        QCOMPARE(Web()->RunScript("document.compatMode").toString(), QString("BackCompat"));
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

    // A dblclick event that the page's own script dispatches at a point of
    // the page, as the browser dispatches one for two clicks there.
    void DispatchDoubleClick(const QPoint& at) {
        const QVariant target = Web()->RunScript(
            QString("(function () { var t = document.elementFromPoint(%1, %2);"
                    " t.dispatchEvent(new MouseEvent('dblclick', {bubbles: true, cancelable: true,"
                    " view: window, detail: 2, button: 0, clientX: %1, clientY: %2}));"
                    " return t.tagName; })()")
                .arg(at.x())
                .arg(at.y()));
        QVERIFY(target.isValid());
    }

    // A double-click opens the Modify of what it lands on: a component its
    // dialog wrote in that dialog, filled from the page; one written by hand
    // in the source editor with its note; an area in Modify Area. Two ways
    // in: mouse events given to the browser's own widget, which the browser
    // turns into the page's dblclick, and a dblclick event dispatched by the
    // page script, which reaches the outline script's listener through the
    // page's DOM just as the browser's does. From that listener on, both take
    // the one road a hand's double-click takes: the web channel, the window's
    // PreviewDoubleClicked, the Modify action and its dialog.
    void ADoubleClickOpensModify() {
        const QRect image = RectOf("Image1");
        const QRect area2 = RectOf("Area2");
        QString opened;
        QString title;
        QString location;
        QString note;
        const auto record = [&](QWidget* dialog) {
            opened = dialog->objectName();
            title = dialog->windowTitle();
            const auto* edit = dialog->findChild<QLineEdit*>("Edit1");
            location = edit != nullptr ? edit->text() : QString();
            const auto* label = dialog->findChild<QLabel*>("Note");
            note = label != nullptr ? label->toolTip() : QString();
            static_cast<QDialog*>(dialog)->reject();
        };
        test::OnModal(record);
        DoubleClick(image.center());
        QTRY_COMPARE(opened, QString("TFormb"));
        QCOMPARE(title, QString("Modify Image1"));
        QCOMPARE(location, QString("images/sky.png"));
        QCOMPARE(ListText("Com2"), QString("Image1"));

        opened.clear();
        test::OnModal(record);
        DispatchDoubleClick(RectOf("Text Link2").center());
        QTRY_COMPARE(opened, QString("TFormCom"));
        QCOMPARE(ListText("Com2"), QString("Text Link2"));
        QVERIFY2(note.contains("differs at character"), qPrintable(note));

        opened.clear();
        test::OnModal(record);
        DispatchDoubleClick(image.center());
        QTRY_COMPARE(opened, QString("TFormb"));
        QCOMPARE(title, QString("Modify Image1"));
        QCOMPARE(ReadPageFile((Site() + "index.html").toStdString()), PointingPage());

        opened.clear();
        test::OnModal([&](QWidget* dialog) {
            opened = dialog->objectName();
            static_cast<QDialog*>(dialog)->reject();
        });
        DoubleClick(QPoint(area2.right() - 20, area2.bottom() - 10));
        QTRY_COMPARE(opened, QString("TFormModify5"));
        QCOMPARE(ListText("Com1"), QString("Area2"));
    }

    void APlainClickOnALinkSelectsItAndNeverFollowsIt() {
        // Each link (a project page, another address, one for a new window):
        // the click selects it, the desktop is asked nothing, the page stays.
        for (const char* entry : {"Text Link1", "Text Link2", "Text Link3"}) {
            Click(RectOf(entry).center());
            QTRY_COMPARE(ListText("Com2"), QString(entry));
            QCOMPARE(ListText("Com1"), QString("Area2"));
        }
        QTest::qWait(300); // time for a navigation the page should not start
        QCOMPARE(prompts_->asked, QStringList());
        QCOMPARE(window_->workspace().page_name, std::string("index.html"));
        QCOMPARE(Web()->ShownFile(), Site() + "index.html");
        QVERIFY(Web()->VisibleText().contains("Other page"));
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());
    }

    void CtrlClickAndOpenLinkFollowALink() {
        // A page of the project: the page list's question first.
        prompts_->Queue(Prompts::Answer::No);
        QTest::mouseClick(Target(), Qt::LeftButton, Qt::ControlModifier,
                          RectOf("Text Link1").center());
        QTRY_COMPARE(prompts_->asked, QStringList{"ask: Open Page?"});
        QCOMPARE(window_->workspace().page_name, std::string("index.html"));

        // Another address, and one for a new window, go to the desktop; the preview stays.
        QTest::mouseClick(Target(), Qt::LeftButton, Qt::ControlModifier,
                          RectOf("Text Link2").center());
        QTRY_COMPARE(prompts_->asked.last(), QString("open-url: https://example.org/away"));
        QTest::mouseClick(Target(), Qt::LeftButton, Qt::ControlModifier,
                          RectOf("Text Link3").center());
        QTRY_COMPARE(prompts_->asked.last(), QString("open-url: mailto:me@example.org"));
        QCOMPARE(Web()->ShownFile(), Site() + "index.html");
        QVERIFY(Web()->VisibleText().contains("Other page"));
        QCOMPARE(prompts_->asked.size(), 3);

        // The context menu offers Open Link over a link only.
        auto* menu = window_->findChild<QMenu*>("PreviewMenu");
        auto* open_link = window_->findChild<QAction*>("PreviewOpenLink");
        QVERIFY(menu != nullptr && open_link != nullptr);
        const QRect area2 = RectOf("Area2");
        QTest::mouseClick(Target(), Qt::RightButton, {},
                          QPoint(area2.right() - 20, area2.bottom() - 10));
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!open_link->isVisible());
        menu->hide();
        QTest::mouseClick(Target(), Qt::RightButton, {}, RectOf("Text Link2").center());
        QTRY_VERIFY(menu->isVisible() && open_link->isVisible());
        test::Shoot(menu, "preview_link_menu");
        open_link->trigger();
        menu->hide();
        QCOMPARE(prompts_->asked.last(), QString("open-url: https://example.org/away"));
        QCOMPARE(prompts_->asked.size(), 4);

        prompts_->Queue(Prompts::Answer::Yes);
        QTest::mouseClick(Target(), Qt::RightButton, {}, RectOf("Text Link1").center());
        QTRY_VERIFY(menu->isVisible() && open_link->isVisible());
        open_link->trigger();
        menu->hide();
        QTRY_COMPARE(window_->workspace().page_name, std::string("other.html"));
        QCOMPARE(Web()->ShownFile(), Site() + "other.html");
        QTRY_VERIFY(RectOf("Image1").width() == 120);
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());
    }

    void OutlinesAreDrawnForWhatIsOnTheScreen() {
        WritePageFile((Site() + "tall.html").toStdString(), TallPage());
        prompts_->Queue(Site() + "tall.html");
        window_->OpenPageClick();
        QVERIFY(Web()->WaitForLoaded());
        QTRY_VERIFY(Web()->OutlinesDone());
        QTRY_VERIFY(Drawn().contains("Area1 area"));
        QVERIFY(!Drawn().contains("Area30 area"));
        Web()->RunScript("window.scrollTo(0, document.body.scrollHeight)");
        QTRY_VERIFY(Drawn().contains("Area30 area"));
        QVERIFY(!Drawn().contains("Area1 area"));
        // A click far down the page still picks what is under it.
        const QRect area30 = RectOf("Area30");
        Click(QPoint(area30.right() - 20, area30.top() + 20));
        QTRY_COMPARE(ListText("Com1"), QString("Area30"));
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());
    }

    void APageOfTooManyAreasGetsANoteAndStillSelects() {
        WritePageFile((Site() + "many.html").toStdString(), ManyAreasPage(40000));
        prompts_->Queue(Site() + "many.html");
        window_->OpenPageClick();
        QVERIFY(Web()->WaitForLoaded());
        QTRY_VERIFY(Web()->OutlinesDone());
        const QJsonObject state = Web()->OutlineState();
        QVERIFY(state.value("tooMany").toBool());
        QCOMPARE(state.value("note").toString(),
                 QString("40001 areas: too many to outline. A click still selects the area under "
                         "the pointer."));
        QCOMPARE(Drawn(), QStringList());
        // A click picks the adjacent area under it (its cell is the fifth of
        // the row), which is then outlined as chosen.
        const QVariantList box =
            Web()
                ->RunScript("(function () { var r = document.querySelectorAll('td')[4]"
                            ".getBoundingClientRect(); return [r.left, r.top, r.width, "
                            "r.height]; })()")
                .toList();
        QCOMPARE(box.size(), 4);
        const QRect cell = QRectF(box.at(0).toDouble(), box.at(1).toDouble(), box.at(2).toDouble(),
                                  box.at(3).toDouble())
                               .toRect();
        QVERIFY(cell.width() > 0);
        Click(cell.center());
        QTRY_COMPARE(ListText("Com1"), QString("Area5"));
        QTRY_COMPARE(Drawn(), QStringList{"Area5 area chosen"});
        // The link in the first cell: itself and the area around it.
        const QVariantList link =
            Web()
                ->RunScript("(function () { var r = document.querySelector('a')"
                            ".getBoundingClientRect(); return [r.left + r.width / 2, "
                            "r.top + r.height / 2]; })()")
                .toList();
        QCOMPARE(link.size(), 2);
        prompts_->asked.clear();
        Click(QPointF(link.at(0).toDouble(), link.at(1).toDouble()).toPoint());
        QTRY_COMPARE(ListText("Com2"), QString("Text Link1"));
        QCOMPARE(ListText("Com1"), QString("Area1"));
        QTRY_VERIFY(Drawn().contains("Text Link1 comp chosen"));
        QVERIFY(prompts_->asked.isEmpty());
        test::Shoot(window_.get(), "preview_many_areas", "Web1");
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());
    }

    void PrintShowsThePageAsAVisitorSeesItOnThePapersWidth() {
        WritePageFile((Site() + "wide.html").toStdString(), WidePage());
        prompts_.reset();
        auto prompts = std::make_unique<PdfPrompts>();
        prompts->pdf_path = dir_->filePath("printed.pdf");
        prompts->Queue(Site() + "wide.html");
        window_->OpenPageClick();
        QCOMPARE(window_->workspace().page_name, std::string("wide.html"));
        // Outlined, named and chosen in the preview.
        window_->findChild<QComboBox*>("Com1")->setEditText("Area1");
        window_->findChild<QComboBox*>("Com2")->setEditText("Image1");
        QTRY_VERIFY(Drawn().contains("Area1 area chosen"));
        QVERIFY(Drawn().contains("Image1 comp chosen"));

        // The preview closed without printing prints nothing.
        window_->findChild<QAction*>("Print")->trigger();
        QCOMPARE(prompts->asked.last(), QString("print"));
        QVERIFY(!QFile::exists(prompts->pdf_path));

        prompts->Queue(true);
        window_->findChild<QAction*>("Print")->trigger();
        QVERIFY(prompts->asked.filter("error:").isEmpty());
        QPdfDocument pdf;
        QCOMPARE(pdf.load(prompts->pdf_path), QPdfDocument::Error::None);
        QCOMPARE(pdf.pageCount(), 1);
        // The whole width on the paper, the red last column included, and no
        // outline or name in the editor's blue or the chosen orange (the
        // printout holds the pages as pictures).
        const QSizeF points = pdf.pagePointSize(0);
        const QImage page = pdf.render(0, (points * 2).toSize());
        page.save("/tmp/shots/printed_page.png");
        const QImage right = page.copy(page.width() / 2, 0, page.width() / 2, page.height());
        QVERIFY(PixelsNear(right, QColor("#ff0000")) > 500);
        // The red column ends before the paper's edge, as far in as the page starts.
        int first_ink = page.width();
        int last_red = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QColor pixel = page.pixelColor(x, y);
                if (pixel.alpha() > 128 && pixel.lightness() < 128) {
                    first_ink = std::min(first_ink, x);
                }
                if (pixel.red() > 200 && pixel.green() < 60 && pixel.blue() < 60) {
                    last_red = std::max(last_red, x);
                }
            }
        }
        QVERIFY(first_ink > 4);
        QVERIFY(last_red < page.width() - first_ink / 2);
        QCOMPARE(PixelsNear(page, QColor("#e8710a")), 0);
        QCOMPARE(PixelsNear(page, QColor(0, 110, 200)), 0);
        // The preview keeps its outlines and its page.
        QVERIFY(Drawn().contains("Area1 area chosen"));
        QCOMPARE(Web()->ShownFile(), Site() + "wide.html");
        QCOMPARE(Web()->ConsoleMessages().filter("error:"), QStringList());
        prompts_ = std::move(prompts);
    }

    void ThePrintPreviewShowsThePrintedPages() {
        QPrinter printer(QPrinter::HighResolution);
        int painted = 0;
        std::unique_ptr<QPrintPreviewDialog> preview(
            NewPrintPreview(window_.get(), &printer, [&](QPrinter* target) {
                QVERIFY(Web()->Print(target));
                ++painted;
            }));
        preview->show();
        QTRY_VERIFY(painted >= 1);
        auto* pages = preview->findChild<QPrintPreviewWidget*>();
        QVERIFY(pages != nullptr);
        QTRY_COMPARE(pages->pageCount(), 1);
        QTest::qWait(200);
        QDir().mkpath("/tmp/shots");
        preview->grab().save("/tmp/shots/print_preview.png");
        preview->close();
        Web()->EndPrinting();
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
            bool find_ready = false;
            bool dialog_active = false;
            // Whatever the checks find, the dialog is closed, so a failure is
            // told instead of holding the test until its time runs out.
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
                // Ctrl+F, a word, Enter: the word is selected. A window's
                // shortcuts take keys once it is the active one: on a loaded
                // machine that can take a while, so it is waited for.
                dialog_active = QTest::qWaitForWindowActive(dialog, 20000);
                QTest::keyClick(memo, Qt::Key_F, Qt::ControlModifier);
                auto* find = dialog->findChild<QLineEdit*>("FindEdit");
                find_ready = QTest::qWaitFor(
                    [find] { return find->isVisible() && test::HasFocusInWindow(find); }, 10000);
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
            QVERIFY2(dialog_active, "the source view did not become the active window in 20 s");
            QVERIFY2(find_ready, "Ctrl+F did not show the find box with the focus in 10 s");
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
