#include "components/component_dialog.h"

#include "components/insertion.h"
#include "document/kind_table.h"
#include "error.h"
#include "services/prompts.h"
#include "workspace/workspace.h"

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

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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

void ComponentDialog::Insert(std::string_view kind_tag, const FieldValues& values) {
    RunAndClose([&] {
        InsertComponent(workspace_, kind_tag, values);
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
