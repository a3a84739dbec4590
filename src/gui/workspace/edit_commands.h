#pragma once

class QWidget;

namespace qf {

struct Workspace;

// The editing commands that open no dialog, as the dialog table runs them;
// each returns true when it changed the page.

// Delete Selected Area (`Action2Execute`): asks "Delete Area2 from this
// page?" first, since nothing else brings the area back.
bool Action2Execute(Workspace& workspace, QWidget* parent);

// Delete Selected Component (`Action4Execute`): asks "Delete Image2 from
// this page?" first.
bool Action4Execute(Workspace& workspace, QWidget* parent);

// "Insert a Line Braker" (`ToolButton36Click`): "<br>" at the end of the
// selected area.
bool ToolButton36Click(Workspace& workspace, QWidget* parent);

} // namespace qf
