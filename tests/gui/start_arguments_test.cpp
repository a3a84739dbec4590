#include "about/about_dialog.h"
#include "about/version.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "dialog_driving.h"
#include "document/page_file.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "services/icons.h"
#include "services/preview.h"
#include "test_pages.h"
#include "workspace/app_folder.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace qf {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The mean difference of two pictures of one size, per pixel and channel (0 to 255).
double MeanDifference(const QImage& one, const QImage& other) {
    const QImage a = one.convertToFormat(QImage::Format_ARGB32);
    const QImage b = other.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

} // namespace

class StartArgumentsTest : public test::GuiTest {
    Q_OBJECT

private:
    // The folder "my site" (a blank, and non-ASCII) holding two pages.
    QString Site() const { return dir_->filePath("my site é") + "/"; }

    EditorCommandLine Parse(const QStringList& paths) {
        return ParseEditorCommandLine(QStringList{"quenfort"} + paths);
    }

    // Starts the main window as main() does with `line`.
    void Start(const EditorCommandLine& line) {
        window_ = std::make_unique<TForm1>();
        window_->OpenAtStart(line);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->FormActivate();
    }

    QStringList PageList() const {
        QStringList names;
        auto* list = window_->findChild<QListWidget*>("FileListBox1");
        for (int i = 0; i < list->count(); ++i) {
            names << list->item(i)->text();
        }
        return names;
    }

    QString MarkedPage() const {
        QListWidgetItem* item = window_->findChild<QListWidget*>("FileListBox1")->currentItem();
        return item != nullptr ? item->text() : QString();
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }

    void init() {
        StartTest();
        QDir().mkpath(Site());
        WritePageFile((Site() + "index.html").toStdString(), test::WorkedExamplePage());
        WritePageFile((Site() + "Other.HTM").toStdString(), test::PageWith("<!---Table1---!>"));
    }

    void cleanup() { EndTest(); }

    void argumentsAreReadAsAFolderAPageOrAMistake() {
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(Site()));
        const EditorCommandLine folder = Parse({"."});
        const EditorCommandLine page = Parse({"Other.HTM"});
        const EditorCommandLine dotted = Parse({"./../my site é/index.html"});
        QVERIFY(QDir::setCurrent(cwd));

        QCOMPARE(folder.open, EditorCommandLine::Open::Project);
        QCOMPARE(folder.path + "/", Site());
        QVERIFY(folder.error.isEmpty());
        QCOMPARE(page.open, EditorCommandLine::Open::Page);
        QCOMPARE(page.path, Site() + "Other.HTM");
        QCOMPARE(dotted.path, Site() + "index.html");

        const EditorCommandLine nothing = Parse({});
        QCOMPARE(nothing.open, EditorCommandLine::Open::Nothing);
        QVERIFY(nothing.error.isEmpty() && !nothing.help && !nothing.version);
        QVERIFY(Parse({"--version"}).version);
        QVERIFY(Parse({"-h"}).help);
        QVERIFY(EditorHelpText().startsWith("Usage: quenfort [options] [FOLDER | PAGE.html]\n"));
        QCOMPARE(EditorVersionText(), QString("quenfort %1\n").arg(kVersion));

        // Every mistake opens nothing and says what is wrong in one line.
        QFile text(Site() + "notes.txt");
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.close();
        const QList<QPair<QStringList, QString>> mistakes = {
            {{Site(), Site() + "index.html"}, "one folder or page at a time"},
            {{Site() + "notes.txt"}, "is neither a project folder nor a page"},
            {{Site() + "gone.html"}, "does not exist"},
            {{"--no-such-option"}, "no-such-option"},
        };
        for (const auto& [arguments, message] : mistakes) {
            const EditorCommandLine line = Parse(arguments);
            QVERIFY2(line.error.contains(message), qPrintable(line.error));
            QVERIFY(!line.error.contains('\n'));
            QCOMPARE(line.open, EditorCommandLine::Open::Nothing);
        }
    }

    void aFolderGivenOpensAsTheProject() {
        Start(Parse({Site()}));
        QCOMPARE(Q(window_->workspace().project_folder), Site());
        QCOMPARE(PageList(), QStringList({"index.html"}));
        QVERIFY(!window_->workspace().HasOpenPage());
        // The home page stays in the preview; nothing was asked.
        QVERIFY(window_->preview()->ShownFile().endsWith("bin/home.html"));
        QVERIFY(prompts_->asked.isEmpty());
    }

    void aPageGivenOpensWithItsFolderAsTheProject() {
        Start(Parse({Site() + "index.html"}));
        QCOMPARE(Q(window_->workspace().project_folder), Site());
        QVERIFY(window_->workspace().HasOpenPage());
        QCOMPARE(Q(window_->workspace().page_path), Site() + "index.html");
        QCOMPARE(window_->findChild<QLabel*>("lblName")->text(), QString("index.html"));
        QCOMPARE(MarkedPage(), QString("index.html"));
        QCOMPARE(window_->workspace().page_text, test::WorkedExamplePage());
        QTRY_COMPARE(window_->preview()->ShownFile(), Site() + "index.html");
        QVERIFY(window_->findChild<QWidget*>("PageControl1")->isEnabled());
        QVERIFY(prompts_->asked.isEmpty());
        // The start-up does not run a second time.
        window_->FormActivate();
        QCOMPARE(Q(window_->workspace().page_path), Site() + "index.html");
    }

    void aPageThatCannotBeReadIsShownAsAnError() {
        // Made a page name only after it was read as one: the check at start
        // and the opening are apart in time, and the file may go between.
        const EditorCommandLine line = Parse({Site() + "index.html"});
        QVERIFY(QFile::remove(Site() + "index.html"));
        Start(line);
        QCOMPARE(prompts_->asked.size(), 1);
        QVERIFY2(prompts_->asked[0].startsWith("error: ") &&
                     prompts_->asked[0].contains("index.html"),
                 qPrintable(prompts_->asked[0]));
        // The folder is open as the project; no page is.
        QCOMPARE(Q(window_->workspace().project_folder), Site());
        QVERIFY(!window_->workspace().HasOpenPage());
        QCOMPARE(PageList(), QStringList());
    }

    void theIconFilesShowTheProductPicture() {
        const QString folder = QUENFORT_ICON_FOLDER;
        for (int size : {48, 128, 256}) {
            const QImage png(QString("%1/quenfort-%2.png").arg(folder).arg(size));
            QCOMPARE(png.size(), QSize(size, size));
            // The same picture, but for the rounding of stored transparency.
            QVERIFY(MeanDifference(png, ProductPicture(size).toImage()) < 0.1);
        }
        // The scalable picture, drawn by a renderer of its own, looks the same.
        QSvgRenderer svg(folder + "/quenfort.svg");
        QVERIFY(svg.isValid());
        QImage drawn(256, 256, QImage::Format_ARGB32);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        svg.render(&painter);
        painter.end();
        const QImage picture = ProductPicture(256).toImage();
        QVERIFY2(MeanDifference(drawn, picture) < 1.0,
                 qPrintable(QString::number(MeanDifference(drawn, picture))));
        // Not a blank or a single colour: the letter and the sun are there.
        QImage blank(256, 256, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        QVERIFY(MeanDifference(drawn, blank) > 50);
        QCOMPARE(drawn.pixelColor(195, 195), QColor(0xff, 0xc1, 0x07));
    }

    void theAboutBoxShowsTheVersion() {
        TForm90 about;
        // One version only: the program's own, in the title.
        QCOMPARE(about.findChild<QLabel*>("Label5")->text(),
                 QString("Quenfort Website Developer v%1").arg(kVersion));
        QCOMPARE(about.findChild<QLabel*>("Version"), nullptr);
        QVERIFY(QString(kVersion).contains(QRegularExpression("^\\d+\\.\\d+\\.\\d+$")));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        about.grab().save("/tmp/grabs-install/about.png");
    }
};

} // namespace qf

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    qf::StartArgumentsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "start_arguments_test.moc"
