#include "components/text_link_dialog.h"

#include "widgets/page_destination.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QPushButton>

namespace qf {

TForme::TForme(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Text Link", "Insert Text Link:", parent) {
    setObjectName("TForme");
    QFormLayout* form = Form();
    destination_ = new PageDestination(
        {"RadioButton1", tr("Project Page "), "RadioButton2", "ComboBox1", "Edit1"},
        PageDestination::Style::ShowOnly, QString(), this);
    destination_->FillPages(QString::fromStdString(workspace.project_folder));
    form->addRow(tr("Destination Link:"), destination_);
    fields_.AddFontRows(form, &colours_, this, true);
    new_window_ = new QCheckBox(tr("Open Link in new Window"), this);
    new_window_->setObjectName("CheckBox3");
    form->addRow(QString(), new_window_);
    fields_.AddTextRows(form, this);
    fillers_.Add("href", [this](const QString& href) { destination_->SetDestination(href); });
    fillers_.Add("newwindow", new_window_);
    fields_.Bind(fillers_);

    connect(AddOkButton(tr("OK     "), "ToolButton3"), &QPushButton::clicked, this,
            &TForme::ToolButton3Click);
    AddCancelButton(tr("Cancel     "), "ToolButton4", &TForme::ToolButton4Click);
}

void TForme::ToolButton3Click() {
    FieldValues values{{"href", destination_->Destination().toStdString()},
                       {"newwindow", FlagText(new_window_->isChecked())}};
    fields_.Gather(values);
    Insert("Text_Link", values);
}

void TForme::ToolButton4Click() {
    reject();
}

} // namespace qf
