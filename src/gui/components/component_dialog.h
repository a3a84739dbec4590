#pragma once

#include "components/component_fields.h"
#include "widgets/colour_field.h"
#include "widgets/tool_dialog.h"

#include <QPushButton>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

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
    // The dialog of a kind that shares its dialog with other kinds: caption and
    // objectName are the kind table's, the heading is the caption and a colon.
    ComponentDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent);

protected:
    // Adds "OK" and "Cancel" to the button row with their names; OK is the
    // default button, Cancel (like Escape and the close box) closes the
    // dialog without change: through the dialog's own Cancel slot `handler`
    // where the dialog names one, else directly.
    QPushButton* AddOkButton(const QString& text, const QString& object_name);
    QPushButton* AddCancelButton(const QString& text, const QString& object_name);
    template <typename D>
    QPushButton* AddCancelButton(const QString& text, const QString& object_name,
                                 void (D::*handler)()) {
        QPushButton* button = CancelButton(text, object_name);
        connect(button, &QPushButton::clicked, static_cast<D*>(this), handler);
        return button;
    }

    // Hands the values to the insertion and closes the dialog when it
    // succeeded; a refusal or file error is shown and the dialog stays open.
    void Insert(std::string_view kind_tag, const FieldValues& values);
    // The same for any command: runs it, and closes the dialog (accepted)
    // when it returned true; a CommandError it threw is shown.
    void RunAndClose(const std::function<bool()>& command);

    Workspace& workspace_;
    ColourMemory colours_;
    std::string kind_tag_; // given to the kind constructor only

private:
    QPushButton* CancelButton(const QString& text, const QString& object_name);
};

// Runs a dialog of class D modally; true when it changed the workspace.
template <typename D> bool RunDialog(Workspace& workspace, QWidget* parent) {
    D dialog(workspace, parent);
    return dialog.exec() == QDialog::Accepted;
}

// A kind tag as a template argument: KindDialog<ItemListDialog, "Item_List">.
template <std::size_t N> struct KindTag {
    constexpr KindTag(const char (&text)[N]) { std::copy_n(text, N, chars); }
    constexpr std::string_view View() const { return {chars, N - 1}; }
    char chars[N];
};

// The dialog class of one of the kinds that share dialog D: D built for `tag`,
// with the opener the dialog table calls.
template <typename D, KindTag tag> class KindDialog : public D {
public:
    explicit KindDialog(Workspace& workspace, QWidget* parent = nullptr)
        : D(workspace, tag.View(), parent) {}
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<KindDialog>(workspace, parent);
    }
};

// A flag field's value.
inline std::string FlagText(bool on) {
    return on ? "1" : "0";
}

} // namespace qf
