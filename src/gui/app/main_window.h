#pragma once

#include "app/command_line.h"
#include "workspace/preferences.h"
#include "workspace/session.h"
#include "workspace/workspace.h"

#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <string_view>
#include <vector>

class QAction;
class QBoxLayout;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QSplitter;
class QTabWidget;
class QToolButton;

namespace qf {

class ElidedLabel;
class PageWatcher;
class Preview;
class SiteCheckDock;
struct Finding;
enum class Guard;

// The editor's main window: the preview, the project's pages, the page's
// properties, the two selection lists, the tool bar, the component palette
// and the menus. It owns the one workspace of the run; every dialog it opens
// changes that workspace, and the window then shows the workspace again.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    Workspace& workspace() { return workspace_; }
    Preview* preview() const { return web1_; }

    // Shows everything from the workspace: the labels, both selection lists
    // (entries and texts), the palette's enabled state and the page list;
    // with `reload_preview` also the open page in the preview.
    void ShowWorkspace(bool reload_preview);

    // What the command line named, opened once the window has started: a
    // project folder, or a page with its folder as the project. A failure is
    // shown as an error; the window then starts as it would without it.
    void OpenAtStart(const EditorCommandLine& line) { start_ = line; }

    // Keeps what the editor remembers between runs (Recent Projects, the last
    // project and page, the preferences) in the settings file `file`, and
    // reads it now; call it before the window is first shown, so the last
    // project and page are reopened at start. Without it nothing is kept.
    void RememberSession(const QString& file);

public Q_SLOTS:
    // The start-up steps left for the window's first showing: a failure to
    // fill the application folder reported, an empty page list, what the
    // command line or the last run names opened. They run once. (The
    // application folder and the home page are taken while the window is
    // built, so the page loads while the window appears.)
    void FormActivate();

    void NewProjectClick();
    void NewPageClick();
    void OpenProjectClick();
    void OpenPageClick();
    void PrintClick();
    // File > Publish Project: the publish dialog for the open project.
    void PublishProjectClick();
    // File > Site Settings: the settings of the site as a whole.
    void SiteSettingsClick();
    void ExitClick();
    void DeletePageClick();
    void RenamePageClick();
    void ReplaceInSiteClick();
    void ShareComponentClick();
    void ShareAreaClick();
    void PlaceSharedPartClick();
    // Unshare, Use the Shared Part, Make This the Shared Part, on the
    // selected component.
    void SharedCopyCommand(int command);
    void BuildSharedPartsMenu(QMenu* menu);
    void InsertSiteMenuClick();
    // The site menu written anew after pages were added or deleted or the
    // settings changed; the pages it could not be written on are named.
    void FollowSiteMenu();
    void ViewSourceClick();
    void PagePropertiesClick();
    // Tools > Check Site: shows the site check's list and checks the project.
    void CheckSiteClick();
    void HelpContentsClick();
    void WebSiteClick();
    void AboutClick();
    // Edit > Preferences...: the user's preferences, kept with the session.
    void PreferencesClick();
    // Edit menu: take back or do again the open page's last step.
    void UndoClick();
    void RedoClick();
    // Edit menu, and the Modify and Delete buttons beside the selection lists.
    void Action1Execute(); // Modify Selected Area
    void Action2Execute(); // Delete Selected Area
    void Action3Execute(); // Modify Selected Component
    void Action4Execute(); // Delete Selected Component
    // The palette's commands that put content into an area besides components.
    void ToolButton22Click(); // Insert HTML code
    void ToolButton23Click(); // Insert a Platform
    void ToolButton36Click(); // Insert a Line Braker
    // The open page's file was touched: reloads a page another program
    // changed, closes one it deleted or renamed. Waits while a dialog is open.
    void CheckPageOnDisk();
    // A click on an entry of the page list.
    void FileListBox1Click(QListWidgetItem* item);

protected:
    void showEvent(QShowEvent* event) override;
    // Keeps the window's size and place and its panes' sizes for the next run.
    void closeEvent(QCloseEvent* event) override;
    // The selection lists' undo and redo keys go to the page's steps.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenusAndActions();
    void BuildToolBar(QBoxLayout* top);
    void BuildPalette(QBoxLayout* top);
    QWidget* BuildPageList();
    QWidget* BuildPropertiesPanel();
    QWidget* BuildSelectionPanel();

    QAction* MakeAction(const QString& object_name, const QString& text, const QString& icon,
                        const QKeySequence& shortcut, void (TForm1::*slot)());
    // A button for the command of `dialog_class`: clicking it runs `slot`, or
    // without one the guard and the dialog.
    QToolButton* MakeCommandButton(const QString& object_name, const QString& text,
                                   const QString& icon, const QString& tip,
                                   std::string_view dialog_class, Guard guard,
                                   void (TForm1::*slot)() = nullptr);

    // Runs a command's guard; false (after its message) when it refuses.
    bool PassesGuard(Guard guard);
    // The area guard: Select Area names an area of the open page.
    bool PassesAreaGuard();
    // Guard, then the dialog of `dialog_class` from the dialog table.
    void RunDialog(std::string_view dialog_class, Guard guard);
    // RunDialog with the guard the palette gives `dialog_class`.
    void RunPaletteCommand(std::string_view dialog_class);
    void RunCommand(const std::function<void()>& command);
    void ShowPageList();
    // Marks the open page's entry in the page list (none for a page elsewhere).
    void SelectOpenPageEntry();
    void UpdateCommandStates();
    // True when a page is open and the list's text is one of its entries.
    bool ShowsEntry(const SelectionList& list) const;
    void TakeListTexts();
    void OpenStartPath();

    // What the window remembers (main_window_session.cpp): the title, the
    // Recent Projects menu and the memory kept between runs.
    void BuildSessionMenus(QMenu* file, QMenu* tools);
    void ShowWhereabouts();
    void FillRecentMenu();
    void OpenRecentProject(const std::string& folder);
    // Opens a project folder and shows its pages; false when it failed (the
    // failure was shown).
    bool OpenProjectFolder(const std::string& folder);
    // After a project was made or opened: its page list, and the page of the
    // project before closed in every view.
    void ShowProjectChange();
    // The open page in the preview: its file, or its rendering when View >
    // As Published is on.
    void ShowOpenPage();
    // Opens a remembered project folder, or drops it with a note when it is gone.
    bool OpenRememberedProject(const std::string& folder);
    // Takes a project folder that is gone off the list, with a note.
    void DropMissingProject(const std::string& folder);
    void ReopenLastProject();
    void SaveMemory();
    void UpdateHistoryActions();
    void StepPageHistory(bool undo);
    OutsideChangeAnswer AskAboutOutsideChange(const std::string& page_name);

    // The preview one points at (main_window_preview.cpp): View > Show Areas,
    // links that stay in the editor, clicks that select, double-clicks that
    // open Modify.
    void BuildPreviewMenu(QMenu* view);
    // The preview under its own tool bar: Show Areas and the width the page
    // is laid out at (Phone 390, Tablet 768, Full width).
    QWidget* BuildPreviewPane(QWidget* parent);
    void ConnectPreview();
    void PreviewLinkClicked(const QUrl& url);
    void PreviewPointedAt(const QString& area, const QString& component);
    void PreviewDoubleClicked(const QString& area, const QString& component);
    // Asks "Open Page?" as the page list does, and opens the project page `name`.
    void AskToOpenPage(const QString& name);

    // A finding of the site check chosen in its list: its page opened (after
    // the page list's question) and its area or component selected; with
    // `modify` also that one's Modify command.
    void ShowFinding(const Finding& finding, bool modify);

    // Fixes the application folder and starts loading its home page into
    // the preview, without waiting for it.
    void LoadStartPage();

    Workspace workspace_;
    bool started_ = false;
    QString start_error_; // why the application folder could not be filled
    EditorCommandLine start_;
    SessionMemory memory_;
    QString session_file_;
    Preferences preferences_;
    QMenu* recent_menu_ = nullptr;
    QAction* reopen_last_ = nullptr;

    QSplitter* panes_ = nullptr;  // the preview over the panels
    QSplitter* panels_ = nullptr; // the page list, the page's properties, the lists
    Preview* web1_ = nullptr;
    QListWidget* file_list_box1_ = nullptr;
    QLabel* project_pages_label_ = nullptr;
    QLabel* lbl_name_ = nullptr;
    ElidedLabel* lbl_head_ = nullptr;
    QLabel* lbl_size_ = nullptr;
    QComboBox* com1_ = nullptr;
    QComboBox* com2_ = nullptr;
    QTabWidget* page_control1_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    PageWatcher* page_watcher_ = nullptr;
    SiteCheckDock* site_check_ = nullptr; // made by the first Check Site

    // Commands that lead to a dialog of the table, enabled once it has one.
    struct TableCommand {
        std::function<void(bool)> enable;
        std::string_view dialog_class;
        bool needs_page = false; // disabled while no page is open
    };
    std::vector<TableCommand> table_commands_;
};

} // namespace qf
