#include "app/preferences_dialog.h"

#include "widgets/simple_fields.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qf {

PreferencesDialog::PreferencesDialog(const Preferences& preferences, const QString& settings_file,
                                     QWidget* parent)
    : ToolDialog(tr("Preferences"), tr("Preferences"), parent), preferences_(preferences),
      settings_file_(settings_file) {
    setObjectName("PreferencesDialog");

    // What every picture browse does to a picture it copies into a project.
    auto* pictures = new QGroupBox(tr("Pictures put into a project"), this);
    pictures->setObjectName("PicturesGroup");
    QFormLayout* form = MakeForm(pictures);
    const PictureImportOptions& options = preferences.pictures;
    longest_side_ = MakeSpinField("LongestPictureSide", pictures, options.longest_side, 0,
                                  kLargestPictureWidthLimit);
    longest_side_->setSpecialValueText(tr("No limit"));
    longest_side_->setSuffix(tr(" px"));
    longest_side_->setToolTip(
        tr("A picture longer than this on its long side is scaled down to it, its proportions "
           "kept (0: no limit; no page shows more than a large screen's width)"));
    form->addRow(tr("Longest side of a picture:"), longest_side_);
    quality_ = MakeSpinField("PictureQuality", pictures, options.quality, kLowestPictureQuality,
                             kHighestPictureQuality);
    quality_->setToolTip(tr("The quality of JPEG and WebP pictures encoded again, 1 to 100; "
                            "lower gives smaller files"));
    form->addRow(tr("Picture quality:"), quality_);
    strip_metadata_ = new QCheckBox(tr("Remove camera and position data"), pictures);
    strip_metadata_->setObjectName("RemoveCameraData");
    strip_metadata_->setChecked(options.strip_metadata);
    strip_metadata_->setToolTip(
        tr("Leave the camera, the place a photo was taken and the like (EXIF, XMP) behind, "
           "since the pictures go on the web"));
    form->addRow(strip_metadata_);
    Body()->addWidget(pictures);

    auto* pages = new QGroupBox(tr("New pages"), this);
    pages->setObjectName("NewPagesGroup");
    auto* pages_layout = new QVBoxLayout(pages);
    fit_new_pages_ = new QCheckBox(tr("Fit new pages to small screens"), pages);
    fit_new_pages_->setObjectName("FitNewPages");
    fit_new_pages_->setChecked(preferences.fit_new_pages);
    fit_new_pages_->setToolTip(
        tr("Make every new page readable on phones: its areas one under the other and its "
           "pictures scaled down on narrow screens (Page Properties turns it on and off for "
           "each page)"));
    pages_layout->addWidget(fit_new_pages_);
    Body()->addWidget(pages);

    QPushButton* ok = AddButton(tr("OK"), "OkButton");
    ok->setDefault(true);
    ok->setToolTip(tr("Keep these preferences (Enter)"));
    connect(ok, &QPushButton::clicked, this, &PreferencesDialog::OkClick);
    QPushButton* cancel = AddButton(tr("Cancel"), "CancelButton");
    cancel->setToolTip(tr("Close without change (Esc)"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool PreferencesDialog::Edit(Preferences& preferences, const QString& settings_file,
                             QWidget* parent) {
    PreferencesDialog dialog(preferences, settings_file, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    preferences = dialog.Chosen();
    return true;
}

Preferences PreferencesDialog::Chosen() const {
    Preferences chosen = preferences_;
    chosen.pictures.longest_side = SpinValue(longest_side_);
    chosen.pictures.quality = SpinValue(quality_);
    chosen.pictures.strip_metadata = strip_metadata_->isChecked();
    chosen.fit_new_pages = fit_new_pages_->isChecked();
    return chosen;
}

void PreferencesDialog::OkClick() {
    AcceptAfter([this] {
        const Preferences chosen = Chosen();
        CheckPictureImportOptions(chosen.pictures);
        if (!settings_file_.isEmpty()) {
            SavePreferences(settings_file_, chosen);
        }
    });
}

} // namespace qf
