#include "workspace/new_page_dialog.h"

#include "error.h"
#include "services/prompts.h"
#include "widgets/picture_field.h"
#include "widgets/simple_fields.h"
#include "workspace/layout_chooser.h"
#include "workspace/new_page.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

namespace qf {

TFormmen5::TFormmen5(Workspace& workspace, QWidget* parent)
    : ToolDialog("Page Properties", "Page Properties:", parent), workspace_(workspace) {
    setObjectName("TFormmen5");
    picture_folder_ = QString::fromStdString(workspace.project_folder);
    QFormLayout* form = Form();

    name_ = new QLineEdit(this);
    name_->setObjectName("Edit2");
    name_->setMinimumWidth(260);
    name_->setToolTip(tr("The page's file name; \".html\" is added"));
    form->addRow(" Name:", name_);

    header_ = new QLineEdit(this);
    header_->setObjectName("Edit3");
    header_->setToolTip(tr("The page's title, shown in the browser's title bar"));
    form->addRow("  Header:", header_);
    // The first page is offered as the site's home page; later names follow
    // the header until the user types a name of his own.
    name_->setText(QString::fromStdString(OfferedFirstPageName(workspace.project_folder)));
    connect(header_, &QLineEdit::textEdited, this, [this](const QString& header) {
        if (name_->text() == offered_name_) {
            offered_name_ = QString::fromStdString(ProposedPageName(header.toStdString()));
            name_->setText(offered_name_);
        }
    });

    auto* background = new QWidget(this);
    auto* column = new QVBoxLayout(background);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto* radios = new QHBoxLayout;
    colour_radio_ = new QRadioButton("Color", background);
    colour_radio_->setObjectName("RadioButton1");
    colour_radio_->setToolTip(tr("\"[...]\" picks a background colour"));
    image_radio_ = new QRadioButton("Image", background);
    image_radio_->setObjectName("RadioButton2");
    image_radio_->setToolTip(tr("\"[...]\" picks a background picture"));
    auto* group = new QButtonGroup(this);
    group->addButton(colour_radio_);
    group->addButton(image_radio_);
    radios->addWidget(colour_radio_);
    radios->addWidget(image_radio_);
    radios->addStretch(1);
    column->addLayout(radios);
    background_ = new ColourField("Edit1", "ToolButton2", &colours_, background, "[...] ");
    background_->Edit()->setToolTip(
        tr("A colour such as #336699, or the path of a picture; empty for none"));
    background_->Button()->setToolTip(tr("Choose a colour (Color) or a picture (Image)"));
    // The one button serves both kinds of background.
    disconnect(background_->Button(), &QToolButton::clicked, background_,
               &ColourField::ChooseColour);
    connect(background_->Button(), &QToolButton::clicked, this, &TFormmen5::ToolButton2Click);
    column->addWidget(background_);
    form->addRow("Background:", background);

    border_ = MakeSpinField("SpinEdit1", this);
    border_->setToolTip(tr("The page's top and left margin in pixels"));
    form->addRow(" Border:", border_);

    QPushButton* cancel = AddButton(tr("Cancel"), "CancelButton");
    cancel->setToolTip(tr("Create no page (Esc)"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QPushButton* next = AddButton(" Continue       ", "ToolButton1");
    next->setDefault(true);
    next->setToolTip(tr("Choose the page's layout (Enter)"));
    connect(next, &QPushButton::clicked, this, &TFormmen5::ToolButton1Click);
    name_->setFocus();
    name_->selectAll();
}

void TFormmen5::ToolButton2Click() {
    if (colour_radio_->isChecked()) {
        background_->ChooseColour();
        return;
    }
    // The new page will lie in the project folder.
    const QString location = ChoosePicture(this, kTiffPictureFilter, picture_folder_,
                                           workspace_.project_folder, workspace_.project_folder);
    if (location.isEmpty()) {
        return; // a cancelled dialog leaves the field as it was
    }
    background_->Edit()->setText(location);
}

void TFormmen5::ToolButton1Click() {
    const std::string name = name_->text().toStdString();
    // Only checked here; the chooser's Finish makes the page.
    const NewPageProperties properties{name, header_->text().toStdString(),
                                       background_->Text().toStdString(), border_->value(),
                                       TFormmen2::FitNewPages()};
    // A refused value is shown with its field focused; nothing goes on.
    auto refuse = [this](const CommandError& error, QLineEdit* field) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        field->setFocus();
    };
    std::string file_name;
    try {
        file_name = NewPageFileName(name);
    } catch (const CommandError& error) {
        refuse(error, name_);
        return;
    }
    try {
        CheckNewPageProperties(properties);
    } catch (const CommandError& error) {
        refuse(error, std::string_view(error.what()).starts_with("Background") ? background_->Edit()
                                                                               : header_);
        return;
    }
    bool replace = false;
    try {
        if (NewPageExists(workspace_, name)) {
            const QString question =
                "Replace the existing page " + QString::fromStdString(file_name) + "?";
            if (AppPrompts().Ask(this, question, false) != Prompts::Answer::Yes) {
                name_->setFocus();
                name_->selectAll();
                return;
            }
            replace = true;
        }
    } catch (const CommandError& error) {
        refuse(error, name_);
        return;
    }
    workspace_.pending = {properties.header, properties.background, properties.border, name};

    TFormmen2 chooser(workspace_, this);
    chooser.SetReplaceConfirmed(replace);
    const bool created = chooser.exec() == QDialog::Accepted;
    if (created) {
        accept();
    } else {
        reject();
    }
}

bool TFormmen5::Open(Workspace& workspace, QWidget* parent) {
    if (!workspace.HasProject()) {
        AppPrompts().Inform(parent, QString::fromUtf8(kNeedProjectMessage.data(),
                                                      qsizetype(kNeedProjectMessage.size())));
        return false;
    }
    TFormmen5 dialog(workspace, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace qf
