#include "components/item_list_dialogs.h"

#include "widgets/font_group.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

ItemListDialog::ItemListDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent)
    : ComponentDialog(workspace, kind_tag, parent) {
    font_ = new FontGroup(&colours_, tr("Italic"), this);
    Body()->addWidget(font_);
    auto* list = new QWidget(font_);
    auto* column = new QVBoxLayout(list);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(tr("Type your list of items below (line by line) :"), list));
    items_ = new QPlainTextEdit(list);
    items_->setObjectName("Memo1");
    items_->setToolTip(tr("One item for each line; empty lines are skipped"));
    items_->setMinimumHeight(110);
    column->addWidget(items_, 1);
    font_->AddText(list, true);
    fillers_.Add("items", items_);
    font_->Bind(fillers_);

    connect(AddOkButton(tr("OK   "), "ToolButton1"), &QPushButton::clicked, this,
            &ItemListDialog::ToolButton1Click);
    AddCancelButton(tr("Cancel    "), "ToolButton2");
}

void ItemListDialog::ToolButton1Click() {
    FieldValues values{{"items", items_->toPlainText().toStdString()}};
    font_->Gather(values);
    Insert(kind_tag_, values);
}

} // namespace qf
