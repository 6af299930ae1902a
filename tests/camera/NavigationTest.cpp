#include <gtest/gtest.h>

#include <cmath>

#include "camera/CameraKeyCommand.h"
#include "camera/clsPerspective.h"

using namespace ov;

namespace {

void ExpectPoint(const clsPoint3D& p, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

clsPoint3D ViewDirection(const clsPerspective& c) {
    clsPoint3D d = c.Normal.Duplicate();
    d.Normalize();
    return d;
}

} // namespace

TEST(Navigation, ZoomPanAndNudgeMoveOnlyTheEye) {
    clsPerspective c;
    c.CameraZoom(30);
    ExpectPoint(c.EyePoint, 0, 0, 0);
    ExpectPoint(c.Normal, -20, -20, -10, 0);

    clsPerspective p;
    p.CameraPan(1, 0);
    ExpectPoint(p.EyePoint, 20 - 1 / std::sqrt(2.0), 20 + 1 / std::sqrt(2.0), 10);
    ExpectPoint(p.Normal, -20, -20, -10, 0);
    ExpectPoint(p.ViewUp, 0, 0, 1, 0);

    clsPerspective n;
    n.CameraNudge({1, 2, 3});
    ExpectPoint(n.EyePoint, 21, 22, 13, 0);
    ExpectPoint(n.Normal, -20, -20, -10, 0);

    clsPerspective back;
    back.CameraZoom(-15); // negative distances move the eye back
    ExpectPoint(back.EyePoint, 30, 30, 15);
}

TEST(Navigation, RotateTurnsEitherRightOrUpNeverBoth) {
    clsPerspective c;
    clsPoint3D U, V, W;
    c.GetBaseVectors(U, V, W);

    clsPerspective right = c;
    right.CameraRotate(90, 0);
    ExpectPoint(ViewDirection(right), U.x, U.y, U.z);

    clsPerspective up = c;
    up.CameraRotate(0, 90);
    ExpectPoint(ViewDirection(up), V.x, V.y, V.z);

    clsPerspective both = c;
    both.CameraRotate(10, 20);
    clsPerspective yawOnly = c;
    yawOnly.CameraRotate(10, 0);
    ExpectPoint(both.Normal, yawOnly.Normal.x, yawOnly.Normal.y, yawOnly.Normal.z);
    // A yaw keeps V; the eye never moves.
    ExpectPoint(both.GetViewUpVector(), V.x, V.y, V.z);
    ExpectPoint(both.EyePoint, 20, 20, 10, 0);
    // Rotating by 10 degrees really turns by 10 degrees.
    const double cosAngle = ViewDirection(yawOnly).DotProduct(ViewDirection(c));
    EXPECT_NEAR(std::acos(cosAngle) * 180 / M_PI, 10, 1e-9);
}

TEST(Navigation, TiltRollsAboutTheViewingAxisAndKeepsUnitVectors) {
    clsPerspective c;
    clsPoint3D U, V, W;
    c.GetBaseVectors(U, V, W);
    clsPerspective t = c;
    t.CameraTilt(30);
    const clsPoint3D dir = ViewDirection(t);
    ExpectPoint(dir, -W.x, -W.y, -W.z);
    clsPoint3D U2, V2, W2;
    t.GetBaseVectors(U2, V2, W2);
    const double cs = std::cos(30 * M_PI / 180), sn = std::sin(30 * M_PI / 180);
    ExpectPoint(U2, cs * U.x + sn * V.x, cs * U.y + sn * V.y, cs * U.z + sn * V.z);
    ExpectPoint(V2, -sn * U.x + cs * V.x, -sn * U.y + cs * V.y, -sn * U.z + cs * V.z);

    clsPerspective full = c;
    full.CameraTilt(360);
    EXPECT_NEAR(full.Normal.GetLength(), 1, 1e-12);
    EXPECT_NEAR(full.ViewUp.GetLength(), 1, 1e-12);
    ExpectPoint(full.GetViewUpVector(), V.x, V.y, V.z, 1e-9);
    ExpectPoint(ViewDirection(full), -W.x, -W.y, -W.z, 1e-9);
}

TEST(Navigation, TransformReorientsTheAxes) {
    clsPerspective c;
    clsMatrix3D m;
    m.SetRotationZ(90);
    m.TranslateMatrix(100, 100, 100); // the translation of the matrix plays no part
    c.CameraTransform(m);
    ExpectPoint(c.EyePoint, 20, 20, 10, 0);
    // The viewing direction (-2, -2, -1)/3 turned by 90 degrees about Z.
    ExpectPoint(c.Normal, 2.0 / 3, -2.0 / 3, -1.0 / 3);
    ExpectPoint(c.ViewUp, c.GetViewUpVector().x, c.GetViewUpVector().y, c.GetViewUpVector().z);
}

TEST(Navigation, EyeTurnsFromOrthographicViews) {
    clsPerspective c;
    c.Normal.SetPoint(2, 0, 0);
    const clsPoint3D eye = c.EyePoint, up = c.ViewUp;
    c.TurnEyeVertically(1, 30);
    ExpectPoint(c.Normal, std::cos(M_PI / 6), 0, 0.5);
    ExpectPoint(c.EyePoint, eye.x, eye.y, eye.z, 0);
    ExpectPoint(c.ViewUp, up.x, up.y, up.z, 0);

    clsPerspective d;
    d.Normal.SetPoint(2, 0, 0);
    d.TurnEyeVertically(-1, 30);
    ExpectPoint(d.Normal, std::cos(M_PI / 6), 0, -0.5);

    clsPerspective down;
    down.Normal.SetPoint(0, 0, -5);
    down.TurnEyeVertically(1, 30);
    ExpectPoint(down.Normal, 0, 0, -std::cos(M_PI / 6));

    // Left/right turn the whole camera about the horizon normal by -dx * step.
    clsPerspective h;
    h.Normal.SetPoint(1, 0, 0);
    h.ViewUp.SetPoint(0, 0, 1);
    h.TurnEyeHorizontally(1, 90);
    ExpectPoint(ViewDirection(h), 0, -1, 0);
    h.TurnEyeHorizontally(-1, 90);
    ExpectPoint(ViewDirection(h), 1, 0, 0);
}

TEST(NavigationKeys, PerspectiveArrowTable) {
    const double A = 5, N = 2;
    struct Row {
        int dx, dy;
        bool shift, ctrl, alt;
        CameraMove move;
        const char* undo;
        double a, b;
    } rows[] = {
        {1, 0, true, false, false, CameraMove::Rotate, "Rotate View", 5, 0},
        {-1, 0, true, false, false, CameraMove::Rotate, "Rotate View", -5, 0},
        {1, 0, true, true, false, CameraMove::Tilt, "Tilt View", -5, 0},
        {-1, 0, true, true, false, CameraMove::Tilt, "Tilt View", 5, 0},
        {0, 1, true, false, false, CameraMove::Rotate, "Rotate View", 0, 5},
        {0, -1, true, false, false, CameraMove::Rotate, "Rotate View", 0, -5},
        {0, 1, true, true, false, CameraMove::None, "", 0, 0},
        {1, 0, false, false, false, CameraMove::Pan, "Pan View", 2, 0},
        {0, -1, false, false, false, CameraMove::Pan, "Pan View", 0, -2},
        {0, 1, false, true, false, CameraMove::Advance, "Advance View", 2, 0},
        {0, -1, false, true, false, CameraMove::Advance, "Advance View", -2, 0},
        {1, 0, false, true, false, CameraMove::None, "", 0, 0},
        {1, 0, false, false, true, CameraMove::None, "", 0, 0},
        {0, 1, true, true, true, CameraMove::None, "", 0, 0},
    };
    for (const Row& r : rows) {
        const CameraKeyCommand k = PerspectiveArrowKeyCommand(r.dx, r.dy, r.shift, r.ctrl, r.alt, A, N);
        SCOPED_TRACE(testing::Message() << r.dx << "," << r.dy << " shift " << r.shift << " ctrl " << r.ctrl
                                        << " alt " << r.alt);
        EXPECT_EQ(k.Move, r.move);
        EXPECT_EQ(k.UndoName, r.undo);
        EXPECT_EQ(k.Handled(), r.move != CameraMove::None);
        EXPECT_EQ(k.A, r.a);
        EXPECT_EQ(k.B, r.b);
    }
}

TEST(NavigationKeys, CommandsPerformTheCameraCalls) {
    clsPerspective viaKey, direct;
    PerspectiveArrowKeyCommand(0, 1, false, true, false, 3, 4).ApplyTo(viaKey);
    direct.CameraZoom(4);
    ExpectPoint(viaKey.EyePoint, direct.EyePoint.x, direct.EyePoint.y, direct.EyePoint.z, 0);

    clsPerspective tilted, tiltedDirect;
    PerspectiveArrowKeyCommand(1, 0, true, true, false, 3, 4).ApplyTo(tilted);
    tiltedDirect.CameraTilt(-3);
    ExpectPoint(tilted.ViewUp, tiltedDirect.ViewUp.x, tiltedDirect.ViewUp.y, tiltedDirect.ViewUp.z, 0);

    clsPerspective eye, eyeDirect;
    eye.Normal.SetPoint(2, 0, 0);
    eyeDirect.Normal.SetPoint(2, 0, 0);
    const CameraKeyCommand k = EyeTurnKeyCommand(0, 1, 30);
    EXPECT_EQ(k.UndoName, "Rotate Eye Point");
    k.ApplyTo(eye);
    eyeDirect.TurnEyeVertically(1, 30);
    ExpectPoint(eye.Normal, eyeDirect.Normal.x, eyeDirect.Normal.y, eyeDirect.Normal.z, 0);
    EXPECT_FALSE(EyeTurnKeyCommand(0, 0, 30).Handled());
}
