#pragma once

#include "components/component_fields.h"

#include <span>
#include <string>
#include <string_view>

class QWidget;

namespace qf {

struct Workspace;

// Creates a command's dialog, runs it modally and returns true when it
// changed the workspace (the page text, the lists, the open page). A dialog
// hands back nothing else; the main window then refreshes everything it
// shows from the workspace. Refusals and file errors are the dialog's to show.
using DialogOpener = bool (*)(Workspace& workspace, QWidget* parent);

// Opens a component dialog to modify the component of the Select Component
// entry `entry`, filled with `values` as read back from the page; returns
// the dialog's result (RunModifyDialog).
using ModifyOpener = int (*)(Workspace& workspace, QWidget* parent, const std::string& entry,
                             const FieldValues& values);

// One command the main window leads to: a dialog class name ("TFormb") or,
// for a command without a dialog, its handler's name ("Action2Execute"). A
// component dialog that can also modify its kind has `modify`.
struct DialogEntry {
    std::string_view dialog_class;
    DialogOpener open;
    ModifyOpener modify = nullptr;
};

// Every dialog the editor has so far. The main window runs a command's guard
// first and then opens its entry here; a command without an entry is shown
// disabled.
std::span<const DialogEntry> DialogTable();

// The opener of `dialog_class`, or nullptr when the table has none.
DialogOpener FindDialog(std::string_view dialog_class);
// The Modify opener of `dialog_class`, or nullptr when it has none.
ModifyOpener FindModifyDialog(std::string_view dialog_class);

} // namespace qf
