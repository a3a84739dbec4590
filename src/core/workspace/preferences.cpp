#include "workspace/preferences.h"

#include "error.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace qf {

namespace {

constexpr auto kLargestWidthKey = "preferences/largestPictureWidth";
constexpr auto kQualityKey = "preferences/pictureQuality";
constexpr auto kStripKey = "preferences/removeCameraData";
constexpr auto kFitNewPagesKey = "preferences/fitNewPages";

// true or false as QSettings writes them; anything else gives `fallback`.
bool ReadFlag(const QSettings& settings, const char* key, bool fallback) {
    const QString flag = settings.value(key).toString();
    return flag == "false" ? false : flag == "true" ? true : fallback;
}

// A whole number from `low` to `high`; anything else gives `fallback`.
int ReadNumber(const QSettings& settings, const char* key, int low, int high, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toString().toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

} // namespace

Preferences LoadPreferences(const QString& file) {
    Preferences preferences;
    const QSettings settings(file, QSettings::IniFormat);
    PictureImportOptions& pictures = preferences.pictures;
    pictures.largest_width = ReadNumber(settings, kLargestWidthKey, 0, kLargestPictureWidthLimit,
                                        pictures.largest_width);
    pictures.quality = ReadNumber(settings, kQualityKey, kLowestPictureQuality,
                                  kHighestPictureQuality, pictures.quality);
    pictures.strip_metadata = ReadFlag(settings, kStripKey, pictures.strip_metadata);
    preferences.fit_new_pages = ReadFlag(settings, kFitNewPagesKey, preferences.fit_new_pages);
    return preferences;
}

void SavePreferences(const QString& file, const Preferences& preferences) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(kLargestWidthKey, preferences.pictures.largest_width);
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
