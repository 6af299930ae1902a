#include <gtest/gtest.h>

#include <random>

#include "geometry/clsRect.h"

using namespace ov;

namespace {

clsRect Square10() {
    clsRect r;
    r.SetValues(0, 0, 10, 10);
    return r;
}

void ExpectLine(const clsLine2D& l, double x1, double y1, double x2, double y2, double tol = 1e-9) {
    EXPECT_NEAR(l.StartPoint.x, x1, tol);
    EXPECT_NEAR(l.StartPoint.y, y1, tol);
    EXPECT_NEAR(l.EndPoint.x, x2, tol);
    EXPECT_NEAR(l.EndPoint.y, y2, tol);
}

} // namespace

TEST(Rect, SizeAndPositionOperations) {
    clsRect r;
    r.Assign(1, 2, 10, 20);
    EXPECT_EQ(r.Left, 1);
    EXPECT_EQ(r.Bottom, 2);
    EXPECT_EQ(r.Right, 11);
    EXPECT_EQ(r.Top, 22);
    EXPECT_EQ(r.GetWidth(), 10);
    EXPECT_EQ(r.GetHeight(), 20);
    EXPECT_EQ(r.GetCenterX(), 6);
    EXPECT_EQ(r.GetCenterY(), 12);
    r.Translate(-1, -2);
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Top, 20);
    r.SetSize(4, 5); // keeps the top-left corner
    EXPECT_EQ(r.Right, 4);
    EXPECT_EQ(r.Bottom, 15);

    clsRect s = Square10();
    s.Offset(1, 1, 1, 1);
    EXPECT_EQ(s.Left, 1);
    EXPECT_EQ(s.Bottom, 1);
    EXPECT_EQ(s.Right, 9);
    EXPECT_EQ(s.Top, 9);
    const clsRect grown = Square10().DupOffset(-1, -2, -3, -4);
    EXPECT_EQ(grown.Left, -1);
    EXPECT_EQ(grown.Top, 12);
    EXPECT_EQ(grown.Right, 13);
    EXPECT_EQ(grown.Bottom, -4);
}

TEST(Rect, InsideWorksForEitherEdgeOrderUntilCorrected) {
    clsRect r;
    r.SetValues(10, 0, 0, 5);
    EXPECT_TRUE(r.IsInside(5, 2));
    EXPECT_TRUE(r.IsInside(10, 5)); // edges count as inside
    EXPECT_FALSE(r.IsInside(11, 2));
    r.CorrectAxes();
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Right, 10);
    r.SetValues(0, 5, 10, 0);
    r.CorrectAxes();
    EXPECT_EQ(r.Bottom, 0);
    EXPECT_EQ(r.Top, 5);
}

TEST(RectClip, ListedCases) {
    const clsRect r = Square10();
    struct Case {
        clsLine2D in;
        bool visible;
        clsLine2D out;
    } cases[] = {
        {{-5, 5, 15, 5}, true, {0, 5, 10, 5}},
        {{15, 5, -5, 5}, true, {10, 5, 0, 5}}, // keeps its direction
        {{2, 2, 8, 8}, true, {2, 2, 8, 8}},
        {{5, 5, 20, 5}, true, {5, 5, 10, 5}},
        {{20, 5, 5, 5}, true, {10, 5, 5, 5}},
        {{20, 20, 30, 30}, false, {20, 20, 30, 30}},
        {{-5, 0, 15, 0}, true, {0, 0, 10, 0}}, // along the bottom edge
        {{5, -5, 5, 15}, true, {5, 0, 5, 10}},
        {{-5, 5, 5, 15}, true, {0, 10, 0, 10}}, // touches the top-left corner only
        {{20, 5, 20, 5}, false, {20, 5, 20, 5}}, // a point outside
        {{-10, 0, 0, -10}, false, {-10, 0, 0, -10}}, // misses the corner by far
    };
    for (const Case& k : cases) {
        clsLine2D l = k.in;
        EXPECT_EQ(r.ClipLine(l), k.visible) << k.in.StartPoint.GetCoordinates() << k.in.EndPoint.GetCoordinates();
        ExpectLine(l, k.out.StartPoint.x, k.out.StartPoint.y, k.out.EndPoint.x, k.out.EndPoint.y);
    }
}

TEST(RectClip, ReversedEdgesAreOrderedFirst) {
    clsRect r;
    r.SetValues(10, 10, 0, 0);
    clsLine2D l(-5, 5, 15, 5);
    EXPECT_TRUE(r.ClipLine(l));
    ExpectLine(l, 0, 5, 10, 5);
    EXPECT_EQ(r.Left, 10); // the rectangle itself is not reordered
}

TEST(RectClip, SegmentsNearACornerKeepTheirVisiblePart) {
    const clsRect r = Square10();
    // From the centre out through a point just beyond the top-right corner: both the
    // right and the top edge report a crossing within the tolerance (0.01).
    clsLine2D out(5, 5, 15, 15.005);
    EXPECT_TRUE(r.ClipLine(out));
    EXPECT_EQ(out.StartPoint.x, 5);
    EXPECT_EQ(out.StartPoint.y, 5);
    EXPECT_NEAR(out.EndPoint.x, 10, 0.02);
    EXPECT_NEAR(out.EndPoint.y, 10, 0.02);

    // The same from outside in.
    clsLine2D in(15, 15.005, 5, 5);
    EXPECT_TRUE(r.ClipLine(in));
    EXPECT_NEAR(in.StartPoint.x, 10, 0.02);
    EXPECT_EQ(in.EndPoint.x, 5);

    // A diagonal through two opposite corners, both ends outside: four crossings.
    clsLine2D diag(-5, -5.001, 15, 15.001);
    EXPECT_TRUE(r.ClipLine(diag));
    EXPECT_NEAR(diag.StartPoint.x, 0, 0.02);
    EXPECT_NEAR(diag.StartPoint.y, 0, 0.02);
    EXPECT_NEAR(diag.EndPoint.x, 10, 0.02);
    EXPECT_NEAR(diag.EndPoint.y, 10, 0.02);

    // Exactly through a corner and the centre: right and top meet at the same parameter.
    clsLine2D exact(0, 0, 20, 20);
    EXPECT_TRUE(r.ClipLine(exact));
    ExpectLine(exact, 0, 0, 10, 10);
}

TEST(RectClip, ClippedSegmentsStayOnTheirLineAndInsideForRandomInput) {
    const clsRect r = Square10();
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-10, 20);
    const double eps = 0.01 + 1e-9;
    for (int k = 0; k < 20000; ++k) {
        const clsLine2D original(u(rng), u(rng), u(rng), u(rng));
        clsLine2D l = original;
        const bool visible = r.ClipLine(l);
        // Sample the original: is any part strictly inside?
        bool someInside = false;
        for (int i = 0; i <= 200 && !someInside; ++i) {
            const clsPoint2D p = original.GetPoint(i / 200.0);
            someInside = p.x > 0.05 && p.x < 9.95 && p.y > 0.05 && p.y < 9.95;
        }
        if (someInside) {
            EXPECT_TRUE(visible);
        }
        if (!visible) continue;
        for (const clsPoint2D& p : {l.StartPoint, l.EndPoint}) {
            EXPECT_GT(p.x, -eps);
            EXPECT_LT(p.x, 10 + eps);
            EXPECT_GT(p.y, -eps);
            EXPECT_LT(p.y, 10 + eps);
        }
        // Direction is kept: the clipped vector points the same way as the original.
        const double dot = (l.EndPoint.x - l.StartPoint.x) * (original.EndPoint.x - original.StartPoint.x) +
                           (l.EndPoint.y - l.StartPoint.y) * (original.EndPoint.y - original.StartPoint.y);
        EXPECT_GE(dot, 0);
    }
}
