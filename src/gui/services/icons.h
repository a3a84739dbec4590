#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;
#include <QString>
#include <QStringList>

namespace qf {

// The editor's icons, drawn in code so that they are crisp at any scale:
// one per tool bar and palette button ("new-project", "image", "table", ...).
// An unknown name gives a plain page. Each icon carries its disabled look:
// the same picture greyed and faded.
QIcon ToolIcon(const QString& name);

// The names ToolIcon draws, sorted.
QStringList ToolIconNames();

// The product's picture (the about box's and the window's icon), `size`
// pixels square.
QPixmap ProductPicture(int size);
// Paints the product's picture `size` units square on any device (the
// installed icon files are made with it).
void PaintProductPicture(QPainter& painter, int size);
QIcon ProductIcon();

} // namespace qf
