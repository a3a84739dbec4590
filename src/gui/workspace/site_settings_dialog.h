#pragma once

#include "widgets/colour_field.h"

#include <QDialog>

#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace qf {

class PictureField;

// File > Site Settings: the site's name, address, language, icon, whether
// search engines may index it, the site style and its values (its colours
// checked for contrast as they are chosen), and the site menu: its pages in order
// (dragged), each shown or hidden (its box) with its link text (edited in
// place). OK writes them (SiteSettings) and closes;
// a value the core refuses is said and the dialog stays open.
class TSiteSettings : public QDialog {
    Q_OBJECT

public:
    TSiteSettings(const std::string& project_folder, QWidget* parent = nullptr);

private Q_SLOTS:
    void OkClick();
    // The chosen style's contrast warnings, or why its values are refused.
    void ShowStyleNote();

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
    // The chosen style's values (hidden for Classic), each empty for the
    // style's own, which it shows greyed.
    QGroupBox* style_values_;
    std::vector<std::pair<std::string, QLineEdit*>> style_edits_; // by field name
    ColourMemory colours_;
    void FillStyleValues(const std::string& style,
                         const std::vector<std::pair<std::string, std::string>>& values);
    std::vector<std::pair<std::string, std::string>> EditedStyleValues() const;
};

} // namespace qf
