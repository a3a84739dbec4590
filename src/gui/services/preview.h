#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <memory>

class QAction;
class QPrinter;
class QWebEnginePage;

namespace qf {

// The editor's embedded browser: a page preview that is only ever told to show
// a local file. Every preview of the editor (the main window's, the layout
// chooser's, the designer's, the component and HTML-code dialogs') is one of
// these; the owner sets its objectName. The browser engine stays behind this
// class, so including this header costs nothing.
//
// A plain click on a link is a click like any other: the link is not
// followed. Ctrl+click and the context menu's "Open Link" follow it, and
// even then the preview stays: the link is reported by LinkClicked. The
// context menu offers Reload. With outlines on, a script and a web channel object (both only in
// this view; the page file and what a browser shows stay as they are) draw
// every area's outline and name, the component under the pointer, and the
// area and component chosen; clicks on them are reported.
class Preview : public QWidget {
    Q_OBJECT

public:
    explicit Preview(QWidget* parent = nullptr);
    ~Preview() override;

    // Shows the local file at `path` (a missing file shows the browser's own
    // error page). Showing the file already shown loads it again.
    void ShowFile(const QString& path);
    // The path last given to ShowFile; empty before the first.
    QString ShownFile() const;

    // Prints the page shown to `printer` as a visitor's browser shows it
    // (none of the outlines, names or choices drawn over it here), scaled
    // down to the paper's width where it is wider, and waits until it is
    // printed. The file is loaded once more for the first print after it
    // is shown; later prints of it (a print preview's pages, then the
    // printout) use that load. False when printing failed or nothing was shown.
    bool Print(QPrinter* printer);
    // Lets go of the load made for printing.
    void EndPrinting();

    // Waits (running the event loop) until the page being shown has loaded;
    // true when it loaded, false on a load error or after `timeout_ms`.
    bool WaitForLoaded(int timeout_ms = 15000);

    // The plain text of the page shown (what a reader sees), read back from
    // the browser; empty when nothing has loaded.
    QString VisibleText(int timeout_ms = 15000);

    // What the shown page wrote to the browser's console since it was shown,
    // one entry a message: "error: Uncaught SyntaxError: ... (line 3)". Script
    // errors of the page land here.
    QStringList ConsoleMessages() const;

    // Runs `script` in the page shown, once it has loaded, and waits for its
    // result (converted to a QVariant as the browser gives it); an invalid
    // QVariant when nothing has loaded or the time ran out.
    QVariant RunScript(const QString& script, int timeout_ms = 15000);

    // For a page of the editor's own whose links are its buttons (the layout
    // overview): from the next page shown on, a plain click on a link is
    // reported by LinkClicked as well (the preview still stays).
    void ReportPlainClicks();

    // Runs `script` in the page shown without waiting for it: now when the
    // page has loaded, else as soon as its load has finished (only the last
    // script given while it loads is kept).
    void RunScriptLater(const QString& script);

    // Lays the page out at `css_pixels` wide (a phone's 390, a tablet's 768),
    // in a frame in the middle of the preview, scrolling inside it; 0 for the
    // preview's whole width (the start). A preview narrower than the width
    // asked shows the page at that width scaled down to fit.
    void SetLayoutWidth(int css_pixels);
    // The width asked last: 0 for the whole width.
    int LayoutWidth() const;

    // Gives every page shown from now on whose address begins with `prefix`
    // (a project folder's file:// address) the stylesheet `css` (the site
    // style), as the published site has it; an empty `css` takes it away.
    // Takes effect with the next page loaded.
    void SetPageStyle(const QString& prefix, const QString& css);

    // Shows the page shown once more (the context menu's Reload).
    void Reload();
    // Adds an action to the context menu, below Reload.
    void AddContextAction(QAction* action);

    // Outlines the areas of every page shown from now on, and reports what
    // the pointer picks (PointedAt, DoubleClicked).
    void EnableOutlines();
    // Switches the drawing on and off (on at first); picking works either way.
    void ShowOutlines(bool on);
    // The Select Area and Select Component texts, outlined more strongly.
    void ShowChosen(const QString& area, const QString& component);

    // What the outline script sees in the page shown, for tests: "blocks",
    // each list entry ("Area1", "Image2") with [x, y, width, height] in this
    // widget's pixels, and "drawn", one "NAME CLASSES" text per outline drawn
    // ("Area1 area chosen"). Empty when outlines are off or nothing loaded.
    QJsonObject OutlineState(int timeout_ms = 15000);
    // True once the outline script has measured every block of the page
    // shown (or put up its note that there are too many to outline).
    bool OutlinesDone(int timeout_ms = 15000);
    // The text a script gives in the page shown (its main world), once the
    // page has loaded; empty when it does not answer in time. For tests.
    QString EvaluateText(const QString& script, int timeout_ms = 15000);
    // The browser page behind the preview, for benchmarks that time it.
    QWebEnginePage* Page() const;
    // The widget that takes the pointer's events (tests send clicks to it);
    // null until the page has first been drawn.
    QWidget* PointerTarget() const;

Q_SIGNALS:
    // Emitted when a ShowFile has finished loading.
    void Loaded(bool ok);
    // A link of the page was followed (Ctrl+click, "Open Link", also one
    // that opens a new window); the preview did not go there.
    void LinkClicked(const QUrl& url);
    // A click in the page: the Select Area entry of the innermost area under
    // the pointer and the Select Component entry of the innermost component
    // (either empty when there is none).
    void PointedAt(const QString& area, const QString& component);
    // The same for a double-click.
    void DoubleClicked(const QString& area, const QString& component);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Sizes the frame and scales the page for the width asked.
    void FitLayoutWidth();

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace qf
