#pragma once

#include "components/component_fields.h"
#include "widgets/colour_field.h"
#include "widgets/tool_dialog.h"

#include <string_view>

class QPushButton;

namespace qf {

struct Workspace;

// What the component dialogs share: the workspace they insert into, the
// colour memory of their colour fields, the OK and Cancel buttons, and the
// step every OK ends with.
class ComponentDialog : public ToolDialog {
    Q_OBJECT

public:
    ComponentDialog(Workspace& workspace, const QString& caption, const QString& heading,
                    QWidget* parent);

protected:
    // Adds "OK" and "Cancel" to the button row with their names; OK is the
    // default button, Cancel (like Escape and the close box) closes the
    // dialog without change.
    QPushButton* AddOkButton(const QString& text, const QString& object_name);
    QPushButton* AddCancelButton(const QString& text, const QString& object_name);

    // Hands the values to the insertion and closes the dialog when it
    // succeeded; a refusal or file error is shown and the dialog stays open.
    void Insert(std::string_view kind_tag, const FieldValues& values);

    Workspace& workspace_;
    ColourMemory colours_;
};

// Runs a dialog of class D modally; true when it changed the workspace.
template <typename D> bool RunDialog(Workspace& workspace, QWidget* parent) {
    D dialog(workspace, parent);
    return dialog.exec() == QDialog::Accepted;
}

// A flag field's value.
inline std::string FlagText(bool on) {
    return on ? "1" : "0";
}

} // namespace qf
