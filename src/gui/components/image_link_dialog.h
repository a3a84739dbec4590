#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace qf {

class ColourField;
class LocationChoice;
class PageDestination;

// "Insert Image Link": a picture that links to a project page or a URL.
class TFormc : public ComponentDialog {
    Q_OBJECT

public:
    TFormc(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormc>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton2Click();

private:
    PageDestination* destination_;
    QCheckBox* new_window_;
    LocationChoice* location_;
    QSpinBox* width_;
    QSpinBox* height_;
    QLineEdit* alt_;
    QComboBox* align_;
    QSpinBox* border_;
    ColourField* border_colour_;
};

} // namespace qf
