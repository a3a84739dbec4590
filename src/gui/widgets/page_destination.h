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
    };

    struct Names {
        QString page_radio;
        QString page_caption; // "Project Page" (the text link's has a trailing blank)
        QString url_radio;
        QString page_list;
        QString url_edit;
    };

    PageDestination(const Names& names, Style style, const QString& initial_page_text,
                    QWidget* parent = nullptr);

    // Fills the page list from the project folder.
    void FillPages(const QString& project_folder);
    QString Destination() const;

    QComboBox* PageList() const { return pages_; }
    QLineEdit* UrlEdit() const { return url_edit_; }

    // The bare names of the folder's *.html files, sorted without regard to case.
    static QStringList ProjectPages(const QString& project_folder);

private Q_SLOTS:
    void PageToggled(bool checked);
    void UrlToggled(bool checked);

private:
    Style style_;
    QRadioButton* page_radio_;
    QRadioButton* url_radio_;
    QComboBox* pages_;
    QLineEdit* url_edit_;
};

} // namespace qf
