// The main window's preview as something to point at: the areas outlined
// (View > Show Areas), the page laid out at a phone's or a tablet's width, a click that selects the
#include "services/utf8_text.h"
// area and component under the pointer, a double-click that opens their Modify dialog, and links
// that never take the preview away from the page.

#include "app/main_window.h"

#include "components/small_screens.h"
#include "error.h"
#include "render/render_site.h"
#include "services/preview.h"
#include "services/prompts.h"
#include "site/site_settings.h"
#include "site/site_style.h"
#include "web_picture.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace qf {

void TForm1::BuildPreviewMenu(QMenu* view) {
    QAction* show_areas = view->addAction(tr("Show Areas"));
    show_areas->setObjectName("ShowAreas");
    show_areas->setCheckable(true);
    show_areas->setChecked(memory_.show_areas);
    show_areas->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    show_areas->setToolTip(tr("Outline and name every area in the preview"));
    connect(show_areas, &QAction::toggled, this, [this](bool on) {
        if (web1_ != nullptr) {
            web1_->ShowOutlines(on);
        }
        if (memory_.show_areas != on) {
            memory_.show_areas = on;
            SaveMemory();
        }
    });

    // The width the page is laid out at, as a phone or a tablet shows it.
    QMenu* widths = view->addMenu(tr("Preview Width"));
    widths->setObjectName("PreviewWidthMenu");
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    struct Width {
        const char* name;
        const char* text;
        const char* hint;
        int pixels;
        Qt::Key key;
    };
    for (const Width& width :
         {Width{"PreviewPhone", "Phone 390",
                "Lay the page out 390 pixels wide, as a phone shows it", kPhoneWidth, Qt::Key_1},
          Width{"PreviewTablet", "Tablet 768",
                "Lay the page out 768 pixels wide, as a tablet shows it", kTabletWidth, Qt::Key_2},
          Width{"PreviewFull", "Full width", "Lay the page out across the whole preview", 0,
                Qt::Key_3}}) {
        QAction* action = widths->addAction(tr(width.text));
        action->setObjectName(width.name);
        action->setCheckable(true);
        action->setChecked(memory_.preview_width == width.pixels);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | width.key));
        action->setToolTip(tr(width.hint));
        action->setStatusTip(tr(width.hint));
        action->setData(width.pixels);
        group->addAction(action);
    }
    // The open page as visitors receive it, read-only: pointing, outlines
    // and Modify stay on the editing view.
    view->addSeparator();
    QAction* published = view->addAction(tr("As Published"));
    published->setObjectName("PreviewAsPublished");
    published->setCheckable(true);
    published->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P));
    published->setToolTip(tr("Show the page as visitors receive it once it is published"));
    published->setStatusTip(published->toolTip());
    connect(published, &QAction::toggled, this, [this] {
        if (web1_ == nullptr || !workspace_.HasOpenPage()) {
            return;
        }
        // Scrolled to the same place in the other view.
        const QVariant at = web1_->RunScript("window.scrollY", 2000);
        ShowOpenPage();
        if (at.isValid()) {
            web1_->RunScriptLater(QString("window.scrollTo(0, %1)").arg(at.toDouble()));
        }
    });

    connect(group, &QActionGroup::triggered, this, [this](QAction* action) {
        const int pixels = action->data().toInt();
        if (web1_ != nullptr) {
            web1_->SetLayoutWidth(pixels);
        }
        if (memory_.preview_width != pixels) {
            memory_.preview_width = pixels;
            SaveMemory();
        }
    });
}

QWidget* TForm1::BuildPreviewPane(QWidget* parent) {
    auto* pane = new QWidget(parent);
    pane->setObjectName("PreviewPane");
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new QToolBar(pane);
    bar->setObjectName("PreviewBar");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(findChild<QAction*>("ShowAreas"));
    bar->addSeparator();
    for (const char* name : {"PreviewPhone", "PreviewTablet", "PreviewFull"}) {
        bar->addAction(findChild<QAction*>(name));
    }
    bar->addSeparator();
    bar->addAction(findChild<QAction*>("PreviewAsPublished"));
    column->addWidget(bar);
    web1_ = new Preview(pane);
    web1_->setObjectName("Web1");
    web1_->setMinimumHeight(160);
    column->addWidget(web1_, 1);
    return pane;
}

void TForm1::ShowOpenPage() {
    const QAction* published = findChild<QAction*>("PreviewAsPublished");
    if (published == nullptr || !published->isChecked()) {
        // The project's pages look as the site style makes them look.
        // An area's valign, which the page file leaves to its cells.
        QString css = Q(kAreaValignRule);
        try {
            css += QString::fromStdString(
                StyleSheet(StyleOf(ReadSiteSettings(workspace_.project_folder))));
        } catch (const CommandError&) {
            // settings that cannot be read: the pages as designed
        }
        web1_->SetPageStyle(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(
                                                    workspace_.project_folder)))
                                .toString(),
                            workspace_.HasProject() ? css : QString());
        web1_->ShowFile(QFile::decodeName(QByteArray::fromStdString(workspace_.page_path)));
        return;
    }
    RunCommand([&] {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        const std::string file = render::WritePreviewRendering(
            workspace_.project_folder, workspace_.page_path, workspace_.page_text,
            QFile::encodeName(cache).toStdString(), ImagePictureWork());
        web1_->ShowFile(QFile::decodeName(QByteArray::fromStdString(file)));
    });
}

void TForm1::ConnectPreview() {
    web1_->EnableOutlines();
    web1_->ShowOutlines(memory_.show_areas);
    web1_->SetLayoutWidth(memory_.preview_width);
    web1_->AddContextAction(findChild<QAction*>("ShowAreas"));
    connect(web1_, &Preview::LinkClicked, this, &TForm1::PreviewLinkClicked);
    connect(web1_, &Preview::PointedAt, this, &TForm1::PreviewPointedAt);
    connect(web1_, &Preview::DoubleClicked, this, &TForm1::PreviewDoubleClicked);
    // What the lists name is outlined more strongly.
    auto show_chosen = [this] { web1_->ShowChosen(com1_->currentText(), com2_->currentText()); };
    connect(com1_, &QComboBox::editTextChanged, this, show_chosen);
    connect(com2_, &QComboBox::editTextChanged, this, show_chosen);
}

void TForm1::PreviewLinkClicked(const QUrl& url) {
    // A page of the open project opens in the editor, after the page list's question.
    if (url.isLocalFile() && workspace_.HasProject()) {
        const QFileInfo target(url.toLocalFile());
        const bool page = target.suffix().compare("html", Qt::CaseInsensitive) == 0 ||
                          target.suffix().compare("php", Qt::CaseInsensitive) == 0;
        if (page &&
            target.absolutePath() + "/" == QString::fromStdString(workspace_.project_folder)) {
            AskToOpenPage(target.fileName());
            return;
        }
    }
    // Everything else belongs to the desktop: its browser, mail program or viewer.
    AppPrompts().OpenUrl(this, url);
}

void TForm1::PreviewPointedAt(const QString& area, const QString& component) {
    if (!area.isEmpty()) {
        com1_->setEditText(area);
    }
    if (!component.isEmpty()) {
        com2_->setEditText(component);
    }
}

void TForm1::PreviewDoubleClicked(const QString& area, const QString& component) {
    PreviewPointedAt(area, component);
    const char* command = component.isEmpty() ? "ModifySelectedArea" : "ModifySelectedComponent";
    // Opened once the page's event is over, so the dialog never runs inside it.
    QTimer::singleShot(0, this, [this, command] {
        if (QAction* modify = findChild<QAction*>(command);
            modify != nullptr && modify->isEnabled()) {
            modify->trigger();
        }
    });
}

} // namespace qf
