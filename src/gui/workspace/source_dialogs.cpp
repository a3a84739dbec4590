#include "workspace/source_dialogs.h"

#include "error.h"
#include "services/preview.h"
#include "services/prompts.h"
#include "widgets/elided_label.h"
#include "workspace/area_content.h"
#include "workspace/component_editing.h"
#include "workspace/source_text.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace qf {

namespace {

QWidget* Captioned(const QString& caption, QWidget* field, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* label = new QLabel(caption, box);
    label->setBuddy(field);
    layout->addWidget(label);
    layout->addWidget(field, 1);
    return box;
}

} // namespace

SourceDialog::SourceDialog(Workspace& workspace, const Texts& texts, QWidget* parent)
    : ToolDialog(texts.caption, texts.heading, parent), workspace_(workspace) {
    MakeResizable();
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("Memo1");
    memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo_->setMinimumSize(280, 200);
    memo_->setTabChangesFocus(true);
    web_ = new Preview(this);
    web_->setObjectName("Web1");
    web_->setMinimumSize(280, 200);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(Captioned(texts.memo_label, memo_, splitter));
    splitter->addWidget(Captioned(texts.preview_label, web_, splitter));
    Body()->addWidget(splitter, 1);

    QPushButton* update = AddButton(texts.update, "ToolButton2");
    update->setToolTip(tr("Show the memo's HTML in the preview (F5)"));
    update->setShortcut(QKeySequence(Qt::Key_F5));
    connect(update, &QPushButton::clicked, this, &SourceDialog::ToolButton2Click);
    command_ = AddButton(texts.command, "ToolButton1");
    command_->setToolTip(texts.command_tip);
    command_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    QPushButton* cancel = AddButton(texts.cancel, "ToolButton3");
    cancel->setToolTip(tr("Close without change (Esc)"));
    connect(cancel, &QPushButton::clicked, this, &SourceDialog::ToolButton3Click);
    resize(780, 460);
}

std::string SourceDialog::Typed() const {
    return memo_->toPlainText().toStdString();
}

void SourceDialog::ToolButton2Click() {
    try {
        web_->ShowFile(QString::fromStdString(WriteComponentPreview(workspace_, Bytes())));
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
    }
}

void SourceDialog::ToolButton3Click() {
    reject();
}

TFormCom::TFormCom(Workspace& workspace, std::string source, QWidget* parent)
    : SourceDialog(workspace,
                   {"Component Modify", "Modify Component Below:", "Component Source Code:",
                    "Component Preview:", " Update Preview   ", " Save Component    ",
                    tr("Write the source into the page and close (Ctrl+Enter)"), "Cancel    "},
                   parent),
      source_(std::move(source)) {
    setObjectName("TFormCom");
    connect(CommandButton(), &QPushButton::clicked, this, &TFormCom::ToolButton1Click);
}

bool TFormCom::Open(Workspace& workspace, QWidget* parent) {
    return Open(workspace, parent, QString());
}

bool TFormCom::Open(Workspace& workspace, QWidget* parent, const QString& note) {
    RequireOpenPage(workspace);
    TFormCom dialog(workspace, ComponentSource(workspace.page_text, workspace.component_list.text),
                    parent);
    dialog.SetNote(note);
    return dialog.exec() == QDialog::Accepted;
}

void TFormCom::SetNote(const QString& note) {
    if (note.isEmpty()) {
        return;
    }
    auto* label = findChild<ElidedLabel*>("Note");
    if (label == nullptr) {
        label = new ElidedLabel(this);
        label->setObjectName("Note");
        Body()->insertWidget(0, label);
    }
    label->SetFullText(note);
}

void TFormCom::showEvent(QShowEvent* event) {
    SourceDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TFormCom::FormShow() {
    Memo()->setPlainText(DecodeSource(ShownLineBreaks(source_)).text);
    ToolButton2Click();
}

std::string TFormCom::Bytes() const {
    return SourceBytes(Typed(), source_);
}

void TFormCom::ToolButton1Click() {
    AcceptAfter([this] { SaveComponentSource(workspace_, Typed()); });
}

TFormCom2::TFormCom2(Workspace& workspace, QWidget* parent)
    : SourceDialog(
          workspace,
          {"Insert HTML code", "Insert HTML code:", "HTML Code:", "Preview:", "Update Preview  ",
           "Insert Code  ",
           tr("Put the code at the end of the selected area and close (Ctrl+Enter)"), "Cancel  "},
          parent) {
    setObjectName("TFormCom2");
    keep_ = new QCheckBox(tr("Keep as a component"), this);
    keep_->setObjectName("CheckKeepComponent");
    keep_->setChecked(true);
    keep_->setToolTip(tr("Listed in Select Component as HTML Code, so it can be selected, "
                         "modified and deleted on its own; unticked, the code joins the area"));
    Body()->addWidget(keep_);
    connect(CommandButton(), &QPushButton::clicked, this, &TFormCom2::ToolButton1Click);
}

bool TFormCom2::Open(Workspace& workspace, QWidget* parent) {
    TFormCom2 dialog(workspace, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::string TFormCom2::Bytes() const {
    return HtmlCodeBytes(Typed());
}

void TFormCom2::ToolButton1Click() {
    AcceptAfter([this] {
        if (keep_->isChecked()) {
            InsertHtmlComponent(workspace_, Typed());
        } else {
            InsertHtml(workspace_, Typed());
        }
    });
}

} // namespace qf
