#include "widgets/image_fields.h"

#include "document/selection_lists.h"
#include "widgets/colour_field.h"
#include "widgets/field_fillers.h"
#include "widgets/picture_field.h"
#include "widgets/simple_fields.h"
#include "widgets/tool_dialog.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <string>

namespace qf {

ImageFields::ImageFields(const QString& filter, const Workspace& workspace, ColourMemory* colours,
                         QWidget* parent)
    : QWidget(parent), workspace_(workspace) {
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
    keep_proportions_ = new QCheckBox(tr("Keep proportions"), this);
    keep_proportions_->setObjectName("KeepProportions");
    keep_proportions_->setChecked(true);
    keep_proportions_->setToolTip(
        tr("Width and height change together, so the picture is not stretched"));
    auto* height_row = new QHBoxLayout;
    height_row->addWidget(height_);
    height_row->addWidget(keep_proportions_);
    height_row->addStretch(1);
    form_->addRow(tr("Height:"), height_row);
    connect(width_, &QSpinBox::valueChanged, this, [this] { SizeChanged(width_, height_, true); });
    connect(height_, &QSpinBox::valueChanged, this,
            [this] { SizeChanged(height_, width_, false); });
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
    connect(location_->Field(), &PictureField::PictureChosen, this,
            [this](const QString&, QSize size) { PictureChosen(size); });
    form_->addRow(tr("Border Color:"), border_colour_);
}

void ImageFields::PictureChosen(QSize size) {
    if (!size.isValid() || size.isEmpty()) {
        return;
    }
    shape_ = PictureSize{size.width(), size.height()};
    const PictureSize offered = OfferedPictureSize(
        workspace_.page_text, SelectedAreaNumber(workspace_.area_list.text).value_or(0), shape_);
    following_ = true;
    if (width_->value() == 0) {
        width_->setValue(offered.width);
    }
    if (height_->value() == 0) {
        height_->setValue(offered.height);
    }
    following_ = false;
    last_ = PictureSize{width_->value(), height_->value()};
}

void ImageFields::SizeChanged(QSpinBox* changed, QSpinBox* other, bool width_changed) {
    if (following_) {
        return;
    }
    // Without a chosen picture, the size given first sets the proportions.
    if ((shape_.width <= 0 || shape_.height <= 0) && last_.width > 0 && last_.height > 0) {
        shape_ = last_;
    }
    if (keep_proportions_->isChecked() && changed->value() > 0 && shape_.width > 0 &&
        shape_.height > 0) {
        following_ = true;
        other->setValue(width_changed ? ProportionalHeight(shape_, changed->value())
                                      : ProportionalWidth(shape_, changed->value()));
        following_ = false;
    }
    last_ = PictureSize{width_->value(), height_->value()};
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
