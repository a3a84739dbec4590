#include "components/rollover_dialog.h"

#include "components/picture_import.h"
#include "widgets/page_destination.h"
#include "widgets/picture_field.h"
#include "widgets/simple_fields.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
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
    // Both pictures at one size, so the link does not change size under the mouse.
    width_ = MakeSpinField("SpinEdit1", this, 0, 0, kLargestPictureWidthLimit);
    height_ = MakeSpinField("SpinEdit2", this, 0, 0, kLargestPictureWidthLimit);
    width_->setToolTip(tr("The width both pictures are shown at, in pixels; 0: the picture's own"));
    height_->setToolTip(
        tr("The height both pictures are shown at, in pixels; 0: the picture's own"));
    form->addRow(tr("Width:"), width_);
    form->addRow(tr("Height:"), height_);
    fillers_.Add("src", original_);
    fillers_.Add("rollover", rollover_);
    fillers_.Add("href", [this](const QString& href) { destination_->SetDestination(href); });
    fillers_.Add("newwindow", new_window_);
    fillers_.Add("alt", alt_);
    fillers_.Add("width", width_);
    fillers_.Add("height", height_);

    connect(AddOkButton(tr("OK     "), "ToolButton3"), &QPushButton::clicked, this,
            &TFormd::ToolButton3Click);
    AddCancelButton(tr("Cancel     "), "ToolButton4", &TFormd::ToolButton4Click);
}

void TFormd::ToolButton3Click() {
    Insert("Roll_Img", {{"src", original_->Text().toStdString()},
                        {"rollover", rollover_->Text().toStdString()},
                        {"href", destination_->Destination().toStdString()},
                        {"newwindow", FlagText(new_window_->isChecked())},
                        {"alt", alt_->text().toStdString()},
                        {"width", std::to_string(SpinValue(width_))},
                        {"height", std::to_string(SpinValue(height_))}});
}

void TFormd::ToolButton4Click() {
    reject();
}

} // namespace qf
