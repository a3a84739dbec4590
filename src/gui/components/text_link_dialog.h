#pragma once

#include "components/component_dialog.h"
#include "components/link_text_fields.h"

class QCheckBox;

namespace qf {

class PageDestination;

// "Insert Text Link": a styled text that links to a project page or a URL.
class TForme : public ComponentDialog {
    Q_OBJECT

public:
    TForme(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TForme>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton3Click();
    void ToolButton4Click(); // Cancel: closes without change

private:
    PageDestination* destination_;
    LinkTextFields fields_;
    QCheckBox* new_window_;
};

} // namespace qf
