#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace qf {

class FieldStyle;
class LocationChoice;

// The dialogs of the styled form fields: text and password fields, text
// area, drop-down list, option list box, submit and reset buttons. Each kind
// has the rows its field needs (width, maximum length, default text, name,
// option list, button text) above the shared Style group.
class FormFieldDialog : public ComponentDialog {
    Q_OBJECT

public:
    FormFieldDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent);

public Q_SLOTS:
    void ToolButton3Click();

private:
    // Names the controls of the kind's fields for a Modify opening.
    void BindFields();

    QSpinBox* width_ = nullptr;
    QSpinBox* max_length_ = nullptr;
    QLineEdit* default_text_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* label_ = nullptr;
    QPlainTextEdit* options_ = nullptr;
    QLineEdit* button_text_ = nullptr;
    FieldStyle* style_;
};

// "Insert a Text Field".
using TFormg3 = KindDialog<FormFieldDialog, "Input_Text">;
// "Insert a Password Field".
using TFormg4 = KindDialog<FormFieldDialog, "Input_Pass">;
// "Insert a Text Area Field".
using TFormg5 = KindDialog<FormFieldDialog, "TextArea">;
// "Insert a Drop Down Option List Field".
using TFormg6 = KindDialog<FormFieldDialog, "Drop_List">;
// "Insert an Option Listbox".
using TFormg7 = KindDialog<FormFieldDialog, "ListBox">;
// "Insert a Submit Button".
using TFormg8 = KindDialog<FormFieldDialog, "Button">;
// "Insert a Reset Button".
using TFormg10 = KindDialog<FormFieldDialog, "Reset">;

// "Insert an Imaged Submit Button": a picture that submits the form.
class TFormg9 : public ComponentDialog {
    Q_OBJECT

public:
    TFormg9(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormg9>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton3Click();

private:
    LocationChoice* location_;
};

// "Insert Check Box": a box the visitor ticks, posting its value when ticked.
class TFormg11 : public ComponentDialog {
    Q_OBJECT

public:
    TFormg11(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormg11>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton3Click();

private:
    QLineEdit* name_;
    QLineEdit* value_;
    QCheckBox* checked_;
    QLineEdit* label_;
};

// "Insert Radio Button Group": one choice of several, one a line; the list
// "Chosen:" offers the lines as they are typed.
class TFormg12 : public ComponentDialog {
    Q_OBJECT

public:
    TFormg12(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TFormg12>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton3Click();
    void Memo1Change();

private:
    QLineEdit* name_;
    QPlainTextEdit* choices_;
    QComboBox* chosen_;
    QLineEdit* label_;
};

} // namespace qf
