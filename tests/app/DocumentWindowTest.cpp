// The document window on real widgets: mouse tools and keys driven with QTest events in its
// view ports, checked against the tree, the undo list and the views' own pixel mapping.
#include "app/windows/ToolCursors.h"
#include "app/windows/frmDocument.h"
#include "camera/clsPerspective.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/ITreeView.h"
#include "scene/clsNode.h"
#include "shapes/clsBezier.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsLine.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace ov {
namespace {

class FakeMainWindow : public IMainWindow {
public:
    int SelectionChanges = 0, UIUpdates = 0, StatusBars = 0, NodeStatusBars = 0, ToolChanges = 0;
    void SelectionChanged() override { ++SelectionChanges; }
    void UpdateUI() override { ++UIUpdates; }
    bool OnSave(clsScene&) override { return false; }
    void UpdateStatusBar() override { ++StatusBars; }
    void UpdateStatusBarForNode(clsNode*, clsNode*) override { ++NodeStatusBars; }
    void ToolChanged() override { ++ToolChanges; }
};

constexpr double kEps = 1e-9;

class DocumentWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().MainWindow = &main_;
        App().CurrentTool = ToolPick;
        App().PreviousTool = ToolPick;
        doc_ = std::make_unique<frmDocument>();
        // Ports of 320 x 320 pixels show the default 40 x 40 view volume at 8 pixels a unit,
        // so that the expected coordinates below are exact.
        doc_->resize(640, 640);
        doc_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(doc_.get()));
        doc_->ActivateDocument(nullptr);
    }
    void TearDown() override {
        doc_.reset();
        App().MainWindow = nullptr;
        App().CurrentTool = ToolPick;
        App().PreviousTool = ToolPick;
        SetBeep(nullptr);
    }

    clsScene& Scene() { return doc_->GetScene(); }
    clsTreeManager& Tree() { return Scene().TreeManager; }
    ViewPort* Port(int i = 0) { return doc_->GetViewPort(i); }
    clsView& View(int i = 0) { return doc_->GetView(i); }
    std::int32_t State() { return doc_->Tools().GetDragState(); }
    int TopLevelCount() { return Scene().GetRootNode()->GetChildCount(); }
    clsNode* LastTopLevel() { return Scene().GetRootNode()->LastChild(); }

    // The pixel of view-plane coordinates, and the document point under a pixel (depth 0).
    QPoint Px(double u, double v, int port = 0) {
        return {static_cast<int>(View(port).GetScreenX(u)),
                static_cast<int>(View(port).GetScreenY(v))};
    }
    clsPoint3D Doc(QPoint p, int port = 0, bool snap = false) {
        return View(port).ScreenToDoc(p.x(), p.y(), snap);
    }
    double Scale(int port = 0) {
        double sx = 0, sy = 0;
        View(port).GetScaleXY(sx, sy);
        return sx;
    }

    void Press(QPoint p, Qt::KeyboardModifiers m = {}, int port = 0) {
        QTest::mousePress(Port(port), Qt::LeftButton, m, p);
    }
    void Release(QPoint p, Qt::KeyboardModifiers m = {}, int port = 0) {
        QTest::mouseRelease(Port(port), Qt::LeftButton, m, p);
    }
    // A move with the button down; QTest sends it with its modifiers.
    void Move(QPoint p, Qt::KeyboardModifiers m = {}, int port = 0) {
        QTest::mouseEvent(QTest::MouseMove, Port(port), Qt::NoButton, m, p);
    }
    // A move with the buttons up (the box height, the Bezier end point). QTest would move
    // the platform's pointer, which carries no modifiers and is silent when the pointer is
    // there already; the event itself goes to the port.
    void Hover(QPoint p, Qt::KeyboardModifiers m = {}, int port = 0) {
        QMouseEvent move(QEvent::MouseMove, p, Port(port)->mapToGlobal(p), Qt::NoButton,
                         Qt::NoButton, m);
        QApplication::sendEvent(Port(port), &move);
    }
    // Press, move past the click distance and on to the end, but keep the button down.
    void DragTo(QPoint from, QPoint to, Qt::KeyboardModifiers m = {}, int port = 0) {
        Press(from, m, port);
        Move(to, m, port);
        Move(to, m, port);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = {}, int port = 0) {
        DragTo(from, to, m, port);
        Release(to, m, port);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers m = {}, int port = 0) {
        QTest::keyClick(Port(port), key, m);
    }

    // The picture of a port as it is now, and as painted from scratch.
    QImage Picture(int port = 0) {
        Port(port)->EnsureRendered();
        return Port(port)->GetCanvas().Image().copy();
    }

    static void ExpectPoint(const clsPoint3D& actual, const clsPoint3D& expected) {
        EXPECT_NEAR(actual.x, expected.x, kEps);
        EXPECT_NEAR(actual.y, expected.y, kEps);
        EXPECT_NEAR(actual.z, expected.z, kEps);
    }
    static const clsLine3D& Segment(const clsNode* node) { return *node->GetLine()->Segment; }

    // Undo and redo of the last step: the tree before it comes back, then the tree after it.
    void ExpectUndoRedo(const std::string& name, int countBefore) {
        ASSERT_EQ(Tree().GetUndoString(), name);
        const int countAfter = TopLevelCount();
        Tree().Undo();
        EXPECT_EQ(TopLevelCount(), countBefore);
        Tree().Redo();
        EXPECT_EQ(TopLevelCount(), countAfter);
    }

    FakeMainWindow main_;
    std::unique_ptr<frmDocument> doc_;
};

TEST_F(DocumentWindowTest, NewWindowShowsFourViewsAndJoinsTheOpenScenes) {
    EXPECT_EQ(View(0).ViewType, clsView::Top);
    EXPECT_EQ(View(1).ViewType, clsView::Front);
    EXPECT_EQ(View(2).ViewType, clsView::Left);
    EXPECT_EQ(View(3).ViewType, clsView::Perspective);
    EXPECT_EQ(&doc_->GetPerspectiveView(), &View(3));
    EXPECT_EQ(&doc_->GetActiveView(), &View(0));
    EXPECT_TRUE(View(0).Active);
    EXPECT_FALSE(View(1).Active);
    EXPECT_EQ(Port(1)->geometry(), QRect(320, 0, 320, 320));
    EXPECT_EQ(Port(3)->GetCanvas().Image().size(), QSize(320, 320));
    EXPECT_DOUBLE_EQ(Scale(), 8);

    doc_->SetLayout(1);
    EXPECT_EQ(Port(2)->geometry(), QRect(0, 426, 160, 213));
    EXPECT_EQ(Port(3)->geometry(), QRect(160, 0, 480, 640));
    EXPECT_EQ(Port(3)->GetCanvas().Image().size(), QSize(480, 640));

    clsScene* scene = &Scene();
    ASSERT_EQ(App().ActiveScene, scene);
    ASSERT_NE(std::find(App().OpenScenes.begin(), App().OpenScenes.end(), scene),
              App().OpenScenes.end());
    const int selectionChanges = main_.SelectionChanges;
    doc_.reset();
    EXPECT_EQ(App().ActiveScene, nullptr);
    EXPECT_EQ(std::find(App().OpenScenes.begin(), App().OpenScenes.end(), scene),
              App().OpenScenes.end());
    EXPECT_EQ(main_.SelectionChanges, selectionChanges + 1);
}

TEST_F(DocumentWindowTest, LineToolDrawsALineUndoneAndRedone) {
    SetTool(ToolLine);
    const int before = TopLevelCount();
    const QPoint from = Px(-15, -12), to = from + QPoint(60, -25);
    Drag(from, to);
    ASSERT_EQ(TopLevelCount(), before + 1);
    const clsNode* line = LastTopLevel();
    ASSERT_EQ(line->NodeType, clsNode::Line);
    ExpectPoint(Segment(line).StartPoint, Doc(from));
    ExpectPoint(Segment(line).EndPoint, Doc(to));
    EXPECT_TRUE(line->Selected);
    EXPECT_EQ(State(), ToolInteraction::Idle);
    EXPECT_FALSE(doc_->Tools().Captured());
    EXPECT_TRUE(Scene().Modified);
    EXPECT_EQ(Tree().UndoIndex, 1);
    ExpectUndoRedo("Create", before);

    // Shift snaps both ends to the minor grid.
    Drag(from + QPoint(1, 2), to + QPoint(-2, 1), Qt::ShiftModifier);
    ExpectPoint(Segment(LastTopLevel()).StartPoint, Doc(from + QPoint(1, 2), 0, true));
    ExpectPoint(Segment(LastTopLevel()).EndPoint, Doc(to + QPoint(-2, 1), 0, true));
}

TEST_F(DocumentWindowTest, CtrlConstrainsLinesToHorizontalDiagonalAndVertical) {
    SetTool(ToolLine);
    const QPoint from = Px(-15, -12);
    const double step = 1 / Scale();
    const clsPoint3D a = Doc(from);

    Drag(from, from + QPoint(10, 3), Qt::ControlModifier);
    ExpectPoint(Segment(LastTopLevel()).EndPoint, {a.x + 10 * step, a.y, 0});

    Drag(from, from + QPoint(10, 6), Qt::ControlModifier);
    ExpectPoint(Segment(LastTopLevel()).EndPoint, {a.x + 10 * step, a.y - 10 * step, 0});

    Drag(from, from + QPoint(3, 10), Qt::ControlModifier);
    ExpectPoint(Segment(LastTopLevel()).EndPoint, {a.x, a.y - 10 * step, 0});
}

TEST_F(DocumentWindowTest, RectangleToolDrawsFourSidesAndCtrlMakesASquare) {
    SetTool(ToolRectangle);
    const QPoint from = Px(-15, -12), to = from + QPoint(40, 20);
    const int before = TopLevelCount();
    Drag(from, to);
    clsNode* rect = LastTopLevel();
    ASSERT_EQ(rect->NodeType, clsNode::Group);
    EXPECT_EQ(rect->Name, "Rectangle");
    ASSERT_EQ(rect->GetChildCount(), 4);
    const clsPoint3D a = Doc(from), c = Doc(to);
    const clsNode* side = rect->FirstChild();
    ExpectPoint(Segment(side).StartPoint, a);
    ExpectPoint(Segment(side).EndPoint, {c.x, a.y, 0});
    side = side->NextSibling();
    ExpectPoint(Segment(side).EndPoint, c);
    side = side->NextSibling();
    ExpectPoint(Segment(side).EndPoint, {a.x, c.y, 0});
    ExpectPoint(Segment(side->NextSibling()).EndPoint, a);
    ExpectUndoRedo("Create", before);

    // A drag of (10, -4) pixels: the longer side wins, the corner follows the drag upwards.
    Drag(from, from + QPoint(10, -4), Qt::ControlModifier);
    const clsLine3D& diagonalEnd = Segment(LastTopLevel()->FirstChild()->NextSibling());
    ExpectPoint(diagonalEnd.EndPoint, {a.x + 10 / Scale(), a.y + 10 / Scale(), 0});
}

TEST_F(DocumentWindowTest, BoxToolTakesABaseThenAHeight) {
    SetTool(ToolBox);
    const QPoint from = Px(-15, -5), to = from + QPoint(40, 20);
    const int before = TopLevelCount(), undoBefore = Tree().UndoIndex;
    Drag(from, to);
    EXPECT_EQ(State(), ToolInteraction::ChoosingBoxHeight);
    EXPECT_TRUE(doc_->Tools().Captured()); // the height follows the pointer with the button up
    Hover(to + QPoint(0, -30));
    EXPECT_NEAR(doc_->Tools().BoxHeight(), -30 / Scale(), kEps);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, to + QPoint(0, -30));
    EXPECT_EQ(State(), ToolInteraction::Idle);
    EXPECT_EQ(Tree().UndoIndex, undoBefore + 1);

    clsNode* box = LastTopLevel();
    ASSERT_EQ(box->Name, "Box");
    ASSERT_EQ(box->GetChildCount(), 12);
    // Base, top and the four uprights: the base drawn right and down on screen has its
    // normal pointing down, the negative height lifts the top towards the viewer.
    const double h = 30 / Scale();
    const clsNode* base = box->FirstChild();
    const clsNode* top = base;
    for (int i = 0; i < 4; ++i)
        top = top->NextSibling();
    const clsNode* upright = top;
    for (int i = 0; i < 4; ++i)
        upright = upright->NextSibling();
    for (int i = 0; i < 4; ++i) {
        clsPoint3D lifted = Segment(base).StartPoint;
        lifted.z += h;
        ExpectPoint(Segment(top).StartPoint, lifted);
        ExpectPoint(Segment(upright).StartPoint, Segment(base).StartPoint);
        ExpectPoint(Segment(upright).EndPoint, lifted);
        base = base->NextSibling();
        top = top->NextSibling();
        upright = upright->NextSibling();
    }
    ExpectUndoRedo("Create", before);

    // Without a height only the base is made.
    Drag(from, to);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, to);
    EXPECT_EQ(LastTopLevel()->GetChildCount(), 4);
}

TEST_F(DocumentWindowTest, BoxHeightFitsTheBaseWithCtrlAndTheGridWithShift) {
    SetTool(ToolBox);
    const QPoint from = Px(-15, -5), to = from + QPoint(40, 20);
    const double s = Scale();
    Drag(from, to);
    // 50 pixels lie as near to one width (40) as to three depths (60): the depth wins.
    Hover(to + QPoint(0, -50), Qt::ControlModifier);
    EXPECT_NEAR(doc_->Tools().BoxHeight(), -60 / s, kEps);
    Hover(to + QPoint(0, -45), Qt::ControlModifier);
    EXPECT_NEAR(doc_->Tools().BoxHeight(), -40 / s, kEps);
    Hover(to + QPoint(0, 37), Qt::ShiftModifier);
    const double grid = Scene().MinorGrid;
    EXPECT_NEAR(doc_->Tools().BoxHeight(), std::floor(37 / s / grid + 0.5) * grid, kEps);
    Key(Qt::Key_Escape);
    EXPECT_EQ(State(), ToolInteraction::Idle);
    EXPECT_EQ(Tree().UndoIndex, 0);
}

TEST_F(DocumentWindowTest, EllipseToolFitsTheDragInTheViewPlane) {
    SetTool(ToolEllipse);
    const QPoint from = Px(-15, -5), to = from + QPoint(40, 20);
    Drag(from, to);
    clsNode* node = LastTopLevel();
    ASSERT_EQ(node->NodeType, clsNode::Ellipse);
    auto* ellipse = dynamic_cast<clsEllipse*>(node->Object.get());
    ASSERT_NE(ellipse, nullptr);
    EXPECT_NEAR(ellipse->RadiusX, 20 / Scale(), kEps);
    EXPECT_NEAR(ellipse->RadiusY, 10 / Scale(), kEps);
    clsPoint3D centre = Doc(from);
    centre.Add(Doc(to));
    centre.Multiply(0.5);
    ExpectPoint(ellipse->Matrix.RefPoint, centre);
    ExpectUndoRedo("Create", TopLevelCount() - 1);

    // In the Front and Left views the ellipse lies in their view planes.
    for (int port : {1, 2}) {
        Press(Px(0, 0, port), {}, port); // activates the port
        Release(Px(0, 0, port), {}, port);
        Drag(Px(-15, -5, port), Px(-15, -5, port) + QPoint(40, 20), {}, port);
        auto* e = dynamic_cast<clsEllipse*>(LastTopLevel()->Object.get());
        ASSERT_NE(e, nullptr);
        // Every outline point on the ellipse through the drag's corners in the view plane.
        double cu = 0, cv = 0;
        View(port).ConvertPoint(e->Matrix.RefPoint, cu, cv);
        const double rx = 20 / std::fabs(Scale(port)), ry = 10 / std::fabs(Scale(port));
        for (const auto& segment : e->BreakApart()) {
            EXPECT_NEAR(port == 1 ? segment->StartPoint.y : segment->StartPoint.x, 0, 1e-9);
            double u = 0, v = 0;
            View(port).ConvertPoint(segment->StartPoint, u, v);
            EXPECT_NEAR((u - cu) * (u - cu) / (rx * rx) + (v - cv) * (v - cv) / (ry * ry), 1, 1e-9);
        }
    }
}

TEST_F(DocumentWindowTest, BezierTakesTwoDragsAndEscapeBetweenThemCancels) {
    SetTool(ToolBezier);
    const QPoint p0 = Px(-15, -5), p1 = p0 + QPoint(30, -20), p2 = p0 + QPoint(80, 0),
                 p3 = p2 + QPoint(10, 25);
    const QImage before = Picture();
    Drag(p0, p1);
    EXPECT_EQ(State(), ToolInteraction::MovingBezierEnd);
    Hover(p2);
    EXPECT_NE(Picture(), before);
    Key(Qt::Key_Escape);
    EXPECT_EQ(State(), ToolInteraction::Idle);
    EXPECT_EQ(doc_->Tools().PreviewNode(), nullptr);
    EXPECT_EQ(Picture(), before);
    EXPECT_EQ(Tree().UndoIndex, 0);
    EXPECT_FALSE(doc_->Tools().Captured());

    const int count = TopLevelCount();
    Drag(p0, p1);
    Hover(p2);
    Drag(p2, p3);
    ASSERT_EQ(TopLevelCount(), count + 1);
    auto* curve = dynamic_cast<clsBezier*>(LastTopLevel()->Object.get());
    ASSERT_NE(curve, nullptr);
    ExpectPoint(curve->Point1, Doc(p0));
    ExpectPoint(curve->Point2, Doc(p1));
    ExpectPoint(curve->Point3, Doc(p3));
    ExpectPoint(curve->Point4, Doc(p2));
    ExpectUndoRedo("Create", count);
}

TEST_F(DocumentWindowTest, EscapeInAnyDragLeavesNoPreviewAndNoStep) {
    // Select the house, so that the pick tool has something to move.
    Press(Px(4, 0));
    Release(Px(4, 0));
    ASSERT_NE(Tree().GetSelection(), nullptr);
    const QPoint from = Px(4, 0), to = from + QPoint(50, 30);
    for (std::int32_t tool :
         {ToolPick, ToolLine, ToolRectangle, ToolEllipse, ToolBox, ToolBezier}) {
        SCOPED_TRACE(tool);
        SetTool(tool);
        const QImage before = Picture();
        const int count = TopLevelCount();
        DragTo(from, to);
        Move(to + QPoint(5, 5));
        EXPECT_NE(Picture(), before);
        Key(Qt::Key_Escape);
        Release(to);
        EXPECT_EQ(State(), ToolInteraction::Idle);
        EXPECT_EQ(Picture(), before);
        EXPECT_EQ(TopLevelCount(), count);
        EXPECT_EQ(Tree().UndoIndex, 0);
    }
    ExpectPoint(Segment(Scene().GetRootNode()->FirstChild()->FirstChild()->FirstChild()).EndPoint,
                {8, 0, 0});
}

TEST_F(DocumentWindowTest, ClicksSelectAndAShortDragIsAClick) {
    SetTool(ToolLine);
    const int count = TopLevelCount();
    // Within three pixels the line tool makes nothing: the press selects the house.
    Press(Px(4, 0));
    Move(Px(4, 0) + QPoint(3, -3));
    Release(Px(4, 0) + QPoint(3, -3));
    EXPECT_EQ(TopLevelCount(), count);
    ASSERT_NE(Tree().GetSelection(), nullptr);
    EXPECT_EQ(Tree().GetSelection()->Name, "House");

    // Ctrl drills into the selected house; Shift on empty space keeps the selection.
    QTest::mouseClick(Port(), Qt::LeftButton, Qt::ControlModifier, Px(4, 0));
    EXPECT_EQ(Tree().GetSelection()->Name, "Bottom");
    QTest::mouseClick(Port(), Qt::LeftButton, Qt::ShiftModifier, Px(-15, -15));
    EXPECT_EQ(Tree().GetSelection()->Name, "Bottom");
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Px(-15, -15));
    EXPECT_EQ(Tree().GetSelection(), nullptr);
    EXPECT_EQ(Tree().UndoIndex, 0);
    EXPECT_FALSE(Scene().Modified);
}

TEST_F(DocumentWindowTest, PickToolMovesTheSelection) {
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Px(4, 0));
    ASSERT_NE(Tree().GetSelection(), nullptr);
    const QPoint from = Px(4, 0), to = from + QPoint(40, -15);
    Drag(from, to);
    clsPoint3D shift = Doc(to);
    shift.Subtract(Doc(from));
    std::string bar1;
    for (const clsNode* n = Scene().GetRootNode()->FirstChild()->FirstChild(); n;
         n = n->NextSibling())
        if (n->Name == "Bar 1") bar1 = n->Key;
    ASSERT_FALSE(bar1.empty());
    ExpectPoint(Segment(Tree().FindNode(bar1)).StartPoint, {shift.x, shift.y, 3});
    EXPECT_EQ(doc_->Tools().PreviewNode(), nullptr);
    EXPECT_GT(main_.NodeStatusBars, 0);
    EXPECT_TRUE(Scene().Modified);
    ASSERT_EQ(Tree().GetUndoString(), "Move");
    Tree().Undo();
    ExpectPoint(Segment(Tree().FindNode(bar1)).StartPoint, {0, 0, 3});
    Tree().Redo();
    ExpectPoint(Segment(Tree().FindNode(bar1)).StartPoint, {shift.x, shift.y, 3});

    // With nothing selected a pick drag does nothing.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Px(-15, -15));
    Drag(Px(-15, -15), Px(-10, -10));
    EXPECT_EQ(Tree().GetUndoString(), "Move");
    EXPECT_EQ(Tree().UndoIndex, 1);
}

TEST_F(DocumentWindowTest, NodeEditToolDragsAVertex) {
    SetTool(ToolLine);
    const QPoint from = Px(-15, -12), to = from + QPoint(60, -25), moved = to + QPoint(-20, 40);
    Drag(from, to);
    const std::string key = LastTopLevel()->Key;
    SetTool(ToolNodeEdit);
    const QImage before = Picture();
    DragTo(to, moved);
    EXPECT_EQ(State(), ToolInteraction::EditingVertices);
    EXPECT_NE(Picture(), before);
    Release(moved);
    ExpectPoint(Segment(Tree().FindNode(key)).StartPoint, Doc(from));
    ExpectPoint(Segment(Tree().FindNode(key)).EndPoint, Doc(moved));
    ASSERT_EQ(Tree().GetUndoString(), "Edit Nodes");
    Tree().Undo();
    ExpectPoint(Segment(Tree().FindNode(key)).EndPoint, Doc(to));
    Tree().Redo();
    ExpectPoint(Segment(Tree().FindNode(key)).EndPoint, Doc(moved));

    // An undo in the middle of a vertex drag takes the grabbed objects away: the drag ends,
    // and the undo brought back the line as it was at the press.
    DragTo(moved, to);
    Tree().Undo();
    Move(from);
    Release(from);
    EXPECT_EQ(State(), ToolInteraction::Idle);
    ExpectPoint(Segment(Tree().FindNode(key)).EndPoint, Doc(moved));
}

TEST_F(DocumentWindowTest, ZoomRectangleZoomsAndHandsBackTheTool) {
    SetTool(ToolLine);
    SetTool(ToolZoom);
    const QPoint from = Px(-10, 10), to = Px(10, -5);
    double u0 = from.x(), v0 = from.y(), u1 = to.x(), v1 = to.y();
    View().ScreenToDoc2D(u0, v0, false);
    View().ScreenToDoc2D(u1, v1, false);
    Drag(from, to);
    EXPECT_EQ(App().CurrentTool, ToolLine);
    EXPECT_NEAR(View().ViewRect.Left, u0, kEps);
    EXPECT_NEAR(View().ViewRect.Right, u1, kEps);
    EXPECT_NEAR(View().ViewRect.Top, v0, kEps);
    EXPECT_NEAR(View().ViewRect.Bottom, v1, kEps);

    // Escape in the middle of a zoom rectangle erases it and zooms nothing.
    doc_->ResetZoom();
    SetTool(ToolZoom);
    const QImage before = Picture();
    DragTo(from, to);
    EXPECT_NE(Picture(), before);
    Key(Qt::Key_Escape);
    Release(to);
    EXPECT_EQ(Picture(), before);
    EXPECT_EQ(App().CurrentTool, ToolLine);
    EXPECT_DOUBLE_EQ(View().ViewRect.Left, -20);
}

TEST_F(DocumentWindowTest, EyePointAndDirectionDrags) {
    clsPerspective& camera = Scene().GetPerspective();
    camera.EyePoint.SetPoint(12, 14, 10);
    doc_->UpdateViews();
    double ex = 0, ey = 0;
    View().ConvertPointToScreen(camera.EyePoint, ex, ey);
    const QPoint eye(static_cast<int>(ex), static_cast<int>(ey) + 1), to = eye + QPoint(-60, 40);
    const double z = camera.EyePoint.z;
    Drag(eye, to);
    ExpectPoint(camera.EyePoint, {Doc(to).x, Doc(to).y, z});
    EXPECT_TRUE(Scene().Modified);
    ASSERT_EQ(Tree().GetUndoString(), "Edit Eye Point");
    Tree().Undo();
    ExpectPoint(camera.EyePoint, {12, 14, 10});
    Tree().Redo();
    EXPECT_NEAR(camera.EyePoint.x, Doc(to).x, kEps);

    // The end of the direction marker turns the viewing direction towards the pointer.
    double tx = 0, ty = 0;
    View().ConvertPointToScreen(View().GetEyePointVector(Scene()), tx, ty);
    const QPoint target = QPoint(static_cast<int>(tx), static_cast<int>(ty)) + QPoint(30, 0);
    const double downwards = camera.Normal.z;
    Drag(QPoint(static_cast<int>(tx), static_cast<int>(ty)), target);
    EXPECT_NEAR(camera.Normal.x, Doc(target).x - camera.EyePoint.x, kEps);
    EXPECT_NEAR(camera.Normal.y, Doc(target).y - camera.EyePoint.y, kEps);
    EXPECT_GT(camera.Normal.z * downwards, 0); // the marker's end keeps its depth below the eye
    EXPECT_EQ(Tree().UndoIndex, 2);
}

TEST_F(DocumentWindowTest, ArrowKeysNudgeAndTurnThroughTheActiveView) {
    int beeps = 0;
    SetBeep([&] { ++beeps; });
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Px(4, 0));
    const std::string bar = Scene()
                                .GetRootNode()
                                ->FirstChild()
                                ->FirstChild()
                                ->NextSibling()
                                ->NextSibling()
                                ->NextSibling()
                                ->Key;
    const double n = Scene().NudgeOffset;
    const int statusBars = main_.StatusBars;
    Key(Qt::Key_Right);
    ExpectPoint(Segment(Tree().FindNode(bar)).StartPoint, {n, 0, 3});
    Key(Qt::Key_Up, Qt::ControlModifier); // Ctrl: the vertical step goes into depth
    ExpectPoint(Segment(Tree().FindNode(bar)).StartPoint, {n, 0, 3 + n});
    EXPECT_EQ(Tree().GetUndoString(), "Nudge");
    EXPECT_GT(main_.StatusBars, statusBars);
    EXPECT_TRUE(Scene().Modified);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Tree().GetUndoString(), "Rotate");
    Tree().Undo();
    ExpectPoint(Segment(Tree().FindNode(bar)).StartPoint, {n, 0, 3 + n});
    Tree().Undo();
    ExpectPoint(Segment(Tree().FindNode(bar)).StartPoint, {0, 0, 3});

    // Without a selection the eye point moves; Alt does nothing but beep.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Px(-15, -15));
    const int steps = Tree().UndoIndex;
    Key(Qt::Key_Down);
    ExpectPoint(Scene().GetPerspective().EyePoint, {20, 20 - n, 10});
    EXPECT_EQ(Tree().GetUndoString(), "Nudge Eye Point");
    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Tree().UndoIndex, steps + 1);
}

TEST_F(DocumentWindowTest, RightClickShowsThePortAloneAndEscapeReturns) {
    QTest::mouseClick(Port(), Qt::RightButton, {}, Px(0, 0));
    EXPECT_TRUE(doc_->IsMaximized());
    EXPECT_EQ(Port(0)->geometry(), QRect(0, 0, 640, 640));
    EXPECT_TRUE(Port(1)->isHidden());
    EXPECT_EQ(Port(0)->GetCanvas().Image().size(), QSize(640, 640));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(doc_->IsMaximized());
    EXPECT_FALSE(Port(1)->isHidden());
    EXPECT_EQ(Port(0)->geometry(), QRect(0, 0, 320, 320));
    QTest::mouseClick(Port(), Qt::RightButton, {}, Px(0, 0));
    QTest::mouseClick(Port(), Qt::RightButton, {}, Px(0, 0));
    EXPECT_FALSE(doc_->IsMaximized());
}

TEST_F(DocumentWindowTest, NameLabelOpensTheViewTypeListWithoutTouchingTheSelection) {
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Px(4, 0));
    ASSERT_NE(Tree().GetSelection(), nullptr);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_NE(Tree().GetSelection(), nullptr);
    QComboBox* list = doc_->ViewTypeList();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->currentIndex(), clsView::Top);
    EXPECT_EQ(View().ViewType, clsView::Top); // showing the current type changes nothing

    // The last entry turns port 0 into a second perspective view.
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(View(0).ViewType, clsView::Perspective);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(&doc_->GetPerspectiveView(), &View(3));
}

TEST_F(DocumentWindowTest, PressInAnotherPortOnlyActivatesIt) {
    SetTool(ToolLine);
    const int count = TopLevelCount();
    Drag(Px(-15, -5, 1), Px(-5, 5, 1), {}, 1);
    EXPECT_EQ(TopLevelCount(), count);
    EXPECT_EQ(doc_->GetActiveIndex(), 1);
    EXPECT_TRUE(View(1).Active);
    EXPECT_FALSE(View(0).Active);
    // The perspective view takes no drawing.
    QTest::mouseClick(Port(3), Qt::LeftButton, {}, QPoint(50, 50));
    Drag(QPoint(50, 50), QPoint(150, 120), {}, 3);
    EXPECT_EQ(TopLevelCount(), count);
    EXPECT_EQ(Port(3)->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(DocumentWindowTest, DeleteSpaceAndCursors) {
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Px(4, 0));
    Key(Qt::Key_Delete);
    EXPECT_EQ(TopLevelCount(), 0);
    EXPECT_EQ(Tree().GetUndoString(), "Delete");

    SetTool(ToolEllipse);
    Key(Qt::Key_Space);
    EXPECT_EQ(App().CurrentTool, ToolPick);
    Key(Qt::Key_Space);
    EXPECT_EQ(App().CurrentTool, ToolEllipse);
    EXPECT_EQ(main_.ToolChanges, 3); // SetTool, then each Space
    EXPECT_EQ(Port()->cursor().pixmap().toImage(), ToolCursorPixmap(CursorEllipse).toImage());
    for (int image = 0; image < CursorImageCount; ++image)
        EXPECT_FALSE(ToolCursorPixmap(image).isNull());
}

TEST_F(DocumentWindowTest, ClosingAModifiedDocumentAsks) {
    RecordingPrompt prompt;
    ScopedPrompt scoped(prompt);
    SetTool(ToolLine);
    Drag(Px(-15, -5), Px(-5, 5));
    prompt.Answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(doc_->close());
    EXPECT_TRUE(doc_->isVisible());
    ASSERT_EQ(prompt.Messages.size(), 1u);
    prompt.Answers = {PromptAnswer::No};
    EXPECT_TRUE(doc_->close());
}

} // namespace
} // namespace ov
