#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QToolButton;

namespace qf {
struct Workspace;
}

namespace qf::test {

// The workspace of a project `root`/site/ (with an application folder
// `root`/app/) whose page index.html is open: a table area Area1 and a cell
// area Area2, written to disk, Area1 selected, the palette enabled.
Workspace TwoAreaWorkspace(const QString& root);

// The child of `dialog` with the objectName `name`; a missing one ends the
// test program, naming both.
template <typename T> T* Find(QWidget* dialog, const char* name) {
    T* child = dialog->findChild<T*>(name);
    if (child == nullptr) {
        qFatal("%s has no %s", qPrintable(dialog->objectName()), name);
    }
    return child;
}

// Clicks the named button; writes the named line edit's text.
void Click(QWidget* dialog, const char* name);
void Type(QWidget* dialog, const char* name, const QString& text);

// Shows the dialog and saves a picture of it as /tmp/shots/FILE.png, once
// the named preview (if any) has loaded.
void Shoot(QWidget* dialog, const QString& file, const char* preview = nullptr);

// True when `widget` (or the widget it hands its focus to) is the one that
// has the focus in its window: whether that window is the active one or not,
// which depends on the desktop and on how fast the machine is.
bool HasFocusInWindow(QWidget* widget);

// Runs `act` on the next modal dialog, from inside that dialog's own event
// loop, so a test can fill it in and close it. Gives up after a minute.
void OnModal(std::function<void(QWidget*)> act);

// The palette button of `window` whose tooltip is `hint`.
QToolButton* PaletteButton(QWidget* window, const QString& hint);

} // namespace qf::test
