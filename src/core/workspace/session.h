#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <string>
#include <vector>

namespace qf {

struct Workspace;

// The main window's title: "PAGE – PROJECT – Quenfort Website Developer",
// naming only what is open (the project by its folder's name).
QString WindowTitle(const Workspace& workspace);

// How many projects File > Recent Projects keeps.
inline constexpr std::size_t kRecentProjectsKept = 8;

// `recent` with `folder` first: its earlier entry is dropped and at most
// kRecentProjectsKept stay. An empty folder changes nothing.
std::vector<std::string> WithRecentProject(std::vector<std::string> recent,
                                           const std::string& folder);

// The widths the preview can lay a page out at, in CSS pixels: a phone's and
// a tablet's; 0 is the preview's whole width.
inline constexpr int kPhoneWidth = 390;
inline constexpr int kTabletWidth = 768;

// What the editor remembers between runs.
struct SessionMemory {
    std::vector<std::string> recent_projects; // newest first, each ending in "/"
    std::string last_project;                 // ending in "/"; empty for none
    std::string last_page;                    // a page name in the last project
    bool reopen_last = true;                  // reopen the last project and page at start
    bool show_areas = true;                   // outline the areas in the preview
    int preview_width = 0;                    // kPhoneWidth, kTabletWidth, or 0 for the whole width
    // The main window's size and place, and the sizes of its panes (the
    // preview over the panels, the panels side by side), as Qt saves them;
    // empty for the window's own defaults.
    QByteArray window_geometry;
    QByteArray pane_sizes;
    QByteArray panel_sizes;
};

// The settings file the editor keeps its memory in (in the user's
// configuration folder, so XDG_CONFIG_HOME moves it).
QString DefaultSessionFile();

// Reads the memory from the settings file at `file`; what is missing or
// unreadable takes the defaults above.
SessionMemory LoadSession(const QString& file);

// Writes the memory to the settings file at `file`. Throws CommandError
// naming the file when it cannot be written.
void SaveSession(const QString& file, const SessionMemory& memory);

} // namespace qf
