#include "services/prompts.h"

#include "web_picture.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace qf {

namespace {

class QtPrompts : public Prompts {
public:
    void Inform(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
    }

    void ShowError(QWidget* parent, const QString& text) override {
        if (!text.isEmpty()) {
            QMessageBox::critical(parent, QApplication::applicationDisplayName(), text);
        }
    }

    QString Choose(QWidget* parent, const QString& text, const QStringList& buttons) override {
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                        QMessageBox::NoButton, parent);
        QList<QAbstractButton*> added;
        for (qsizetype i = 0; i < buttons.size(); ++i) {
            const bool last = i + 1 == buttons.size();
            added.append(box.addButton(buttons[i],
                                       last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
        }
        if (!added.isEmpty()) {
            box.setEscapeButton(added.last());
        }
        box.exec();
        const qsizetype chosen = added.indexOf(box.clickedButton());
        return chosen >= 0 ? buttons[chosen] : buttons.value(buttons.size() - 1);
    }

    Answer Ask(QWidget* parent, const QString& text, bool with_cancel,
               std::optional<QPoint> position) override {
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                        QMessageBox::Yes | QMessageBox::No |
                            (with_cancel ? QMessageBox::Cancel : QMessageBox::NoButton),
                        parent);
        if (position) {
            box.move(*position);
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return with_cancel ? Answer::Cancel : Answer::No;
        }
    }

    std::optional<QString> Secret(QWidget* parent, const QString& text) override {
        bool ok = false;
        const QString secret = QInputDialog::getText(parent, QApplication::applicationDisplayName(),
                                                     text, QLineEdit::Password, QString(), &ok);
        if (!ok) {
            return std::nullopt;
        }
        return secret;
    }

    QString OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }

    QString OpenPicture(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter) override {
        // The parent may close while the dialog runs and take the dialog with it.
        QPointer<QFileDialog> dialog = NewPictureDialog(parent, caption, folder, filter);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        if (dialog == nullptr) {
            return QString();
        }
        const QStringList files = dialog->selectedFiles();
        delete dialog;
        return accepted && !files.isEmpty() ? files.first() : QString();
    }

    QString ExistingFolder(QWidget* parent, const QString& caption, const QString& start) override {
        return QFileDialog::getExistingDirectory(parent, caption, start);
    }

    std::optional<QColor> Colour(QWidget* parent, const QColor& initial) override {
        const QColor colour = QColorDialog::getColor(initial, parent);
        if (!colour.isValid()) {
            return std::nullopt;
        }
        return colour;
    }

    void OpenUrl(QWidget*, const QUrl& url) override { QDesktopServices::openUrl(url); }

    bool Print(QWidget* parent, QPrinter* printer, const PaintPages& paint) override {
        std::unique_ptr<QPrintPreviewDialog> dialog(NewPrintPreview(parent, printer, paint));
        return dialog->exec() == QDialog::Accepted;
    }
};

Prompts* installed = nullptr;

} // namespace

Prompts& AppPrompts() {
    static QtPrompts qt_prompts;
    return installed != nullptr ? *installed : qt_prompts;
}

void InstallPrompts(Prompts* prompts) {
    installed = prompts;
}

namespace {

// The side of the square a previewed picture is shrunk to fit.
constexpr int kPreviewSide = 200;

} // namespace

PicturePreview::PicturePreview(QWidget* parent) : QWidget(parent) {
    setObjectName("PicturePreview");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 0, 0, 0);
    picture_ = new QLabel(this);
    picture_->setObjectName("PreviewPicture");
    picture_->setFrameShape(QFrame::StyledPanel);
    picture_->setFrameShadow(QFrame::Sunken);
    picture_->setAlignment(Qt::AlignCenter);
    const int frame = 2 * picture_->frameWidth();
    picture_->setFixedSize(kPreviewSide + frame, kPreviewSide + frame);
    pixel_size_ = new QLabel(this);
    pixel_size_->setObjectName("PreviewPixelSize");
    pixel_size_->setAlignment(Qt::AlignCenter);
    column->addWidget(picture_);
    column->addWidget(pixel_size_);
    column->addStretch(1);
    ShowFile(QString());
}

void PicturePreview::ShowFile(const QString& path) {
    QImage image;
    QSize size;
    if (!path.isEmpty() && PictureSafeToRead(QFile::encodeName(path).toStdString())) {
        QImageReader reader(path);
        size = reader.size();
        const QSize box(kPreviewSide, kPreviewSide);
        // A large picture is read at the preview's size where its format allows.
        if (size.isValid() && (size.width() > box.width() || size.height() > box.height())) {
            reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
        }
        image = reader.read();
        if (!size.isValid()) {
            size = image.size();
        }
        if (image.width() > box.width() || image.height() > box.height()) {
            image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
    }
    if (image.isNull()) {
        picture_->setPixmap(QPixmap());
        picture_->setText(tr("No preview"));
        pixel_size_->clear();
        return;
    }
    picture_->setPixmap(QPixmap::fromImage(image));
    pixel_size_->setText(tr("%1 x %2 pixels").arg(size.width()).arg(size.height()));
}

QFileDialog* NewPictureDialog(QWidget* parent, const QString& caption, const QString& folder,
                              const QString& filter) {
    auto* dialog = new QFileDialog(parent, caption, folder, filter);
    dialog->setObjectName("OpenPictureDialog");
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    auto* preview = new PicturePreview(dialog);
    // The widget dialog lays its file list out in the second row of a grid;
    // the preview takes a new column beside it.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
        grid->addWidget(preview, 1, grid->columnCount(), Qt::AlignTop);
    } else if (dialog->layout() != nullptr) {
        dialog->layout()->addWidget(preview);
    }
    QObject::connect(dialog, &QFileDialog::currentChanged, preview, &PicturePreview::ShowFile);
    // Room for the file list's columns beside the preview.
    dialog->resize(QSize(800, 440).expandedTo(dialog->minimumSizeHint()));
    return dialog;
}

QPrintPreviewDialog* NewPrintPreview(QWidget* parent, QPrinter* printer,
                                     const Prompts::PaintPages& paint) {
    auto* dialog = new QPrintPreviewDialog(printer, parent);
    dialog->setObjectName("PrintPreviewDialog");
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, paint);
    // Room for a whole page at a readable size.
    dialog->resize(QSize(760, 820).expandedTo(dialog->minimumSizeHint()));
    return dialog;
}

} // namespace qf
