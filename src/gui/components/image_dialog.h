#pragma once

#include "components/component_dialog.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace qf {

class LocationChoice;
class ColourField;

// "Insert Image": a picture with its size, alignment, mouse-over text and border.
class TFormb : public ComponentDialog {
    Q_OBJECT

public:
    TFormb(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormb>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton2Click();

private:
    LocationChoice* location_;
    QSpinBox* width_;
    QSpinBox* height_;
    QLineEdit* alt_;
    QComboBox* align_;
    QSpinBox* border_;
    ColourField* border_colour_;
};

} // namespace qf
