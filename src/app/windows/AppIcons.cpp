#include "app/windows/AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>
#include <functional>
#include <map>

namespace ov {

namespace {

using Painter = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kBlue(40, 90, 190);
const QColor kGreen(30, 140, 60);
const QColor kRed(200, 40, 40);
const QColor kYellow(240, 200, 80);
const QColor kGrey(150, 150, 150);
constexpr double kPi = 3.14159265358979;

// Renders a drawing made on a 16 x 16 grid at the sizes toolbars and lists ask for.
QIcon Render(const Painter& draw, bool faded = false) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        if (faded) p.setOpacity(0.4);
        draw(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPen Pen(const QColor& color, double width = 1.0) {
    QPen pen(color, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void Page(QPainter& p, double x, double y, double w, double h) {
    const double fold = 3;
    QPolygonF page;
    page << QPointF(x, y) << QPointF(x + w - fold, y) << QPointF(x + w, y + fold) << QPointF(x + w, y + h)
         << QPointF(x, y + h);
    p.setPen(Pen(kInk, 0.8));
    p.setBrush(kPaper);
    p.drawPolygon(page);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF() << QPointF(x + w - fold, y) << QPointF(x + w - fold, y + fold)
                               << QPointF(x + w, y + fold));
}

// A filled arrow head at tip pointing along (dx, dy).
void ArrowHead(QPainter& p, QPointF tip, double dx, double dy, const QColor& color, double size = 3.0) {
    const double length = std::hypot(dx, dy);
    if (length == 0) return;
    dx /= length;
    dy /= length;
    const QPointF back(tip.x() - dx * size, tip.y() - dy * size);
    const QPointF side(-dy * size * 0.6, dx * size * 0.6);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF() << tip << back + side << back - side);
    p.setBrush(Qt::NoBrush);
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color, double width = 1.6) {
    const double dx = to.x() - from.x(), dy = to.y() - from.y();
    const double length = std::hypot(dx, dy);
    p.setPen(Pen(color, width));
    p.drawLine(from, QPointF(to.x() - dx / length * 2, to.y() - dy / length * 2));
    ArrowHead(p, to, dx, dy, color, 3.6);
}

// A square vertex mark as the node edit tool shows it.
void Handle(QPainter& p, QPointF at, bool filled) {
    p.setPen(Pen(kInk, 0.7));
    p.setBrush(filled ? QBrush(kInk) : QBrush(kPaper));
    p.drawRect(QRectF(at.x() - 1.4, at.y() - 1.4, 2.8, 2.8));
    p.setBrush(Qt::NoBrush);
}

// A half-turn arrow: counter-clockwise for undo, clockwise for redo.
void TurnArrow(QPainter& p, bool clockwise) {
    QPainterPath path;
    if (clockwise) {
        path.moveTo(3, 11);
        path.cubicTo(3, 4, 11, 3, 12, 8);
    } else {
        path.moveTo(13, 11);
        path.cubicTo(13, 4, 5, 3, 4, 8);
    }
    p.setPen(Pen(kBlue, 1.8));
    p.drawPath(path);
    ArrowHead(p, clockwise ? QPointF(12.4, 10.5) : QPointF(3.6, 10.5), clockwise ? 0.1 : -0.1, 1, kBlue, 4);
}

void Eye(QPainter& p, QPointF centre, double width) {
    const double h = width * 0.32;
    QPainterPath path;
    path.moveTo(centre.x() - width / 2, centre.y());
    path.quadTo(centre.x(), centre.y() - h * 2, centre.x() + width / 2, centre.y());
    path.quadTo(centre.x(), centre.y() + h * 2, centre.x() - width / 2, centre.y());
    p.setPen(Pen(kInk, 0.9));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.setBrush(kBlue);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, h * 0.9, h * 0.9);
    p.setBrush(kInk);
    p.drawEllipse(centre, h * 0.4, h * 0.4);
    p.setBrush(Qt::NoBrush);
}

void Cube(QPainter& p, const QColor& color, double width) {
    p.setPen(Pen(color, width));
    const QRectF front(2.5, 5.5, 8, 8);
    const QPointF d(3.5, -3.5);
    p.drawRect(front);
    p.drawRect(front.translated(d));
    p.drawLine(front.topLeft(), front.topLeft() + d);
    p.drawLine(front.topRight(), front.topRight() + d);
    p.drawLine(front.bottomLeft(), front.bottomLeft() + d);
    p.drawLine(front.bottomRight(), front.bottomRight() + d);
}

void SCurve(QPainter& p, const QColor& color, double width) {
    QPainterPath path;
    path.moveTo(2, 13);
    path.cubicTo(3, 2, 13, 14, 14, 3);
    p.setPen(Pen(color, width));
    p.drawPath(path);
}

void Wave(QPainter& p, const QColor& color, double width) {
    QPainterPath path;
    for (int i = 0; i <= 40; ++i) {
        const double t = i / 40.0;
        const QPointF point(2 + 12 * t, 8 - 4.5 * std::sin(t * 2 * kPi) * (1 - 0.4 * t));
        if (i == 0) path.moveTo(point);
        else path.lineTo(point);
    }
    p.setPen(Pen(color, width));
    p.drawPath(path);
}

void Label(QPainter& p, const QRectF& box, const QString& text, const QColor& color, double size, bool italic) {
    QFont font("Liberation Serif");
    font.setPixelSize(static_cast<int>(size));
    font.setItalic(italic);
    font.setBold(true);
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

const std::map<QString, Painter>& ToolbarPainters() {
    static const std::map<QString, Painter> painters = {
        {"New", [](QPainter& p) { Page(p, 3, 1.5, 10, 13); }},
        {"Open",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 0.8));
             p.setBrush(QColor(220, 175, 60));
             p.drawPolygon(QPolygonF() << QPointF(1.5, 3.5) << QPointF(6, 3.5) << QPointF(7.5, 5)
                                       << QPointF(13, 5) << QPointF(13, 13.5) << QPointF(1.5, 13.5));
             p.setBrush(kYellow);
             p.drawPolygon(QPolygonF() << QPointF(3.5, 7.5) << QPointF(15, 7.5) << QPointF(13, 13.5)
                                       << QPointF(1.5, 13.5));
         }},
        {"Save",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 0.8));
             p.setBrush(kBlue);
             p.drawRoundedRect(QRectF(2, 2, 12, 12), 1, 1);
             p.setBrush(kPaper);
             p.drawRect(QRectF(4, 2, 8, 5));
             p.setBrush(QColor(190, 190, 200));
             p.drawRect(QRectF(5, 9.5, 6, 4.5));
             p.setBrush(kInk);
             p.drawRect(QRectF(9, 10.5, 1.2, 2.5));
         }},
        {"Import",
         [](QPainter& p) {
             Page(p, 5, 1.5, 9.5, 13);
             Arrow(p, QPointF(1, 8), QPointF(10.5, 8), kGreen, 2);
         }},
        {"Print",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 0.8));
             p.setBrush(kPaper);
             p.drawRect(QRectF(4, 1.5, 8, 5));
             p.setBrush(QColor(170, 170, 180));
             p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1.2, 1.2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(4, 10, 8, 4.5));
             p.setPen(Pen(kGreen, 1));
             p.drawPoint(QPointF(12.5, 7.8));
         }},
        {"PrintPreview",
         [](QPainter& p) {
             Page(p, 2, 1.5, 9.5, 13);
             p.setPen(Pen(kInk, 1.4));
             p.setBrush(QColor(200, 230, 255, 200));
             p.drawEllipse(QPointF(9.5, 8.5), 3.2, 3.2);
             p.drawLine(QPointF(11.8, 10.8), QPointF(14.8, 13.8));
         }},
        {"Export",
         [](QPainter& p) {
             Page(p, 1.5, 1.5, 9.5, 13);
             Arrow(p, QPointF(5, 8), QPointF(15, 8), QColor(220, 110, 20), 2);
         }},
        {"Cut",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.2));
             p.drawLine(QPointF(5, 1.5), QPointF(10.5, 10));
             p.drawLine(QPointF(11, 1.5), QPointF(5.5, 10));
             p.setPen(Pen(kRed, 1.3));
             p.drawEllipse(QPointF(4.5, 12), 2.3, 2.3);
             p.drawEllipse(QPointF(11.5, 12), 2.3, 2.3);
         }},
        {"Copy",
         [](QPainter& p) {
             Page(p, 1.5, 1.5, 8.5, 10);
             Page(p, 6, 5, 8.5, 10);
         }},
        {"Paste",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 0.8));
             p.setBrush(QColor(170, 120, 60));
             p.drawRoundedRect(QRectF(2, 2.5, 10, 12), 1, 1);
             p.setBrush(QColor(190, 190, 190));
             p.drawRect(QRectF(4.5, 1.5, 5, 2.5));
             Page(p, 7, 6, 7.5, 8.5);
         }},
        {"Undo", [](QPainter& p) { TurnArrow(p, false); }},
        {"Redo", [](QPainter& p) { TurnArrow(p, true); }},
        {"Arrow",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 0.8));
             p.setBrush(kPaper);
             p.drawPolygon(QPolygonF() << QPointF(4, 1.5) << QPointF(4, 13) << QPointF(6.8, 10.3)
                                       << QPointF(8.8, 14.5) << QPointF(10.6, 13.7) << QPointF(8.6, 9.6)
                                       << QPointF(12.3, 9.6));
         }},
        {"NodeEdit",
         [](QPainter& p) {
             QPainterPath path;
             path.moveTo(2, 13);
             path.lineTo(6, 4);
             path.lineTo(14, 9);
             p.setPen(Pen(kBlue, 1.2));
             p.drawPath(path);
             Handle(p, QPointF(2, 13), false);
             Handle(p, QPointF(6, 4), true);
             Handle(p, QPointF(14, 9), false);
         }},
        {"Line",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
         }},
        {"Rectangle",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             p.drawRect(QRectF(2, 3.5, 12, 9));
         }},
        {"Box", [](QPainter& p) { Cube(p, kInk, 1.1); }},
        {"Ellipse",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1.5));
             p.drawEllipse(QPointF(8, 8), 6.5, 4.5);
         }},
        {"Bezier",
         [](QPainter& p) {
             p.setPen(Pen(kGrey, 0.7));
             p.drawLine(QPointF(2, 13), QPointF(3, 2));
             p.drawLine(QPointF(14, 3), QPointF(13, 14));
             SCurve(p, kInk, 1.4);
             Handle(p, QPointF(3, 2), false);
             Handle(p, QPointF(13, 14), false);
         }},
        {"Measure",
         [](QPainter& p) {
             // A ruler laid across, with its marks.
             p.setPen(Pen(kInk, 1.2));
             p.drawPolygon(QPolygonF({QPointF(1.5, 11), QPointF(11, 1.5), QPointF(14.5, 5), QPointF(5, 14.5)}));
             for (int i = 1; i <= 4; ++i) {
                 const QPointF at(1.5 + i * 1.9, 11 - i * 1.9);
                 p.drawLine(at, at + QPointF(i % 2 ? 1.2 : 2, i % 2 ? 1.2 : 2));
             }
         }},
        {"Function",
         [](QPainter& p) {
             Wave(p, kBlue, 1.4);
             Label(p, QRectF(0, 8, 8, 8), "f", kInk, 8, true);
         }},
        {"Perspective",
         [](QPainter& p) {
             // The eye, its view window and the rays from the eye through the corners.
             const QPointF eye(2.5, 8);
             const QRectF window(9.5, 3, 5, 10);
             p.setPen(Pen(kGrey, 0.8));
             p.drawLine(eye, window.topLeft());
             p.drawLine(eye, window.bottomLeft());
             p.setPen(Pen(kBlue, 1.2));
             p.drawRect(window);
             p.setPen(Qt::NoPen);
             p.setBrush(kRed);
             p.drawEllipse(eye, 1.8, 1.8);
         }},
        {"ResetEye",
         [](QPainter& p) {
             QPainterPath path;
             path.arcMoveTo(QRectF(2, 2, 12, 12), 120);
             path.arcTo(QRectF(2, 2, 12, 12), 120, 300);
             p.setPen(Pen(kGreen, 1.3));
             p.drawPath(path);
             ArrowHead(p, QPointF(4.5, 3.9), -1, 0.9, kGreen, 3.2);
             Eye(p, QPointF(8, 8), 8);
         }},
    };
    return painters;
}

void TreeDrawing(QPainter& p, int kind) {
    switch (kind) {
    case 1: // the document
        Page(p, 3, 1.5, 10, 13);
        p.setPen(Pen(kBlue, 0.8));
        p.drawLine(QPointF(5, 10), QPointF(8, 5));
        p.drawLine(QPointF(8, 5), QPointF(11, 10));
        break;
    case 2:
        p.setPen(Pen(kInk, 1.6));
        p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
        break;
    case 4: // a group: objects gathered in a frame
        p.setPen(Pen(kGrey, 0.8));
        p.setBrush(QColor(255, 245, 200));
        p.drawRoundedRect(QRectF(1, 1.5, 14, 13), 2, 2);
        p.setBrush(Qt::NoBrush);
        p.setPen(Pen(kInk, 1.2));
        p.drawLine(QPointF(3, 12.5), QPointF(7.5, 4));
        p.drawRect(QRectF(8.5, 7.5, 4.5, 5));
        break;
    case 6:
        p.setPen(Pen(kInk, 1.5));
        p.drawEllipse(QPointF(8, 8), 6.5, 4.5);
        break;
    case 8: SCurve(p, kInk, 1.5); break;
    case 10:
        Wave(p, kBlue, 1.5);
        Label(p, QRectF(0, 8, 8, 8), "f", kInk, 8, true);
        break;
    default: break;
    }
}

const std::map<QString, Painter>& RowPainters() {
    static const std::map<QString, Painter> painters = {
        {"Point1",
         [](QPainter& p) {
             Handle(p, QPointF(4, 12), true);
             Label(p, QRectF(6, 0, 10, 12), "1", kBlue, 10, false);
         }},
        {"Point2",
         [](QPainter& p) {
             Handle(p, QPointF(4, 12), true);
             Label(p, QRectF(6, 0, 10, 12), "2", kBlue, 10, false);
         }},
        {"Move",
         [](QPainter& p) {
             const QPointF c(8, 8);
             Arrow(p, c, QPointF(15, 8), kInk, 1.2);
             Arrow(p, c, QPointF(1, 8), kInk, 1.2);
             Arrow(p, c, QPointF(8, 1), kInk, 1.2);
             Arrow(p, c, QPointF(8, 15), kInk, 1.2);
         }},
        {"Stretch",
         [](QPainter& p) {
             QPen dashed = Pen(kGrey, 0.8);
             dashed.setStyle(Qt::DashLine);
             p.setPen(dashed);
             p.drawRect(QRectF(1.5, 6.5, 8, 8));
             Arrow(p, QPointF(5, 11), QPointF(14.5, 1.5), kInk, 1.3);
         }},
        {"Position",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1));
             p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
             p.drawLine(QPointF(8, 1), QPointF(8, 15));
             p.drawLine(QPointF(1, 8), QPointF(15, 8));
             p.setPen(Qt::NoPen);
             p.setBrush(kRed);
             p.drawEllipse(QPointF(8, 8), 1.5, 1.5);
         }},
        {"Size",
         [](QPainter& p) {
             p.setPen(Pen(kInk, 1));
             p.drawRect(QRectF(4.5, 1.5, 10, 10));
             Arrow(p, QPointF(9.5, 14), QPointF(14.5, 14), kBlue, 0.9);
             Arrow(p, QPointF(9.5, 14), QPointF(4.5, 14), kBlue, 0.9);
             Arrow(p, QPointF(2, 6.5), QPointF(2, 1.5), kBlue, 0.9);
             Arrow(p, QPointF(2, 6.5), QPointF(2, 11.5), kBlue, 0.9);
         }},
        {"Rotation",
         [](QPainter& p) {
             QPainterPath path;
             path.arcMoveTo(QRectF(2.5, 2.5, 11, 11), 90);
             path.arcTo(QRectF(2.5, 2.5, 11, 11), 90, 270);
             p.setPen(Pen(kInk, 1.3));
             p.drawPath(path);
             ArrowHead(p, QPointF(8, 2.5), 1, 0, kInk, 3.4);
         }},
    };
    return painters;
}

} // namespace

QIcon ToolbarIcon(const QString& key) {
    static std::map<QString, QIcon> cache;
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const auto& painters = ToolbarPainters();
    const auto painter = painters.find(key);
    if (painter == painters.end()) return {};
    return cache[key] = Render(painter->second);
}

QIcon TreeImage(int index) {
    static std::map<int, QIcon> cache;
    if (index < 1 || index > 11) return {};
    if (auto it = cache.find(index); it != cache.end()) return it->second;
    // Even indexes after the document are the visible forms, the odd ones their hidden forms.
    const bool hidden = index > 1 && index % 2 == 1;
    const int kind = hidden ? index - 1 : index;
    return cache[index] = Render([kind](QPainter& p) { TreeDrawing(p, kind); }, hidden);
}

QIcon RowImage(const QString& key) {
    static std::map<QString, QIcon> cache;
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const auto& painters = RowPainters();
    const auto painter = painters.find(key);
    if (painter == painters.end()) return {};
    return cache[key] = Render(painter->second);
}

} // namespace ov
