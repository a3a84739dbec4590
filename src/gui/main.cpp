#include "about/version.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "document/file_io.h"
#include "services/icons.h"
#include "workspace/app_folder.h"
#include "workspace/session.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

QStringList Arguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

int Fail(const QString& message) {
    std::fputs(qPrintable("quenfort: " + message + "\n"), stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    qf::TreatFileSizeLimitAsWriteError();
    // Help and version need no display; neither does a plain mistake.
    const QStringList arguments = Arguments(argc, argv);
    qf::EditorCommandLine line = qf::ParseEditorCommandLine(arguments);
    if (line.help) {
        std::fputs(qPrintable(qf::EditorHelpText()), stdout);
        return 0;
    }
    if (line.version) {
        std::fputs(qPrintable(qf::EditorVersionText()), stdout);
        return 0;
    }
    // Without a window system there is nothing to show; say so in one line
    // rather than with the platform plugin's report.
    const bool has_display =
        std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
        std::getenv("QT_QPA_PLATFORM") != nullptr || arguments.contains("-platform");
    if (!line.error.isEmpty() && !has_display) {
        return Fail(line.error);
    }
    if (!has_display) {
        std::fputs("quenfort: no display to open the editor on (set DISPLAY or WAYLAND_DISPLAY)\n",
                   stderr);
        return 1;
    }
    // The embedded browser shares the window system's drawing contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // Read again without Qt's own options (-style, -platform, ...).
    line = qf::ParseEditorCommandLine(QApplication::arguments());
    if (!line.error.isEmpty()) {
        return Fail(line.error);
    }
    QApplication::setApplicationName(qf::kApplicationName);
    QApplication::setApplicationVersion(qf::kVersion);
    QApplication::setApplicationDisplayName("Quenfort Website Developer");
    // Ties the windows to the desktop entry (its name and icon in task bars).
    QGuiApplication::setDesktopFileName("quenfort");
    QApplication::setWindowIcon(qf::ProductIcon());
    qf::TForm1 window;
    window.RememberSession(qf::DefaultSessionFile());
    window.OpenAtStart(line);
    window.show();
    return QApplication::exec();
}
