#include "components/php_script_dialog.h"

#include "components/php_script.h"
#include "error.h"
#include "services/prompts.h"
#include "site/thank_you_page.h"
#include "widgets/page_destination.h"
#include "widgets/simple_fields.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace qf {

namespace {

constexpr const char* kCreatedMessage = "PHP Script created in Project Directory";

// A success or failure destination: a project page or an address, the
// address winning whenever its box holds text. Every control carries `tip`.
PageDestination* Destination(const PageDestination::Names& names, const QString& tip,
                             const QString& folder, QWidget* parent) {
    auto* destination =
        new PageDestination(names, PageDestination::Style::UrlUnlessEmpty, QString(), parent);
    destination->FillPages(folder);
    for (QWidget* control :
         std::initializer_list<QWidget*>{destination->PageRadio(), destination->UrlRadio(),
                                         destination->PageList(), destination->UrlEdit()}) {
        control->setToolTip(tip);
    }
    return destination;
}

} // namespace

TFormja::TFormja(Workspace& workspace, QWidget* parent)
    : ComponentDialog(workspace, tr("Create a PHP script"), tr("Create a PHP script:"), parent) {
    setObjectName("TFormja");
    const QString folder = QString::fromStdString(workspace.project_folder);
    QFormLayout* form = Form();
    name_ = new QLineEdit(this);
    name_->setObjectName("Edit1");
    name_->setToolTip(tr("The script's file name, without .php"));
    form->addRow(tr("Script's Name:"), name_);
    form_page_ = MakeEditableList("ComboBox1", PageDestination::ProjectPages(folder), this);
    form_page_->setToolTip(tr("The page which hosts your form"));
    form->addRow(tr(" Page of Corresponding form:"), form_page_);
    recipient_ = new QLineEdit(this);
    recipient_->setObjectName("Edit2");
    recipient_->setMinimumWidth(260);
    recipient_->setToolTip(
        tr("The Information entered in the form will be emailed to the specified address"));
    form->addRow(tr("Recipient's Email Address:"), recipient_);
    success_ =
        Destination({"RadioButton1", tr("Project Page"), "RadioButton2", "ComboBox2", "Edit3"},
                    tr("Page to be displayed if the submission is successful"), folder, this);
    form->addRow(tr(" Success Page:"), success_);
    // A page that tells the visitor the message arrived, offered and made here.
    auto* thanks = new QPushButton(tr("Make a Thank-You Page"), this);
    thanks->setObjectName("ButtonThankYou");
    thanks->setToolTip(tr("Make thanks.html (\"Thank you, your message has been sent\", with a "
                          "link back to the home page) and show it after a successful send"));
    connect(thanks, &QPushButton::clicked, this, &TFormja::ThankYouClick);
    form->addRow(QString(), thanks);
    failure_ =
        Destination({"RadioButton3", tr("Project Page"), "RadioButton4", "ComboBox3", "Edit4"},
                    tr("Page to be displayed if the submission is unsuccessful"), folder, this);
    form->addRow(tr(" Failure Page:"), failure_);

    QPushButton* ok = AddOkButton(tr(" OK  "), "ToolButton3");
    ok->setToolTip(tr("Write the script into the project folder (Enter)"));
    connect(ok, &QPushButton::clicked, this, &TFormja::ToolButton3Click);
    AddCancelButton(tr("Cancel  "), "ToolButton1", &TFormja::ToolButton1Click);
}

void TFormja::ThankYouClick() {
    try {
        const std::string page = MakeThankYouPage(workspace_.project_folder, workspace_.app_folder);
        success_->FillPages(QString::fromStdString(workspace_.project_folder));
        success_->SetDestination(QString::fromStdString(page));
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromUtf8(error.what()));
    }
}

void TFormja::ToolButton3Click() {
    const PhpScriptSettings settings{
        name_->text().toStdString(), form_page_->currentText().toStdString(),
        recipient_->text().toStdString(), success_->Destination().toStdString(),
        failure_->Destination().toStdString()};
    RunAndClose([&] {
        const std::string path =
            CreatePhpScript(workspace_.project_folder, settings, [&](const std::string& file) {
                return AppPrompts().Ask(this, QString::fromStdString(ReplaceScriptQuestion(file)),
                                        false) == Prompts::Answer::Yes;
            });
        if (path.empty()) {
            return false; // the existing script stays; the dialog stays open
        }
        AppPrompts().Inform(this, tr(kCreatedMessage));
        return true;
    });
}

void TFormja::ToolButton1Click() {
    reject();
}

} // namespace qf
