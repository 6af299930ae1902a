#pragma once
// Construction handles of a selected object on screen: dotted guide lines and small square
// marks at the handle points, in the colour of the given style.

#include "shapes/IShape.h"

namespace ov {

class HandleMarks {
public:
    HandleMarks(clsPaintDC& dc, clsView& view, const clsOutline& style);
    void GuideLine(const clsPoint3D& a, const clsPoint3D& b);
    void Mark(const clsPoint3D& p);

    static constexpr int HalfSize = 2; // a 5 x 5 pixel square

private:
    clsPaintDC& dc_;
    clsView& view_;
    const clsOutline& style_;
};

} // namespace ov
