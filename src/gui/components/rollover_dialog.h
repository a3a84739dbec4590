#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace qf {

class PageDestination;
class PictureField;

// "Insert Rollover Image": a linked picture that swaps to a second picture
// while the mouse is over it. A page takes one.
class TFormd : public ComponentDialog {
    Q_OBJECT

public:
    TFormd(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormd>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton3Click();
    void ToolButton4Click(); // Cancel: closes without change

private:
    PictureField* original_;
    PictureField* rollover_;
    PageDestination* destination_;
    QCheckBox* new_window_;
    QLineEdit* alt_;
    QSpinBox* width_;
    QSpinBox* height_;
};

} // namespace qf
