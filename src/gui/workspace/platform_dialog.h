#pragma once

#include "widgets/tool_dialog.h"

class QSpinBox;
class QTableWidget;

namespace qf {

struct Workspace;

// The platform dialog: how many areas to put side by side into the selected
// area, and their width and height. The grid below the fields sketches the
// row, one column per area, named as the new areas will be.
class TFormAdj : public ToolDialog {
    Q_OBJECT

public:
    TFormAdj(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent);

public Q_SLOTS:
    void SE1Change();        // the sketch follows the number of areas
    void ToolButton2Click(); // OK: inserts the platform
    void ToolButton1Click(); // Cancel

private:
    Workspace& workspace_;
    QSpinBox* count_;
    QSpinBox* width_;
    bool width_changed_ = false; // typed by the user: no longer proposed
    bool proposing_ = false;
    QSpinBox* height_;
    QTableWidget* sketch_;
};

} // namespace qf
