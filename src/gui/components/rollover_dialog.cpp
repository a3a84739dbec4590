#include "components/rollover_dialog.h"

#include "widgets/page_destination.h"
#include "widgets/picture_field.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

TFormd::TFormd(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Rollover Image", "Insert Rollover Image", parent) {
    setObjectName("TFormd");
    QFormLayout* form = Form();
    const QString project_folder = QString::fromStdString(workspace.project_folder);

    original_ = new PictureField("Edit1", "ToolButton2", kPictureFilter, this);
    rollover_ = new PictureField("Edit2", "ToolButton1", kPictureFilter, this);
    for (PictureField* field : {original_, rollover_}) {
        field->SetForwardSlashes(true);
        field->SetProject(workspace);
    }
    original_->Edit()->setToolTip(tr("The picture shown while the mouse is elsewhere"));
    rollover_->Edit()->setToolTip(tr("The picture shown while the mouse is over it"));
    form->addRow(tr("Origonal Image:"), original_);
    form->addRow(tr("Rollover Image:"), rollover_);

    auto* link = new QWidget(this);
    auto* link_column = new QVBoxLayout(link);
    link_column->setContentsMargins(0, 0, 0, 0);
    destination_ = new PageDestination(
        {"RadioButton1", tr("Project Page"), "RadioButton2", "ComboBox1", "Edit3"},
        PageDestination::Style::ShowOnly, QString(), link);
    destination_->FillPages(project_folder);
    link_column->addWidget(destination_);
    new_window_ = new QCheckBox(tr("Open Link In a New Window"), link);
    new_window_->setObjectName("CheckBox1");
    link_column->addWidget(new_window_);
    form->addRow(tr("Destination Link:"), link);

    alt_ = new QLineEdit(this);
    alt_->setObjectName("Edit4");
    alt_->setToolTip(tr("Shown while the mouse is over the picture"));
    form->addRow(tr(" Mouse over Text:"), alt_);
    fillers_.Add("src", original_);
    fillers_.Add("rollover", rollover_);
    fillers_.Add("href", [this](const QString& href) { destination_->SetDestination(href); });
    fillers_.Add("newwindow", new_window_);
    fillers_.Add("alt", alt_);

    connect(AddOkButton(tr("OK     "), "ToolButton3"), &QPushButton::clicked, this,
            &TFormd::ToolButton3Click);
    AddCancelButton(tr("Cancel     "), "ToolButton4", &TFormd::ToolButton4Click);
}

void TFormd::ToolButton3Click() {
    Insert("Roll_Img", {{"src", original_->Text().toStdString()},
                        {"rollover", rollover_->Text().toStdString()},
                        {"href", destination_->Destination().toStdString()},
                        {"newwindow", FlagText(new_window_->isChecked())},
                        {"alt", alt_->text().toStdString()}});
}

void TFormd::ToolButton4Click() {
    reject();
}

} // namespace qf
