#pragma once

#include "components/component_dialog.h"

#include <string>

class QLineEdit;

namespace qf {

class FontGroup;

// A main text followed by a lowered or raised text; the styles apply to the
// lowered or raised text only.
class ScriptTextDialog : public ComponentDialog {
    Q_OBJECT

public:
    // "Subscript" or "Superscript": the kind tag and the words in the texts.
    ScriptTextDialog(Workspace& workspace, const QString& kind, const QString& class_name,
                     QWidget* parent);

public Q_SLOTS:
    void ToolButton3Click();

private:
    std::string kind_tag_;
    std::string script_field_; // "sub" or "sup"
    FontGroup* font_;
    QLineEdit* main_text_;
    QLineEdit* script_text_;
};

// "Insert Subscript".
class TFormb2 : public ScriptTextDialog {
    Q_OBJECT

public:
    TFormb2(Workspace& workspace, QWidget* parent = nullptr)
        : ScriptTextDialog(workspace, "Subscript", "TFormb2", parent) {}
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormb2>(workspace, parent);
    }
};

// "Insert Superscript".
class TFormb3 : public ScriptTextDialog {
    Q_OBJECT

public:
    TFormb3(Workspace& workspace, QWidget* parent = nullptr)
        : ScriptTextDialog(workspace, "Superscript", "TFormb3", parent) {}
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormb3>(workspace, parent);
    }
};

} // namespace qf
