#pragma once

#include "widgets/tool_dialog.h"
#include "workspace/layouts.h"

class QLabel;
class QPushButton;

namespace qf {

class Preview;
struct Workspace;

// "Select a Page Layout": steps through the layouts in a preview, newest
// first, and creates the new page from the one shown with Finish, from the
// pending page properties. It also opens the layout designer; a layout saved
// there is shown at once.
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

public Q_SLOTS:
    void FormActivate();     // rescans the layouts and shows the newest
    void ToolButton2Click(); // Previous: the next higher number
    void ToolButton1Click(); // Next: the next lower number
    void ToolButton4Click(); // Finish
    void ToolButton3Click(); // the layout designer

protected:
    void showEvent(QShowEvent* event) override;

private:
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
