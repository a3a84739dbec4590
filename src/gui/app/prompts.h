#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

#include <optional>

class QWidget;
class QPrinter;

namespace qf {

// Everything modal that a window asks of the platform: message boxes,
// questions, file, folder, colour and print dialogs. The editor uses the Qt
// implementation; tests install a scripted one, so no test waits on a box.
class Prompts {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompts() = default;

    // A plain information box with an OK button.
    virtual void Inform(QWidget* parent, const QString& text) = 0;
    // A file error or another failure.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No (and Cancel when asked for), optionally
    // placed with its top left corner at a screen position.
    virtual Answer Ask(QWidget* parent, const QString& text, bool with_cancel,
                       std::optional<QPoint> position = std::nullopt) = 0;
    // An open-file dialog; empty when cancelled. `filter` in Qt's syntax
    // ("Web page (HTML) (*.html *.htm)"), entries separated by ";;".
    virtual QString OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    // A folder browser; empty when cancelled.
    virtual QString ExistingFolder(QWidget* parent, const QString& caption,
                                   const QString& start) = 0;
    // A colour dialog starting at `initial`; nothing when cancelled.
    virtual std::optional<QColor> Colour(QWidget* parent, const QColor& initial) = 0;
    // A print dialog for `printer`; true when the user chose to print.
    virtual bool Print(QWidget* parent, QPrinter* printer) = 0;
};

// The prompts every window uses. Until something is installed this is the Qt
// implementation; InstallPrompts(nullptr) goes back to it.
Prompts& AppPrompts();
void InstallPrompts(Prompts* prompts);

} // namespace qf
