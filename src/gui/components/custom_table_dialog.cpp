#include "components/custom_table_dialog.h"

#include "services/preview.h"
#include "workspace/workspace.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

TFormer2::TFormer2(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert a Custom Table", "Insert Custom Table:", parent) {
    setObjectName("TFormer2");
    MakeResizable();
    preview_ = new Preview(this);
    preview_->setObjectName("Web1");
    preview_->setMinimumSize(640, 360);
    Body()->addWidget(preview_, 1);
    position_ = new QLabel(this);
    position_->setObjectName("TableLabel");
    Body()->addWidget(position_);

    next_ = AddButton(tr("Next Table  "), "ToolButton3");
    next_->setShortcut(QKeySequence(Qt::Key_PageDown));
    next_->setToolTip(tr("The table with the next lower number (Page Down)"));
    connect(next_, &QPushButton::clicked, this, &TFormer2::ToolButton3Click);
    previous_ = AddButton(tr("Previous Table  "), "ToolButton2");
    previous_->setShortcut(QKeySequence(Qt::Key_PageUp));
    previous_->setToolTip(tr("The table with the next higher number (Page Up)"));
    connect(previous_, &QPushButton::clicked, this, &TFormer2::ToolButton2Click);
    ok_ = AddOkButton(tr("OK  "), "ToolButton1");
    connect(ok_, &QPushButton::clicked, this, &TFormer2::ToolButton1Click);
    AddCancelButton(tr("Cancel  "), "ToolButton4", &TFormer2::ToolButton4Click);
}

void TFormer2::showEvent(QShowEvent* event) {
    ComponentDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TFormer2::FormActivate() {
    chooser_.Scan(workspace_.app_folder);
    ShowCurrent();
}

void TFormer2::ShowCurrent() {
    next_->setEnabled(chooser_.NextEnabled());
    previous_->setEnabled(chooser_.PreviousEnabled());
    ok_->setEnabled(!chooser_.Empty());
    if (chooser_.Empty()) {
        position_->setText(tr("There are no custom tables in \"%1\".")
                               .arg(QString::fromStdString(CustomFolder(workspace_.app_folder))));
        return;
    }
    position_->setText(tr("Custom table %1 (%2 of %3)")
                           .arg(chooser_.Current())
                           .arg(chooser_.Position())
                           .arg(chooser_.Numbers().size()));
    preview_->ShowFile(
        QString::fromStdString(CustomTablePath(workspace_.app_folder, chooser_.Current())));
}

void TFormer2::ToolButton3Click() {
    chooser_.Next();
    ShowCurrent();
}

void TFormer2::ToolButton2Click() {
    chooser_.Previous();
    ShowCurrent();
}

void TFormer2::ToolButton1Click() {
    if (chooser_.Empty()) {
        return;
    }
    // The file is read again now: a table that cannot be read inserts nothing.
    Insert("Custom_Table", {{"table", std::to_string(chooser_.Current())}});
}

void TFormer2::ToolButton4Click() {
    reject();
}

} // namespace qf
