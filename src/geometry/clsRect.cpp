#include "geometry/clsRect.h"

#include <algorithm>
#include <utility>

namespace ov {

clsRect clsRect::DupOffset(double dLeft, double dTop, double dRight, double dBottom) const {
    clsRect r = Dup();
    r.Offset(dLeft, dTop, dRight, dBottom);
    return r;
}

void clsRect::Offset(double dLeft, double dTop, double dRight, double dBottom) {
    Left += dLeft;
    Top -= dTop;
    Right -= dRight;
    Bottom += dBottom;
}

void clsRect::Translate(double dx, double dy) {
    Left += dx;
    Right += dx;
    Top += dy;
    Bottom += dy;
}

void clsRect::Assign(double left, double bottom, double width, double height) {
    Left = left;
    Bottom = bottom;
    Right = left + width;
    Top = bottom + height;
}

void clsRect::SetValues(double left, double bottom, double right, double top) {
    Left = left;
    Bottom = bottom;
    Right = right;
    Top = top;
}

void clsRect::SetSize(double width, double height) {
    Right = Left + width;
    Bottom = Top - height;
}

bool clsRect::IsInside(double x, double y) const {
    const bool inX = (Left <= x && x <= Right) || (Right <= x && x <= Left);
    const bool inY = (Bottom <= y && y <= Top) || (Top <= y && y <= Bottom);
    return inX && inY;
}

void clsRect::CorrectAxes() {
    if (Left > Right) std::swap(Left, Right);
    if (Bottom > Top) std::swap(Bottom, Top);
}

bool clsRect::ClipLine(clsLine2D& line) const {
    clsRect r = Dup();
    r.CorrectAxes();
    const double eps = (r.GetWidth() > r.GetHeight() ? r.GetWidth() : r.GetHeight()) / 1000;

    const clsPoint2D s = line.StartPoint, e = line.EndPoint;
    const bool inS = r.IsInside(s.x, s.y), inE = r.IsInside(e.x, e.y);
    if (inS && inE) return true;

    double crossings[4]; // at most one per edge
    std::size_t n = 0;
    if (s.x != e.x) {
        for (const double edge : {r.Left, r.Right}) {
            const double t = ParamOf(s.x, e.x, edge);
            if (t < 0 || t > 1) continue;
            const clsPoint2D p = line.GetPoint(t);
            if (r.Bottom - eps < p.y && p.y < r.Top + eps) crossings[n++] = t;
        }
    }
    if (s.y != e.y) {
        for (const double edge : {r.Top, r.Bottom}) {
            const double t = ParamOf(s.y, e.y, edge);
            if (t < 0 || t > 1) continue;
            const clsPoint2D p = line.GetPoint(t);
            if (r.Left - eps < p.x && p.x < r.Right + eps) crossings[n++] = t;
        }
    }

    if (n == 0 || (n == 1 && !inS && !inE)) return false;
    // The visible part runs from the start, when it is inside, or else from the first
    // crossing, to the end, when it is inside, or else to the last crossing. With one end
    // inside there is only one true crossing; a segment passing within the tolerance of a
    // corner is reported by both edges that meet there, and taking the outermost of these
    // near-duplicates keeps all of the visible part. A segment with both ends outside
    // enters at its first crossing and leaves at its last.
    const auto [lowIt, highIt] = std::minmax_element(crossings, crossings + n);
    const clsPoint2D a = inS ? s : line.GetPoint(*lowIt);
    const clsPoint2D b = inE ? e : line.GetPoint(*highIt);
    line.StartPoint = a;
    line.EndPoint = b;
    return true;
}

} // namespace ov
