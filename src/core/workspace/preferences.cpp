#include "workspace/preferences.h"

#include "error.h"
#include "workspace/settings_values.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace qf {

namespace {

constexpr auto kLongestSideKey = "preferences/longestPictureSide";
constexpr auto kQualityKey = "preferences/pictureQuality";
constexpr auto kStripKey = "preferences/removeCameraData";
constexpr auto kFitNewPagesKey = "preferences/fitNewPages";

} // namespace

Preferences LoadPreferences(const QString& file) {
    Preferences preferences;
    const QSettings settings(file, QSettings::IniFormat);
    PictureImportOptions& pictures = preferences.pictures;
    pictures.longest_side =
        ReadNumber(settings, kLongestSideKey, 0, kLargestPictureWidthLimit, pictures.longest_side);
    pictures.quality = ReadNumber(settings, kQualityKey, kLowestPictureQuality,
                                  kHighestPictureQuality, pictures.quality);
    pictures.strip_metadata = ReadFlag(settings, kStripKey, pictures.strip_metadata);
    preferences.fit_new_pages = ReadFlag(settings, kFitNewPagesKey, preferences.fit_new_pages);
    return preferences;
}

void SavePreferences(const QString& file, const Preferences& preferences) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(kLongestSideKey, preferences.pictures.longest_side);
    settings.setValue(kQualityKey, preferences.pictures.quality);
    settings.setValue(kStripKey, preferences.pictures.strip_metadata);
    settings.setValue(kFitNewPagesKey, preferences.fit_new_pages);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw CommandError("Cannot create file \"" + file.toStdString() +
                           "\". The preferences could not be written");
    }
}

} // namespace qf
