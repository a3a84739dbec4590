// Writes the product's icon as the desktop's icon themes take it: a scalable
// SVG and PNG pictures, all painted by the editor's own icon code.
//   quenfort-icon-files FOLDER
// writes FOLDER/quenfort.svg and FOLDER/quenfort-SIZE.png for each size.

#include "services/icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: quenfort-icon-files FOLDER\n", stderr);
        return 2;
    }
    // Pictures need fonts and pixmaps, but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "quenfort-icon-files: cannot make the folder %s\n", argv[1]);
        return 1;
    }

    constexpr int kSvgSize = 256;
    QSvgGenerator svg;
    svg.setFileName(folder.filePath("quenfort.svg"));
    svg.setSize(QSize(kSvgSize, kSvgSize));
    svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
    svg.setTitle("Quenfort Website Developer");
    svg.setDescription("The icon of Quenfort Website Developer");
    {
        QPainter painter;
        if (!painter.begin(&svg)) {
            std::fputs("quenfort-icon-files: cannot write quenfort.svg\n", stderr);
            return 1;
        }
        qf::PaintProductPicture(painter, kSvgSize);
    }

    for (int size : {48, 128, 256}) {
        const QString name = QString("quenfort-%1.png").arg(size);
        if (!qf::ProductPicture(size).save(folder.filePath(name), "PNG")) {
            std::fprintf(stderr, "quenfort-icon-files: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
