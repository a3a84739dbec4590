#include "dialog_driving.h"

#include "document/page_file.h"
#include "services/preview.h"
#include "test_pages.h"
#include "workspace/workspace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace qf::test {

Workspace TwoAreaWorkspace(const QString& root) {
    QDir(root).mkpath("app");
    QDir(root).mkpath("site");
    const std::string folder = root.toStdString() + "/";
    Workspace workspace;
    workspace.app_folder = folder + "app/";
    workspace.project_folder = folder + "site/";
    workspace.page_name = "index.html";
    workspace.page_path = workspace.project_folder + "index.html";
    workspace.page_text = PageWith("<!---Table1---!><!---Table2---!>", TableArea(1) + CellArea(2));
    WritePageFile(workspace.page_path, workspace.page_text);
    workspace.area_list = {{"Area1", "Area2"}, "Area1"};
    workspace.palette_enabled = true;
    return workspace;
}

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

bool HasFocusInWindow(QWidget* widget) {
    QWidget* target = widget;
    while (target->focusProxy() != nullptr) {
        target = target->focusProxy();
    }
    return target->window()->focusWidget() == target;
}

void OnModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    // Long enough for a dialog with a preview to open on a machine running
    // other tests beside: a modal dialog nobody closes would hold the test
    // until its time runs out, with nothing said.
    const QDeadlineTimer deadline(60000);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, act] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr && !deadline.hasExpired()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (dialog != nullptr) {
            act(dialog);
        } else {
            qWarning("OnModal: no modal dialog opened within a minute");
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
