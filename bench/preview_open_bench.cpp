// Opening a page in the editor beside a bare browser view loading the same
// file: pages of 1 MB and 10 MB (one area of declared text components) and a
// row of 40,000 adjacent areas. For each, in one run:
//   open_ms      from the start of the opening to a ready window: the page
//                loaded and painted in the preview (and, in the editor, the
//                lists, labels and outlines' first drawing done);
//   outlined_ms  (editor) until the outline script has measured every block
//                or has put up its note;
//   gui_stop_ms  the longest stop of the window's event loop, from the start
//                to the outlines' end;
//   page_stop_ms the longest the page's renderer kept a script call waiting
//                (calls sent every 20 ms from the load to the outlines' end).
// Goal: the editor's open_ms within 1.5 times the bare view's, no stop over
// 100 ms.

#include "app/main_window.h"
#include "document/page_file.h"
#include "services/preview.h"
#include "services/prompts.h"
#include "workspace/app_folder.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

enum Shape { kOneMegabyte = 0, kTenMegabytes = 1, kAdjacentAreas = 2 };
constexpr const char* kShapeNames[] = {"1 MB", "10 MB", "40,000 adjacent areas"};

// One area of text components of about 1 KB each, every one declared.
std::string PageOfSize(std::size_t size) {
    std::string paragraph;
    while (paragraph.size() < 1000) {
        paragraph += "Some words of running text in a paragraph of the page. ";
    }
    std::string declarations = "<!---Table1---!>";
    std::string body = "<!---Begin_Table1---!><table width=\"760\"><tr><td width=\"760\">";
    for (int n = 1; body.size() < size; ++n) {
        const std::string name = "Text" + std::to_string(n);
        declarations += "<!---" + name + "---!>";
        body += "<!---Begin_" + name + "---!><font face=\"Arial\" size=\"3\">" + paragraph +
                "</font><br><!---End_" + name + "---!>";
    }
    body += "</td></tr></table><!---End_Table1---!>";
    return "<html><head><title>Bench</title></head><body><!---End_Body---!>"
           "<!---declare_begin---!>" +
           declarations + "<!---////---!><!---declare_end---!></body>" + body + "</html>";
}

// Area 1's table holding one row of 40,000 adjacent areas, every one declared.
std::string AdjacentAreasPage() {
    std::string declarations = "<!---Table1---!>";
    std::string body = "<!---Begin_Table1---!><table><tr><td width=\"40\">x</td>";
    for (int n = 2; n <= 40001; ++n) {
        const std::string name = "Table" + std::to_string(n);
        declarations += "<!---" + name + "---!>";
        body += "<!---Begin_" + name + "---!><td>y</td><!---End_" + name + "---!>";
    }
    body += "</tr></table><!---End_Table1---!>";
    return "<html><head><title>Bench</title></head><body><!---End_Body---!>"
           "<!---declare_begin---!>" +
           declarations + "<!---////---!><!---declare_end---!></body>" + body + "</html>";
}

// Answers every question with Yes and shows nothing.
class QuietPrompts : public qf::Prompts {
public:
    void Inform(QWidget*, const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    void ShowError(QWidget*, const QString& text) override {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    }
    QString Choose(QWidget*, const QString&, const QStringList& buttons) override {
        return buttons.value(0);
    }
    Answer Ask(QWidget*, const QString&, bool, std::optional<QPoint>) override {
        return Answer::Yes;
    }
    std::optional<QString> Secret(QWidget*, const QString&) override { return std::nullopt; }
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString OpenPicture(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString ExistingFolder(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QColor> Colour(QWidget*, const QColor&) override { return std::nullopt; }
    bool Print(QWidget*, QPrinter*, const PaintPages&) override { return false; }
    void OpenUrl(QWidget*, const QUrl&) override {}
};

// The longest stop of the event loop while it lives: a timer due every 5 ms
// that notes how late it comes.
class StopWatch : public QObject {
public:
    StopWatch() {
        clock_.start();
        last_ = clock_.elapsed();
        connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        timer_.start(5);
    }
    // Counts the stop still running as well.
    qint64 Longest() const { return std::max(longest_, clock_.elapsed() - last_); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

// The longest round trip of a script call to `page`, sent every 20 ms.
class PageWatch : public QObject {
public:
    explicit PageWatch(QWebEnginePage* page) : page_(page) {
        connect(&timer_, &QTimer::timeout, this, [this] { Send(); });
        timer_.start(20);
    }
    qint64 Longest() const {
        return std::max(longest_, waiting_ ? clock_.elapsed() - sent_ : qint64(0));
    }

private:
    void Send() {
        if (waiting_ || page_ == nullptr) {
            return;
        }
        waiting_ = true;
        if (!clock_.isValid()) {
            clock_.start();
        }
        sent_ = clock_.elapsed();
        QPointer<PageWatch> self(this);
        page_->runJavaScript("1", [self](const QVariant&) {
            if (self) {
                self->longest_ = std::max(self->longest_, self->clock_.elapsed() - self->sent_);
                self->waiting_ = false;
            }
        });
    }

    QPointer<QWebEnginePage> page_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 sent_ = 0;
    qint64 longest_ = 0;
    bool waiting_ = false;
};

// Runs the event loop until `done` holds (checked every 5 ms) or a minute passed.
bool RunUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 60'000) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

struct Folder {
    QTemporaryDir dir{QDir::tempPath() + "/quenfort-bench-XXXXXX"};
    std::map<int, QString> pages;

    QString Page(int shape) {
        auto found = pages.find(shape);
        if (found != pages.end()) {
            return found->second;
        }
        QDir(dir.path()).mkpath("site");
        const QString path = dir.filePath("site/page" + QString::number(shape) + ".html");
        qf::WritePageFile(path.toStdString(), shape == kAdjacentAreas ? AdjacentAreasPage()
                                              : shape == kOneMegabyte ? PageOfSize(1'000'000)
                                                                      : PageOfSize(10'000'000));
        return pages[shape] = path;
    }
};

Folder& Pages() {
    static Folder folder;
    return folder;
}

struct Medians {
    std::map<std::string, std::vector<double>> values;
    double Of(const std::string& name) {
        std::vector<double> list = values[name];
        std::sort(list.begin(), list.end());
        return list.empty() ? 0.0 : list[list.size() / 2];
    }
};
std::map<std::string, Medians>& Results() {
    static std::map<std::string, Medians> results;
    return results;
}

void Report(benchmark::State& state, const std::string& key, const std::string& counter,
            double value) {
    Results()[key].values[counter].push_back(value);
    state.counters[counter] = Results()[key].Of(counter);
}

void BM_BareView(benchmark::State& state) {
    const int shape = int(state.range(0));
    const QString path = Pages().Page(shape);
    state.SetLabel(kShapeNames[shape]);
    for (auto _ : state) {
        auto view = std::make_unique<QWebEngineView>();
        view->resize(793, 329); // the editor's preview
        view->show();
        QApplication::processEvents();
        bool loaded = false;
        QObject::connect(view.get(), &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
        StopWatch stops;
        PageWatch page_stops(view->page());
        QElapsedTimer clock;
        clock.start();
        view->load(QUrl::fromLocalFile(path));
        if (!RunUntil([&] { return loaded; })) {
            state.SkipWithError("the page did not load");
            return;
        }
        const double open_ms = double(clock.elapsed());
        // What the renderer still does right after its load counts too.
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();
        const std::string key = std::string("bare ") + kShapeNames[shape];
        Report(state, key, "open_ms", open_ms);
        Report(state, key, "gui_stop_ms", double(stops.Longest()));
        Report(state, key, "page_stop_ms", double(page_stops.Longest()));
    }
}

void BM_EditorOpen(benchmark::State& state) {
    const int shape = int(state.range(0));
    const QString path = Pages().Page(shape);
    state.SetLabel(kShapeNames[shape]);
    QuietPrompts prompts;
    qf::InstallPrompts(&prompts);
    for (auto _ : state) {
        // As the editor starts with a page named on its command line.
        auto window = std::make_unique<qf::TForm1>();
        qf::EditorCommandLine line;
        line.open = qf::EditorCommandLine::Open::Page;
        line.path = path;
        window->OpenAtStart(line);
        qf::Preview* preview = window->preview();
        bool loaded = false;
        QObject::connect(preview, &qf::Preview::Loaded, [&](bool) { loaded = true; });
        StopWatch stops;
        PageWatch page_stops(preview->Page());
        QElapsedTimer clock;
        clock.start();
        window->show();
        window->FormActivate();
        if (!RunUntil([&] { return loaded; })) {
            state.SkipWithError("the page did not load");
            return;
        }
        const double open_ms = double(clock.elapsed());
        if (!RunUntil([&] { return preview->OutlinesDone(); })) {
            QJsonObject outlines = preview->OutlineState();
            outlines.remove("blocks");
            std::fprintf(stderr, "%s\n", QJsonDocument(outlines).toJson().constData());
            state.SkipWithError("the outlines never finished");
            return;
        }
        const double outlined_ms = double(clock.elapsed());
        const std::string key = std::string("editor ") + kShapeNames[shape];
        Report(state, key, "open_ms", open_ms);
        Report(state, key, "outlined_ms", outlined_ms);
        Report(state, key, "gui_stop_ms", double(stops.Longest()));
        Report(state, key, "page_stop_ms", double(page_stops.Longest()));
    }
    qf::InstallPrompts(nullptr);
}

BENCHMARK(BM_BareView)->DenseRange(0, 2)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorOpen)->DenseRange(0, 2)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // The application folder and settings of the run go to a folder of its own.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(qf::kApplicationName);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nThe editor beside the bare view (medians, ms):\n");
    for (int shape = 0; shape < 3; ++shape) {
        Medians& bare = Results()[std::string("bare ") + kShapeNames[shape]];
        Medians& editor = Results()[std::string("editor ") + kShapeNames[shape]];
        const double ratio = bare.Of("open_ms") > 0 ? editor.Of("open_ms") / bare.Of("open_ms") : 0;
        std::printf("  %-22s open %7.0f against %7.0f (%.2f times), outlined %7.0f; longest "
                    "stop: window %4.0f against %4.0f, page %4.0f against %4.0f\n",
                    kShapeNames[shape], editor.Of("open_ms"), bare.Of("open_ms"), ratio,
                    editor.Of("outlined_ms"), editor.Of("gui_stop_ms"), bare.Of("gui_stop_ms"),
                    editor.Of("page_stop_ms"), bare.Of("page_stop_ms"));
    }
    benchmark::Shutdown();
    return 0;
}
