#pragma once

#include "widgets/colour_field.h"
#include "widgets/tool_dialog.h"
#include "workspace/area_editing.h"

class QComboBox;
class QSpinBox;

namespace qf {

struct Workspace;

// "Modify an Area": the selected area's size, spacings, alignment and colours
// as read from the page, written back by the core's ModifyArea. Only the
// fields the user changed are handed on, so OK without changes leaves the
// page as it was. A cell beside another area shows its spacings and
// alignment disabled: it has none of its own.
class TFormModify5 : public ToolDialog {
    Q_OBJECT

public:
    TFormModify5(Workspace& workspace, AreaReading reading, QWidget* parent = nullptr);

    // Reads the area named by Select Area (refusing before the dialog opens
    // when there is none or no shape fits it) and runs the dialog; true when
    // the page changed.
    static bool Open(Workspace& workspace, QWidget* parent);

public Q_SLOTS:
    void FormShow();         // puts the values read into the controls
    void ToolButton2Click(); // OK
    void ToolButton1Click(); // Cancel
    void ToolButton5Click(); // "[...]  " of Background Color: the colour dialog
    void ToolButton6Click(); // "[...]  " of Border Color: the colour dialog

protected:
    void showEvent(QShowEvent* event) override;

private:
    AreaChanges Changes() const;

    Workspace& workspace_;
    AreaReading reading_;
    bool shown_ = false;
    ColourMemory colours_;
    QSpinBox* width_;
    QSpinBox* height_;
    QSpinBox* inner_;
    QSpinBox* outer_;
    QComboBox* align_;
    QComboBox* valign_;
    ColourField* background_;
    ColourField* border_;
};

} // namespace qf
