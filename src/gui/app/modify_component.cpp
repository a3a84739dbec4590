#include "app/modify_component.h"

#include "app/dialog_table.h"
#include "components/component_dialog.h"
#include "document/kind_table.h"
#include "document/selection_lists.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"
#include "workspace/source_dialogs.h"
#include "workspace/workspace.h"

#include <QDialog>

namespace qf {

bool ModifySelectedComponent(Workspace& workspace, QWidget* parent) {
    RequireOpenPage(workspace);
    const std::string text = workspace.component_list.text;
    const ComponentSelection selection = ComponentToEdit(text);
    // Refuses, before anything opens, an entry whose block is gone.
    const ComponentReading reading = ReadComponent(workspace.page_text, text);
    QString note = QString::fromStdString(reading.reason);
    if (reading.readable) {
        const Kind* kind = FindKindByTag(selection.kind_tag);
        const ModifyOpener modify =
            kind != nullptr ? FindModifyDialog(kind->dialog_class) : nullptr;
        if (modify != nullptr) {
            const int result =
                modify(workspace, parent, ComponentEntry(selection.kind_tag, selection.number),
                       reading.Values());
            if (result != kEditHtmlResult) {
                return result == QDialog::Accepted;
            }
        }
        // Asked for by the user: no note needed.
        note.clear();
    } else if (selection.kind_tag != "Custom_Table") {
        // What happens first, as the line may be cut at its end.
        note = "Opened as HTML, not in its own dialog. " + note;
    }
    return TFormCom::Open(workspace, parent, note);
}

} // namespace qf
