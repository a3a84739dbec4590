#pragma once

#include "components/component_dialog.h"

class QComboBox;
class QLineEdit;

namespace qf {

class PageDestination;

// "Create a PHP script": a script in the project folder that mails the
// fields of a form page to an address and then shows a success or a failure
// page.
class TFormja : public ComponentDialog {
    Q_OBJECT

public:
    TFormja(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormja>(workspace, parent);
    }

public Q_SLOTS:
    void ThankYouClick();
    void ToolButton3Click();
    void ToolButton1Click(); // Cancel: closes without writing

private:
    QLineEdit* name_;
    QComboBox* form_page_;
    QLineEdit* recipient_;
    PageDestination* success_;
    PageDestination* failure_;
};

} // namespace qf
