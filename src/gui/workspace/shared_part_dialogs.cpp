#include "workspace/shared_part_dialogs.h"

#include "error.h"
#include "services/utf8_text.h"
#include "site/shared_parts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

namespace {

// OK (captioned `ok_text`) and Cancel under `column`; returns OK.
QPushButton* AddButtons(QDialog* dialog, QVBoxLayout* column, const QString& ok_text,
                        const char* ok_name) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(ok_name);
    ok->setText(ok_text);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    column->addWidget(buttons);
    return ok;
}

} // namespace

TShareComponent::TShareComponent(const std::string& entry, QWidget* parent) : QDialog(parent) {
    setObjectName("TShareComponent");
    setWindowTitle(tr("Share on Other Pages"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    column->addLayout(form);
    name_ = new QLineEdit(this);
    name_->setObjectName("EditPartName");
    name_->setMinimumWidth(260);
    name_->setPlaceholderText(tr("Footer"));
    name_->setToolTip(tr("Letters, digits, spaces, \"_\" and \"-\""));
    form->addRow(tr("Share %1 as:").arg(Q(entry)), name_);
    auto* note = new QLabel(tr("Place it on other pages with Place Shared Part; a change on any "
                               "of them can then reach all."),
                            this);
    note->setWordWrap(true);
    column->addWidget(note);
    QPushButton* ok = AddButtons(this, column, tr("Share"), "ButtonShare");
    ok->setEnabled(false);
    connect(name_, &QLineEdit::textChanged, this,
            [ok](const QString& text) { ok->setEnabled(!text.trimmed().isEmpty()); });
}

std::string TShareComponent::PartName() const {
    return name_->text().trimmed().toStdString();
}

TPlaceSharedPart::TPlaceSharedPart(const std::string& project_folder, const std::string& area,
                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName("TPlaceSharedPart");
    setWindowTitle(tr("Place Shared Part"));
    auto* column = new QVBoxLayout(this);
    auto* heading = new QLabel(tr("Put a copy of this part at the end of %1:").arg(Q(area)), this);
    column->addWidget(heading);
    parts_ = new QListWidget(this);
    parts_->setObjectName("ListSharedParts");
    parts_->setMinimumSize(300, 140);
    column->addWidget(parts_, 1);
    pages_ = new QLabel(this);
    pages_->setObjectName("LabelSharingPages");
    pages_->setWordWrap(true);
    pages_->setTextFormat(Qt::PlainText);
    column->addWidget(pages_);
    QPushButton* ok = AddButtons(this, column, tr("Place"), "ButtonPlace");
    ok->setEnabled(false);
    try {
        for (const std::string& name : SharedPartNames(project_folder)) {
            parts_->addItem(Q(name));
        }
    } catch (const CommandError& error) {
        pages_->setText(Q(error.what()));
    }
    if (parts_->count() == 0) {
        pages_->setText(tr("The project has no shared part yet: share a component first "
                           "(Share on Other Pages)."));
    }
    connect(parts_, &QListWidget::currentTextChanged, this,
            [this, ok, project_folder](const QString& name) {
                ok->setEnabled(!name.isEmpty());
                QStringList pages;
                for (const std::string& page : PagesSharing(project_folder, name.toStdString())) {
                    pages << Q(page);
                }
                pages_->setText(pages.isEmpty() ? tr("No page shows it now.")
                                                : tr("Shown on: %1").arg(pages.join(", ")));
            });
    connect(parts_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    if (parts_->count() > 0) {
        parts_->setCurrentRow(0);
    }
}

std::string TPlaceSharedPart::PartName() const {
    const QListWidgetItem* item = parts_->currentItem();
    return item != nullptr ? item->text().toStdString() : std::string();
}

} // namespace qf
