#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace qf {

class PageDestination;

// "Insert Frame": an inline frame showing a page of the project or a URL.
class TFormf1 : public ComponentDialog {
    Q_OBJECT

public:
    TFormf1(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormf1>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton26Click(); // OK
    void ToolButton1Click();  // Cancel: closes without change

private:
    PageDestination* source_;
    QSpinBox* width_;
    QSpinBox* height_;
    QComboBox* align_;
    QCheckBox* no_scrolling_;
    QCheckBox* no_border_;
};

} // namespace qf
