#include "geometry/clsPoint2D.h"

#include <cmath>

#include "io/NumberText.h"
#include "io/clsStream.h"

namespace ov {

void clsPoint2D::SetPoint(double x_, double y_) {
    x = x_;
    y = y_;
}

double clsPoint2D::GetLength() const { return std::sqrt(x * x + y * y); }

void clsPoint2D::GetPoint(double& x_, double& y_) const {
    x_ = x;
    y_ = y;
}

std::string clsPoint2D::GetCoordinates() const {
    return "(" + LocaleNumberText(x) + ", " + LocaleNumberText(y) + ")";
}

void clsPoint2D::Invert() { SetPoint(-x, -y); }

void clsPoint2D::Normalize() {
    const double length = GetLength();
    if (length == 0) return;
    x /= length;
    y /= length;
}

void clsPoint2D::Translate(double dx, double dy) {
    x += dx;
    y += dy;
}

void clsPoint2D::Add(const clsPoint2D& other) { Translate(other.x, other.y); }
void clsPoint2D::Subtract(const clsPoint2D& other) { Translate(-other.x, -other.y); }
double clsPoint2D::DotProduct(const clsPoint2D& other) const { return other.y * y + other.x * x; }

void clsPoint2D::ReadData(const clsStream& record) {
    x = record.GetDouble("x", false, 0, 0, 0);
    y = record.GetDouble("y", false, 0, 0, 0);
}

void clsPoint2D::WriteData(clsStream& record) const {
    record.SetDouble("x", x);
    record.SetDouble("y", y);
}

} // namespace ov
