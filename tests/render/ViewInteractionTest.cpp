// What a view answers under the cursor, its XOR rubber bands and the arrow keys, on a real
// scene and canvas.

#include <random>

#include "ViewScene.h"
#include "platform/Desktop.h"
#include "render/XorOutline.h"
#include "paint/clsVertexHit.h"

using namespace ov;

namespace {

double gNow = 0;
double FakeClock() { return gNow; }

// One line of its own, from (1, 2, 3) to (6, 2, 3), in the top view, with the test's clock and beep.
struct ViewFixture : ::testing::Test, test::ViewScene {
    clsNode* line = AddLine(1, 2, 3, 6, 2, 3);
    std::string lineKey = line->Key;
    int beeps = 0;

    void SetUp() override {
        gNow = 1000;
        SetClock(&FakeClock);
        SetBeep([this] { ++beeps; });
        App().CurrentTool = ToolPick;
        ClearUndo();
        std::tie(scene.NudgeOffset, scene.AngleStep) = std::pair(0.5, 10.0);
    }
    void TearDown() override {
        SetClock(nullptr), SetBeep({});
        App().CurrentTool = ToolPick;
    }
    void ClearUndo() { scene.TreeManager.UndoList.clear(), scene.TreeManager.UndoIndex = 0; }
    void Select() { scene.TreeManager.SelectNodeByKey(lineKey, false); }
    // The line's two ends, and the eye point, normal and up direction of the camera. Undo swaps whole trees:
    // the line is found again by its key.
    using State = std::pair<std::vector<double>, std::vector<double>>;
    State Now() {
        line = Root()->FindNode(lineKey);
        const clsPoint3D &a = line->GetLine()->Segment->StartPoint, &b = line->GetLine()->Segment->EndPoint;
        std::vector<double> camera;
        for (const clsPoint3D* p : {&Camera().EyePoint, &Camera().Normal, &Camera().ViewUp})
            camera.insert(camera.end(), {p->x, p->y, p->z});
        return {{a.x, a.y, a.z, b.x, b.y, b.z}, camera};
    }
    bool Key(std::int16_t key, std::int16_t shift = 0) {
        bool handled = true;
        view.OnArrowKey(key, shift, handled);
        return handled;
    }
    std::size_t Steps() const { return scene.TreeManager.UndoList.size(); }
};

constexpr std::int16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr std::int16_t kShift = 1, kCtrl = 2, kAlt = 4;

} // namespace

TEST_F(ViewFixture, EyePointMarkerVerticesAndViewNameAreHitWithinTheirReach) {
    const auto [ex, ey] = Screen(Camera().EyePoint);
    const auto [tx, ty] = Screen(view.GetEyePointVector(scene));
    const auto [x, y] = Screen(line->GetLine()->Segment->EndPoint);
    ASSERT_GT(std::hypot(tx - ex, ty - ey), 6); // the two targets are apart
    std::vector<clsVertexHit> hits;
    const std::tuple<std::int32_t, double, double, bool, std::int32_t> cases[] = { // tool, x, y, selected, hit
        {ToolPick, ex + 2, ey - 2, false, 1}, {ToolPick, ex - 3, ey, false, 0}, {ToolPick, tx, ty + 2, false, 2},
        {ToolNodeEdit, ex, ey, false, 1},     {ToolZoom, ex, ey, false, 0},     {ToolBox, ex, ey, false, 0},
        {ToolNodeEdit, x + 1, y, false, 0},   {ToolPick, x + 1, y, true, 0},    {ToolNodeEdit, x + 1, y, true, 3}};
    for (const auto& [tool, px, py, selected, hit] : cases) {
        App().CurrentTool = tool;
        if (selected) Select();
        hits.clear();
        EXPECT_EQ(view.HitTestView(px, py, &hits, false), hit) << tool << " at " << px << "," << py;
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
    const auto coords = [](std::size_t tag, const clsLine2D& l) {
        return std::vector{double(tag), l.StartPoint.x, l.StartPoint.y, l.EndPoint.x, l.EndPoint.y};
    };
    std::vector<std::vector<double>> got, expected; // a segment is final once later ones are combined into it
    for (std::size_t i = segments.size(); i-- > 0;) {
        bool gone = segments[i].IsDegenerate();
        for (std::size_t j = 0; j < i && !gone; ++j) gone = segments[j].Combine(segments[i]);
        if (!gone) expected.insert(expected.begin(), coords(i, segments[i]));
    }
    for (const XorOutline::Piece& piece : outline.Pieces()) got.push_back(coords(piece.Tag, piece.Segment));
    EXPECT_EQ(got, expected);
    EXPECT_LT(expected.size(), segments.size() * 3 / 4); // the case is not trivial
}

TEST_F(ViewFixture, ArrowKeysNudgeOrTurnTheSelectionOrTheEyeMoveTheCameraOrBeepAndUndoAsOneStep) {
    line->SetLinePoints(0, -5, 0, 0, 5, 0); // centred on the origin, along y
    const double n = 0.5, s = 10 * std::sin(M_PI / 18), c = 10 * std::cos(M_PI / 18);
    const char* const N = "Nudge";
    constexpr std::int32_t T = clsView::Top, Bo = clsView::Bottom, R = clsView::Right, L = clsView::Left,
                           F = clsView::Front, B = clsView::Back, P = clsView::Perspective;
    // Right moves right on screen, also in mirrored views; Ctrl moves in depth. Shift turns about the centre:
    // Up/Down about the view's horizontal axis, Left/Right about the viewing direction, with Ctrl about the
    // vertical axis. Without a selection the eye moves and turns; in perspective the camera, a selection or not.
    // Alt does nothing, nor do Ctrl+Left/Right, Ctrl+Shift+Up/Down and turning the eye with Ctrl.
    const struct {
        std::int32_t view;
        int selected;
        std::int16_t key, shift;
        const char* undo;             // none: a beep, and nothing changes
        double move[3];               // of the line's centre, or of the eye (0: the camera only changes)
        double along[3] = {0, 10, 0}; // the line from start to end after the key, x and z up to sign
    } rows[] = {
        {T, 1, kRight, 0, N, {n, 0, 0}},   {T, 1, kUp, 0, N, {0, n, 0}},     {T, 1, kUp, kCtrl, N, {0, 0, n}},
        {Bo, 1, kRight, 0, N, {-n, 0, 0}}, {R, 1, kRight, 0, N, {0, -n, 0}}, {R, 1, kDown, 0, N, {0, 0, -n}},
        {L, 1, kRight, 0, N, {0, n, 0}},   {L, 1, kDown, kCtrl, N, {-n, 0, 0}}, {F, 1, kLeft, 0, N, {n, 0, 0}},
        {F, 1, kUp, kCtrl, N, {0, n, 0}},  {B, 1, kRight, 0, N, {n, 0, 0}},  {B, 1, kUp, 0, N, {0, 0, n}},
        {T, 1, kUp, kShift, "Rotate", {}, {0, c, s}}, {T, 1, kDown, kShift, "Rotate", {}},
        {T, 1, kRight, kShift, "Rotate", {}, {s, c, 0}}, {T, 1, kLeft, kShift, "Rotate", {}},
        {T, 1, kRight, kShift | kCtrl, "Rotate", {}}, {R, 0, kRight, 0, "Nudge Eye Point", {0, -n, 0}},
        {R, 0, kUp, kShift, "Rotate Eye Point", {}}, {P, 1, kLeft, 0, "Pan View", {}},
        {P, 1, kUp, kCtrl, "Advance View", {}}, {P, 0, kRight, kShift, "Rotate View", {}},
        {P, 1, kLeft, kShift | kCtrl, "Tilt View", {}},
        {T, 1, kRight, kAlt, {}, {}}, {T, 1, kLeft, kCtrl, {}, {}}, {T, 1, kDown, kShift | kCtrl, {}, {}},
        {T, 0, kLeft, kShift | kCtrl, {}, {}}, {P, 1, kUp, kShift | kCtrl, {}, {}}}; // the rest: CameraTest
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.view << " " << r.selected << " " << r.key << "+" << r.shift);
        view.SetViewType(r.view);
        r.selected ? Select() : void(scene.TreeManager.ClearSelection());
        ClearUndo();
        const State before = Now();
        const int beeped = beeps;
        EXPECT_EQ(Key(r.key, r.shift), r.undo != nullptr);
        const State after = Now();
        const auto& [l, k] = after;
        EXPECT_EQ(std::tuple(beeps, Steps(), scene.TreeManager.GetUndoString()),
                  std::tuple(beeped + !r.undo, std::size_t(!!r.undo), std::string(r.undo ? r.undo : "")));
        // The selection moves or turns, else the camera; the other stays, and with a beep both do.
        const bool camera = !r.selected || r.view == P, exact = r.move[0] || r.move[1] || r.move[2];
        EXPECT_TRUE((r.undo && !camera) || l == before.first);
        EXPECT_TRUE((r.undo && camera) || k == before.second);
        if (!r.undo) continue;
        for (int i = 0; i < 3; ++i) {
            if (!camera) {
                EXPECT_NEAR(l[i] + l[i + 3], before.first[i] + before.first[i + 3] + 2 * r.move[i], 1e-9) << i;
                EXPECT_NEAR(i == 1 ? l[4] - l[1] : std::fabs(l[i + 3] - l[i]), r.along[i], 1e-9) << i;
            } else if (exact) {
                EXPECT_NEAR(k[i], before.second[i] + r.move[i], 1e-9) << i;
            }
        }
        EXPECT_TRUE(!camera || exact || k != before.second);
        scene.TreeManager.Undo();
        EXPECT_EQ(Now(), before);
        scene.TreeManager.Redo();
        EXPECT_EQ(Now(), after);
    }
    EXPECT_FALSE(Key(65)); // not an arrow: not this command's, no beep either
    EXPECT_EQ(beeps, 5);
    ClearUndo(); // quick repeats of a key are one step each: nudges, turns and moves of the camera
    Select();
    for (const auto& [type, key, shift] :
         {std::tuple{T, kRight, 0}, {T, kRight, 0}, {T, kUp, 1}, {T, kUp, 1}, {P, kLeft, 0}, {P, kLeft, 0}}) {
        view.SetViewType(type);
        gNow += 1;
        EXPECT_TRUE(Key(key, static_cast<std::int16_t>(shift)));
    }
    EXPECT_EQ(Steps(), 3u);
}

TEST_F(ViewFixture, DraggedObjectsMarqueeAndVertexLineShowInXorAndEraseThemselves) {
    // Two selected lines on y = 2 sharing the piece from x = 3 to 6, a third meeting the second at its corner
    // and a hidden one across: the XOR outline shows the whole run in red, the shared corner too, the hidden line
    // not at all, and a second drawing removes everything.
    Select();
    for (const auto& [x1, y1, x2, y2] : {std::tuple{3, 2, 10, 2}, {10, 2, 10, 8}, {4, -5, 4, 8}}) {
        clsNode* n = AddLine(x1, y1, 0, x2, y2, 0);
        n->SetVisible(x1 != 4);
        scene.TreeManager.SelectNodeByKey(n->Key, true);
    }
    clsNode* selection = scene.TreeManager.GetSelection();
    ASSERT_TRUE(selection && selection->IsSelection());
    const QImage before = canvas.Image().copy();
    view.OnPaint(selection, true, false);
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
    for (const bool shown : {true, false}) { // the vertex line in blue, and a single node rather than a selection
        view.DrawVertexLine(clsLine3D({-10, 0, 0}, {10, 0, 0}));
        view.OnPaint(line, true, false);
        EXPECT_EQ(std::pair(canvas.Image() != before, canvas.Image().pixelColor(200, 150) == QColor(0, 0, 255)),
                  std::pair(shown, shown));
    }
}
