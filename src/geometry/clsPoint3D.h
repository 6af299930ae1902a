#pragma once
// A point or direction vector in document space. Operations change the point itself
// unless they return a new one; take a Duplicate to keep a value unchanged.

#include <string>

namespace ov {

class clsStream;

class clsPoint3D {
public:
    clsPoint3D() = default;
    clsPoint3D(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    double x = 0;
    double y = 0;
    double z = 0;

    void Assign(const clsPoint3D& other) { *this = other; }
    void SetPoint(double x_, double y_, double z_);
    double GetLength() const;
    void GetPoint(double& x_, double& y_, double& z_) const;
    // "(x, y, z)" with the user's locale-dependent number text.
    std::string GetCoordinates() const;
    void Invert();
    // A zero vector stays zero.
    void Normalize();
    clsPoint3D Duplicate() const { return *this; }
    void Translate(double dx, double dy, double dz);
    void Multiply(double f);
    void Add(const clsPoint3D& other);
    void Subtract(const clsPoint3D& other);
    clsPoint3D CrossProduct(const clsPoint3D& other) const;
    double DotProduct(const clsPoint3D& other) const;
    // Rotates about center (the origin when null): first about X by ax degrees, then Y, then Z.
    void RotateRel(double ax, double ay, double az, const clsPoint3D* center);
    // Scales about center (the origin when null).
    void Stretch(double sx, double sy, double sz, const clsPoint3D* center);
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;
};

} // namespace ov
