#include "workspace/site_settings_dialog.h"

#include "error.h"
#include "services/prompts.h"
#include "site/site_settings.h"
#include "widgets/picture_field.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qf {

namespace {

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

TSiteSettings::TSiteSettings(const std::string& project_folder, QWidget* parent)
    : QDialog(parent), project_folder_(project_folder) {
    setObjectName("TSiteSettings");
    setWindowTitle(tr("Site Settings"));
    const SiteSettings settings = ReadSiteSettings(project_folder);
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    column->addLayout(form);

    name_ = new QLineEdit(FromBytes(settings.name), this);
    name_->setObjectName("EditSiteName");
    name_->setToolTip(tr("The site's name, shown with links to it shared in chats and networks"));
    form->addRow(tr("Name:"), name_);

    address_ = new QLineEdit(FromBytes(settings.address), this);
    address_->setObjectName("EditAddress");
    address_->setPlaceholderText(tr("https://example.org/"));
    address_->setToolTip(tr("Where the site is published. Canonical links, shared links and "
                            "the sitemap search engines read need it"));
    address_->setMinimumWidth(320);
    form->addRow(tr("Address:"), address_);

    language_ = new QLineEdit(FromBytes(settings.language), this);
    language_->setObjectName("EditLanguage");
    language_->setPlaceholderText(FromBytes(DesktopLanguage()));
    language_->setToolTip(tr("The language the pages are written in, as a tag such as en, de "
                             "or de-CH; empty: the desktop's"));
    form->addRow(tr("Language:"), language_);

    icon_ = new PictureField("EditIcon", "ButtonIcon", kPictureFilter, this);
    icon_->Edit()->setText(FromBytes(settings.icon));
    icon_->Edit()->setToolTip(tr("A picture of the project, square at best, that browsers show "
                                 "beside the site's name"));
    form->addRow(tr("Icon:"), icon_);

    index_ = new QCheckBox(tr("Search engines may index the site"), this);
    index_->setObjectName("CheckIndex");
    index_->setChecked(settings.index);
    form->addRow(QString(), index_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ButtonOk");
    connect(buttons, &QDialogButtonBox::accepted, this, &TSiteSettings::OkClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void TSiteSettings::OkClick() {
    // What the dialog does not show (the renamed pages) is kept as it was.
    SiteSettings settings = ReadSiteSettings(project_folder_);
    settings.name = name_->text().trimmed().toStdString();
    settings.address = address_->text().trimmed().toStdString();
    settings.language = language_->text().trimmed().toStdString();
    settings.icon = QFile::encodeName(icon_->Text().trimmed()).toStdString();
    settings.index = index_->isChecked();
    try {
        WriteSiteSettings(project_folder_, settings);
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromUtf8(error.what()));
        return;
    }
    accept();
}

} // namespace qf
