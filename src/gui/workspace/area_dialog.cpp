#include "workspace/area_dialog.h"

#include "widgets/simple_fields.h"
#include "workspace/source_text.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

namespace qf {

namespace {

// A value read from the page as the user reads it.
QString Shown(const std::string& bytes) {
    return DecodeSource(bytes).text;
}

// A text field's value when it was changed.
std::optional<std::string> Changed(const QString& text, const std::string& read) {
    if (text == Shown(read)) {
        return std::nullopt;
    }
    return text.toStdString();
}

std::optional<int> Changed(QSpinBox* spin, int read) {
    const int value = SpinValue(spin);
    return value == read ? std::nullopt : std::optional<int>(value);
}

} // namespace

TFormModify5::TFormModify5(Workspace& workspace, AreaReading reading, QWidget* parent)
    : ToolDialog("Modify an Area", "Modify Component Area:", parent), workspace_(workspace),
      reading_(std::move(reading)) {
    setObjectName("TFormModify5");
    QFormLayout* form = Form();
    width_ = MakeSpinField("Sed1", this);
    width_->setToolTip(tr("The area's width in pixels"));
    height_ = MakeSpinField("Sed2", this);
    height_->setToolTip(tr("The area's height in pixels"));
    inner_ = MakeSpinField("Sed3", this);
    inner_->setToolTip(tr("Space between the cell's border and its content (cellpadding)"));
    outer_ = MakeSpinField("Sed4", this);
    outer_->setToolTip(tr("Space around the cell (cellspacing)"));
    align_ = MakeEditableList("Com1", AlignItems(), this);
    align_->setToolTip(tr("Where the area stands across the page"));
    valign_ = MakeEditableList("Com2", {"Top", "Bottom"}, this);
    valign_->setToolTip(tr("Where the area's content stands from top to bottom"));
    background_ = new ColourField("Edit1", "ToolButton5", &colours_, this);
    background_->Edit()->setToolTip(tr("The area's background colour, such as #ffffff"));
    border_ = new ColourField("Edit2", "ToolButton6", &colours_, this);
    border_->Edit()->setToolTip(tr("The colour of the area's border, such as #000000"));
    // Each colour button runs its own handler.
    for (ColourField* field : {background_, border_}) {
        disconnect(field->Button(), &QToolButton::clicked, field, &ColourField::ChooseColour);
    }
    connect(background_->Button(), &QToolButton::clicked, this, &TFormModify5::ToolButton5Click);
    connect(border_->Button(), &QToolButton::clicked, this, &TFormModify5::ToolButton6Click);
    form->addRow(tr("  Width:"), width_);
    form->addRow(tr(" Height:"), height_);
    form->addRow(tr("Inner Spacing:"), inner_);
    form->addRow(tr("Outer Spacing:"), outer_);
    form->addRow(tr(" Align:"), align_);
    form->addRow(tr("Valign:"), valign_);
    form->addRow(tr("Background Color:"), background_);
    form->addRow(tr(" Border Color:"), border_);
    if (reading_.shape == AreaShape::Cell) {
        for (QWidget* field : {static_cast<QWidget*>(inner_), static_cast<QWidget*>(outer_),
                               static_cast<QWidget*>(align_), static_cast<QWidget*>(valign_)}) {
            field->setEnabled(false);
            field->setToolTip(tr("This area is a cell beside another area: it has no spacings "
                                 "or alignment of its own"));
        }
    }

    QPushButton* ok = AddButton(tr(" OK  "), "ToolButton2");
    ok->setDefault(true);
    ok->setToolTip(tr("Write the changes into the page (Enter)"));
    connect(ok, &QPushButton::clicked, this, &TFormModify5::ToolButton2Click);
    QPushButton* cancel = AddButton(tr("Cancel    "), "ToolButton1");
    cancel->setToolTip(tr("Close without change (Esc)"));
    connect(cancel, &QPushButton::clicked, this, &TFormModify5::ToolButton1Click);
}

bool TFormModify5::Open(Workspace& workspace, QWidget* parent) {
    RequireOpenPage(workspace);
    const int area = AreaToEdit(workspace.area_list.text);
    TFormModify5 dialog(workspace, ReadArea(workspace.page_text, area), parent);
    return dialog.exec() == QDialog::Accepted;
}

void TFormModify5::showEvent(QShowEvent* event) {
    ToolDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFormModify5::FormShow() {
    const AreaFields& f = reading_.fields;
    width_->setValue(f.width);
    height_->setValue(f.height);
    inner_->setValue(f.inner);
    outer_->setValue(f.outer);
    align_->setEditText(Shown(f.align));
    valign_->setEditText(Shown(f.valign));
    background_->Edit()->setText(Shown(f.background));
    border_->Edit()->setText(Shown(f.border_colour));
}

AreaChanges TFormModify5::Changes() const {
    const AreaFields& f = reading_.fields;
    AreaChanges changes;
    changes.width = Changed(width_, f.width);
    changes.height = Changed(height_, f.height);
    changes.background = Changed(background_->Text(), f.background);
    changes.border_colour = Changed(border_->Text(), f.border_colour);
    if (reading_.shape == AreaShape::Table) {
        changes.inner = Changed(inner_, f.inner);
        changes.outer = Changed(outer_, f.outer);
        changes.align = Changed(align_->currentText(), f.align);
        changes.valign = Changed(valign_->currentText(), f.valign);
    }
    return changes;
}

void TFormModify5::ToolButton2Click() {
    AcceptAfter([this] { ModifyArea(workspace_, Changes()); });
}

void TFormModify5::ToolButton1Click() {
    reject();
}

void TFormModify5::ToolButton5Click() {
    background_->ChooseColour();
}

void TFormModify5::ToolButton6Click() {
    border_->ChooseColour();
}

} // namespace qf
