#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace qf {

class PictureField;

// File > Site Settings: the site's name, address, language, icon, whether
// search engines may index it, the site style (its colours checked for
// contrast as it is chosen), and the site menu: its pages in order
// (dragged), each shown or hidden (its box) with its link text (edited in
// place). OK writes them (SiteSettings) and closes;
// a value the core refuses is said and the dialog stays open.
class TSiteSettings : public QDialog {
    Q_OBJECT

public:
    TSiteSettings(const std::string& project_folder, QWidget* parent = nullptr);

private Q_SLOTS:
    void OkClick();

private:
    std::string project_folder_;
    QLineEdit* name_;
    QLineEdit* address_;
    QLineEdit* language_;
    PictureField* icon_;
    QCheckBox* index_;
    QListWidget* menu_;
    QComboBox* style_;
    QLabel* style_note_;
};

} // namespace qf
