#pragma once
// An axis-parallel rectangle in a plane whose y axis points up: Top is the larger y edge
// once the edges are ordered (CorrectAxes). Nothing keeps the edges ordered by itself.

#include "geometry/clsLine2D.h"

namespace ov {

class clsRect {
public:
    clsRect() = default;

    double Top = 0;
    double Bottom = 0;
    double Left = 0;
    double Right = 0;

    clsRect DupOffset(double dLeft, double dTop, double dRight, double dBottom) const;
    void CopyAssign(const clsRect& other) { *this = other; }
    clsRect Dup() const { return *this; }
    // Shrinks by the four margins (negative margins grow it).
    void Offset(double dLeft, double dTop, double dRight, double dBottom);
    void Translate(double dx, double dy);
    void Assign(double left, double bottom, double width, double height);
    void SetValues(double left, double bottom, double right, double top);
    double GetWidth() const { return Right - Left; }
    double GetHeight() const { return Top - Bottom; }
    double GetCenterX() const { return (Right + Left) / 2; }
    double GetCenterY() const { return (Bottom + Top) / 2; }
    void SetSize(double width, double height);
    // Closed rectangle, whatever the order of the edges.
    bool IsInside(double x, double y) const;
    void CorrectAxes();
    // Cuts the segment in place to its part inside the rectangle (with a tolerance of a
    // thousandth of the larger side); false, with the segment unchanged, when none of it
    // is inside.
    bool ClipLine(clsLine2D& line) const;

private:
    static double ParamOf(double a, double b, double value) { return (value - a) / (b - a); }
};

} // namespace ov
