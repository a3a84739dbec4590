#include "components/horizontal_line_dialog.h"

#include "widgets/simple_fields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace qf {

TFormg2::TFormg2(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Horizontal Line", "Insert Horizontal Line", parent) {
    setObjectName("TFormg2");
    QFormLayout* form = Form();

    auto* width_row = new QWidget(this);
    auto* row = new QHBoxLayout(width_row);
    row->setContentsMargins(0, 0, 0, 0);
    width_ = MakeSpinField("SpinEdit1", width_row, 1, 1, 100);
    width_->setToolTip(tr("Width in percent of the available width (1 to 100)"));
    row->addWidget(width_);
    row->addWidget(new QLabel("%", width_row));
    row->addStretch(1);
    form->addRow(tr("Width:"), width_row);

    QStringList thicknesses;
    for (int i = 1; i <= 10; ++i) {
        thicknesses << QString::number(i);
    }
    thickness_ = MakeEditableList("ComboBox1", thicknesses, this);
    thickness_->setToolTip(tr("Thickness of the line"));
    form->addRow(tr("Thickness:"), thickness_);
    align_ = MakeEditableList("ComboBox2", AlignItems(), this);
    form->addRow(tr("Align:"), align_);
    no_shading_ = new QCheckBox(tr("No Shading (disable 3D effect)"), this);
    no_shading_->setObjectName("CheckBox1");
    form->addRow(QString(), no_shading_);
    colour_ = new ColourField("Edit1", "ToolButton1", &colours_, this);
    form->addRow(tr("Color:"), colour_);
    fillers_.Add("width", width_);
    fillers_.Add("size", thickness_);
    fillers_.Add("align", align_);
    fillers_.Add("noshade", no_shading_);
    fillers_.Add("color", colour_);

    connect(AddOkButton(tr("OK    "), "ToolButton2"), &QPushButton::clicked, this,
            &TFormg2::ToolButton2Click);
    AddCancelButton(tr("Cancel    "), "ToolButton3", &TFormg2::ToolButton3Click);
}

void TFormg2::ToolButton2Click() {
    Insert("Hr", {{"width", std::to_string(SpinValue(width_))},
                  {"size", thickness_->currentText().toStdString()},
                  {"align", align_->currentText().toStdString()},
                  {"noshade", FlagText(no_shading_->isChecked())},
                  {"color", colour_->Text().toStdString()}});
}

void TFormg2::ToolButton3Click() {
    reject();
}

} // namespace qf
