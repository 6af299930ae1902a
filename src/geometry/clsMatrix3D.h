#pragma once
// An affine map of document space applied to row vectors: p' = p * A + RefPoint, where A
// is the 3x3 linear part. Row i of A is the image of the i-th unit axis. Angles are in
// degrees; rotations are right-handed (a Z rotation by 90 maps X onto Y).

#include "geometry/clsPoint3D.h"

namespace ov {

class clsStream;

class clsMatrix3D {
public:
    clsMatrix3D() = default;

    clsPoint3D RefPoint; // translation part

    // Elements addressed 1..3; other indices throw std::out_of_range.
    double Elem(int i, int j) const;
    double& Elem(int i, int j);

    // Appends M applied about center (no centre when null):
    // p -> ((p * A + t) - C) * B + s + C, with A, t this map and B, s those of M.
    void TransformMatrix(const clsMatrix3D& m, const clsPoint3D* center);
    void StretchMatrix(double sx, double sy, double sz, const clsPoint3D* center);
    void RotateMatrix(double ax, double ay, double az, const clsPoint3D* center);
    void TranslateMatrix(double dx, double dy, double dz);
    void SetRotationX(double angle);
    void SetRotationY(double angle);
    void SetRotationZ(double angle);
    // Rotation about X, then Y, then Z.
    void SetRotationMatrix(double ax, double ay, double az);
    void SetIdentity();
    void Assign(const clsMatrix3D& other) { *this = other; }
    double GetDeterminant() const;
    // The inverse map; a singular matrix inverts to the identity.
    clsMatrix3D Inverse() const;
    clsPoint3D TransformPoint(const clsPoint3D& p) const;
    clsPoint3D UnTransformPoint(const clsPoint3D& p) const;
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;
    // Rows of the linear part from and to three vectors; RefPoint is left alone.
    void PackVectors(const clsPoint3D& v1, const clsPoint3D& v2, const clsPoint3D& v3);
    void UnpackVectors(clsPoint3D& v1, clsPoint3D& v2, clsPoint3D& v3) const;

    // Degrees to radians with the factor every angle of the program is converted with.
    static constexpr double DegToRad = 0.0174532925199433;

private:
    double e_[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

} // namespace ov
