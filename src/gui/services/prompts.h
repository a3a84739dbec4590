#pragma once

#include <QColor>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <optional>

class QFileDialog;
class QLabel;
class QPrintPreviewDialog;
class QPrinter;

namespace qf {

// Everything modal that a window asks of the platform: message boxes,
// questions, file, picture, folder, colour and print dialogs. The editor uses the Qt
// implementation; tests install a scripted one, so no test waits on a box.
class Prompts {
public:
    enum class Answer { Yes, No, Cancel };
    using PaintPages = std::function<void(QPrinter*)>;

    virtual ~Prompts() = default;

    // A plain information box with an OK button.
    virtual void Inform(QWidget* parent, const QString& text) = 0;
    // A file error or another failure. An empty text (a command the user
    // stopped at a question of its own) shows nothing.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // A question answered by one of `buttons` (their texts, the last one
    // the cancelling one); returns the chosen button's text.
    virtual QString Choose(QWidget* parent, const QString& text, const QStringList& buttons) = 0;
    // A question with Yes and No (and Cancel when asked for), optionally
    // placed with its top left corner at a screen position.
    virtual Answer Ask(QWidget* parent, const QString& text, bool with_cancel,
                       std::optional<QPoint> position = std::nullopt) = 0;
    // Asks for a password (typed without showing it); nothing when cancelled.
    virtual std::optional<QString> Secret(QWidget* parent, const QString& text) = 0;
    // An open-file dialog; empty when cancelled. `filter` in Qt's syntax
    // ("Web page (HTML) (*.html *.htm)"), entries separated by ";;".
    virtual QString OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    // The open-picture dialog: an open-file dialog that previews the
    // highlighted picture; empty when cancelled. `filter` as for OpenFile.
    virtual QString OpenPicture(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter) = 0;
    // A folder browser; empty when cancelled.
    virtual QString ExistingFolder(QWidget* parent, const QString& caption,
                                   const QString& start) = 0;
    // A colour dialog starting at `initial`; nothing when cancelled.
    virtual std::optional<QColor> Colour(QWidget* parent, const QColor& initial) = 0;
    // The print preview of `printer`'s pages, from which the user prints
    // (choosing the printer in the print dialog it opens). `paint` draws the
    // pages on the printer it is given: the preview's pages, and once more
    // when the user prints. True when the user printed.
    virtual bool Print(QWidget* parent, QPrinter* printer, const PaintPages& paint) = 0;
    // Hands a web address (or a file outside the editor's reach) to the
    // desktop: its browser, mail program or file viewer.
    virtual void OpenUrl(QWidget* parent, const QUrl& url) = 0;
};

// The prompts every window uses. Until something is installed this is the Qt
// implementation; InstallPrompts(nullptr) goes back to it.
Prompts& AppPrompts();
void InstallPrompts(Prompts* prompts);

// The preview beside the open-picture dialog's file list: the picture shrunk
// to fit its frame (keeping its proportions) with its size in pixels under
// it, or "No preview" for anything that is not a readable picture.
class PicturePreview : public QWidget {
    Q_OBJECT

public:
    explicit PicturePreview(QWidget* parent = nullptr);

    QLabel* Picture() const { return picture_; }
    QLabel* PixelSize() const { return pixel_size_; }

public Q_SLOTS:
    // Shows the file at `path`; an empty path shows "No preview".
    void ShowFile(const QString& path);

private:
    QLabel* picture_;
    QLabel* pixel_size_;
};

// The open-picture dialog as OpenPicture runs it, built but not shown: a
// non-native dialog choosing one existing file, whose PicturePreview follows
// the highlighted file. The caller owns it.
QFileDialog* NewPictureDialog(QWidget* parent, const QString& caption, const QString& folder,
                              const QString& filter);

// The print preview as Print runs it, built but not shown: `paint` draws its
// pages. The caller owns it.
QPrintPreviewDialog* NewPrintPreview(QWidget* parent, QPrinter* printer,
                                     const Prompts::PaintPages& paint);

} // namespace qf
