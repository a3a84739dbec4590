#include "workspace/site_settings_dialog.h"

#include "error.h"
#include "services/prompts.h"
#include "services/utf8_text.h"
#include "site/site_menu.h"
#include "site/site_settings.h"
#include "site/site_style.h"
#include "widgets/picture_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace qf {

TSiteSettings::TSiteSettings(const std::string& project_folder, QWidget* parent)
    : QDialog(parent), project_folder_(project_folder) {
    setObjectName("TSiteSettings");
    setWindowTitle(tr("Site Settings"));
    const SiteSettings settings = ReadSiteSettings(project_folder);
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    column->addLayout(form);

    name_ = new QLineEdit(Q(settings.name), this);
    name_->setObjectName("EditSiteName");
    name_->setToolTip(tr("The site's name, shown with links to it shared in chats and networks"));
    form->addRow(tr("Name:"), name_);

    address_ = new QLineEdit(Q(settings.address), this);
    address_->setObjectName("EditAddress");
    address_->setPlaceholderText(tr("https://example.org/"));
    address_->setToolTip(tr("Where the site is published. Canonical links, shared links and "
                            "the sitemap search engines read need it"));
    address_->setMinimumWidth(320);
    form->addRow(tr("Address:"), address_);

    language_ = new QLineEdit(Q(settings.language), this);
    language_->setObjectName("EditLanguage");
    language_->setPlaceholderText(Q(DesktopLanguage()));
    language_->setToolTip(tr("The language the pages are written in, as a tag such as en, de "
                             "or de-CH; empty: the desktop's"));
    form->addRow(tr("Language:"), language_);

    icon_ = new PictureField("EditIcon", "ButtonIcon", kPictureFilter, this);
    icon_->Edit()->setText(Q(settings.icon));
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
        style_->addItem(Q(name));
    }
    style_->setCurrentText(Q(settings.style.empty() ? std::string(kClassicStyle) : settings.style));
    style_note_ = new QLabel(this);
    style_note_->setObjectName("LabelStyleNote");
    style_note_->setWordWrap(true);
    style_note_->setTextFormat(Qt::PlainText);
    auto* style_column = new QVBoxLayout;
    style_column->addWidget(style_);
    style_column->addWidget(style_note_);
    form->addRow(tr("Style:"), style_column);

    // Fonts and sizes on the left, the palette on the right.
    style_values_ = new QGroupBox(tr("Values of the style (empty: the style's own)"), this);
    style_values_->setObjectName("GroupStyleValues");
    auto* value_columns = new QHBoxLayout(style_values_);
    auto* sizes = new QFormLayout;
    auto* palette = new QFormLayout;
    value_columns->addLayout(sizes, 3);
    value_columns->addLayout(palette, 2);
    const std::map<std::string, QString> labels = {
        {"body-font", tr("Text font:")},   {"heading-font", tr("Heading font:")},
        {"scale", tr("Heading scale:")},   {"line-height", tr("Line height:")},
        {"content-width", tr("Width:")},   {"radius", tr("Corner radius:")},
        {"spacing", tr("Spacing:")},       {"text", tr("Text:")},
        {"background", tr("Background:")}, {"accent", tr("Accent and links:")},
        {"muted", tr("Muted text:")},      {"surface", tr("Surface:")},
        {"border", tr("Border:")}};
    const std::map<std::string, QString> tips = {
        {"body-font", tr("Fonts for text a page sets no face for, first choice first")},
        {"heading-font", tr("Fonts for headings, first choice first")},
        {"scale", tr("Each heading level this many times the next smaller one, such as 1.25")},
        {"line-height", tr("The height of a line of text in times the text size, such as 1.6")},
        {"content-width", tr("The widest the page's content stands, such as 1100px")},
        {"radius", tr("How round the corners of fields, buttons and pictures are, such as 6px")},
        {"spacing", tr("The room between blocks, such as 16px")}};
    for (const std::string& field : StyleFieldNames()) {
        QString suffix;
        for (const QString& word : QString::fromStdString(field).split('-')) {
            suffix += word.left(1).toUpper() + word.mid(1);
        }
        const bool colour = field == "text" || field == "background" || field == "accent" ||
                            field == "muted" || field == "surface" || field == "border";
        QLineEdit* edit = nullptr;
        QWidget* row = nullptr;
        if (colour) {
            auto* colour_field =
                new ColourField("EditStyle" + suffix, "ButtonStyle" + suffix, &colours_, this);
            edit = colour_field->Edit();
            edit->setToolTip(tr("A colour as #rrggbb; text and its background are checked for "
                                "contrast"));
            row = colour_field;
        } else {
            edit = new QLineEdit(this);
            edit->setObjectName("EditStyle" + suffix);
            edit->setMinimumWidth(180); // a font stack is long
            edit->setToolTip(tips.count(field) != 0 ? tips.at(field) : QString());
            row = edit;
        }
        const QString label = labels.count(field) != 0 ? labels.at(field) : suffix;
        (colour ? palette : sizes)->addRow(label, row);
        style_edits_.emplace_back(field, edit);
        connect(edit, &QLineEdit::textChanged, this, &TSiteSettings::ShowStyleNote);
    }
    form->addRow(style_values_);
    const std::string chosen = settings.style.empty() ? std::string(kClassicStyle) : settings.style;
    FillStyleValues(chosen, settings.style_values);
    // Another style starts from its own values: those set over the one
    // before go with it.
    connect(style_, &QComboBox::currentTextChanged, this,
            [this, chosen, values = settings.style_values](const QString& name) {
                const std::string style = name.toStdString();
                FillStyleValues(style,
                                style == chosen ? values : decltype(settings.style_values)());
            });
    ShowStyleNote();

    menu_ = new QListWidget(this);
    menu_->setObjectName("ListMenu");
    menu_->setDragDropMode(QAbstractItemView::InternalMove);
    menu_->setDefaultDropAction(Qt::MoveAction);
    menu_->setMinimumHeight(120);
    menu_->setToolTip(tr("The site menu: drag a page to its place, untick it to hide it, "
                         "double-click (F2) to change its link text"));
    try {
        for (const MenuEditingEntry& entry : SiteMenuForEditing(project_folder)) {
            auto* item =
                new QListWidgetItem(Q(entry.text.empty() ? entry.title : entry.text), menu_);
            item->setFlags((item->flags() | Qt::ItemIsEditable | Qt::ItemIsUserCheckable |
                            Qt::ItemIsDragEnabled) &
                           ~Qt::ItemIsDropEnabled);
            item->setCheckState(entry.hidden ? Qt::Unchecked : Qt::Checked);
            item->setData(Qt::UserRole, QByteArray::fromStdString(entry.page));
            item->setData(Qt::UserRole + 1, Q(entry.title));
            item->setToolTip(Q(entry.page));
        }
    } catch (const CommandError& error) {
        menu_->setEnabled(false);
        menu_->setToolTip(Q(error.what()));
    }
    form->addRow(tr("Menu:"), menu_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ButtonOk");
    connect(buttons, &QDialogButtonBox::accepted, this, &TSiteSettings::OkClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void TSiteSettings::FillStyleValues(
    const std::string& style, const std::vector<std::pair<std::string, std::string>>& values) {
    SiteStyle own;
    try {
        own = StyleWith(style, {});
    } catch (const CommandError&) {
        // a style that is not built in: nothing to show
    }
    for (const auto& [field, edit] : style_edits_) {
        const QSignalBlocker quiet(edit);
        edit->setPlaceholderText(Q(StyleValue(own, field)));
        const auto set = std::find_if(values.begin(), values.end(),
                                      [&](const auto& value) { return value.first == field; });
        edit->setText(set == values.end() ? QString() : Q(set->second));
    }
    style_values_->setVisible(style != kClassicStyle);
    ShowStyleNote();
}

std::vector<std::pair<std::string, std::string>> TSiteSettings::EditedStyleValues() const {
    std::vector<std::pair<std::string, std::string>> values;
    for (const auto& [field, edit] : style_edits_) {
        const QString text = edit->text().trimmed();
        if (!text.isEmpty()) {
            values.emplace_back(field, text.toStdString());
        }
    }
    return values;
}

void TSiteSettings::ShowStyleNote() {
    QStringList warnings;
    try {
        for (const std::string& warning : StyleContrastWarnings(
                 StyleWith(style_->currentText().toStdString(), EditedStyleValues()))) {
            warnings << Q(warning);
        }
    } catch (const CommandError& error) {
        warnings << Q(error.what());
    }
    style_note_->setText(warnings.join("\n"));
    style_note_->setVisible(!warnings.isEmpty());
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
        const std::string style = style_->currentText().toStdString();
        if (style != (settings.style.empty() ? std::string(kClassicStyle) : settings.style)) {
            settings = WithSiteSetting(settings, "style", style);
        }
        if (style != kClassicStyle) {
            // Each value as typed; an emptied one goes back to the style's own.
            for (const auto& [field, edit] : style_edits_) {
                const std::string value = edit->text().trimmed().toStdString();
                const auto stored =
                    std::find_if(settings.style_values.begin(), settings.style_values.end(),
                                 [&](const auto& set) { return set.first == field; });
                if (value !=
                    (stored == settings.style_values.end() ? std::string() : stored->second)) {
                    settings = WithSiteSetting(settings, "style." + field, value);
                }
            }
        }
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromUtf8(error.what()));
        return;
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
