#include "services/preview.h"

#include <QEventLoop>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace qf {

namespace {

// A page that keeps what the shown page writes to the console.
class ConsolePage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;
    QStringList messages;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString&) override {
        const char* kind = level == ErrorMessageLevel     ? "error"
                           : level == WarningMessageLevel ? "warning"
                                                          : "info";
        messages << QString("%1: %2 (line %3)").arg(kind, message).arg(line);
    }
};

} // namespace

struct Preview::Impl {
    QWebEngineView* view = nullptr;
    ConsolePage* page = nullptr;
    QString shown;
    bool loading = false;
    bool last_load_ok = false;
};

Preview::Preview(QWidget* parent) : QWidget(parent), impl_(std::make_unique<Impl>()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    impl_->view = new QWebEngineView(this);
    impl_->view->setContextMenuPolicy(Qt::NoContextMenu);
    impl_->page = new ConsolePage(impl_->view);
    impl_->view->setPage(impl_->page);
    layout->addWidget(impl_->view);
    setMinimumSize(80, 60);
    connect(impl_->view, &QWebEngineView::loadStarted, this, [this] { impl_->loading = true; });
    connect(impl_->view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        impl_->loading = false;
        impl_->last_load_ok = ok;
        Q_EMIT Loaded(ok);
    });
}

Preview::~Preview() = default;

void Preview::ShowFile(const QString& path) {
    impl_->shown = path;
    impl_->page->messages.clear();
    impl_->loading = true;
    impl_->last_load_ok = false;
    const QUrl url = QUrl::fromLocalFile(path);
    if (impl_->view->url() == url) {
        impl_->view->reload();
    } else {
        impl_->view->load(url);
    }
}

QString Preview::ShownFile() const {
    return impl_->shown;
}

namespace {

// The outcome of something the browser finishes later. Callbacks hold it
// shared, so one that arrives after the wait gave up finds nothing to quit.
struct Wait {
    bool finished = false;
    bool ok = false;
    QString text;
    QPointer<QEventLoop> loop;

    void Done(bool result) {
        if (finished) {
            return;
        }
        finished = true;
        ok = result;
        if (loop) {
            loop->quit();
        }
    }
};

// Runs a local event loop until the wait is done or `timeout_ms` has passed.
bool RunUntilDone(const std::shared_ptr<Wait>& wait, int timeout_ms) {
    if (wait->finished) {
        return wait->ok;
    }
    QEventLoop loop;
    wait->loop = &loop;
    QTimer::singleShot(timeout_ms, &loop, &QEventLoop::quit);
    loop.exec();
    wait->loop = nullptr;
    return wait->finished && wait->ok;
}

} // namespace

bool Preview::WaitForLoaded(int timeout_ms) {
    if (!impl_->loading) {
        return impl_->last_load_ok;
    }
    auto wait = std::make_shared<Wait>();
    const QMetaObject::Connection connection =
        connect(this, &Preview::Loaded, this, [wait](bool ok) { wait->Done(ok); });
    const bool ok = RunUntilDone(wait, timeout_ms);
    disconnect(connection);
    return ok;
}

QString Preview::VisibleText(int timeout_ms) {
    if (!WaitForLoaded(timeout_ms)) {
        return {};
    }
    auto wait = std::make_shared<Wait>();
    impl_->view->page()->toPlainText([wait](const QString& text) {
        wait->text = text;
        wait->Done(true);
    });
    RunUntilDone(wait, timeout_ms);
    return wait->text;
}

QStringList Preview::ConsoleMessages() const {
    return impl_->page->messages;
}

QVariant Preview::RunScript(const QString& script, int timeout_ms) {
    if (!WaitForLoaded(timeout_ms)) {
        return {};
    }
    auto wait = std::make_shared<Wait>();
    auto result = std::make_shared<QVariant>();
    impl_->page->runJavaScript(script, [wait, result](const QVariant& value) {
        *result = value;
        wait->Done(true);
    });
    RunUntilDone(wait, timeout_ms);
    return *result;
}

bool Preview::Print(QPrinter* printer) {
    if (impl_->shown.isEmpty() || printer == nullptr || !WaitForLoaded()) {
        return false;
    }
    auto wait = std::make_shared<Wait>();
    const QMetaObject::Connection connection = connect(impl_->view, &QWebEngineView::printFinished,
                                                       this, [wait](bool ok) { wait->Done(ok); });
    impl_->view->print(printer);
    // The printer must outlive the print job, so this waits for its end.
    while (!wait->finished) {
        RunUntilDone(wait, 60 * 1000);
    }
    disconnect(connection);
    return wait->ok;
}

} // namespace qf
