#include "workspace/site_settings_dialog.h"

#include "error.h"
#include "services/prompts.h"
#include "site/site_menu.h"
#include "site/site_settings.h"
#include "site/site_style.h"
#include "widgets/picture_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

    style_ = new QComboBox(this);
    style_->setObjectName("ComboStyle");
    style_->setToolTip(tr("The look the published site gives what its pages leave unset; "
                          "Classic shows the pages exactly as designed"));
    for (const std::string& name : BuiltInStyleNames()) {
        style_->addItem(FromBytes(name));
    }
    style_->setCurrentText(
        FromBytes(settings.style.empty() ? std::string(kClassicStyle) : settings.style));
    style_note_ = new QLabel(this);
    style_note_->setObjectName("LabelStyleNote");
    style_note_->setWordWrap(true);
    style_note_->setTextFormat(Qt::PlainText);
    const auto show_note = [this, values = settings.style_values, chosen = settings.style] {
        QStringList warnings;
        try {
            const std::string name = style_->currentText().toStdString();
            // Values set over a style go with it.
            for (const std::string& warning : StyleContrastWarnings(StyleWith(
                     name, name == chosen ? values : decltype(settings.style_values)()))) {
                warnings << FromBytes(warning);
            }
        } catch (const CommandError& error) {
            warnings << FromBytes(error.what());
        }
        style_note_->setText(warnings.join("\n"));
        style_note_->setVisible(!warnings.isEmpty());
    };
    connect(style_, &QComboBox::currentTextChanged, this, show_note);
    show_note();
    auto* style_column = new QVBoxLayout;
    style_column->addWidget(style_);
    style_column->addWidget(style_note_);
    form->addRow(tr("Style:"), style_column);

    menu_ = new QListWidget(this);
    menu_->setObjectName("ListMenu");
    menu_->setDragDropMode(QAbstractItemView::InternalMove);
    menu_->setDefaultDropAction(Qt::MoveAction);
    menu_->setMinimumHeight(120);
    menu_->setToolTip(tr("The site menu: drag a page to its place, untick it to hide it, "
                         "double-click (F2) to change its link text"));
    try {
        for (const MenuEditingEntry& entry : SiteMenuForEditing(project_folder)) {
            auto* item = new QListWidgetItem(
                FromBytes(entry.text.empty() ? entry.title : entry.text), menu_);
            item->setFlags((item->flags() | Qt::ItemIsEditable | Qt::ItemIsUserCheckable |
                            Qt::ItemIsDragEnabled) &
                           ~Qt::ItemIsDropEnabled);
            item->setCheckState(entry.hidden ? Qt::Unchecked : Qt::Checked);
            item->setData(Qt::UserRole, QByteArray::fromStdString(entry.page));
            item->setData(Qt::UserRole + 1, FromBytes(entry.title));
            item->setToolTip(FromBytes(entry.page));
        }
    } catch (const CommandError& error) {
        menu_->setEnabled(false);
        menu_->setToolTip(FromBytes(error.what()));
    }
    form->addRow(tr("Menu:"), menu_);

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
    const std::string style = style_->currentText().toStdString();
    if (style != (settings.style.empty() ? std::string(kClassicStyle) : settings.style)) {
        settings = WithSiteSetting(settings, "style", style);
    }
    if (menu_->isEnabled()) {
        // Every page in its place; a text that is the page's title follows it.
        settings.menu.clear();
        for (int row = 0; row < menu_->count(); ++row) {
            const QListWidgetItem* item = menu_->item(row);
            const QString text = item->text().trimmed();
            settings.menu.push_back({item->data(Qt::UserRole).toByteArray().toStdString(),
                                     text == item->data(Qt::UserRole + 1).toString()
                                         ? std::string()
                                         : text.toStdString(),
                                     item->checkState() != Qt::Checked});
        }
    }
    try {
        WriteSiteSettings(project_folder_, settings);
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromUtf8(error.what()));
        return;
    }
    accept();
}

} // namespace qf
