#include "camera/clsPerspective.h"

#include <algorithm>
#include <cmath>

#include "io/clsStream.h"

namespace ov {

namespace {

constexpr double kFieldRatios[] = {0.5, 1, 2, 3, 4}; // distance : half window, Field 2..6
const char* const kFieldNames[] = {"Custom", "Angle", "1:2", "1:1", "2:1", "3:1", "4:1"};

// ConvertLine runs once per drawn segment and has to rebuild the camera frame every time,
// so the vector arithmetic on that path is written out here instead of calling the
// clsPoint3D members in the geometry library. Each helper performs the same floating-point
// operations in the same order as the member named beside it, so the results are the same
// to the last bit.

// p.Normalize()
inline void NormalizeVector(clsPoint3D& p) {
    const double length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    if (length == 0) return;
    p.x /= length;
    p.y /= length;
    p.z /= length;
}

// a.CrossProduct(b)
inline clsPoint3D Cross(const clsPoint3D& a, const clsPoint3D& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// a.DotProduct(b)
inline double Dot(const clsPoint3D& a, const clsPoint3D& b) {
    return b.y * a.y + b.x * a.x + b.z * a.z;
}

// Camera coordinates of the document-space offset d from the eye.
clsPoint3D CameraCoordinates(const clsPoint3D& d, const clsPoint3D& U, const clsPoint3D& V,
                             const clsPoint3D& W) {
    return {Dot(d, U), Dot(d, V), Dot(d, W)};
}

// Camera coordinates of the document-space point p (p - eye, then the frame).
clsPoint3D ToCamera(const clsPoint3D& p, const clsPoint3D& eye, const clsPoint3D& U,
                    const clsPoint3D& V, const clsPoint3D& W) {
    return CameraCoordinates({p.x - eye.x, p.y - eye.y, p.z - eye.z}, U, V, W);
}

} // namespace

clsPerspective::clsPerspective() {
    EyePoint.SetPoint(20, 20, 10);
    Normal = EyePoint.Duplicate();
    Normal.Invert();
    ViewUp.SetPoint(0, 0, 1);
    UMin = -2;
    VMin = -2;
    UMax = 2;
    VMax = 2;
    UVRatio = 1.41;
    Distance = 0.5;
    Field = 4;
    FieldAngle = 30;
    UpdateFieldOfView();
    FrontClipping = 0;
    BackClipping = -50;
    ClipBack = false;
    ShowHorizon = true;
    ShowCenter = false;
    Horizon.SetPoint(0, 0, 1);
    HorizonOffset = 0;
    ShowVanishLines = true;
}

const char* clsPerspective::FieldName(std::int32_t field) {
    return field >= 0 && field < FieldCount ? kFieldNames[field] : "";
}

void clsPerspective::UpdateFieldOfView() {
    double h;
    if (Field == 1) h = std::tan(FieldAngle * clsMatrix3D::DegToRad) * Distance;
    else if (Field >= 2 && Field <= 6) h = Distance / kFieldRatios[Field - 2];
    else return;
    if (UVRatio < 1) {
        UMin = -h * UVRatio;
        UMax = h * UVRatio;
        VMin = -h;
        VMax = h;
    } else {
        UMin = -h;
        UMax = h;
        VMin = -h / UVRatio;
        VMax = h / UVRatio;
    }
}

void clsPerspective::GetBaseVectors(clsPoint3D& U, clsPoint3D& V, clsPoint3D& W) const {
    W = {-Normal.x, -Normal.y, -Normal.z};
    NormalizeVector(W);
    U = Cross(ViewUp, W);
    NormalizeVector(U);
    V = Cross(W, U);
}

clsPoint3D clsPerspective::GetViewUpVector() const {
    clsPoint3D U, V, W;
    GetBaseVectors(U, V, W);
    return V;
}

void clsPerspective::Project(const clsPoint3D& c, double& u, double& v) const {
    if (c.z != 0) {
        u = -Distance * c.x / c.z;
        v = -Distance * c.y / c.z;
    } else {
        u = 0;
        v = 0;
    }
}

bool clsPerspective::ConvertPoint(const clsPoint3D& p, double& u, double& v) const {
    clsPoint3D U, V, W;
    GetBaseVectors(U, V, W);
    clsPoint3D d = p.Duplicate();
    d.Subtract(EyePoint);
    Project(CameraCoordinates(d, U, V, W), u, v);
    return true;
}

double clsPerspective::GetDepth(const clsPoint3D& p) const {
    clsPoint3D U, V, W;
    GetBaseVectors(U, V, W);
    clsPoint3D d = p.Duplicate();
    d.Subtract(EyePoint);
    return d.DotProduct(W);
}

clsLine2D clsPerspective::GetHorizonLine() const {
    clsLine2D line(0, 0, 0, 0);
    clsPoint3D U, V, W;
    GetBaseVectors(U, V, W);
    const double a = Horizon.DotProduct(U), b = Horizon.DotProduct(V), c = Horizon.DotProduct(W);
    const double d = Distance;
    // The horizon is the line a*u + b*v = c*d in the picture plane.
    if (a == 0 && b == 0) return line;
    if (a == 0) {
        const double t = c / b * d;
        if (VMin <= t && t <= VMax) line.Assign(UMin, t, UMax, t);
        return line;
    }
    if (b == 0) {
        const double t = c / a * d;
        if (UMin <= t && t <= UMax) line.Assign(t, VMin, t, VMax);
        return line;
    }
    double uAtVMin = (c * d - b * VMin) / a, uAtVMax = (c * d - b * VMax) / a;
    double vAtUMin = (c * d - a * UMin) / b, vAtUMax = (c * d - a * UMax) / b;
    if (a * b >= 0) { // falls to the right
        uAtVMax = std::max(uAtVMax, UMin);
        uAtVMin = std::min(uAtVMin, UMax);
        vAtUMin = std::min(vAtUMin, VMax);
        vAtUMax = std::max(vAtUMax, VMin);
        if (uAtVMax < uAtVMin) line.Assign(uAtVMax, vAtUMin, uAtVMin, vAtUMax);
    } else { // rises to the right
        uAtVMin = std::max(uAtVMin, UMin);
        uAtVMax = std::min(uAtVMax, UMax);
        vAtUMin = std::max(vAtUMin, VMin);
        vAtUMax = std::min(vAtUMax, VMax);
        if (uAtVMin < uAtVMax) line.Assign(uAtVMin, vAtUMin, uAtVMax, vAtUMax);
    }
    return line;
}

bool clsPerspective::ClipTest(double p, double q, double& tEnter, double& tLeave) {
    if (p > 0) {
        const double r = q / p;
        if (r <= 0) return true;
        if (r > tLeave) return false;
        if (r > tEnter) tEnter = r;
        return true;
    }
    if (p == 0) return q <= 0;
    const double r = q / p;
    if (r >= 1) return true;
    if (r < tEnter) return false;
    if (r < tLeave) tLeave = r;
    return true;
}

bool clsPerspective::ClipCameraLine(clsLine3D& line) const {
    const clsPoint3D S = line.StartPoint;
    const clsPoint3D& E = line.EndPoint;
    const clsPoint3D Dv{E.x - S.x, E.y - S.y, E.z - S.z}; // line.GetVector()
    const double d = Distance, F = FrontClipping, B = BackClipping;
    double tEnter = 0, tLeave = 1;
    if (!ClipTest(-d * Dv.x - Dv.z * UMax, d * S.x + UMax * S.z, tEnter, tLeave)) return false;
    if (!ClipTest(d * Dv.x + Dv.z * UMin, -d * S.x - UMin * S.z, tEnter, tLeave)) return false;
    if (!ClipTest(d * Dv.y + Dv.z * VMin, -d * S.y - VMin * S.z, tEnter, tLeave)) return false;
    if (!ClipTest(-d * Dv.y - Dv.z * VMax, d * S.y + VMax * S.z, tEnter, tLeave)) return false;
    if (!ClipTest(-Dv.z, S.z + d - F, tEnter, tLeave)) return false;
    if (ClipBack && !ClipTest(Dv.z, -S.z - d + B, tEnter, tLeave)) return false;
    if (tLeave < 1) line.EndPoint = {S.x + tLeave * Dv.x, S.y + tLeave * Dv.y, S.z + tLeave * Dv.z};
    if (tEnter > 0) line.StartPoint = {S.x + tEnter * Dv.x, S.y + tEnter * Dv.y, S.z + tEnter * Dv.z};
    return true;
}

bool clsPerspective::ConvertLine(const clsLine3D& line, double& uStart, double& vStart, double& uEnd,
                                 double& vEnd) const {
    clsPoint3D U, V, W;
    GetBaseVectors(U, V, W);
    clsLine3D c(ToCamera(line.StartPoint, EyePoint, U, V, W),
                ToCamera(line.EndPoint, EyePoint, U, V, W));
    if (!ClipCameraLine(c)) return false;
    Project(c.StartPoint, uStart, vStart);
    Project(c.EndPoint, uEnd, vEnd);
    return true;
}

void clsPerspective::ReadData(const clsStream& record) {
    EyePoint.ReadData(record.GetSubStream("EyePoint"));
    Normal.ReadData(record.GetSubStream("Normal"));
    ViewUp.ReadData(record.GetSubStream("ViewUp"));
    UMin = record.GetDouble("u-min", false, 0, 0, 0);
    UMax = record.GetDouble("u-max", false, 0, 0, 0);
    VMin = record.GetDouble("v-min", false, 0, 0, 0);
    VMax = record.GetDouble("v-max", false, 0, 0, 0);
    UVRatio = record.GetDouble("UVRatio", false, 0, 0, 1.41);
    Distance = record.GetDouble("Distance", false, 0, 0, 0);
    FrontClipping = record.GetDouble("FrontClipping", false, 0, 0, 0);
    BackClipping = record.GetDouble("BackClipping", false, 0, 0, 0);
    FieldAngle = record.GetDouble("FieldAngle", false, 0, 0, 0);
    Field = record.GetLong("Field", 0, 6, 0);
    ClipBack = record.GetBool("ClipBack", false);
    ShowVanishLines = record.GetBool("ShowVanishLines", false);
    ShowHorizon = record.GetBool("ShowHorizon", false);
    ShowCenter = record.GetBool("ShowCenter", false);
    Horizon.ReadData(record.GetSubStream("Horizon"));
    HorizonOffset = record.GetDouble("HorizonOffset", false, 0, 0, 0);
}

void clsPerspective::WriteData(clsStream& record) const {
    EyePoint.WriteData(record.CreateSubStream("EyePoint"));
    Normal.WriteData(record.CreateSubStream("Normal"));
    ViewUp.WriteData(record.CreateSubStream("ViewUp"));
    record.SetDouble("u-min", UMin);
    record.SetDouble("u-max", UMax);
    record.SetDouble("v-min", VMin);
    record.SetDouble("v-max", VMax);
    record.SetDouble("UVRatio", UVRatio);
    record.SetDouble("Distance", Distance);
    record.SetDouble("FrontClipping", FrontClipping);
    record.SetDouble("BackClipping", BackClipping);
    record.SetDouble("FieldAngle", FieldAngle);
    record.SetLong("Field", Field);
    record.SetBool("ClipBack", ClipBack);
    record.SetBool("ShowVanishLines", ShowVanishLines);
    record.SetBool("ShowHorizon", ShowHorizon);
    record.SetBool("ShowCenter", ShowCenter);
    Horizon.WriteData(record.CreateSubStream("Horizon"));
    record.SetDouble("HorizonOffset", HorizonOffset);
}

} // namespace ov
