#include "widgets/page_destination.h"

#include "workspace/project.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qf {

PageDestination::PageDestination(const Names& names, Style style, const QString& initial_page_text,
                                 QWidget* parent)
    : QWidget(parent), style_(style) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    auto* radios = new QHBoxLayout;
    page_radio_ = new QRadioButton(names.page_caption, this);
    page_radio_->setObjectName(names.page_radio);
    page_radio_->setToolTip(tr("Link to a page of this project"));
    url_radio_ = new QRadioButton(names.url_caption, this);
    url_radio_->setObjectName(names.url_radio);
    url_radio_->setToolTip(tr("Link to a web address"));
    auto* group = new QButtonGroup(this);
    group->addButton(page_radio_);
    group->addButton(url_radio_);
    radios->addWidget(page_radio_);
    radios->addWidget(url_radio_);
    radios->addStretch(1);
    column->addLayout(radios);

    auto* row = new QHBoxLayout;
    pages_ = new QComboBox(this);
    pages_->setObjectName(names.page_list);
    pages_->setEditable(true);
    pages_->setInsertPolicy(QComboBox::NoInsert);
    pages_->setMinimumWidth(220);
    pages_->setEditText(initial_page_text);
    url_edit_ = new QLineEdit("http://", this);
    url_edit_->setObjectName(names.url_edit);
    url_edit_->setMinimumWidth(220);
    url_edit_->hide();
    row->addWidget(pages_, 1);
    row->addWidget(url_edit_, 1);
    column->addLayout(row);

    connect(page_radio_, &QRadioButton::toggled, this, &PageDestination::PageToggled);
    connect(url_radio_, &QRadioButton::toggled, this, &PageDestination::UrlToggled);
}

QStringList PageDestination::ProjectPages(const QString& project_folder, const QString& mask) {
    if (project_folder.isEmpty()) {
        return {};
    }
    return QDir(project_folder)
        .entryList({mask}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

void PageDestination::FillPages(const QString& project_folder, const QString& mask) {
    const QString text = pages_->currentText();
    pages_->clear();
    pages_->addItems(ProjectPages(project_folder, mask));
    pages_->setCurrentIndex(-1);
    pages_->setEditText(text);
}

// A page of the list is linked by its name %-escaped (a name with a space
// is a valid address); anything typed stays as typed.
QString PageDestination::ChosenPage() const {
    const QString text = pages_->currentText();
    if (pages_->findText(text) < 0) {
        return text;
    }
    return QString::fromStdString(PageLink(text.toStdString()));
}

QString PageDestination::Destination() const {
    switch (style_) {
    case Style::ResetOnChoice:
        return ChosenPage().isEmpty() ? url_edit_->text() : ChosenPage();
    case Style::ShowOnly:
        break;
    case Style::ChosenOnly:
        if (!page_radio_->isChecked() && !url_radio_->isChecked()) {
            return QString();
        }
        break;
    case Style::UrlUnlessEmpty:
        return url_edit_->text().isEmpty() ? ChosenPage() : url_edit_->text();
    }
    return page_radio_->isChecked() ? ChosenPage() : url_edit_->text();
}

void PageDestination::SetDestination(const QString& written) {
    // A link written by ChosenPage shows as the page it names.
    const QString unescaped = QString::fromStdString(PageOfLink(written.toStdString()));
    const bool page = !written.isEmpty() && pages_->findText(unescaped) >= 0;
    const QString destination = page ? unescaped : written;
    (page ? page_radio_ : url_radio_)->setChecked(true);
    if (page) {
        pages_->setCurrentIndex(pages_->findText(destination));
        pages_->setEditText(destination);
        return;
    }
    url_edit_->setText(destination);
    if (style_ == Style::UrlUnlessEmpty || style_ == Style::ResetOnChoice) {
        // Read when the URL is empty: it must add nothing.
        pages_->setCurrentIndex(-1);
        pages_->setEditText(QString());
    }
}

void PageDestination::PageToggled(bool checked) {
    if (!checked) {
        return;
    }
    pages_->show();
    url_edit_->hide();
    if (style_ == Style::ResetOnChoice) {
        pages_->setEditText("Select");
    }
    if (style_ == Style::ResetOnChoice || style_ == Style::UrlUnlessEmpty) {
        url_edit_->clear();
    }
}

void PageDestination::UrlToggled(bool checked) {
    if (!checked) {
        return;
    }
    url_edit_->show();
    pages_->hide();
    if (style_ != Style::ShowOnly) {
        url_edit_->setText("http://");
    }
    if (style_ == Style::ResetOnChoice) {
        pages_->setCurrentIndex(-1);
        pages_->setEditText("");
    }
}

} // namespace qf
