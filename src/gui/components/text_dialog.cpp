#include "components/text_dialog.h"

#include "widgets/font_group.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

QLineEdit* AddTextGroup(FontGroup* font, const QString& title, const QString& object_name) {
    auto* group = new QGroupBox(title, font);
    auto* column = new QVBoxLayout(group);
    auto* edit = new QLineEdit(group);
    edit->setObjectName(object_name);
    column->addWidget(edit);
    font->AddText(group);
    return edit;
}

TFormb1::TFormb1(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Text", "Insert Text:", parent) {
    setObjectName("TFormb1");
    font_ = new FontGroup(&colours_, tr("Italics"), this);
    Body()->addWidget(font_);
    text_ = AddTextGroup(font_, tr("Text"), "Edit2");
    text_->setToolTip(tr("The text; markup typed here stays markup"));

    connect(AddOkButton(tr("OK   "), "ToolButton3"), &QPushButton::clicked, this,
            &TFormb1::ToolButton3Click);
    AddCancelButton(tr("Cancel   "), "ToolButton4");
}

void TFormb1::ToolButton3Click() {
    FieldValues values{{"text", text_->text().toStdString()}};
    font_->Gather(values);
    Insert("Text", values);
}

} // namespace qf
