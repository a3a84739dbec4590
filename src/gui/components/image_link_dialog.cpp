#include "components/image_link_dialog.h"

#include "widgets/image_fields.h"
#include "widgets/page_destination.h"
#include "widgets/picture_field.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

TFormc::TFormc(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Image Link", "Insert Image Link", parent) {
    setObjectName("TFormc");
    const QString project_folder = QString::fromStdString(workspace.project_folder);

    auto* link = new QWidget(this);
    auto* link_column = new QVBoxLayout(link);
    link_column->setContentsMargins(0, 0, 0, 0);
    destination_ = new PageDestination(
        {"RadioButton3", tr("Project Page"), "RadioButton4", "ComboBox1", "Edit4"},
        PageDestination::Style::ResetOnChoice, "Select", link);
    destination_->FillPages(project_folder);
    link_column->addWidget(destination_);
    new_window_ = new QCheckBox(tr("Open Link in a New Window"), link);
    new_window_->setObjectName("CheckBox1");
    link_column->addWidget(new_window_);
    // The destination row stands above the picture's, in their label column.
    image_ = new ImageFields(kPictureFilter, workspace, &colours_, this);
    image_->AddRowAbove(tr("Link Destination:"), link);
    Body()->addWidget(image_);
    fillers_.Add("href", [this](const QString& href) { destination_->SetDestination(href); });
    fillers_.Add("newwindow", new_window_);
    image_->Bind(fillers_);

    connect(AddOkButton(tr("OK     "), "ToolButton2"), &QPushButton::clicked, this,
            &TFormc::ToolButton2Click);
    AddCancelButton(tr("Cancel    "), "ToolButton4", &TFormc::ToolButton4Click);
}

void TFormc::ToolButton2Click() {
    FieldValues values{{"href", destination_->Destination().toStdString()},
                       {"newwindow", FlagText(new_window_->isChecked())}};
    image_->Gather(values);
    Insert("Link_Img", values);
}

void TFormc::ToolButton4Click() {
    reject();
}

} // namespace qf
