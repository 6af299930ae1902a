#include "ViewScene.h"
#include "io/NumberText.h"

using namespace ov;

namespace {

using test::Rect;
using Coords = std::vector<double>;
constexpr QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0;

// Scene content sent to a drawing program on a page that is the view plane's rectangle itself.
struct Recorded {
    std::shared_ptr<test::FakeDrawApp> app = std::make_shared<test::FakeDrawApp>();
    const std::vector<std::shared_ptr<test::FakeDrawShape>>& Lines() const { return app->document->layer->created; }
    Coords Line(std::size_t i) const { return Lines().at(i)->Coords(); }
    test::FakeShapeRange& TopLevel() const { return *app->ranges.at(0); }
};

struct Fixture : test::ViewScene {
    using ViewScene::ViewScene;
    Recorded Export(bool grid = false, const clsRect& page = Rect(-20, -20, 20, 20)) {
        Recorded r;
        clsPaintDC dc;
        dc.AttachToDraw(r.app, page, page);
        dc.BeginDraw();
        view.PaintScene(dc, Root(), false, false, grid);
        dc.EndDraw();
        return r;
    }
    Recorded ExportView() { return Export(false, view.ViewRect); }
};

void ExpectNear(const Coords& got, const Coords& expected) {
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(got.at(i), expected[i], 1e-12) << i;
}

} // namespace

TEST(ViewPaintExport, GridFromTheMultipleNudgedInwardWithoutFamiliesOfNoSpacingAndGroupsNamed) {
    Fixture f(clsView::Top);
    std::tie(f.scene.MinorGrid, f.scene.MajorGrid) = std::pair(3, 0);
    const Recorded r = f.Export(true);
    // Fix(-20 / 3 - 0.001) * 3 = -18, then every 3: first the lines of constant u, then those of constant v.
    ASSERT_EQ(r.Lines().size(), 26u);
    for (std::size_t i = 0; i < 13; ++i) {
        const double at = -18.0 + 3 * static_cast<double>(i);
        EXPECT_EQ(r.Line(i), (Coords{at, -20, at, 20})) << i;
        EXPECT_EQ(r.Line(13 + i), (Coords{-20, at, 20, at})) << i;
    }
    EXPECT_EQ(std::pair(r.TopLevel().Count(), r.TopLevel().At(1).name), std::pair(1, std::string("Grid")));
    std::tie(f.scene.MinorGrid, f.scene.MajorGrid) = std::pair(0, 5); // a bound that is itself a multiple stays a line
    const Recorded major = f.Export(true);
    EXPECT_EQ((Coords{double(major.Lines().size()), major.Lines().at(0)->x1, major.Lines().at(8)->x1}),
              (Coords{18, -20, 20}));
    // Both spacings 0: the group is opened and closed but adds nothing; without the grid none is opened.
    f.scene.MajorGrid = 0;
    const Recorded empty = f.Export(true);
    EXPECT_EQ(std::tuple(empty.Lines().size(), empty.app->ranges.size(), empty.TopLevel().Count()),
              std::tuple(std::size_t(0), std::size_t(2), 0));
    EXPECT_EQ(f.Export(false).app->ranges.size(), 1u);
    // Groups of the tree are groups of the same name (the command line tests find the house's), and so is a
    // curve in several pieces.
    f.scene.TreeManager.AddNode(
        f.scene.TreeManager.CreateBezierNode({-5, 0, 0}, {-5, 5, 0}, {5, 5, 0}, {5, 0, 0}, "Arc"));
    const Recorded curve = f.Export();
    ASSERT_EQ(curve.TopLevel().Count(), 1);
    const test::FakeDrawShape& arc = curve.TopLevel().At(1);
    EXPECT_TRUE(arc.kind == "group" && arc.name == "Arc" && arc.members.size() > 1) << arc.kind << " " << arc.name;
}

TEST(ViewPaintGrid, HorizonTraceWhereTheHorizonPlaneMeetsTheView) {
    Fixture f(clsView::Front);
    f.scene.MinorGrid = f.scene.MajorGrid = 0;
    clsPerspective& camera = f.Camera();
    const auto trace = [&](std::int32_t type) {
        f.view.SetViewType(type);
        const Recorded r = f.Export(true);
        EXPECT_LE(r.Lines().size(), 1u);
        return r.Lines().empty() ? Coords{} : r.Line(0);
    };
    camera.HorizonOffset = 2.5; // edge-on from the front: z = HorizonOffset across the volume
    EXPECT_EQ(trace(clsView::Front), (Coords{-20, 2.5, 20, 2.5}));
    // The tilted plane y + z = 0 from the left is v = -u, run from the bottom to the top; from the top v = 0.
    camera.Horizon.SetPoint(0, 3, 3), camera.HorizonOffset = 0;
    ExpectNear(trace(clsView::Left), {20, -20, -20, 20});
    ExpectNear(trace(clsView::Top), {-20, 0, 20, 0});
    // A level plane seen face-on has no trace, nor has a trace of style none.
    camera.Horizon.SetPoint(0, 0, 5);
    EXPECT_EQ(trace(clsView::Top), Coords{});
    f.scene.GridHorizon.SetNone();
    EXPECT_EQ(trace(clsView::Front), Coords{});
}

TEST(ViewPaintObjects, SelectionIsRedWithHandlesUnderNodeEditOnScreenAndPlainInOutputHiddenObjectsNowhere) {
    Fixture f(clsView::Top, true);
    f.AddLine(-10, 0, 0, 10, 0, 0);
    f.AddLine(0, -10, 0, 0, 10, 0)->Selected = true;
    clsNode* hidden = f.AddLine(-10, 10, 0, 10, 10, 0);
    hidden->Hidden = hidden->Selected = true;
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
    // Windows colour values: blue is 255 << 16, red is 255; pass 2, then pass 1.
    EXPECT_EQ(penColours(true), (std::vector<int>{0xFF0000, 0x0000FF, 0x0000FF}));
    EXPECT_EQ(penColours(false), (std::vector<int>{0xFF0000, 0xFF0000}));
    f.Paint(); // x = 0 is column 200, y = 0 row 150; the selection lies on top where they cross
    f.ExpectPixels({{150, 150, kBlue}, {200, 100, kRed}, {200, 150, kRed}, {150, 151, kWhite}, {150, 75, kWhite}});
    f.scene.TreeManager.AddNode( // from (-5, -10) to (5, -10), bulging upwards
           f.scene.TreeManager.CreateBezierNode({-5, -10, 0}, {-5, -5, 0}, {5, -5, 0}, {5, -10, 0}, ""))
        ->Selected = true;
    App().CurrentTool = ToolNodeEdit;
    f.Paint(); // red 3 x 3 handles on the selected ends, on the curve's control points too; none on hidden ones
    App().CurrentTool = ToolPick;
    f.ExpectPixels({{199, 74, kRed}, {201, 76, kRed}, {198, 75, kWhite}, {200, 73, kWhite}, {125, 149, kWhite},
                    {162, 187, kRed}, {237, 187, kRed}, {180, 187, kWhite}, {125, 75, kWhite}, {150, 75, kWhite}});
}

TEST(ViewPaintPerspective, VanishingLinesFromTheVanishingPointToTheNearerEndThenHorizonAndCentreOfView) {
    // The default camera: the x axis vanishes at (0.75, 0.25) / sqrt 2, outside the window; the line from
    // there to the origin, the end nearer the eye, is cut at the window's edge u = 0.25, where v = 0.25 / 3.
    Fixture f(clsView::Perspective, true);
    clsPerspective& camera = f.Camera();
    clsNode* line = f.AddLine(8, 0, 0, 0, 0, 0);
    line->ShowVanishPoint = true;
    const Recorded x = f.ExportView();
    ASSERT_EQ(x.Lines().size(), 2u);
    EXPECT_EQ(x.Lines()[0]->name, "Vanishing Lines");
    ExpectNear(x.Line(0), {0.25, 0.25 / 3, 0, 0});
    for (const auto flag : {&clsNode::ShowVanishPoint, &clsNode::Hidden}) { // without its flag or hidden
        line->*flag = !(line->*flag);
        EXPECT_EQ(f.ExportView().Lines().size(), flag == &clsNode::Hidden ? 0u : 1u);
        line->*flag = !(line->*flag);
    }
    camera.ShowVanishLines = false;
    EXPECT_EQ(f.ExportView().Lines().size(), 1u);
    // Parallel to the picture plane there is no vanishing point, behind the eye nothing; lines in groups
    // count. The z axis vanishes straight below the centre: its line is cut at the bottom of the window.
    line->Delete();
    camera.ShowVanishLines = true;
    clsNode* group = f.scene.TreeManager.AddNode(clsTreeManager::CreateNode(clsNode::Group));
    f.AddLine(0, 0, 0, -1, 1, 0, group)->ShowVanishPoint = true;
    f.AddLine(30, 30, 15, 30, 30, 25, group)->ShowVanishPoint = true;
    f.AddLine(0, 0, 0, 0, 0, 5, group)->ShowVanishPoint = true;
    const Recorded r = f.ExportView();
    ASSERT_EQ(r.Lines().size(), 3u);
    ExpectNear(r.Line(0), {0, camera.VMin, 0, 0});
    // The named horizon line comes first, the cross of the centre as a group last.
    group->Delete();
    camera.ShowHorizon = camera.ShowCenter = true;
    const Recorded c = f.ExportView();
    ASSERT_EQ(std::pair(c.Lines().size(), c.TopLevel().Count()), std::pair(std::size_t(3), 2));
    EXPECT_EQ(c.Lines()[0]->name + "|" + c.TopLevel().At(2).name, "Horizon|Center Of View");
    EXPECT_EQ((Coords{c.Lines()[1]->x1, c.Lines()[1]->y1, c.Lines()[2]->x2}), (Coords{0, camera.VMin, camera.UMax}));
    // A camera looking straight down has no horizon; a window beside the centre has no cross.
    camera.Normal.SetPoint(0, 0, -1), camera.ViewUp.SetPoint(0, 1, 0);
    std::tie(camera.UMin, camera.UMax, camera.VMin, camera.VMax) = std::tuple(0.1, 0.3, 0.1, 0.2);
    EXPECT_TRUE(f.ExportView().Lines().empty());
}

TEST(ViewPaintScreen, RulerStepsFollowTheZoomWhateverTheGrid) {
    // Major steps 1, 2 or 5 times a power of ten at least 60 pixels apart, minor ticks dividing
    // them into five (four for a 2): from far out to 800 times in on a view of 6.75 pixels a unit.
    const struct { double pixelsPerUnit, minor, major; } steps[] = {
        {6.75, 2, 10},   {60, 0.2, 1},   {59.9, 0.5, 2},  {25, 1, 5},          {0.61, 20, 100},
        {5400, 0.005, 0.02}, {6.75 * 87, 0.05, 0.2}, {1e-6, 2e7, 1e8}, {0, 0, 0}, {std::nan(""), 0, 0}};
    for (const auto& c : steps) {
        double minor = -1, major = -1;
        clsView::RulerSteps(c.pixelsPerUnit, minor, major);
        EXPECT_DOUBLE_EQ(major, c.major) << c.pixelsPerUnit;
        EXPECT_DOUBLE_EQ(minor, c.minor) << c.pixelsPerUnit;
    }
    // The rulers span the 40 units of the volume, 6.75 pixels to the unit: majors every 10, minors every 2,
    // standing on the inner edges at column and row 29, major ones red and 6 pixels long, minor ones black
    // and 3 long. Counted along the top ruler, and the left one inside its ends at v = -20 and 20.
    const std::tuple<std::int32_t, double, double> cases[] = {
        {clsView::Top, 0, 5}, {clsView::Top, 2, 5}, {clsView::Perspective, 3, 7}};
    for (const auto& [view, minor, major] : cases) {
        Fixture f(view, true);
        f.scene.ShowRulers = true;
        std::tie(f.scene.MinorGrid, f.scene.MajorGrid) = std::pair(minor, major);
        std::tie(f.Camera().UMin, f.Camera().VMin, f.Camera().UMax, f.Camera().VMax) = std::tuple(-20, -20, 20, 20);
        f.view.UpdateViewVolume();
        f.Paint();
        std::vector<int> ticks(4);
        for (int i = 31; i < 399; ++i) {
            ticks[0] += f.Pixel(i, 25) == kRed, ticks[1] += f.Pixel(i, 28) == kBlack;
            if (i >= 35 && i <= 295) ticks[2] += f.Pixel(25, i) == kRed, ticks[3] += f.Pixel(28, i) == kBlack;
        }
        EXPECT_EQ(ticks, (std::vector<int>{5, 16, 3, 16})) << clsView::ViewName(view) << " " << minor;
    }
}

TEST(ViewPaintScreen, EyePointMarkerAndItsXorDrawingErasedByASecondOne) {
    Fixture f(clsView::Top, true);
    f.Camera().EyePoint.SetPoint(10, 6, 3), f.Camera().Normal.SetPoint(-1, 0, 0);
    f.Paint(true); // the eye at (275, 105) and the marker's end 40 / 8 = 5 units towards -x, boxed in red
    f.ExpectPixels({{273, 103, kRed}, {255, 105, kBlue}, {237, 104, kRed}, {236, 105, kWhite}});
    f.scene.ShowGrid = f.scene.ShowAxes = true; // in XOR over grid and axes, half of it off the canvas
    f.Paint();
    const QImage painted = f.canvas.Image().copy();
    f.Camera().EyePoint.SetPoint(20, 20, 0);
    for (const bool shown : {true, false}) {
        f.view.DrawViewPoint(f.canvas, true);
        EXPECT_EQ(f.canvas.Image() != painted, shown);
    }
    EXPECT_EQ(f.canvas.Mode, Canvas::DrawMode::Normal);
}

TEST(ViewPaintScreen, AbsurdSettingsNeitherHangNorCrash) {
    Fixture f(clsView::Top);
    f.scene.ShowRulers = true;
    f.AddLine(-1e300, -1e300, 0, 1e300, 1e300, 0);
    f.AddLine(0, 0, 0, 1e308, 0, 0)->Selected = true;
    std::tie(f.scene.MinorGrid, f.scene.MajorGrid) = std::pair(1e-12, 1e-300); // far too fine for the volume
    f.Paint(true);
    f.scene.ViewVolumeMax.SetPoint(1e308, 1e308, 1e308), f.scene.ViewVolumeMin.SetPoint(-1e308, -1e308, -1e308);
    f.scene.MinorGrid = 1;
    for (std::int32_t type = 0; type <= 7; ++type) {
        f.view.Active = type % 2;
        f.view.SetViewType(type);
        f.Paint(true);
        f.view.DrawViewPoint(f.canvas, true);
    }
    f.scene.ViewVolumeMax = f.scene.ViewVolumeMin = clsPoint3D(0, 0, 0); // a volume of no extent
    f.view.SetViewType(clsView::Right);
    f.Paint(true);
    f.canvas.Resize(0, 0); // a canvas without pixels and a view without a canvas paint nothing
    f.Paint(true);
    clsView().OnPaint(f.Root(), false, true);
}

TEST(ViewPaintFastPaths, PerspectivePaintingProjectsExactlyAsTheView) {
    // Painting skips clipping segments wholly in view, yet must draw ConvertLine's ends to the last bit: ends on
    // and a hair beside the window's edges and clipping planes, behind, from and through the eye, two cameras.
    Fixture f(clsView::Perspective, true);
    clsPerspective& camera = f.Camera();
    camera.ShowVanishLines = false;
    f.AddLine(20, 20, 10, 0, 0, 0);
    f.AddLine(0, 0, 0, 40, 40, 20);
    auto check = [&](const char* what) {
        SCOPED_TRACE(what);
        clsPoint3D U, V, W;
        camera.GetBaseVectors(U, V, W);
        const double d = camera.Distance, front = d - camera.FrontClipping, back = d - camera.BackClipping;
        const auto at = [&](double u, double v, double z) { // (u, v) seen at depth z
            const clsPoint3D& e = camera.EyePoint;
            return clsPoint3D(e.x + z / d * (u * U.x + v * V.x) - z * W.x, e.y + z / d * (u * U.y + v * V.y) - z * W.y,
                              e.z + z / d * (u * U.z + v * V.z) - z * W.z);
        };
        for (const double h : {-1e-12, 0.0, 1e-12, 1e-15}) {
            const double l = camera.UMin * (1 + h), r = camera.UMax * (1 + h), b = camera.VMin * (1 + h);
            const double t = camera.VMax * (1 + h);
            const std::pair<clsPoint3D, clsPoint3D> ends[] = {
                {at(r, 0, 5), at(0, 0, 9)},          {at(l, t, 5), at(0, b, 9)},      {at(0, b, 5), at(r, t, 9)},
                {at(0, 0, front * (1 + h)), at(l, 0, 9)}, {at(0, t, back * (1 + h)), at(0, 0, 9)},
                {at(0, 0, -3), at(r, 0, 9)},         {at(5 * r, 0, 5), at(5 * l, b, 5)}};
            for (const auto& [p, q] : ends) f.AddLine(p.x, p.y, p.z, q.x, q.y, q.z);
        }
        const Recorded rec = f.Export(false, Rect(-1, -1, 1, 1)); // maps every coordinate onto itself
        std::vector<Coords> shown, drawn;
        for (clsNode* n = f.Root()->FirstChild(); n; n = n->NextSibling()) {
            double u1, v1, u2, v2;
            if (f.view.ConvertLine(*n->GetLine()->Segment, u1, v1, u2, v2)) shown.push_back({u1, v1, u2, v2});
        }
        for (const auto& line : rec.Lines()) drawn.push_back(line->Coords());
        EXPECT_EQ(drawn, shown);
        EXPECT_TRUE(shown.size() > 20 && shown.size() < std::size_t(f.Root()->GetChildCount())) << shown.size();
    };
    check("default camera");
    camera.EyePoint.SetPoint(-3, 7, 2), camera.Normal.SetPoint(0.3, -1, 0.2), camera.ViewUp.SetPoint(0.2, 0.1, 1);
    std::tie(camera.FrontClipping, camera.ClipBack, camera.BackClipping) = std::tuple(0.3, true, -20);
    std::tie(camera.UMin, camera.UMax) = std::pair(-0.6, 0.3);
    check("rolled camera, clipped at the back");
}

TEST(ViewPaintFastPaths, NearestRoundsHalvesToEvenAndPinsAtTheLimit) {
    constexpr double L = DeviceCoordinateLimit;
    for (double v : {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 0.49999999999999994, -0.49999999999999994, 2.5000000000000004,
                     1e-300, -0.0, 1234567.5, -1234566.5, 1234567.49, -3.7, L - 0.5, -L + 0.5, L + 0.5,
                     2147483646.4999998, 4503599627370495.5})
        EXPECT_EQ(Nearest(v), static_cast<int>(std::max(-L, std::min(L, RoundHalfEven(v))))) << v;
    EXPECT_EQ(std::vector({Nearest(std::nan("")), Nearest(1e300), Nearest(-1e300)}),
              std::vector({-DeviceCoordinateLimit, DeviceCoordinateLimit, -DeviceCoordinateLimit}));
}
