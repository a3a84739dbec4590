#include "workspace/layout_designer_dialog.h"

#include "error.h"
#include "services/preview.h"
#include "services/prompts.h"
#include "services/utf8_text.h"
#include "widgets/simple_fields.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace qf {

namespace {

QComboBox* MakeTableList(const QString& object_name, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(object_name);
    list->addItem(Q(kNoTable));
    list->setMinimumContentsLength(10);
    return list;
}

} // namespace

TFormmen4::TFormmen4(Workspace& workspace, QWidget* parent)
    : ToolDialog("Create your own Page Layout", "Create your own Page Layout below:", parent),
      workspace_(workspace) {
    setObjectName("TFormmen4");
    MakeResizable();
    preview_ = new Preview(this);
    preview_->setObjectName("web1");
    preview_->setMinimumSize(760, 320);
    Body()->addWidget(preview_, 1);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    add_ = new QPushButton(" Add Table    ", this);
    add_->setObjectName("Tool");
    add_->setAutoDefault(false);
    add_->setShortcut(QKeySequence("Ctrl+N"));
    add_->setToolTip(tr("Start adding tables: enables the fields below (Ctrl+N)"));
    connect(add_, &QPushButton::clicked, this, &TFormmen4::ToolClick);
    grid->addWidget(add_, 0, 0, 1, 2, Qt::AlignLeft);

    width_ = MakeSpinField("sed1", this);
    width_->setToolTip(tr("The table's width in pixels"));
    height_ = MakeSpinField("sed2", this);
    height_->setToolTip(tr("The table's height in pixels"));
    inner_ = MakeSpinField("sed3", this);
    inner_->setToolTip(tr("Space between the cell's border and its content (cellpadding)"));
    outer_ = MakeSpinField("sed4", this);
    outer_->setToolTip(tr("Space between the cells (cellspacing)"));
    align_ = MakeEditableList("com1", {"Left", "Right"}, this);
    align_->setToolTip(tr("Where the table stands across the page"));
    vertical_align_ = MakeEditableList("com2", {"Top", "Bottom"}, this);
    vertical_align_->setToolTip(tr("Where the table's content stands from top to bottom"));
    under_ = MakeTableList("com3", this);
    under_->setToolTip(tr("Put the new table directly under this one (NONE: under all)"));
    adjacent_ = MakeTableList("com4", this);
    adjacent_->setToolTip(tr("Put the new table in the same row as this one, at the row's end"));
    commit_ = new QPushButton(" Add Table   ", this);
    commit_->setObjectName("T2");
    commit_->setAutoDefault(false);
    commit_->setShortcut(QKeySequence("Ctrl+Return"));
    commit_->setToolTip(tr("Add the table to the layout (Ctrl+Enter)"));
    connect(commit_, &QPushButton::clicked, this, &TFormmen4::T2Click);

    const struct {
        const char* label;
        QWidget* field;
    } rows[] = {
        {"Width:", width_},
        {"Height:", height_},
        {"Inner Spacing:", inner_},
        {"Outer Spacing:", outer_},
        {"Align:", align_},
        {"Vertical Align:", vertical_align_},
        {"Place Table Under:", under_},
        {"Place Table Adjacent to:", adjacent_},
    };
    int index = 0;
    for (const auto& row : rows) {
        auto* label = new QLabel(row.label, this);
        label->setBuddy(row.field);
        grid->addWidget(label, 1 + index / 2, (index % 2) * 2);
        grid->addWidget(row.field, 1 + index / 2, (index % 2) * 2 + 1);
        fields_ << label << row.field;
        ++index;
    }
    grid->addWidget(commit_, 5, 3, Qt::AlignRight);
    fields_ << commit_;
    for (QWidget* field : fields_) {
        field->setEnabled(false);
    }

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 6, 0, 1, 4);
    active_ = MakeTableList("com5", this);
    active_->setToolTip(tr("The table that Delete Active Table deletes"));
    auto* active_label = new QLabel("Active Table:", this);
    active_label->setBuddy(active_);
    grid->addWidget(active_label, 7, 0);
    grid->addWidget(active_, 7, 1);
    auto* remove = new QPushButton("Delete Active Table", this);
    remove->setObjectName("ToolButton3");
    remove->setAutoDefault(false);
    remove->setShortcut(QKeySequence::Delete);
    remove->setToolTip(tr("Delete the active table from the layout (Del)"));
    connect(remove, &QPushButton::clicked, this, &TFormmen4::ToolButton3Click);
    grid->addWidget(remove, 7, 3, Qt::AlignRight);
    Body()->addLayout(grid);

    QPushButton* save = AddButton("Save Layout   ", "ToolButton1");
    save->setShortcut(QKeySequence::Save);
    save->setToolTip(tr("Save the layout as the newest layout and close (Ctrl+S)"));
    connect(save, &QPushButton::clicked, this, &TFormmen4::ToolButton1Click);
    QPushButton* cancel = AddButton(tr("Cancel"), "CancelButton");
    cancel->setToolTip(tr("Close without saving the layout (Esc)"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormmen4::Open(Workspace& workspace, QWidget* parent) {
    TFormmen4 designer(workspace, parent);
    designer.exec();
    return false;
}

void TFormmen4::showEvent(QShowEvent* event) {
    ToolDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TFormmen4::FormActivate() {
    ShowPreview();
}

void TFormmen4::ShowPreview() {
    try {
        preview_->ShowFile(QString::fromStdString(designer_.WritePreview(workspace_.app_folder)));
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
    }
}

void TFormmen4::ToolClick() {
    for (QWidget* field : fields_) {
        field->setEnabled(true);
    }
    add_->setText("New Table    ");
    width_->setFocus();
    width_->selectAll();
}

void TFormmen4::RefillTableLists() {
    QStringList tables;
    for (const std::string& table : designer_.TableList()) {
        tables << QString::fromStdString(table);
    }
    for (QComboBox* list : {under_, adjacent_, active_}) {
        const QString current = list->currentText();
        list->clear();
        list->addItems(tables);
        list->setCurrentIndex(std::max(0, int(tables.indexOf(current))));
    }
}

void TFormmen4::T2Click() {
    LayoutArea area;
    area.width = width_->value();
    area.height = height_->value();
    area.inner_spacing = inner_->value();
    area.outer_spacing = outer_->value();
    area.align = align_->currentText().toStdString();
    area.vertical_align = vertical_align_->currentText().toStdString();
    area.under = under_->currentText().toStdString();
    area.adjacent = adjacent_->currentText().toStdString();
    try {
        designer_.Commit(area);
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        return;
    }
    RefillTableLists();
    ShowPreview();
}

void TFormmen4::ToolButton3Click() {
    try {
        designer_.Delete(active_->currentText().toStdString());
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        return;
    }
    RefillTableLists();
    ShowPreview();
}

void TFormmen4::ToolButton1Click() {
    try {
        saved_layout_ = designer_.Save(workspace_.app_folder);
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        return;
    }
    accept();
}

} // namespace qf
