#include <gtest/gtest.h>

#include "geometry/clsLine2D.h"
#include "geometry/clsLine3D.h"
#include "io/clsStream.h"

using namespace ov;

namespace {

void ExpectLine(const clsLine2D& l, double x1, double y1, double x2, double y2, double tol = 1e-12) {
    EXPECT_NEAR(l.StartPoint.x, x1, tol);
    EXPECT_NEAR(l.StartPoint.y, y1, tol);
    EXPECT_NEAR(l.EndPoint.x, x2, tol);
    EXPECT_NEAR(l.EndPoint.y, y2, tol);
}

} // namespace

TEST(Line3D, PointsAlongTheSegmentAndBeyond) {
    const clsLine3D l(clsPoint3D(0, 0, 0), clsPoint3D(2, 4, 6));
    const clsPoint3D mid = l.GetPoint(0.5);
    EXPECT_EQ(mid.x, 1);
    EXPECT_EQ(mid.y, 2);
    EXPECT_EQ(mid.z, 3);
    const clsPoint3D back = l.GetPoint(-1);
    EXPECT_EQ(back.x, -2);
    EXPECT_EQ(back.z, -6);
    const clsPoint3D v = l.GetVector();
    EXPECT_EQ(v.y, 4);
}

TEST(Line3D, TransformsMoveBothEnds) {
    clsLine3D l(clsPoint3D(1, 0, 0), clsPoint3D(2, 0, 0));
    l.TranslateAdd(clsPoint3D(1, 1, 1));
    l.TranslateSub(clsPoint3D(0, 1, 1));
    EXPECT_EQ(l.StartPoint.x, 2);
    EXPECT_EQ(l.EndPoint.x, 3);
    EXPECT_EQ(l.EndPoint.y, 0);
    l.RotateRel(0, 0, 90, nullptr);
    EXPECT_NEAR(l.StartPoint.y, 2, 1e-12);
    EXPECT_NEAR(l.EndPoint.y, 3, 1e-12);
    const clsPoint3D c(0, 2, 0);
    l.Stretch(1, 3, 1, &c);
    EXPECT_NEAR(l.StartPoint.y, 2, 1e-12);
    EXPECT_NEAR(l.EndPoint.y, 5, 1e-12);

    clsLine3D copy = l.Duplicate();
    copy.Translate(10, 0, 0);
    EXPECT_NEAR(l.StartPoint.x, 0, 1e-12);
}

TEST(Line3D, RecordNestsTheTwoPointsAndToleratesMissingOnes) {
    clsStream s;
    clsLine3D(clsPoint3D(1, 2, 3), clsPoint3D(4, 5, 6)).WriteData(s);
    LineList lines;
    s.WriteData(lines, 0);
    const char* expected[] = {"StartPoint = {", "  x = 1", "  y = 2", "  z = 3", "}",
                              "EndPoint = {",   "  x = 4", "  y = 5", "  z = 6", "}"};
    ASSERT_EQ(lines.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(lines[i], expected[i]);

    clsStream partial;
    partial.CreateSubStream("StartPoint").SetDouble("x", 7);
    clsLine3D l(clsPoint3D(9, 9, 9), clsPoint3D(9, 9, 9));
    l.ReadData(partial);
    EXPECT_EQ(l.StartPoint.x, 7);
    EXPECT_EQ(l.StartPoint.y, 0);
    EXPECT_EQ(l.EndPoint.x, 0);
    EXPECT_EQ(l.EndPoint.z, 0);
}

TEST(Line2D, DegenerateMeansExactlyEqualEnds) {
    EXPECT_TRUE(clsLine2D(1, 1, 1, 1).IsDegenerate());
    EXPECT_FALSE(clsLine2D(1, 1, 1, 1.0000001).IsDegenerate());
    clsLine2D l;
    EXPECT_TRUE(l.IsDegenerate());
    l.Assign(0, 0, 2, 2);
    l.Translate(1, -1);
    ExpectLine(l, 1, -1, 3, 1);
    EXPECT_EQ(l.GetPoint(0.5).x, 2);
}

TEST(Line2D, CombineMergesNearCollinearOverlaps) {
    clsLine2D a(0, 0, 10, 0);
    EXPECT_TRUE(a.Combine(clsLine2D(5, 1, 20, 1)));
    ExpectLine(a, 0, 0, 20, 1);

    clsLine2D b(0, 0, 10, 0);
    EXPECT_FALSE(b.Combine(clsLine2D(5, 2, 20, 2))); // squared distance 4 is not near
    ExpectLine(b, 0, 0, 10, 0);

    clsLine2D c(0, 0, 10, 0);
    EXPECT_FALSE(c.Combine(clsLine2D(20, 0, 30, 0))); // collinear but apart
    EXPECT_FALSE(c.Combine(clsLine2D(-30, 0, -20, 0)));
    ExpectLine(c, 0, 0, 10, 0);
}

TEST(Line2D, CombineHandlesEveryOverlapArrangement) {
    struct Case {
        clsLine2D other;
        bool merged;
        double x1, y1, x2, y2;
    } cases[] = {
        {{-5, 0, 5, 0}, true, -5, 0, 10, 0},   // overlaps the start, same direction
        {{5, 0, -5, 0}, true, -5, 0, 10, 0},   // overlaps the start, reversed
        {{15, 0, 5, 0}, true, 0, 0, 15, 0},    // overlaps the end, reversed
        {{2, 0, 8, 0}, true, 0, 0, 10, 0},     // inside
        {{-5, 0, 15, 0}, true, -5, 0, 15, 0},  // covers it
        {{15, 0, -5, 0}, true, -5, 0, 15, 0},  // covers it, reversed
        {{10, 0, 12, 0}, false, 0, 0, 10, 0},  // only touches the end: not an overlap
        {{-3, 0, 0, 0}, false, 0, 0, 10, 0},   // only touches the start
        {{-5, 1, 25, -1}, true, -5, 1, 25, -1}, // slightly slanted, within the tolerance
    };
    for (const Case& k : cases) {
        clsLine2D l(0, 0, 10, 0);
        EXPECT_EQ(l.Combine(k.other), k.merged) << k.other.StartPoint.x << " " << k.other.EndPoint.x;
        ExpectLine(l, k.x1, k.y1, k.x2, k.y2);
    }
}

TEST(Line2D, CombineAlongAMostlyVerticalLineUsesTheYAxis) {
    clsLine2D l(0, 0, 0.5, 10);
    EXPECT_TRUE(l.Combine(clsLine2D(0.25, 5, 1, 20)));
    ExpectLine(l, 0, 0, 1, 20);
    clsLine2D d(1, 1, 1, 1);
    EXPECT_FALSE(d.Combine(clsLine2D(0, 0, 2, 2))); // degenerate segments never merge
    clsLine2D e(0, 0, 2, 2);
    EXPECT_FALSE(e.Combine(clsLine2D(1, 1, 1, 1)));
}

TEST(Line2D, RecordRoundTrip) {
    clsStream s;
    clsLine2D(1, 2, -3, 4.5).WriteData(s);
    clsLine2D l;
    l.ReadData(s);
    ExpectLine(l, 1, 2, -3, 4.5, 0);
    clsLine2D m(5, 5, 5, 5);
    clsStream onlyStart;
    onlyStart.CreateSubStream("StartPoint").SetDouble("y", 2);
    m.ReadData(onlyStart);
    ExpectLine(m, 0, 2, 0, 0, 0);
}
