#include <gtest/gtest.h>

#include <cmath>

#include "camera/clsPerspective.h"
#include "io/clsStream.h"

using namespace ov;

namespace {

const double kSqrt2 = std::sqrt(2.0);

void ExpectPoint(const clsPoint3D& p, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

// A camera at the origin looking along -Z with Y up: camera coordinates equal document
// coordinates, which makes clipping cases easy to read.
clsPerspective AxisCamera() {
    clsPerspective c;
    c.EyePoint.SetPoint(0, 0, 0);
    c.Normal.SetPoint(0, 0, -1);
    c.ViewUp.SetPoint(0, 1, 0);
    c.Distance = 1;
    c.UMin = -1;
    c.UMax = 1;
    c.VMin = -1;
    c.VMax = 1;
    return c;
}

} // namespace

TEST(Perspective, NewCameraDefaults) {
    const clsPerspective c;
    ExpectPoint(c.EyePoint, 20, 20, 10, 0);
    ExpectPoint(c.Normal, -20, -20, -10, 0);
    ExpectPoint(c.ViewUp, 0, 0, 1, 0);
    ExpectPoint(c.Horizon, 0, 0, 1, 0);
    EXPECT_DOUBLE_EQ(c.UMin, -0.25);
    EXPECT_DOUBLE_EQ(c.UMax, 0.25);
    EXPECT_DOUBLE_EQ(c.VMin, -0.25 / 1.41);
    EXPECT_DOUBLE_EQ(c.VMax, 0.25 / 1.41);
    EXPECT_EQ(c.UVRatio, 1.41);
    EXPECT_EQ(c.Distance, 0.5);
    EXPECT_EQ(c.Field, 4);
    EXPECT_EQ(c.FieldAngle, 30);
    EXPECT_EQ(c.FrontClipping, 0);
    EXPECT_EQ(c.BackClipping, -50);
    EXPECT_FALSE(c.ClipBack);
    EXPECT_TRUE(c.ShowHorizon);
    EXPECT_TRUE(c.IsHorizonVisible());
    EXPECT_FALSE(c.ShowCenter);
    EXPECT_FALSE(c.IsShowCrossHairs());
    EXPECT_EQ(c.HorizonOffset, 0);
    EXPECT_TRUE(c.ShowVanishLines);
}

TEST(Perspective, NewCameraFrameAndProjectionOfTheOrigin) {
    const clsPerspective c;
    clsPoint3D U, V, W;
    c.GetBaseVectors(U, V, W);
    ExpectPoint(W, 2.0 / 3, 2.0 / 3, 1.0 / 3);
    ExpectPoint(U, -1 / kSqrt2, 1 / kSqrt2, 0);
    const clsPoint3D expectedV = W.CrossProduct(U);
    ExpectPoint(V, expectedV.x, expectedV.y, expectedV.z);
    EXPECT_NEAR(V.GetLength(), 1, 1e-15);
    EXPECT_GT(V.z, 0); // picture up is roughly document up
    const clsPoint3D up = c.GetViewUpVector();
    ExpectPoint(up, V.x, V.y, V.z, 0);

    double u = 9, v = 9;
    EXPECT_TRUE(c.ConvertPoint({0, 0, 0}, u, v));
    EXPECT_NEAR(u, 0, 1e-15);
    EXPECT_NEAR(v, 0, 1e-15);
    EXPECT_NEAR(c.GetDepth({0, 0, 0}), -30, 1e-12);
}

TEST(Perspective, ProjectionFollowsTheCameraAxes) {
    const clsPerspective c = AxisCamera();
    double u, v;
    c.ConvertPoint({1, 2, -4}, u, v);
    EXPECT_DOUBLE_EQ(u, 0.25);
    EXPECT_DOUBLE_EQ(v, 0.5);
    // Behind the eye the same formula mirrors; depth 0 gives the centre.
    c.ConvertPoint({1, 2, 4}, u, v);
    EXPECT_DOUBLE_EQ(u, -0.25);
    c.ConvertPoint({1, 2, 0}, u, v);
    EXPECT_EQ(u, 0);
    EXPECT_EQ(v, 0);
    EXPECT_DOUBLE_EQ(c.GetDepth({5, 5, -7}), -7);
}

TEST(Perspective, DegenerateFramesProjectToTheCentre) {
    clsPerspective c;
    c.Normal.SetPoint(0, 0, 0);
    double u = 1, v = 1;
    c.ConvertPoint({3, 4, 5}, u, v);
    EXPECT_EQ(u, 0);
    EXPECT_EQ(v, 0);

    clsPerspective parallel;
    parallel.Normal.SetPoint(0, 0, -1); // ViewUp (0,0,1) is parallel to it
    clsPoint3D U, V, W;
    parallel.GetBaseVectors(U, V, W);
    ExpectPoint(U, 0, 0, 0, 0);
    ExpectPoint(V, 0, 0, 0, 0);
    double su, sv, eu, ev;
    EXPECT_NO_FATAL_FAILURE(parallel.ConvertLine(clsLine3D({0, 0, 0}, {1, 1, 1}), su, sv, eu, ev));
}

TEST(Perspective, FieldOfViewPresets) {
    clsPerspective c;
    c.Field = 1;
    c.FieldAngle = 45;
    c.Distance = 2;
    c.UVRatio = 2;
    c.UpdateFieldOfView();
    EXPECT_NEAR(c.UMin, -2, 1e-12);
    EXPECT_NEAR(c.UMax, 2, 1e-12);
    EXPECT_NEAR(c.VMin, -1, 1e-12);
    EXPECT_NEAR(c.VMax, 1, 1e-12);
    c.UVRatio = 0.5;
    c.UpdateFieldOfView();
    EXPECT_NEAR(c.UMin, -1, 1e-12);
    EXPECT_NEAR(c.UMax, 1, 1e-12);
    EXPECT_NEAR(c.VMin, -2, 1e-12);
    EXPECT_NEAR(c.VMax, 2, 1e-12);

    const double ratios[] = {0.5, 1, 2, 3, 4};
    c.UVRatio = 1;
    for (int field = 2; field <= 6; ++field) {
        c.Field = field;
        c.UpdateFieldOfView();
        EXPECT_DOUBLE_EQ(c.UMax, 2 / ratios[field - 2]) << field;
        EXPECT_DOUBLE_EQ(c.VMin, -2 / ratios[field - 2]) << field;
    }

    c.Field = 0;
    c.UMin = -7;
    c.VMax = 3;
    c.UpdateFieldOfView();
    EXPECT_EQ(c.UMin, -7);
    EXPECT_EQ(c.VMax, 3);
    EXPECT_STREQ(clsPerspective::FieldName(3), "1:1");
    EXPECT_STREQ(clsPerspective::FieldName(0), "Custom");
}

TEST(PerspectiveClip, SegmentsBehindTheEyeOrOutsideTheWindow) {
    const clsPerspective c = AxisCamera();
    double su = 42, sv = 42, eu = 42, ev = 42;
    EXPECT_FALSE(c.ConvertLine(clsLine3D({0, 0, 1}, {0.1, 0, 5}), su, sv, eu, ev));
    EXPECT_EQ(su, 42); // outputs untouched
    EXPECT_EQ(ev, 42);
    EXPECT_FALSE(c.ConvertLine(clsLine3D({5, 0, -2}, {6, 0, -3}), su, sv, eu, ev)); // right of the window

    // From behind the eye to the front: cut at the front plane (depth Distance = 1).
    EXPECT_TRUE(c.ConvertLine(clsLine3D({0, 0, 3}, {0, 0.5, -3}), su, sv, eu, ev));
    EXPECT_NEAR(su, 0, 1e-12);
    // At depth 1 the segment has y = 0.5 * (3 - (-1)) / 6 = 1/3.
    EXPECT_NEAR(sv, 1.0 / 3, 1e-12);
    EXPECT_NEAR(ev, 0.5 / 3, 1e-12);

    // A segment crossing the window edge is cut at the edge.
    EXPECT_TRUE(c.ConvertLine(clsLine3D({-4, 0, -2}, {4, 0, -2}), su, sv, eu, ev));
    EXPECT_NEAR(su, -1, 1e-12);
    EXPECT_NEAR(eu, 1, 1e-12);
    EXPECT_NEAR(sv, 0, 1e-12);
}

TEST(PerspectiveClip, FrontClippingMovesTheFrontPlane) {
    clsPerspective c = AxisCamera();
    c.FrontClipping = -1; // front plane 1 unit beyond the picture plane, at depth 2
    double su, sv, eu, ev;
    EXPECT_TRUE(c.ConvertLine(clsLine3D({0.5, 0, -1}, {0.5, 0, -4}), su, sv, eu, ev));
    EXPECT_NEAR(su, 0.25, 1e-12); // cut at depth 2
    EXPECT_NEAR(eu, 0.125, 1e-12);
    EXPECT_FALSE(c.ConvertLine(clsLine3D({0, 0, -1}, {0, 0.1, -1.5}), su, sv, eu, ev));
}

TEST(PerspectiveClip, BackPlaneOnlyWhenEnabled) {
    clsPerspective c = AxisCamera();
    c.BackClipping = -50;
    const clsLine3D far({0, 0.5, -2}, {0, 0.5, -1000});
    clsLine3D camera = far;
    EXPECT_TRUE(c.ClipCameraLine(camera));
    EXPECT_EQ(camera.EndPoint.z, -1000); // not shortened

    c.ClipBack = true;
    camera = far;
    EXPECT_TRUE(c.ClipCameraLine(camera));
    EXPECT_NEAR(camera.EndPoint.z, -51, 1e-9); // depth Distance + 50
    EXPECT_EQ(camera.StartPoint.z, -2);

    clsLine3D beyond({0, 0, -60}, {0, 0, -70});
    EXPECT_FALSE(c.ClipCameraLine(beyond));
}

TEST(PerspectiveClip, ClipTestKeepsTheRangeWherePtAtLeastQ) {
    double a = 0, b = 1;
    EXPECT_TRUE(clsPerspective::ClipTest(1, 0.25, a, b));
    EXPECT_EQ(a, 0.25);
    EXPECT_TRUE(clsPerspective::ClipTest(-1, -0.75, a, b));
    EXPECT_EQ(b, 0.75);
    EXPECT_FALSE(clsPerspective::ClipTest(1, 0.9, a, b));
    EXPECT_FALSE(clsPerspective::ClipTest(-1, -0.1, a, b));
    EXPECT_TRUE(clsPerspective::ClipTest(0, 0, a, b));
    EXPECT_FALSE(clsPerspective::ClipTest(0, 1e-9, a, b));
    EXPECT_TRUE(clsPerspective::ClipTest(1, -3, a, b)); // r <= 0 leaves the range alone
    EXPECT_TRUE(clsPerspective::ClipTest(-1, -3, a, b)); // r >= 1 too
    EXPECT_EQ(a, 0.25);
    EXPECT_EQ(b, 0.75);
}

TEST(PerspectiveClip, InputIsNeverChangedAndVisibleEndsStayInTheWindow) {
    const clsPerspective c; // the default camera, looking at the origin
    const clsLine3D line({-10, 0, 0}, {10, 0, 0});
    const clsLine3D copy = line;
    double su, sv, eu, ev;
    ASSERT_TRUE(c.ConvertLine(line, su, sv, eu, ev));
    ExpectPoint(line.StartPoint, copy.StartPoint.x, copy.StartPoint.y, copy.StartPoint.z, 0);
    for (double u : {su, eu}) {
        EXPECT_GE(u, c.UMin - 1e-12);
        EXPECT_LE(u, c.UMax + 1e-12);
    }
    for (double v : {sv, ev}) {
        EXPECT_GE(v, c.VMin - 1e-12);
        EXPECT_LE(v, c.VMax + 1e-12);
    }
}

TEST(PerspectiveRecord, RoundTripRestoresEveryField) {
    clsPerspective c;
    c.EyePoint.SetPoint(1, 2, 3);
    c.Normal.SetPoint(-1, 0.5, 0);
    c.ViewUp.SetPoint(0, 0.2, 1);
    c.UMin = -3;
    c.UMax = 4;
    c.VMin = -1.5;
    c.VMax = 2.5;
    c.UVRatio = 0.75;
    c.Distance = 12;
    c.FrontClipping = 0.1;
    c.BackClipping = -99;
    c.FieldAngle = 22.5;
    c.Field = 1;
    c.ClipBack = true;
    c.ShowVanishLines = false;
    c.ShowHorizon = false;
    c.ShowCenter = true;
    c.Horizon.SetPoint(0, 1, 0);
    c.HorizonOffset = 7.25;

    clsStream s;
    c.WriteData(s);
    const char* keys[] = {"EyePoint", "Normal", "ViewUp", "u-min", "u-max", "v-min", "v-max",
                          "UVRatio", "Distance", "FrontClipping", "BackClipping", "FieldAngle", "Field",
                          "ClipBack", "ShowVanishLines", "ShowHorizon", "ShowCenter", "Horizon", "HorizonOffset"};
    ASSERT_EQ(s.Items.size(), 19u);
    for (std::size_t i = 0; i < 19; ++i) EXPECT_EQ(s.Items[i].Key, keys[i]);

    LineList lines;
    s.WriteData(lines, 0);
    clsStream parsed;
    parsed.ParseData(lines);
    clsPerspective r;
    r.ReadData(parsed);
    ExpectPoint(r.EyePoint, 1, 2, 3, 0);
    ExpectPoint(r.Normal, -1, 0.5, 0, 0);
    ExpectPoint(r.ViewUp, 0, 0.2, 1, 0);
    ExpectPoint(r.Horizon, 0, 1, 0, 0);
    EXPECT_EQ(r.UMin, -3);
    EXPECT_EQ(r.UMax, 4); // stored edges are kept, not recomputed from Field
    EXPECT_EQ(r.VMin, -1.5);
    EXPECT_EQ(r.VMax, 2.5);
    EXPECT_EQ(r.UVRatio, 0.75);
    EXPECT_EQ(r.Distance, 12);
    EXPECT_EQ(r.FrontClipping, 0.1);
    EXPECT_EQ(r.BackClipping, -99);
    EXPECT_EQ(r.FieldAngle, 22.5);
    EXPECT_EQ(r.Field, 1);
    EXPECT_TRUE(r.ClipBack);
    EXPECT_FALSE(r.ShowVanishLines);
    EXPECT_FALSE(r.ShowHorizon);
    EXPECT_TRUE(r.ShowCenter);
    EXPECT_EQ(r.HorizonOffset, 7.25);
}

TEST(PerspectiveRecord, MissingAndOutOfRangeValues) {
    clsStream s;
    s.SetLong("Field", 9);
    clsPerspective c;
    c.ReadData(s);
    EXPECT_EQ(c.UVRatio, 1.41);
    EXPECT_EQ(c.Field, 6);
    EXPECT_EQ(c.Distance, 0);
    EXPECT_FALSE(c.ShowHorizon);
    ExpectPoint(c.EyePoint, 0, 0, 0, 0);
    s.SetLong("Field", -1);
    c.ReadData(s);
    EXPECT_EQ(c.Field, 0);
}
