#include "services/icons.h"
#include "app/main_window.h"
#include "workspace/app_folder.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // Without a window system there is nothing to show; say so in one line
    // rather than with the platform plugin's report.
    const bool has_display = std::getenv("DISPLAY") != nullptr ||
                             std::getenv("WAYLAND_DISPLAY") != nullptr ||
                             std::getenv("QT_QPA_PLATFORM") != nullptr;
    if (!has_display) {
        std::fputs("quenfort: no display to open the editor on (set DISPLAY or WAYLAND_DISPLAY)\n",
                   stderr);
        return 1;
    }
    // The embedded browser shares the window system's drawing contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(qf::kApplicationName);
    QApplication::setApplicationDisplayName("Quenfort Website Developer");
    QApplication::setWindowIcon(qf::ProductIcon());
    qf::TForm1 window;
    window.show();
    return QApplication::exec();
}
