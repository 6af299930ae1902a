#pragma once
// A directed segment in document space: t = 0 at StartPoint, t = 1 at EndPoint.

#include "geometry/clsPoint3D.h"

namespace ov {

class clsStream;

class clsLine3D {
public:
    clsLine3D() = default;
    clsLine3D(const clsPoint3D& start, const clsPoint3D& end) : StartPoint(start), EndPoint(end) {}

    clsPoint3D StartPoint;
    clsPoint3D EndPoint;

    void Translate(double dx, double dy, double dz);
    void TranslateAdd(const clsPoint3D& v) { Translate(v.x, v.y, v.z); }
    void TranslateSub(const clsPoint3D& v) { Translate(-v.x, -v.y, -v.z); }
    void RotateRel(double ax, double ay, double az, const clsPoint3D* center);
    void Stretch(double sx, double sy, double sz, const clsPoint3D* center);
    clsPoint3D GetPoint(double t) const;
    clsPoint3D GetVector() const;
    void Assign(const clsLine3D& other) { *this = other; }
    clsLine3D Duplicate() const { return *this; }
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;
};

} // namespace ov
