#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace qf {

class ColourField;

// "Insert Horizontal Line": a rule across a share of the area's width.
class TFormg2 : public ComponentDialog {
    Q_OBJECT

public:
    TFormg2(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormg2>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton2Click();
    void ToolButton3Click(); // Cancel: closes without change

private:
    QSpinBox* width_;
    QComboBox* thickness_;
    QComboBox* align_;
    QCheckBox* no_shading_;
    ColourField* colour_;
};

} // namespace qf
