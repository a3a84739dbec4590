#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

namespace qf {

// Edit > Rename Project Page: the new name of the open page, with the pages
// whose links to it will change listed before anything is done. OK only
// closes the dialog; the window renames (RenamePage).
class TRenamePage : public QDialog {
    Q_OBJECT

public:
    TRenamePage(const std::string& project_folder, const std::string& page_name,
                QWidget* parent = nullptr);

    // The name typed, as the user gave it.
    std::string NewName() const;

private:
    QLineEdit* name_;
    QLabel* linking_;
};

} // namespace qf
