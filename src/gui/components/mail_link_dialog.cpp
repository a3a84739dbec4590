#include "components/mail_link_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace qf {

TFormf::TFormf(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Mail to Link", "Insert Mail to Link:", parent) {
    setObjectName("TFormf");
    QFormLayout* form = Form();
    email_ = new QLineEdit(this);
    email_->setObjectName("Edit1");
    email_->setToolTip(tr("The mail address, for example name@example.com"));
    email_->setMinimumWidth(240);
    form->addRow(tr("Email to:"), email_);
    fields_.AddFontRows(form, &colours_, this, false);
    fields_.AddTextRows(form, this);
    fillers_.Add("email", email_);
    fields_.Bind(fillers_);

    connect(AddOkButton(tr("OK    "), "ToolButton3"), &QPushButton::clicked, this,
            &TFormf::ToolButton3Click);
    AddCancelButton(tr("Cancel     "), "ToolButton4", &TFormf::ToolButton4Click);
}

void TFormf::ToolButton3Click() {
    FieldValues values{{"email", email_->text().toStdString()}};
    fields_.Gather(values);
    Insert("Mail_Link", values);
}

void TFormf::ToolButton4Click() {
    reject();
}

} // namespace qf
