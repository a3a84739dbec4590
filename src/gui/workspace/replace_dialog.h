#pragma once

#include "site/site_replace.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace qf {

// Edit > Find and Replace in Site: the text to find and its replacement,
// every match on every page of the project with its page, component and the
// text around it, each with a check box. Find All searches (FindInSite,
// which only reads); Replace only closes the dialog with the checked
// matches, and the window replaces them (ReplaceInSite).
class TReplaceInSite : public QDialog {
    Q_OBJECT

public:
    explicit TReplaceInSite(std::string project_folder, QWidget* parent = nullptr);

    std::string FindText() const;
    std::string ReplacementText() const;
    FindOptions Options() const;
    // The matches whose boxes are ticked, as the last Find All gave them.
    std::vector<SiteMatch> Chosen() const;

private:
    void FindAll();
    void ShowCount();

    std::string project_folder_;
    QLineEdit* find_;
    QLineEdit* replace_;
    QCheckBox* whole_words_;
    QCheckBox* match_case_;
    QTreeWidget* matches_;
    QLabel* count_;
    QPushButton* replace_button_;
    std::vector<SiteMatch> found_;
    // What the last Find All looked for: the matches belong to it.
    std::string found_for_;
    FindOptions found_with_;
};

} // namespace qf
