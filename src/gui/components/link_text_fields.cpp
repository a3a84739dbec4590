#include "components/link_text_fields.h"

#include "components/component_dialog.h"
#include "widgets/colour_field.h"
#include "widgets/field_fillers.h"
#include "widgets/font_group.h"
#include "widgets/simple_fields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace qf {

void LinkTextFields::AddFontRows(QFormLayout* form, ColourMemory* colours, QWidget* parent,
                                 bool with_size) {
    face_ = MakeFaceCombo("ComboBox2", parent);
    form->addRow(QObject::tr("Face:"), face_);
    colour_ = new ColourField("Edit2", "ToolButton2", colours, parent);
    colour_->Edit()->setToolTip(QObject::tr("Font colour, for example #FF0000"));
    form->addRow(QObject::tr(" Color:"), colour_);
    if (with_size) {
        size_ = MakeSpinField("SpinEdit1", parent);
        size_->setToolTip(QObject::tr("Font size"));
        form->addRow(QObject::tr("  Size:"), size_);
    }
    mouse_over_colour_ = new ColourField("Edit4", "ToolButton1", colours, parent);
    mouse_over_colour_->Edit()->setToolTip(
        QObject::tr("The link's colour while the mouse is over it, for example #FF0000"));
    form->addRow(QObject::tr("Mouse over color:"), mouse_over_colour_);

    auto* styles = new QWidget(parent);
    auto* row = new QHBoxLayout(styles);
    row->setContentsMargins(0, 0, 0, 0);
    bold_ = MakeStyleBox("CheckBox1", QObject::tr("Bold"), styles, true, false, false, false);
    underline_ =
        MakeStyleBox("CheckBox2", QObject::tr("Underline"), styles, false, false, true, false);
    row->addWidget(bold_);
    row->addWidget(underline_);
    row->addStretch(1);
    form->addRow(QString(), styles);
}

void LinkTextFields::AddTextRows(QFormLayout* form, QWidget* parent) {
    text_ = new QLineEdit(parent);
    text_->setObjectName("Edit5");
    text_->setToolTip(QObject::tr("The text of the link"));
    form->addRow(QObject::tr("  Text:"), text_);
    status_ = new QLineEdit(parent);
    status_->setObjectName("Edit3");
    status_->setToolTip(
        QObject::tr("Shown in the browser's status bar while the mouse is over the link"));
    form->addRow(QObject::tr(" Status Bar:"), status_);
}

void LinkTextFields::Gather(FieldValues& values) const {
    values["face"] = face_->currentText().toStdString();
    values["color"] = colour_->Text().toStdString();
    values["hovercolor"] = mouse_over_colour_->Text().toStdString();
    if (size_ != nullptr) {
        values["size"] = std::to_string(SpinValue(size_));
    }
    values["bold"] = FlagText(bold_->isChecked());
    values["underline"] = FlagText(underline_->isChecked());
    values["text"] = text_->text().toStdString();
    values["status"] = status_->text().toStdString();
}

void LinkTextFields::Bind(FieldFillers& fillers) {
    fillers.Add("face", face_);
    fillers.Add("color", colour_);
    fillers.Add("hovercolor", mouse_over_colour_);
    if (size_ != nullptr) {
        fillers.Add("size", size_);
    }
    fillers.Add("bold", bold_);
    fillers.Add("underline", underline_);
    fillers.Add("text", text_);
    fillers.Add("status", status_);
}

} // namespace qf
