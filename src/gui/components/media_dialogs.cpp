#include "components/media_dialogs.h"

#include "widgets/picture_field.h"
#include "widgets/simple_fields.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace qf {

namespace {

// What differs between the four dialogs.
struct MediaKind {
    std::string_view kind_tag;
    const char* source_label;
    const char* filter; // the "[...] " open dialog's, in Qt's syntax
    bool sized;
    const char* ok_text;
};

constexpr MediaKind kMediaKinds[] = {
    {"Bgsound", "Sound file source:", "All (*)", false, "OK  "},
    {"Video", "Video file source:", "All (*);;Video Files (*.avi *.wma *.mpg *.mpeg)", true,
     "OK  "},
    {"Flash", " File source:", "All (*);;Flash Files (*.swf)", true, "OK  "},
    {"Shock", " File source:", "All (*);;Shockwave Files (*.swf)", true, " OK  "},
};

const MediaKind& FindMediaKind(std::string_view kind_tag) {
    for (const MediaKind& kind : kMediaKinds) {
        if (kind.kind_tag == kind_tag) {
            return kind;
        }
    }
    Q_ASSERT(false);
    return kMediaKinds[0];
}

} // namespace

MediaDialog::MediaDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent)
    : ComponentDialog(workspace, kind_tag, parent) {
    const MediaKind& kind = FindMediaKind(kind_tag);
    QFormLayout* form = Form();
    source_ = new LocationChoice({"RadioButton1", "RadioButton2", "Edit1", "ToolButton1"},
                                 kind.filter, this, LocationChoice::Content::MediaFile);
    // A file from elsewhere is copied into the project's media folder.
    source_->Field()->SetProject(workspace);
    form->addRow(tr(kind.source_label), source_);
    if (kind.sized) {
        width_ = MakeSpinField("SpinEdit1", this);
        width_->setToolTip(tr("Width of the player in pixels"));
        height_ = MakeSpinField("SpinEdit2", this);
        height_->setToolTip(tr("Height of the player in pixels"));
        form->addRow(tr(" Width:"), width_);
        form->addRow(tr("   Height:"), height_);
    }
    if (kind_tag == "Video") {
        auto_start_ = new QCheckBox(tr("Auto Start"), this);
        auto_start_->setObjectName("CheckBox1");
        auto_start_->setToolTip(tr("Play the video as soon as the page opens"));
        form->addRow(QString(), auto_start_);
    }
    fillers_.Add("src", source_->Field());
    if (width_ != nullptr) {
        fillers_.Add("width", width_);
        fillers_.Add("height", height_);
    }
    if (auto_start_ != nullptr) {
        fillers_.Add("autostart", auto_start_);
    }
    if (kind_tag == "Bgsound") {
        source_->setToolTip(tr("The sound plays behind the whole page, whatever area is "
                               "selected"));
    }

    connect(AddOkButton(tr(kind.ok_text), "ToolButton2"), &QPushButton::clicked, this,
            &MediaDialog::ToolButton2Click);
    AddCancelButton(tr("Cancel  "), "ToolButton3", &MediaDialog::ToolButton3Click);
}

void MediaDialog::ToolButton2Click() {
    FieldValues values{{"src", source_->Text().toStdString()}};
    if (width_ != nullptr) {
        values["width"] = std::to_string(SpinValue(width_));
        values["height"] = std::to_string(SpinValue(height_));
    }
    if (auto_start_ != nullptr) {
        values["autostart"] = FlagText(auto_start_->isChecked());
    }
    Insert(kind_tag_, values);
}

void MediaDialog::ToolButton3Click() {
    reject();
}

} // namespace qf
