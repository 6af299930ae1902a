// The transform and line-information panels of the main window, typed into and applied as
// the user does it.
#include "MainWindowTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/windows/LineInfoPanel.h"
#include "app/windows/TransformPanel.h"
#include "shapes/clsLine.h"

namespace ov::testing {
namespace {

class TransformPanelTest : public MainWindowFixture {
protected:
    TransformPanel& Panel() { return *main->Transform(); }
    QLineEdit* Field(int row, int axis) { return Panel().Field(row, axis); }

    // Replaces a field's text by typing, as the user would.
    void Type(int row, int axis, const char* text) {
        QLineEdit* field = Field(row, axis);
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }
    void Apply() { QTest::mouseClick(Panel().ApplyButton(), Qt::LeftButton); }
    void ClickRelative() {
        QCheckBox* box = Panel().RelativeBox();
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }
    double Shown(int row, int axis) { return ParseNumber(Field(row, axis)->text().toStdString()); }
};

void ExpectPoint(const clsPoint3D& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

TEST_F(TransformPanelTest, AbsoluteApplyOnALineReplacesTheEditedCoordinatesOfItsEnds) {
    EXPECT_FALSE(Panel().isEnabled());
    clsNode* bar = HousePart("Bar 1"); // (0,0,3)-(0,10,3)
    ClickNode(bar);
    EXPECT_TRUE(Panel().isEnabled());
    EXPECT_EQ(Panel().RowKey(RowPosition), "Point1");
    EXPECT_EQ(Panel().RowKey(RowSize), "Point2");
    EXPECT_DOUBLE_EQ(Shown(RowPosition, 2), 3);
    EXPECT_DOUBLE_EQ(Shown(RowSize, 1), 10);

    Type(RowSize, 2, "5");
    Type(RowPosition, 0, "1,5"); // a comma reads as the decimal point
    Apply();
    ExpectPoint(bar->GetLine()->Segment->StartPoint, 1.5, 0, 3);
    ExpectPoint(bar->GetLine()->Segment->EndPoint, 0, 10, 5);
    EXPECT_EQ(Manager().GetUndoString(), "Transform");
    EXPECT_TRUE(Scene().Modified);
    EXPECT_DOUBLE_EQ(Shown(RowSize, 2), 5);

    // Applying again without typing changes nothing.
    Apply();
    ExpectPoint(bar->GetLine()->Segment->StartPoint, 1.5, 0, 3);
    ExpectPoint(bar->GetLine()->Segment->EndPoint, 0, 10, 5);

    const std::string key = bar->Key;
    Choose("mnuEditUndo");
    Choose("mnuEditUndo");
    const clsLine3D& restored = *Manager().FindNode(key)->GetLine()->Segment;
    ExpectPoint(restored.StartPoint, 0, 0, 3);
    ExpectPoint(restored.EndPoint, 0, 10, 3);
}

TEST_F(TransformPanelTest, AbsoluteApplyStretchesMovesAndTurnsAGroup) {
    clsNode* bottom = HousePart("Bottom"); // 8 x 10 x 0 around (4, 5, 0)
    ClickNode(bottom);
    EXPECT_EQ(Panel().RowKey(RowPosition), "Position");
    EXPECT_EQ(Panel().RowKey(RowSize), "Size");
    EXPECT_DOUBLE_EQ(Shown(RowSize, 0), 8);
    // A line shown meanwhile (as during a drag) gets the rows of its end points.
    main->UpdateStatusBarForNode(HousePart("Bar 1"), bottom);
    EXPECT_EQ(Panel().RowKey(RowPosition), "Point1");
    main->UpdateStatusBarForNode(bottom, bottom);
    EXPECT_EQ(Panel().RowKey(RowPosition), "Position");

    // Only the X size is edited: X alone is stretched. A size along an axis where the
    // group has none cannot be stretched.
    Type(RowSize, 0, "16");
    Type(RowSize, 2, "3");
    Apply();
    ExpectPoint(bottom->GetSize(), 16, 10, 0);
    ExpectPoint(bottom->GetCenterPosition(), 4, 5, 0);

    // Delete in a field edits the field, not the tree.
    QTest::mouseClick(Field(RowPosition, 1), Qt::LeftButton);
    QTest::keyClick(Field(RowPosition, 1), Qt::Key_Home);
    QTest::keyClick(Field(RowPosition, 1), Qt::Key_Delete);
    ASSERT_EQ(HousePart("Bottom"), bottom);

    Type(RowPosition, 1, "7");
    Apply();
    ExpectPoint(bottom->GetCenterPosition(), 4, 7, 0);

    Type(RowRotation, 2, "90");
    Apply();
    EXPECT_DOUBLE_EQ(bottom->RotateZ, 90);
    ExpectPoint(bottom->GetSize(), 10, 16, 0);
    ExpectPoint(bottom->GetCenterPosition(), 4, 7, 0);
    // Setting the same rotation again turns nothing.
    Type(RowRotation, 2, "90");
    Apply();
    EXPECT_DOUBLE_EQ(bottom->RotateZ, 90);
    ExpectPoint(bottom->GetSize(), 10, 16, 0);
}

TEST_F(TransformPanelTest, RelativeApplyMovesByAndStretchesInPerCent) {
    clsNode* bottom = HousePart("Bottom");
    ClickNode(bottom);
    ClickRelative();
    ASSERT_TRUE(Panel().Relative());
    EXPECT_EQ(Panel().RowKey(RowPosition), "Move");
    EXPECT_EQ(Panel().RowKey(RowSize), "Stretch");
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_DOUBLE_EQ(Shown(RowPosition, axis), 0);
        EXPECT_DOUBLE_EQ(Shown(RowSize, axis), 100);
    }

    Type(RowPosition, 0, "2");
    Type(RowSize, 1, "50");
    Type(RowSize, 0, "0"); // no stretch at all rather than a collapse
    Apply();
    ExpectPoint(bottom->GetCenterPosition(), 6, 5, 0);
    ExpectPoint(bottom->GetSize(), 8, 5, 0);
    EXPECT_DOUBLE_EQ(Shown(RowPosition, 0), 0); // refilled: measured against itself again

    Type(RowRotation, 2, "45");
    Apply();
    Type(RowRotation, 2, "45");
    Apply();
    EXPECT_DOUBLE_EQ(bottom->RotateZ, 90);
    ExpectPoint(bottom->GetSize(), 5, 8, 0);

    // A line in relative mode is moved and stretched like any object.
    clsNode* ridge = HousePart("Roof Ridge"); // (4,10,6)-(4,0,6)
    ClickNode(ridge);
    EXPECT_EQ(Panel().RowKey(RowPosition), "Move");
    Type(RowSize, 1, "200");
    Apply();
    ExpectPoint(ridge->GetLine()->Segment->StartPoint, 4, 15, 6);
    ExpectPoint(ridge->GetLine()->Segment->EndPoint, 4, -5, 6);
}

TEST_F(TransformPanelTest, ADraggedCopyIsShownAgainstTheUnmovedSelection) {
    clsNode* bottom = HousePart("Bottom");
    ClickNode(bottom);
    std::unique_ptr<clsNode> dragged = bottom->Duplicate();
    dragged->Translate(1, 2, 0);
    dragged->Stretch(2, 1, 1, nullptr);

    main->UpdateStatusBarForNode(dragged.get(), bottom);
    EXPECT_DOUBLE_EQ(Shown(RowPosition, 0), dragged->GetCenterPosition().x);
    EXPECT_DOUBLE_EQ(Shown(RowSize, 0), 16);

    ClickRelative();
    main->UpdateStatusBarForNode(dragged.get(), bottom);
    EXPECT_DOUBLE_EQ(Shown(RowPosition, 0), dragged->GetCenterPosition().x - 4);
    EXPECT_DOUBLE_EQ(Shown(RowPosition, 1), 2);
    EXPECT_DOUBLE_EQ(Shown(RowSize, 0), 200);
    EXPECT_DOUBLE_EQ(Shown(RowSize, 1), 100);
    EXPECT_DOUBLE_EQ(Shown(RowSize, 2), 100); // no height to compare with
}

TEST_F(TransformPanelTest, LineInformationShowsPicturePointsAndTheVanishingPoint) {
    LineInfoPanel& info = *main->LineStatus();
    const clsPerspective& camera = Scene().GetPerspective();
    clsNode* bar = HousePart("Bar 1");
    ClickNode(bar);
    const clsLine3D& segment = *bar->GetLine()->Segment;
    double u = 0, v = 0;
    camera.ConvertPoint(segment.EndPoint, u, v);
    EXPECT_NEAR(ParseNumber(info.PointField(2)->text().toStdString()), u, 1e-4);
    EXPECT_NEAR(ParseNumber(info.PointField(3)->text().toStdString()), v, 1e-4);

    // The vanishing point is where the line's far continuation lands in the picture.
    clsPoint3D far = segment.GetVector();
    far.Multiply(1e6);
    far.Add(segment.StartPoint);
    camera.ConvertPoint(far, u, v);
    ASSERT_NE(info.VanishField(0)->text(), "N/A");
    EXPECT_NEAR(ParseNumber(info.VanishField(0)->text().toStdString()), u, 1e-3);
    EXPECT_NEAR(ParseNumber(info.VanishField(1)->text().toStdString()), v, 1e-3);

    // A line along the picture's horizontal direction never meets the horizon.
    clsPoint3D across, up, back;
    camera.GetBaseVectors(across, up, back);
    clsNode* parallel = Manager().AddNode(
        Manager().CreateLineNode(1, 1, 1, 1 + across.x * 3, 1 + across.y * 3, 1 + across.z * 3, "Parallel"));
    ClickNode(parallel);
    EXPECT_EQ(info.VanishField(0)->text(), "N/A");
    EXPECT_EQ(info.VanishField(1)->text(), "N/A");
    EXPECT_FALSE(info.PointField(0)->text().isEmpty());

    // Anything but a single line leaves the panel empty.
    ClickNode(House());
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(info.PointField(i)->text().isEmpty());
    EXPECT_TRUE(info.VanishField(0)->text().isEmpty());
}

} // namespace
} // namespace ov::testing
