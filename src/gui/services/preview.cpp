#include "services/preview.h"

#include "document/kind_table.h"
#include "services/utf8_text.h"

#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QPageLayout>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <algorithm>

namespace qf {

namespace {

// The object the outline script talks to: what to draw, and what was picked.
class OutlineBridge : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool showAreas MEMBER show_areas NOTIFY changed)
    Q_PROPERTY(QString chosenArea MEMBER chosen_area NOTIFY changed)
    Q_PROPERTY(QString chosenComponent MEMBER chosen_component NOTIFY changed)

public:
    using QObject::QObject;

    bool show_areas = true;
    QString chosen_area;
    QString chosen_component;

public Q_SLOTS:
    void Pointed(const QString& area, const QString& component) { Q_EMIT pointed(area, component); }
    void DoubleClicked(const QString& area, const QString& component) {
        Q_EMIT doubleClicked(area, component);
    }

Q_SIGNALS:
    void changed();
    void pointed(const QString& area, const QString& component);
    void doubleClicked(const QString& area, const QString& component);
};

// The page of a preview: a link never navigates it (the owner is told
// instead), a form is never sent, and what the page writes to the console
// is kept.
class PreviewPage : public QWebEnginePage {
public:
    PreviewPage(std::function<void(const QUrl&)> on_link, QObject* parent)
        : QWebEnginePage(parent), on_link_(std::move(on_link)) {
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest& request) {
                    if (request.isUserInitiated()) {
                        on_link_(request.requestedUrl());
                    }
                });
    }

    QStringList messages;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool main_frame) override {
        if (!main_frame) {
            return true; // a frame's own links stay in the frame
        }
        if (type == NavigationTypeFormSubmitted) {
            return false;
        }
        if (type != NavigationTypeLinkClicked) {
            return true;
        }
        // A jump within the page shown stays a jump.
        if (url.hasFragment() &&
            url.adjusted(QUrl::RemoveFragment) == this->url().adjusted(QUrl::RemoveFragment)) {
            return true;
        }
        on_link_(url);
        return false;
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString&) override {
        const char* kind = level == ErrorMessageLevel     ? "error"
                           : level == WarningMessageLevel ? "warning"
                                                          : "info";
        messages << QString("%1: %2 (line %3)").arg(kind, message).arg(line);
    }

private:
    std::function<void(const QUrl&)> on_link_;
};

// The outline script with the web channel's client before it, and the
// kind table's display names filled in.
QString OutlineScriptSource() {
    QFile channel(":/qtwebchannel/qwebchannel.js");
    QFile outlines(":/preview/preview_outlines.js");
    if (!channel.open(QIODevice::ReadOnly) || !outlines.open(QIODevice::ReadOnly)) {
        return {};
    }
    QJsonObject kinds;
    for (const Kind& kind : Kinds()) {
        if (!kind.display_name.empty()) {
            kinds.insert(Q(kind.tag), Q(kind.display_name));
        }
    }
    QString script = QString::fromUtf8(outlines.readAll());
    script.replace("__KINDS__",
                   QString::fromUtf8(QJsonDocument(kinds).toJson(QJsonDocument::Compact)));
    return QString::fromUtf8(channel.readAll()) + "\n" + script;
}

QString ScriptResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The print style that zooms a page wider than the paper down to its width
// (%1, in CSS pixels): the page measured laid out at that width.
constexpr const char* kFitToPaper = R"((function (width) {
    var html = document.documentElement, body = document.body;
    if (!html) return 1;
    var old = document.getElementById('quenfort-print-fit');
    if (old) old.remove();
    var before = html.style.width;
    html.style.width = width + 'px';
    var wide = html.scrollWidth;
    if (body) {
        var margin = parseFloat(getComputedStyle(body).marginRight) || 0;
        wide = Math.max(wide, body.offsetLeft + body.scrollWidth + margin);
    }
    html.style.width = before;
    var zoom = wide > width + 1 ? 0.95 * width / wide : 1;
    if (zoom < 1) {
        var style = document.createElement('style');
        style.id = 'quenfort-print-fit';
        style.textContent = '@media print { html { zoom: ' + zoom + ' !important; } }';
        (document.head || html).appendChild(style);
    }
    return zoom;
})(%1))";

} // namespace

struct Preview::Impl {
    QWebEngineView* view = nullptr;
    PreviewPage* page = nullptr;
    OutlineBridge* bridge = nullptr;
    QMenu* menu = nullptr;
    QAction* open_link = nullptr;
    QUrl menu_link;
    QString shown;
    // The page shown once more, for printing: without the editor's scripts.
    QWebEngineView* print_view = nullptr;
    QString print_loaded;
    QUrl requested;
    bool loading = false;
    bool last_load_ok = false;
    QString script_after_load; // RunScriptLater's script while the page loads
    // The frame the view sits in, and the width the page is laid out at (0:
    // the whole width).
    QFrame* frame = nullptr;
    QHBoxLayout* row = nullptr;
    int layout_width = 0;
};

Preview::Preview(QWidget* parent) : QWidget(parent), impl_(std::make_unique<Impl>()) {
    // The view in a frame between two stretches: at the whole width the frame
    // takes all of it and draws nothing; at a chosen width it is that wide.
    impl_->row = new QHBoxLayout(this);
    impl_->row->setContentsMargins(0, 0, 0, 0);
    impl_->row->setSpacing(0);
    impl_->frame = new QFrame(this);
    impl_->frame->setObjectName("PreviewFrame");
    auto* layout = new QVBoxLayout(impl_->frame);
    layout->setContentsMargins(0, 0, 0, 0);
    impl_->row->addStretch(0);
    impl_->row->addWidget(impl_->frame, 1);
    impl_->row->addStretch(0);
    impl_->view = new QWebEngineView(impl_->frame);
    impl_->page =
        new PreviewPage([this](const QUrl& url) { Q_EMIT LinkClicked(url); }, impl_->view);
    impl_->view->setPage(impl_->page);
    // Plain clicks on links stay clicks; the guard comes before the page's scripts.
    QWebEngineScript guard;
    guard.setName("quenfort-links");
    guard.setSourceCode(ScriptResource(":/preview/preview_links.js"));
    guard.setInjectionPoint(QWebEngineScript::DocumentCreation);
    guard.setWorldId(QWebEngineScript::ApplicationWorld);
    guard.setRunsOnSubFrames(true);
    impl_->page->scripts().insert(guard);
    impl_->menu = new QMenu(this);
    impl_->menu->setObjectName("PreviewMenu");
    impl_->open_link = impl_->menu->addAction(tr("Open Link"), this, [this] {
        if (impl_->menu_link.isValid()) {
            Q_EMIT LinkClicked(impl_->menu_link);
        }
    });
    impl_->open_link->setObjectName("PreviewOpenLink");
    impl_->menu->addSeparator()->setObjectName("PreviewOpenLinkSeparator");
    QAction* reload = impl_->menu->addAction(tr("Reload"), this, &Preview::Reload);
    reload->setObjectName("PreviewReload");
    reload->setShortcut(QKeySequence::Refresh);
    reload->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(reload);
    impl_->view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(impl_->view, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // "Open Link" only over a link, for the link under the pointer.
        const QWebEngineContextMenuRequest* request = impl_->view->lastContextMenuRequest();
        impl_->menu_link = request != nullptr ? request->linkUrl() : QUrl();
        const bool on_link = impl_->menu_link.isValid();
        impl_->open_link->setVisible(on_link);
        impl_->menu->actions().at(1)->setVisible(on_link);
        impl_->menu->popup(impl_->view->mapToGlobal(at));
    });
    layout->addWidget(impl_->view);
    setMinimumSize(80, 60);
    // Only the loads of the file shown count: a link that was not followed
    // starts and fails a load of its own, which leaves the page as it was.
    connect(impl_->page, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                if (info.url().adjusted(QUrl::RemoveFragment) != impl_->requested) {
                    return;
                }
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    impl_->loading = true;
                    return;
                }
                impl_->loading = false;
                if (impl_->layout_width > 0) {
                    FitLayoutWidth(); // a load may have taken the scale back to 1
                }
                impl_->last_load_ok = info.status() == QWebEngineLoadingInfo::LoadSucceededStatus;
                if (impl_->last_load_ok && !impl_->script_after_load.isEmpty()) {
                    impl_->page->runJavaScript(impl_->script_after_load);
                }
                impl_->script_after_load.clear();
                Q_EMIT Loaded(impl_->last_load_ok);
            });
}

Preview::~Preview() = default;

void Preview::ShowFile(const QString& path) {
    impl_->shown = path;
    impl_->print_loaded.clear(); // printed from a fresh load next time
    impl_->page->messages.clear();
    impl_->script_after_load.clear();
    impl_->loading = true;
    impl_->last_load_ok = false;
    const QUrl url = QUrl::fromLocalFile(path);
    impl_->requested = url;
    if (impl_->view->url() == url) {
        impl_->view->reload();
    } else {
        impl_->view->load(url);
    }
}

void Preview::SetLayoutWidth(int css_pixels) {
    const int width = std::max(0, css_pixels);
    if (width == impl_->layout_width) {
        return;
    }
    impl_->layout_width = width;
    const bool whole = width == 0;
    impl_->frame->setFrameStyle(whole ? QFrame::NoFrame : (QFrame::Box | QFrame::Plain));
    impl_->row->setStretch(0, whole ? 0 : 1);
    impl_->row->setStretch(1, whole ? 1 : 0);
    impl_->row->setStretch(2, whole ? 0 : 1);
    // Around the frame, the window's darker shade, so the page's edge shows.
    setAutoFillBackground(!whole);
    setBackgroundRole(whole ? QPalette::Window : QPalette::Mid);
    if (whole) {
        impl_->frame->setMinimumWidth(0);
        impl_->frame->setMaximumWidth(QWIDGETSIZE_MAX);
        impl_->view->setZoomFactor(1.0);
    } else {
        FitLayoutWidth();
    }
}

int Preview::LayoutWidth() const {
    return impl_->layout_width;
}

void Preview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (impl_->layout_width > 0) {
        FitLayoutWidth();
    }
}

void Preview::FitLayoutWidth() {
    const int border = impl_->frame->frameWidth();
    // The page's width in this widget's pixels, narrowed to what there is.
    const int room = std::max(1, width() - 2 * border);
    const int shown = std::min(room, impl_->layout_width);
    impl_->frame->setFixedWidth(shown + 2 * border);
    // The engine lays the page out at the view's width over its zoom, and
    // scales no further down than a quarter.
    const double zoom = std::max(0.25, double(shown) / impl_->layout_width);
    if (!qFuzzyCompare(impl_->view->zoomFactor(), zoom)) {
        impl_->view->setZoomFactor(zoom);
    }
}

QString Preview::ShownFile() const {
    return impl_->shown;
}

void Preview::Reload() {
    if (!impl_->shown.isEmpty()) {
        ShowFile(impl_->shown);
    }
}

void Preview::AddContextAction(QAction* action) {
    // Open Link, its separator, Reload, then a separator before the first added.
    if (impl_->menu->actions().size() == 3) {
        impl_->menu->addSeparator();
    }
    impl_->menu->addAction(action);
}

void Preview::SetPageStyle(const QString& prefix, const QString& css) {
    QWebEngineScriptCollection& scripts = impl_->page->scripts();
    for (const QWebEngineScript& old : scripts.find("quenfort-site-style")) {
        scripts.remove(old);
    }
    if (css.isEmpty() || prefix.isEmpty()) {
        return;
    }
    const auto literal = [](const QString& text) {
        return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    };
    QWebEngineScript style;
    style.setName("quenfort-site-style");
    style.setSourceCode("(function(){if(!location.href.startsWith(" + literal(prefix) +
                        "))return;var s=document.createElement('style');s.id='quenfort-site-style';"
                        "s.textContent=" +
                        literal(css) +
                        ";(document.head||document.documentElement).appendChild(s);})();");
    style.setInjectionPoint(QWebEngineScript::DocumentReady);
    style.setWorldId(QWebEngineScript::MainWorld);
    impl_->page->scripts().insert(style);
}

void Preview::EnableOutlines() {
    if (impl_->bridge != nullptr) {
        return;
    }
    impl_->bridge = new OutlineBridge(this);
    connect(impl_->bridge, &OutlineBridge::pointed, this, &Preview::PointedAt);
    connect(impl_->bridge, &OutlineBridge::doubleClicked, this, &Preview::DoubleClicked);
    auto* channel = new QWebChannel(this);
    channel->registerObject("quenfortPreview", impl_->bridge);
    impl_->page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);
    QWebEngineScript script;
    script.setName("quenfort-outlines");
    script.setSourceCode(OutlineScriptSource());
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    impl_->page->scripts().insert(script);
}

void Preview::ShowOutlines(bool on) {
    if (impl_->bridge != nullptr && impl_->bridge->show_areas != on) {
        impl_->bridge->show_areas = on;
        Q_EMIT impl_->bridge->changed();
    }
}

void Preview::ShowChosen(const QString& area, const QString& component) {
    OutlineBridge* bridge = impl_->bridge;
    if (bridge != nullptr &&
        (bridge->chosen_area != area || bridge->chosen_component != component)) {
        bridge->chosen_area = area;
        bridge->chosen_component = component;
        Q_EMIT bridge->changed();
    }
}

QWidget* Preview::PointerTarget() const {
    return impl_->view->focusProxy();
}

QStringList Preview::ConsoleMessages() const {
    return impl_->page->messages;
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

void Preview::ReportPlainClicks() {
    QWebEngineScriptCollection& scripts = impl_->page->scripts();
    for (const QWebEngineScript& guard : scripts.find(QStringLiteral("quenfort-links"))) {
        scripts.remove(guard);
    }
}

void Preview::RunScriptLater(const QString& script) {
    if (impl_->loading) {
        impl_->script_after_load = script;
        return;
    }
    impl_->page->runJavaScript(script);
}

QString Preview::EvaluateText(const QString& script, int timeout_ms) {
    if (!WaitForLoaded(timeout_ms)) {
        return {};
    }
    auto wait = std::make_shared<Wait>();
    impl_->page->runJavaScript(script, QWebEngineScript::MainWorld, [wait](const QVariant& result) {
        wait->text = result.toString();
        wait->Done(true);
    });
    RunUntilDone(wait, timeout_ms);
    return wait->text;
}

QJsonObject Preview::OutlineState(int timeout_ms) {
    if (impl_->bridge == nullptr || !WaitForLoaded(timeout_ms)) {
        return {};
    }
    auto wait = std::make_shared<Wait>();
    impl_->page->runJavaScript("window.quenfortOutlines ? window.quenfortOutlines.state() : ''",
                               QWebEngineScript::ApplicationWorld, [wait](const QVariant& result) {
                                   wait->text = result.toString();
                                   wait->Done(true);
                               });
    RunUntilDone(wait, timeout_ms);
    QJsonObject state = QJsonDocument::fromJson(wait->text.toUtf8()).object();
    // CSS pixels of the page to this widget's pixels.
    const double zoom = impl_->view->zoomFactor();
    QJsonObject blocks;
    const QJsonObject css = state.value("blocks").toObject();
    for (auto it = css.begin(); it != css.end(); ++it) {
        QJsonArray rect;
        for (const QJsonValue& value : it.value().toArray()) {
            rect.append(value.toDouble() * zoom);
        }
        blocks.insert(it.key(), rect);
    }
    state.insert("blocks", blocks);
    return state;
}

bool Preview::OutlinesDone(int timeout_ms) {
    if (impl_->bridge == nullptr || !WaitForLoaded(timeout_ms)) {
        return false;
    }
    auto wait = std::make_shared<Wait>();
    impl_->page->runJavaScript("window.quenfortOutlines ? window.quenfortOutlines.done() : false",
                               QWebEngineScript::ApplicationWorld,
                               [wait](const QVariant& result) { wait->Done(result.toBool()); });
    return RunUntilDone(wait, timeout_ms);
}

QWebEnginePage* Preview::Page() const {
    return impl_->page;
}

bool Preview::Print(QPrinter* printer) {
    if (impl_->shown.isEmpty() || printer == nullptr || !WaitForLoaded()) {
        return false;
    }
    // A page of its own, as a visitor's browser shows the file: none of the
    // editor's outlines, names or choices, which live in the preview's page.
    if (impl_->print_view == nullptr || impl_->print_loaded != impl_->shown) {
        delete impl_->print_view;
        impl_->print_view = new QWebEngineView(this);
        impl_->print_view->hide();
        auto* page = new PreviewPage([](const QUrl&) {}, impl_->print_view);
        impl_->print_view->setPage(page);
        auto loaded = std::make_shared<Wait>();
        connect(page, &QWebEnginePage::loadFinished, impl_->print_view,
                [loaded](bool ok) { loaded->Done(ok); });
        impl_->print_view->load(QUrl::fromLocalFile(impl_->shown));
        if (!RunUntilDone(loaded, 60 * 1000)) {
            EndPrinting();
            return false;
        }
        impl_->print_loaded = impl_->shown;
    }
    // Scaled down to the paper's width where the page is wider: the page is
    // measured laid out at that width (CSS pixels, 96 to the inch), and its
    // print style zooms it by as much as it sticks out, with a little room
    // for the margins the browser's printing keeps besides the printer's.
    const double width = printer->pageLayout().paintRect(QPageLayout::Point).width() * 96.0 / 72.0;
    auto fitted = std::make_shared<Wait>();
    impl_->print_view->page()->runJavaScript(QString::fromUtf8(kFitToPaper).arg(width),
                                             QWebEngineScript::ApplicationWorld,
                                             [fitted](const QVariant&) { fitted->Done(true); });
    RunUntilDone(fitted, 15000);

    auto wait = std::make_shared<Wait>();
    const QMetaObject::Connection connection =
        connect(impl_->print_view, &QWebEngineView::printFinished, this,
                [wait](bool ok) { wait->Done(ok); });
    impl_->print_view->print(printer);
    // The printer must outlive the print job, so this waits for its end.
    while (!wait->finished) {
        RunUntilDone(wait, 60 * 1000);
    }
    disconnect(connection);
    return wait->ok;
}

void Preview::EndPrinting() {
    delete impl_->print_view;
    impl_->print_view = nullptr;
    impl_->print_loaded.clear();
}

} // namespace qf

#include "preview.moc"
