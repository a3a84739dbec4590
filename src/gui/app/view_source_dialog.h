#pragma once

#include "widgets/tool_dialog.h"

#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace qf {

struct Workspace;

// "View Page Source": a read-only view of a copy of the page text, one tag
// or marker a line (SourceLines) and coloured, with Find (Ctrl+F, F3). It is
// only a view: the page text stays as it is.
class TFormt : public ToolDialog {
    Q_OBJECT

public:
    TFormt(std::string page_text, QWidget* parent = nullptr);

public Q_SLOTS:
    // Shows the find bar and puts the keyboard in it.
    void ShowFind();
    // Selects the next (previous) place that holds the find text, going round
    // the end; says "Not found" when there is none.
    void FindNext();
    void FindPrevious();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Find(bool backward);

    std::string page_text_;
    QPlainTextEdit* memo_;
    QWidget* find_bar_;
    QLineEdit* find_edit_;
    QLabel* find_result_;
    bool filled_ = false;
};

// Shows the page text of `workspace`; changes nothing.
bool OpenViewSource(Workspace& workspace, QWidget* parent);

} // namespace qf
