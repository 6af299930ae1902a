#include "paint/DeviceSurface.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include "platform/MetafileDC.h"
#include "style/clsOutline.h"

namespace ov {

namespace {

QColor ToQColor(std::int32_t rgb) { return QColor(rgb & 255, (rgb >> 8) & 255, (rgb >> 16) & 255); }

// GDI rectangles and ellipses exclude their right and bottom edges; Qt's outlines include
// them, so the outline is drawn one unit smaller.
QRect OutlineRect(int left, int top, int right, int bottom) {
    return QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                 QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
}

class PainterSurface : public DeviceSurface {
public:
    explicit PainterSurface(QPainter& painter) : p_(painter) {}

    void Line(int x1, int y1, int x2, int y2, const clsOutline& outline, int penWidth) override {
        SetPen(outline, penWidth);
        p_.drawLine(x1, y1, x2, y2);
    }
    void Polyline(const std::vector<QPoint>& points, const clsOutline& outline, int penWidth) override {
        SetPen(outline, penWidth);
        p_.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    void Polylines(const std::vector<std::vector<QPoint>>& runs, const clsOutline& outline, int penWidth) override {
        SetPen(outline, penWidth);
        // A picture gets the same pixels either way; a page keeps the curve one path object.
        if (runs.size() == 1 || !dynamic_cast<QPagedPaintDevice*>(p_.device())) {
            for (const std::vector<QPoint>& run : runs) p_.drawPolyline(run.data(), static_cast<int>(run.size()));
            return;
        }
        QPainterPath path;
        for (const std::vector<QPoint>& run : runs) {
            path.moveTo(run.front());
            for (std::size_t i = 1; i < run.size(); ++i) path.lineTo(run[i]);
        }
        p_.setBrush(Qt::NoBrush);
        p_.drawPath(path);
    }
    void Picture(const QImage& image, double left, double top, double width, double height,
                 double opacity) override {
        p_.save();
        p_.setOpacity(opacity);
        p_.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p_.drawImage(QRectF(left, top, width, height), image);
        p_.restore();
        penValid_ = false;
    }
    void Ellipse(int left, int top, int right, int bottom, const clsOutline& outline, int penWidth) override {
        SetPen(outline, penWidth);
        p_.setBrush(Qt::NoBrush);
        p_.drawEllipse(OutlineRect(left, top, right, bottom));
    }
    void Rectangle(int left, int top, int right, int bottom, const clsOutline& outline, int penWidth) override {
        SetPen(outline, penWidth);
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(OutlineRect(left, top, right, bottom));
    }
    void FillEllipse(int left, int top, int right, int bottom, std::int32_t color) override {
        p_.setPen(Qt::NoPen);
        penValid_ = false;
        p_.setBrush(ToQColor(color));
        p_.drawEllipse(QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                             QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1)));
        p_.setBrush(Qt::NoBrush);
    }
    void FillRectangle(int left, int top, int right, int bottom, std::int32_t color) override {
        p_.fillRect(QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                          QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1)),
                    ToQColor(color));
    }
    void Text(int x, int y, const std::string& text, const QFont& font, int escapement,
              std::int32_t color) override {
        p_.save();
        p_.setFont(font);
        p_.setPen(ToQColor(color));
        p_.translate(x, y);
        p_.rotate(-escapement);
        // The point is the top-left corner of the text cell; Qt draws on the baseline.
        p_.drawText(QPointF(0, QFontMetricsF(font).ascent()), QString::fromStdString(text));
        p_.restore();
        penValid_ = false;
    }

private:
    // Consecutive lines mostly share one style: only a change of style makes a new pen.
    void SetPen(const clsOutline& outline, int penWidth) {
        const clsOutline::GDIStyle style = outline.GetGDIStyle(penWidth);
        if (penValid_ && style.Style == lastStyle_ && style.Width == lastWidth_ && outline.Color.RGBColor == lastColor_)
            return;
        p_.setPen(outline.GetGDIPen(penWidth));
        penValid_ = true;
        lastStyle_ = style.Style;
        lastWidth_ = style.Width;
        lastColor_ = outline.Color.RGBColor;
    }

    QPainter& p_;
    bool penValid_ = false;
    Qt::PenStyle lastStyle_ = Qt::SolidLine;
    int lastWidth_ = 0;
    std::int32_t lastColor_ = 0;
};

int GdiPenStyle(Qt::PenStyle style) {
    switch (style) {
    case Qt::NoPen: return MetafileDC::Null;
    case Qt::DashLine: return MetafileDC::Dash;
    case Qt::DotLine: return MetafileDC::Dot;
    default: return MetafileDC::Solid;
    }
}

class MetafileSurface : public DeviceSurface {
public:
    explicit MetafileSurface(MetafileDC& dc) : dc_(dc) {}

    void Line(int x1, int y1, int x2, int y2, const clsOutline& outline, int penWidth) override {
        SelectPen(outline, penWidth);
        dc_.MoveTo(x1, y1);
        dc_.LineTo(x2, y2);
    }
    void Polyline(const std::vector<QPoint>& points, const clsOutline& outline, int penWidth) override {
        if (points.empty()) return;
        SelectPen(outline, penWidth);
        // LineTo leaves out the pixel it ends on, so each joint is drawn once.
        dc_.MoveTo(points.front().x(), points.front().y());
        for (std::size_t i = 1; i < points.size(); ++i) dc_.LineTo(points[i].x(), points[i].y());
    }
    void Polylines(const std::vector<std::vector<QPoint>>& runs, const clsOutline& outline, int penWidth) override {
        if (runs.empty()) return;
        SelectPen(outline, penWidth);
        std::vector<int> xy;
        std::vector<std::size_t> lengths;
        for (const std::vector<QPoint>& run : runs) {
            lengths.push_back(run.size());
            for (const QPoint& p : run) xy.insert(xy.end(), {p.x(), p.y()});
        }
        dc_.Polylines(xy, lengths);
    }
    void Ellipse(int left, int top, int right, int bottom, const clsOutline& outline, int penWidth) override {
        SelectPen(outline, penWidth);
        dc_.SelectNullBrush();
        dc_.Ellipse(left, top, right, bottom);
    }
    void Rectangle(int left, int top, int right, int bottom, const clsOutline& outline, int penWidth) override {
        SelectPen(outline, penWidth);
        dc_.SelectNullBrush();
        dc_.Rectangle(left, top, right, bottom);
    }
    void Picture(const QImage&, double, double, double, double, double) override {} // line work only
    void FillEllipse(int left, int top, int right, int bottom, std::int32_t color) override {
        dc_.SelectPen(MetafileDC::Null, 0, 0);
        dc_.SelectSolidBrush(static_cast<std::uint32_t>(color));
        dc_.Ellipse(left, top, right, bottom);
    }
    void FillRectangle(int left, int top, int right, int bottom, std::int32_t color) override {
        dc_.SelectPen(MetafileDC::Null, 0, 0);
        dc_.SelectSolidBrush(static_cast<std::uint32_t>(color));
        dc_.Rectangle(left, top, right, bottom);
    }
    void Text(int x, int y, const std::string& text, const QFont& font, int escapement,
              std::int32_t color) override {
        dc_.SelectFont(font.family().toStdString(), -font.pixelSize(), escapement * 10, font.bold() ? 700 : 400,
                       font.italic(), font.underline(), font.strikeOut(), 1);
        dc_.SetTransparentBackground();
        dc_.SetTextColor(static_cast<std::uint32_t>(color));
        dc_.TextOut(x, y, text);
    }

private:
    void SelectPen(const clsOutline& outline, int penWidth) {
        const clsOutline::GDIStyle style = outline.GetGDIStyle(penWidth);
        dc_.SelectPen(GdiPenStyle(style.Style), style.Width, static_cast<std::uint32_t>(outline.Color.RGBColor));
    }

    MetafileDC& dc_;
};

} // namespace

std::unique_ptr<DeviceSurface> MakePainterSurface(QPainter& painter) { return std::make_unique<PainterSurface>(painter); }
std::unique_ptr<DeviceSurface> MakeMetafileSurface(MetafileDC& dc) { return std::make_unique<MetafileSurface>(dc); }

} // namespace ov
