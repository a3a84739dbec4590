#include "workspace/session.h"

#include "error.h"
#include "workspace/app_folder.h"
#include "workspace/settings_values.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace qf {

namespace {

constexpr auto kRecentKey = "recentProjects";
constexpr auto kLastProjectKey = "lastProject";
constexpr auto kLastPageKey = "lastPage";
constexpr auto kReopenKey = "reopenLastProject";
constexpr auto kShowAreasKey = "showAreas";
constexpr auto kPreviewWidthKey = "previewWidth";
constexpr auto kWindowKey = "window/geometry";
constexpr auto kPanesKey = "window/panes";
constexpr auto kPanelsKey = "window/panels";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

QString WindowTitle(const Workspace& workspace) {
    QStringList parts;
    if (workspace.HasOpenPage()) {
        parts << Q(workspace.page_name);
    }
    if (workspace.HasProject()) {
        QString folder = Q(workspace.project_folder);
        while (folder.size() > 1 && folder.endsWith('/')) {
            folder.chop(1);
        }
        const QString name = folder.mid(folder.lastIndexOf('/') + 1);
        parts << (name.isEmpty() ? folder : name);
    }
    parts << QStringLiteral("Quenfort Website Developer");
    return parts.join(QStringLiteral(" \u2013 "));
}

std::vector<std::string> WithRecentProject(std::vector<std::string> recent,
                                           const std::string& folder) {
    if (folder.empty()) {
        return recent;
    }
    recent.erase(std::remove(recent.begin(), recent.end(), folder), recent.end());
    recent.insert(recent.begin(), folder);
    if (recent.size() > kRecentProjectsKept) {
        recent.resize(kRecentProjectsKept);
    }
    return recent;
}

QString DefaultSessionFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/" +
           kApplicationName + "/" + kApplicationName + ".conf";
}

SessionMemory LoadSession(const QString& file) {
    SessionMemory memory;
    const QSettings settings(file, QSettings::IniFormat);
    // Stored newest first; a hand-edited file may repeat one or hold too many.
    for (const QString& folder : settings.value(kRecentKey).toStringList()) {
        const std::string entry = folder.toStdString();
        if (!entry.empty() && memory.recent_projects.size() < kRecentProjectsKept &&
            std::find(memory.recent_projects.begin(), memory.recent_projects.end(), entry) ==
                memory.recent_projects.end()) {
            memory.recent_projects.push_back(entry);
        }
    }
    memory.last_project = settings.value(kLastProjectKey).toString().toStdString();
    memory.last_page = settings.value(kLastPageKey).toString().toStdString();
    memory.reopen_last = ReadFlag(settings, kReopenKey, true);
    memory.show_areas = ReadFlag(settings, kShowAreasKey, true);
    // Only a width the preview offers; anything else is the whole width.
    const int width = settings.value(kPreviewWidthKey).toInt();
    memory.preview_width = width == kPhoneWidth || width == kTabletWidth ? width : 0;
    memory.window_geometry = settings.value(kWindowKey).toByteArray();
    memory.pane_sizes = settings.value(kPanesKey).toByteArray();
    memory.panel_sizes = settings.value(kPanelsKey).toByteArray();
    return memory;
}

void SaveSession(const QString& file, const SessionMemory& memory) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    QStringList recent;
    for (const std::string& folder : memory.recent_projects) {
        recent << Q(folder);
    }
    settings.setValue(kRecentKey, recent);
    settings.setValue(kLastProjectKey, Q(memory.last_project));
    settings.setValue(kLastPageKey, Q(memory.last_page));
    settings.setValue(kReopenKey, memory.reopen_last);
    settings.setValue(kShowAreasKey, memory.show_areas);
    settings.setValue(kPreviewWidthKey, memory.preview_width);
    for (const auto& [key, value] :
         {std::pair{kWindowKey, &memory.window_geometry}, std::pair{kPanesKey, &memory.pane_sizes},
          std::pair{kPanelsKey, &memory.panel_sizes}}) {
        if (value->isEmpty()) {
            settings.remove(key);
        } else {
            settings.setValue(key, *value);
        }
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw CommandError("Cannot create file \"" + file.toStdString() +
                           "\". The settings could not be written");
    }
}

} // namespace qf
