#pragma once

#include "widgets/tool_dialog.h"
#include "workspace/layouts.h"

class QLabel;
class QPushButton;

namespace qf {

class Preview;
struct Workspace;

// "Select a Page Layout": shows every layout at once as a small preview and
// marks the one chosen; a click on a preview chooses it, Next and Previous
// step up and down from layout 1. Finish creates the new page from the one
// chosen, from the pending page properties. It also opens the layout
// designer; a layout saved there is chosen at once.
class TFormmen2 : public ToolDialog {
    Q_OBJECT

public:
    TFormmen2(Workspace& workspace, QWidget* parent = nullptr);

    // Runs the chooser on the pending page properties; true when a page was
    // created.
    static bool Open(Workspace& workspace, QWidget* parent);

    // The user has already agreed to replace an existing page of this name.
    void SetReplaceConfirmed(bool confirmed) { replace_confirmed_ = confirmed; }

    const LayoutChooser& Chooser() const { return chooser_; }

    // Whether Finish makes the new page fit small screens: the editor's
    // preference, which the main window keeps (on until it says otherwise).
    static void SetFitNewPages(bool on);
    static bool FitNewPages();

public Q_SLOTS:
    void FormActivate();     // rescans the layouts and chooses the first
    void ToolButton2Click(); // Previous: the next lower number
    void ToolButton1Click(); // Next: the next higher number
    void ToolButton4Click(); // Finish
    void ToolButton3Click(); // the layout designer

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Writes and shows the overview of the layouts found, then ShowCurrent.
    void ShowLayouts();
    // The buttons, the label and the overview's mark for the layout chosen.
    void ShowCurrent();

    Workspace& workspace_;
    LayoutChooser chooser_;
    bool replace_confirmed_ = false;
    bool activated_ = false;
    Preview* preview_;
    QLabel* position_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* finish_;
};

} // namespace qf
