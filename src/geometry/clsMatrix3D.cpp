#include "geometry/clsMatrix3D.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "io/clsStream.h"

namespace ov {

namespace {

void CheckIndex(int i, int j) {
    if (i < 1 || i > 3 || j < 1 || j > 3) throw std::out_of_range("Subscript out of range");
}

const char* const kElementKeys[3][3] = {{"d11", "d12", "d13"}, {"d21", "d22", "d23"}, {"d31", "d32", "d33"}};

} // namespace

double clsMatrix3D::Elem(int i, int j) const {
    CheckIndex(i, j);
    return e_[i - 1][j - 1];
}

double& clsMatrix3D::Elem(int i, int j) {
    CheckIndex(i, j);
    return e_[i - 1][j - 1];
}

void clsMatrix3D::TransformMatrix(const clsMatrix3D& m, const clsPoint3D* center) {
    const clsMatrix3D b = m; // m may be this matrix itself
    clsMatrix3D r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) sum += e_[i][k] * b.e_[k][j];
            r.e_[i][j] = sum;
        }
    if (center) RefPoint.Subtract(*center);
    r.RefPoint = b.TransformPoint(RefPoint);
    Assign(r);
    if (center) RefPoint.Add(*center);
}

void clsMatrix3D::StretchMatrix(double sx, double sy, double sz, const clsPoint3D* center) {
    clsMatrix3D t;
    t.e_[0][0] = sx;
    t.e_[1][1] = sy;
    t.e_[2][2] = sz;
    TransformMatrix(t, center);
}

void clsMatrix3D::RotateMatrix(double ax, double ay, double az, const clsPoint3D* center) {
    clsMatrix3D t;
    t.SetRotationMatrix(ax, ay, az);
    TransformMatrix(t, center);
}

void clsMatrix3D::TranslateMatrix(double dx, double dy, double dz) { RefPoint.Translate(dx, dy, dz); }

void clsMatrix3D::SetRotationX(double angle) {
    SetIdentity();
    const double c = std::cos(angle * DegToRad), s = std::sin(angle * DegToRad);
    e_[1][1] = c;
    e_[2][2] = c;
    e_[1][2] = s;
    e_[2][1] = -s;
}

void clsMatrix3D::SetRotationY(double angle) {
    SetIdentity();
    const double c = std::cos(angle * DegToRad), s = std::sin(angle * DegToRad);
    e_[0][0] = c;
    e_[2][2] = c;
    e_[2][0] = s;
    e_[0][2] = -s;
}

void clsMatrix3D::SetRotationZ(double angle) {
    SetIdentity();
    const double c = std::cos(angle * DegToRad), s = std::sin(angle * DegToRad);
    e_[0][0] = c;
    e_[1][1] = c;
    e_[0][1] = s;
    e_[1][0] = -s;
}

void clsMatrix3D::SetRotationMatrix(double ax, double ay, double az) {
    if (ax == 0) SetIdentity();
    else SetRotationX(ax);
    const clsPoint3D origin;
    clsMatrix3D t;
    if (ay != 0) {
        t.SetRotationY(ay);
        TransformMatrix(t, &origin);
    }
    if (az != 0) {
        t.SetRotationZ(az);
        TransformMatrix(t, &origin);
    }
}

void clsMatrix3D::SetIdentity() {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) e_[i][j] = i == j ? 1 : 0;
    RefPoint.SetPoint(0, 0, 0);
}

double clsMatrix3D::GetDeterminant() const {
    const auto& e = e_;
    return (e[1][1] * e[2][2] - e[1][2] * e[2][1]) * e[0][0] - (e[2][2] * e[0][1] - e[2][1] * e[0][2]) * e[1][0] +
           (e[1][2] * e[0][1] - e[1][1] * e[0][2]) * e[2][0];
}

clsMatrix3D clsMatrix3D::Inverse() const {
    clsMatrix3D r;
    const double det = GetDeterminant();
    if (det == 0) return r;
    const auto& e = e_;
    // r(i, j) = cofactor(j, i) / det: the adjugate divided by the determinant.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            // With the indices taken cyclically the 2x2 minor carries the cofactor's sign.
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            r.e_[i][j] = (e[r0][c0] * e[r1][c1] - e[r0][c1] * e[r1][c0]) / det;
        }
    clsPoint3D t = RefPoint;
    r.RefPoint.SetPoint(0, 0, 0);
    t = r.TransformPoint(t);
    t.Invert();
    r.RefPoint = t;
    return r;
}

clsPoint3D clsMatrix3D::TransformPoint(const clsPoint3D& p) const {
    return {p.x * e_[0][0] + p.y * e_[1][0] + p.z * e_[2][0] + RefPoint.x,
            p.x * e_[0][1] + p.y * e_[1][1] + p.z * e_[2][1] + RefPoint.y,
            p.x * e_[0][2] + p.y * e_[1][2] + p.z * e_[2][2] + RefPoint.z};
}

clsPoint3D clsMatrix3D::UnTransformPoint(const clsPoint3D& p) const { return Inverse().TransformPoint(p); }

void clsMatrix3D::ReadData(const clsStream& record) {
    RefPoint.ReadData(record.GetSubStream("RefPoint"));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) e_[i][j] = record.GetDouble(kElementKeys[i][j], false, 0, 0, 0);
}

void clsMatrix3D::WriteData(clsStream& record) const {
    RefPoint.WriteData(record.CreateSubStream("RefPoint"));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) record.SetDouble(kElementKeys[i][j], e_[i][j]);
}

void clsMatrix3D::PackVectors(const clsPoint3D& v1, const clsPoint3D& v2, const clsPoint3D& v3) {
    const clsPoint3D* rows[3] = {&v1, &v2, &v3};
    for (int i = 0; i < 3; ++i) {
        e_[i][0] = rows[i]->x;
        e_[i][1] = rows[i]->y;
        e_[i][2] = rows[i]->z;
    }
}

void clsMatrix3D::UnpackVectors(clsPoint3D& v1, clsPoint3D& v2, clsPoint3D& v3) const {
    clsPoint3D* rows[3] = {&v1, &v2, &v3};
    for (int i = 0; i < 3; ++i) rows[i]->SetPoint(e_[i][0], e_[i][1], e_[i][2]);
}

} // namespace ov
