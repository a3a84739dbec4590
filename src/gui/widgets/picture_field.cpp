#include "widgets/picture_field.h"

#include "components/picture_import.h"
#include "error.h"
#include "services/prompts.h"
#include "web_picture.h"
#include "workspace/workspace.h"

#include <QButtonGroup>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace qf {

const QString kImagePictureFilter =
    "All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf *.gif *.png *.tif *.jpe);;"
    "JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;Bitmaps (*.bmp);;Icons (*.ico);;"
    "Enhanced Metafiles (*.emf);;Metafiles (*.wmf)";

const QString kPictureFilter =
    "All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf *.png *.tif *.jpe);;"
    "JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;Bitmaps (*.bmp);;Icons (*.ico);;"
    "Enhanced Metafiles (*.emf);;Metafiles (*.wmf)";

const QString kTiffPictureFilter =
    "All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf *.gif *.png *.tiff *.jpe);;"
    "JPEG Image File (*.jpg);;JPEG Image File (*.jpeg);;Bitmaps (*.bmp);;Icons (*.ico);;"
    "Enhanced Metafiles (*.emf);;Metafiles (*.wmf)";

namespace {

PictureImportOptions& OptionsInUse() {
    static PictureImportOptions options;
    return options;
}

// A chosen file made to travel with the project: copied into its images
// folder (a picture, made fit for the web) or media folder (anything else)
// when it lies elsewhere, and named relative to `page_folder`; without a
// project, its path. Empty after a failed copy, whose message is shown.
// `size` receives a picture's size as it will be shown.
QString TravellingLocation(QWidget* parent, const QString& path, bool picture,
                           const std::string& project_folder, const std::string& page_folder,
                           QSize* size) {
    if (project_folder.empty()) {
        if (picture && size != nullptr) {
            if (const auto shown = ShownPictureSize(QFile::encodeName(path).toStdString())) {
                *size = QSize(shown->width, shown->height);
            }
        }
        return path;
    }
    const std::string file = path.toStdString();
    try {
        if (!picture) {
            return QString::fromStdString(ImportMedia(project_folder, page_folder, file));
        }
        const ImportedPicture imported =
            ImportWebPicture(project_folder, page_folder, file, WebPictureImport(OptionsInUse()));
        if (size != nullptr && imported.width > 0 && imported.height > 0) {
            *size = QSize(imported.width, imported.height);
        }
        return QString::fromStdString(imported.location);
    } catch (const CommandError& error) {
        AppPrompts().ShowError(parent, QString::fromStdString(error.what()));
        return {};
    }
}

} // namespace

void SetPictureImportOptions(const PictureImportOptions& options) {
    OptionsInUse() = options;
}

const PictureImportOptions& PictureImportOptionsInUse() {
    return OptionsInUse();
}

QString ChoosePicture(QWidget* parent, const QString& filter, QString& folder,
                      const std::string& project_folder, const std::string& page_folder,
                      QString* file, QSize* size) {
    const QString path = AppPrompts().OpenPicture(parent, QObject::tr("Open"), folder, filter);
    if (path.isEmpty()) {
        return {};
    }
    folder = QFileInfo(path).absolutePath();
    if (file != nullptr) {
        *file = path;
    }
    return TravellingLocation(parent, path, true, project_folder, page_folder, size);
}

PictureField::PictureField(const QString& edit_name, const QString& button_name,
                           const QString& filter, QWidget* parent)
    : QWidget(parent), filter_(filter) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(edit_name);
    edit_->setMinimumWidth(220);
    button_ = new QToolButton(this);
    button_->setObjectName(button_name);
    button_->setText("[...]  ");
    button_->setToolTip(tr("Browse for a picture"));
    // The field keeps its width while "Url" hides the button.
    QSizePolicy policy = button_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    button_->setSizePolicy(policy);
    row->addWidget(edit_, 1);
    row->addWidget(button_);
    connect(button_, &QToolButton::clicked, this, &PictureField::Browse);
}

QString PictureField::Text() const {
    return edit_->text();
}

void PictureField::SetProject(const Workspace& workspace) {
    SetProject(workspace.project_folder, PictureBaseFolder(workspace));
}

void PictureField::SetProject(const std::string& project_folder, const std::string& page_folder) {
    project_folder_ = project_folder;
    page_folder_ = page_folder;
    folder_ = QString::fromStdString(project_folder);
}

void PictureField::Browse() {
    QString file;
    QString location;
    QSize size;
    if (any_file_) {
        file = AppPrompts().OpenFile(window(), tr("Open"), folder_, filter_);
        if (!file.isEmpty()) {
            folder_ = QFileInfo(file).absolutePath();
            location =
                TravellingLocation(window(), file, false, project_folder_, page_folder_, nullptr);
        }
    } else {
        location =
            ChoosePicture(window(), filter_, folder_, project_folder_, page_folder_, &file, &size);
    }
    if (location.isEmpty()) {
        return;
    }
    if (forward_slashes_) {
        location.replace('\\', '/');
    }
    edit_->setText(location);
    Q_EMIT PictureChosen(file, size);
}

LocationChoice::LocationChoice(const Names& names, const QString& filter, QWidget* parent,
                               Content content)
    : QWidget(parent) {
    const bool picture = content == Content::Picture;
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto* radios = new QHBoxLayout;
    local_ = new QRadioButton(tr("Local"), this);
    local_->setObjectName(names.local_radio);
    local_->setToolTip(picture ? tr("A picture file on this computer")
                               : tr("A file on this computer"));
    url_ = new QRadioButton(tr("Url"), this);
    url_->setObjectName(names.url_radio);
    url_->setToolTip(picture ? tr("A picture on the web") : tr("A file on the web"));
    auto* group = new QButtonGroup(this);
    group->addButton(local_);
    group->addButton(url_);
    radios->addWidget(local_);
    radios->addWidget(url_);
    radios->addStretch(1);
    column->addLayout(radios);
    field_ = new PictureField(names.edit, names.button, filter, this);
    if (picture) {
        field_->Edit()->setText("http://");
    } else {
        field_->SetAnyFile(true);
        field_->Button()->setText("[...] ");
        field_->Button()->setToolTip(tr("Browse for a file"));
    }
    column->addWidget(field_);
    connect(local_, &QRadioButton::toggled, this, &LocationChoice::LocalToggled);
    connect(url_, &QRadioButton::toggled, this, &LocationChoice::UrlToggled);
}

QString LocationChoice::Text() const {
    return field_->Text();
}

void LocationChoice::LocalToggled(bool checked) {
    if (checked) {
        field_->Button()->show();
        field_->Edit()->clear();
    }
}

void LocationChoice::UrlToggled(bool checked) {
    if (checked) {
        field_->Button()->hide();
        field_->Edit()->setText("http://");
    }
}

} // namespace qf
