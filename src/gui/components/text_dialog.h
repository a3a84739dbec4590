#pragma once

#include "components/component_dialog.h"

class QLineEdit;

namespace qf {

class FontGroup;

// "Insert Text": a run of text in a face, colour, size, style and alignment.
class TFormb1 : public ComponentDialog {
    Q_OBJECT

public:
    TFormb1(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormb1>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton3Click();

private:
    FontGroup* font_;
    QLineEdit* text_;
};

// A group box holding one line edit, for the text dialogs' text fields.
QLineEdit* AddTextGroup(FontGroup* font, const QString& title, const QString& object_name);

} // namespace qf
