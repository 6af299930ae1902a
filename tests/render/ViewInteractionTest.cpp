// What a view answers under the cursor, its XOR rubber bands and the arrow keys, on a real
// scene and canvas.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/Desktop.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"
#include "shapes/clsLine.h"
#include "paint/Canvas.h"
#include "render/XorOutline.h"
#include "paint/clsVertexHit.h"
#include "paint/clsView.h"

using namespace ov;

namespace {

double gNow = 0;
double FakeClock() { return gNow; }

// A scene with one line of its own on an empty tree, shown in a 400 x 300 canvas.
struct ViewFixture : ::testing::Test {
    clsScene scene;
    Canvas canvas{400, 300};
    clsView view;
    clsNode* line = nullptr;
    int beeps = 0;

    void SetUp() override {
        gNow = 1000;
        SetClock(&FakeClock);
        SetBeep([this] { ++beeps; });
        App().CurrentTool = ToolPick;
        clsNode& root = *scene.TreeManager.Root;
        while (clsNode* c = root.FirstChild()) c->Delete();
        line = scene.TreeManager.AddNode(scene.TreeManager.CreateLineNode(1, 2, 3, 6, 2, 3, ""));
        scene.TreeManager.UndoList.clear();
        scene.TreeManager.UndoIndex = 0;
        scene.NudgeOffset = 0.5;
        scene.AngleStep = 10;
        view.SetView(clsView::Top, &canvas, &scene);
    }
    void TearDown() override {
        SetClock(nullptr);
        SetBeep({});
        App().CurrentTool = ToolPick;
    }

    void Select() { scene.TreeManager.SelectNodeByKey(line->Key, false); }
    const clsPoint3D& Start() const { return line->GetLine()->Segment->StartPoint; }
    const clsPoint3D& End() const { return line->GetLine()->Segment->EndPoint; }
    bool Key(std::int16_t key, std::int16_t shift = 0) {
        bool handled = true;
        view.OnArrowKey(key, shift, handled);
        return handled;
    }
    std::size_t Steps() const { return scene.TreeManager.UndoList.size(); }
    std::pair<double, double> Screen(const clsPoint3D& p) const {
        double x = 0, y = 0;
        view.ConvertPointToScreen(p, x, y);
        return {x, y};
    }
};

constexpr std::int16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr std::int16_t kShift = 1, kCtrl = 2, kAlt = 4;

void ExpectPoint(const clsPoint3D& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

} // namespace

TEST_F(ViewFixture, EyePointMarkerVerticesAndViewNameAreHitWithinTheirReach) {
    const clsPoint3D marker = view.GetEyePointVector(scene);
    const auto [ex, ey] = Screen(scene.GetPerspective().EyePoint);
    const auto [tx, ty] = Screen(marker);
    const auto [x, y] = Screen(End());
    ASSERT_GT(std::hypot(tx - ex, ty - ey), 6); // the two targets are apart
    std::vector<clsVertexHit> hits;
    const struct {
        std::int32_t tool;
        double x, y;
        bool selected;
        std::int32_t hit;
    } cases[] = {{ToolPick, ex + 2, ey - 2, false, 1}, {ToolPick, ex - 3, ey, false, 0},
                 {ToolPick, tx, ty + 2, false, 2},     {ToolNodeEdit, ex, ey, false, 1},
                 {ToolZoom, ex, ey, false, 0},         {ToolBox, ex, ey, false, 0},
                 {ToolNodeEdit, x + 1, y, false, 0},   {ToolPick, x + 1, y, true, 0},
                 {ToolNodeEdit, x + 1, y, true, 3}};
    for (const auto& c : cases) {
        App().CurrentTool = c.tool;
        if (c.selected) Select();
        hits.clear();
        EXPECT_EQ(view.HitTestView(c.x, c.y, &hits, false), c.hit) << c.tool << " at " << c.x << "," << c.y;
    }
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_TRUE(hits[0].VertexIndex == 1 && hits[0].ShowPreview); // the end point
    // The view name label starts at three pixels; "Perspective" is longer than "Top".
    for (const auto& [px, py, hit] : {std::tuple{3, 3, true}, {2, 4, false}, {200, 4, false}, {40, 6, false}})
        EXPECT_EQ(view.HitTestViewName(px, py), hit) << px << "," << py;
    view.SetViewType(clsView::Perspective);
    EXPECT_TRUE(view.HitTestViewName(40, 6));
}

TEST(XorOutline, TheGridGivesWhatComparingEveryPairGives) {
    // Short pieces on a few horizontal and vertical lines and the diagonal, degenerate ones and coordinates far
    // off the canvas, simplified both ways.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> pos(-50, 450), len(-30, 30), jitter(-1.2, 1.2);
    std::vector<clsLine2D> segments;
    XorOutline outline;
    for (std::size_t i = 0; i < 1500; ++i) {
        const double a = pos(rng), b = a + len(rng), c = std::round(pos(rng) / 100) * 100;
        const clsLine2D kinds[] = {{a, c + jitter(rng), b, c + jitter(rng)}, {c, a, c, b}, {a, a, b, b}, {a, c, a, c},
                                   {pos(rng) * 1e5, pos(rng), pos(rng), pos(rng) * 1e5}};
        outline.Add(segments.emplace_back(kinds[i % 5]), i);
    }
    outline.Simplify();
    std::vector<std::size_t> kept;
    for (std::size_t i = segments.size(); i-- > 0;) {
        bool gone = segments[i].IsDegenerate();
        for (std::size_t j = 0; j < i && !gone; ++j) gone = segments[j].Combine(segments[i]);
        if (!gone) kept.insert(kept.begin(), i);
    }
    ASSERT_EQ(outline.Pieces().size(), kept.size());
    EXPECT_LT(kept.size(), segments.size() * 3 / 4); // the case is not trivial
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const clsLine2D &got = outline.Pieces()[k].Segment, &e = segments[kept[k]];
        ASSERT_EQ(outline.Pieces()[k].Tag, kept[k]);
        EXPECT_EQ(std::vector({got.StartPoint.x, got.StartPoint.y, got.EndPoint.x, got.EndPoint.y}),
                  std::vector({e.StartPoint.x, e.StartPoint.y, e.EndPoint.x, e.EndPoint.y}));
    }
}

TEST_F(ViewFixture, ArrowKeysNudgeTheSelectionAlongTheScreenInEveryOrthographicView) {
    Select();
    struct Case {
        std::int32_t view;
        std::int16_t key, shift;
        double dx, dy, dz;
    };
    const double n = 0.5;
    const Case cases[] = {
        {clsView::Top, kRight, 0, n, 0, 0},     {clsView::Top, kUp, 0, 0, n, 0},
        {clsView::Top, kUp, kCtrl, 0, 0, n},    {clsView::Bottom, kRight, 0, -n, 0, 0},
        {clsView::Right, kRight, 0, 0, -n, 0},  {clsView::Right, kDown, 0, 0, 0, -n},
        {clsView::Left, kRight, 0, 0, n, 0},    {clsView::Left, kDown, kCtrl, -n, 0, 0},
        {clsView::Front, kLeft, 0, n, 0, 0},    {clsView::Front, kUp, kCtrl, 0, n, 0},
        {clsView::Back, kRight, 0, n, 0, 0},    {clsView::Back, kUp, 0, 0, 0, n},
    };
    for (const Case& c : cases) {
        view.SetViewType(c.view);
        const clsPoint3D before = Start();
        EXPECT_TRUE(Key(c.key, c.shift)) << c.view << " " << c.key;
        ExpectPoint(Start(), before.x + c.dx, before.y + c.dy, before.z + c.dz);
    }
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Nudge");
}

TEST_F(ViewFixture, NudgesWithinThreeSecondsAreOneStepAndUndoTogether) {
    Select();
    // Seconds after the previous key, key, shift, and the undo steps after it.
    const double script[][4] = {{0, kRight, 0, 1}, {1, kRight, 0, 1}, {1, kUp, 0, 1}, {4, kRight, 0, 2},
                                {1, kUp, kShift, 3} /* a rotation separates the nudges */, {1, kRight, 0, 4}};
    for (std::size_t i = 0; i < std::size(script); ++i) {
        gNow += script[i][0];
        Key(static_cast<std::int16_t>(script[i][1]), static_cast<std::int16_t>(script[i][2]));
        EXPECT_EQ(Steps(), script[i][3]) << i << " " << scene.TreeManager.GetUndoString();
        if (i == 2) ExpectPoint(Start(), 2, 2.5, 3);
    }
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Nudge");
    // Undo swaps whole trees: find the line again by its key.
    const std::string key = line->Key;
    for (int i = 0; i < 4; ++i) scene.TreeManager.Undo();
    line = scene.GetRootNode()->FindNode(key);
    ASSERT_NE(line, nullptr);
    ExpectPoint(Start(), 1, 2, 3);
    scene.TreeManager.Redo();
    line = scene.GetRootNode()->FindNode(key);
    ExpectPoint(Start(), 2, 2.5, 3);
}

TEST_F(ViewFixture, KeysThatDoNothingBeepAndRecordNothing) {
    Select();
    const clsPoint3D start = Start(), eye = scene.GetPerspective().EyePoint;
    // Alt is no modifier of the arrows; Ctrl+Left/Right has no depth meaning; Ctrl+Shift turns only with
    // Left/Right, and not the eye; in perspective Ctrl moves only forward and back.
    const std::tuple<std::int32_t, bool, std::int16_t, int> cases[] = {
        {clsView::Top, true, kRight, kAlt},        {clsView::Top, true, kUp, kAlt | kShift},
        {clsView::Top, true, kLeft, kCtrl},        {clsView::Top, true, kDown, kShift | kCtrl},
        {clsView::Top, false, kLeft, kShift | kCtrl}, {clsView::Perspective, false, kRight, kCtrl},
        {clsView::Perspective, false, kUp, kShift | kCtrl}, {clsView::Perspective, false, kUp, kAlt}};
    for (const auto& [type, selected, key, shift] : cases) {
        view.SetViewType(type);
        if (!selected) scene.TreeManager.ClearSelection();
        EXPECT_FALSE(Key(key, static_cast<std::int16_t>(shift))) << type << " " << key << " " << shift;
    }
    EXPECT_FALSE(Key(65)); // not an arrow: not this command's, no beep either
    EXPECT_EQ(std::pair(beeps, Steps()), std::pair(8, std::size_t(0)));
    ExpectPoint(Start(), start.x, start.y, start.z);
    ExpectPoint(scene.GetPerspective().EyePoint, eye.x, eye.y, eye.z);
}

TEST_F(ViewFixture, ShiftArrowsTurnTheSelectionAboutItsCentre) {
    // A line along y, centred on the origin: in the Top view Up turns it about x, Left/Right about the viewing
    // direction z, Ctrl+Left/Right about y, which leaves it where it is.
    line->SetLinePoints(0, -5, 0, 0, 5, 0);
    Select();
    const double s = 5 * std::sin(10 * M_PI / 180), c = 5 * std::cos(10 * M_PI / 180);
    const struct {
        std::int16_t key, shift;
        double x, y, z; // of the end point, up to sign
    } cases[] = {{kUp, kShift, 0, c, s},
                 {kDown, kShift, 0, 5, 0},
                 {kRight, kShift, s, c, 0},
                 {kLeft, kShift, 0, 5, 0},
                 {kRight, kShift | kCtrl, 0, 5, 0}};
    for (const auto& t : cases) {
        EXPECT_TRUE(Key(t.key, t.shift));
        ExpectPoint({std::fabs(End().x), End().y, std::fabs(End().z)}, t.x, t.y, t.z);
        ExpectPoint(Start(), -End().x, -End().y, -End().z);
    }
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Rotate");
    EXPECT_EQ(Steps(), 1u); // all within three seconds
}

TEST_F(ViewFixture, WithoutASelectionTheArrowsMoveAndTurnTheEyeAndInPerspectiveTheCamera) {
    clsPerspective& camera = scene.GetPerspective();
    const clsPoint3D eye = camera.EyePoint, normal = camera.Normal;
    view.SetViewType(clsView::Right);
    EXPECT_TRUE(Key(kRight));
    ExpectPoint(camera.EyePoint, eye.x, eye.y - 0.5, eye.z);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Nudge Eye Point");
    gNow += 5;
    EXPECT_TRUE(Key(kUp, kShift));
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Rotate Eye Point");
    EXPECT_GT(std::fabs(camera.Normal.z - normal.z), 1e-6);
    ExpectPoint(camera.EyePoint, eye.x, eye.y - 0.5, eye.z);
    scene.TreeManager.Undo();
    ExpectPoint(camera.Normal, normal.x, normal.y, normal.z);
    scene.TreeManager.Undo();
    // In perspective the arrows move the camera under their names, a selection or not.
    view.SetViewType(clsView::Perspective);
    Select();
    for (const auto& [key, shift, name] : {std::tuple{kLeft, 0, "Pan View"}, {kUp, kCtrl, "Advance View"},
                                           {kRight, kShift, "Rotate View"}, {kLeft, kShift | kCtrl, "Tilt View"}}) {
        gNow += 5;
        EXPECT_TRUE(Key(key, static_cast<std::int16_t>(shift))) << name;
        EXPECT_EQ(scene.TreeManager.GetUndoString(), name);
    }
    EXPECT_EQ(Steps(), 4u);
    ExpectPoint(Start(), 1, 2, 3); // the objects stay
}

TEST_F(ViewFixture, DraggedObjectsMarqueeAndVertexLineShowInXorAndEraseThemselves) {
    // Two selected lines on y = 2 sharing the piece from x = 3 to 6, a third meeting the second at its corner
    // and a hidden one across: the XOR outline shows the whole run in red, the shared corner too, the hidden line
    // not at all, and a second drawing removes everything.
    Select();
    for (const auto& [x1, y1, x2, y2] : {std::tuple{3, 2, 10, 2}, {10, 2, 10, 8}, {4, -5, 4, 8}}) {
        clsNode* n = scene.TreeManager.AddNode(scene.TreeManager.CreateLineNode(x1, y1, 0, x2, y2, 0, ""));
        n->SetVisible(x1 != 4);
        scene.TreeManager.SelectNodeByKey(n->Key, true);
    }
    clsNode* selection = scene.TreeManager.GetSelection();
    ASSERT_TRUE(selection && selection->IsSelection());
    const QImage before = canvas.Image().copy();
    view.OnPaint(selection, true, false);
    EXPECT_EQ(canvas.Mode, Canvas::DrawMode::Normal);
    const auto colour = [&](double x, double y) {
        const auto [px, py] = Screen(clsPoint3D(x, y, 0));
        return canvas.Image().pixelColor(static_cast<int>(px), static_cast<int>(py));
    };
    for (double x = 1.2; x <= 10; x += 0.1) ASSERT_EQ(colour(x, 2), QColor(255, 0, 0)) << x;
    EXPECT_EQ(colour(4, 6), QColor(Qt::white));
    view.OnPaint(selection, true, false);
    EXPECT_EQ(canvas.Image(), before);
    view.DrawMarquee(20, 30, 120, 90); // the rubber bands: blue dots, erased by a second drawing
    int dots = 0;
    for (int x = 20; x <= 120; ++x) dots += canvas.Image().pixelColor(x, 30) == QColor(0, 0, 255);
    EXPECT_TRUE(dots > 20 && dots < 80) << dots;
    EXPECT_TRUE(canvas.Mode == Canvas::DrawMode::Normal && canvas.Style == Canvas::DrawStyle::Solid);
    view.DrawMarquee(20, 30, 120, 90);
    view.DrawVertexLine(clsLine3D({-10, 0, 0}, {10, 0, 0}));
    EXPECT_EQ(canvas.Image().pixelColor(200, 150), QColor(0, 0, 255));
    view.DrawVertexLine(clsLine3D({-10, 0, 0}, {10, 0, 0}));
    EXPECT_EQ(canvas.Image(), before);
    view.OnPaint(line, true, false); // a single node rather than a selection
    EXPECT_NE(canvas.Image(), before);
    view.OnPaint(line, true, false);
    EXPECT_EQ(canvas.Image(), before);
}
