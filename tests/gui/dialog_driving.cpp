#include "dialog_driving.h"

#include "services/preview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace qf::test {

void Click(QWidget* dialog, const char* name) {
    Find<QAbstractButton>(dialog, name)->click();
}

void Type(QWidget* dialog, const char* name, const QString& text) {
    Find<QLineEdit>(dialog, name)->setText(text);
}

void Shoot(QWidget* dialog, const QString& file, const char* preview) {
    QDir().mkpath("/tmp/shots");
    dialog->show();
    if (preview != nullptr) {
        Find<Preview>(dialog, preview)->WaitForLoaded();
        QTest::qWait(300);
    }
    QApplication::processEvents();
    dialog->grab().save("/tmp/shots/" + file + ".png");
}

void OnModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, act] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr && !deadline.hasExpired()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (dialog != nullptr) {
            act(dialog);
        }
    });
    timer->start(20);
}

QToolButton* PaletteButton(QWidget* window, const QString& hint) {
    for (QToolButton* button : window->findChildren<QToolButton*>()) {
        if (button->toolTip() == hint) {
            return button;
        }
    }
    qFatal("no palette button %s", qPrintable(hint));
}

} // namespace qf::test
