#include <gtest/gtest.h>

#include "ViewScene.h"

using namespace ov;
using Pixel = std::pair<double, double>;

namespace {

struct Fixture : test::ViewScene {
    using ViewScene::ViewScene;
    double ScaleX() const {
        double sx, sy;
        view.GetScaleXY(sx, sy);
        EXPECT_EQ(sx, sy);
        return sx;
    }
};

void ExpectNear(const clsPoint3D& p, double x, double y, double z, double tolerance = 1e-12) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
    EXPECT_NEAR(p.z, z, tolerance);
}

} // namespace

TEST(ViewGeometry, TheVolumeFillsTheCanvasCentredBesideTheRulers) {
    Fixture f(clsView::Top); // 7.5 pixels to the unit about (200, 150): see the snapping test
    f.scene.ShowRulers = true;
    EXPECT_EQ(std::pair(f.ScaleX(), f.Screen({0, 0, 0})), std::pair(6.75, Pixel{215, 165}));
    f.view.ViewRect.SetValues(5, 5, 5, 5);
    f.scene.ShowRulers = false;
    EXPECT_EQ(f.ScaleX(), 300); // a zero extent is taken as 1
    Canvas empty(0, 0);
    f.view.SetView(clsView::Top, &empty, &f.scene);
    EXPECT_EQ(f.ScaleX(), 0);
    f.Screen({1, 1, 1});
}

TEST(ViewGeometry, EveryViewTypeMapsItsAxesAndBackButPerspectiveHasNoPlane) {
    // An uneven volume and the point (1, 2, 3), worked out by hand for a 400 x 300 canvas.
    const std::tuple<std::int32_t, const char*, Pixel> cases[] = {
        {clsView::Left, "Left", {210, 135}},     {clsView::Top, "Top", {208, 135}},
        {clsView::Right, "Right", {190, 135}},   {clsView::Bottom, "Bottom", {193, 135}},
        {clsView::Front, "Front", {195, 135}},   {clsView::Back, "Back", {205, 135}}};
    for (const auto& [type, name, pixel] : cases) {
        Fixture f(type);
        f.scene.ViewVolumeMin.SetPoint(-10, -20, -30), f.scene.ViewVolumeMax.SetPoint(10, 20, 30);
        f.view.SetViewType(type);
        EXPECT_EQ(std::pair(f.view.GetViewName(), f.Screen({1, 2, 3})), std::pair(std::string(name), pixel));
        clsPoint3D p(1, 2, 3); // back from the pixel to the plane, keeping the depth
        f.view.UpdatePointFromScreen(p, pixel.first, pixel.second, false);
        ExpectNear(p, 1, 2, 3, 0.11);
    }
    EXPECT_EQ(clsView::ViewName(7) + clsView::ViewName(-1), "");
    clsPoint3D e1, e2, n;
    Fixture(clsView::Front).view.GetBaseVectors(e1, e2, n);
    EXPECT_EQ(n.y, 1); // (-1,0,0) x (0,0,1)
    // The perspective view shows the camera's window and has no plane to move points in.
    Fixture f(clsView::Perspective);
    const clsPerspective& c = f.scene.GetPerspective();
    EXPECT_EQ(std::tuple(f.view.ViewRect.Left, f.view.ViewRect.Top, f.Screen({0, 0, 0})),
              std::tuple(c.UMin, c.VMax, Pixel{200, 150}));
    double a, b, d, e;
    EXPECT_FALSE(f.view.ConvertLineToScreen(clsLine3D({30, 30, 15}, {40, 40, 20}), a, b, d, e)); // behind the eye
    clsPoint3D p(1, 2, 3);
    f.view.UpdatePointFromScreen(p, 10, 10, false);
    ExpectNear(p, 1, 2, 3);
    ExpectNear(clsView().PlanePointToPoint3D(1, 2, 3), 0, 0, 0); // nor has an unbound view
}

TEST(ViewGeometry, ZoomKeepsMirroredViewsMirroredAndTakesCornersInAnyOrder) {
    Fixture f(clsView::Right);
    EXPECT_LT(f.Screen({0, 5, 0}).first, f.Screen({0, 1, 0}).first); // larger y lies further to the left
    f.view.ZoomIn(250, 100, 150, 200);
    EXPECT_GT(f.view.ViewRect.Left, f.view.ViewRect.Right);
    EXPECT_LT(f.Screen({0, 2, 0}).first, f.Screen({0, 1, 0}).first);
    Fixture top(clsView::Top);
    top.view.ZoomIn(300, 50, 100, 250);
    const clsRect& r = top.view.ViewRect;
    EXPECT_NEAR(std::fabs(r.Left + 40.0 / 3) + std::fabs(r.Right - 40.0 / 3) + std::fabs(r.Top - 40.0 / 3), 0, 1e-5);
    top.view.ResetZoom();
    EXPECT_EQ(top.view.ViewRect.Right, 20);
}

TEST(ViewGeometry, SnappingRoundsToTheMinorGridAndAZeroGridDoesNotSnap) {
    Fixture f(clsView::Top);
    // Grid, screen x (7.5 pixels to the unit about column 200), snap, document x.
    for (const auto& [grid, x, snap, expected] : {std::tuple{1.0, 173.75, true, -3.0}, {1.0, 226.25, true, 4.0},
                                                  {1.0, 226.25, false, 3.5}, {0.0, 201.0, true, 1 / 7.5}}) {
        f.scene.MinorGrid = grid;
        double sx = x, sy = 150;
        f.view.ScreenToDoc2D(sx, sy, snap);
        EXPECT_NEAR(sx, expected, 1e-12) << x << " grid " << grid;
    }
    f.scene.MinorGrid = 1;
    ExpectNear(f.view.ScreenToDoc(200 + 7.5, 150 - 15, true), 1, 2, 0);
}
