#include "workspace/platform_dialog.h"

#include "document/page_text.h"
#include "error.h"
#include "widgets/simple_fields.h"
#include "workspace/area_content.h"
#include "workspace/workspace.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace qf {

TFormAdj::TFormAdj(Workspace& workspace, QWidget* parent)
    : ToolDialog("Adjacent Component Platform", "Adjacent Component Platform", parent),
      workspace_(workspace) {
    setObjectName("TFormAdj");
    QFormLayout* form = Form();
    count_ = MakeSpinField("SE1", this, kMinPlatformAreas, kMinPlatformAreas, kMaxPlatformAreas);
    count_->setToolTip(tr("How many areas stand side by side (2 to 20)"));
    width_ = MakeSpinField("SE2", this);
    width_->setToolTip(tr("The width of each area in pixels; the area's width divided by their "
                          "number fills it"));
    // The area's width shared out, until the user gives one of his own.
    connect(width_, &QSpinBox::valueChanged, this, [this] { width_changed_ = !proposing_; });
    height_ = MakeSpinField("SE3", this);
    height_->setToolTip(tr("The height of each area in pixels"));
    form->addRow(tr("Adjacent Tables:"), count_);
    form->addRow(tr("Table Width:"), width_);
    form->addRow(tr("Table Height:"), height_);

    sketch_ = new QTableWidget(1, kMinPlatformAreas, this);
    sketch_->setObjectName("SG1");
    sketch_->horizontalHeader()->hide();
    sketch_->verticalHeader()->hide();
    sketch_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    sketch_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    sketch_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sketch_->setSelectionMode(QAbstractItemView::NoSelection);
    sketch_->setFocusPolicy(Qt::NoFocus);
    sketch_->setFixedHeight(48);
    sketch_->setMinimumWidth(300);
    sketch_->setToolTip(tr("The row of new areas, as Select Area will list them"));
    Body()->addWidget(sketch_);
    connect(count_, &QSpinBox::valueChanged, this, &TFormAdj::SE1Change);
    SE1Change();

    QPushButton* ok = AddButton(tr("OK   "), "ToolButton2");
    ok->setDefault(true);
    ok->setToolTip(tr("Put the areas into the selected area (Enter)"));
    connect(ok, &QPushButton::clicked, this, &TFormAdj::ToolButton2Click);
    QPushButton* cancel = AddButton(tr("Cancel   "), "ToolButton1");
    cancel->setToolTip(tr("Close without change (Esc)"));
    connect(cancel, &QPushButton::clicked, this, &TFormAdj::ToolButton1Click);
}

bool TFormAdj::Open(Workspace& workspace, QWidget* parent) {
    TFormAdj dialog(workspace, parent);
    return dialog.exec() == QDialog::Accepted;
}

void TFormAdj::SE1Change() {
    const int count = count_->value();
    sketch_->setColumnCount(count);
    if (!width_changed_) {
        proposing_ = true;
        width_->setValue(ProposedPlatformWidth(
            workspace_.page_text, SelectedAreaNumber(workspace_.area_list.text).value_or(0),
            count));
        proposing_ = false;
    }
    std::vector<int> numbers;
    try {
        numbers = NextPlatformAreaNumbers(workspace_.page_text, count);
    } catch (const CommandError&) {
        // No numbers left: OK will say so; the sketch stays unnamed.
    }
    for (int column = 0; column < count; ++column) {
        const QString name =
            std::size_t(column) < numbers.size() ? QString("Area%1").arg(numbers[column]) : "";
        auto* cell = new QTableWidgetItem(name);
        cell->setTextAlignment(Qt::AlignCenter);
        sketch_->setItem(0, column, cell);
    }
}

void TFormAdj::ToolButton2Click() {
    AcceptAfter([this] {
        InsertPlatform(workspace_, SpinValue(count_), SpinValue(width_), SpinValue(height_));
    });
}

void TFormAdj::ToolButton1Click() {
    reject();
}

} // namespace qf
