#include "geometry/clsLine3D.h"

#include "io/clsStream.h"

namespace ov {

void clsLine3D::Translate(double dx, double dy, double dz) {
    StartPoint.Translate(dx, dy, dz);
    EndPoint.Translate(dx, dy, dz);
}

void clsLine3D::RotateRel(double ax, double ay, double az, const clsPoint3D* center) {
    StartPoint.RotateRel(ax, ay, az, center);
    EndPoint.RotateRel(ax, ay, az, center);
}

void clsLine3D::Stretch(double sx, double sy, double sz, const clsPoint3D* center) {
    StartPoint.Stretch(sx, sy, sz, center);
    EndPoint.Stretch(sx, sy, sz, center);
}

clsPoint3D clsLine3D::GetPoint(double t) const {
    const clsPoint3D& s = StartPoint;
    const clsPoint3D& e = EndPoint;
    return {(e.x - s.x) * t + s.x, (e.y - s.y) * t + s.y, (e.z - s.z) * t + s.z};
}

clsPoint3D clsLine3D::GetVector() const {
    return {EndPoint.x - StartPoint.x, EndPoint.y - StartPoint.y, EndPoint.z - StartPoint.z};
}

void clsLine3D::ReadData(const clsStream& record) {
    StartPoint.ReadData(record.GetSubStream("StartPoint"));
    EndPoint.ReadData(record.GetSubStream("EndPoint"));
}

void clsLine3D::WriteData(clsStream& record) const {
    StartPoint.WriteData(record.CreateSubStream("StartPoint"));
    EndPoint.WriteData(record.CreateSubStream("EndPoint"));
}

} // namespace ov
