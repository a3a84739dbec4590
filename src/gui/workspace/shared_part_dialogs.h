#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QListWidget;

namespace qf {

// Edit > Shared Parts > Share on Other Pages: the name the selected
// component is kept under. OK only closes the dialog; the window shares it
// (ShareComponent).
class TShareComponent : public QDialog {
    Q_OBJECT

public:
    TShareComponent(const std::string& entry, QWidget* parent = nullptr);
    std::string PartName() const;

private:
    QLineEdit* name_;
};

// Edit > Shared Parts > Place Shared Part: one of the project's parts, with
// the pages that show it. OK only closes the dialog; the window places it
// (PlaceSharedPart) in the selected area.
class TPlaceSharedPart : public QDialog {
    Q_OBJECT

public:
    TPlaceSharedPart(const std::string& project_folder, const std::string& area,
                     QWidget* parent = nullptr);
    std::string PartName() const;

private:
    QListWidget* parts_;
    QLabel* pages_;
};

} // namespace qf
