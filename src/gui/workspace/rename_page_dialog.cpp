#include "workspace/rename_page_dialog.h"

#include "error.h"
#include "services/utf8_text.h"
#include "site/page_rename.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

TRenamePage::TRenamePage(const std::string& project_folder, const std::string& page_name,
                         QWidget* parent)
    : QDialog(parent) {
    setObjectName("TRenamePage");
    setWindowTitle(tr("Rename Project Page"));
    const QString page = Q(page_name);
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    column->addLayout(form);

    name_ = new QLineEdit(QFileInfo(page).completeBaseName(), this);
    name_->setObjectName("EditNewName");
    name_->setMinimumWidth(300);
    name_->setToolTip(tr("The page's new file name; \".html\" is added"));
    name_->selectAll();
    form->addRow(tr("New name of %1:").arg(page), name_);

    linking_ = new QLabel(this);
    linking_->setObjectName("LabelLinkingPages");
    linking_->setWordWrap(true);
    linking_->setTextFormat(Qt::PlainText);
    QStringList pages;
    try {
        for (const std::string& linking : PagesLinkingTo(project_folder, page_name)) {
            pages << Q(linking);
        }
        if (pages.isEmpty()) {
            linking_->setText(tr("No page links to it."));
        } else if (pages.size() == 1) {
            linking_->setText(tr("The links to it on 1 page will follow: %1").arg(pages.first()));
        } else {
            linking_->setText(tr("The links to it on %1 pages will follow: %2")
                                  .arg(pages.size())
                                  .arg(pages.join(", ")));
        }
    } catch (const CommandError& error) {
        linking_->setText(QString::fromUtf8(error.what()));
    }
    column->addWidget(linking_);
    auto* note =
        new QLabel(tr("The published site keeps the old address, sending visitors on."), this);
    note->setWordWrap(true);
    column->addWidget(note);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName("ButtonRename");
    ok->setText(tr("Rename"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

std::string TRenamePage::NewName() const {
    return name_->text().trimmed().toStdString();
}

} // namespace qf
