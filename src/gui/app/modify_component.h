#pragma once

class QWidget;

namespace qf {

struct Workspace;

// Modify Selected Component: the component the Select Component text names
// opens in its kind's own dialog, filled with the values read back from its
// body, whose OK changes it in place; the dialog's "Edit HTML..." opens the
// source editor (TFormCom) on it instead. A body that does not read back (a
// custom table, or HTML changed by hand) opens the source editor at once,
// with a note above the source saying why. True when the page changed.
bool ModifySelectedComponent(Workspace& workspace, QWidget* parent);

} // namespace qf
