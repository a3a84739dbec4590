#pragma once

#include "components/component_dialog.h"
#include "components/link_text_fields.h"

class QLineEdit;

namespace qf {

// "Insert Mail to Link": a styled text that opens a mail to an address.
class TFormf : public ComponentDialog {
    Q_OBJECT

public:
    TFormf(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormf>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton3Click();
    void ToolButton4Click(); // Cancel: closes without change

private:
    QLineEdit* email_;
    LinkTextFields fields_;
};

} // namespace qf
