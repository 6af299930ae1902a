#include "shapes/XorPreview.h"

#include "view/Canvas.h"
#include "view/clsView.h"

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

void XorPreview::Line(const clsPoint3D& a, const clsPoint3D& b) {
    if (!canvas_) return;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    view_.ConvertPointToScreen(a, x1, y1);
    view_.ConvertPointToScreen(b, x2, y2);
    // Single precision, as the canvas takes its coordinates.
    canvas_->Line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2), static_cast<float>(y2));
}

void XorPreview::Segments(const SegmentList& segments) {
    for (const auto& s : segments) Line(s->StartPoint, s->EndPoint);
}

} // namespace ov
