#pragma once

#include "widgets/tool_dialog.h"

class QLineEdit;

namespace qf {

struct Workspace;

// "Create a New Project": a project name and the folder to save it in. Done
// creates the folder and makes it the project; the dialog closes only when
// that worked, and otherwise says why and keeps what was typed.
class TProject : public ToolDialog {
    Q_OBJECT

public:
    TProject(Workspace& workspace, QWidget* parent = nullptr);

    // After Done: true when the folder was there already and has been opened.
    bool OpenedExisting() const { return opened_existing_; }

public Q_SLOTS:
    void ToolButton1Click(); // "[...] ": the folder browser
    void ToolButton2Click(); // " Done     "

private:
    Workspace& workspace_;
    QLineEdit* edit1_; // Project Name
    QLineEdit* edit_;  // Save Project in
    bool opened_existing_ = false;
};

} // namespace qf
