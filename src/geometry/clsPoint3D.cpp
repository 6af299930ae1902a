#include "geometry/clsPoint3D.h"

#include <cmath>

#include "geometry/clsMatrix3D.h"
#include "io/NumberText.h"
#include "io/clsStream.h"

namespace ov {

void clsPoint3D::SetPoint(double x_, double y_, double z_) {
    x = x_;
    y = y_;
    z = z_;
}

double clsPoint3D::GetLength() const { return std::sqrt(x * x + y * y + z * z); }

void clsPoint3D::GetPoint(double& x_, double& y_, double& z_) const {
    x_ = x;
    y_ = y;
    z_ = z;
}

std::string clsPoint3D::GetCoordinates() const {
    return "(" + LocaleNumberText(x) + ", " + LocaleNumberText(y) + ", " + LocaleNumberText(z) + ")";
}

void clsPoint3D::Invert() { SetPoint(-x, -y, -z); }

void clsPoint3D::Normalize() {
    const double length = GetLength();
    if (length == 0) return;
    x /= length;
    y /= length;
    z /= length;
}

void clsPoint3D::Translate(double dx, double dy, double dz) {
    x += dx;
    y += dy;
    z += dz;
}

void clsPoint3D::Multiply(double f) { SetPoint(x * f, y * f, z * f); }
void clsPoint3D::Add(const clsPoint3D& other) { Translate(other.x, other.y, other.z); }
void clsPoint3D::Subtract(const clsPoint3D& other) { Translate(-other.x, -other.y, -other.z); }

clsPoint3D clsPoint3D::CrossProduct(const clsPoint3D& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
}

double clsPoint3D::DotProduct(const clsPoint3D& other) const { return other.y * y + other.x * x + other.z * z; }

void clsPoint3D::RotateRel(double ax, double ay, double az, const clsPoint3D* center) {
    clsMatrix3D m;
    m.RotateMatrix(ax, ay, az, center);
    Assign(m.TransformPoint(*this));
}

void clsPoint3D::Stretch(double sx, double sy, double sz, const clsPoint3D* center) {
    clsMatrix3D m;
    m.StretchMatrix(sx, sy, sz, center);
    Assign(m.TransformPoint(*this));
}

void clsPoint3D::ReadData(const clsStream& record) {
    x = record.GetDouble("x", false, 0, 0, 0);
    y = record.GetDouble("y", false, 0, 0, 0);
    z = record.GetDouble("z", false, 0, 0, 0);
}

void clsPoint3D::WriteData(clsStream& record) const {
    record.SetDouble("x", x);
    record.SetDouble("y", y);
    record.SetDouble("z", z);
}

} // namespace ov
