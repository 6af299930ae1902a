#pragma once
// Rubber-band drawing of an object's outline on a view's canvas: yellow, in XOR mode, so
// that drawing the same thing twice erases it.

#include <QPointF>

#include "shapes/IShape.h"

namespace ov {

class Canvas;
class clsView;

class XorPreview {
public:
    explicit XorPreview(clsView& view);
    ~XorPreview();
    XorPreview(const XorPreview&) = delete;
    XorPreview& operator=(const XorPreview&) = delete;

    void Line(const clsPoint3D& a, const clsPoint3D& b);
    void Segments(const SegmentList& segments);
    void SetDotted(bool dotted);

private:
    QPointF ScreenPoint(const clsPoint3D& p) const;

    clsView& view_;
    Canvas* canvas_;
    int savedMode_ = 0;
    int savedStyle_ = 0;
    std::uint32_t savedColor_ = 0;
};

} // namespace ov
