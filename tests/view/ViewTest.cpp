#include <gtest/gtest.h>

#include "scene/clsScene.h"
#include "paint/Canvas.h"
#include "paint/clsVertexHit.h"
#include "paint/clsView.h"

using namespace ov;

namespace {

struct Fixture {
    clsScene scene;
    Canvas canvas{400, 300};
    clsView view;
    explicit Fixture(std::int32_t type) { view.SetView(type, &canvas, &scene); }
    std::pair<double, double> Pixel(const clsPoint3D& p) const {
        double x = 0, y = 0;
        EXPECT_TRUE(view.ConvertPointToScreen(p, x, y));
        return {x, y};
    }
};

} // namespace

TEST(ViewGeometry, TopViewOfTheDefaultVolume) {
    Fixture f(clsView::Top);
    double sx, sy;
    f.view.GetScaleXY(sx, sy);
    EXPECT_EQ(sx, 7.5);
    EXPECT_EQ(sy, 7.5);
    EXPECT_EQ(f.Pixel({0, 0, 123}), (std::pair<double, double>{200, 150}));
    EXPECT_EQ(f.view.GetScreenY(10), 75);
    EXPECT_EQ(f.view.GetScreenX(-20), 50);

    f.scene.ShowRulers = true;
    f.view.GetScaleXY(sx, sy);
    EXPECT_EQ(sx, 6.75);
    EXPECT_EQ(f.Pixel({0, 0, 0}), (std::pair<double, double>{215, 165}));
}

TEST(ViewGeometry, EveryViewTypeMapsItsAxes) {
    // An uneven volume and the point (1, 2, 3), worked out by hand for a 400 x 300 canvas.
    const struct {
        std::int32_t type;
        const char* name;
        double x, y;
    } cases[] = {
        {clsView::Left, "Left", 210, 135},  {clsView::Top, "Top", 208, 135},     {clsView::Right, "Right", 190, 135},
        {clsView::Bottom, "Bottom", 193, 135}, {clsView::Front, "Front", 195, 135}, {clsView::Back, "Back", 205, 135},
    };
    for (const auto& c : cases) {
        Fixture f(clsView::Top);
        f.scene.ViewVolumeMin.SetPoint(-10, -20, -30);
        f.scene.ViewVolumeMax.SetPoint(10, 20, 30);
        f.view.SetViewType(c.type);
        EXPECT_EQ(f.view.GetViewName(), c.name);
        EXPECT_EQ(f.Pixel({1, 2, 3}), (std::pair<double, double>{c.x, c.y})) << c.name;
        // Back from the pixel to the plane, keeping the depth.
        clsPoint3D p(1, 2, 3);
        f.view.UpdatePointFromScreen(p, c.x, c.y, false);
        EXPECT_NEAR(p.x, 1, 0.11) << c.name;
        EXPECT_NEAR(p.y, 2, 0.11) << c.name;
        EXPECT_NEAR(p.z, 3, 0.11) << c.name;
    }
    EXPECT_EQ(clsView::ViewName(7), "");
    EXPECT_EQ(clsView::ViewName(-1), "");
}

TEST(ViewGeometry, PerspectiveViewUsesTheCameraWindow) {
    Fixture f(clsView::Perspective);
    const clsPerspective& c = f.scene.GetPerspective();
    EXPECT_EQ(f.view.ViewRect.Left, c.UMin);
    EXPECT_EQ(f.view.ViewRect.Top, c.VMax);
    EXPECT_EQ(f.Pixel({0, 0, 0}), (std::pair<double, double>{200, 150}));
    // A point behind the eye is not visible as a segment.
    double a, b, d, e;
    EXPECT_FALSE(f.view.ConvertLineToScreen(clsLine3D({30, 30, 15}, {40, 40, 20}), a, b, d, e));
    clsPoint3D p(1, 2, 3);
    f.view.UpdatePointFromScreen(p, 10, 10, false);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.z, 3);
    clsPoint3D e1, e2, n;
    f.view.GetBaseVectors(e1, e2, n);
    clsPoint3D U, V, W;
    c.GetBaseVectors(U, V, W);
    EXPECT_EQ(e1.x, U.x);
    EXPECT_EQ(n.z, W.z);
}

TEST(ViewGeometry, MirroredViewsKeepTheirOrientationWhenZooming) {
    Fixture f(clsView::Right);
    const auto nearY = f.Pixel({0, 1, 0}), farY = f.Pixel({0, 5, 0});
    EXPECT_LT(farY.first, nearY.first); // larger y lies further to the left
    f.view.ZoomIn(250, 100, 150, 200);
    EXPECT_GT(f.view.ViewRect.Left, f.view.ViewRect.Right);
    const auto nearZ = f.Pixel({0, 1, 0}), farZ = f.Pixel({0, 2, 0});
    EXPECT_LT(farZ.first, nearZ.first);

    Fixture top(clsView::Top);
    top.view.ZoomIn(300, 50, 100, 250); // corners in any order
    EXPECT_NEAR(top.view.ViewRect.Left, -13.333333, 1e-5);
    EXPECT_NEAR(top.view.ViewRect.Right, 13.333333, 1e-5);
    EXPECT_NEAR(top.view.ViewRect.Top, 13.333333, 1e-5);
    top.view.ResetZoom();
    EXPECT_EQ(top.view.ViewRect.Right, 20);
}

TEST(ViewGeometry, SnappingToTheMinorGrid) {
    Fixture f(clsView::Top);
    f.scene.MinorGrid = 1;
    // Pixel columns for u = -3.5 and 3.5 at 7.5 pixels per unit around column 200.
    double x = 200 - 3.5 * 7.5, y = 150;
    f.view.ScreenToDoc2D(x, y, true);
    EXPECT_EQ(x, -3);
    x = 200 + 3.5 * 7.5;
    y = 150;
    f.view.ScreenToDoc2D(x, y, true);
    EXPECT_EQ(x, 4);
    x = 200 + 3.5 * 7.5;
    y = 150;
    f.view.ScreenToDoc2D(x, y, false);
    EXPECT_EQ(x, 3.5);
    const clsPoint3D p = f.view.ScreenToDoc(200 + 7.5, 150 - 15, true);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 2);
    EXPECT_EQ(p.z, 0);
    f.scene.MinorGrid = 0; // no grid: no snapping, and no division by zero
    x = 201;
    y = 150;
    f.view.ScreenToDoc2D(x, y, true);
    EXPECT_NEAR(x, 1 / 7.5, 1e-12);
}

TEST(ViewGeometry, FrontViewKeepsDepthAndPlanePoints) {
    Fixture f(clsView::Front);
    clsPoint3D p(5, 7, 9);
    f.view.UpdatePointFromScreen(p, 200, 150, false);
    EXPECT_EQ(p.y, 7);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.z, 0);
    const clsPoint3D left = clsView().PlanePointToPoint3D(1, 2, 3);
    EXPECT_EQ(left.x, 0); // an unbound view is a perspective view: no plane
    clsView l;
    l.SetView(clsView::Left, &f.canvas, &f.scene);
    const clsPoint3D q = l.PlanePointToPoint3D(1, 2, 3);
    EXPECT_EQ(q.x, 3);
    EXPECT_EQ(q.y, 1);
    EXPECT_EQ(q.z, 2);
    clsPoint3D e1, e2, n;
    f.view.GetBaseVectors(e1, e2, n);
    EXPECT_EQ(n.y, 1); // (-1,0,0) x (0,0,1)
}

TEST(ViewGeometry, EyePointMarkerIsAnEighthOfTheVisibleExtent) {
    Fixture f(clsView::Top);
    const clsPoint3D end = f.view.GetEyePointVector(f.scene);
    const clsPerspective& c = f.scene.GetPerspective();
    clsPoint3D d = end.Duplicate();
    d.Subtract(c.EyePoint);
    EXPECT_NEAR(d.GetLength(), 40.0 / 8, 1e-12);
    EXPECT_LT(d.x, 0); // towards the origin from (20, 20, 10)
}

TEST(ViewGeometry, DegenerateRectanglesAndCanvases) {
    Fixture f(clsView::Top);
    f.view.ViewRect.SetValues(5, 5, 5, 5);
    double sx, sy;
    f.view.GetScaleXY(sx, sy);
    EXPECT_EQ(sx, 300); // extent taken as 1
    Canvas empty(0, 0);
    clsView v;
    v.SetView(clsView::Top, &empty, &f.scene);
    v.GetScaleXY(sx, sy);
    EXPECT_EQ(sx, 0);
    double x = 0, y = 0;
    EXPECT_TRUE(v.ConvertPointToScreen({1, 1, 1}, x, y));
}

namespace {

class DragRecorder : public IVertexDraggable {
public:
    int previews = 0, updates = 0, finishes = 0;
    std::int16_t lastIndex = -1;
    void DrawPreview(clsView&) override { ++previews; }
    void UpdateVertex(clsView&, std::int16_t index, double, double, bool) override {
        ++updates;
        lastIndex = index;
    }
    void FinishUpdateVertex() override { ++finishes; }
};

} // namespace

TEST(VertexHit, OnlyTheFirstHitOfAnObjectDrawsItsPreview) {
    DragRecorder object;
    clsView view;
    clsVertexHit first{&object, 2, true}, second{&object, 3, false};
    first.DrawObjectPreview(view);
    second.DrawObjectPreview(view);
    EXPECT_EQ(object.previews, 1);
    second.UpdatePoint(view, 1, 2, false);
    EXPECT_EQ(object.lastIndex, 3);
    first.FinishUpdatePoint();
    EXPECT_EQ(object.finishes, 1);
}
