#pragma once

#include <string>

namespace qf {

// The application name every front end sets, so that the editor and the
// command line share one application folder.
inline constexpr const char* kApplicationName = "quenfort";

// The per-user application folder (the application's data location, so
// XDG_DATA_HOME moves it), ending in "/". Needs the QCoreApplication to exist.
std::string DefaultAppFolder();

// Creates `folder` with its bin, lays, custom and temp subfolders and copies
// into it every shipped file it lacks. A file already there, made or changed
// by the user, is never overwritten. Throws CommandError on a file error.
void FillAppFolder(const std::string& folder);

// DefaultAppFolder(), filled.
std::string PrepareAppFolder();

} // namespace qf
