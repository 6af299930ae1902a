#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "camera/CameraKeyCommand.h"
#include "camera/clsPerspective.h"
#include "io/clsStream.h"
#include "RecordText.h"

using namespace ov;
using ov::records::ReadInto;
using ov::records::RecordText;

namespace {

using Values = std::vector<double>;
Values Vals(const Values& v) { return v; }
Values Vals(const clsPoint3D& p) { return {p.x, p.y, p.z}; }
Values Vals(const clsLine2D& l) { return {l.StartPoint.x, l.StartPoint.y, l.EndPoint.x, l.EndPoint.y}; }

template <class T> testing::AssertionResult Near(const T& a, const T& b, double tol = 1e-12) {
    const Values x = Vals(a), y = Vals(b);
    double d = 0;
    for (std::size_t i = 0; i < x.size(); ++i) d += std::fabs(x[i] - y[i]);
    if (d <= tol) return testing::AssertionSuccess();
    return testing::AssertionFailure() << testing::PrintToString(x) << " is not " << testing::PrintToString(y);
}

// A camera at the origin with the picture plane at distance 1 and the window +-uMax by +-vMax.
clsPerspective Camera(const clsPoint3D& normal, const clsPoint3D& up, double uMax, double vMax) {
    clsPerspective c;
    c.EyePoint = {}, c.Normal = normal, c.ViewUp = up, c.Distance = 1;
    c.UMin = -uMax, c.UMax = uMax, c.VMin = -vMax, c.VMax = vMax;
    return c;
}

clsPoint3D Direction(clsPerspective c) { return c.Normal.Normalize(), c.Normal; }

struct Frame { clsPoint3D U, V, W; explicit Frame(const clsPerspective& c) { c.GetBaseVectors(U, V, W); } };

// The command of the arrow keys named like "Shift+Ctrl+Left".
CameraKeyCommand Keys(const std::string& keys, double angleStep, double nudgeOffset) {
    const auto has = [&](const char* name) { return keys.find(name) != std::string::npos; };
    return PerspectiveArrowKeyCommand(has("Right") - has("Left"), has("Up") - has("Down"), has("Shift"), has("Ctrl"),
                                      has("Alt"), angleStep, nudgeOffset);
}

} // namespace

TEST(Perspective, ProjectionScalesByDistanceOverDepthAndDegenerateFramesGiveTheCentre) {
    const clsPerspective c = Camera({0, 0, -1}, {0, 1, 0}, 1, 1); // camera coordinates are document coordinates
    double u, v, u2, v2, u3, v3;
    c.ConvertPoint({1, 2, -4}, u, v);
    c.ConvertPoint({1, 2, 4}, u2, v2); // behind the eye the same formula mirrors
    c.ConvertPoint({1, 2, 0}, u3, v3); // depth 0 gives the centre
    EXPECT_TRUE(Near<Values>({u, v, u2, v2, u3, v3, c.GetDepth({5, 5, -7})}, {0.25, 0.5, -0.25, -0.5, 0, 0, -7}));
    clsPerspective zero, parallel; // no viewing direction; a viewing direction along ViewUp
    zero.Normal = {}, parallel.Normal = {0, 0, -1};
    zero.ConvertPoint({3, 4, 5}, u3, v3);
    EXPECT_TRUE(Near(Frame(parallel).U, {}, 0) && Near(Frame(parallel).V, {}, 0));
    EXPECT_TRUE(parallel.ConvertLine(clsLine3D({0, 0, 0}, {1, 1, 1}), u, v, u2, v2));
    EXPECT_TRUE(Near<Values>({u, v, u2, v2, u3, v3}, {0, 0, 0, 0, 0, 0}, 0));
}

TEST(Perspective, FieldOfViewPresetsSetTheWindowAlongTheLongerSide) {
    const struct { int field; double ratio; Values window; } cases[] = { // UMin, UMax, VMin, VMax at distance 2
        {0, 1, {-7, 7, -7, 7}},  {7, 1, {-7, 7, -7, 7}},   // custom, or unknown: unchanged
        {1, 2, {-2, 2, -1, 1}},  {1, 0.5, {-1, 1, -2, 2}}, // half-angle 45 degrees; the ratios: PerspectiveDialogTest
    };
    clsPerspective c = Camera({0, 0, -1}, {0, 1, 0}, 7, 7);
    c.Distance = 2, c.FieldAngle = 45;
    for (const auto& k : cases) {
        c.Field = k.field, c.UVRatio = k.ratio;
        c.UpdateFieldOfView();
        EXPECT_TRUE(Near<Values>({c.UMin, c.UMax, c.VMin, c.VMax}, k.window)) << k.field;
    }
    EXPECT_EQ(std::string(clsPerspective::FieldName(0)) + clsPerspective::FieldName(3) + clsPerspective::FieldName(7),
              "Custom1:1");
    const clsPerspective n; // a new camera (its frame: CliTest's perspective segments) has the 2:1 window
    EXPECT_TRUE(Near<Values>({n.UMin, n.UMax, n.VMin, n.VMax}, {-0.25, 0.25, -0.25 / 1.41, 0.25 / 1.41}));
}

TEST(PerspectiveClip, ConvertLineClipsToThePyramidAndTheFrontAndBackPlanes) {
    const struct { double front; bool clipBack; clsLine3D line; Values uv; } cases[] = { // no uv: invisible
        {0, false, {{0, 0, 1}, {0.1, 0, 5}}, {}},                       // behind the eye
        {0, false, {{5, 0, -2}, {6, 0, -3}}, {}},                       // right of the window
        {0, false, {{0, 0, 3}, {0, 0.5, -3}}, {0, 1.0 / 3, 0, 0.5 / 3}}, // cut at the picture plane
        {0, false, {{-4, 0, -2}, {4, 0, -2}}, {-1, 0, 1, 0}},            // cut at the window edges
        {-1, false, {{0.5, 0, -1}, {0.5, 0, -4}}, {0.25, 0, 0.125, 0}},  // front plane 1 beyond the picture
        {-1, false, {{0, 0, -1}, {0, 0.1, -1.5}}, {}},
        {0, false, {{0, 0.5, -2}, {0, 0.5, -1000}}, {0, 0.25, 0, 0.0005}}, // no back plane unless enabled
        {0, true, {{0, 0.5, -2}, {0, 0.5, -1000}}, {0, 0.25, 0, 0.5 / 51}}, // back plane at depth 1 + 50
        {0, true, {{0, 0, -60}, {0, 0, -70}}, {}},
    };
    for (const auto& k : cases) {
        clsPerspective c = Camera({0, 0, -1}, {0, 1, 0}, 1, 1);
        c.FrontClipping = k.front, c.ClipBack = k.clipBack;
        Values uv(4, 42);
        SCOPED_TRACE(testing::PrintToString(Vals(k.line.StartPoint)) + testing::PrintToString(Vals(k.line.EndPoint)));
        EXPECT_EQ(c.ConvertLine(k.line, uv[0], uv[1], uv[2], uv[3]), !k.uv.empty());
        EXPECT_TRUE(Near(uv, k.uv.empty() ? Values(4, 42) : k.uv)); // untouched when invisible
    }
}

TEST(Horizon, IsTheHorizonPlanesVanishingLineCutToTheWindow) {
    const struct { clsPoint3D normal, up; clsLine2D line; } cases[] = { // (0, 0, 0, 0): none to draw
        {{0, -1, 0}, {0, 0, 1}, {-2, 0, 2, 0}},           // level: across the window
        {{0, -1, -0.25}, {0, 0, 1}, {-2, 0.25, 2, 0.25}}, // looking down raises it
        {{0, -1, -2}, {0, 0, 1}, {}},                     // above the window
        {{0, 0, -1}, {0, 1, 0}, {}},                      // straight down the horizon normal
        {{0, -1, 0}, {1, 0, 0}, {0, -1, 0, 1}},           // rolled by 90 degrees: up the picture
        {{0, -1, 3}, {1, 0, 0}, {}},                      // rolled and yawed off the window
        {{0, -1, 0}, {1, 0, 1}, {-1, 1, 1, -1}},          // rolled by 45 degrees either way
        {{0, -1, 0}, {-1, 0, 1}, {-1, -1, 1, 1}},
        {{0, -1, -3}, {1, 0, 1}, {}}, {{0, -1, -3}, {-1, 0, 1}, {}}, // rolled by 45 degrees, above the window
    };
    for (const auto& k : cases) {
        clsPerspective c = Camera(k.normal, k.up, 2, 1);
        c.HorizonOffset = 100; // does not move the vanishing line
        EXPECT_TRUE(Near(c.GetHorizonLine(), k.line)) << testing::PrintToString(Vals(k.normal));
    }
    const clsPerspective d; // a far point at eye height projects onto the horizon
    double u, v;
    d.ConvertPoint({-1e9, -0.8e9, 10}, u, v);
    EXPECT_TRUE(Near(d.GetHorizonLine(), {d.UMin, v, d.UMax, v}, 1e-9) && v > 0 && v < d.VMax);
}

TEST(Navigation, AdvancePanAndNudgeMoveOnlyTheEyeUnderTheirUndoNames) {
    const struct { const char* keys; double offset; clsPoint3D eye; const char* undo; } cases[] = {
        {"Ctrl+Up", 30, {0, 0, 0}, "Advance View"}, {"Ctrl+Down", 15, {30, 30, 15}, "Advance View"},
        {"Right", 1, {20 - M_SQRT1_2, 20 + M_SQRT1_2, 10}, "Pan View"},
        {"Down", 3, {20 + M_SQRT1_2, 20 + M_SQRT1_2, 10 - 4 * M_SQRT1_2}, "Pan View"},
        {"", 0, {21, 22, 13}, ""}, // no key: nudged by (1, 2, 3) instead; the others do nothing
        {"Ctrl+Right", 1, {20, 20, 10}, ""}, {"Shift+Ctrl+Up", 1, {20, 20, 10}, ""},
        {"Alt+Up", 1, {20, 20, 10}, ""},
    };
    for (const auto& k : cases) {
        clsPerspective c;
        const CameraKeyCommand command = Keys(k.keys, 5, k.offset);
        command.ApplyTo(c);
        if (!*k.keys) c.CameraNudge({1, 2, 3});
        EXPECT_TRUE(Near(c.EyePoint, k.eye) && Near(c.Normal, {-20, -20, -10}, 0) && Near(c.ViewUp, {0, 0, 1}, 0));
        EXPECT_TRUE(command.UndoName == k.undo && command.Handled() == (*k.undo != 0)) << k.keys;
    }
}

TEST(Navigation, RotateTurnsRightOrUpNeverBothAndTiltRollsAboutTheViewingAxis) {
    const clsPerspective c;
    const Frame f(c);
    clsPerspective right = c, up = c, both = c, tilt = c;
    Keys("Shift+Right", 90, 1).ApplyTo(right);
    Keys("Shift+Up", 90, 1).ApplyTo(up);
    Keys("Shift+Ctrl+Left", 30, 1).ApplyTo(tilt);
    both.CameraRotate(10, 20); // a yaw only: V kept, the eye never moves
    EXPECT_TRUE(Near(Direction(right), f.U) && Near(Direction(up), f.V));
    EXPECT_TRUE(Near(both.GetViewUpVector(), f.V) && Near(both.EyePoint, c.EyePoint, 0));
    EXPECT_NEAR(std::acos(Direction(both).DotProduct(Direction(c))) * 180 / M_PI, 10, 1e-9);
    const Frame t(tilt);
    const double cs = std::cos(M_PI / 6), sn = 0.5;
    EXPECT_TRUE(Near(tilt.Normal, Direction(c)) && Near(tilt.ViewUp, t.V)); // stored as unit vectors
    EXPECT_TRUE(Near(t.U, {cs * f.U.x + sn * f.V.x, cs * f.U.y + sn * f.V.y, cs * f.U.z + sn * f.V.z}));
    EXPECT_TRUE(Near(t.V, {-sn * f.U.x + cs * f.V.x, -sn * f.U.y + cs * f.V.y, -sn * f.U.z + cs * f.V.z}));
}

TEST(Navigation, TransformAndEyeTurnsReorientTheViewOnly) {
    clsPerspective c;
    clsMatrix3D m;
    m.SetRotationZ(90), m.TranslateMatrix(100, 100, 100); // the translation plays no part
    c.CameraTransform(m);
    EXPECT_TRUE(Near(c.EyePoint, {20, 20, 10}, 0) && Near(c.Normal, {2.0 / 3, -2.0 / 3, -1.0 / 3}));
    EXPECT_TRUE(Near(c.ViewUp, c.GetViewUpVector()));
    const double cs = std::cos(M_PI / 6);
    const struct { clsPoint3D normal; int dx, dy; clsPoint3D turned; } cases[] = {
        {{2, 0, 0}, 0, 1, {cs, 0, 0.5}}, {{2, 0, 0}, 0, -1, {cs, 0, -0.5}}, {{0, 0, -5}, 0, 1, {0, 0, -cs}},
        {{1, 0, 0}, 1, 0, {cs, -0.5, 0}}, {{1, 0, 0}, -1, 0, {cs, 0.5, 0}}, // about the horizon normal by -dx * step
    };
    for (const auto& k : cases) {
        clsPerspective e;
        e.Normal = k.normal;
        EyeTurnKeyCommand(k.dx, k.dy, 30).ApplyTo(e);
        EXPECT_TRUE(Near(e.Normal, k.turned) && Near(e.EyePoint, {20, 20, 10}, 0)) << k.dx << k.dy;
    }
    EXPECT_TRUE(EyeTurnKeyCommand(0, 1, 30).UndoName == "Rotate Eye Point" && !EyeTurnKeyCommand(0, 0, 30).Handled());
}

TEST(PerspectiveRecord, EveryFieldInItsPlaceAndReadingClampsTheField) {
    const std::string text = "EyePoint = {|  x = 1|  y = 2|  z = 3|}|Normal = {|  x = -1|  y = .5|  z = 0|}|"
                             "ViewUp = {|  x = 0|  y = .2|  z = 1|}|u-min = -3|u-max = 4|v-min = -1.5|v-max = 2.5|"
                             "UVRatio = .75|Distance = 12|FrontClipping = .1|BackClipping = -99|FieldAngle = 22.5|"
                             "Field = 1|ClipBack = 1|ShowVanishLines = 0|ShowHorizon = 0|ShowCenter = 1|"
                             "Horizon = {|  x = 0|  y = 1|  z = 0|}|HorizonOffset = 7.25|";
    clsPerspective r = ReadInto(clsPerspective(), text);
    EXPECT_EQ(RecordText(r), text);
    EXPECT_TRUE(r.UMin == -3 && r.ShowCenter && r.Horizon.y == 1); // the stored window is kept, not recomputed
    r = ReadInto(r, "Field = 9");
    EXPECT_EQ(std::make_tuple(r.UVRatio, r.Field, r.Distance, r.ShowHorizon), std::make_tuple(1.41, 6, 0.0, false));
    EXPECT_TRUE(Near(r.EyePoint, {}, 0) && ReadInto(r, "Field = -1").Field == 0);
}
