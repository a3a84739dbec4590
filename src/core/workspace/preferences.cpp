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
    const QString strip = settings.value(kStripKey).toString();
    pictures.strip_metadata = strip == "false"  ? false
                              : strip == "true" ? true
                                                : pictures.strip_metadata;
    return preferences;
}

void SavePreferences(const QString& file, const Preferences& preferences) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(kLargestWidthKey, preferences.pictures.largest_width);
    settings.setValue(kQualityKey, preferences.pictures.quality);
    settings.setValue(kStripKey, preferences.pictures.strip_metadata);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw CommandError("Cannot create file \"" + file.toStdString() +
                           "\". The preferences could not be written");
    }
}

} // namespace qf
