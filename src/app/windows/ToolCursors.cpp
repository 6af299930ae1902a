#include "app/windows/ToolCursors.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <optional>

namespace ov {

namespace {

constexpr int kSize = 32;

// Every shape is drawn twice, wide in white and then thin in black, so that the pointer
// stays visible on the white view background as well as on black line work.
class CursorPainter {
public:
    explicit CursorPainter(QPixmap& pixmap) : painter_(&pixmap) {
        painter_.setRenderHint(QPainter::Antialiasing, false);
    }

    // fill: the colour inside a closed path, or none.
    void Path(const QPainterPath& path, Qt::GlobalColor fill = Qt::transparent) {
        painter_.setBrush(Qt::NoBrush);
        painter_.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter_.drawPath(path);
        painter_.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter_.setBrush(fill == Qt::transparent ? QBrush(Qt::NoBrush) : QBrush(fill));
        painter_.drawPath(path);
    }
    // A line without the white edge, for marks inside a shape already edged.
    void Thin(double x1, double y1, double x2, double y2) {
        painter_.setPen(QPen(Qt::black, 1));
        painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void Line(double x1, double y1, double x2, double y2) {
        QPainterPath path;
        path.moveTo(x1, y1);
        path.lineTo(x2, y2);
        Path(path);
    }
    void Dotted(double x1, double y1, double x2, double y2) {
        painter_.setBrush(Qt::NoBrush);
        painter_.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    // A small filled square, as the views mark handles.
    void Handle(double x, double y) {
        painter_.fillRect(QRectF(x - 2, y - 2, 5, 5), Qt::white);
        painter_.fillRect(QRectF(x - 1, y - 1, 3, 3), Qt::black);
    }

private:
    QPainter painter_;
};

// The cross hair of the drawing tools; its centre (7, 7) is the hot spot. The tool's own
// sign goes into the lower right quarter.
void CrossHair(CursorPainter& p) {
    p.Line(7, 0, 7, 5);
    p.Line(7, 9, 7, 14);
    p.Line(0, 7, 5, 7);
    p.Line(9, 7, 14, 7);
}

QPainterPath ArrowPath() {
    QPainterPath path;
    path.addPolygon(
        QPolygonF({{1, 1}, {1, 17}, {5, 13}, {8, 20}, {11, 19}, {8, 12}, {13, 12}, {1, 1}}));
    return path;
}

QPixmap Draw(int image) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    CursorPainter p(pixmap);
    switch (image) {
    case CursorLine:
        CrossHair(p);
        p.Line(16, 29, 29, 16);
        p.Handle(16, 29);
        p.Handle(29, 16);
        break;
    case CursorRectangle: {
        CrossHair(p);
        QPainterPath path;
        path.addRect(15, 18, 14, 10);
        p.Path(path);
        break;
    }
    case CursorBox: {
        CrossHair(p);
        QPainterPath path;
        path.addRect(15, 20, 10, 9); // front face
        path.addRect(20, 15, 10, 9); // back face
        path.moveTo(15, 20);
        path.lineTo(20, 15);
        path.moveTo(25, 20);
        path.lineTo(30, 15);
        path.moveTo(25, 29);
        path.lineTo(30, 24);
        path.moveTo(15, 29);
        path.lineTo(20, 24);
        p.Path(path);
        break;
    }
    case CursorNodeEdit:
    case CursorPick:
        p.Path(ArrowPath(), image == CursorNodeEdit ? Qt::black : Qt::white);
        if (image == CursorNodeEdit) {
            QPainterPath square;
            square.addRect(17, 20, 6, 6);
            p.Path(square);
        }
        break;
    case CursorHandle: {
        // Four arrow heads around the hot spot at the centre: "this can be dragged".
        QPainterPath path;
        path.moveTo(16, 3);
        path.lineTo(16, 29);
        path.moveTo(3, 16);
        path.lineTo(29, 16);
        path.addPolygon(QPolygonF({{12, 7}, {16, 3}, {20, 7}}));
        path.addPolygon(QPolygonF({{12, 25}, {16, 29}, {20, 25}}));
        path.addPolygon(QPolygonF({{7, 12}, {3, 16}, {7, 20}}));
        path.addPolygon(QPolygonF({{25, 12}, {29, 16}, {25, 20}}));
        p.Path(path);
        p.Handle(16, 16);
        break;
    }
    case CursorEllipse: {
        CrossHair(p);
        QPainterPath path;
        path.addEllipse(14, 17, 16, 11);
        p.Path(path);
        break;
    }
    case CursorBezier: {
        CrossHair(p);
        QPainterPath path;
        path.moveTo(15, 29);
        path.cubicTo(15, 17, 29, 28, 29, 16);
        p.Path(path);
        p.Dotted(15, 29, 15, 19);
        p.Dotted(29, 16, 29, 26);
        p.Handle(15, 29);
        p.Handle(29, 16);
        break;
    }
    case CursorZoom: {
        // A magnifying glass; the hot spot is the centre of the lens.
        QPainterPath lens;
        lens.addEllipse(3, 3, 16, 16);
        p.Path(lens, Qt::white);
        p.Thin(7, 11, 15, 11);
        p.Thin(11, 7, 11, 15);
        QPainterPath handle;
        handle.moveTo(17, 17);
        handle.lineTo(28, 28);
        handle.moveTo(18, 17);
        handle.lineTo(29, 28);
        p.Path(handle);
        break;
    }
    default:
        return QPixmap();
    }
    return pixmap;
}

QPoint HotSpot(int image) {
    switch (image) {
    case CursorPick:
    case CursorNodeEdit:
        return {1, 1};
    case CursorHandle:
        return {16, 16};
    case CursorZoom:
        return {11, 11};
    default:
        return {7, 7};
    }
}

} // namespace

QPixmap ToolCursorPixmap(int image) {
    return Draw(image);
}

namespace {

// Pointers are set on every mouse move, so they are made once. Pixmaps must not outlive
// the application object, so the cache is emptied when it goes.
std::array<std::optional<QCursor>, CursorImageCount>& Cache() {
    static std::array<std::optional<QCursor>, CursorImageCount> cursors;
    return cursors;
}

void ClearCache() {
    for (auto& cursor : Cache())
        cursor.reset();
}

} // namespace

QCursor ToolCursor(int image) {
    if (image < 0 || image >= CursorImageCount) return QCursor(Qt::ArrowCursor);
    auto& cursor = Cache()[static_cast<std::size_t>(image)];
    if (!cursor) {
        static const bool registered = [] {
            qAddPostRoutine(ClearCache);
            return true;
        }();
        (void)registered;
        const QPoint hot = HotSpot(image);
        cursor = QCursor(Draw(image), hot.x(), hot.y());
    }
    return *cursor;
}

} // namespace ov
