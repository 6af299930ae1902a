#include "shapes/XorPreview.h"

#include "paint/Canvas.h"
#include "paint/clsView.h"

namespace ov {

XorPreview::XorPreview(clsView& view) : view_(view), canvas_(view.GetCanvas()) {
    if (!canvas_) return;
    savedMode_ = static_cast<int>(canvas_->Mode);
    savedStyle_ = static_cast<int>(canvas_->Style);
    savedColor_ = canvas_->ForeColor.rgba();
    canvas_->Mode = Canvas::DrawMode::Xor;
    canvas_->ForeColor = QColor(255, 255, 0);
}

XorPreview::~XorPreview() {
    if (!canvas_) return;
    canvas_->Mode = static_cast<Canvas::DrawMode>(savedMode_);
    canvas_->Style = static_cast<Canvas::DrawStyle>(savedStyle_);
    canvas_->ForeColor = QColor::fromRgba(savedColor_);
}

void XorPreview::SetDotted(bool dotted) {
    if (canvas_) canvas_->Style = dotted ? Canvas::DrawStyle::Dotted : Canvas::DrawStyle::Solid;
}

QPointF XorPreview::ScreenPoint(const clsPoint3D& p) const {
    double x = 0, y = 0;
    view_.ConvertPointToScreen(p, x, y);
    // Single precision, as the canvas takes its coordinates.
    return QPointF(static_cast<float>(x), static_cast<float>(y));
}

void XorPreview::Line(const clsPoint3D& a, const clsPoint3D& b) {
    if (!canvas_) return;
    const QPointF p = ScreenPoint(a), q = ScreenPoint(b);
    canvas_->Line(p.x(), p.y(), q.x(), q.y());
}

void XorPreview::Segments(const SegmentList& segments) {
    if (!canvas_) return;
    // Segments that continue one another form one run and go to the canvas as one stroke,
    // so that the pixel two of them share is drawn once and not erased by XOR.
    QPolygonF run;
    for (const clsLine3D& s : segments) {
        const QPointF start = ScreenPoint(s.StartPoint), end = ScreenPoint(s.EndPoint);
        if (run.isEmpty() || run.back() != start) {
            canvas_->Polyline(run);
            run.clear();
            run << start;
        }
        run << end;
    }
    canvas_->Polyline(run);
}

} // namespace ov
