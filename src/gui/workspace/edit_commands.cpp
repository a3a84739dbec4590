#include "workspace/edit_commands.h"

#include "services/prompts.h"
#include "workspace/area_content.h"
#include "workspace/area_editing.h"
#include "workspace/component_editing.h"
#include "workspace/workspace.h"

#include <QString>

namespace qf {

namespace {

// Checks the selection, asks "Delete X from this page?" and deletes; only a
// selection the command accepts is asked about.
template <typename Check, typename Delete>
bool AskThenDelete(Workspace& workspace, QWidget* parent, const std::string& selected, Check check,
                   Delete remove) {
    RequireOpenPage(workspace);
    check(selected);
    const QString question =
        QString("Delete %1 from this page?").arg(QString::fromStdString(selected));
    if (AppPrompts().Ask(parent, question, false) != Prompts::Answer::Yes) {
        return false;
    }
    remove(workspace);
    return true;
}

} // namespace

bool Action2Execute(Workspace& workspace, QWidget* parent) {
    return AskThenDelete(workspace, parent, workspace.area_list.text, AreaToEdit, DeleteArea);
}

bool Action4Execute(Workspace& workspace, QWidget* parent) {
    return AskThenDelete(workspace, parent, workspace.component_list.text, ComponentToEdit,
                         DeleteComponent);
}

bool ToolButton36Click(Workspace& workspace, QWidget*) {
    InsertLineBreak(workspace);
    return true;
}

} // namespace qf
