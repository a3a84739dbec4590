#pragma once

#include "components/component_dialog.h"

class QLabel;
class QLineEdit;

namespace qf {

class FontGroup;

// A run of text in a face, colour, size, style and alignment ("Text"), or a
// main text followed by a lowered ("Subscript") or raised ("Superscript")
// text, to which alone the styles apply.
class TextDialog : public ComponentDialog {
    Q_OBJECT

public:
    TextDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent);

public Q_SLOTS:
    void ToolButton3Click();

private:
    void ShowHint();

    FontGroup* font_;
    QLabel* hint_;
    QLineEdit* text_;
    QLineEdit* script_text_ = nullptr; // the lowered or raised text
    std::string script_field_;         // "sub" or "sup"
};

// "Insert Text".
using TFormb1 = KindDialog<TextDialog, "Text">;
// "Insert Subscript".
using TFormb2 = KindDialog<TextDialog, "Subscript">;
// "Insert Superscript".
using TFormb3 = KindDialog<TextDialog, "Superscript">;

} // namespace qf
