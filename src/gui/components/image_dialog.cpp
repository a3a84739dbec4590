#include "components/image_dialog.h"

#include "widgets/picture_field.h"
#include "widgets/simple_fields.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace qf {

TFormb::TFormb(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Image", "Insert Image", parent) {
    setObjectName("TFormb");
    QFormLayout* form = Form();
    location_ = new LocationChoice({"RadioButton1", "RadioButton2", "Edit1", "ToolButton1"},
                                   kImagePictureFilter, this);
    location_->Field()->SetStartFolder(QString::fromStdString(workspace.project_folder));
    location_->Field()->Edit()->setToolTip(tr("A local picture file or a web address"));
    form->addRow(tr("Image Location:"), location_);
    width_ = MakeSpinField("SpinEdit1", this);
    width_->setToolTip(tr("Width in pixels"));
    form->addRow(tr("Width:"), width_);
    height_ = MakeSpinField("SpinEdit2", this);
    height_->setToolTip(tr("Height in pixels"));
    form->addRow(tr("Height:"), height_);
    alt_ = new QLineEdit(this);
    alt_->setObjectName("Edit2");
    alt_->setToolTip(tr("Shown while the mouse is over the picture"));
    form->addRow(tr("Mouse Over Text:"), alt_);
    align_ = MakeEditableList("ComboBox2", AlignItems(), this);
    align_->setToolTip(tr("How the picture stands beside the text"));
    form->addRow(tr("Align:"), align_);
    border_ = MakeSpinField("SpinEdit3", this);
    border_->setToolTip(tr("Border width in pixels"));
    form->addRow(tr("Border:"), border_);
    border_colour_ = new ColourField("Edit3", "ToolButton3", &colours_, this);
    form->addRow(tr("Border Color:"), border_colour_);

    connect(AddOkButton(tr("OK     "), "ToolButton2"), &QPushButton::clicked, this,
            &TFormb::ToolButton2Click);
    AddCancelButton(tr("Cancel    "), "ToolButton4");
}

void TFormb::ToolButton2Click() {
    Insert("Image", {{"src", location_->Text().toStdString()},
                     {"width", std::to_string(width_->value())},
                     {"height", std::to_string(height_->value())},
                     {"alt", alt_->text().toStdString()},
                     {"align", align_->currentText().toStdString()},
                     {"border", std::to_string(border_->value())},
                     {"bordercolor", border_colour_->Text().toStdString()}});
}

} // namespace qf
