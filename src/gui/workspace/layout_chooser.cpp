#include "workspace/layout_chooser.h"

#include "error.h"
#include "services/preview.h"
#include "services/prompts.h"
#include "workspace/layout_designer_dialog.h"
#include "workspace/new_page.h"
#include "workspace/workspace.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace qf {

namespace {

// The chooser's overview of all layouts, in the application's temp folder.
constexpr std::string_view kChooserPreviewFile = "lay02.html";

bool fit_new_pages = true;

} // namespace

void TFormmen2::SetFitNewPages(bool on) {
    fit_new_pages = on;
}

bool TFormmen2::FitNewPages() {
    return fit_new_pages;
}

TFormmen2::TFormmen2(Workspace& workspace, QWidget* parent)
    : ToolDialog("Select a Page Layout", "Select Page Layout:", parent), workspace_(workspace) {
    setObjectName("TFormmen2");
    MakeResizable();
    preview_ = new Preview(this);
    preview_->setObjectName("Web2");
    preview_->setMinimumSize(920, 340);
    preview_->setToolTip(tr("Every layout; click one to choose it"));
    // A click on a layout's preview chooses it; the overview stays.
    preview_->ReportPlainClicks();
    connect(preview_, &Preview::LinkClicked, this, [this](const QUrl& url) {
        if (chooser_.Choose(LayoutThumbnailNumber(url.toLocalFile().toStdString()))) {
            ShowCurrent();
        }
    });
    Body()->addWidget(preview_, 1);

    auto* row = new QHBoxLayout;
    position_ = new QLabel(this);
    position_->setObjectName("LayoutLabel");
    row->addWidget(position_, 1);
    auto* design = new QPushButton("Design a New Layout...", this);
    design->setObjectName("ToolButton3");
    design->setAutoDefault(false);
    design->setShortcut(QKeySequence("Ctrl+D"));
    design->setToolTip(tr("Design a layout of your own; it is shown here when you save it "
                          "(Ctrl+D)"));
    connect(design, &QPushButton::clicked, this, &TFormmen2::ToolButton3Click);
    row->addWidget(design);
    Body()->addLayout(row);

    previous_ = AddButton("    Previous    ", "ToolButton2");
    previous_->setShortcut(QKeySequence(Qt::Key_PageUp));
    previous_->setToolTip(tr("The layout before (Page Up)"));
    connect(previous_, &QPushButton::clicked, this, &TFormmen2::ToolButton2Click);
    next_ = AddButton("      Next       ", "ToolButton1");
    next_->setShortcut(QKeySequence(Qt::Key_PageDown));
    next_->setToolTip(tr("The next layout (Page Down)"));
    connect(next_, &QPushButton::clicked, this, &TFormmen2::ToolButton1Click);
    finish_ = AddButton("      Finish       ", "ToolButton4");
    finish_->setDefault(true);
    finish_->setToolTip(tr("Create the page from the layout chosen (Enter)"));
    connect(finish_, &QPushButton::clicked, this, &TFormmen2::ToolButton4Click);
    QPushButton* cancel = AddButton(tr("Cancel"), "CancelButton");
    cancel->setToolTip(tr("Create no page (Esc)"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFormmen2::Open(Workspace& workspace, QWidget* parent) {
    TFormmen2 chooser(workspace, parent);
    return chooser.exec() == QDialog::Accepted;
}

void TFormmen2::showEvent(QShowEvent* event) {
    ToolDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        FormActivate();
    }
}

void TFormmen2::FormActivate() {
    chooser_.Scan(workspace_.app_folder);
    ShowLayouts();
}

void TFormmen2::ShowLayouts() {
    if (!chooser_.Empty()) {
        try {
            preview_->ShowFile(QString::fromStdString(
                WriteLayoutGallery(workspace_.app_folder, chooser_.Numbers(), chooser_.Current(),
                                   kChooserPreviewFile)));
        } catch (const CommandError& error) {
            AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        }
    }
    ShowCurrent();
}

void TFormmen2::ShowCurrent() {
    previous_->setEnabled(chooser_.PreviousEnabled());
    next_->setEnabled(chooser_.NextEnabled());
    finish_->setEnabled(!chooser_.Empty());
    if (chooser_.Empty()) {
        position_->setText(tr("There are no layouts yet: design one with \"Design a New "
                              "Layout...\"."));
        return;
    }
    const auto& numbers = chooser_.Numbers();
    const auto index = std::find(numbers.begin(), numbers.end(), chooser_.Current());
    position_->setText(tr("Layout %1 (%2 of %3)")
                           .arg(chooser_.Current())
                           .arg(index - numbers.begin() + 1)
                           .arg(numbers.size()));
    preview_->RunScriptLater(QString("choose(%1)").arg(chooser_.Current()));
}

void TFormmen2::ToolButton2Click() {
    chooser_.Previous();
    ShowCurrent();
}

void TFormmen2::ToolButton1Click() {
    chooser_.Next();
    ShowCurrent();
}

void TFormmen2::ToolButton3Click() {
    TFormmen4 designer(workspace_, this);
    designer.exec();
    // As when the chooser becomes active again, with a saved layout chosen.
    const int shown = chooser_.Current();
    chooser_.Scan(workspace_.app_folder);
    if (!chooser_.Choose(designer.SavedLayout())) {
        chooser_.Choose(shown);
    }
    ShowLayouts();
}

void TFormmen2::ToolButton4Click() {
    if (chooser_.Empty()) {
        return;
    }
    const PendingPageProperties& pending = workspace_.pending;
    const NewPageProperties properties{pending.name, pending.header, pending.background,
                                       pending.border, FitNewPages()};
    try {
        ExistingPage existing = replace_confirmed_ ? ExistingPage::Replace : ExistingPage::Refuse;
        if (existing == ExistingPage::Refuse && NewPageExists(workspace_, properties.name)) {
            const QString question = "Replace the existing page " +
                                     QString::fromStdString(NewPageFileName(properties.name)) + "?";
            if (AppPrompts().Ask(this, question, false) != Prompts::Answer::Yes) {
                return;
            }
            existing = ExistingPage::Replace;
        }
        CreatePageFromLayout(workspace_, properties, chooser_.Current(), existing);
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        return;
    }
    accept();
}

} // namespace qf
