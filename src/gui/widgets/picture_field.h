#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <string>

class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace qf {

struct PictureImportOptions;
struct Workspace;

// How every picture browse makes pictures fit for the web (the editor's
// preferences; the defaults until they are set).
void SetPictureImportOptions(const PictureImportOptions& options);
const PictureImportOptions& PictureImportOptionsInUse();

// Picture filters of the open dialogs, in Qt's syntax. The Image dialog's
// "All" entry also offers GIF pictures; the other dialogs' does not. The
// background pictures of a new page and of a table cell, and the imaged
// submit button, offer GIF and "*.tiff" (not "*.tif").
extern const QString kImagePictureFilter;
extern const QString kPictureFilter;
extern const QString kTiffPictureFilter;

// Runs the open-picture dialog, starting in `folder` (which then becomes the
// chosen file's folder), and makes the chosen picture travel with the project:
// with a project folder, the picture is copied into its images folder when it
// lies elsewhere (made fit for the web by PictureImportOptionsInUse), and
// the result is its location relative to `page_folder` (ImportWebPicture).
// Without a project folder the result is the chosen path. Empty when
// cancelled, or after a failed copy, whose message is shown. `file` receives
// the chosen picture's path on disk, `size` the size it will be shown at
// (left as it is when that cannot be told).
QString ChoosePicture(QWidget* parent, const QString& filter, QString& folder,
                      const std::string& project_folder, const std::string& page_folder,
                      QString* file = nullptr, QSize* size = nullptr);

// A text field holding a picture's location, with the browse button "[...]  "
// beside it. The button runs ChoosePicture; the location replaces the field,
// and a cancelled dialog leaves the field as it was. A location typed into
// the field is kept exactly as typed.
class PictureField : public QWidget {
    Q_OBJECT

public:
    PictureField(const QString& edit_name, const QString& button_name, const QString& filter,
                 QWidget* parent = nullptr);

    QLineEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }
    QString Text() const;

    // The project the picture is for: the open dialog starts in its folder, a
    // picture from elsewhere is copied into its images folder, and the field
    // gets the location relative to the open page (PictureBaseFolder).
    void SetProject(const Workspace& workspace);
    // The same for a page not yet made, whose folder is `page_folder`.
    void SetProject(const std::string& project_folder, const std::string& page_folder);
    // The folder the open dialog starts in until a file has been chosen.
    void SetStartFolder(const QString& folder) { folder_ = folder; }
    // Writes a chosen path outside any project with forward slashes only.
    void SetForwardSlashes(bool on) { forward_slashes_ = on; }
    // Browses with the plain open-file dialog instead of the open-picture
    // dialog (for sound, video and plug-in files), which travel with the
    // project as pictures do, into its media folder (ImportMedia).
    void SetAnyFile(bool on) { any_file_ = on; }

public Q_SLOTS:
    void Browse();

Q_SIGNALS:
    // A picture was chosen with the browse button: its file on disk, and
    // the size it will be shown at (invalid when that cannot be told).
    void PictureChosen(const QString& file, QSize size);

private:
    QLineEdit* edit_;
    QToolButton* button_;
    QString filter_;
    QString folder_;
    std::string project_folder_;
    std::string page_folder_;
    bool forward_slashes_ = false;
    bool any_file_ = false;
};

// A location given either as a local file or as a URL: the radio buttons
// "Local" and "Url" over a picture field. "Local" shows the browse button and
// empties the field; "Url" hides the button and puts "http://" into the
// field. At first neither is selected; the field holds "http://" for a
// picture, nothing for a media file.
class LocationChoice : public QWidget {
    Q_OBJECT

public:
    struct Names {
        QString local_radio; // "RadioButton1"
        QString url_radio;   // "RadioButton2"
        QString edit;        // "Edit1"
        QString button;      // "ToolButton1"
    };

    // What the location names: a picture (the open-picture dialog, the field
    // starting with "http://") or a media file (the open-file dialog, the
    // field starting empty, the browse button captioned "[...] ").
    enum class Content { Picture, MediaFile };

    LocationChoice(const Names& names, const QString& filter, QWidget* parent = nullptr,
                   Content content = Content::Picture);

    PictureField* Field() const { return field_; }
    QString Text() const;
    QRadioButton* LocalButton() const { return local_; }
    QRadioButton* UrlButton() const { return url_; }

private Q_SLOTS:
    void LocalToggled(bool checked);
    void UrlToggled(bool checked);

private:
    QRadioButton* local_;
    QRadioButton* url_;
    PictureField* field_;
};

} // namespace qf
