#pragma once
// A directed segment in a plane (picture, view-plane, screen or page coordinates).

#include "geometry/clsPoint2D.h"

namespace ov {

class clsStream;

class clsLine2D {
public:
    clsLine2D() = default;
    clsLine2D(double x1, double y1, double x2, double y2) : StartPoint(x1, y1), EndPoint(x2, y2) {}

    clsPoint2D StartPoint;
    clsPoint2D EndPoint;

    void Translate(double dx, double dy);
    clsPoint2D GetPoint(double t) const;
    void Assign(double x1, double y1, double x2, double y2);
    // True when both ends are exactly equal.
    bool IsDegenerate() const;
    // Extends this segment by a collinear segment that overlaps or touches it (within
    // sqrt(2) units of its line). Returns whether the other segment was absorbed.
    bool Combine(const clsLine2D& other);
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;

private:
    static bool IsPointNearLine(const clsPoint2D& p0, const clsPoint2D& p1, const clsPoint2D& q);
};

} // namespace ov
