#pragma once

#include "components/component_fields.h"
#include "widgets/colour_field.h"
#include "widgets/field_fillers.h"
#include "widgets/tool_dialog.h"

#include <QPushButton>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qf {

struct Workspace;

// What a dialog opened to modify a component ends with when its user chose
// "Edit HTML...": the component's source is to be edited instead.
inline constexpr int kEditHtmlResult = 2;

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

    // Makes the dialog one that modifies the component named by the Select
    // Component entry `entry` ("Text Link2") instead of inserting one: its
    // caption and heading "Modify " + entry, its controls filled from the
    // values read back from the component, OK handing the gathered values to
    // ModifyComponent (the same number, place and declaration), and a button
    // "Edit HTML..." that ends the dialog with kEditHtmlResult.
    void StartModify(const std::string& entry, const FieldValues& values);
    // The entry being modified; empty while the dialog inserts.
    const std::string& ModifiedEntry() const { return modified_entry_; }
    // The values the dialog's OK would hand on, gathered without closing it
    // or touching the page (the OK slot runs with the handing-on held back).
    FieldValues GatheredValues();

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

    // Hands the values to the insertion (to ModifyComponent in a Modify
    // opening) and closes the dialog when it succeeded; a refusal or file
    // error is shown and the dialog stays open.
    void Insert(std::string_view kind_tag, const FieldValues& values);
    // The same for any command: runs it, and closes the dialog (accepted)
    // when it returned true; a CommandError it threw is shown.
    void RunAndClose(const std::function<bool()>& command);

    Workspace& workspace_;
    ColourMemory colours_;
    std::string kind_tag_; // given to the kind constructor only
    // Each control a field is gathered from, for StartModify to fill.
    FieldFillers fillers_;

private:
    QPushButton* CancelButton(const QString& text, const QString& object_name);

    QPushButton* ok_button_ = nullptr;
    std::string modified_entry_;
    FieldValues* gathering_ = nullptr; // set while GatheredValues runs OK
};

// Runs a dialog of class D modally; true when it changed the workspace.
template <typename D> bool RunDialog(Workspace& workspace, QWidget* parent) {
    D dialog(workspace, parent);
    return dialog.exec() == QDialog::Accepted;
}

// Runs a dialog of class D modally to modify the component `entry` whose
// values were read back; the dialog's result (Accepted when the page
// changed, kEditHtmlResult for "Edit HTML...").
template <typename D>
int RunModifyDialog(Workspace& workspace, QWidget* parent, const std::string& entry,
                    const FieldValues& values) {
    D dialog(workspace, parent);
    dialog.StartModify(entry, values);
    return dialog.exec();
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
