#pragma once

#include <QSettings>
#include <QString>

namespace qf {

// Values read back from the editor's settings file, where a hand-edited or
// damaged value must never count: each reader gives `fallback` then.

// true or false as QSettings writes them.
inline bool ReadFlag(const QSettings& settings, const char* key, bool fallback) {
    const QString flag = settings.value(key).toString();
    return flag == "false" ? false : flag == "true" ? true : fallback;
}

// A whole number from `low` to `high`.
inline int ReadNumber(const QSettings& settings, const char* key, int low, int high, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toString().toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

} // namespace qf
