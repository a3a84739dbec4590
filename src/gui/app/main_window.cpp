#include "app/main_window.h"

#include "app/dialog_table.h"
#include "app/page_watcher.h"
#include "app/palette_table.h"
#include "app/preferences_dialog.h"
#include "app/publish_dialog.h"
#include "app/site_check_dock.h"
#include "components/rollover.h"
#include "error.h"
#include "publish/secret_store.h"
#include "services/icons.h"
#include "services/preview.h"
#include "services/prompts.h"
#include "services/utf8_text.h"
#include "site/page_rename.h"
#include "site/shared_parts.h"
#include "site/site_menu.h"
#include "widgets/elided_label.h"
#include "widgets/picture_field.h"
#include "workspace/app_folder.h"
#include "workspace/layout_chooser.h"
#include "workspace/page_commands.h"
#include "workspace/project.h"
#include "workspace/project_dialog.h"
#include "workspace/rename_page_dialog.h"
#include "workspace/replace_dialog.h"
#include "workspace/shared_part_dialogs.h"
#include "workspace/site_settings_dialog.h"
#include "workspace/source_text.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qf {

namespace {

const QString kMainCaption = QStringLiteral("Quenfort Website Developer");
const QString kWebSiteHint =
    QStringLiteral("VORNEX Online (%1)").arg(QString::fromUtf8(kMakerWebSite.data()));

// The dialog classes of the commands outside the palette.
constexpr std::string_view kNewPageDialog = "TFormmen5";
constexpr std::string_view kPagePropertiesDialog = "TForma";
constexpr std::string_view kViewSourceDialog = "TFormt";
constexpr std::string_view kAboutDialog = "TForm90";
constexpr std::string_view kModifyAreaDialog = "TFormModify5";
constexpr std::string_view kDeleteArea = "Action2Execute";
constexpr std::string_view kModifyComponentDialog = "TFormCom";
constexpr std::string_view kDeleteComponent = "Action4Execute";
constexpr std::string_view kHtmlCodeDialog = "TFormCom2";
constexpr std::string_view kPlatformDialog = "TFormAdj";
constexpr std::string_view kLineBreak = "ToolButton36Click";
constexpr std::string_view kRolloverDialog = "TFormd";
constexpr std::string_view kPhpDialog = "TFormja";
constexpr std::string_view kPhpPage = "bin/php.html";

QLabel* BoldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("TForm1");
    setWindowTitle(kMainCaption);
    setWindowIcon(ProductIcon());

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(4, 2, 4, 4);
    outer->setSpacing(4);

    BuildMenusAndActions();
    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    BuildToolBar(top);
    auto* divider = new QFrame(central);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    top->addWidget(divider);
    BuildPalette(top);
    outer->addLayout(top);

    // The preview over the panels, the panels side by side: both splits can
    // be dragged, and the window keeps them between runs.
    panes_ = new QSplitter(Qt::Vertical, central);
    panes_->setObjectName("PaneSplitter");
    panes_->setChildrenCollapsible(false);
    panes_->addWidget(BuildPreviewPane(panes_));
    panels_ = new QSplitter(Qt::Horizontal, panes_);
    panels_->setObjectName("PanelSplitter");
    panels_->setChildrenCollapsible(false);
    panels_->addWidget(BuildPageList());
    panels_->addWidget(BuildPropertiesPanel());
    panels_->addWidget(BuildSelectionPanel());
    panels_->setSizes({233, 265, 297});
    panes_->addWidget(panels_);
    panes_->setStretchFactor(0, 1);
    panes_->setStretchFactor(1, 0);
    outer->addWidget(panes_, 1);
    ConnectPreview();

    setCentralWidget(central);
    setMinimumSize(720, 480);
    resize(803, 572);
    panes_->setSizes({329, 139});
    statusBar()->setObjectName("StatusBar1");
    page_watcher_ = new PageWatcher(this);
    connect(page_watcher_, &PageWatcher::Touched, this, &TForm1::CheckPageOnDisk);
    workspace_.ask_outside_change = [this](const std::string& page_name) {
        return AskAboutOutsideChange(page_name);
    };
    // The size follows the file at every write and read, whoever made it
    // (a dialog still open, a reload, undo and redo).
    workspace_.page_file_changed = [this] {
        lbl_size_->setText(Q(SizeText(workspace_.page_file_size)));
    };
    ShowWorkspace(false);
    // Before the window is first shown, so the start page loads while it appears.
    LoadStartPage();
}

void TForm1::LoadStartPage() {
    try {
        workspace_.app_folder = PrepareAppFolder();
    } catch (const CommandError& error) {
        workspace_.app_folder = DefaultAppFolder();
        start_error_ = Q(error.what()); // shown once the window is there
    }
    web1_->ShowFile(Q(AppFile(workspace_, kHomePage)));
}

TForm1::~TForm1() = default;

QAction* TForm1::MakeAction(const QString& object_name, const QString& text, const QString& icon,
                            const QKeySequence& shortcut, void (TForm1::*slot)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(object_name);
    if (!icon.isEmpty()) {
        action->setIcon(ToolIcon(icon));
    }
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
    }
    if (slot != nullptr) {
        connect(action, &QAction::triggered, this, slot);
    }
    return action;
}

void TForm1::BuildMenusAndActions() {
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction(MakeAction("NewProject", "New Project", "new-project",
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
                               &TForm1::NewProjectClick));
    QAction* new_page =
        MakeAction("NewPage", "New Page", "new-page", QKeySequence::New, &TForm1::NewPageClick);
    file->addAction(new_page);
    table_commands_.push_back({[new_page](bool on) { new_page->setEnabled(on); }, kNewPageDialog});
    file->addAction(MakeAction("OpenProject", "Open Project", "open-project",
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
                               &TForm1::OpenProjectClick));
    file->addAction(MakeAction("OpenProjectPage", "Open Project Page", "open-page",
                               QKeySequence::Open, &TForm1::OpenPageClick));
    file->addAction(
        MakeAction("Print", "Print...", "print", QKeySequence::Print, &TForm1::PrintClick));
    file->addAction(
        MakeAction("Exit", "Exit", "exit", QKeySequence(Qt::CTRL | Qt::Key_Q), &TForm1::ExitClick));

    QMenu* edit = menuBar()->addMenu("&Edit");
    undo_ = MakeAction("Undo", "Undo", "undo", QKeySequence::Undo, &TForm1::UndoClick);
    redo_ = MakeAction("Redo", "Redo", "redo", QKeySequence(), &TForm1::RedoClick);
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(undo_);
    edit->addAction(redo_);
    edit->addSeparator();
    edit->addAction(MakeAction("DeleteProjectPage", "Delete Project Page", "delete-page",
                               QKeySequence(Qt::CTRL | Qt::Key_Delete), &TForm1::DeletePageClick));
    struct EditCommand {
        const char* name;
        const char* text;
        const char* icon;
        QKeySequence shortcut;
        std::string_view dialog_class;
        void (TForm1::*slot)();
    };
    const EditCommand edit_commands[] = {
        {"DeleteSelectedArea", "Delete Selected Area", "delete", QKeySequence(Qt::CTRL | Qt::Key_D),
         kDeleteArea, &TForm1::Action2Execute},
        {"DeleteSelectedComponent", "Delete Selected Component", "delete",
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), kDeleteComponent, &TForm1::Action4Execute},
        {"ModifySelectedArea", "Modify Selected Area", "modify", QKeySequence(Qt::CTRL | Qt::Key_M),
         kModifyAreaDialog, &TForm1::Action1Execute},
        {"ModifySelectedComponent", "Modify Selected Component", "modify",
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), kModifyComponentDialog,
         &TForm1::Action3Execute},
    };
    for (const EditCommand& command : edit_commands) {
        QAction* action =
            MakeAction(command.name, command.text, command.icon, command.shortcut, command.slot);
        const std::string_view dialog_class = command.dialog_class;
        table_commands_.push_back({[action](bool on) { action->setEnabled(on); }, dialog_class});
        edit->addAction(action);
    }
    edit->addSeparator();
    QAction* rename_page = MakeAction("RenameProjectPage", "Rename Project Page...", "",
                                      QKeySequence(Qt::Key_F2), &TForm1::RenamePageClick);
    rename_page->setToolTip("Rename the open page; every link to it follows (F2)");
    edit->addAction(rename_page);
    table_commands_.push_back(
        {[rename_page](bool on) { rename_page->setEnabled(on); }, kPagePropertiesDialog, true});
    QAction* replace =
        MakeAction("FindReplaceInSite", "Find and Replace in Site...", "",
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H), &TForm1::ReplaceInSiteClick);
    replace->setToolTip("Find a text visitors read on every page and replace it (Ctrl+Shift+H)");
    edit->addAction(replace);
    BuildSharedPartsMenu(edit->addMenu("Shared &Parts"));
    edit->addAction(MakeAction("Preferences", "Preferences...", "", QKeySequence::Preferences,
                               &TForm1::PreferencesClick));

    QMenu* view = menuBar()->addMenu("&View");
    view->addAction(MakeAction("ViewSource", "View Source", "view-source",
                               QKeySequence(Qt::CTRL | Qt::Key_U), &TForm1::ViewSourceClick));
    BuildPreviewMenu(view);

    QMenu* tools = menuBar()->addMenu("&Tools");
    QAction* properties =
        MakeAction("PageProperties", "Page Properties", "page-properties",
                   QKeySequence(Qt::ALT | Qt::Key_Return), &TForm1::PagePropertiesClick);
    tools->addAction(properties);
    table_commands_.push_back(
        {[properties](bool on) { properties->setEnabled(on); }, kPagePropertiesDialog});
    tools->addAction(MakeAction("CheckSite", "Check Site", "",
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K),
                                &TForm1::CheckSiteClick));

    BuildSessionMenus(file, tools);
    // After Recent Projects, before Print...
    file->insertAction(findChild<QAction*>("Print"),
                       MakeAction("PublishProject", "Publish Project...", "",
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
                                  &TForm1::PublishProjectClick));
    QAction* site_settings = MakeAction("SiteSettings", "Site Settings...", "", QKeySequence(),
                                        &TForm1::SiteSettingsClick);
    site_settings->setToolTip(
        "The site's name, address, language and icon, and whether search engines may index it");
    file->insertAction(findChild<QAction*>("Print"), site_settings);

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(MakeAction("HelpContents", "Help Contents", "help", QKeySequence::HelpContents,
                               &TForm1::HelpContentsClick));
    QAction* web_site = MakeAction("VornexOnline", "VORNEX Online", "web-site",
                                   QKeySequence(Qt::SHIFT | Qt::Key_F1), &TForm1::WebSiteClick);
    web_site->setToolTip(kWebSiteHint);
    help->addAction(web_site);
    help->addAction(MakeAction("About", "About...", "about", QKeySequence(), &TForm1::AboutClick));
}

void TForm1::BuildToolBar(QBoxLayout* top) {
    auto* bar = new QToolBar(this);
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto add = [&](const char* action_name, const QString& hint) {
        QAction* action = findChild<QAction*>(action_name);
        action->setToolTip(hint);
        bar->addAction(action);
        bar->widgetForAction(action)->setObjectName(QString("ToolButton_") + action_name);
    };
    add("NewProject", "Create a New Project");
    add("NewPage", "Create a New Project Page");
    add("OpenProject", "Open a Project");
    add("OpenProjectPage", "Open a Page");
    bar->addSeparator();
    add("Exit", "Exit");
    add("DeleteProjectPage", "Delete Project Page");
    add("VornexOnline", kWebSiteHint);
    bar->addSeparator();
    add("Undo", "Undo");
    add("Redo", "Redo");
    bar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    top->addWidget(bar, 0, Qt::AlignBottom);
}

void TForm1::BuildPalette(QBoxLayout* top) {
    page_control1_ = new QTabWidget(this);
    page_control1_->setObjectName("PageControl1");
    page_control1_->setDocumentMode(true);
    page_control1_->setUsesScrollButtons(true);
    for (const std::string_view tab : PaletteTabs()) {
        auto* page = new QWidget(page_control1_);
        page->setObjectName("TabSheet" + Q(tab));
        auto* row = new QHBoxLayout(page);
        row->setContentsMargins(2, 2, 2, 2);
        row->setSpacing(1);
        for (const PaletteButton& button : PaletteButtons()) {
            if (button.tab != tab) {
                continue;
            }
            // The frame button has no hint of its own; its dialog's caption serves.
            const QString tip = button.hint.empty() ? QString("Insert Frame") : Q(button.hint);
            // The commands that are not a component kind's have handlers of their own.
            void (TForm1::*slot)() = nullptr;
            if (button.dialog_class == kHtmlCodeDialog) {
                slot = &TForm1::ToolButton22Click;
            } else if (button.dialog_class == kPlatformDialog) {
                slot = &TForm1::ToolButton23Click;
            } else if (button.dialog_class == kLineBreak) {
                slot = &TForm1::ToolButton36Click;
            }
            QToolButton* tool =
                MakeCommandButton("Palette" + Q(button.dialog_class), QString(), Q(button.icon),
                                  tip, button.dialog_class, button.guard, slot);
            tool->setParent(page);
            row->addWidget(tool);
        }
        row->addStretch(1);
        page_control1_->addTab(page, Q(tab));
    }
    page_control1_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    top->addWidget(page_control1_, 1);
}

QToolButton* TForm1::MakeCommandButton(const QString& object_name, const QString& text,
                                       const QString& icon, const QString& tip,
                                       std::string_view dialog_class, Guard guard,
                                       void (TForm1::*slot)()) {
    auto* button = new QToolButton(this);
    button->setObjectName(object_name);
    button->setIcon(ToolIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setToolTip(tip);
    if (!text.isEmpty()) {
        button->setText(text);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(false);
    }
    if (slot != nullptr) {
        connect(button, &QToolButton::clicked, this, slot);
    } else {
        connect(button, &QToolButton::clicked, this,
                [this, dialog_class, guard] { RunDialog(dialog_class, guard); });
    }
    // The palette as a whole is disabled while no page is open.
    table_commands_.push_back({[button](bool on) { button->setEnabled(on); }, dialog_class});
    return button;
}

QWidget* TForm1::BuildPageList() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    project_pages_label_ = new QLabel("Project Pages:", panel);
    project_pages_label_->setObjectName("Label1");
    project_pages_label_->setStyleSheet("color: #808080; font-weight: bold;");
    layout->addWidget(project_pages_label_);
    file_list_box1_ = new QListWidget(panel);
    file_list_box1_->setObjectName("FileListBox1");
    file_list_box1_->setToolTip("Click a page to open it");
    file_list_box1_->setMinimumHeight(100);
    layout->addWidget(file_list_box1_, 1);
    project_pages_label_->setBuddy(file_list_box1_);
    connect(file_list_box1_, &QListWidget::itemClicked, this, &TForm1::FileListBox1Click);
    // The keyboard's way to the same question.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* open =
            new QShortcut(QKeySequence(key), file_list_box1_, nullptr, nullptr, Qt::WidgetShortcut);
        connect(open, &QShortcut::activated, this, [this] {
            if (QListWidgetItem* item = file_list_box1_->currentItem()) {
                FileListBox1Click(item);
            }
        });
    }
    panel->setMinimumHeight(139);
    return panel;
}

QWidget* TForm1::BuildPropertiesPanel() {
    auto* panel = new QGroupBox("Page Properties:", this);
    panel->setObjectName("PropertiesPanel");
    auto* form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    form->setVerticalSpacing(4);
    lbl_name_ = BoldLabel(QString(), panel);
    lbl_name_->setObjectName("lblName");
    lbl_head_ = new ElidedLabel(panel);
    lbl_head_->setFont(lbl_name_->font());
    lbl_head_->setObjectName("lblHead");
    lbl_size_ = BoldLabel(QString(), panel);
    lbl_size_->setObjectName("lblSize");
    lbl_name_->setTextFormat(Qt::PlainText);
    lbl_name_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    form->addRow("Name:", lbl_name_);
    form->addRow("Header:", lbl_head_);
    form->addRow("Size:", lbl_size_);
    auto* view_source =
        new QPushButton(ToolIcon("view-source"), "  View Page Source       ", panel);
    view_source->setObjectName("ViewPageSource");
    view_source->setToolTip("View the source of the open page (Ctrl+U)");
    connect(view_source, &QPushButton::clicked, this, &TForm1::ViewSourceClick);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addWidget(view_source, 0, Qt::AlignLeft);
    panel->setMinimumHeight(139);
    return panel;
}

QWidget* TForm1::BuildSelectionPanel() {
    auto* panel = new QGroupBox(this);
    panel->setObjectName("SelectionPanel");
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(3);
    using Slot = void (TForm1::*)();
    auto add_list = [&](const QString& caption, const char* name, const QString& tip,
                        std::string_view modify_class, Slot modify_slot,
                        std::string_view delete_class, Slot delete_slot, const char* which) {
        layout->addWidget(new QLabel(caption, panel));
        auto* row = new QHBoxLayout;
        auto* combo = new QComboBox(panel);
        combo->setObjectName(name);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setToolTip(tip);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(14);
        // A plain list of texts: a page may list thousands of entries.
        combo->setModel(new QStringListModel(combo));
        row->addWidget(combo, 1);
        QToolButton* modify =
            MakeCommandButton(QString("Modify") + which, "Modify    ", "modify",
                              QString("Modify the selected %1").arg(QString(which).toLower()),
                              modify_class, Guard::Page, modify_slot);
        QToolButton* remove =
            MakeCommandButton(QString("Delete") + which, "Delete     ", "delete",
                              QString("Delete the selected %1").arg(QString(which).toLower()),
                              delete_class, Guard::Page, delete_slot);
        for (QToolButton* button : {modify, remove}) {
            button->setParent(panel);
            row->addWidget(button);
        }
        layout->addLayout(row);
        return combo;
    };
    com1_ = add_list("Select Area:", "Com1", "The area that components go into", kModifyAreaDialog,
                     &TForm1::Action1Execute, kDeleteArea, &TForm1::Action2Execute, "Area");
    layout->addSpacing(4);
    com2_ = add_list("Select Component:", "Com2",
                     "The component to modify or delete. A new component's number counts the "
                     "page's markers that begin with its kind, so numbers can jump (Text String1, "
                     "then Text String4 when a text link and a text area are on the page)",
                     kModifyComponentDialog, &TForm1::Action3Execute, kDeleteComponent,
                     &TForm1::Action4Execute, "Component");
    layout->addStretch(1);
    // Undo and redo keys take back the page's steps, not the lists' own text.
    for (QComboBox* combo : {com1_, com2_}) {
        combo->installEventFilter(this);
        combo->lineEdit()->installEventFilter(this);
    }
    // Modify and Delete follow what each list shows.
    connect(com1_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        workspace_.area_list.text = text.toStdString();
        UpdateCommandStates();
    });
    connect(com2_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        workspace_.component_list.text = text.toStdString();
        UpdateCommandStates();
    });
    panel->setMinimumHeight(139);
    return panel;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : {undo_, redo_}) {
            if (action->shortcuts().contains(pressed)) {
                // Not overridden, so the window's shortcut runs; a key the
                // shortcut left (nothing to undo) does nothing to the text.
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!started_) {
        QTimer::singleShot(0, this, &TForm1::FormActivate);
    }
}

void TForm1::FormActivate() {
    if (started_) {
        return;
    }
    started_ = true;
    if (!start_error_.isEmpty()) {
        AppPrompts().ShowError(this, start_error_);
    }
    file_list_box1_->clear();
    OpenStartPath();
}

void TForm1::OpenStartPath() {
    const EditorCommandLine::Open open = start_.open;
    start_.open = EditorCommandLine::Open::Nothing;
    if (open == EditorCommandLine::Open::Nothing) {
        ReopenLastProject();
        return;
    }
    const QString folder =
        open == EditorCommandLine::Open::Page ? QFileInfo(start_.path).absolutePath() : start_.path;
    if (!OpenProjectFolder(folder.toStdString())) {
        return;
    }
    if (open == EditorCommandLine::Open::Page) {
        // As Open Project Page does, now that the page's folder is the project.
        RunCommand([&] {
            OpenPage(workspace_, start_.path.toStdString());
            ShowWorkspace(true);
        });
    }
}

void TForm1::TakeListTexts() {
    workspace_.area_list.text = com1_->currentText().toStdString();
    workspace_.component_list.text = com2_->currentText().toStdString();
}

void TForm1::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, Q(error.what()));
    } catch (const std::exception& error) {
        AppPrompts().ShowError(this, Q(error.what()));
    }
}

bool TForm1::PassesGuard(Guard guard) {
    switch (guard) {
    case Guard::None:
        return true;
    case Guard::Project:
    case Guard::Php:
        if (!workspace_.HasProject()) {
            AppPrompts().Inform(this, Q(kNeedProjectMessage));
            return false;
        }
        return true;
    case Guard::Page:
    case Guard::Area:
        if (!workspace_.HasOpenPage()) {
            AppPrompts().Inform(this, Q(kNeedPageMessage));
            return false;
        }
        if (guard == Guard::Area) {
            return PassesAreaGuard();
        }
        return true;
    }
    return false;
}

bool TForm1::PassesAreaGuard() {
    // The area is checked against the page as the command's OK checks it, so
    // a command refuses before its dialog opens.
    std::optional<int> area;
    QString refusal;
    try {
        area = SelectedAreaOnPage(workspace_.page_text, com1_->currentText().toStdString());
    } catch (const CommandError& error) {
        refusal = Q(error.what());
    }
    if (area) {
        return true;
    }
    com1_->setFocus();
    if (refusal.isEmpty()) {
        AppPrompts().Inform(this, Q(kNeedAreaMessage));
    } else {
        AppPrompts().ShowError(this, refusal);
    }
    return false;
}

void TForm1::RunDialog(std::string_view dialog_class, Guard guard) {
    TakeListTexts();
    if (!PassesGuard(guard)) {
        return;
    }
    const DialogOpener open = FindDialog(dialog_class);
    if (open == nullptr) {
        return;
    }
    // The script is made beside the open page, which stays open.
    bool changed = false;
    RunCommand([&] { changed = open(workspace_, this); });
    if (!changed) {
        UpdateCommandStates();
        return;
    }
    if (dialog_class == kNewPageDialog) {
        FollowSiteMenu();
    }
    if (guard == Guard::Php && !workspace_.HasOpenPage()) {
        web1_->ShowFile(Q(AppFile(workspace_, kPhpPage)));
    }
    ShowWorkspace(guard != Guard::Php);
}

void TForm1::RunPaletteCommand(std::string_view dialog_class) {
    for (const PaletteButton& button : PaletteButtons()) {
        if (button.dialog_class == dialog_class) {
            RunDialog(dialog_class, button.guard);
            return;
        }
    }
}

void TForm1::Action1Execute() {
    RunDialog(kModifyAreaDialog, Guard::Page);
}

void TForm1::Action2Execute() {
    RunDialog(kDeleteArea, Guard::Page);
}

void TForm1::Action3Execute() {
    RunDialog(kModifyComponentDialog, Guard::Page);
}

void TForm1::Action4Execute() {
    RunDialog(kDeleteComponent, Guard::Page);
}

void TForm1::ToolButton22Click() {
    RunPaletteCommand(kHtmlCodeDialog);
}

void TForm1::ToolButton23Click() {
    RunPaletteCommand(kPlatformDialog);
}

void TForm1::ToolButton36Click() {
    RunPaletteCommand(kLineBreak);
}

void TForm1::ShowWorkspace(bool reload_preview) {
    if (workspace_.HasOpenPage()) {
        lbl_name_->setText(Q(workspace_.page_name));
        // The title as its reader sees it; the whole of it in the tooltip.
        lbl_head_->SetFullText(ReadableText(workspace_.page_header));
        lbl_size_->setText(Q(SizeText(workspace_.page_file_size)));
        lbl_name_->setToolTip(Q(workspace_.page_path));
        if (reload_preview) {
            ShowOpenPage();
        }
    } else {
        lbl_name_->clear();
        lbl_name_->setToolTip(QString());
        lbl_head_->SetFullText(QString());
        lbl_size_->clear();
    }
    auto fill = [](QComboBox* combo, const SelectionList& list) {
        const QSignalBlocker blocker(combo);
        // The entries in one go, and only when they changed.
        QStringList entries;
        entries.reserve(qsizetype(list.entries.size()));
        for (const std::string& entry : list.entries) {
            entries << Q(entry);
        }
        auto* model = static_cast<QStringListModel*>(combo->model());
        if (model->stringList() != entries) {
            model->setStringList(entries);
        }
        combo->setCurrentIndex(-1);
        combo->setEditText(Q(list.text));
        combo->lineEdit()->setCursorPosition(0);
    };
    page_watcher_->Watch(workspace_.HasOpenPage() ? Q(workspace_.page_path) : QString());
    fill(com1_, workspace_.area_list);
    fill(com2_, workspace_.component_list);
    page_control1_->setEnabled(workspace_.palette_enabled);
    UpdateCommandStates();
    ShowPageList();
}

void TForm1::UpdateHistoryActions() {
    const PageHistory& history = OpenPageHistory(workspace_);
    const auto show = [](QAction* action, const QString& verb, std::string_view step,
                         const QString& keys) {
        const QString text = step.empty() ? verb : verb + " " + Q(step);
        action->setText(text);
        action->setToolTip(QString("%1 (%2)").arg(text, keys));
        action->setEnabled(!step.empty());
    };
    show(undo_, "Undo", history.UndoName(), "Ctrl+Z");
    show(redo_, "Redo", history.RedoName(), "Ctrl+Shift+Z");
}

bool TForm1::ShowsEntry(const SelectionList& list) const {
    return workspace_.HasOpenPage() &&
           std::find(list.entries.begin(), list.entries.end(), list.text) != list.entries.end();
}

void TForm1::UpdateCommandStates() {
    UpdateHistoryActions();
    for (const TableCommand& command : table_commands_) {
        bool on = FindDialog(command.dialog_class) != nullptr &&
                  (!command.needs_page || workspace_.HasOpenPage());
        // A page takes one rollover image (every one is named "y").
        if (command.dialog_class == kRolloverDialog && !PageTakesRollover(workspace_.page_text)) {
            on = false;
        }
        // Modify and Delete act on an entry of the open page's list.
        if (command.dialog_class == kModifyAreaDialog || command.dialog_class == kDeleteArea) {
            on = on && ShowsEntry(workspace_.area_list);
        }
        if (command.dialog_class == kModifyComponentDialog ||
            command.dialog_class == kDeleteComponent) {
            on = on && ShowsEntry(workspace_.component_list);
        }
        command.enable(on);
    }
}

void TForm1::ShowPageList() {
    file_list_box1_->clear();
    if (!workspace_.HasProject()) {
        ShowWhereabouts();
        return;
    }
    RunCommand([&] {
        for (const std::string& page : ProjectPages(workspace_.project_folder)) {
            auto* item = new QListWidgetItem(Q(page), file_list_box1_);
            item->setIcon(
                ToolIcon(Q(page).endsWith(".php", Qt::CaseInsensitive) ? "php" : "open-page"));
        }
    });
    SelectOpenPageEntry();
    ShowWhereabouts();
}

void TForm1::SelectOpenPageEntry() {
    const QSignalBlocker blocker(file_list_box1_);
    file_list_box1_->setCurrentItem(nullptr);
    if (!workspace_.HasOpenPage() ||
        QFileInfo(Q(workspace_.page_path)).absolutePath() + "/" != Q(workspace_.project_folder)) {
        return;
    }
    const auto found = file_list_box1_->findItems(Q(workspace_.page_name), Qt::MatchExactly);
    if (!found.isEmpty()) {
        file_list_box1_->setCurrentItem(found.first());
    }
}

void TForm1::NewProjectClick() {
    TProject dialog(workspace_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    ShowProjectChange();
    // A folder that was there already has been opened, not created.
    AppPrompts().Inform(this, dialog.OpenedExisting() ? "Project Opened" : "Project Created");
}

void TForm1::NewPageClick() {
    RunDialog(kNewPageDialog, Guard::Project);
}

bool TForm1::OpenProjectFolder(const std::string& folder) {
    bool opened = false;
    RunCommand([&] {
        OpenProject(workspace_, folder);
        opened = true;
    });
    if (opened) {
        ShowProjectChange();
    }
    return opened;
}

void TForm1::ShowProjectChange() {
    const bool had_page = !lbl_name_->text().isEmpty();
    ShowPageList();
    ShowWorkspace(false);
    if (had_page && !workspace_.HasOpenPage()) {
        web1_->ShowFile(Q(AppFile(workspace_, kBlankPage)));
    }
}

void TForm1::OpenProjectClick() {
    const QString folder =
        AppPrompts().ExistingFolder(this, "Select a folder", Q(workspace_.project_folder));
    if (folder.isEmpty()) {
        return; // cancelled: the open project stays
    }
    if (!OpenProjectFolder(folder.toStdString())) {
        return;
    }
    AppPrompts().Inform(this, "Project Opened");
}

void TForm1::OpenPageClick() {
    if (!PassesGuard(Guard::Project)) {
        return;
    }
    const QString path = AppPrompts().OpenFile(this, "Open a Page", Q(workspace_.project_folder),
                                               "Web page (HTML) (*.html *.htm)");
    if (path.isEmpty()) {
        return;
    }
    bool opened = false;
    RunCommand([&] {
        OpenPage(workspace_, path.toStdString());
        opened = true;
    });
    if (opened) {
        ShowWorkspace(true);
    }
}

void TForm1::FileListBox1Click(QListWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    AskToOpenPage(item->text());
}

void TForm1::AskToOpenPage(const QString& name) {
    if (AppPrompts().Ask(this, "Open Page?", true, QPoint(300, 200)) != Prompts::Answer::Yes) {
        SelectOpenPageEntry(); // the open page stays the one marked
        return;
    }
    bool opened = false;
    RunCommand([&] {
        OpenProjectPage(workspace_, name.toStdString());
        opened = true;
    });
    if (opened) {
        ShowWorkspace(true);
    }
}

void TForm1::PrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(web1_->ShownFile()).fileName());
    // The preview paints its pages, then the printout once the user prints.
    bool painted = true;
    const bool printed = AppPrompts().Print(
        this, &printer, [this, &painted](QPrinter* target) { painted = web1_->Print(target); });
    web1_->EndPrinting();
    if (printed && !painted) {
        AppPrompts().ShowError(this, QString("Cannot print \"%1\". The printer reported a failure.")
                                         .arg(web1_->ShownFile()));
    }
}

void TForm1::ExitClick() {
    close();
}

void TForm1::DeletePageClick() {
    if (!workspace_.HasOpenPage()) {
        return;
    }
    const QString name = Q(workspace_.page_name);
    // The pages whose links would then lead nowhere are named first.
    QString question = QString("Move %1 to the Trash?").arg(name);
    if (workspace_.HasProject() &&
        workspace_.page_path == workspace_.project_folder + workspace_.page_name) {
        QStringList linking;
        try {
            for (const std::string& page :
                 PagesLinkingTo(workspace_.project_folder, workspace_.page_name)) {
                if (page != workspace_.page_name) {
                    linking << Q(page);
                }
            }
        } catch (const CommandError&) {
            // a page that cannot be read names no link
        }
        if (!linking.isEmpty()) {
            question += "\n\nThese pages link to it, and their links will lead nowhere: " +
                        linking.join(", ");
        }
    }
    if (AppPrompts().Ask(this, question, false) != Prompts::Answer::Yes) {
        return;
    }
    QString where;
    RunCommand([&] {
        switch (TrashOpenPage(workspace_)) {
        case PageDeletion::NoPage:
            return;
        case PageDeletion::Trashed:
            where = QString("%1 is in the Trash").arg(name);
            return;
        case PageDeletion::NoTrash:
            if (AppPrompts().Ask(this, QString("Delete the page %1?").arg(name), false) ==
                Prompts::Answer::Yes) {
                DeleteOpenPage(workspace_);
                where = QString("%1 was deleted (there is no Trash for it)").arg(name);
            }
            return;
        }
    });
    if (where.isEmpty()) {
        return;
    }
    FollowSiteMenu();
    ShowWorkspace(false); // the commands that need a page are disabled now
    web1_->ShowFile(Q(AppFile(workspace_, kBlankPage)));
    statusBar()->showMessage(where);
}

void TForm1::RenamePageClick() {
    if (!PassesGuard(Guard::Page)) {
        return;
    }
    TRenamePage dialog(workspace_.project_folder, workspace_.page_name, this);
    // A refused name is said, and the dialog comes back for another.
    while (dialog.exec() == QDialog::Accepted) {
        PageRenameReport report;
        bool renamed = false;
        RunCommand([&] {
            report = RenamePage(workspace_, PlanPageRename(workspace_.project_folder,
                                                           workspace_.page_name, dialog.NewName()));
            renamed = true;
        });
        if (!renamed) {
            continue;
        }
        if (!report.failed.empty()) {
            QStringList failed;
            for (const std::string& line : report.failed) {
                failed << Q(line);
            }
            AppPrompts().ShowError(this, "The page was renamed, but the links on these pages could "
                                         "not be changed:\n" +
                                             failed.join("\n"));
        }
        ShowWorkspace(true);
        statusBar()->showMessage(QString("%1 is now %2: %3 link(s) changed")
                                     .arg(Q(report.plan.from), Q(report.plan.to))
                                     .arg(report.links));
        return;
    }
}

void TForm1::ReplaceInSiteClick() {
    if (!PassesGuard(Guard::Project)) {
        return;
    }
    TReplaceInSite dialog(workspace_.project_folder, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    SiteReplaceReport report;
    RunCommand([&] {
        report = ReplaceInSite(workspace_, dialog.FindText(), dialog.ReplacementText(),
                               dialog.Options(), dialog.Chosen());
    });
    if (!report.pages.failed.empty()) {
        QStringList failed;
        for (const std::string& line : report.pages.failed) {
            failed << Q(line);
        }
        AppPrompts().ShowError(this, "These pages could not be changed (the others were):\n" +
                                         failed.join("\n"));
    }
    ShowWorkspace(true);
    statusBar()->showMessage(
        QString("Replaced %1 on %2 page(s)%3")
            .arg(report.replaced)
            .arg(report.pages.written.size())
            .arg(report.gone > 0 ? QString("; %1 no longer found").arg(report.gone) : QString()));
}

void TForm1::BuildSharedPartsMenu(QMenu* menu) {
    QAction* share = MakeAction("ShareComponent", "Share on Other Pages...", "", QKeySequence(),
                                &TForm1::ShareComponentClick);
    share->setToolTip("Keep the selected component once for the site, to show it on other pages");
    menu->addAction(share);
    QAction* share_area = MakeAction("ShareAreaComponents", "Share All Components of the Area...",
                                     "", QKeySequence(), &TForm1::ShareAreaClick);
    share_area->setToolTip("Keep each component of the selected area once for the site, to show "
                           "them on other pages");
    menu->addAction(share_area);
    QAction* place = MakeAction("PlaceSharedPart", "Place Shared Part...", "", QKeySequence(),
                                &TForm1::PlaceSharedPartClick);
    place->setToolTip("Put a copy of a shared part at the end of the selected area");
    menu->addAction(place);
    QAction* site_menu = MakeAction("InsertSiteMenu", "Insert Site Menu", "", QKeySequence(),
                                    &TForm1::InsertSiteMenuClick);
    site_menu->setToolTip("Put the site's menu (every page as a link, kept up to date) at the end "
                          "of the selected area");
    menu->addAction(site_menu);
    menu->addSeparator();
    const struct {
        const char* name;
        const char* text;
        const char* tip;
    } copy_commands[] = {
        {"UnshareComponent", "Unshare", "Make the selected copy an ordinary component"},
        {"UseSharedPart", "Use the Shared Part",
         "Give the selected copy the shared part's content again"},
        {"MakeSharedPart", "Make This the Shared Part",
         "Make the selected copy's content the shared part's, on every page"},
    };
    int command = 0;
    for (const auto& copy_command : copy_commands) {
        auto* action = new QAction(copy_command.text, this);
        action->setObjectName(copy_command.name);
        action->setToolTip(copy_command.tip);
        connect(action, &QAction::triggered, this, [this, command] { SharedCopyCommand(command); });
        menu->addAction(action);
        ++command;
    }
    for (QAction* action : menu->actions()) {
        table_commands_.push_back(
            {[action](bool on) { action->setEnabled(on); }, kPagePropertiesDialog, true});
    }
}

void TForm1::FollowSiteMenu() {
    RunCommand([&] {
        const SiteChangeReport report = RefreshSiteMenuIfAny(workspace_);
        if (!report.failed.empty()) {
            QStringList failed;
            for (const std::string& line : report.failed) {
                failed << Q(line);
            }
            AppPrompts().ShowError(this, "The site menu could not be updated on these pages:\n" +
                                             failed.join("\n"));
        }
    });
}

void TForm1::InsertSiteMenuClick() {
    TakeListTexts();
    if (!PassesGuard(Guard::Page)) {
        return;
    }
    RunCommand([&] {
        const std::string entry = InsertSiteMenu(workspace_);
        statusBar()->showMessage(QString("Inserted the site menu as %1").arg(Q(entry)), 5000);
    });
    ShowWorkspace(true);
}

void TForm1::ShareComponentClick() {
    TakeListTexts();
    if (!PassesGuard(Guard::Page)) {
        return;
    }
    const std::string entry = workspace_.component_list.text;
    if (!SelectedComponentName(entry)) {
        AppPrompts().Inform(this, "Please select a component");
        return;
    }
    TShareComponent dialog(entry, this);
    // A refused name is said, and the dialog comes back for another.
    while (dialog.exec() == QDialog::Accepted) {
        bool shared = false;
        RunCommand([&] {
            ShareComponent(workspace_, entry, dialog.PartName());
            shared = true;
        });
        if (shared) {
            ShowWorkspace(true);
            statusBar()->showMessage(
                QString("%1 is the shared part \"%2\"").arg(Q(entry), Q(dialog.PartName())), 5000);
            return;
        }
    }
}

void TForm1::ShareAreaClick() {
    TakeListTexts();
    if (!PassesGuard(Guard::Page)) {
        return;
    }
    const std::string area = workspace_.area_list.text;
    if (!SelectedAreaNumber(area)) {
        AppPrompts().Inform(this, Q(kNeedAreaMessage));
        return;
    }
    TShareComponent dialog(area, this);
    // A refused name is said, and the dialog comes back for another.
    while (dialog.exec() == QDialog::Accepted) {
        std::vector<std::string> parts;
        RunCommand([&] { parts = ShareAreaComponents(workspace_, area, dialog.PartName()); });
        if (!parts.empty()) {
            ShowWorkspace(true);
            statusBar()->showMessage(
                QString("%1 shared as %2 part(s)").arg(Q(area)).arg(parts.size()), 5000);
            return;
        }
    }
}

void TForm1::PlaceSharedPartClick() {
    TakeListTexts();
    if (!PassesGuard(Guard::Page)) {
        return;
    }
    if (!SelectedAreaNumber(workspace_.area_list.text)) {
        AppPrompts().Inform(this, Q(kNeedAreaMessage));
        return;
    }
    TPlaceSharedPart dialog(workspace_.project_folder, workspace_.area_list.text, this);
    if (dialog.exec() != QDialog::Accepted || dialog.PartName().empty()) {
        return;
    }
    RunCommand([&] {
        const std::string entry = PlaceSharedPart(workspace_, dialog.PartName());
        statusBar()->showMessage(QString("Placed %1").arg(Q(entry)), 5000);
    });
    ShowWorkspace(true);
}

void TForm1::SharedCopyCommand(int command) {
    TakeListTexts();
    if (!PassesGuard(Guard::Page)) {
        return;
    }
    const std::string entry = workspace_.component_list.text;
    const std::optional<ComponentSelection> selection = SelectedComponentName(entry);
    if (!selection) {
        AppPrompts().Inform(this, "Please select a component");
        return;
    }
    RunCommand([&] {
        if (command == 0) {
            UnshareComponent(workspace_, entry);
            return;
        }
        const SiteChangeReport report =
            command == 1
                ? UseSharedPart(workspace_, workspace_.page_name, selection->MarkerName())
                : MakeThisTheSharedPart(workspace_, workspace_.page_name, selection->MarkerName());
        if (!report.failed.empty()) {
            QStringList failed;
            for (const std::string& line : report.failed) {
                failed << Q(line);
            }
            AppPrompts().ShowError(this, "These pages could not be changed (the others were):\n" +
                                             failed.join("\n"));
        }
    });
    ShowWorkspace(true);
}

void TForm1::ViewSourceClick() {
    RunDialog(kViewSourceDialog, Guard::None);
}

void TForm1::PagePropertiesClick() {
    RunDialog(kPagePropertiesDialog, Guard::Page);
}

void TForm1::PublishProjectClick() {
    if (!PassesGuard(Guard::Project)) {
        return;
    }
    // Modal to the window: no page is written while its files are sent.
    PublishDialog dialog(Q(workspace_.project_folder), publish::DesktopSecretStore(), this);
    dialog.exec();
}

void TForm1::SiteSettingsClick() {
    if (!PassesGuard(Guard::Project)) {
        return;
    }
    bool changed = false;
    RunCommand([&] {
        TSiteSettings dialog(workspace_.project_folder, this);
        changed = dialog.exec() == QDialog::Accepted;
    });
    if (changed) {
        FollowSiteMenu();
    }
    // The preview's "As Published" view follows the settings.
    if (workspace_.HasOpenPage()) {
        ShowOpenPage();
    }
}

void TForm1::CheckSiteClick() {
    if (!PassesGuard(Guard::Project)) {
        return;
    }
    if (site_check_ == nullptr) {
        site_check_ = new SiteCheckDock(this);
        addDockWidget(Qt::BottomDockWidgetArea, site_check_);
        connect(site_check_, &SiteCheckDock::CheckAgainClicked, this, &TForm1::CheckSiteClick);
        connect(site_check_, &SiteCheckDock::FindingChosen, this,
                [this](const Finding& finding) { ShowFinding(finding, false); });
        connect(site_check_, &SiteCheckDock::FindingOpened, this,
                [this](const Finding& finding) { ShowFinding(finding, true); });
    }
    site_check_->show();
    site_check_->raise();
    site_check_->Start(Q(workspace_.project_folder));
}

void TForm1::ShowFinding(const Finding& finding, bool modify) {
    if (site_check_->Folder() != Q(workspace_.project_folder)) {
        statusBar()->showMessage("These findings are of another project: Check Again", 5000);
        return;
    }
    const bool shown = workspace_.HasOpenPage() && workspace_.page_name == finding.page &&
                       workspace_.page_path == workspace_.project_folder + finding.page;
    if (!shown) {
        AskToOpenPage(Q(finding.page));
        if (!workspace_.HasOpenPage() || workspace_.page_name != finding.page) {
            return; // not opened: the question was declined or the page failed
        }
    }
    const std::string_view entry = finding.entry;
    const bool area = entry.size() > 4 && entry.substr(0, 4) == "Area" &&
                      entry.find_first_not_of("0123456789", 4) == std::string_view::npos;
    // The form has no list entry; a finding of the whole page selects nothing.
    if (finding.entry.empty() || finding.entry == "Form") {
        return;
    }
    (area ? com1_ : com2_)->setEditText(Q(finding.entry));
    if (modify) {
        // Opened once the list's event is over, so the dialog never runs inside it.
        QTimer::singleShot(0, this, [this, area] {
            if (area) {
                Action1Execute();
            } else {
                Action3Execute();
            }
        });
    }
}

void TForm1::HelpContentsClick() {
    web1_->ShowFile(Q(AppFile(workspace_, kHelpPage)));
}

void TForm1::WebSiteClick() {
    AppPrompts().OpenUrl(this, QUrl(Q(kMakerWebSite)));
}

void TForm1::AboutClick() {
    RunDialog(kAboutDialog, Guard::None);
}

void TForm1::PreferencesClick() {
    if (PreferencesDialog::Edit(preferences_, session_file_, this)) {
        SetPictureImportOptions(preferences_.pictures);
        TFormmen2::SetFitNewPages(preferences_.fit_new_pages);
    }
}

void TForm1::UndoClick() {
    StepPageHistory(true);
}

void TForm1::RedoClick() {
    StepPageHistory(false);
}

void TForm1::StepPageHistory(bool undo) {
    TakeListTexts();
    if (!workspace_.HasOpenPage()) {
        return;
    }
    RunCommand([&] {
        const QString step = Q(undo ? UndoPageChange(workspace_) : RedoPageChange(workspace_));
        statusBar()->showMessage((undo ? "Undone: " : "Redone: ") + step, 5000);
    });
    ShowWorkspace(true);
}

OutsideChangeAnswer TForm1::AskAboutOutsideChange(const std::string& page_name) {
    QWidget* parent = QApplication::activeModalWidget();
    const QString answer =
        AppPrompts().Choose(parent != nullptr ? parent : this, Q(OutsideChangeQuestion(page_name)),
                            {"Reload", "Overwrite", "Cancel"});
    if (answer == "Reload") {
        // The page is read again once the question is answered; the window
        // shows it when the command (maybe under an open dialog) has ended.
        QTimer::singleShot(0, this, [this] {
            ShowWorkspace(true);
            statusBar()->showMessage(Q(workspace_.page_name) + " was reloaded from disk", 5000);
        });
        return OutsideChangeAnswer::Reload;
    }
    return answer == "Overwrite" ? OutsideChangeAnswer::Overwrite : OutsideChangeAnswer::Cancel;
}

void TForm1::CheckPageOnDisk() {
    if (!workspace_.HasOpenPage()) {
        return;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        // Not while a dialog is open: its command checks the file itself.
        QTimer::singleShot(500, this, &TForm1::CheckPageOnDisk);
        return;
    }
    const QString name = Q(workspace_.page_name);
    switch (CheckOpenPageOnDisk(workspace_)) {
    case PageOnDisk::Unchanged:
        return;
    case PageOnDisk::Changed: {
        bool reloaded = false;
        RunCommand([&] {
            ReloadOpenPage(workspace_);
            reloaded = true;
        });
        if (reloaded) {
            ShowWorkspace(true);
            statusBar()->showMessage(name +
                                     " was changed by another program and has been reloaded");
        }
        return;
    }
    case PageOnDisk::Missing:
        ClosePage(workspace_);
        ShowWorkspace(false);
        web1_->ShowFile(Q(AppFile(workspace_, kBlankPage)));
        statusBar()->showMessage(name + " was deleted or renamed by another program");
        AppPrompts().Inform(this, name + " was deleted or renamed by another program. The page has "
                                         "been closed.");
        return;
    }
}

} // namespace qf
