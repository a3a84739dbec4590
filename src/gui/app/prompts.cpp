#include "app/prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace qf {

namespace {

class QtPrompts : public Prompts {
public:
    void Inform(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
    }

    void ShowError(QWidget* parent, const QString& text) override {
        QMessageBox::critical(parent, QApplication::applicationDisplayName(), text);
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

    QString OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
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

    bool Print(QWidget* parent, QPrinter* printer) override {
        QPrintDialog dialog(printer, parent);
        return dialog.exec() == QDialog::Accepted;
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

} // namespace qf
