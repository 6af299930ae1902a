#include <gtest/gtest.h>

#include "io/clsStream.h"
#include "settings/clsSceneSettings.h"
#include "shapes/clsLine.h"
#include "paint/Canvas.h"
#include "paint/clsView.h"

using namespace ov;

namespace {

struct TopView {
    clsSceneSettings scene;
    Canvas canvas{400, 300};
    clsView view;
    TopView() { view.SetView(clsView::Top, &canvas, &scene); } // 7.5 pixels per unit, origin at (200, 150)
};

clsRect ScreenRect(double l, double t, double r, double b) {
    clsRect rect;
    rect.SetValues(l, b, r, t);
    return rect;
}

} // namespace

TEST(LineObject, NewLineIsAPointAtTheOrigin) {
    clsLine line;
    const SegmentList segments = line.BreakApart();
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].get(), line.Segment.get()); // its own segment, not a copy
    clsStream s;
    line.WriteData(s);
    EXPECT_EQ(s.Items.size(), 2u);
    EXPECT_EQ(s.GetSubStream("EndPoint").GetVal("z", false, ""), "0");
}

TEST(LineObject, TransformsRecordsAndCopies) {
    clsLine line;
    line.Segment->EndPoint.SetPoint(1, 0, 0);
    line.Translate(1, 2, 3);
    line.RotateRel(0, 0, 90, nullptr);
    EXPECT_NEAR(line.Segment->EndPoint.x, -2, 1e-12);
    EXPECT_NEAR(line.Segment->EndPoint.y, 2, 1e-12);
    const clsPoint3D c(0, 0, 3);
    line.Stretch(2, 2, 2, &c);
    EXPECT_NEAR(line.Segment->EndPoint.z, 3, 1e-12);

    auto copy = line.Clone();
    line.Segment->StartPoint.SetPoint(99, 99, 99);
    auto* copied = dynamic_cast<clsLine*>(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied->Segment->StartPoint.x, 99);

    clsStream s;
    line.WriteData(s);
    clsLine read;
    read.ReadData(s);
    EXPECT_EQ(read.Segment->StartPoint.x, 99);
    EXPECT_NEAR(read.Segment->EndPoint.y, 4, 1e-12);
}

TEST(LineObject, VertexHitTests) {
    TopView t;
    clsLine line;
    line.Segment->StartPoint.SetPoint(0, 0, 0);  // pixel (200, 150)
    line.Segment->EndPoint.SetPoint(2, 0, 0);    // pixel (215, 150)
    const clsRect both = ScreenRect(190, 140, 220, 160), endOnly = ScreenRect(210, 140, 220, 160);

    std::vector<clsVertexHit> hits;
    EXPECT_TRUE(line.HitTestNode(t.view, both, &hits, false));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].VertexIndex, 0);
    EXPECT_TRUE(hits[0].ShowPreview);
    EXPECT_EQ(hits[1].VertexIndex, 1);
    EXPECT_FALSE(hits[1].ShowPreview);

    hits.clear();
    EXPECT_TRUE(line.HitTestNode(t.view, both, &hits, true));
    EXPECT_EQ(hits.size(), 1u);

    hits.clear();
    EXPECT_TRUE(line.HitTestNode(t.view, endOnly, &hits, false));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].VertexIndex, 1);
    EXPECT_TRUE(hits[0].ShowPreview);

    EXPECT_TRUE(line.HitTestNode(t.view, both, nullptr, false));
    EXPECT_FALSE(line.HitTestNode(t.view, ScreenRect(0, 0, 10, 10), nullptr, false));
}

TEST(LineObject, DraggingAVertexAndItsPreview) {
    TopView t;
    clsLine line;
    line.Segment->StartPoint.SetPoint(0, 0, 5);
    line.Segment->EndPoint.SetPoint(2, 0, 5);
    const QImage before = t.canvas.Image().copy();
    line.DrawPreview(t.view);
    EXPECT_NE(t.canvas.Image(), before);
    EXPECT_EQ(t.canvas.Image().pixelColor(207, 150), QColor(0, 0, 255)); // yellow XOR white
    line.DrawPreview(t.view);
    EXPECT_EQ(t.canvas.Image(), before); // drawn twice: gone
    EXPECT_EQ(t.canvas.Mode, Canvas::DrawMode::Normal);

    line.UpdateVertex(t.view, 1, 200 + 7.5 * 4, 150 - 7.5 * 3, false);
    EXPECT_EQ(line.Segment->EndPoint.x, 4);
    EXPECT_EQ(line.Segment->EndPoint.y, 3);
    EXPECT_EQ(line.Segment->EndPoint.z, 5); // the depth stays
    EXPECT_EQ(line.Segment->StartPoint.x, 0);
}
