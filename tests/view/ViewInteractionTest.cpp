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
};

constexpr std::int16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr std::int16_t kShift = 1, kCtrl = 2, kAlt = 4;

void ExpectPoint(const clsPoint3D& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

} // namespace

TEST_F(ViewFixture, EyePointAndMarkerAreHitWithinTwoPixelsWithThePickAndNodeTools) {
    double ex = 0, ey = 0, tx = 0, ty = 0;
    ASSERT_TRUE(view.ConvertPointToScreen(scene.GetPerspective().EyePoint, ex, ey));
    ASSERT_TRUE(view.ConvertPointToScreen(view.GetEyePointVector(scene), tx, ty));
    ASSERT_GT(std::hypot(tx - ex, ty - ey), 6); // the two targets are apart

    EXPECT_EQ(view.HitTestView(ex + 2, ey - 2, nullptr, false), 1);
    EXPECT_EQ(view.HitTestView(ex - 3, ey, nullptr, false), 0);
    EXPECT_EQ(view.HitTestView(tx, ty + 2, nullptr, false), 2);
    App().CurrentTool = ToolNodeEdit;
    EXPECT_EQ(view.HitTestView(ex, ey, nullptr, false), 1);
    for (std::int32_t tool : {ToolZoom, ToolLine, ToolRectangle, ToolEllipse, ToolBezier, ToolBox}) {
        App().CurrentTool = tool;
        EXPECT_EQ(view.HitTestView(ex, ey, nullptr, false), 0) << tool;
    }
}

TEST_F(ViewFixture, VerticesOfSelectedObjectsAreHitOnlyWithTheNodeTool) {
    double x = 0, y = 0;
    view.ConvertPointToScreen(End(), x, y);
    std::vector<clsVertexHit> hits;
    App().CurrentTool = ToolNodeEdit;
    EXPECT_EQ(view.HitTestView(x + 1, y, &hits, false), 0); // not selected yet
    Select();
    EXPECT_EQ(view.HitTestView(x + 1, y, &hits, false), 3);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].VertexIndex, 1); // the end point
    EXPECT_TRUE(hits[0].ShowPreview);
    App().CurrentTool = ToolPick;
    EXPECT_EQ(view.HitTestView(x + 1, y, nullptr, false), 0);
}

TEST_F(ViewFixture, TheViewNameLabelStartsAtThreePixels) {
    EXPECT_TRUE(view.HitTestViewName(4, 4));
    EXPECT_TRUE(view.HitTestViewName(3, 3));
    EXPECT_FALSE(view.HitTestViewName(2, 4));
    EXPECT_FALSE(view.HitTestViewName(200, 4));
    // "Perspective" is a longer label than "Top".
    EXPECT_FALSE(view.HitTestViewName(40, 6));
    view.SetViewType(clsView::Perspective);
    EXPECT_TRUE(view.HitTestViewName(40, 6));
}

TEST_F(ViewFixture, MarqueeAndVertexLineShowBlueAndEraseThemselves) {
    const QImage before = canvas.Image().copy();
    view.DrawMarquee(20, 30, 120, 90);
    // XOR of white with RGB(255, 255, 0) shows blue: dots on each of the four edges and
    // nothing else.
    const QImage& image = canvas.Image();
    int top = 0, bottom = 0, left = 0, right = 0, other = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == QColor(Qt::white)) continue;
            ASSERT_EQ(c, QColor(0, 0, 255)) << x << "," << y;
            if (y == 30 && x >= 20 && x <= 120) ++top;
            else if (y == 90 && x >= 20 && x <= 120) ++bottom;
            else if (x == 20 && y > 30 && y < 90) ++left;
            else if (x == 120 && y > 30 && y < 90) ++right;
            else ++other;
        }
    EXPECT_GT(top, 20);
    EXPECT_LT(top, 80); // dotted, not solid
    EXPECT_GT(bottom, 20);
    EXPECT_GT(left, 10);
    EXPECT_GT(right, 10);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(canvas.Mode, Canvas::DrawMode::Normal);
    EXPECT_EQ(canvas.Style, Canvas::DrawStyle::Solid);
    view.DrawMarquee(20, 30, 120, 90);
    EXPECT_EQ(canvas.Image(), before);

    clsLine3D segment(clsPoint3D(-10, 0, 0), clsPoint3D(10, 0, 0));
    view.DrawVertexLine(segment);
    double x = 0, y = 0;
    view.ConvertPointToScreen(clsPoint3D(0, 0, 0), x, y);
    EXPECT_EQ(canvas.Image().pixelColor(static_cast<int>(x), static_cast<int>(y)), QColor(0, 0, 255));
    view.DrawVertexLine(segment);
    EXPECT_EQ(canvas.Image(), before);
}

TEST(XorOutline, OverlappingPiecesOnOneLineAreDrawnOnce) {
    XorOutline outline;
    outline.Add(clsLine2D(0, 0, 10, 0), 0);
    outline.Add(clsLine2D(5, 20, 5, 20), 1);  // degenerate: dropped
    outline.Add(clsLine2D(30, 5, 40, 5), 2);  // elsewhere: kept
    outline.Add(clsLine2D(5, 0, 20, 0), 3);   // overlaps the first: absorbed by it
    outline.Simplify();
    ASSERT_EQ(outline.Pieces().size(), 2u);
    EXPECT_EQ(outline.Pieces()[0].Tag, 0u);
    EXPECT_DOUBLE_EQ(outline.Pieces()[0].Segment.StartPoint.x, 0);
    EXPECT_DOUBLE_EQ(outline.Pieces()[0].Segment.EndPoint.x, 20);
    EXPECT_EQ(outline.Pieces()[1].Tag, 2u);
}

TEST(XorOutline, TheGridGivesWhatComparingEveryPairGives) {
    // Many short pieces on a few lines, with a few long ones, near-collinear ones and
    // coordinates far off the canvas, simplified both ways.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> pos(-50, 450), len(-30, 30), jitter(-1.2, 1.2);
    std::vector<clsLine2D> segments;
    for (int i = 0; i < 1500; ++i) {
        const int kind = i % 5;
        const double a = pos(rng), b = a + len(rng), c = std::round(pos(rng) / 100) * 100;
        if (kind == 0) segments.emplace_back(a, c + jitter(rng), b, c + jitter(rng)); // horizontal lines
        else if (kind == 1) segments.emplace_back(c, a, c, b);                        // vertical lines
        else if (kind == 2) segments.emplace_back(a, a, b, b);                        // the diagonal
        else if (kind == 3) segments.emplace_back(a, c, a, c);                        // degenerate
        else segments.emplace_back(pos(rng) * 1e5, pos(rng), pos(rng), pos(rng) * 1e5);
    }
    XorOutline outline;
    for (std::size_t i = 0; i < segments.size(); ++i) outline.Add(segments[i], i);
    outline.Simplify();

    std::vector<clsLine2D> expected = segments;
    std::vector<bool> gone(expected.size(), false);
    for (std::size_t i = expected.size(); i-- > 0;) {
        if (expected[i].IsDegenerate()) {
            gone[i] = true;
            continue;
        }
        for (std::size_t j = 0; j < i; ++j)
            if (expected[j].Combine(expected[i])) {
                gone[i] = true;
                break;
            }
    }
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (!gone[i]) kept.push_back(i);
    ASSERT_EQ(outline.Pieces().size(), kept.size());
    EXPECT_LT(kept.size(), segments.size() * 3 / 4); // the case is not trivial
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const XorOutline::Piece& p = outline.Pieces()[k];
        ASSERT_EQ(p.Tag, kept[k]);
        EXPECT_EQ(p.Segment.StartPoint.x, expected[kept[k]].StartPoint.x);
        EXPECT_EQ(p.Segment.StartPoint.y, expected[kept[k]].StartPoint.y);
        EXPECT_EQ(p.Segment.EndPoint.x, expected[kept[k]].EndPoint.x);
        EXPECT_EQ(p.Segment.EndPoint.y, expected[kept[k]].EndPoint.y);
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
    Key(kRight);
    gNow += 1;
    Key(kRight);
    gNow += 1;
    Key(kUp);
    EXPECT_EQ(Steps(), 1u) << scene.TreeManager.GetUndoString();
    ExpectPoint(Start(), 2, 2.5, 3);
    gNow += 4;
    Key(kRight);
    EXPECT_EQ(Steps(), 2u);
    gNow += 1;
    Key(kUp, kShift); // a rotation separates the nudges
    gNow += 1;
    Key(kRight);
    EXPECT_EQ(Steps(), 4u);
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
    const clsPoint3D start = Start();
    const clsPoint3D eye = scene.GetPerspective().EyePoint;
    EXPECT_FALSE(Key(kRight, kAlt));
    EXPECT_FALSE(Key(kUp, kAlt | kShift));
    EXPECT_FALSE(Key(kLeft, kCtrl));        // Ctrl+Left/Right has no depth meaning
    EXPECT_FALSE(Key(kDown, kShift | kCtrl)); // Ctrl+Shift turns only with Left/Right
    scene.TreeManager.ClearSelection();
    EXPECT_FALSE(Key(kLeft, kShift | kCtrl)); // no Ctrl eye turn
    view.SetViewType(clsView::Perspective);
    EXPECT_FALSE(Key(kRight, kCtrl));
    EXPECT_FALSE(Key(kUp, kShift | kCtrl));
    EXPECT_FALSE(Key(kUp, kAlt));
    EXPECT_EQ(beeps, 8);
    EXPECT_EQ(Steps(), 0u);
    ExpectPoint(Start(), start.x, start.y, start.z);
    ExpectPoint(scene.GetPerspective().EyePoint, eye.x, eye.y, eye.z);
    // Keys other than the arrows are not this command's: no beep either.
    EXPECT_FALSE(Key(65));
    EXPECT_EQ(beeps, 8);
}

TEST_F(ViewFixture, ShiftArrowsTurnTheSelectionAboutItsCentre) {
    // A line along y, centred on (0, 0, 0): Up in the Top view turns it about the x axis,
    // Left/Right about the viewing direction (z), Ctrl+Left/Right about the view's vertical
    // axis (y), which leaves a line along y where it is.
    line->SetLinePoints(0, -5, 0, 0, 5, 0);
    Select();
    const double s = 5 * std::sin(10 * M_PI / 180), c = 5 * std::cos(10 * M_PI / 180);
    EXPECT_TRUE(Key(kUp, kShift));
    EXPECT_NEAR(End().x, 0, 1e-9);
    EXPECT_NEAR(End().y, c, 1e-9);
    EXPECT_NEAR(std::fabs(End().z), s, 1e-9);
    EXPECT_NEAR(Start().z, -End().z, 1e-9);
    const double upZ = End().z;
    EXPECT_TRUE(Key(kDown, kShift)); // Down turns back
    ExpectPoint(End(), 0, 5, 0);

    EXPECT_TRUE(Key(kRight, kShift));
    EXPECT_NEAR(std::fabs(End().x), s, 1e-9);
    EXPECT_NEAR(End().y, c, 1e-9);
    EXPECT_NEAR(End().z, 0, 1e-9);
    Key(kLeft, kShift);
    ExpectPoint(End(), 0, 5, 0);

    EXPECT_TRUE(Key(kRight, kShift | kCtrl));
    ExpectPoint(End(), 0, 5, 0);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Rotate");
    EXPECT_EQ(Steps(), 1u); // all within three seconds

    // In the Front view, Up turns about x as well (its horizontal axis): the opposite way
    // round on screen, since that view looks along y from the other side.
    view.SetViewType(clsView::Front);
    line->SetLinePoints(0, 0, -5, 0, 0, 5);
    Key(kUp, kShift);
    EXPECT_NEAR(End().x, 0, 1e-9);
    EXPECT_NEAR(std::fabs(End().y), s, 1e-9);
    (void)upZ;
}

TEST_F(ViewFixture, WithoutASelectionTheArrowsMoveAndTurnTheEye) {
    clsPerspective& camera = scene.GetPerspective();
    const clsPoint3D eye = camera.EyePoint;
    view.SetViewType(clsView::Right);
    EXPECT_TRUE(Key(kRight));
    ExpectPoint(camera.EyePoint, eye.x, eye.y - 0.5, eye.z);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Nudge Eye Point");
    ExpectPoint(Start(), 1, 2, 3); // the objects stay

    gNow += 5;
    const clsPoint3D normal = camera.Normal;
    EXPECT_TRUE(Key(kUp, kShift));
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Rotate Eye Point");
    EXPECT_GT(std::fabs(camera.Normal.z - normal.z), 1e-6);
    ExpectPoint(camera.EyePoint, eye.x, eye.y - 0.5, eye.z);
    scene.TreeManager.Undo();
    ExpectPoint(camera.Normal, normal.x, normal.y, normal.z);
    scene.TreeManager.Undo();
    ExpectPoint(camera.EyePoint, eye.x, eye.y, eye.z);
}

TEST_F(ViewFixture, PerspectiveArrowsMoveTheCameraUnderTheirNames) {
    view.SetViewType(clsView::Perspective);
    Select(); // a selection does not matter in the perspective view
    clsPerspective& camera = scene.GetPerspective();
    const clsPoint3D eye = camera.EyePoint;
    struct Case {
        std::int16_t key, shift;
        const char* name;
    };
    const Case cases[] = {{kLeft, 0, "Pan View"},
                          {kUp, kCtrl, "Advance View"},
                          {kRight, kShift, "Rotate View"},
                          {kLeft, kShift | kCtrl, "Tilt View"}};
    for (const Case& c : cases) {
        gNow += 5;
        EXPECT_TRUE(Key(c.key, c.shift)) << c.name;
        EXPECT_EQ(scene.TreeManager.GetUndoString(), c.name);
    }
    EXPECT_EQ(Steps(), 4u);
    ExpectPoint(Start(), 1, 2, 3);
    for (int i = 0; i < 4; ++i) scene.TreeManager.Undo();
    ExpectPoint(camera.EyePoint, eye.x, eye.y, eye.z);
}

TEST_F(ViewFixture, DraggedObjectsShowTheirOverlapInXorAndEraseThemselves) {
    // Two selected lines on y = 2 that share the piece from x = 3 to x = 6, and a hidden one
    // across them: the XOR outline shows the whole run in red without a gap, the hidden line
    // not at all, and a second drawing removes everything.
    clsNode* second = scene.TreeManager.AddNode(scene.TreeManager.CreateLineNode(3, 2, 0, 10, 2, 0, ""));
    clsNode* hidden = scene.TreeManager.AddNode(scene.TreeManager.CreateLineNode(4, -5, 0, 4, 8, 0, ""));
    clsNode* corner = scene.TreeManager.AddNode(scene.TreeManager.CreateLineNode(10, 2, 0, 10, 8, 0, ""));
    hidden->SetVisible(false);
    Select();
    scene.TreeManager.SelectNodeByKey(second->Key, true);
    scene.TreeManager.SelectNodeByKey(hidden->Key, true);
    scene.TreeManager.SelectNodeByKey(corner->Key, true);
    clsNode* selection = scene.TreeManager.GetSelection();
    ASSERT_TRUE(selection && selection->IsSelection());

    const QImage before = canvas.Image().copy();
    view.OnPaint(selection, true, false);
    EXPECT_EQ(canvas.Mode, Canvas::DrawMode::Normal);
    double x1 = 0, y = 0, x2 = 0, yHidden = 0, xHidden = 0;
    view.ConvertPointToScreen(clsPoint3D(1.2, 2, 0), x1, y);
    view.ConvertPointToScreen(clsPoint3D(9.8, 2, 0), x2, y);
    view.ConvertPointToScreen(clsPoint3D(4, 6, 0), xHidden, yHidden);
    const QImage& image = canvas.Image();
    for (int x = static_cast<int>(x1); x <= static_cast<int>(x2); ++x)
        ASSERT_EQ(image.pixelColor(x, static_cast<int>(y)), QColor(255, 0, 0)) << x;
    EXPECT_EQ(image.pixelColor(static_cast<int>(xHidden), static_cast<int>(yHidden)), QColor(Qt::white));
    view.ConvertPointToScreen(clsPoint3D(10, 2, 0), x2, y); // the corner that two lines share
    EXPECT_EQ(image.pixelColor(static_cast<int>(x2), static_cast<int>(y)), QColor(255, 0, 0));
    view.OnPaint(selection, true, false);
    EXPECT_EQ(canvas.Image(), before);
}
