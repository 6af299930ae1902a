#include <gtest/gtest.h>

#include <cmath>

#include "camera/clsPerspective.h"

using namespace ov;

namespace {

// Looks along -Y from the origin with Z up; the horizon plane normal is Z, so the
// horizon is the line v = 0 across the whole window.
clsPerspective LevelCamera() {
    clsPerspective c;
    c.EyePoint.SetPoint(0, 0, 0);
    c.Normal.SetPoint(0, -1, 0);
    c.ViewUp.SetPoint(0, 0, 1);
    c.Distance = 1;
    c.UMin = -2;
    c.UMax = 2;
    c.VMin = -1;
    c.VMax = 1;
    return c;
}

} // namespace

TEST(Horizon, LevelViewGivesAHorizontalLineAcrossTheWindow) {
    const clsPerspective c = LevelCamera();
    const clsLine2D h = c.GetHorizonLine();
    EXPECT_FALSE(h.IsDegenerate());
    EXPECT_DOUBLE_EQ(h.StartPoint.x, -2);
    EXPECT_DOUBLE_EQ(h.EndPoint.x, 2);
    EXPECT_NEAR(h.StartPoint.y, 0, 1e-15);
    EXPECT_NEAR(h.EndPoint.y, 0, 1e-15);
}

TEST(Horizon, LookingDownShiftsItUpAndOffTheWindow) {
    clsPerspective c = LevelCamera();
    c.Normal.SetPoint(0, -1, -0.25); // pitched down: the horizon rises to v = 0.25
    clsLine2D h = c.GetHorizonLine();
    EXPECT_NEAR(h.StartPoint.y, 0.25, 1e-12);
    EXPECT_NEAR(h.EndPoint.y, 0.25, 1e-12);

    c.Normal.SetPoint(0, -1, -2); // the horizon lies above the window
    EXPECT_TRUE(c.GetHorizonLine().IsDegenerate());

    clsPerspective down = LevelCamera();
    down.Normal.SetPoint(0, 0, -1); // straight down the horizon normal
    down.ViewUp.SetPoint(0, 1, 0);
    EXPECT_TRUE(down.GetHorizonLine().IsDegenerate());
}

TEST(Horizon, RolledCameraGivesAVerticalOrSlantedLine) {
    clsPerspective c = LevelCamera();
    c.ViewUp.SetPoint(1, 0, 0); // rolled by 90 degrees: the horizon runs up the picture
    clsLine2D h = c.GetHorizonLine();
    EXPECT_FALSE(h.IsDegenerate());
    EXPECT_NEAR(h.StartPoint.x, 0, 1e-12);
    EXPECT_NEAR(h.EndPoint.x, 0, 1e-12);
    EXPECT_DOUBLE_EQ(h.StartPoint.y, -1);
    EXPECT_DOUBLE_EQ(h.EndPoint.y, 1);

    // Rolled and yawed so that the vertical horizon falls outside the window.
    c.Normal.SetPoint(0, -1, 3);
    EXPECT_TRUE(c.GetHorizonLine().IsDegenerate());

    // Rolled by 45 degrees: a diagonal cut to the window, in either orientation.
    for (double sign : {1.0, -1.0}) {
        clsPerspective d = LevelCamera();
        d.ViewUp.SetPoint(sign, 0, 1);
        const clsLine2D diag = d.GetHorizonLine();
        ASSERT_FALSE(diag.IsDegenerate());
        for (const clsPoint2D& p : {diag.StartPoint, diag.EndPoint}) {
            EXPECT_GE(p.x, d.UMin - 1e-12);
            EXPECT_LE(p.x, d.UMax + 1e-12);
            EXPECT_GE(p.y, d.VMin - 1e-12);
            EXPECT_LE(p.y, d.VMax + 1e-12);
            EXPECT_NEAR(std::fabs(p.x), std::fabs(p.y), 1e-12); // on the diagonal through the centre
        }
        EXPECT_NEAR(std::fabs(diag.EndPoint.x - diag.StartPoint.x), 2, 1e-12);
    }
}

TEST(Horizon, OffsetDoesNotMoveTheVanishingLine) {
    clsPerspective c = LevelCamera();
    c.Normal.SetPoint(0, -1, -0.25);
    const clsLine2D a = c.GetHorizonLine();
    c.HorizonOffset = 100;
    const clsLine2D b = c.GetHorizonLine();
    EXPECT_EQ(a.StartPoint.y, b.StartPoint.y);
    EXPECT_EQ(a.EndPoint.x, b.EndPoint.x);
}

TEST(Horizon, DefaultCameraShowsTheHorizonAboveTheCentre) {
    const clsPerspective c; // looks down at the origin from (20, 20, 10)
    const clsLine2D h = c.GetHorizonLine();
    ASSERT_FALSE(h.IsDegenerate());
    // The vanishing point of any horizontal direction lies on the horizon.
    clsPoint3D U, V, W;
    c.GetBaseVectors(U, V, W);
    for (const clsPoint3D& d : {clsPoint3D(-1, -1, 0), clsPoint3D(-1, -0.8, 0)}) {
        const double u = -c.Distance * d.DotProduct(U) / d.DotProduct(W);
        const double v = -c.Distance * d.DotProduct(V) / d.DotProduct(W);
        // On the horizontal line of the horizon, inside or beyond the window.
        EXPECT_NEAR(h.StartPoint.y, v, 1e-12);
        EXPECT_NEAR(h.EndPoint.y, v, 1e-12);
        EXPECT_TRUE(std::isfinite(u));
    }
    EXPECT_GT(h.StartPoint.y, 0);
    EXPECT_LT(h.StartPoint.y, c.VMax);
}
