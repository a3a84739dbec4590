#include "widgets/image_fields.h"

#include "widgets/colour_field.h"
#include "widgets/field_fillers.h"
#include "widgets/picture_field.h"
#include "widgets/simple_fields.h"
#include "widgets/tool_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <string>

namespace qf {

ImageFields::ImageFields(const QString& filter, const Workspace& workspace, ColourMemory* colours,
                         QWidget* parent)
    : QWidget(parent) {
    form_ = MakeForm(this);
    form_->setContentsMargins(0, 0, 0, 0);
    location_ =
        new LocationChoice({"RadioButton1", "RadioButton2", "Edit1", "ToolButton1"}, filter, this);
    location_->Field()->SetProject(workspace);
    location_->Field()->Edit()->setToolTip(tr("A local picture file or a web address"));
    form_->addRow(tr("Image Location:"), location_);
    width_ = MakeSpinField("SpinEdit1", this);
    width_->setToolTip(tr("Width in pixels"));
    form_->addRow(tr("Width:"), width_);
    height_ = MakeSpinField("SpinEdit2", this);
    height_->setToolTip(tr("Height in pixels"));
    form_->addRow(tr("Height:"), height_);
    alt_ = new QLineEdit(this);
    alt_->setObjectName("Edit2");
    alt_->setToolTip(tr("Shown while the mouse is over the picture"));
    form_->addRow(tr("Mouse Over Text:"), alt_);
    align_ = MakeEditableList("ComboBox2", AlignItems(), this);
    align_->setToolTip(tr("How the picture stands beside the text"));
    form_->addRow(tr("Align:"), align_);
    border_ = MakeSpinField("SpinEdit3", this);
    border_->setToolTip(tr("Border width in pixels"));
    form_->addRow(tr("Border:"), border_);
    border_colour_ = new ColourField("Edit3", "ToolButton3", colours, this);
    location_->Field()->FillSizeWhenZero(width_, height_);
    form_->addRow(tr("Border Color:"), border_colour_);
}

void ImageFields::AddRowAbove(const QString& label, QWidget* field) {
    form_->insertRow(0, label, field);
}

void ImageFields::Gather(FieldValues& values) const {
    values["src"] = location_->Text().toStdString();
    values["width"] = std::to_string(SpinValue(width_));
    values["height"] = std::to_string(SpinValue(height_));
    values["alt"] = alt_->text().toStdString();
    values["align"] = align_->currentText().toStdString();
    values["border"] = std::to_string(SpinValue(border_));
    values["bordercolor"] = border_colour_->Text().toStdString();
}

void ImageFields::Bind(FieldFillers& fillers) {
    fillers.Add("src", location_->Field());
    fillers.Add("width", width_);
    fillers.Add("height", height_);
    fillers.Add("alt", alt_);
    fillers.Add("align", align_);
    fillers.Add("border", border_);
    fillers.Add("bordercolor", border_colour_);
}

} // namespace qf
