#pragma once
// A point or vector in a plane: picture, view-plane, screen or page coordinates.

#include <string>

namespace ov {

class clsStream;

class clsPoint2D {
public:
    clsPoint2D() = default;
    clsPoint2D(double x_, double y_) : x(x_), y(y_) {}

    double x = 0;
    double y = 0;

    void Assign(const clsPoint2D& other) { *this = other; }
    void SetPoint(double x_, double y_);
    double GetLength() const;
    void GetPoint(double& x_, double& y_) const;
    std::string GetCoordinates() const;
    void Invert();
    void Normalize();
    clsPoint2D Duplicate() const { return *this; }
    void Translate(double dx, double dy);
    void Add(const clsPoint2D& other);
    void Subtract(const clsPoint2D& other);
    double DotProduct(const clsPoint2D& other) const;
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;
};

} // namespace ov
