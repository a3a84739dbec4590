#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace qf {

// The destination of a link: a page of the project, picked from the list of
// the project folder's .html pages (bare names), or a URL typed into a text
// box. The radio buttons "Project Page" and "Url" start unselected; the page
// list is shown and the URL box, holding "http://", hidden.
class PageDestination : public QWidget {
    Q_OBJECT

public:
    // How the radio buttons behave and what the destination reads.
    enum class Style {
        // The image link: a choice also resets the texts ("Select" in the
        // page list, "http://" in the URL box, the hidden one emptied); the
        // destination is the page list's text unless it is empty, then the
        // URL box's text.
        ResetOnChoice,
        // A choice only shows one control and hides the other; the
        // destination is the page list's text while "Project Page" is
        // selected, otherwise the URL box's text.
        ShowOnly,
        // As ShowOnly, but "Url" also puts "http://" into the URL box, and
        // with neither button selected the destination is empty.
        ChosenOnly,
        // "Project Page" also empties the URL box and "Url" puts "http://"
        // into it; the destination is the URL box's text unless it is empty,
        // then the page list's.
        UrlUnlessEmpty,
    };

    struct Names {
        QString page_radio;
        QString page_caption; // "Project Page" (the text link's has a trailing blank)
        QString url_radio;
        QString page_list;
        QString url_edit;
        QString url_caption = "Url";
    };

    PageDestination(const Names& names, Style style, const QString& initial_page_text,
                    QWidget* parent = nullptr);

    // Fills the page list from the project folder's files matching `mask`.
    void FillPages(const QString& project_folder, const QString& mask = "*.html");
    QString Destination() const;
    // Shows `destination` the way Destination reads it back: a page of the
    // list chosen as "Project Page", anything else typed as the URL.
    void SetDestination(const QString& destination);

    QComboBox* PageList() const { return pages_; }
    QLineEdit* UrlEdit() const { return url_edit_; }
    QRadioButton* PageRadio() const { return page_radio_; }
    QRadioButton* UrlRadio() const { return url_radio_; }

    // The bare names of the folder's files matching `mask` ("*.html"), sorted
    // without regard to case.
    static QStringList ProjectPages(const QString& project_folder, const QString& mask = "*.html");

private Q_SLOTS:
    void PageToggled(bool checked);
    void UrlToggled(bool checked);

private:
    QString ChosenPage() const;

    Style style_;
    QRadioButton* page_radio_;
    QRadioButton* url_radio_;
    QComboBox* pages_;
    QLineEdit* url_edit_;
};

} // namespace qf
