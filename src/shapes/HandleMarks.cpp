#include "shapes/HandleMarks.h"

#include "style/clsOutline.h"
#include "paint/clsPaintDC.h"
#include "paint/clsView.h"

namespace ov {

HandleMarks::HandleMarks(clsPaintDC& dc, clsView& view, const clsOutline& style) : dc_(dc), view_(view), style_(style) {}

void HandleMarks::GuideLine(const clsPoint3D& a, const clsPoint3D& b) {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!view_.ConvertPointToScreen(a, x1, y1) || !view_.ConvertPointToScreen(b, x2, y2)) return;
    clsOutline dotted = style_.Dup();
    dotted.Style = clsOutline::StyleDotted;
    dc_.DrawScreenLine(x1, y1, x2, y2, dotted);
}

void HandleMarks::Mark(const clsPoint3D& p) {
    double x = 0, y = 0;
    if (!view_.ConvertPointToScreen(p, x, y)) return;
    dc_.FillScreenRect(x - HalfSize, y - HalfSize, x + HalfSize + 1, y + HalfSize + 1, style_.Color);
}

} // namespace ov
