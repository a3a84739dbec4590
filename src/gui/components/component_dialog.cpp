#include "components/component_dialog.h"

#include "components/insertion.h"
#include "document/kind_table.h"
#include "error.h"
#include "services/prompts.h"
#include "services/utf8_text.h"
#include "site/shared_parts.h"
#include "workspace/component_values.h"
#include "workspace/workspace.h"

#include <QLabel>
#include <QPushButton>

namespace qf {

ComponentDialog::ComponentDialog(Workspace& workspace, const QString& caption,
                                 const QString& heading, QWidget* parent)
    : ToolDialog(caption, heading, parent), workspace_(workspace) {}

namespace {

// The kind table's row of a kind that has a dialog.
const Kind& DialogKind(std::string_view kind_tag) {
    const Kind* kind = FindKindByTag(kind_tag);
    Q_ASSERT(kind != nullptr);
    return *kind;
}

} // namespace

ComponentDialog::ComponentDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent)
    : ComponentDialog(workspace, Q(DialogKind(kind_tag).dialog_caption),
                      Q(DialogKind(kind_tag).dialog_caption) + ":", parent) {
    setObjectName(Q(DialogKind(kind_tag).dialog_class));
    kind_tag_ = kind_tag;
}

QPushButton* ComponentDialog::AddOkButton(const QString& text, const QString& object_name) {
    QPushButton* button = AddButton(text, object_name);
    button->setDefault(true);
    button->setToolTip(tr("Insert into the selected area (Enter)"));
    ok_button_ = button;
    return button;
}

QPushButton* ComponentDialog::CancelButton(const QString& text, const QString& object_name) {
    QPushButton* button = AddButton(text, object_name);
    button->setToolTip(tr("Close without change (Esc)"));
    return button;
}

QPushButton* ComponentDialog::AddCancelButton(const QString& text, const QString& object_name) {
    QPushButton* button = CancelButton(text, object_name);
    connect(button, &QPushButton::clicked, this, &QDialog::reject);
    return button;
}

void ComponentDialog::StartModify(const std::string& entry, const FieldValues& values) {
    modified_entry_ = entry;
    const QString title = "Modify " + Q(entry);
    setWindowTitle(title);
    Heading()->setText(title);
    fillers_.Fill(values);
    if (ok_button_ != nullptr) {
        ok_button_->setToolTip(tr("Change %1 in its place and close (Enter)").arg(Q(entry)));
    }
    QPushButton* edit_html = InsertButton(0, tr("Edit HTML..."), "EditHtml");
    edit_html->setToolTip(tr("Change the HTML of %1 as source instead").arg(Q(entry)));
    connect(edit_html, &QPushButton::clicked, this, [this] { done(kEditHtmlResult); });
}

FieldValues ComponentDialog::GatheredValues() {
    FieldValues values;
    if (ok_button_ != nullptr) {
        gathering_ = &values;
        ok_button_->click();
        gathering_ = nullptr;
    }
    return values;
}

void ComponentDialog::Insert(std::string_view kind_tag, const FieldValues& values) {
    if (gathering_ != nullptr) {
        *gathering_ = values;
        return;
    }
    RunAndClose([&] {
        if (modified_entry_.empty()) {
            InsertComponent(workspace_, kind_tag, values);
            return true;
        }
        const std::string part = SharedPartOfEntry(workspace_, modified_entry_);
        if (part.empty()) {
            ModifyComponent(workspace_, modified_entry_, values);
            return true;
        }
        // A copy of a shared part: on every page that shows it, or here only
        // (and then no longer shared).
        const std::size_t pages = PagesSharing(workspace_.project_folder, part).size();
        const QString answer = AppPrompts().Choose(
            this,
            tr("Change on all %1 pages?").arg(pages) + "\n\n" +
                tr("%1 is the shared part \"%2\". Changed on this page only, it is no longer "
                   "shared.")
                    .arg(Q(modified_entry_), Q(part)),
            {tr("All Pages"), tr("This Page Only"), tr("Cancel")});
        if (answer == tr("Cancel") || answer.isEmpty()) {
            return false;
        }
        const SiteChangeReport report =
            ModifySharedComponent(workspace_, modified_entry_, values, answer == tr("All Pages"));
        if (!report.failed.empty()) {
            QStringList failed;
            for (const std::string& line : report.failed) {
                failed << Q(line);
            }
            AppPrompts().ShowError(this, tr("These pages could not be changed (the others were):") +
                                             "\n" + failed.join("\n"));
        }
        return true;
    });
}

void ComponentDialog::RunAndClose(const std::function<bool()>& command) {
    bool done = false;
    try {
        done = command();
    } catch (const CommandError& error) {
        AppPrompts().ShowError(this, QString::fromStdString(error.what()));
        return;
    }
    if (done) {
        accept();
    }
}

} // namespace qf
