#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QRadioButton;
class QToolButton;

namespace qf {

// Picture filters of the open dialogs, in Qt's syntax. The Image dialog's
// "All" entry also offers GIF pictures; the other dialogs' does not. The
// background pictures of a new page and of a table cell, and the imaged
// submit button, offer GIF and "*.tiff" (not "*.tif").
extern const QString kImagePictureFilter;
extern const QString kPictureFilter;
extern const QString kTiffPictureFilter;

// A text field holding a picture's location, with the browse button "[...]  "
// beside it. The button runs the open-picture dialog; the chosen file's path
// replaces the field, and a cancelled dialog leaves the field as it was.
class PictureField : public QWidget {
    Q_OBJECT

public:
    PictureField(const QString& edit_name, const QString& button_name, const QString& filter,
                 QWidget* parent = nullptr);

    QLineEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }
    QString Text() const;

    // The folder the open dialog starts in until a file has been chosen.
    void SetStartFolder(const QString& folder) { folder_ = folder; }
    // Writes the chosen path with forward slashes only.
    void SetForwardSlashes(bool on) { forward_slashes_ = on; }

public Q_SLOTS:
    void Browse();

private:
    QLineEdit* edit_;
    QToolButton* button_;
    QString filter_;
    QString folder_;
    bool forward_slashes_ = false;
};

// A picture location given either as a local file or as a URL: the radio
// buttons "Local" and "Url" over a picture field. "Local" shows the browse
// button and empties the field; "Url" hides the button and puts "http://"
// into the field. At first neither is selected and the field holds "http://".
class LocationChoice : public QWidget {
    Q_OBJECT

public:
    struct Names {
        QString local_radio; // "RadioButton1"
        QString url_radio;   // "RadioButton2"
        QString edit;        // "Edit1"
        QString button;      // "ToolButton1"
    };

    LocationChoice(const Names& names, const QString& filter, QWidget* parent = nullptr);

    PictureField* Field() const { return field_; }
    QString Text() const;

private Q_SLOTS:
    void LocalToggled(bool checked);
    void UrlToggled(bool checked);

private:
    QRadioButton* local_;
    QRadioButton* url_;
    PictureField* field_;
};

} // namespace qf
