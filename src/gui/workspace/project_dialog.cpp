#include "workspace/project_dialog.h"

#include "error.h"
#include "services/prompts.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace qf {

TProject::TProject(Workspace& workspace, QWidget* parent)
    : ToolDialog("Create a New Project", "Create a New Project below:", parent),
      workspace_(workspace) {
    setObjectName("TProject");
    edit1_ = new QLineEdit(this);
    edit1_->setObjectName("Edit1");
    edit1_->setToolTip("The name of the project's folder");
    edit1_->setMinimumWidth(260);
    Form()->addRow("Project Name:", edit1_);

    edit_ = new QLineEdit(this);
    edit_->setObjectName("Edit");
    edit_->setToolTip("The folder the project's folder is made in");
    auto* browse = new QToolButton(this);
    browse->setObjectName("ToolButton1");
    browse->setText("[...] ");
    browse->setToolTip("Select a folder");
    connect(browse, &QToolButton::clicked, this, &TProject::ToolButton1Click);
    auto* location = new QHBoxLayout;
    location->setSpacing(4);
    location->addWidget(edit_, 1);
    location->addWidget(browse);
    Form()->addRow("Save Project in:", location);

    QPushButton* done = AddButton(" Done     ", "ToolButton2");
    done->setDefault(true);
    done->setAutoDefault(true);
    done->setToolTip("Create the project folder and open it");
    connect(done, &QPushButton::clicked, this, &TProject::ToolButton2Click);
    QPushButton* cancel = AddButton("Cancel", "CancelButton");
    cancel->setToolTip("Close without creating a project (Esc)");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void TProject::ToolButton1Click() {
    const QString folder = AppPrompts().ExistingFolder(this, "Select a folder", edit_->text());
    if (folder.isEmpty()) {
        return; // cancelled: the location keeps its text
    }
    edit_->setText(QString::fromStdString(FolderPath(folder.toStdString())));
}

void TProject::ToolButton2Click() {
    try {
        opened_existing_ =
            CreateProject(workspace_, edit_->text().toStdString(), edit1_->text().toStdString())
                .existed;
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        return;
    }
    accept();
}

} // namespace qf
