#include "widgets/tool_dialog.h"

#include "error.h"
#include "services/prompts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

QFormLayout* MakeForm(QWidget* parent) {
    auto* form = new QFormLayout(parent);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setSpacing(kDialogSpacing);
    return form;
}

ToolDialog::ToolDialog(const QString& caption, const QString& heading, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 8);
    outer->setSpacing(kDialogSpacing);

    heading_ = new QLabel(heading, this);
    heading_->setObjectName("HeadingPanel");
    heading_->setStyleSheet("QLabel#HeadingPanel { background: #808080; color: white; "
                            "font-weight: bold; padding: 6px 10px; }");
    outer->addWidget(heading_);

    body_ = new QVBoxLayout;
    body_->setContentsMargins(12, 4, 12, 4);
    outer->addLayout(body_, 1);

    buttons_ = new QHBoxLayout;
    buttons_->setContentsMargins(12, 0, 12, 0);
    buttons_->addStretch(1);
    outer->addLayout(buttons_);
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

QFormLayout* ToolDialog::Form() {
    if (form_ == nullptr) {
        form_ = MakeForm();
        body_->addLayout(form_);
    }
    return form_;
}

QPushButton* ToolDialog::AddButton(const QString& text, const QString& object_name) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(object_name);
    button->setAutoDefault(false);
    buttons_->addWidget(button);
    return button;
}

QPushButton* ToolDialog::InsertButton(int index, const QString& text, const QString& object_name) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(object_name);
    button->setAutoDefault(false);
    buttons_->insertWidget(index, button);
    return button;
}

void ToolDialog::MakeResizable() {
    layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
}

void ToolDialog::AcceptAfter(const std::function<void()>& command) {
    try {
        command();
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        return;
    }
    accept();
}

} // namespace qf
