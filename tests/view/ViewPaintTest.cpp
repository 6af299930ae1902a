#include <gtest/gtest.h>

#include <QImage>
#include <QSvgRenderer>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>

#include "Fakes.h"
#include "camera/clsPerspective.h"
#include "io/NumberText.h"
#include "platform/svg/SvgDrawApp.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsLine.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"
#include "paint/clsView.h"

using namespace ov;

namespace {

clsRect Rect(double l, double b, double r, double t) {
    clsRect rect;
    rect.SetValues(l, b, r, t);
    return rect;
}

// A scene without the model house, shown in one view on a 400 x 300 canvas at 96 pixels
// per inch, so that a 1-point line is one pixel wide.
struct Fixture {
    clsScene scene;
    Canvas canvas{400, 300};
    clsView view;
    explicit Fixture(std::int32_t type) {
        while (scene.GetRootNode()->FirstChild()) scene.GetRootNode()->FirstChild()->Delete();
        canvas.SetPixelsPerInchY(96);
        view.SetView(type, &canvas, &scene);
    }
    clsNode* Root() { return scene.GetRootNode(); }
    clsNode* AddLine(double x1, double y1, double z1, double x2, double y2, double z2, clsNode* parent = nullptr) {
        auto node = scene.TreeManager.CreateLineNode(x1, y1, z1, x2, y2, z2, "");
        return parent ? parent->AddChild(std::move(node)) : scene.TreeManager.AddNode(std::move(node));
    }
    QRgb Pixel(int x, int y) const { return canvas.Image().pixel(x, y) & 0xFFFFFF; }
};

// Scene content sent to a drawing program that records it. The page is the document
// rectangle itself, so the recorded coordinates are view-plane coordinates.
struct Recorded {
    std::shared_ptr<test::FakeDrawApp> app = std::make_shared<test::FakeDrawApp>();
    const std::vector<std::shared_ptr<test::FakeDrawShape>>& Lines() const { return app->document->layer->created; }
    test::FakeShapeRange& TopLevel() const { return *app->ranges.at(0); }
};

Recorded Export(Fixture& f, bool showGrid, const clsRect& page = Rect(-20, -20, 20, 20)) {
    Recorded r;
    clsPaintDC dc;
    dc.AttachToDraw(r.app, page, page);
    dc.BeginDraw();
    f.view.PaintScene(dc, f.Root(), false, false, showGrid);
    dc.EndDraw();
    return r;
}

constexpr QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0;

// The current tool is global; tests that change it put it back.
struct ToolScope {
    std::int32_t saved = App().CurrentTool;
    explicit ToolScope(std::int32_t tool) { App().CurrentTool = tool; }
    ~ToolScope() { App().CurrentTool = saved; }
};

} // namespace

// ------------------------------------------------------------------ grid

TEST(ViewPaintGrid, FirstLineAndFamiliesInTheTopView) {
    Fixture f(clsView::Top);
    f.scene.MinorGrid = 3;
    f.scene.MajorGrid = 0; // a family without spacing is left out
    const Recorded r = Export(f, true);
    // a1 = -20, g = 3: Fix(-6.667 - 0.001) * 3 = -18, then every 3 up to 18, first the
    // lines of constant u, then those of constant v.
    ASSERT_EQ(r.Lines().size(), 26u);
    for (int i = 0; i < 13; ++i) {
        const auto& u = *r.Lines()[static_cast<std::size_t>(i)];
        EXPECT_DOUBLE_EQ(u.x1, -18 + 3 * i);
        EXPECT_DOUBLE_EQ(u.x2, -18 + 3 * i);
        EXPECT_DOUBLE_EQ(u.y1, -20);
        EXPECT_DOUBLE_EQ(u.y2, 20);
        const auto& v = *r.Lines()[static_cast<std::size_t>(13 + i)];
        EXPECT_DOUBLE_EQ(v.y1, -18 + 3 * i);
        EXPECT_DOUBLE_EQ(v.x1, -20);
        EXPECT_DOUBLE_EQ(v.x2, 20);
    }
    // One group named "Grid" and nothing else at the top level.
    ASSERT_EQ(r.TopLevel().Count(), 1);
    auto grid = std::static_pointer_cast<test::FakeDrawShape>(r.TopLevel().Item(1));
    EXPECT_EQ(grid->name, "Grid");
    EXPECT_EQ(grid->members.size(), 26u);

    // A positive start is nudged the other way: 1.5 / 3 + 0.001 truncates to 0, so the
    // first line of a volume from 1.5 lies at 0, outside it, as the rule has it.
    f.scene.ViewVolumeMin.SetPoint(1.5, 1.5, 1.5);
    f.scene.MinorGrid = 3;
    const Recorded shifted = Export(f, true);
    ASSERT_FALSE(shifted.Lines().empty());
    EXPECT_DOUBLE_EQ(shifted.Lines()[0]->x1, 0);
    // A bound that is itself a multiple stays a line: -20 with spacing 5 starts at -20.
    f.scene.ViewVolumeMin.SetPoint(-20, -20, -20);
    f.scene.MinorGrid = 0;
    f.scene.MajorGrid = 5;
    const Recorded major = Export(f, true);
    ASSERT_EQ(major.Lines().size(), 18u);
    EXPECT_DOUBLE_EQ(major.Lines()[0]->x1, -20);
    EXPECT_DOUBLE_EQ(major.Lines()[8]->x1, 20);
}

TEST(ViewPaintGrid, EmptyGridGroupAndTheHorizonTrace) {
    // Both spacings 0 in the top view with the default horizon: the group is opened and
    // closed, but holds nothing and so adds nothing.
    Fixture top(clsView::Top);
    top.scene.MinorGrid = top.scene.MajorGrid = 0;
    const Recorded empty = Export(top, true);
    EXPECT_TRUE(empty.Lines().empty());
    EXPECT_EQ(empty.app->ranges.size(), 2u); // the page's range and the grid's
    EXPECT_EQ(empty.TopLevel().Count(), 0);
    // Without the grid no group is opened at all.
    EXPECT_EQ(Export(top, false).app->ranges.size(), 1u);

    // The front view sees the horizon plane edge-on: the line z = HorizonOffset across the
    // volume, the only shape of the grid group and so named "Grid" itself.
    Fixture front(clsView::Front);
    front.scene.MinorGrid = front.scene.MajorGrid = 0;
    front.scene.GetPerspective().HorizonOffset = 2.5;
    const Recorded trace = Export(front, true);
    ASSERT_EQ(trace.Lines().size(), 1u);
    const auto& line = *trace.Lines()[0];
    EXPECT_DOUBLE_EQ(line.y1, 2.5);
    EXPECT_DOUBLE_EQ(line.y2, 2.5);
    EXPECT_DOUBLE_EQ(std::min(line.x1, line.x2), -20);
    EXPECT_DOUBLE_EQ(std::max(line.x1, line.x2), 20);
    EXPECT_EQ(line.name, "Grid");
    // A style of none switches the trace off.
    front.scene.GridHorizon.SetNone();
    EXPECT_TRUE(Export(front, true).Lines().empty());

    // A tilted horizon plane y + z = 0 seen from the left: the trace v = -u, run from the
    // bottom to the top of the volume since the two extents are equal.
    Fixture left(clsView::Left);
    left.scene.MinorGrid = left.scene.MajorGrid = 0;
    left.scene.GetPerspective().Horizon.SetPoint(0, 3, 3);
    const Recorded tilted = Export(left, true);
    ASSERT_EQ(tilted.Lines().size(), 1u);
    EXPECT_NEAR(tilted.Lines()[0]->x1, 20, 1e-12);
    EXPECT_NEAR(tilted.Lines()[0]->y1, -20, 1e-12);
    EXPECT_NEAR(tilted.Lines()[0]->x2, -20, 1e-12);
    EXPECT_NEAR(tilted.Lines()[0]->y2, 20, 1e-12);
    // From the top the same plane shows as v = 0 across the volume; the level plane of the
    // default normal, seen face-on, shows no trace; a vertical plane x = 4 shows as u = 4.
    left.view.SetViewType(clsView::Top);
    const Recorded fromTop = Export(left, true);
    ASSERT_EQ(fromTop.Lines().size(), 1u);
    EXPECT_NEAR(fromTop.Lines()[0]->y1, 0, 1e-12);
    EXPECT_NEAR(fromTop.Lines()[0]->y2, 0, 1e-12);
    EXPECT_DOUBLE_EQ(fromTop.Lines()[0]->x1, -20);
    left.scene.GetPerspective().Horizon.SetPoint(0, 0, 5);
    EXPECT_TRUE(Export(left, true).Lines().empty());
    left.scene.GetPerspective().Horizon.SetPoint(2, 0, 0);
    left.scene.GetPerspective().HorizonOffset = 4;
    const Recorded vertical = Export(left, true);
    ASSERT_EQ(vertical.Lines().size(), 1u);
    EXPECT_DOUBLE_EQ(vertical.Lines()[0]->x1, 4);
    EXPECT_DOUBLE_EQ(vertical.Lines()[0]->x2, 4);
}

TEST(ViewPaintGrid, PerspectiveGridLiesInTheHorizonPlane) {
    Fixture f(clsView::Perspective);
    clsPerspective& camera = f.scene.GetPerspective();
    camera.ShowHorizon = false;
    camera.ShowVanishLines = false;
    f.scene.MinorGrid = 0;
    f.scene.MajorGrid = 20;
    const clsRect window = f.view.ViewRect;
    // The grid lines u, v = -20, 0, 20 of the plane, with the document points the plane's
    // frame gives them, worked out by hand for two planes.
    auto expectGrid = [&](const std::function<clsPoint3D(double, double)>& point, const char* what) {
        std::vector<clsLine3D> expected;
        for (double u : {-20.0, 0.0, 20.0}) expected.emplace_back(point(u, -20), point(u, 20));
        for (double v : {-20.0, 0.0, 20.0}) expected.emplace_back(point(-20, v), point(20, v));
        const Recorded r = Export(f, true, window);
        std::size_t at = 0;
        for (const clsLine3D& line : expected) {
            double u1, v1, u2, v2;
            if (!camera.ConvertLine(line, u1, v1, u2, v2)) continue;
            ASSERT_LT(at, r.Lines().size()) << what;
            const auto& got = *r.Lines()[at++];
            EXPECT_NEAR(got.x1, u1, 1e-12) << what;
            EXPECT_NEAR(got.y1, v1, 1e-12) << what;
            EXPECT_NEAR(got.x2, u2, 1e-12) << what;
            EXPECT_NEAR(got.y2, v2, 1e-12) << what;
        }
        EXPECT_GE(at, 4u) << what;
        EXPECT_EQ(at, r.Lines().size()) << what;
    };
    // The default horizon (0, 0, 1) lifted by 3: (u, v) is the point (u, v, 3).
    camera.HorizonOffset = 3;
    expectGrid([](double u, double v) { return clsPoint3D(u, v, 3); }, "level");
    // A vertical plane with normal (5, 0, 0), offset -2: the auxiliary axis is y, so
    // E1 = y x N = (0, 0, -1), E2 = N x E1 = (0, 1, 0), and (u, v) is (-2, v, -u).
    camera.Horizon.SetPoint(5, 0, 0);
    camera.HorizonOffset = -2;
    expectGrid([](double u, double v) { return clsPoint3D(-2, v, -u); }, "vertical");
}

// ------------------------------------------------------------------ objects

TEST(ViewPaintObjects, SelectionIsRedOnScreenAndPlainInOutput) {
    Fixture f(clsView::Top);
    f.AddLine(-10, 0, 0, 10, 0, 0);
    clsNode* selected = f.AddLine(0, -10, 0, 0, 10, 0);
    selected->Selected = true;
    auto penColours = [&](bool twoPass) {
        test::RecordingMetafile metafile;
        clsPaintDC dc;
        dc.AttachToMetafile(metafile, f.view.ViewRect);
        dc.BeginDraw();
        f.view.PaintScene(dc, f.Root(), twoPass, false, false);
        dc.EndDraw();
        std::vector<int> colours;
        for (const auto& call : metafile.Only("pen")) colours.push_back(call.args[2]);
        return colours;
    };
    // Windows colour values: blue is 255 << 16, red is 255.
    EXPECT_EQ(penColours(true), (std::vector<int>{0xFF0000, 0x0000FF, 0x0000FF})); // pass 2, then pass 1
    EXPECT_EQ(penColours(false), (std::vector<int>{0xFF0000, 0xFF0000}));

    // On the canvas: x = 0 is column 200, y = 0 row 150; the lines cross there.
    f.scene.ShowGrid = f.scene.ShowAxes = false;
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(f.Pixel(150, 150), kBlue);
    EXPECT_EQ(f.Pixel(200, 100), kRed);
    EXPECT_EQ(f.Pixel(200, 150), kRed); // the selection is painted on top
    EXPECT_EQ(f.Pixel(150, 151), kWhite);
}

TEST(ViewPaintObjects, HiddenObjectsAreNotPaintedNorHandledNorVanishing) {
    ToolScope nodeEdit(ToolNodeEdit);
    Fixture f(clsView::Top);
    f.scene.ShowGrid = f.scene.ShowAxes = false;
    clsNode* line = f.AddLine(-10, 0, 0, 10, 0, 0);
    line->Selected = true;
    line->ShowVanishPoint = true;
    // Visible and selected under the node-edit tool: red 3 x 3 handles on both ends,
    // columns 124 to 126 and 274 to 276, rows 149 to 151.
    f.view.OnPaint(f.Root(), false, false);
    for (int dx : {-1, 0, 1})
        for (int dy : {-1, 0, 1}) {
            EXPECT_EQ(f.Pixel(125 + dx, 150 + dy), kRed) << dx << "," << dy;
            EXPECT_EQ(f.Pixel(275 + dx, 150 + dy), kRed) << dx << "," << dy;
        }
    EXPECT_EQ(f.Pixel(123, 149), kWhite);
    EXPECT_EQ(f.Pixel(125, 152), kWhite);
    // The pick tool shows no handles.
    {
        ToolScope pick(ToolPick);
        f.view.OnPaint(f.Root(), false, false);
        EXPECT_EQ(f.Pixel(124, 149), kWhite);
        EXPECT_EQ(f.Pixel(150, 150), kRed);
    }

    line->Hidden = true;
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(f.Pixel(150, 150), kWhite);
    EXPECT_EQ(f.Pixel(124, 149), kWhite);
    EXPECT_EQ(f.Pixel(125, 150), kWhite);

    // In perspective a visible receding line shows itself and its vanishing line; hidden,
    // neither.
    f.view.SetViewType(clsView::Perspective);
    f.scene.GetPerspective().ShowHorizon = false;
    line->Hidden = false;
    EXPECT_EQ(Export(f, false, f.view.ViewRect).Lines().size(), 2u);
    line->Hidden = true;
    EXPECT_TRUE(Export(f, false, f.view.ViewRect).Lines().empty());
}

TEST(ViewPaintObjects, HandlesOfCurvesComeFromTheObject) {
    ToolScope nodeEdit(ToolNodeEdit);
    Fixture f(clsView::Top);
    f.scene.ShowGrid = f.scene.ShowAxes = false;
    auto node = std::make_unique<clsNode>();
    node->NodeType = clsNode::Ellipse;
    node->Object = clsNode::MakeObject(clsNode::Ellipse);
    node->Object->BindToScene(&f.scene);
    static_cast<clsEllipse*>(node->Object.get())->SetProps(8, 8, 0, 0, 16, nullptr);
    node->Selected = true;
    f.scene.TreeManager.AddNode(std::move(node));
    f.view.OnPaint(f.Root(), false, false);
    // The centre mark, a 5 x 5 square, stands alone in the middle of the circle.
    EXPECT_EQ(f.Pixel(200, 150), kRed);
    EXPECT_EQ(f.Pixel(202, 152), kRed);
    EXPECT_EQ(f.Pixel(204, 154), kWhite);
    ToolScope pick(ToolPick);
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(f.Pixel(200, 150), kWhite);
}

TEST(ViewPaintObjects, GroupsAndCurvesAreNamedForTheDrawingProgram) {
    Fixture f(clsView::Top);
    clsNode* pair = f.scene.TreeManager.AddNode(clsTreeManager::CreateNode(clsNode::Group));
    pair->Name = "Pair";
    f.AddLine(0, 0, 0, 5, 0, 0, pair);
    f.AddLine(0, 0, 0, 0, 5, 0, pair);
    clsNode* unnamed = f.scene.TreeManager.AddNode(clsTreeManager::CreateNode(clsNode::Group));
    f.AddLine(1, 1, 0, 2, 2, 0, unnamed);
    f.AddLine(1, 1, 0, 2, 3, 0, unnamed);
    auto node = std::make_unique<clsNode>();
    node->NodeType = clsNode::Ellipse;
    node->Name = "Ring";
    node->Object = clsNode::MakeObject(clsNode::Ellipse);
    node->Object->BindToScene(&f.scene);
    static_cast<clsEllipse*>(node->Object.get())->SetProps(2, 2, 0, 0, 6, nullptr);
    f.scene.TreeManager.AddNode(std::move(node));

    const Recorded r = Export(f, false);
    ASSERT_EQ(r.TopLevel().Count(), 3);
    auto first = std::static_pointer_cast<test::FakeDrawShape>(r.TopLevel().Item(1));
    EXPECT_EQ(first->kind, "group");
    EXPECT_EQ(first->name, "Pair");
    ASSERT_EQ(first->members.size(), 2u);
    EXPECT_DOUBLE_EQ(std::static_pointer_cast<test::FakeDrawShape>(first->members[0])->x2, 5);
    EXPECT_EQ(std::static_pointer_cast<test::FakeDrawShape>(r.TopLevel().Item(2))->name, "");
    auto ring = std::static_pointer_cast<test::FakeDrawShape>(r.TopLevel().Item(3));
    EXPECT_EQ(ring->name, "Ring");
    EXPECT_EQ(ring->members.size(), 6u);

    // The SVG document builder writes the group under the node's name.
    auto svg = std::make_shared<SvgDrawApp>();
    clsPaintDC dc;
    dc.AttachToDraw(svg, f.view.ViewRect, Rect(0.5, 0.5, 8, 10.5));
    dc.BeginDraw();
    f.view.PaintScene(dc, f.Root(), false, false, true);
    dc.EndDraw();
    const std::string text = svg->ToSvgText();
    QSvgRenderer renderer(QByteArray::fromStdString(text));
    ASSERT_TRUE(renderer.isValid());
    for (const char* id : {"Grid", "Pair", "Ring"}) EXPECT_TRUE(renderer.elementExists(id)) << id;
    EXPECT_NE(text.find("inkscape:label=\"Pair\""), std::string::npos);
}

// ------------------------------------------------------------------ perspective additions

TEST(ViewPaintPerspective, VanishingLines) {
    Fixture f(clsView::Perspective);
    clsPerspective& camera = f.scene.GetPerspective();
    camera.ShowHorizon = false;
    const clsRect window = f.view.ViewRect;
    // With the default camera U = (-1, 1, 0) / sqrt 2, V = (-1, -1, 4) / (3 sqrt 2) and
    // W = (2, 2, 1) / 3. The x axis has d.U = -1/sqrt 2, d.V = -1/(3 sqrt 2), d.W = 2/3:
    // its vanishing point is (0.75, 0.25) / sqrt 2, outside the window. The line runs from
    // there to the end further in front of the eye, the origin (depth -30 against -24.7),
    // which is seen at (0, 0), and is cut at the window's edge u = 0.25, where
    // v = 0.25 / 3.
    for (const bool reversed : {false, true}) {
        Fixture g(clsView::Perspective);
        g.scene.GetPerspective().ShowHorizon = false;
        clsNode* line = reversed ? g.AddLine(8, 0, 0, 0, 0, 0) : g.AddLine(0, 0, 0, 8, 0, 0);
        line->ShowVanishPoint = true;
        const Recorded r = Export(g, false, window);
        ASSERT_EQ(r.Lines().size(), 2u);
        const auto& vanishing = *r.Lines()[0];
        EXPECT_EQ(vanishing.name, "Vanishing Lines");
        EXPECT_NEAR(vanishing.x1, 0.25, 1e-12);
        EXPECT_NEAR(vanishing.y1, 0.25 / 3, 1e-12);
        EXPECT_NEAR(vanishing.x2, 0, 1e-12);
        EXPECT_NEAR(vanishing.y2, 0, 1e-12);
        // Without the flag, or with the camera's switch off, there is none.
        line->ShowVanishPoint = false;
        EXPECT_EQ(Export(g, false, window).Lines().size(), 1u);
        line->ShowVanishPoint = true;
        g.scene.GetPerspective().ShowVanishLines = false;
        EXPECT_EQ(Export(g, false, window).Lines().size(), 1u);
    }

    // Parallel to the picture plane (along U) there is no vanishing point, whatever the flag;
    // wholly behind the eye there is nothing either. Lines in groups are found.
    clsNode* group = f.scene.TreeManager.AddNode(clsTreeManager::CreateNode(clsNode::Group));
    f.AddLine(0, 0, 0, -1, 1, 0, group)->ShowVanishPoint = true;
    f.AddLine(30, 30, 15, 30, 30, 25, group)->ShowVanishPoint = true;
    f.AddLine(0, 0, 0, 0, 0, 5, group)->ShowVanishPoint = true;
    const Recorded r = Export(f, false, window);
    // The parallel line and the z axis are drawn; one vanishing line, of the z axis: its
    // vanishing point lies straight below the centre, at v = -0.5 * (4 / (3 sqrt 2)) / (1/3),
    // and the line from it up to the origin is cut at the bottom of the window.
    ASSERT_EQ(r.Lines().size(), 3u);
    EXPECT_NEAR(r.Lines()[0]->x1, 0, 1e-12);
    EXPECT_NEAR(r.Lines()[0]->y1, camera.VMin, 1e-12);
    EXPECT_NEAR(r.Lines()[0]->x2, 0, 1e-12);
    EXPECT_NEAR(r.Lines()[0]->y2, 0, 1e-12);
}

TEST(ViewPaintPerspective, HorizonAndCentreOfView) {
    Fixture f(clsView::Perspective);
    clsPerspective& camera = f.scene.GetPerspective();
    camera.ShowCenter = true;
    const Recorded r = Export(f, false, f.view.ViewRect);
    // The horizon line (named), then the cross of the centre of view as one group.
    ASSERT_EQ(r.Lines().size(), 3u);
    const clsLine2D horizon = camera.GetHorizonLine();
    EXPECT_DOUBLE_EQ(r.Lines()[0]->x1, horizon.StartPoint.x);
    EXPECT_DOUBLE_EQ(r.Lines()[0]->y2, horizon.EndPoint.y);
    EXPECT_EQ(r.Lines()[0]->name, "Horizon");
    EXPECT_DOUBLE_EQ(r.Lines()[1]->x1, 0);
    EXPECT_DOUBLE_EQ(r.Lines()[1]->y1, camera.VMin);
    EXPECT_DOUBLE_EQ(r.Lines()[2]->x2, camera.UMax);
    ASSERT_EQ(r.TopLevel().Count(), 2);
    EXPECT_EQ(std::static_pointer_cast<test::FakeDrawShape>(r.TopLevel().Item(2))->name, "Center Of View");

    // A camera looking straight down has no horizon; a window beside the centre has no cross.
    camera.Normal.SetPoint(0, 0, -1);
    camera.ViewUp.SetPoint(0, 1, 0);
    camera.UMin = 0.1;
    camera.UMax = 0.3;
    camera.VMin = 0.1;
    camera.VMax = 0.2;
    EXPECT_TRUE(Export(f, false, f.view.ViewRect).Lines().empty());
}

// ------------------------------------------------------------------ screen decorations

TEST(ViewPaintScreen, RulerSteps) {
    // Rulers on a 400 x 300 canvas: the view area starts at (30, 30), 6.75 pixels to the
    // unit, centre (215, 165). Ticks stand on the ruler's inner edge (row 29 upwards for the
    // top ruler): minor ones 3 pixels in black, major ones 6 in red. The band's black frame
    // runs along row 29, so a column without a tick has one black pixel there.
    auto tickAt = [](const Fixture& f, int column) {
        int black = 0, red = 0;
        // Rows 23 to 29: below the labels, which end 7 pixels above the inner edge.
        for (int row = 23; row < 30; ++row) {
            black += f.Pixel(column, row) == kBlack;
            red += f.Pixel(column, row) == kRed;
        }
        return std::pair<int, int>{black, red};
    };
    Fixture f(clsView::Top);
    f.scene.ShowRulers = true;
    f.scene.ShowGrid = f.scene.ShowAxes = false;
    // Minor grid 0: the minor ticks fall at RoundGridStep(40) / 5 = 1 all the same.
    f.scene.MinorGrid = 0;
    f.scene.MajorGrid = 5;
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(tickAt(f, 222), (std::pair<int, int>{3, 0}));   // u = 1
    EXPECT_EQ(tickAt(f, 249), (std::pair<int, int>{0, 6}));   // u = 5
    EXPECT_EQ(tickAt(f, 235), (std::pair<int, int>{3, 0}));   // u = 3
    EXPECT_EQ(tickAt(f, 225), (std::pair<int, int>{1, 0}));   // between ticks
    EXPECT_EQ(f.Pixel(222, 26), 0xFFFFC8u);                   // the ruler field above a tick
    // The left ruler: v = 5 is row Fix(165 - 33.75 + 0.5) = 131, columns 24 to 29 red.
    for (int column = 24; column < 30; ++column) EXPECT_EQ(f.Pixel(column, 131), kRed) << column;
    EXPECT_NE(f.Pixel(23, 131), kRed);

    // A minor grid of 2 puts the minor ticks on the even coordinates only.
    f.scene.MinorGrid = 2;
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(tickAt(f, 222), (std::pair<int, int>{1, 0}));
    EXPECT_EQ(tickAt(f, 229), (std::pair<int, int>{3, 0})); // u = 2: Fix(13.5 + 215.5)

    // The perspective view always takes the automatic steps: a window 40 units wide gives
    // major 5 and minor 1, whatever the scene's grid.
    Fixture p(clsView::Perspective);
    p.scene.ShowRulers = true;
    p.scene.ShowGrid = p.scene.ShowAxes = false;
    p.scene.MinorGrid = 3;
    p.scene.MajorGrid = 7;
    clsPerspective& camera = p.scene.GetPerspective();
    camera.ShowHorizon = false;
    camera.UMin = camera.VMin = -20;
    camera.UMax = camera.VMax = 20;
    p.view.UpdateViewVolume();
    p.view.OnPaint(p.Root(), false, false);
    EXPECT_EQ(tickAt(p, 222), (std::pair<int, int>{3, 0})); // u = 1
    EXPECT_EQ(tickAt(p, 249), (std::pair<int, int>{0, 6})); // u = 5
    EXPECT_EQ(tickAt(p, 262), (std::pair<int, int>{3, 0})); // u = 7: minor only
}

TEST(ViewPaintScreen, EyePointMarkerPlainAndXor) {
    Fixture f(clsView::Top);
    f.scene.ShowAxes = false;
    clsPerspective& camera = f.scene.GetPerspective();
    camera.EyePoint.SetPoint(10, 6, 3);
    camera.Normal.SetPoint(-1, 0, 0);
    // The eye is at column 275, row 105; the marker is 40 / 8 = 5 units long, pointing to
    // -x: its end at column 237.5 + 0.5 = 238 (Fix), row 105.
    f.scene.ShowGrid = false;
    f.view.OnPaint(f.Root(), false, true);
    EXPECT_EQ(f.Pixel(273, 103), kRed);
    EXPECT_EQ(f.Pixel(277, 107), kRed);
    EXPECT_EQ(f.Pixel(278, 105), kWhite);
    EXPECT_EQ(f.Pixel(255, 105), kBlue);
    EXPECT_EQ(f.Pixel(237, 104), kRed);
    EXPECT_EQ(f.Pixel(236, 105), kWhite);
    // showEye false, or the perspective view: no marker.
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(f.Pixel(275, 105), kWhite);

    // In XOR the complements show the same colours on white, and a second call erases it:
    // on the plain canvas and on a full painting with grid and axes alike.
    f.view.DrawViewPoint(f.canvas, true);
    EXPECT_EQ(f.Pixel(273, 103), kRed);
    EXPECT_EQ(f.Pixel(255, 105), kBlue);
    EXPECT_EQ(f.canvas.Mode, Canvas::DrawMode::Normal);
    f.view.DrawViewPoint(f.canvas, true);
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(f.Pixel(273, 103), kWhite);
    f.scene.ShowGrid = f.scene.ShowAxes = true;
    f.view.OnPaint(f.Root(), false, false);
    const QImage painted = f.canvas.Image().copy();
    f.view.DrawViewPoint(f.canvas, true);
    EXPECT_NE(f.canvas.Image(), painted);
    f.view.DrawViewPoint(f.canvas, true);
    EXPECT_EQ(f.canvas.Image(), painted);
    // Half of the marker off the canvas is erased just as well.
    camera.EyePoint.SetPoint(20, 20, 0);
    f.view.DrawViewPoint(f.canvas, true);
    f.view.DrawViewPoint(f.canvas, true);
    EXPECT_EQ(f.canvas.Image(), painted);
}

TEST(ViewPaintScreen, ActiveFrameNameAndAxes) {
    Fixture f(clsView::Top);
    f.scene.ShowGrid = false;
    f.view.Active = true;
    f.view.OnPaint(f.Root(), false, false);
    for (const auto& [x, y] : {std::pair{0, 0}, {399, 0}, {0, 299}, {399, 299}, {200, 0}, {0, 150}, {399, 150}})
        EXPECT_EQ(f.Pixel(x, y), kRed) << x << "," << y;
    EXPECT_EQ(f.Pixel(1, 150), kWhite);
    // The name in bold at (3, 3): dark pixels there, and none above row 3.
    int dark = 0;
    for (int y = 3; y < 25; ++y)
        for (int x = 3; x < 40; ++x) dark += qGray(f.canvas.Image().pixel(x, y)) < 128;
    EXPECT_GT(dark, 10);
    for (int x = 1; x < 40; ++x) EXPECT_EQ(f.Pixel(x, 1), kWhite) << x;
    // The axes start 25 pixels inside the lower left corner: x to the right in red, y up in
    // green (the top view looks down z, which has no length here).
    EXPECT_EQ(f.Pixel(35, 275), kRed);
    EXPECT_EQ(f.Pixel(25, 258), 0x008000u);
    // In the front view x points left and z up.
    f.view.SetViewType(clsView::Front);
    f.view.Active = false;
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(f.Pixel(15, 275), kRed);
    EXPECT_EQ(f.Pixel(25, 258), kBlue);
    EXPECT_EQ(f.Pixel(0, 0), kWhite);
}

TEST(ViewPaintScreen, XorOnlyDrawsTheSelectionAndLeavesTheModeAlone) {
    Fixture f(clsView::Top);
    clsNode* line = f.AddLine(-10, 0, 0, 10, 0, 0);
    line->Selected = true;
    f.view.OnPaint(f.Root(), false, false);
    const QImage painted = f.canvas.Image().copy();
    f.view.OnPaint(line, true, false);
    EXPECT_NE(f.canvas.Image(), painted);
    EXPECT_EQ(f.canvas.Mode, Canvas::DrawMode::Normal);
    f.view.OnPaint(line, true, false);
    EXPECT_EQ(f.canvas.Image(), painted);
}

TEST(ViewPaintScreen, AbsurdSettingsNeitherHangNorCrash) {
    Fixture f(clsView::Top);
    f.scene.ShowRulers = true;
    f.AddLine(-1e300, -1e300, 0, 1e300, 1e300, 0);
    f.AddLine(0, 0, 0, 1e308, 0, 0)->Selected = true;
    // Spacings far too fine for the volume, and a volume of no extent.
    f.scene.MinorGrid = 1e-12;
    f.scene.MajorGrid = 1e-300;
    f.view.OnPaint(f.Root(), false, true);
    f.scene.ViewVolumeMax.SetPoint(1e308, 1e308, 1e308);
    f.scene.ViewVolumeMin.SetPoint(-1e308, -1e308, -1e308);
    f.scene.MinorGrid = 1;
    for (std::int32_t type = 0; type <= 7; ++type) {
        f.view.SetViewType(type);
        f.view.OnPaint(f.Root(), false, true);
        f.view.DrawViewPoint(f.canvas, true);
    }
    f.scene.ViewVolumeMax.SetPoint(0, 0, 0);
    f.scene.ViewVolumeMin.SetPoint(0, 0, 0);
    f.view.SetViewType(clsView::Right);
    f.view.OnPaint(f.Root(), false, true);
    // A canvas without pixels and a view without a canvas paint nothing.
    f.canvas.Resize(0, 0);
    f.view.OnPaint(f.Root(), false, true);
    clsView unbound;
    unbound.OnPaint(f.Root(), false, true);
    SUCCEED();
}

TEST(ViewPaintScreen, ModelHouseInEveryView) {
    // The default scene with rulers, grid and axes, each view on its own canvas: the house
    // shows in every view in its line colour, the grid and the ruler field around it.
    clsScene scene;
    scene.ShowRulers = true;
    scene.GetPerspective().ShowCenter = true;
    scene.GetRootNode()->FirstChild()->LastChild()->SetSelected(true); // the chimney, in red
    for (std::int32_t type = clsView::Left; type <= clsView::Perspective; ++type) {
        Canvas canvas(600, 450);
        canvas.SetPixelsPerInchY(96);
        clsView view;
        view.SetView(type, &canvas, &scene);
        view.Active = type == clsView::Perspective;
        view.OnPaint(scene.GetRootNode(), false, true);
        long blue = 0, red = 0, field = 0;
        for (int y = 0; y < 450; ++y)
            for (int x = 0; x < 600; ++x) {
                const QRgb p = canvas.Image().pixel(x, y) & 0xFFFFFF;
                blue += p == kBlue;
                red += p == kRed;
                field += p == 0xFFFFC8;
            }
        const std::string name = view.GetViewName();
        EXPECT_GT(blue, 100) << name;
        EXPECT_GT(red, 40) << name;
        EXPECT_GT(field, 1000) << name;
        if (const char* keep = std::getenv("ORTHOVANE_KEEP_EXPORTS"))
            canvas.Image().save(QString(keep) + "/house-" + QString::fromStdString(name) + ".png");
    }
}

// ------------------------------------------------------------------ fast paths of painting

TEST(ViewPaintFastPaths, PerspectivePaintingProjectsExactlyAsTheView) {
    // Painting builds the camera frame once per pass instead of once per segment; what it
    // draws must still be the view's ConvertLine to the last bit. Segments everywhere
    // around the eye: in front, behind, through it, across the window's edges and the front
    // and back planes, for a few cameras.
    Fixture f(clsView::Perspective);
    clsPerspective& camera = f.scene.GetPerspective();
    camera.ShowHorizon = camera.ShowVanishLines = false;
    std::mt19937_64 rng(7);
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    for (int i = 0; i < 3000; ++i)
        f.AddLine(uniform(-40, 40), uniform(-40, 40), uniform(-40, 40), uniform(-40, 40), uniform(-40, 40),
                  uniform(-40, 40));
    f.AddLine(20, 20, 10, 0, 0, 0);   // from the eye
    f.AddLine(0, 0, 0, 40, 40, 20);   // through it
    // Segments with ends on or within a hair of the window's four edges and the front
    // plane, placed through the camera's frame: painting decides cheaply when a segment
    // needs no clipping, and must decide as the camera does right at the edges.
    auto nearEdges = [&] {
        clsPoint3D U, V, W;
        camera.GetBaseVectors(U, V, W);
        const double d = camera.Distance, front = d - camera.FrontClipping;
        auto point = [&](double u, double v, double depth) { // (u, v) seen at that depth
            const double s = depth / d;
            return clsPoint3D(camera.EyePoint.x + s * (u * U.x + v * V.x) - depth * W.x,
                              camera.EyePoint.y + s * (u * U.y + v * V.y) - depth * W.y,
                              camera.EyePoint.z + s * (u * U.z + v * V.z) - depth * W.z);
        };
        for (int i = 0; i < 400; ++i) {
            const double hair = std::vector<double>{-1e-12, 0, 1e-12, 1e-15}[static_cast<std::size_t>(i % 4)];
            const double edgeU = i % 8 < 4 ? camera.UMax : camera.UMin, edgeV = i % 16 < 8 ? camera.VMax : camera.VMin;
            const double along = uniform(camera.VMin, camera.VMax), across = uniform(camera.UMin, camera.UMax);
            const double z1 = i % 3 == 0 ? front * (1 + hair) : uniform(front, 60);
            const double z2 = uniform(front, 60);
            const clsPoint3D a = i % 2 ? point(edgeU * (1 + hair), along, z1) : point(across, edgeV * (1 + hair), z1);
            const clsPoint3D b = i % 2 ? point(edgeU * (1 - hair), uniform(camera.VMin, camera.VMax), z2)
                                       : point(uniform(camera.UMin, camera.UMax), edgeV, z2);
            f.AddLine(a.x, a.y, a.z, b.x, b.y, b.z);
        }
    };
    nearEdges();
    auto check = [&](const char* what) {
        // A page of (-1, -1)-(1, 1) on itself maps every coordinate onto itself exactly.
        const Recorded r = Export(f, false, Rect(-1, -1, 1, 1));
        std::size_t at = 0, hidden = 0;
        for (clsNode* n = f.Root()->FirstChild(); n; n = n->NextSibling()) {
            double u1, v1, u2, v2;
            if (!f.view.ConvertLine(*n->GetLine()->Segment, u1, v1, u2, v2)) {
                ++hidden;
                continue;
            }
            ASSERT_LT(at, r.Lines().size()) << what;
            const auto& got = *r.Lines()[at++];
            EXPECT_EQ(got.x1, u1) << what;
            EXPECT_EQ(got.y1, v1) << what;
            EXPECT_EQ(got.x2, u2) << what;
            EXPECT_EQ(got.y2, v2) << what;
        }
        EXPECT_EQ(at, r.Lines().size()) << what;
        EXPECT_GT(at, 100u) << what;
        EXPECT_GT(hidden, 100u) << what;
    };
    check("default camera");
    camera.EyePoint.SetPoint(-3, 7, 2);
    camera.Normal.SetPoint(0.3, -1, 0.2);
    camera.ViewUp.SetPoint(0.2, 0.1, 1);
    camera.FrontClipping = 0.3;
    camera.ClipBack = true;
    camera.BackClipping = -20;
    camera.UMin = -0.6;
    camera.UMax = 0.3;
    nearEdges();
    check("rolled camera, clipped at the back");
}

TEST(ViewPaintFastPaths, NearestRoundsHalvesToEven) {
    // The paint target rounds device coordinates with a shortcut inside its limit; it must
    // agree with RoundHalfEven everywhere, and pin what lies beyond.
    constexpr double L = DeviceCoordinateLimit;
    for (double v : {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 0.49999999999999994, -0.49999999999999994, 2.5000000000000004,
                     1e-300, -0.0, 1234567.5, -1234566.5, L - 0.5, -L + 0.5, L + 0.5, 2147483646.4999998,
                     4503599627370495.5})
        EXPECT_EQ(Nearest(v), static_cast<int>(std::max(-L, std::min(L, RoundHalfEven(v))))) << v;
    std::mt19937_64 rng(11);
    for (int i = 0; i < 100000; ++i) {
        const double v = std::uniform_real_distribution<double>(-3e9, 3e9)(rng) / (1 << (i % 30));
        const double half = std::floor(v) + 0.5;
        for (double x : {v, half})
            ASSERT_EQ(Nearest(x), static_cast<int>(std::max(-L, std::min(L, RoundHalfEven(x))))) << x;
    }
    EXPECT_EQ(Nearest(std::nan("")), -DeviceCoordinateLimit);
    EXPECT_EQ(Nearest(1e300), DeviceCoordinateLimit);
    EXPECT_EQ(Nearest(-1e300), -DeviceCoordinateLimit);
}
