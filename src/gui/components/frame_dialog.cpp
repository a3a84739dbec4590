#include "components/frame_dialog.h"

#include "widgets/page_destination.h"
#include "widgets/simple_fields.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace qf {

TFormf1::TFormf1(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Frame", "Insert Frame", parent) {
    setObjectName("TFormf1");
    QFormLayout* form = Form();
    source_ = new PageDestination(
        {"RadioButton1", tr("Project Page"), "RadioButton2", "ComboBox1", "Edit1"},
        PageDestination::Style::ShowOnly, QString(), this);
    // Unlike a link's, the frame's URL box starts empty.
    source_->UrlEdit()->clear();
    source_->FillPages(QString::fromStdString(workspace.project_folder));
    form->addRow(tr("Target Page:"), source_);
    width_ = MakeSpinField("SpinEdit1", this);
    width_->setToolTip(tr("Width of the frame in pixels"));
    form->addRow(tr("Frame Width:"), width_);
    height_ = MakeSpinField("SpinEdit2", this);
    height_->setToolTip(tr("Height of the frame in pixels"));
    form->addRow(tr("Frame Height:"), height_);
    align_ = MakeEditableList("ComboBox2", AlignItems(), this);
    form->addRow(tr("Align:"), align_);
    no_scrolling_ = new QCheckBox(tr("Disable Scrolling"), this);
    no_scrolling_->setObjectName("CheckBox1");
    form->addRow(QString(), no_scrolling_);
    no_border_ = new QCheckBox(tr("Disable Frame Border"), this);
    no_border_->setObjectName("CheckBox2");
    form->addRow(QString(), no_border_);
    fillers_.Add("src", [this](const QString& src) { source_->SetDestination(src); });
    fillers_.Add("width", width_);
    fillers_.Add("height", height_);
    fillers_.Add("align", align_);
    fillers_.Add("noscroll", no_scrolling_);
    fillers_.Add("noborder", no_border_);

    connect(AddOkButton(tr("OK   "), "ToolButton26"), &QPushButton::clicked, this,
            &TFormf1::ToolButton26Click);
    AddCancelButton(tr("Cancel   "), "ToolButton1", &TFormf1::ToolButton1Click);
}

void TFormf1::ToolButton26Click() {
    Insert("Frame", {{"src", source_->Destination().toStdString()},
                     {"width", std::to_string(SpinValue(width_))},
                     {"height", std::to_string(SpinValue(height_))},
                     {"align", align_->currentText().toStdString()},
                     {"noscroll", FlagText(no_scrolling_->isChecked())},
                     {"noborder", FlagText(no_border_->isChecked())}});
}

void TFormf1::ToolButton1Click() {
    reject();
}

} // namespace qf
