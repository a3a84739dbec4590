#pragma once

#include "components/component_dialog.h"

namespace qf {

class PageDestination;

// "Prepare your Form": where the page's form posts to, a PHP script of the
// project or the address of a script.
class TFormg1 : public ComponentDialog {
    Q_OBJECT

public:
    TFormg1(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormg1>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton3Click();

protected:
    // The script list is read again whenever the dialog becomes active.
    bool event(QEvent* event) override;

private:
    PageDestination* target_;
};

} // namespace qf
