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

using test::Rect;
using Coords = std::vector<double>;

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
    clsNode* AddCircle(double radius, const char* name, std::int16_t segments = 16) {
        auto node = std::make_unique<clsNode>();
        node->NodeType = clsNode::Ellipse;
        node->Name = name;
        node->Object = clsNode::MakeObject(clsNode::Ellipse);
        node->Object->BindToScene(&scene);
        static_cast<clsEllipse*>(node->Object.get())->SetProps(radius, radius, 0, 0, segments, nullptr);
        return scene.TreeManager.AddNode(std::move(node));
    }
    QRgb Pixel(int x, int y) const { return canvas.Image().pixel(x, y) & 0xFFFFFF; }
    void ExpectPixels(std::initializer_list<std::tuple<int, int, QRgb>> pixels) const {
        for (const auto& [x, y, colour] : pixels) EXPECT_EQ(Pixel(x, y), colour) << x << "," << y;
    }
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

void ExpectNear(const Coords& got, const Coords& expected, const char* what = "") {
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(got.at(i), expected[i], 1e-12) << what << " " << i;
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
    for (std::size_t i = 0; i < 13; ++i) {
        const double at = -18.0 + 3 * static_cast<double>(i);
        EXPECT_EQ(r.Lines()[i]->Coords(), (Coords{at, -20, at, 20})) << i;
        EXPECT_EQ(r.Lines()[13 + i]->Coords(), (Coords{-20, at, 20, at})) << i;
    }
    // One group named "Grid" and nothing else at the top level.
    ASSERT_EQ(r.TopLevel().Count(), 1);
    EXPECT_EQ(r.TopLevel().At(1).name, "Grid");
    EXPECT_EQ(r.TopLevel().At(1).members.size(), 26u);

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
    EXPECT_EQ(trace.Lines()[0]->Coords(), (Coords{-20, 2.5, 20, 2.5}));
    EXPECT_EQ(trace.Lines()[0]->name, "Grid");
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
    ExpectNear(tilted.Lines()[0]->Coords(), {20, -20, -20, 20});
    // From the top the same plane shows as v = 0 across the volume; the level plane of the
    // default normal, seen face-on, shows no trace; a vertical plane x = 4 shows as u = 4.
    left.view.SetViewType(clsView::Top);
    const Recorded fromTop = Export(left, true);
    ASSERT_EQ(fromTop.Lines().size(), 1u);
    ExpectNear(fromTop.Lines()[0]->Coords(), {-20, 0, 20, 0});
    left.scene.GetPerspective().Horizon.SetPoint(0, 0, 5);
    EXPECT_TRUE(Export(left, true).Lines().empty());
    left.scene.GetPerspective().Horizon.SetPoint(2, 0, 0);
    left.scene.GetPerspective().HorizonOffset = 4;
    const Recorded vertical = Export(left, true);
    ASSERT_EQ(vertical.Lines().size(), 1u);
    EXPECT_EQ(vertical.Lines()[0]->x1 + vertical.Lines()[0]->x2, 8);
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
            ExpectNear(r.Lines()[at++]->Coords(), {u1, v1, u2, v2}, what);
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
        for (const auto& call : metafile.Only("pen")) colours.push_back(call[2]);
        return colours;
    };
    // Windows colour values: blue is 255 << 16, red is 255.
    EXPECT_EQ(penColours(true), (std::vector<int>{0xFF0000, 0x0000FF, 0x0000FF})); // pass 2, then pass 1
    EXPECT_EQ(penColours(false), (std::vector<int>{0xFF0000, 0xFF0000}));

    // On the canvas: x = 0 is column 200, y = 0 row 150; the lines cross there.
    f.scene.ShowGrid = f.scene.ShowAxes = false;
    f.view.OnPaint(f.Root(), false, false);
    f.ExpectPixels({{150, 150, kBlue}, {200, 100, kRed}, {200, 150, kRed} /* selection on top */, {150, 151, kWhite}});
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
    f.ExpectPixels({{124, 149, kRed}, {126, 151, kRed}, {274, 151, kRed}, {276, 149, kRed}, {123, 149, kWhite},
                    {125, 152, kWhite}});
    {
        ToolScope pick(ToolPick); // no handles
        f.view.OnPaint(f.Root(), false, false);
        f.ExpectPixels({{124, 149, kWhite}, {150, 150, kRed}});
    }
    line->Hidden = true;
    f.view.OnPaint(f.Root(), false, false);
    f.ExpectPixels({{150, 150, kWhite}, {124, 149, kWhite}, {125, 150, kWhite}});

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
    f.AddCircle(8, "")->Selected = true;
    f.view.OnPaint(f.Root(), false, false);
    f.ExpectPixels({{200, 150, kRed}, {202, 152, kRed}, {204, 154, kWhite}}); // a 5 x 5 centre mark alone
    ToolScope pick(ToolPick);
    f.view.OnPaint(f.Root(), false, false);
    f.ExpectPixels({{200, 150, kWhite}});
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
    f.AddCircle(2, "Ring", 6);

    const Recorded r = Export(f, false);
    ASSERT_EQ(r.TopLevel().Count(), 3);
    EXPECT_EQ(r.TopLevel().At(1).kind + " " + r.TopLevel().At(1).name + " " + r.TopLevel().At(2).name + "|" +
                  r.TopLevel().At(3).name, "group Pair |Ring");
    ASSERT_EQ(r.TopLevel().At(1).members.size(), 2u);
    EXPECT_DOUBLE_EQ(r.TopLevel().At(1).Member(0).x2, 5);
    EXPECT_EQ(r.TopLevel().At(3).members.size(), 6u);

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
        EXPECT_EQ(r.Lines()[0]->name, "Vanishing Lines");
        ExpectNear(r.Lines()[0]->Coords(), {0.25, 0.25 / 3, 0, 0});
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
    ExpectNear(r.Lines()[0]->Coords(), {0, camera.VMin, 0, 0});
}

TEST(ViewPaintPerspective, HorizonAndCentreOfView) {
    Fixture f(clsView::Perspective);
    clsPerspective& camera = f.scene.GetPerspective();
    camera.ShowCenter = true;
    const Recorded r = Export(f, false, f.view.ViewRect);
    // The horizon line (named), then the cross of the centre of view as one group.
    ASSERT_EQ(r.Lines().size(), 3u);
    const clsLine2D horizon = camera.GetHorizonLine();
    const auto& [start, end] = std::pair(horizon.StartPoint, horizon.EndPoint);
    ExpectNear(r.Lines()[0]->Coords(), {start.x, start.y, end.x, end.y});
    EXPECT_EQ(r.Lines()[0]->name, "Horizon");
    EXPECT_EQ((Coords{r.Lines()[1]->x1, r.Lines()[1]->y1, r.Lines()[2]->x2}), (Coords{0, camera.VMin, camera.UMax}));
    ASSERT_EQ(r.TopLevel().Count(), 2);
    EXPECT_EQ(r.TopLevel().At(2).name, "Center Of View");

    // A camera looking straight down has no horizon; a window beside the centre has no cross.
    camera.Normal.SetPoint(0, 0, -1);
    camera.ViewUp.SetPoint(0, 1, 0);
    std::tie(camera.UMin, camera.UMax, camera.VMin, camera.VMax) = std::tuple(0.1, 0.3, 0.1, 0.2);
    EXPECT_TRUE(Export(f, false, f.view.ViewRect).Lines().empty());
}

// ------------------------------------------------------------------ screen decorations

TEST(ViewPaintScreen, RulerSteps) {
    // Rulers on a 400 x 300 canvas: the view area starts at (30, 30), 6.75 pixels to the
    // unit, centre (215, 165). Ticks stand on the ruler's inner edge (row 29 upwards for the
    // top ruler): minor ones 3 pixels in black, major ones 6 in red. The band's black frame
    // runs along row 29, so a column without a tick has one black pixel there.
    using Ticks = std::vector<std::pair<int, int>>;
    const auto ticks = [](const Fixture& f, std::initializer_list<int> columns) {
        Ticks r; // black and red pixels in rows 23 to 29, below the labels
        for (int column : columns) {
            r.emplace_back(0, 0);
            for (int row = 23; row < 30; ++row) {
                r.back().first += f.Pixel(column, row) == kBlack;
                r.back().second += f.Pixel(column, row) == kRed;
            }
        }
        return r;
    };
    Fixture f(clsView::Top);
    f.scene.ShowRulers = true;
    f.scene.ShowGrid = f.scene.ShowAxes = false;
    // Minor grid 0: the minor ticks fall at RoundGridStep(40) / 5 = 1 all the same.
    f.scene.MinorGrid = 0;
    f.scene.MajorGrid = 5;
    f.view.OnPaint(f.Root(), false, false);
    // Columns of u = 1, 5, 3 and one between ticks.
    EXPECT_EQ(ticks(f, {222, 249, 235, 225}), (Ticks{{3, 0}, {0, 6}, {3, 0}, {1, 0}}));
    EXPECT_EQ(f.Pixel(222, 26), 0xFFFFC8u); // the ruler field above a tick
    // The left ruler: v = 5 is row Fix(165 - 33.75 + 0.5) = 131, columns 24 to 29 red.
    f.ExpectPixels({{24, 131, kRed}, {29, 131, kRed}, {23, 131, 0xFFFFC8u}});
    f.scene.MinorGrid = 2; // minor ticks on the even coordinates only: u = 2 at Fix(13.5 + 215.5)
    f.view.OnPaint(f.Root(), false, false);
    EXPECT_EQ(ticks(f, {222, 229}), (Ticks{{1, 0}, {3, 0}}));

    // The perspective view always takes the automatic steps: a window 40 units wide gives
    // major 5 and minor 1, whatever the scene's grid.
    Fixture p(clsView::Perspective);
    p.scene.ShowRulers = true;
    p.scene.ShowGrid = p.scene.ShowAxes = false;
    p.scene.MinorGrid = 3;
    p.scene.MajorGrid = 7;
    clsPerspective& camera = p.scene.GetPerspective();
    camera.ShowHorizon = false;
    std::tie(camera.UMin, camera.VMin, camera.UMax, camera.VMax) = std::tuple(-20, -20, 20, 20);
    p.view.UpdateViewVolume();
    p.view.OnPaint(p.Root(), false, false);
    EXPECT_EQ(ticks(p, {222, 249, 262}), (Ticks{{3, 0}, {0, 6}, {3, 0}})); // u = 1, 5 and 7
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
    f.ExpectPixels({{273, 103, kRed}, {277, 107, kRed}, {278, 105, kWhite}, {255, 105, kBlue}, {237, 104, kRed},
                    {236, 105, kWhite}});
    f.view.OnPaint(f.Root(), false, false); // showEye false: no marker
    f.ExpectPixels({{275, 105, kWhite}});
    // In XOR the complements show the same colours on white, and a second call erases it, also
    // on a full painting with grid and axes and with half of the marker off the canvas.
    f.view.DrawViewPoint(f.canvas, true);
    f.ExpectPixels({{273, 103, kRed}, {255, 105, kBlue}});
    EXPECT_EQ(f.canvas.Mode, Canvas::DrawMode::Normal);
    f.view.DrawViewPoint(f.canvas, true);
    f.ExpectPixels({{273, 103, kWhite}});
    f.scene.ShowGrid = f.scene.ShowAxes = true;
    f.view.OnPaint(f.Root(), false, false);
    const QImage painted = f.canvas.Image().copy();
    for (const double x : {10.0, 20.0}) {
        camera.EyePoint.SetPoint(x, x, 0);
        f.view.DrawViewPoint(f.canvas, true);
        EXPECT_NE(f.canvas.Image(), painted);
        f.view.DrawViewPoint(f.canvas, true);
        EXPECT_EQ(f.canvas.Image(), painted);
    }
}

TEST(ViewPaintScreen, ActiveFrameNameAndAxes) {
    Fixture f(clsView::Top);
    f.scene.ShowGrid = false;
    f.view.Active = true;
    f.view.OnPaint(f.Root(), false, false);
    f.ExpectPixels({{0, 0, kRed}, {399, 0, kRed}, {0, 299, kRed}, {399, 299, kRed}, {200, 0, kRed}, {1, 150, kWhite}});
    // The name in bold at (3, 3): dark pixels there, and none above row 3.
    int dark = 0;
    for (int y = 3; y < 25; ++y)
        for (int x = 3; x < 40; ++x) dark += qGray(f.canvas.Image().pixel(x, y)) < 128;
    EXPECT_GT(dark, 10);
    for (int x = 1; x < 40; ++x) EXPECT_EQ(f.Pixel(x, 1), kWhite) << x;
    // The axes start 25 pixels inside the lower left corner: x to the right in red, y up in
    // green (the top view looks down z, which has no length here).
    f.ExpectPixels({{35, 275, kRed}, {25, 258, 0x008000u}});
    f.view.SetViewType(clsView::Front); // x points left and z up
    f.view.Active = false;
    f.view.OnPaint(f.Root(), false, false);
    f.ExpectPixels({{15, 275, kRed}, {25, 258, kBlue}, {0, 0, kWhite}});
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
    f.scene.ViewVolumeMax = f.scene.ViewVolumeMin = clsPoint3D(0, 0, 0);
    f.view.SetViewType(clsView::Right);
    f.view.OnPaint(f.Root(), false, true);
    f.canvas.Resize(0, 0); // a canvas without pixels and a view without a canvas paint nothing
    f.view.OnPaint(f.Root(), false, true);
    clsView().OnPaint(f.Root(), false, true);
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
        EXPECT_TRUE(blue > 100 && red > 40 && field > 1000) << view.GetViewName() << blue << " " << red << " " << field;
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
            EXPECT_EQ(r.Lines()[at++]->Coords(), (Coords{u1, v1, u2, v2})) << what;
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
