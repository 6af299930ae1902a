#include "paint/Canvas.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "style/clsFont.h"

namespace ov {

Canvas::Canvas(int width, int height) {
    pixelsPerInchY_ = ScreenPixelsPerInchY();
    Resize(width, height);
}

void Canvas::Resize(int width, int height, double pixelRatio) {
    const double ratio = pixelRatio > 0 ? pixelRatio : 1;
    image_ = QImage(static_cast<int>(std::ceil(std::max(width, 0) * ratio)),
                    static_cast<int>(std::ceil(std::max(height, 0) * ratio)), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    Clear();
}

bool Canvas::HasSize(int width, int height, double pixelRatio) const {
    return image_.devicePixelRatio() == pixelRatio &&
           image_.width() == static_cast<int>(std::ceil(std::max(width, 0) * pixelRatio)) &&
           image_.height() == static_cast<int>(std::ceil(std::max(height, 0) * pixelRatio));
}

void Canvas::Clear() {
    if (!image_.isNull()) image_.fill(BackColor);
    NotifyChanged();
}

void Canvas::PreparePainter(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, Mode == DrawMode::Normal);
    painter.setCompositionMode(Mode == DrawMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                     : QPainter::CompositionMode_SourceOver);
    painter.setFont(Font);
}

void Canvas::Line(double x1, double y1, double x2, double y2) {
    if (image_.isNull()) return;
    QPainter painter(&image_);
    PreparePainter(painter);
    // A square cap makes the line cover both of its end pixels.
    painter.setPen(MakePen(Qt::SquareCap));
    painter.drawLine(QLineF(x1, y1, x2, y2));
    painter.end();
    NotifyChanged();
}

void Canvas::Polyline(const QPolygonF& points) {
    if (image_.isNull() || points.size() < 2) return;
    QPainter painter(&image_);
    PreparePainter(painter);
    // With a flat cap the rasteriser leaves out the last pixel of the run, so a closed run
    // does not paint its first point twice.
    painter.setPen(MakePen(Qt::FlatCap));
    painter.drawPolyline(points);
    painter.end();
    NotifyChanged();
}

QPen Canvas::MakePen(Qt::PenCapStyle cap) const {
    return QPen(ForeColor, 1, Style == DrawStyle::Dotted ? Qt::DotLine : Qt::SolidLine, cap, Qt::MiterJoin);
}

} // namespace ov
