// Navigation members of clsPerspective: turning, advancing, panning and nudging the eye.
#include "camera/clsPerspective.h"

namespace ov {

void clsPerspective::MoveEyeLocal(double a, double b, double c) {
    clsPoint3D U, V, W;
    GetBaseVectors(U, V, W);
    U.Multiply(a);
    V.Multiply(b);
    W.Multiply(c);
    EyePoint.Add(U);
    EyePoint.Add(V);
    EyePoint.Add(W);
}

void clsPerspective::RotateCameraLocal(const clsMatrix3D& m) {
    clsPoint3D U, V, W;
    GetBaseVectors(U, V, W);
    clsMatrix3D t;
    t.TransformMatrix(m, nullptr);
    clsMatrix3D b;
    b.PackVectors(U, V, W);
    // Row i of t becomes m(i,1)*U + m(i,2)*V + m(i,3)*W: the local rotation in document axes.
    t.TransformMatrix(b, nullptr);
    t.UnpackVectors(U, V, W);
    ViewUp = V;
    Normal = W;
    Normal.Invert();
}

void clsPerspective::CameraTilt(double angle) {
    clsMatrix3D m;
    m.SetRotationZ(angle);
    RotateCameraLocal(m);
}

void clsPerspective::CameraZoom(double distance) { MoveEyeLocal(0, 0, -distance); }

void clsPerspective::CameraRotate(double yaw, double pitch) {
    clsMatrix3D m;
    if (yaw != 0) m.SetRotationY(-yaw);
    else m.SetRotationX(pitch);
    RotateCameraLocal(m);
}

void clsPerspective::CameraPan(double du, double dv) { MoveEyeLocal(du, dv, 0); }

void clsPerspective::CameraNudge(const clsPoint3D& v) { EyePoint.Add(v); }

void clsPerspective::CameraTransform(const clsMatrix3D& m) {
    clsPoint3D U, V, W;
    GetBaseVectors(U, V, W);
    clsMatrix3D b;
    b.PackVectors(U, V, W);
    b.TransformMatrix(m, nullptr);
    b.UnpackVectors(U, V, W);
    ViewUp = V;
    Normal = W;
    Normal.Invert();
}

void clsPerspective::TurnEyeHorizontally(int dx, double angleStep) {
    clsPoint3D h = Horizon.Duplicate();
    h.Multiply(dx);
    clsMatrix3D m;
    m.SetRotationMatrix(-angleStep * h.x, -angleStep * h.y, -angleStep * h.z);
    CameraTransform(m);
}

void clsPerspective::TurnEyeVertically(int dy, double angleStep) {
    clsPoint3D W = Normal.Duplicate();
    W.Invert();
    W.Normalize();
    clsPoint3D S = Horizon.CrossProduct(W); // horizontal axis across the viewing direction
    S.Normalize();
    clsPoint3D T = W.CrossProduct(S); // the horizon normal's direction across the view
    T.Normalize();
    clsMatrix3D r;
    r.SetRotationY(dy * angleStep);
    clsMatrix3D b;
    b.PackVectors(W, S, T);
    const clsPoint3D d = b.TransformPoint(r.TransformPoint(clsPoint3D(1, 0, 0)));
    Normal = d;
    Normal.Invert();
}

} // namespace ov
