#pragma once

#include "components/picture_import.h"

#include <QString>

namespace qf {

// What the user chose in Edit > Preferences, kept in the editor's settings
// file (DefaultSessionFile) beside its memory of the last run.
struct Preferences {
    // How every picture browse makes a picture fit for the web.
    PictureImportOptions pictures;
    // Whether a new page fits small screens (NewPageProperties).
    bool fit_new_pages = true;
};

// Reads the preferences from the settings file at `file`; what is missing,
// unreadable or out of bounds takes the defaults.
Preferences LoadPreferences(const QString& file);

// Writes the preferences to the settings file at `file`, keeping everything
// else in it. Throws CommandError naming the file when it cannot be written.
void SavePreferences(const QString& file, const Preferences& preferences);

} // namespace qf
