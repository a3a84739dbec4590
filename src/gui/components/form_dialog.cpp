#include "components/form_dialog.h"

#include "components/form.h"
#include "widgets/page_destination.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qf {

TFormg1::TFormg1(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, tr("Prepare your Form"), tr("Prepare your form below:"), parent) {
    setObjectName("TFormg1");
    target_ = new PageDestination({"RadioButton1", tr("Project PHP Script"), "RadioButton2",
                                   "ComboBox1", "Edit1", tr("Url based script")},
                                  PageDestination::Style::ChosenOnly, QString(), this);
    target_->PageRadio()->setToolTip(tr("Post the form to a PHP script of this project"));
    target_->UrlRadio()->setToolTip(tr("Post the form to a script at a web address"));
    target_->PageList()->setToolTip(tr("The project's PHP scripts"));
    target_->UrlEdit()->setToolTip(tr("The address of the script"));
    target_->FillPages(QString::fromStdString(workspace.project_folder), "*.php");
    Form()->addRow(tr("Target Script:"), target_);
    auto* note = new QLabel(
        tr("Note: You can create your own script to process the information entered in your "
           "form using the PHP script\n"
           "creator found under the PHP tab. If you don't have a script yet, then first create "
           "your form and script  \n"
           "then return and attach your script above."),
        this);
    note->setObjectName("NoteLabel");
    Body()->addWidget(note);

    QPushButton* ok = AddOkButton(tr("OK   "), "ToolButton3");
    ok->setToolTip(tr("Make the page's fields post to this script (Enter)"));
    connect(ok, &QPushButton::clicked, this, &TFormg1::ToolButton3Click);
    AddCancelButton(tr("Cancel   "), "ToolButton1");
}

bool TFormg1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        target_->FillPages(QString::fromStdString(workspace_.project_folder), "*.php");
    }
    return ComponentDialog::event(event);
}

void TFormg1::ToolButton3Click() {
    RunAndClose([&] {
        PrepareForm(workspace_, target_->Destination().toStdString());
        return true;
    });
}

} // namespace qf
