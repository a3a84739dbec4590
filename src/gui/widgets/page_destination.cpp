#include "widgets/page_destination.h"

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
    url_radio_ = new QRadioButton(tr("Url"), this);
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

QStringList PageDestination::ProjectPages(const QString& project_folder) {
    if (project_folder.isEmpty()) {
        return {};
    }
    return QDir(project_folder)
        .entryList({"*.html"}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

void PageDestination::FillPages(const QString& project_folder) {
    const QString text = pages_->currentText();
    pages_->clear();
    pages_->addItems(ProjectPages(project_folder));
    pages_->setCurrentIndex(-1);
    pages_->setEditText(text);
}

QString PageDestination::Destination() const {
    if (style_ == Style::ResetOnChoice) {
        return pages_->currentText().isEmpty() ? url_edit_->text() : pages_->currentText();
    }
    return page_radio_->isChecked() ? pages_->currentText() : url_edit_->text();
}

void PageDestination::PageToggled(bool checked) {
    if (!checked) {
        return;
    }
    pages_->show();
    url_edit_->hide();
    if (style_ == Style::ResetOnChoice) {
        pages_->setEditText("Select");
        url_edit_->clear();
    }
}

void PageDestination::UrlToggled(bool checked) {
    if (!checked) {
        return;
    }
    url_edit_->show();
    pages_->hide();
    if (style_ == Style::ResetOnChoice) {
        url_edit_->setText("http://");
        pages_->setCurrentIndex(-1);
        pages_->setEditText("");
    }
}

} // namespace qf
