#include "geometry/clsLine2D.h"

#include <cmath>

#include "io/clsStream.h"

namespace ov {

void clsLine2D::Translate(double dx, double dy) {
    StartPoint.Translate(dx, dy);
    EndPoint.Translate(dx, dy);
}

clsPoint2D clsLine2D::GetPoint(double t) const {
    return {(EndPoint.x - StartPoint.x) * t + StartPoint.x, (EndPoint.y - StartPoint.y) * t + StartPoint.y};
}

void clsLine2D::Assign(double x1, double y1, double x2, double y2) {
    StartPoint.SetPoint(x1, y1);
    EndPoint.SetPoint(x2, y2);
}

bool clsLine2D::IsDegenerate() const { return StartPoint.x == EndPoint.x && StartPoint.y == EndPoint.y; }

bool clsLine2D::IsPointNearLine(const clsPoint2D& p0, const clsPoint2D& p1, const clsPoint2D& q) {
    const double dx = p1.x - p0.x, dy = p1.y - p0.y;
    const double wx = q.x - p0.x, wy = q.y - p0.y;
    const double c = wx * dy - wy * dx;
    return c * c / (dx * dx + dy * dy) < 2.0;
}

bool clsLine2D::Combine(const clsLine2D& other) {
    if (IsDegenerate() || other.IsDegenerate()) return false;
    if (!IsPointNearLine(StartPoint, EndPoint, other.StartPoint) ||
        !IsPointNearLine(StartPoint, EndPoint, other.EndPoint))
        return false;

    const double dx = EndPoint.x - StartPoint.x, dy = EndPoint.y - StartPoint.y;
    double t1, t2;
    if (std::fabs(dy) < std::fabs(dx)) {
        t1 = (other.StartPoint.x - StartPoint.x) / dx;
        t2 = (other.EndPoint.x - StartPoint.x) / dx;
    } else {
        t1 = (other.StartPoint.y - StartPoint.y) / dy;
        t2 = (other.EndPoint.y - StartPoint.y) / dy;
    }

    bool merged = false;
    if (t1 <= 0 && t2 > 0) {
        StartPoint = other.StartPoint;
        merged = true;
    } else if (t2 <= 0 && t1 > 0) {
        StartPoint = other.EndPoint;
        merged = true;
    } else if (t1 >= 0 && t2 <= 1) {
        merged = true; // the other segment lies within this one
    }
    if (t2 >= 1 && t1 < 1) {
        EndPoint = other.EndPoint;
        merged = true;
    } else if (t1 >= 1 && t2 < 1) {
        EndPoint = other.StartPoint;
        merged = true;
    }
    return merged;
}

void clsLine2D::ReadData(const clsStream& record) {
    StartPoint.ReadData(record.GetSubStream("StartPoint"));
    EndPoint.ReadData(record.GetSubStream("EndPoint"));
}

void clsLine2D::WriteData(clsStream& record) const {
    StartPoint.WriteData(record.CreateSubStream("StartPoint"));
    EndPoint.WriteData(record.CreateSubStream("EndPoint"));
}

} // namespace ov
