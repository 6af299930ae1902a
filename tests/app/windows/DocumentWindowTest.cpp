// The document window on real widgets: mouse tools and keys driven with QTest events in its
// view ports, checked against the tree, the undo list and the views' own pixel mapping.
#include "MainWindowTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/windows/StatusFields.h"
#include "app/windows/ToolCursors.h"
#include "shapes/clsBezier.h"

namespace ov::testing {
namespace {

constexpr double kEps = 1e-9;

// The first document taken out of its maximised frame at 640 x 640 pixels: ports of 320 x 320
// pixels, the 40 x 40 view volume at 8 pixels a unit.
class DocumentWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        QWidget* frame = document->parentWidget();
        frame->showNormal();
        frame->resize(frame->size() - document->size() + QSize(640, 640));
        ASSERT_EQ(document->size(), QSize(640, 640));
    }

    clsView& View(int i = 0) { return document->GetView(i); }
    std::int32_t State() { return document->Tools().GetDragState(); }
    int Count() { return Scene().GetRootNode()->GetChildCount(); }
    const clsLine3D& Segment(const clsNode* node) { return *node->GetLine()->Segment; }

    // The pixel of view-plane coordinates or of a document point, and the document point under
    // a pixel (depth 0).
    static QPoint Pixel(double x, double y) { return {static_cast<int>(x), static_cast<int>(y)}; }
    QPoint Px(double u, double v, int port = 0) { return Pixel(View(port).GetScreenX(u), View(port).GetScreenY(v)); }
    QPoint Screen(const clsPoint3D& p) { return View().ConvertPointToScreen(p, sx_, sy_), Pixel(sx_, sy_); }
    clsPoint3D Doc(QPoint p, int port = 0, bool snap = false) { return View(port).ScreenToDoc(p.x(), p.y(), snap); }
    double Scale(int port = 0) { return View(port).GetScaleXY(sx_, sy_), std::fabs(sx_); }

    void Release(QPoint p) { Mouse(QTest::MouseRelease, p); }
    void Click(QPoint p, Qt::KeyboardModifiers m = {}, int port = 0) { Mouse(QTest::MouseClick, p, m, port); }
    void Move(QPoint p) { Mouse(QTest::MouseMove, p); }
    // A move with the buttons up sent to the port itself: QTest's would carry no modifiers.
    void Hover(QPoint p, Qt::KeyboardModifiers m = {}) {
        QMouseEvent move(QEvent::MouseMove, p, Port()->mapToGlobal(p), Qt::NoButton, Qt::NoButton, m);
        QApplication::sendEvent(Port(), &move);
    }
    void Type(Qt::Key key, Qt::KeyboardModifiers m = {}) { QTest::keyClick(Port(), key, m); }
    double sx_ = 0, sy_ = 0;
};

TEST_F(DocumentWindowTest, FourViewsInTwoLayoutsOrOneAloneAndTheSceneLeavesWithTheWindow) {
    // Four quarters, or three small views in a column beside a large perspective view.
    EXPECT_TRUE(&document->GetPerspectiveView() == &View(3) && Port(3)->geometry() == QRect(320, 320, 320, 320));
    document->SetLayout(1);
    EXPECT_TRUE(Port(2)->geometry() == QRect(0, 426, 160, 213) && Port(3)->GetCanvas().Image().width() == 480);
    document->SetLayout(0);
    QTest::mouseClick(Port(), Qt::RightButton, {}, Px(0, 0)); // the port alone, until Escape
    EXPECT_TRUE(document->IsMaximized() && Port(1)->isHidden() && Port(0)->GetCanvas().Image().width() == 640);
    Type(Qt::Key_Escape);
    EXPECT_TRUE(Port(0)->geometry() == QRect(0, 0, 320, 320) && Port(1)->isVisible());

    clsScene* scene = &Scene();
    auto isOpen = [&] { return std::count(App().OpenScenes.begin(), App().OpenScenes.end(), scene) == 1; };
    ASSERT_TRUE(App().ActiveScene == scene && isOpen());
    CloseActive();
    EXPECT_TRUE(App().ActiveScene == nullptr && !isOpen());
}

TEST_F(DocumentWindowTest, DrawingToolsSnapWithShiftConstrainWithCtrlAndMakeOneStepEach) {
    SetTool(ToolLine);
    const QPoint from = Px(-15, -5), to = from + QPoint(40, 20);
    Drag(from, to);
    ASSERT_EQ(Last()->NodeType, clsNode::Line);
    ExpectEnds(Last(), Doc(from), Doc(to));
    EXPECT_TRUE(Last()->Selected && Scene().Modified && Manager().GetUndoString() == "Create");
    Drag(from + QPoint(1, 2), to + QPoint(-2, 1), Qt::ShiftModifier); // Shift snaps to the grid
    ExpectPoint(Segment(Last()).EndPoint, Doc(to + QPoint(-2, 1), 0, true));
    // Ctrl keeps a line to eight directions and makes a rectangle a square of the longer side.
    const double s = Scale();
    const clsPoint3D a = Doc(from), c = Doc(to);
    const struct { std::int32_t tool; QPoint drag; double du, dv; } constrained[] = {
        {ToolLine, {10, 3}, 10, 0}, {ToolLine, {10, 6}, 10, -10}, {ToolLine, {3, 10}, 0, -10},
        {ToolRectangle, {10, -4}, 10, 10}};
    for (const auto& k : constrained) {
        SetTool(k.tool);
        Drag(from, from + k.drag, Qt::ControlModifier);
        const clsNode* line = k.tool == ToolLine ? Last() : Last()->FirstChild()->NextSibling();
        ExpectPoint(Segment(line).EndPoint, {a.x + k.du / s, a.y + k.dv / s, 0});
    }

    // A box's height follows the pointer with the button up: with Ctrl a multiple of width or
    // depth (50 pixels lie as near to 40 as to 3 x 20: the depth wins), with Shift of the grid.
    SetTool(ToolBox);
    const int steps = Manager().UndoIndex;
    Drag(from, to);
    EXPECT_TRUE(State() == ToolInteraction::ChoosingBoxHeight && document->Tools().Captured());
    const double grid = Scene().MinorGrid;
    // The status line tells the rise as seen: up the screen is towards the viewer, +Z.
    const struct { int dy; Qt::KeyboardModifiers m; double height; const char* status; } heights[] = {
        {-50, Qt::ControlModifier, -60 / s, "Height 7.5, towards +Z"},
        {-45, Qt::ControlModifier, -40 / s, "Height 5, towards +Z"},
        {37, Qt::ShiftModifier, std::floor(37 / s / grid + 0.5) * grid, "Height 5, towards -Z"},
        {-30, Qt::NoModifier, -30 / s, "Height 3.75, towards +Z"}};
    for (const auto& h : heights) {
        Hover(to + QPoint(0, h.dy), h.m);
        EXPECT_NEAR(document->Tools().BoxHeight(), h.height, kEps) << h.dy;
        EXPECT_EQ(main->Fields()->Pointer()->text(), h.status);
    }
    Click(to + QPoint(0, -30));
    ASSERT_EQ(Last()->GetChildCount(), 12); // base, top, uprights; the top towards the viewer
    ExpectPoint(Segment(Last()->FirstChild()).EndPoint, {c.x, a.y, 0});
    ExpectPoint(Segment(Last()->LastChild()).EndPoint, {a.x, c.y, 30 / s});
    Drag(from, to); // without a height only the base is made
    Click(to);
    EXPECT_EQ(Last()->GetChildCount(), 4);
    Drag(from, to);
    Type(Qt::Key_Escape);

    // A curve takes two drags; Escape between them lets the pointer go and makes nothing.
    SetTool(ToolBezier);
    const QPoint p1 = from + QPoint(30, -20), p2 = from + QPoint(80, 0), p3 = p2 + QPoint(10, 25);
    Drag(from, p1);
    ASSERT_EQ(State(), ToolInteraction::MovingBezierEnd);
    Type(Qt::Key_Escape);
    EXPECT_TRUE(!document->Tools().Captured() && Manager().UndoIndex == steps + 2);
    Drag(from, p1);
    Hover(p2);
    Drag(p2, p3);
    auto* curve = dynamic_cast<clsBezier*>(Last()->Object.get());
    ASSERT_TRUE(curve && Manager().UndoIndex == steps + 3);
    for (auto [point, pixel] : {std::pair{&curve->Point1, from}, {&curve->Point2, p1}, {&curve->Point3, p3},
                                {&curve->Point4, p2}})
        ExpectPoint(*point, Doc(pixel));

    // An ellipse lies in the plane of its port and spans the drag: in the front view at depth 0.
    SetTool(ToolEllipse);
    Click(Px(0, 0, 1), {}, 1); // activates the port
    Drag(Px(-15, -5, 1), Px(-15, -5, 1) + QPoint(40, 20), {}, 1);
    clsPoint3D min, max;
    Last()->GetBBox(min, max);
    ExpectPoint(max, {min.x + 40 / s, min.y, min.z + 20 / s});
    EXPECT_NEAR(min.y, 0, kEps);
}

TEST_F(DocumentWindowTest, EscapeInAnyDragLeavesNoPreviewAndNoStep) {
    Click(Px(4, 0)); // the house, for the pick tool to move
    const QPoint from = Px(4, 0), to = from + QPoint(50, 30);
    for (std::int32_t tool : {ToolPick, ToolLine, ToolRectangle, ToolEllipse, ToolBox, ToolBezier, ToolZoom}) {
        SCOPED_TRACE(tool);
        SetTool(tool);
        const QImage before = Picture();
        DragTo(from, to);
        Move(to + QPoint(5, 5));
        EXPECT_NE(Picture(), before);
        Type(Qt::Key_Escape);
        Release(to);
        EXPECT_TRUE(State() == ToolInteraction::Idle && Count() == 1 && !Manager().UndoIndex && Picture() == before);
    }
    EXPECT_TRUE(App().CurrentTool == ToolBezier && View().ViewRect.Left == -20); // the zoom hands back the mouse
    ExpectPoint(Segment(HousePart("Bottom")->FirstChild()).EndPoint, {8, 0, 0});
}

TEST_F(DocumentWindowTest, ClicksSelectDrillAndKeepOnlyTheActivePortDrawsAndTheNameLabelListsViewTypes) {
    auto selected = [&] { return Manager().GetSelection() ? Manager().GetSelection()->Name : "-"; };
    SetTool(ToolLine);
    Mouse(QTest::MousePress, Px(4, 0));
    Move(Px(4, 0) + QPoint(3, -3)); // within three pixels a drag is a click
    Release(Px(4, 0) + QPoint(3, -3));
    std::string seen = selected();
    // Ctrl drills into the selected house; Shift on empty space keeps the selection.
    for (auto [pixel, m] : {std::pair{Px(4, 0), Qt::ControlModifier}, {Px(-15, -15), Qt::ShiftModifier},
                            {Px(-15, -15), Qt::NoModifier}})
        seen += "/" + (Click(pixel, m), selected());
    EXPECT_EQ(seen, "House/Bottom/Bottom/-");
    EXPECT_FALSE(Scene().Modified);

    // A click on the name label opens the view-type list and leaves the selection alone.
    Click(Px(4, 0));
    Click(QPoint(6, 6));
    EXPECT_EQ(selected(), "House");
    QComboBox* list = document->ViewTypeList();
    ASSERT_TRUE(list->isVisible() && list->currentIndex() == clsView::Top); // showing it changes nothing
    QTest::keyClick(list, Qt::Key_End);            // the last entry: a second perspective view
    EXPECT_TRUE(View(0).ViewType == clsView::Perspective && !list->isVisible());
    EXPECT_EQ(&document->GetPerspectiveView(), &View(3));

    // A press in another port only activates it; the perspective view takes no drawing.
    Drag(Px(-15, -5, 1), Px(-5, 5, 1), {}, 1);
    EXPECT_TRUE(document->GetActiveIndex() == 1 && !View(0).Active);
    Click(QPoint(50, 50), {}, 3);
    Drag(QPoint(50, 50), QPoint(150, 120), {}, 3);
    EXPECT_TRUE(Count() == 1 && Port(3)->cursor().shape() == Qt::ArrowCursor);
}

TEST_F(DocumentWindowTest, PickMovesTheSelectionAndNodeEditDragsAVertexEvenPastAnUndo) {
    Click(Px(4, 0));
    const QPoint grab = Px(4, 0), dropped = grab + QPoint(40, -15);
    Drag(grab, dropped);
    ExpectPoint(Segment(HousePart("Bar 1")).StartPoint,
                {Doc(dropped).x - Doc(grab).x, Doc(dropped).y - Doc(grab).y, 3});
    EXPECT_TRUE(Scene().Modified && Manager().GetUndoString() == "Move");

    SetTool(ToolLine);
    const QPoint from = Px(-15, -12), to = from + QPoint(60, -25), moved = to + QPoint(-20, 40);
    Drag(from, to);
    const std::string key = Last()->Key;
    auto line = [&] { return Manager().FindNode(key); };
    SetTool(ToolNodeEdit);
    const QImage before = Picture();
    DragTo(to, moved);
    EXPECT_TRUE(State() == ToolInteraction::EditingVertices && Picture() != before);
    Release(moved);
    ExpectEnds(line(), Doc(from), Doc(moved));
    EXPECT_EQ(Manager().GetUndoString(), "Edit Nodes");
    // An undo in the middle of a vertex drag takes the grabbed objects away: the drag ends,
    // and the undo brought back the line as it was at the press.
    DragTo(moved, to);
    Manager().Undo();
    Move(from);
    Release(from);
    EXPECT_EQ(State(), ToolInteraction::Idle);
    ExpectEnds(line(), Doc(from), Doc(moved));
}

TEST_F(DocumentWindowTest, EyePointAndDirectionDrags) {
    clsPerspective& camera = Scene().GetPerspective();
    camera.EyePoint.SetPoint(12, 14, 10), document->UpdateViews();
    const QPoint eye = Screen(camera.EyePoint) + QPoint(0, 1), to = eye + QPoint(-60, 40);
    Drag(eye, to);
    ExpectPoint(camera.EyePoint, {Doc(to).x, Doc(to).y, 10});
    EXPECT_TRUE(Scene().Modified && Manager().GetUndoString() == "Edit Eye Point");
    // The end of the direction marker turns the viewing direction towards the pointer.
    const QPoint marker = Screen(View().GetEyePointVector(Scene())), target = marker + QPoint(30, 0);
    const double downwards = camera.Normal.z;
    Drag(marker, target);
    EXPECT_NEAR(camera.Normal.x, Doc(target).x - camera.EyePoint.x, kEps);
    EXPECT_NEAR(camera.Normal.y, Doc(target).y - camera.EyePoint.y, kEps);
    EXPECT_GT(camera.Normal.z * downwards, 0); // the marker's end keeps its depth below the eye

    // Dragged to twice its length, the end keeps the depth it had at the press, however many
    // moves lead there: from (10, 24, -4) the direction becomes (20, 48, -4).
    camera.EyePoint.SetPoint(-6, -14, 7), document->UpdateViews();
    for (const int moves : {2, 20}) {
        camera.Normal.SetPoint(10, 24, -4), document->UpdateViews();
        const QPoint start = Screen(camera.EyePoint), end = Screen(View().GetEyePointVector(Scene()));
        const QPoint twice = end + (end - start);
        Mouse(QTest::MousePress, end);
        for (int i = 1; i <= moves; ++i) Move(end + (twice - end) * i / moves);
        Release(twice);
        // The marker is 40 / 8 = 5 units long: its end lies 5 * -4 / |(10, 24, -4)| below the eye.
        const clsPoint3D at = Doc(twice);
        EXPECT_NEAR(camera.Normal.z / std::hypot(camera.Normal.x, camera.Normal.y),
                    5 * -4 / std::sqrt(692.0) / std::hypot(at.x + 6, at.y + 14), 1e-9) << moves;
    }
}

TEST_F(DocumentWindowTest, KeysReachTheActiveViewWithTheirModifiersAndToggleTheTool) {
    Click(Px(4, 0));
    const double n = Scene().NudgeOffset;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Down}) Type(key);
    Type(Qt::Key_Up, Qt::ControlModifier); // Ctrl: the vertical step goes into depth
    ExpectPoint(Segment(HousePart("Bar 1")).StartPoint, {n, -n, 3 + n});
    EXPECT_TRUE(Manager().GetUndoString() == "Nudge" && Scene().Modified);
    SetTool(ToolEllipse);
    Type(Qt::Key_Space);
    EXPECT_TRUE(App().CurrentTool == ToolPick && main->ToolbarAction("Arrow")->isChecked()); // shown on the toolbar
    Type(Qt::Key_Space);
    EXPECT_TRUE(App().CurrentTool == ToolEllipse && main->ToolbarAction("Ellipse")->isChecked());
    EXPECT_EQ(Port()->cursor().pixmap().toImage(), ToolCursorPixmap(CursorEllipse).toImage());
    for (int image = 0; image < CursorImageCount; ++image) EXPECT_FALSE(ToolCursorPixmap(image).isNull());
}

TEST_F(DocumentWindowTest, WheelKeysAndMiddleButtonZoomAndPanAnyViewWithoutTouchingTheDocument) {
    // Each turn zooms by its factor (a touchpad's quarter notch by a quarter) about the point under the pointer.
    const struct { int port, angle; Qt::KeyboardModifiers m; double zoom; QPoint pan; } turns[] = {
        {0, 120, {}, 1.25, {}}, {0, -240, {}, 1 / 1.5625, {}}, {0, 30, {}, std::pow(1.25, 0.25), {}},
        {3, 120, {}, 1.25, {}}, {0, 120, Qt::ShiftModifier, 1, {40, 0}}, {1, -120, Qt::ControlModifier, 1, {0, -40}}};
    const QPoint at(100, 140), to = at + QPoint(30, -10);
    for (const auto& t : turns) {
        double u = at.x(), v = at.y(), before = Scale(t.port);
        View(t.port).ScreenToDoc2D(u, v, false);
        QWheelEvent turn(at, at, {}, {0, t.angle}, Qt::NoButton, t.m, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Port(t.port), &turn);
        EXPECT_NEAR(Scale(t.port), before * t.zoom, kEps) << t.angle;
        EXPECT_LE((Px(u, v, t.port) - at - t.pan).manhattanLength(), 2) << t.angle;
    }
    const double centre = View().ViewRect.GetCenterX(), scale = Scale();
    Key(Qt::Key_Plus); // Ctrl+Plus about the centre, then a middle-button drag
    for (auto action : {QTest::MousePress, QTest::MouseMove, QTest::MouseRelease})
        QTest::mouseEvent(action, Port(), Qt::MiddleButton, {}, action == QTest::MousePress ? at : to);
    EXPECT_NEAR(Scale(), scale * 1.25, kEps);
    EXPECT_NEAR(View().ViewRect.GetCenterX(), centre - 30 / Scale(), kEps);
    EXPECT_TRUE(!Scene().Modified && Manager().UndoIndex == 0 && State() == ToolInteraction::Idle);
}

TEST_F(DocumentWindowTest, ZoomToObjectsSurvivesCameraChangesAndAMarqueeSelectsWhatItEncloses) {
    Key(Qt::Key_Home, Qt::NoModifier); // the house (8 x 10 in the top view) with 5 % room each side
    EXPECT_NEAR(Scale(), 320 / 11.0, kEps);
    EXPECT_TRUE(View().ViewRect.GetCenterX() == 4 && View(1).ViewRect.Left == 20); // the front view untouched
    Key(Qt::Key_Home, Qt::ShiftModifier); // every view; the front view stays mirrored
    EXPECT_TRUE(View(1).ViewRect.Left > View(1).ViewRect.Right && View(1).ViewRect.Right > -1);
    // A camera nudged and put back keeps the zoom; a new scene volume shows all of it again.
    const clsRect zoomed = View().ViewRect;
    EXPECT_TRUE(main->Fields()->Hint()->text().endsWith("arrow keys move the eye point"));
    Type(Qt::Key_Right);
    Choose("mnuEditUndo");
    EXPECT_TRUE(View().ViewRect.Left == zoomed.Left && View().ViewRect.Top == zoomed.Top);
    Scene().ViewVolumeMax.x = 30;
    Scene().OnPerspectiveChange();
    EXPECT_TRUE(View().ViewRect.Right == 30 && View(1).ViewRect.Left == 30);

    SetTool(ToolLine);
    Drag(Px(-18, -18), Px(-15, -15));
    SetTool(ToolPick);
    const struct { QPoint from, to; Qt::KeyboardModifiers m; bool line, house; } marquees[] = {
        // The new line alone; the house reaching out of the marquee is not inside; Shift adds.
        {Px(-19, -19), Px(-14, -14), {}, true, false}, {Px(-19, -19), Px(6, 12), {}, true, false},
        {Px(-1, -1), Px(9, 11), Qt::ShiftModifier, true, true}, {Px(-1, -1), Px(9, 11), {}, false, true}};
    for (const auto& k : marquees) {
        DragTo(k.from, k.to, k.m);
        Mouse(QTest::MouseRelease, k.to, k.m);
        EXPECT_TRUE(Last()->Selected == k.line && House()->Selected == k.house) << k.to.x();
    }
    Hover(Px(4, 0) + QPoint(1, 1), Qt::ShiftModifier); // the pointer's place, snapped, named by the view's axes
    EXPECT_EQ(main->Fields()->Pointer()->text() + " / " + main->Fields()->Selection()->text(),
              "X 4   Y 0 / 1 object selected");
}

} // namespace
} // namespace ov::testing
