#include "components/image_dialog.h"

#include "widgets/image_fields.h"
#include "widgets/picture_field.h"
#include "workspace/workspace.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

TFormb::TFormb(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Insert Image", "Insert Image", parent) {
    setObjectName("TFormb");
    image_ = new ImageFields(kImagePictureFilter, workspace, &colours_, this);
    Body()->addWidget(image_);
    image_->Bind(fillers_);

    connect(AddOkButton(tr("OK     "), "ToolButton2"), &QPushButton::clicked, this,
            &TFormb::ToolButton2Click);
    AddCancelButton(tr("Cancel    "), "ToolButton4", &TFormb::ToolButton4Click);
}

void TFormb::ToolButton2Click() {
    FieldValues values;
    image_->Gather(values);
    Insert("Image", values);
}

void TFormb::ToolButton4Click() {
    reject();
}

} // namespace qf
