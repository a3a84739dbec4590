#include "components/text_dialog.h"

#include "check/html_check.h"
#include "widgets/font_group.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

namespace {

// A group box holding one line edit, placed under the font groups.
QLineEdit* AddTextGroup(FontGroup* font, const QString& title, const QString& object_name) {
    auto* group = new QGroupBox(title, font);
    auto* column = new QVBoxLayout(group);
    auto* edit = new QLineEdit(group);
    edit->setObjectName(object_name);
    column->addWidget(edit);
    font->AddText(group);
    return edit;
}

} // namespace

TextDialog::TextDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent)
    : ComponentDialog(workspace, kind_tag, parent) {
    const bool plain = kind_tag == "Text";
    font_ = new FontGroup(&colours_, plain ? tr("Italics") : tr("Italic"), this);
    Body()->addWidget(font_);
    if (plain) {
        text_ = AddTextGroup(font_, tr("Text"), "Edit2");
        text_->setToolTip(tr("The text; markup typed here stays markup"));
    } else {
        const bool lowered = kind_tag == "Subscript";
        text_ = AddTextGroup(font_, tr("Main Text"), "Edit3");
        text_->setToolTip(tr("The text on the line, in the face, size and colour only"));
        script_text_ = AddTextGroup(font_, QString::fromStdString(kind_tag_) + " Text", "Edit2");
        script_text_->setToolTip(lowered ? tr("The lowered text, in the styles")
                                         : tr("The raised text, in the styles"));
        script_field_ = lowered ? "sub" : "sup";
        fillers_.Add(script_field_, script_text_);
    }
    fillers_.Add("text", text_);
    font_->Bind(fillers_);

    // Text in angle brackets that names no element is hidden by browsers:
    // said under the fields as it is typed, as Check Site says it.
    hint_ = new QLabel(this);
    hint_->setObjectName("LabelHint");
    hint_->setWordWrap(true);
    hint_->setTextFormat(Qt::PlainText);
    hint_->setStyleSheet("color: #a04000");
    hint_->hide();
    font_->AddText(hint_);
    for (QLineEdit* edit : {text_, script_text_}) {
        if (edit != nullptr) {
            connect(edit, &QLineEdit::textChanged, this, &TextDialog::ShowHint);
        }
    }

    connect(AddOkButton(tr("OK   "), "ToolButton3"), &QPushButton::clicked, this,
            &TextDialog::ToolButton3Click);
    AddCancelButton(tr("Cancel   "), "ToolButton4");
}

void TextDialog::ShowHint() {
    std::string hint = check::UnknownElementHint(text_->text().toStdString());
    if (hint.empty() && script_text_ != nullptr) {
        hint = check::UnknownElementHint(script_text_->text().toStdString());
    }
    hint_->setText(QString::fromStdString(hint));
    hint_->setVisible(!hint.empty());
}

void TextDialog::ToolButton3Click() {
    FieldValues values{{"text", text_->text().toStdString()}};
    if (script_text_ != nullptr) {
        values[script_field_] = script_text_->text().toStdString();
    }
    font_->Gather(values);
    Insert(kind_tag_, values);
}

} // namespace qf
