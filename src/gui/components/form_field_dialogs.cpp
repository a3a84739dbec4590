#include "components/form_field_dialogs.h"

#include "document/kind_table.h"
#include "services/utf8_text.h"
#include "widgets/field_style.h"
#include "widgets/picture_field.h"
#include "widgets/simple_fields.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace qf {

namespace {

// The rows of one styled field's dialog.
struct FieldDialogRows {
    std::string_view kind_tag;
    const char* heading;
    const char* width_unit = nullptr; // a width row, with this unit
    bool max_length = false;
    bool default_text = false;
    bool name = false;
    bool options = false;
    bool button_text = false;
};

constexpr FieldDialogRows kRows[] = {
    {"Input_Text", "Insert an Input Text Field:", "(characters)", true, true, true},
    {"Input_Pass", "Insert an Input Password Field:", "(characters)", true, true, true},
    {"TextArea", "Insert a Text Area Field:", "(columns)", false, false, true},
    {"Drop_List", "Insert a Drop Down Option List Field:", nullptr, false, false, true, true},
    {"ListBox", "Insert an Option Listbox:", nullptr, false, false, true, true},
    {"Button", "Insert a Submit Button:", nullptr, false, false, false, false, true},
    {"Reset", "Insert a Reset Button:", nullptr, false, false, false, false, true},
};

const FieldDialogRows& RowsOf(std::string_view kind_tag) {
    for (const FieldDialogRows& rows : kRows) {
        if (rows.kind_tag == kind_tag) {
            return rows;
        }
    }
    Q_ASSERT(false);
    return kRows[0];
}

// The initial value of a field, from the kind's field table.
QString Initial(std::string_view kind_tag, std::string_view field) {
    const ComponentSpec* spec = FindComponentSpec(kind_tag);
    const FieldSpec* row = spec != nullptr ? FindField(*spec, field) : nullptr;
    return row != nullptr ? Q(row->initial) : QString();
}

// A spin field with its unit label after it.
QWidget* SpinRow(QSpinBox*& spin, const char* name, const QString& unit, const QString& tip,
                 QWidget* parent) {
    auto* row_widget = new QWidget(parent);
    auto* row = new QHBoxLayout(row_widget);
    row->setContentsMargins(0, 0, 0, 0);
    spin = MakeSpinField(name, row_widget);
    spin->setToolTip(tip);
    row->addWidget(spin);
    row->addWidget(new QLabel(unit, row_widget));
    row->addStretch(1);
    return row_widget;
}

QLineEdit* LineEdit(const char* name, const QString& text, const QString& tip, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setToolTip(tip);
    edit->setMinimumWidth(220);
    return edit;
}

const char* const kNameTip =
    QT_TRANSLATE_NOOP("qf::FormFieldDialog", "The name the form's script reads the value by: "
                                             "letters, digits and underscores");
const char* const kLabelTip = QT_TRANSLATE_NOOP(
    "qf::FormFieldDialog", "The text shown beside the field; a tap on it reaches the field, and "
                           "screen readers read it. Empty writes no label");

// The "Label:" row of every named field.
QLineEdit* AddLabelRow(QFormLayout* form, QWidget* parent) {
    QLineEdit* label = LineEdit(
        "Edit5", QString(), QCoreApplication::translate("qf::FormFieldDialog", kLabelTip), parent);
    form->addRow(QCoreApplication::translate("qf::FormFieldDialog", "Label:"), label);
    return label;
}

} // namespace

FormFieldDialog::FormFieldDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent)
    : ComponentDialog(workspace, Q(FindKindByTag(kind_tag)->dialog_caption),
                      tr(RowsOf(kind_tag).heading), parent) {
    setObjectName(Q(FindKindByTag(kind_tag)->dialog_class));
    kind_tag_ = kind_tag;
    const FieldDialogRows& rows = RowsOf(kind_tag);
    QFormLayout* form = Form();
    if (rows.width_unit != nullptr) {
        const QString tip = tr("The field's width in characters; 0 leaves the browser's own width");
        form->addRow(tr("Width:"), SpinRow(width_, "SpinEdit1", tr(rows.width_unit), tip, this));
        width_->setValue(Initial(kind_tag, "width").toInt());
    }
    if (rows.max_length) {
        form->addRow(tr("Maximum length:"),
                     SpinRow(max_length_, "SpinEdit2", tr("(characters)"),
                             tr("The most characters the visitor can type; 0 sets no limit"),
                             this));
        max_length_->setValue(Initial(kind_tag, "maxlength").toInt());
    }
    if (rows.default_text) {
        default_text_ = LineEdit("Edit1", Initial(kind_tag, "value"),
                                 tr("The text the field shows before the visitor types"), this);
        form->addRow(tr(" Default Text:"), default_text_);
    }
    if (rows.name) {
        name_ = LineEdit("Edit4", Initial(kind_tag, "name"), tr(kNameTip), this);
        form->addRow(tr("Name:"), name_);
        label_ = AddLabelRow(form, this);
    }
    if (rows.options) {
        options_ = new QPlainTextEdit(this);
        options_->setObjectName("Memo1");
        options_->setToolTip(tr("One option for each line; empty lines are skipped"));
        options_->setMinimumHeight(110);
        form->addRow(tr(" List:"), options_);
    }
    if (rows.button_text) {
        button_text_ =
            LineEdit("Edit4", Initial(kind_tag, "value"), tr("The text on the button"), this);
        form->addRow(tr("Button Text:"), button_text_);
    }
    style_ = new FieldStyle(&colours_, this);
    Body()->addWidget(style_);
    BindFields();

    connect(AddOkButton(tr("OK   "), "ToolButton3"), &QPushButton::clicked, this,
            &FormFieldDialog::ToolButton3Click);
    AddCancelButton(tr("Cancel   "), "ToolButton1");
}

void FormFieldDialog::BindFields() {
    const auto bind = [this](const char* field, auto* control) {
        if (control != nullptr) {
            fillers_.Add(field, control);
        }
    };
    bind("width", width_);
    bind("maxlength", max_length_);
    bind("value", default_text_);
    bind("name", name_);
    bind("options", options_);
    bind("value", button_text_);
    bind("label", label_);
    style_->Bind(fillers_);
}

void FormFieldDialog::ToolButton3Click() {
    FieldValues values;
    if (width_ != nullptr) {
        values["width"] = std::to_string(SpinValue(width_));
    }
    if (max_length_ != nullptr) {
        values["maxlength"] = std::to_string(SpinValue(max_length_));
    }
    if (default_text_ != nullptr) {
        values["value"] = default_text_->text().toStdString();
    }
    if (name_ != nullptr) {
        values["name"] = name_->text().toStdString();
        values["label"] = label_->text().toStdString();
    }
    if (options_ != nullptr) {
        values["options"] = options_->toPlainText().toStdString();
    }
    if (button_text_ != nullptr) {
        values["value"] = button_text_->text().toStdString();
    }
    style_->Gather(values);
    Insert(kind_tag_, values);
}

TFormg9::TFormg9(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, tr("Insert an Imaged Submit Button"),
                      tr("Insert an Imaged Submit Button:"), parent) {
    setObjectName("TFormg9");
    location_ = new LocationChoice({"RadioButton1", "RadioButton2", "Edit4", "ToolButton2"},
                                   kTiffPictureFilter, this);
    location_->Field()->Edit()->setText(Initial("Image_Button", "src"));
    location_->Field()->Edit()->setToolTip(tr("The picture the visitor clicks to send the form"));
    location_->Field()->Button()->setText("[...] ");
    location_->Field()->SetProject(workspace);
    Form()->addRow(tr("Image Location:"), location_);
    fillers_.Add("src", location_->Field());

    connect(AddOkButton(tr("OK   "), "ToolButton3"), &QPushButton::clicked, this,
            &TFormg9::ToolButton3Click);
    AddCancelButton(tr("Cancel   "), "ToolButton1");
}

void TFormg9::ToolButton3Click() {
    Insert("Image_Button", {{"src", location_->Text().toStdString()}});
}

TFormg11::TFormg11(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, tr("Insert Check Box"), tr("Insert a Check Box:"), parent) {
    setObjectName("TFormg11");
    QFormLayout* form = Form();
    name_ = LineEdit("Edit4", Initial("CheckBox", "name"), tr(kNameTip), this);
    form->addRow(tr("Name:"), name_);
    value_ =
        LineEdit("Edit1", Initial("CheckBox", "value"),
                 tr("What the mail says when the box is ticked; nothing when it is not"), this);
    form->addRow(tr("Value:"), value_);
    checked_ = new QCheckBox(tr("Ticked at first"), this);
    checked_->setObjectName("CheckBox2");
    checked_->setToolTip(tr("The box shows ticked until the visitor unticks it"));
    form->addRow(QString(), checked_);
    label_ = AddLabelRow(form, this);
    fillers_.Add("name", name_);
    fillers_.Add("value", value_);
    fillers_.Add("checked", checked_);
    fillers_.Add("label", label_);

    connect(AddOkButton(tr("OK   "), "ToolButton3"), &QPushButton::clicked, this,
            &TFormg11::ToolButton3Click);
    AddCancelButton(tr("Cancel   "), "ToolButton1");
}

void TFormg11::ToolButton3Click() {
    Insert("CheckBox", {{"name", name_->text().toStdString()},
                        {"value", value_->text().toStdString()},
                        {"checked", checked_->isChecked() ? "1" : "0"},
                        {"label", label_->text().toStdString()}});
}

TFormg12::TFormg12(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, tr("Insert Radio Button Group"),
                      tr("Insert a Radio Button Group:"), parent) {
    setObjectName("TFormg12");
    QFormLayout* form = Form();
    name_ = LineEdit("Edit4", Initial("Radio_Group", "name"), tr(kNameTip), this);
    form->addRow(tr("Name:"), name_);
    choices_ = new QPlainTextEdit(Initial("Radio_Group", "choices"), this);
    choices_->setObjectName("Memo1");
    choices_->setToolTip(tr("One choice for each line; empty lines are skipped. The mail says "
                            "the chosen one"));
    choices_->setMinimumHeight(110);
    form->addRow(tr(" Choices:"), choices_);
    chosen_ = new QComboBox(this);
    chosen_->setObjectName("ComboBox1");
    chosen_->setToolTip(tr("The choice shown chosen at first, or none"));
    form->addRow(tr("Chosen:"), chosen_);
    label_ = AddLabelRow(form, this);
    Memo1Change();
    connect(choices_, &QPlainTextEdit::textChanged, this, &TFormg12::Memo1Change);
    fillers_.Add("name", name_);
    fillers_.Add("choices", choices_);
    // The chosen number counts the choices from 1; 0 is none.
    fillers_.Add("chosen", [this](const QString& value) {
        Memo1Change();
        chosen_->setCurrentIndex(std::clamp(value.toInt(), 0, chosen_->count() - 1));
    });
    fillers_.Add("label", label_);

    connect(AddOkButton(tr("OK   "), "ToolButton3"), &QPushButton::clicked, this,
            &TFormg12::ToolButton3Click);
    AddCancelButton(tr("Cancel   "), "ToolButton1");
}

// The chosen list follows the choices, keeping its place where it can.
void TFormg12::Memo1Change() {
    const int chosen = std::max(chosen_->currentIndex(), 0);
    chosen_->clear();
    chosen_->addItem(tr("(none)"));
    for (const QString& line :
         choices_->toPlainText().split(QRegularExpression("\\r\\n|\\r|\\n"))) {
        if (!line.isEmpty()) {
            chosen_->addItem(line);
        }
    }
    chosen_->setCurrentIndex(std::min(chosen, chosen_->count() - 1));
}

void TFormg12::ToolButton3Click() {
    Insert("Radio_Group", {{"name", name_->text().toStdString()},
                           {"choices", choices_->toPlainText().toStdString()},
                           {"chosen", std::to_string(std::max(chosen_->currentIndex(), 0))},
                           {"label", label_->text().toStdString()}});
}

} // namespace qf
