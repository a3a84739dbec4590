#include "components/page_properties_dialog.h"

#include "components/page_properties.h"
#include "components/small_screens.h"
#include "error.h"
#include "services/prompts.h"
#include "widgets/picture_field.h"
#include "workspace/workspace.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace qf {

TForma::TForma(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, "Page Properties", "Page Properties", parent) {
    setObjectName("TForma");
    QFormLayout* form = Form();
    // The page's own title, as its reader sees it; OK writes it back as it was.
    heading_ = new QLineEdit(QString::fromStdString(HeadingForEditing(workspace.page_text)), this);
    heading_->setObjectName("Edit3");
    heading_->setToolTip(tr("The page's title"));
    heading_->setMinimumWidth(240);
    form->addRow(tr("Heading:"), heading_);
    description_ =
        new QLineEdit(QString::fromStdString(DescriptionForEditing(workspace.page_text)), this);
    description_->setObjectName("EditDescription");
    description_->setPlaceholderText(tr("The page's first sentences"));
    description_->setToolTip(tr("What search engines and shared links show of the page: a "
                                "sentence or two. Left empty, the page's first sentences"));
    form->addRow(tr("Description:"), description_);
    language_ =
        new QLineEdit(QString::fromStdString(LanguageForEditing(workspace.page_text)), this);
    language_->setObjectName("EditLanguage");
    language_->setPlaceholderText(tr("The site's language"));
    language_->setToolTip(tr("The language this page is written in, as a tag such as en, de or "
                             "de-CH, where it is not the site's"));
    form->addRow(tr("Language:"), language_);

    picture_radio_ = new QRadioButton(tr("Background Image:"), this);
    picture_radio_->setObjectName("RadioButton1");
    picture_ = new PictureField("Edit1", "ToolButton3", kPictureFilter, this);
    picture_->SetProject(workspace);
    picture_->Edit()->setToolTip(tr("A picture file or web address shown behind the page"));
    form->addRow(picture_radio_, picture_);

    colour_radio_ = new QRadioButton(tr("Background Color:"), this);
    colour_radio_->setObjectName("RadioButton2");
    colour_ = new ColourField("Edit2", "ToolButton1", &colours_, this, QString());
    colour_->Edit()->setToolTip(tr("A colour such as #336699"));
    form->addRow(colour_radio_, colour_);
    auto* group = new QButtonGroup(this);
    group->addButton(picture_radio_);
    group->addButton(colour_radio_);
    // The page's background as it stands: the picture chosen when it has one
    // (it covers the colour), else the colour, so OK keeps what it has.
    const PageBackground background = BackgroundForEditing(workspace.page_text);
    picture_->Edit()->setText(QString::fromStdString(background.picture));
    colour_->Edit()->setText(QString::fromStdString(background.colour));
    if (!background.picture.empty()) {
        picture_radio_->setChecked(true);
    } else if (!background.colour.empty()) {
        colour_radio_->setChecked(true);
    }

    no_scrollers_ = new QCheckBox(tr("Disable Scrollers"), this);
    no_scrollers_->setObjectName("CheckBox1");
    no_scrollers_->setToolTip(tr("Hide the page's scroll bars"));
    // Ticked when the page hides them now, so OK keeps what it has.
    no_scrollers_->setChecked(PageHidesScrollBars(workspace.page_text));
    form->addRow(QString(), no_scrollers_);

    fit_small_screens_ = new QCheckBox(tr("Fit small screens"), this);
    fit_small_screens_->setObjectName("CheckBox2");
    fit_small_screens_->setToolTip(
        tr("On screens narrower than the page's areas, such as a phone's, show the areas one "
           "under the other, scale pictures down to fit and break over-long words; wider "
           "screens show the page as before"));
    fits_small_screens_ = PageFitsSmallScreens(workspace.page_text);
    fit_small_screens_->setChecked(fits_small_screens_);
    form->addRow(QString(), fit_small_screens_);

    hide_from_search_ = new QCheckBox(tr("Hide from search engines"), this);
    hide_from_search_->setObjectName("CheckHideFromSearch");
    hide_from_search_->setToolTip(tr("Search engines leave the page out, and so does the "
                                     "site's sitemap (a thank-you page, say)"));
    hide_from_search_->setChecked(PageHiddenFromSearch(workspace.page_text));
    form->addRow(QString(), hide_from_search_);

    QPushButton* ok = AddOkButton(tr("OK    "), "ToolButton2");
    ok->setToolTip(tr("Apply to the open page (Enter)"));
    connect(ok, &QPushButton::clicked, this, &TForma::ToolButton2Click);
    AddCancelButton(tr("Cancel    "), "ToolButton4", &TForma::ToolButton4Click);
}

void TForma::ToolButton2Click() {
    PageProperties properties;
    properties.heading = heading_->text().toStdString();
    properties.background =
        (picture_radio_->isChecked() ? picture_->Text() : colour_->Text()).toStdString();
    properties.disable_scrollers = no_scrollers_->isChecked();
    properties.description = description_->text().toStdString();
    properties.language = language_->text().trimmed().toStdString();
    properties.hide_from_search = hide_from_search_->isChecked();
    // Only a change of the box touches the page's head.
    if (fit_small_screens_->isChecked() != fits_small_screens_) {
        properties.fit_small_screens = fit_small_screens_->isChecked();
    }
    try {
        SetPageProperties(workspace_, properties);
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        return;
    }
    accept();
}

void TForma::ToolButton4Click() {
    reject();
}

} // namespace qf
