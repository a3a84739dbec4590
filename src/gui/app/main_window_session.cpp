// The main window's memory of where the user is: the title naming the open
// page and project, File > Recent Projects, and the last project and page
#include "services/utf8_text.h"
// reopened at start.

#include "app/main_window.h"

#include "error.h"
#include "services/preview.h"
#include "services/prompts.h"
#include "widgets/picture_field.h"
#include "workspace/layout_chooser.h"
#include "workspace/page_commands.h"
#include "workspace/project.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>
#include <QSplitter>

#include <algorithm>

namespace qf {

namespace {

// The open page when it lies in the project folder (so it can be reopened
// by name); empty otherwise.
std::string PageInProject(const Workspace& workspace) {
    if (!workspace.HasOpenPage() ||
        QFileInfo(Q(workspace.page_path)).absolutePath() + "/" != Q(workspace.project_folder)) {
        return {};
    }
    return workspace.page_name;
}

} // namespace

void TForm1::BuildSessionMenus(QMenu* file, QMenu* tools) {
    // Between Open Project Page and Print...
    recent_menu_ = new QMenu(tr("Recent Projects"), this);
    recent_menu_->setObjectName("RecentProjects");
    file->insertMenu(findChild<QAction*>("Print"), recent_menu_);
    recent_menu_->setToolTipsVisible(true);
    FillRecentMenu();

    tools->addSeparator();
    reopen_last_ = tools->addAction(tr("Reopen Last Project at Start"));
    reopen_last_->setObjectName("ReopenLastProject");
    reopen_last_->setCheckable(true);
    reopen_last_->setChecked(memory_.reopen_last);
    reopen_last_->setToolTip(tr("Open the last project and page again when the editor starts"));
    connect(reopen_last_, &QAction::toggled, this, [this](bool on) {
        memory_.reopen_last = on;
        SaveMemory();
    });
}

void TForm1::RememberSession(const QString& file) {
    session_file_ = file;
    memory_ = LoadSession(file);
    preferences_ = LoadPreferences(file);
    SetPictureImportOptions(preferences_.pictures);
    TFormmen2::SetFitNewPages(preferences_.fit_new_pages);
    reopen_last_->setChecked(memory_.reopen_last);
    if (QAction* show_areas = findChild<QAction*>("ShowAreas")) {
        show_areas->setChecked(memory_.show_areas);
    }
    for (const char* name : {"PreviewPhone", "PreviewTablet", "PreviewFull"}) {
        if (QAction* width = findChild<QAction*>(name);
            width != nullptr && width->data().toInt() == memory_.preview_width) {
            width->setChecked(true);
        }
    }
    web1_->SetLayoutWidth(memory_.preview_width);
    FillRecentMenu();
    // The size and place the window had at the end of the last run; one that
    // fits no screen now is put back on one by Qt.
    if (!memory_.window_geometry.isEmpty()) {
        restoreGeometry(memory_.window_geometry);
    } else if (const QScreen* screen = this->screen()) {
        // The first run: most of the screen, so the preview shows a page, not
        // a strip of it.
        const QRect available = screen->availableGeometry();
        const QSize size(std::max(width(), available.width() * 85 / 100),
                         std::max(height(), available.height() * 85 / 100));
        resize(size.boundedTo(available.size()));
        move(available.center() - rect().center());
    }
    if (!memory_.pane_sizes.isEmpty()) {
        panes_->restoreState(memory_.pane_sizes);
    }
    if (!memory_.panel_sizes.isEmpty()) {
        panels_->restoreState(memory_.panel_sizes);
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    memory_.window_geometry = saveGeometry();
    memory_.pane_sizes = panes_->saveState();
    memory_.panel_sizes = panels_->saveState();
    SaveMemory();
    QMainWindow::closeEvent(event);
}

void TForm1::SaveMemory() {
    if (session_file_.isEmpty()) {
        return;
    }
    RunCommand([&] { SaveSession(session_file_, memory_); });
}

void TForm1::ShowWhereabouts() {
    setWindowTitle(WindowTitle(workspace_));
    if (!workspace_.HasProject()) {
        return; // the memory keeps the last project until another is opened
    }
    const std::vector<std::string> recent =
        WithRecentProject(memory_.recent_projects, workspace_.project_folder);
    const std::string page = PageInProject(workspace_);
    if (recent == memory_.recent_projects && memory_.last_project == workspace_.project_folder &&
        memory_.last_page == page) {
        return;
    }
    const bool list_changed = recent != memory_.recent_projects;
    memory_.recent_projects = recent;
    memory_.last_project = workspace_.project_folder;
    memory_.last_page = page;
    if (list_changed) {
        FillRecentMenu();
    }
    SaveMemory();
}

void TForm1::FillRecentMenu() {
    recent_menu_->clear();
    int number = 0;
    for (const std::string& folder : memory_.recent_projects) {
        QString shown = Q(folder);
        if (shown.size() > 1 && shown.endsWith('/')) {
            shown.chop(1);
        }
        shown.replace("&", "&&");
        ++number;
        QAction* action = recent_menu_->addAction(QString("&%1  %2").arg(number).arg(shown));
        action->setObjectName(QString("RecentProject%1").arg(number));
        action->setToolTip(tr("Open the project %1").arg(Q(folder)));
        connect(action, &QAction::triggered, this, [this, folder] { OpenRecentProject(folder); });
    }
    recent_menu_->addSeparator();
    QAction* clear = recent_menu_->addAction(tr("Clear Recent Projects"));
    clear->setObjectName("ClearRecentProjects");
    connect(clear, &QAction::triggered, this, [this] {
        memory_.recent_projects.clear();
        FillRecentMenu();
        SaveMemory();
    });
    recent_menu_->setEnabled(number > 0);
}

void TForm1::DropMissingProject(const std::string& folder) {
    auto& recent = memory_.recent_projects;
    recent.erase(std::remove(recent.begin(), recent.end(), folder), recent.end());
    if (memory_.last_project == folder) {
        memory_.last_project.clear();
        memory_.last_page.clear();
    }
    FillRecentMenu();
    SaveMemory();
    AppPrompts().Inform(
        this, tr("The project folder \"%1\" is no longer there; it was taken off Recent Projects.")
                  .arg(Q(folder)));
}

bool TForm1::OpenRememberedProject(const std::string& folder) {
    if (!QFileInfo(Q(folder)).isDir()) {
        DropMissingProject(folder);
        return false;
    }
    return OpenProjectFolder(folder);
}

void TForm1::OpenRecentProject(const std::string& folder) {
    OpenRememberedProject(folder);
}

void TForm1::ReopenLastProject() {
    if (!memory_.reopen_last || memory_.last_project.empty()) {
        return;
    }
    const std::string folder = memory_.last_project;
    const std::string page = memory_.last_page;
    if (!OpenRememberedProject(folder)) {
        return;
    }
    // A page deleted since is simply not reopened; the project's list shows what is there.
    if (!page.empty() && QFileInfo(Q(workspace_.project_folder + page)).isFile()) {
        RunCommand([&] {
            OpenProjectPage(workspace_, page);
            ShowWorkspace(true);
        });
    }
}

} // namespace qf
