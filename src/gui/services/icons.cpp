#include "services/icons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace qf {

namespace {

// Every icon is drawn on a 24 by 24 grid.
constexpr double kGrid = 24.0;

const QColor kInk(0x33, 0x3d, 0x4d);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kSky(0xa9, 0xd4, 0xf5);
const QColor kGrass(0x4c, 0xaf, 0x50);
const QColor kSun(0xff, 0xc1, 0x07);
const QColor kFolder(0xf6, 0xc3, 0x4a);
const QColor kBlue(0x1e, 0x6f, 0xd9);
const QColor kRed(0xd6, 0x3a, 0x2f);
const QColor kGreen(0x2e, 0x9d, 0x4c);
const QColor kGrey(0x9a, 0xa5, 0xb1);
const QColor kLight(0xe8, 0xee, 0xf4);

QPen Ink(double width = 1.3, const QColor& colour = kInk) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QFont GlyphFont(double pixels, bool bold = true) {
    QFont font("DejaVu Sans");
    font.setPixelSize(int(pixels));
    font.setBold(bold);
    return font;
}

void Text(QPainter& p, const QRectF& box, const QString& text, double pixels,
          const QColor& colour = kInk, bool bold = true) {
    p.setFont(GlyphFont(pixels, bold));
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

// The outline pen with a fill for the shape drawn next.
void Outlined(QPainter& p, const QBrush& fill) {
    p.setPen(Ink());
    p.setBrush(fill);
}

// The arrow of undo, turning back to the left; mirrored for redo.
void TurningArrow(QPainter& p, bool mirrored) {
    if (mirrored) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    QPainterPath path(QPointF(20, 19));
    path.cubicTo(QPointF(20, 9), QPointF(14, 8), QPointF(6, 9));
    p.setPen(Ink(2.4, kBlue));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.drawPolyline(QPolygonF({QPointF(10, 4.5), QPointF(5.5, 9), QPointF(10, 13.5)}));
}

// A round disc filling the grid.
void Disc(QPainter& p, const QColor& fill) {
    Outlined(p, fill);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
}

// A thin-lined light panel: a scroll bar or a drop-down button.
void Panel(QPainter& p, const QRectF& r) {
    p.setPen(Ink(1.0));
    p.setBrush(kLight);
    p.drawRect(r);
}

// A closed outline through the points, in order.
QPainterPath ClosedPath(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

// A sheet of paper with a folded corner.
void Page(QPainter& p, const QRectF& r = QRectF(4.5, 2.5, 14, 19)) {
    const double fold = 4.5;
    Outlined(p, kPaper);
    p.drawPath(ClosedPath({r.topLeft(), QPointF(r.right() - fold, r.top()),
                           QPointF(r.right(), r.top() + fold), r.bottomRight(), r.bottomLeft()}));
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(kLight);
    p.drawPath(corner);
}

void PageLines(QPainter& p, double left, double top, int count, double width = 8) {
    p.setPen(Ink(1.1, kGrey));
    for (int i = 0; i < count; ++i) {
        p.drawLine(QPointF(left, top + i * 3), QPointF(left + width - (i % 2) * 2, top + i * 3));
    }
}

// A page with lines of text on it.
void TextPage(QPainter& p) {
    Page(p);
    PageLines(p, 7, 9, 3, 7);
}

void Folder(QPainter& p, bool open) {
    Outlined(p, kFolder.darker(112));
    p.drawPath(ClosedPath({QPointF(2.5, 19.5), QPointF(2.5, 5.5), QPointF(8.5, 5.5),
                           QPointF(10.5, 7.5), QPointF(19.5, 7.5), QPointF(19.5, 19.5)}));
    p.setBrush(kFolder);
    if (open) {
        p.drawPath(
            ClosedPath({QPointF(2.5, 19.5), QPointF(6, 11), QPointF(22, 11), QPointF(19.5, 19.5)}));
    } else {
        p.drawPath(ClosedPath(
            {QPointF(2.5, 19.5), QPointF(2.5, 10), QPointF(19.5, 10), QPointF(19.5, 19.5)}));
    }
}

// Small round badges in the lower right corner: a disc with white strokes.
void Badge(QPainter& p, const QColor& colour, double stroke, std::initializer_list<QLineF> glyph) {
    p.setPen(Ink(1.2, kPaper));
    p.setBrush(colour);
    p.drawEllipse(QPointF(17.5, 17.5), 5.3, 5.3);
    p.setPen(Ink(stroke, kPaper));
    for (const QLineF& line : glyph) {
        p.drawLine(line);
    }
}

void PlusBadge(QPainter& p) {
    Badge(p, kGreen, 1.8, {QLineF(17.5, 14.8, 17.5, 20.2), QLineF(14.8, 17.5, 20.2, 17.5)});
}

void CrossBadge(QPainter& p) {
    Badge(p, kRed, 1.8, {QLineF(15.5, 15.5, 19.5, 19.5), QLineF(19.5, 15.5, 15.5, 19.5)});
}

void ArrowBadge(QPainter& p) {
    Badge(p, kBlue, 1.7,
          {QLineF(14.8, 17.5, 20.0, 17.5), QLineF(17.8, 15.2, 20.0, 17.5),
           QLineF(17.8, 19.8, 20.0, 17.5)});
}

// A framed landscape: sky, sun and a green hill.
void Picture(QPainter& p, const QRectF& r = QRectF(2.5, 4.5, 19, 15)) {
    Outlined(p, kSky);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.save();
    p.setClipRect(r.adjusted(0.7, 0.7, -0.7, -0.7));
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.27, r.top() + r.height() * 0.3),
                  r.height() * 0.14, r.height() * 0.14);
    p.setBrush(kGrass);
    p.drawPath(ClosedPath(
        {r.bottomLeft(), QPointF(r.left() + r.width() * 0.35, r.top() + r.height() * 0.45),
         QPointF(r.left() + r.width() * 0.6, r.top() + r.height() * 0.75),
         QPointF(r.left() + r.width() * 0.75, r.top() + r.height() * 0.6), r.bottomRight()}));
    p.restore();
}

void Chain(QPainter& p, const QPointF& centre, double scale = 1.0) {
    p.save();
    p.translate(centre);
    p.rotate(-45);
    p.scale(scale, scale);
    p.setBrush(Qt::NoBrush);
    p.setPen(Ink(2.2, kInk));
    p.drawRoundedRect(QRectF(-7, -2.5, 8, 5), 2.5, 2.5);
    p.setPen(Ink(2.2, kBlue));
    p.drawRoundedRect(QRectF(-1, -2.5, 8, 5), 2.5, 2.5);
    p.restore();
}

void Envelope(QPainter& p) {
    Outlined(p, kPaper);
    p.drawRoundedRect(QRectF(2.5, 5.5, 19, 13), 1.5, 1.5);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(3, 6.5), QPointF(12, 13), QPointF(21, 6.5)}));
}

void Grid(QPainter& p, const QRectF& r, int rows, int columns, const QColor& head = kSky) {
    Outlined(p, kPaper);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(head);
    p.drawRect(QRectF(r.left() + 0.6, r.top() + 0.6, r.width() - 1.2, r.height() / rows - 0.6));
    p.setPen(Ink(1.0));
    for (int row = 1; row < rows; ++row) {
        const double y = r.top() + r.height() * row / rows;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    for (int column = 1; column < columns; ++column) {
        const double x = r.left() + r.width() * column / columns;
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(Ink());
    p.drawRect(r);
}

// A form field box.
void Field(QPainter& p, const QRectF& r) {
    Outlined(p, kPaper);
    p.drawRoundedRect(r, 1.2, 1.2);
}

void Button(QPainter& p, const QColor& colour) {
    QLinearGradient fill(0, 6, 0, 18);
    fill.setColorAt(0, colour.lighter(140));
    fill.setColorAt(1, colour);
    p.setPen(Ink(1.2, colour.darker(150)));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1.5, 6.5, 21, 11), 3, 3);
}

void Star(QPainter& p, const QPointF& c, double radius, const QColor& colour) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? radius : radius * 0.45;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(c.x() + r * std::cos(angle), c.y() + r * std::sin(angle));
    }
    p.setPen(Ink(0.9, colour.darker(160)));
    p.setBrush(colour);
    p.drawPolygon(star);
}

// An X with a small 2 beside it, lowered or raised.
void ScriptGlyphs(QPainter& p, bool raised) {
    Text(p, QRectF(0, raised ? 4 : 1, 17, 20), "X", 15, kInk);
    Text(p, QRectF(13, raised ? 1 : 12, 10, 11), "2", 9, kBlue);
}

// The rows of a list as the page shows them: the item list's are only
// indented (no number, no bullet), the bullet and spaced lists' carry a
// bullet each, the spaced list's further apart.
void ListRows(QPainter& p, int kind) {
    for (int i = 0; i < 3; ++i) {
        const double y = (kind == 2 ? 5.5 + i * 6.5 : 6 + i * 6);
        if (kind != 0) {
            p.setPen(Ink(1.0, kBlue));
            p.setBrush(kBlue);
            p.drawEllipse(QPointF(4.5, y), 1.6, 1.6);
        }
        p.setPen(Ink(1.6, kInk));
        p.drawLine(QPointF(9, y), QPointF(i == 1 ? 18 : 21, y));
    }
}

using Painter = std::function<void(QPainter&)>;

const QHash<QString, Painter>& Painters() {
    static const QHash<QString, Painter> painters = {
        {"new-project",
         [](QPainter& p) {
             Folder(p, false);
             PlusBadge(p);
         }},
        {"open-project", [](QPainter& p) { Folder(p, true); }},
        {"new-page",
         [](QPainter& p) {
             TextPage(p);
             PlusBadge(p);
         }},
        {"open-page",
         [](QPainter& p) {
             TextPage(p);
             ArrowBadge(p);
         }},
        {"delete-page",
         [](QPainter& p) {
             TextPage(p);
             CrossBadge(p);
         }},
        {"exit",
         [](QPainter& p) {
             Outlined(p, QColor(0xb0, 0x7a, 0x4f));
             p.drawRect(QRectF(3.5, 2.5, 11, 19));
             p.setBrush(kSun);
             p.drawEllipse(QPointF(12, 12.5), 1, 1);
             p.setPen(Ink(2.2, kRed));
             p.drawLine(QPointF(13.5, 12), QPointF(21.5, 12));
             p.drawLine(QPointF(18.5, 8.5), QPointF(21.5, 12));
             p.drawLine(QPointF(18.5, 15.5), QPointF(21.5, 12));
         }},
        {"undo", [](QPainter& p) { TurningArrow(p, false); }},
        {"redo", [](QPainter& p) { TurningArrow(p, true); }},
        {"web-site",
         [](QPainter& p) {
             Disc(p, kSky);
             p.setBrush(Qt::NoBrush);
             p.setPen(Ink(1.1, kBlue.darker(130)));
             p.drawEllipse(QPointF(12, 12), 4.2, 9.5);
             p.drawLine(QPointF(12, 2.5), QPointF(12, 21.5));
             p.drawLine(QPointF(2.5, 12), QPointF(21.5, 12));
             p.drawLine(QPointF(4, 7), QPointF(20, 7));
             p.drawLine(QPointF(4, 17), QPointF(20, 17));
         }},
        {"print",
         [](QPainter& p) {
             Outlined(p, kPaper);
             p.drawRect(QRectF(6.5, 2.5, 11, 7));
             p.setBrush(kGrey);
             p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(6.5, 14.5, 11, 7));
             PageLines(p, 8.5, 17, 2, 7);
         }},
        {"view-source",
         [](QPainter& p) {
             Page(p, QRectF(2.5, 2.5, 19, 19));
             Text(p, QRectF(2, 6, 20, 14), "</>", 8, kBlue);
         }},
        {"help",
         [](QPainter& p) {
             Disc(p, kBlue);
             Text(p, QRectF(2, 2, 20, 20), "?", 14, kPaper);
         }},
        {"about",
         [](QPainter& p) {
             Disc(p, kBlue);
             Text(p, QRectF(2, 2, 20, 20), "i", 14, kPaper);
         }},
        {"modify",
         [](QPainter& p) {
             p.save();
             p.translate(12, 12);
             p.rotate(45);
             Outlined(p, kSun);
             p.drawRect(QRectF(-2.5, -9, 5, 13));
             p.setBrush(QColor(0xf4, 0xa7, 0xb9));
             p.drawRect(QRectF(-2.5, -11, 5, 2));
             p.setBrush(QColor(0xf1, 0xd9, 0xb5));
             p.drawPath(ClosedPath({QPointF(-2.5, 4), QPointF(0, 9), QPointF(2.5, 4)}));
             p.restore();
         }},
        {"delete",
         [](QPainter& p) {
             p.setPen(Ink(2.6, kRed));
             p.drawLine(QPointF(6, 6), QPointF(18, 18));
             p.drawLine(QPointF(18, 6), QPointF(6, 18));
         }},
        // The palette.
        {"page-properties",
         [](QPainter& p) {
             Page(p);
             p.setPen(Ink(1.2));
             for (int i = 0; i < 3; ++i) {
                 const double y = 9 + i * 4;
                 p.drawLine(QPointF(7, y), QPointF(16, y));
                 p.setBrush(i == 1 ? kRed : kBlue);
                 p.drawEllipse(QPointF(i == 1 ? 13 : 9.5, y), 1.5, 1.5);
             }
         }},
        {"image", [](QPainter& p) { Picture(p); }},
        {"image-link",
         [](QPainter& p) {
             Picture(p, QRectF(1.5, 2.5, 16, 13));
             p.setPen(Qt::NoPen);
             p.setBrush(kPaper);
             p.drawEllipse(QPointF(16, 17), 6.5, 6.5);
             Chain(p, QPointF(16, 17), 0.8);
         }},
        {"rollover",
         [](QPainter& p) {
             Picture(p, QRectF(6.5, 2.5, 15, 12));
             Picture(p, QRectF(2.5, 7.5, 15, 12));
             p.setPen(Ink(1.0));
             p.setBrush(kPaper);
             p.drawPath(ClosedPath({QPointF(14, 12), QPointF(14, 22.5), QPointF(16.5, 20),
                                    QPointF(18.5, 23.5), QPointF(20, 22.7), QPointF(18.2, 19.3),
                                    QPointF(21.5, 19.3)}));
         }},
        {"text-link",
         [](QPainter& p) {
             Text(p, QRectF(0, 0, 24, 14), "abc", 9.5, kBlue);
             p.setPen(Ink(1.3, kBlue));
             p.drawLine(QPointF(3, 12.5), QPointF(21, 12.5));
             Chain(p, QPointF(12, 18.5), 0.85);
         }},
        {"mail-link", [](QPainter& p) { Envelope(p); }},
        {"horizontal-line",
         [](QPainter& p) {
             PageLines(p, 4, 5, 2, 16);
             p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::FlatCap));
             p.drawLine(QPointF(2, 12.5), QPointF(22, 12.5));
             p.setPen(QPen(kGrey, 1.0));
             p.drawLine(QPointF(2, 14), QPointF(22, 14));
             PageLines(p, 4, 18, 2, 16);
         }},
        {"html-code",
         [](QPainter& p) {
             Outlined(p, QColor(0x26, 0x32, 0x38));
             p.drawRoundedRect(QRectF(1.5, 4.5, 21, 15), 2, 2);
             Text(p, QRectF(1.5, 4.5, 21, 15), "</>", 8.5, QColor(0x8b, 0xe9, 0x7a));
         }},
        {"platform",
         [](QPainter& p) {
             for (int i = 0; i < 3; ++i) {
                 Outlined(p, i == 1 ? kSky : kLight);
                 p.drawRect(QRectF(1.5 + i * 7, 6.5, 7, 9));
             }
             p.setPen(Ink(1.6, kGrey));
             p.drawLine(QPointF(1.5, 19), QPointF(22.5, 19));
         }},
        {"line-break",
         [](QPainter& p) {
             p.setPen(Ink(2.2, kBlue));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF({QPointF(19, 4), QPointF(19, 14), QPointF(6, 14)}));
             p.drawPolyline(QPolygonF({QPointF(10, 10), QPointF(6, 14), QPointF(10, 18)}));
         }},
        {"text", [](QPainter& p) { Text(p, QRectF(0, 0, 24, 24), "T", 19, kInk); }},
        {"subscript", [](QPainter& p) { ScriptGlyphs(p, false); }},
        {"superscript", [](QPainter& p) { ScriptGlyphs(p, true); }},
        {"item-list", [](QPainter& p) { ListRows(p, 0); }},
        {"bullet-list", [](QPainter& p) { ListRows(p, 1); }},
        {"spaced-list", [](QPainter& p) { ListRows(p, 2); }},
        {"data-table", [](QPainter& p) { Grid(p, QRectF(2.5, 4.5, 19, 15), 3, 3); }},
        {"custom-table",
         [](QPainter& p) {
             Grid(p, QRectF(2.5, 4.5, 17, 14), 3, 3, kFolder);
             Star(p, QPointF(18, 17.5), 5, kSun);
         }},
        {"frame",
         [](QPainter& p) {
             Outlined(p, kLight);
             p.drawRoundedRect(QRectF(2.5, 3.5, 19, 17), 1.5, 1.5);
             p.setBrush(kBlue);
             p.drawRect(QRectF(2.5, 3.5, 19, 3));
             p.setBrush(kPaper);
             p.drawRect(QRectF(6.5, 9.5, 11, 8));
             PageLines(p, 8.5, 12, 2, 7);
         }},
        {"form",
         [](QPainter& p) {
             Page(p, QRectF(3.5, 2.5, 17, 19));
             Field(p, QRectF(6.5, 8.5, 11, 3));
             Field(p, QRectF(6.5, 13.5, 11, 3));
             p.setPen(Ink(1.0, kGreen));
             p.setBrush(kGreen);
             p.drawRoundedRect(QRectF(11.5, 18, 6, 2), 0.8, 0.8);
         }},
        {"text-field",
         [](QPainter& p) {
             Field(p, QRectF(1.5, 7.5, 21, 9));
             Text(p, QRectF(2, 7.5, 14, 9), "ab", 8, kInk, false);
             p.setPen(Ink(1.2, kBlue));
             p.drawLine(QPointF(16.5, 9.5), QPointF(16.5, 14.5));
         }},
        {"password-field",
         [](QPainter& p) {
             Field(p, QRectF(1.5, 7.5, 21, 9));
             p.setPen(Qt::NoPen);
             p.setBrush(kInk);
             for (int i = 0; i < 4; ++i) {
                 p.drawEllipse(QPointF(6 + i * 4, 12), 1.4, 1.4);
             }
         }},
        {"text-area",
         [](QPainter& p) {
             Field(p, QRectF(1.5, 3.5, 21, 17));
             PageLines(p, 4, 7.5, 4, 12);
             Panel(p, QRectF(18.5, 3.5, 4, 17));
             p.setBrush(kGrey);
             p.drawRect(QRectF(19.2, 5.5, 2.6, 5));
         }},
        {"drop-down",
         [](QPainter& p) {
             Field(p, QRectF(1.5, 7.5, 21, 9));
             PageLines(p, 4, 12, 1, 9);
             Panel(p, QRectF(15.5, 7.5, 7, 9));
             p.setBrush(kInk);
             p.drawPolygon(QPolygonF({QPointF(17, 10.8), QPointF(21, 10.8), QPointF(19, 13.5)}));
         }},
        {"list-box",
         [](QPainter& p) {
             Field(p, QRectF(1.5, 3.5, 21, 17));
             p.setPen(Qt::NoPen);
             p.setBrush(kSky);
             p.drawRect(QRectF(2.2, 9, 15.5, 4));
             PageLines(p, 4, 7, 4, 11);
             Panel(p, QRectF(18.5, 3.5, 4, 17));
         }},
        {"submit",
         [](QPainter& p) {
             Button(p, kGreen);
             Text(p, QRectF(1.5, 6.5, 21, 11), "OK", 8, kPaper);
         }},
        {"image-submit",
         [](QPainter& p) {
             Button(p, kBlue);
             Picture(p, QRectF(6.5, 8, 11, 8));
         }},
        {"reset",
         [](QPainter& p) {
             Button(p, kRed);
             p.setPen(Ink(1.6, kPaper));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(8.5, 8.5, 7, 7), 60 * 16, 280 * 16);
             p.drawLine(QPointF(14.4, 8.2), QPointF(14.2, 10.6));
             p.drawLine(QPointF(14.2, 10.6), QPointF(11.8, 10.2));
         }},
        {"check-box",
         [](QPainter& p) {
             Field(p, QRectF(3.5, 5.5, 13, 13));
             p.setPen(Ink(2.2, kGreen));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF({QPointF(6, 12), QPointF(9, 15.5), QPointF(20, 3.5)}));
         }},
        {"radio-group",
         [](QPainter& p) {
             for (int i = 0; i < 2; ++i) {
                 p.setPen(Ink(1.0));
                 p.setBrush(kPaper);
                 p.drawEllipse(QPointF(6.5, 7 + i * 10), 4, 4);
                 p.setPen(Ink(1.2, kGrey));
                 p.drawLine(QPointF(13, 7 + i * 10), QPointF(22, 7 + i * 10));
             }
             p.setPen(Qt::NoPen);
             p.setBrush(kBlue);
             p.drawEllipse(QPointF(6.5, 7), 2, 2);
         }},
        {"sound",
         [](QPainter& p) {
             p.setPen(Ink(1.0));
             p.setBrush(QColor(0x7e, 0x57, 0xc2));
             p.drawEllipse(QPointF(7, 18), 3.5, 2.6);
             p.drawEllipse(QPointF(17, 16), 3.5, 2.6);
             p.drawPolygon(QPolygonF({QPointF(9.6, 18), QPointF(9.6, 5), QPointF(19.6, 3),
                                      QPointF(19.6, 16), QPointF(18.6, 16), QPointF(18.6, 6.8),
                                      QPointF(10.6, 8.4), QPointF(10.6, 18)}));
         }},
        {"video",
         [](QPainter& p) {
             Outlined(p, QColor(0x26, 0x32, 0x38));
             p.drawRect(QRectF(2.5, 4.5, 19, 15));
             p.setPen(Qt::NoPen);
             p.setBrush(kPaper);
             for (int i = 0; i < 5; ++i) {
                 p.drawRect(QRectF(3.8 + i * 3.6, 5.6, 1.8, 1.6));
                 p.drawRect(QRectF(3.8 + i * 3.6, 16.8, 1.8, 1.6));
             }
             p.setBrush(kSun);
             p.drawPolygon(QPolygonF({QPointF(10, 8.8), QPointF(10, 15.2), QPointF(15.5, 12)}));
         }},
        {"flash",
         [](QPainter& p) {
             p.setPen(Ink(1.0, kRed.darker(140)));
             p.setBrush(kRed);
             p.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 4, 4);
             Text(p, QRectF(2.5, 2.5, 19, 19), "f", 15, kPaper);
         }},
        {"shockwave",
         [](QPainter& p) {
             Disc(p, QColor(0x26, 0x32, 0x38));
             p.setBrush(Qt::NoBrush);
             p.setPen(Ink(1.4, kSun));
             QPainterPath wave;
             wave.moveTo(5, 12);
             wave.cubicTo(8, 5, 10, 19, 12, 12);
             wave.cubicTo(14, 5, 16, 19, 19, 12);
             p.drawPath(wave);
         }},
        {"php",
         [](QPainter& p) {
             p.setPen(Ink(1.0, QColor(0x4f, 0x5b, 0x93).darker(130)));
             p.setBrush(QColor(0x77, 0x7b, 0xb4));
             p.drawEllipse(QRectF(0.5, 5.5, 23, 13));
             Text(p, QRectF(0.5, 5.5, 23, 13), "php", 8, kPaper);
         }},
    };
    return painters;
}

// A transparent picture `size` pixels square, drawn by `paint` on the grid.
QPixmap Draw(int size, const Painter& paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / kGrid, size / kGrid);
    paint(p);
    return pixmap;
}

// The picture of a disabled button: the same shapes in a light grey, faded,
// so it never passes for an enabled one (and an enabled icon with grey parts
// never for a disabled one, since every disabled icon is this pale).
QPixmap Greyed(const QPixmap& pixmap) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int light = 150 + qGray(line[x]) * 80 / 255;
            line[x] = qRgba(light, light, light, qAlpha(line[x]) * 3 / 5);
        }
    }
    QPixmap greyed = QPixmap::fromImage(image);
    greyed.setDevicePixelRatio(pixmap.devicePixelRatio());
    return greyed;
}

// An icon of the pictures `draw` gives at each size, normal and disabled.
QIcon IconOf(std::initializer_list<int> sizes, const std::function<QPixmap(int)>& draw) {
    QIcon icon;
    for (int size : sizes) {
        const QPixmap pixmap = draw(size);
        icon.addPixmap(pixmap, QIcon::Normal);
        icon.addPixmap(Greyed(pixmap), QIcon::Disabled);
    }
    return icon;
}

// A product picture: a page of the web (a globe behind a sheet) with a bold Q.
void Product(QPainter& p) {
    QLinearGradient sky(0, 0, 24, 24);
    sky.setColorAt(0, QColor(0x4f, 0xa3, 0xf0));
    sky.setColorAt(1, QColor(0x15, 0x57, 0xb0));
    p.setPen(Ink(0.8, QColor(0x10, 0x40, 0x80)));
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0.8, 0.8, 22.4, 22.4), 4.5, 4.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(Ink(0.8, QColor(255, 255, 255, 90)));
    p.drawEllipse(QPointF(12, 12), 9, 9);
    p.drawEllipse(QPointF(12, 12), 4, 9);
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
    // The letter as outlines, centred as text is in its box, so that the
    // picture needs no font wherever it is shown (the SVG file too).
    const QFont font = GlyphFont(15);
    const QFontMetricsF metrics(font);
    QPainterPath letter;
    letter.addText((kGrid - metrics.horizontalAdvance("Q")) / 2,
                   -0.5 + (kGrid - metrics.height()) / 2 + metrics.ascent(), font, "Q");
    p.fillPath(letter, kPaper);
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    p.drawEllipse(QPointF(18.3, 18.3), 2.2, 2.2);
}

} // namespace

QIcon ToolIcon(const QString& name) {
    const auto& painters = Painters();
    const auto found = painters.find(name);
    const Painter paint =
        found != painters.end() ? found.value() : Painter([](QPainter& p) { Page(p); });
    return IconOf({16, 24, 32, 48, 64}, [&paint](int size) { return Draw(size, paint); });
}

QStringList ToolIconNames() {
    QStringList names = Painters().keys();
    names.sort();
    return names;
}

QPixmap ProductPicture(int size) {
    return Draw(size, Product);
}

void PaintProductPicture(QPainter& painter, int size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    Product(painter);
    painter.restore();
}

QIcon ProductIcon() {
    return IconOf({16, 24, 32, 48, 57, 64, 128, 256}, ProductPicture);
}

} // namespace qf
