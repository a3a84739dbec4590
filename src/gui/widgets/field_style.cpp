#include "widgets/field_style.h"

#include "widgets/colour_field.h"
#include "widgets/field_fillers.h"
#include "widgets/tool_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

namespace qf {

FieldStyle::FieldStyle(ColourMemory* colours, QWidget* parent) : QGroupBox(tr("Style"), parent) {
    setObjectName("GroupBox1");
    QFormLayout* form = MakeForm(this);
    default_style_ = new QCheckBox(tr("Use default Windows Style"), this);
    default_style_->setObjectName("CheckBox1");
    default_style_->setToolTip(tr("Leave the field as the visitor's browser draws it"));
    form->addRow(default_style_);
    border_colour_ = new ColourField("Edit2", "ToolButton2", colours, this, "[...] ");
    border_colour_->Edit()->setToolTip(tr("Colour of the border and the text"));
    form->addRow(tr("Border Color:"), border_colour_);
    background_colour_ = new ColourField("Edit3", "ToolButton4", colours, this, "[...] ");
    background_colour_->Edit()->setToolTip(tr("Colour behind the text"));
    form->addRow(tr("Back Ground Color:"), background_colour_);
    connect(default_style_, &QCheckBox::toggled, this, &FieldStyle::DefaultStyleToggled);
}

void FieldStyle::Gather(FieldValues& values) const {
    values.insert_or_assign("defaultstyle",
                            std::string(1, default_style_->isChecked() ? '1' : '0'));
    values.insert_or_assign("bordercolor", border_colour_->Text().toStdString());
    values.insert_or_assign("bgcolor", background_colour_->Text().toStdString());
}

void FieldStyle::Bind(FieldFillers& fillers) {
    fillers.Add("defaultstyle", default_style_);
    fillers.Add("bordercolor", border_colour_);
    fillers.Add("bgcolor", background_colour_);
}

void FieldStyle::DefaultStyleToggled(bool on) {
    border_colour_->setEnabled(!on);
    background_colour_->setEnabled(!on);
}

} // namespace qf
