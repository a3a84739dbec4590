// The main window's preview as something to point at: the areas outlined
// (View > Show Areas), a click that selects the area and component under the
// pointer, a double-click that opens their Modify dialog, and links that
// never take the preview away from the page.

#include "app/main_window.h"

#include "services/preview.h"
#include "services/prompts.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

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
}

void TForm1::ConnectPreview() {
    web1_->EnableOutlines();
    web1_->ShowOutlines(memory_.show_areas);
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
