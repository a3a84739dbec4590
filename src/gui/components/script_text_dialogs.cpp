#include "components/script_text_dialogs.h"

#include "components/text_dialog.h"
#include "widgets/font_group.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

ScriptTextDialog::ScriptTextDialog(Workspace& workspace, const QString& kind,
                                   const QString& class_name, QWidget* parent)
    : ComponentDialog(workspace, "Insert " + kind, "Insert " + kind + ":", parent),
      kind_tag_(kind.toStdString()), script_field_(kind == "Subscript" ? "sub" : "sup") {
    setObjectName(class_name);
    font_ = new FontGroup(&colours_, tr("Italic"), this);
    Body()->addWidget(font_);
    main_text_ = AddTextGroup(font_, tr("Main Text"), "Edit3");
    main_text_->setToolTip(tr("The text on the line, in the face, size and colour only"));
    script_text_ = AddTextGroup(font_, kind + " Text", "Edit2");
    script_text_->setToolTip(kind == "Subscript" ? tr("The lowered text, in the styles")
                                                 : tr("The raised text, in the styles"));

    connect(AddOkButton(tr("OK   "), "ToolButton3"), &QPushButton::clicked, this,
            &ScriptTextDialog::ToolButton3Click);
    AddCancelButton(tr("Cancel   "), "ToolButton4");
}

void ScriptTextDialog::ToolButton3Click() {
    FieldValues values{{"text", main_text_->text().toStdString()},
                       {script_field_, script_text_->text().toStdString()}};
    font_->Gather(values);
    Insert(kind_tag_, values);
}

} // namespace qf
