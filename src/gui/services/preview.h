#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <memory>

class QPrinter;

namespace qf {

// The editor's embedded browser: a page preview that is only ever told to show
// a local file. Every preview of the editor (the main window's, the layout
// chooser's, the designer's, the component and HTML-code dialogs') is one of
// these; the owner sets its objectName. The browser engine stays behind this
// class, so including this header costs nothing.
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

    // Prints the page shown to `printer` and waits until it is printed.
    // Returns false when printing failed or nothing was shown.
    bool Print(QPrinter* printer);

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

Q_SIGNALS:
    // Emitted when a ShowFile has finished loading.
    void Loaded(bool ok);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace qf
