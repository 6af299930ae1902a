#include <gtest/gtest.h>

#include <cmath>

#include "geometry/clsPoint2D.h"
#include "geometry/clsPoint3D.h"
#include "io/NumberText.h"
#include "io/clsStream.h"

using namespace ov;

namespace {

void ExpectPoint(const clsPoint3D& p, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

} // namespace

TEST(Point3D, NormalizeLeavesZeroAloneAndScalesOthersToUnitLength) {
    clsPoint3D zero;
    zero.Normalize();
    ExpectPoint(zero, 0, 0, 0, 0);

    clsPoint3D p(3, 0, 4);
    p.Normalize();
    ExpectPoint(p, 0.6, 0, 0.8);
    EXPECT_NEAR(p.GetLength(), 1, 1e-15);

    clsPoint3D tiny(1e-200, 0, 0); // x*x underflows to 0: no division by zero
    tiny.Normalize();
    EXPECT_FALSE(std::isnan(tiny.x));
}

TEST(Point3D, CrossAndDotProductsLeaveTheOperandsUnchanged) {
    const clsPoint3D a(1, 0, 0), b(0, 1, 0);
    ExpectPoint(a.CrossProduct(b), 0, 0, 1);
    ExpectPoint(b.CrossProduct(a), 0, 0, -1);
    ExpectPoint(a, 1, 0, 0, 0);
    ExpectPoint(b, 0, 1, 0, 0);
    ExpectPoint(clsPoint3D(1, 2, 3).CrossProduct(clsPoint3D(4, 5, 6)), -3, 6, -3);
    EXPECT_DOUBLE_EQ(clsPoint3D(1, 2, 3).DotProduct(clsPoint3D(4, -5, 6)), 12);
}

TEST(Point3D, ArithmeticChangesThePointItself) {
    clsPoint3D p(1, 2, 3);
    p.Translate(1, 1, 1);
    ExpectPoint(p, 2, 3, 4, 0);
    p.Multiply(-2);
    ExpectPoint(p, -4, -6, -8, 0);
    p.Add(clsPoint3D(4, 6, 8));
    ExpectPoint(p, 0, 0, 0, 0);
    p.Subtract(clsPoint3D(1, -1, 2));
    ExpectPoint(p, -1, 1, -2, 0);
    p.Invert();
    ExpectPoint(p, 1, -1, 2, 0);
    double x, y, z;
    p.GetPoint(x, y, z);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, -1);
    EXPECT_EQ(z, 2);
}

TEST(Point3D, DuplicateIsIndependent) {
    clsPoint3D a(1, 2, 3);
    clsPoint3D b = a.Duplicate();
    b.Translate(5, 5, 5);
    ExpectPoint(a, 1, 2, 3, 0);
}

TEST(Point3D, RotateRelTurnsAboutTheCentreInXThenYThenZOrder) {
    clsPoint3D p(2, 1, 0);
    const clsPoint3D c(1, 1, 0);
    p.RotateRel(0, 0, 90, &c);
    ExpectPoint(p, 1, 2, 0);

    clsPoint3D q(0, 1, 0);
    q.RotateRel(90, 0, 0, nullptr); // about the origin: Y goes to Z
    ExpectPoint(q, 0, 0, 1);

    // X first, then Z: (0,1,0) -> (0,0,1) stays on the Z axis under the Z turn.
    clsPoint3D r(0, 1, 0);
    r.RotateRel(90, 0, 90, nullptr);
    ExpectPoint(r, 0, 0, 1);
    // Z alone would have taken it to (-1, 0, 0): the order matters.
    clsPoint3D s(0, 1, 0);
    s.RotateRel(0, 0, 90, nullptr);
    ExpectPoint(s, -1, 0, 0);
}

TEST(Point3D, StretchScalesAboutTheCentre) {
    clsPoint3D p(2, 2, 2);
    const clsPoint3D c(1, 1, 1);
    p.Stretch(2, 2, 2, &c);
    ExpectPoint(p, 3, 3, 3);
    clsPoint3D q(2, 3, 4);
    q.Stretch(0.5, -1, 0, nullptr);
    ExpectPoint(q, 1, -3, 0);
}

TEST(Point3D, RecordRoundTripAndMissingKeys) {
    clsStream s;
    clsPoint3D(1.5, -0.125, 1e-7).WriteData(s);
    LineList lines;
    s.WriteData(lines, 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "x = 1.5");
    EXPECT_EQ(lines[1], "y = -.125");
    EXPECT_EQ(lines[2], "z = 1E-07");

    clsStream parsed;
    parsed.ParseData(lines);
    clsPoint3D p(9, 9, 9);
    p.ReadData(parsed);
    ExpectPoint(p, 1.5, -0.125, 1e-7, 0);

    clsPoint3D q(9, 9, 9);
    q.ReadData(clsStream());
    ExpectPoint(q, 0, 0, 0, 0);
}

TEST(Point3D, CoordinatesTextUsesTheInstalledNumberFormat) {
    EXPECT_EQ(clsPoint3D(1.5, 0, -2).GetCoordinates(), "(1.5, 0, -2)");
    EXPECT_EQ(clsPoint2D(0.25, 3).GetCoordinates(), "(0.25, 3)");
    SetLocaleNumberFormatter([](double v) {
        std::string t = std::to_string(v);
        for (auto& ch : t)
            if (ch == '.') ch = ',';
        while (t.back() == '0') t.pop_back();
        if (t.back() == ',') t.pop_back();
        return t;
    });
    EXPECT_EQ(clsPoint3D(1.5, 0, -2).GetCoordinates(), "(1,5, 0, -2)");
    SetLocaleNumberFormatter(nullptr);
    EXPECT_EQ(clsPoint3D(1.5, 0, -2).GetCoordinates(), "(1.5, 0, -2)");
}

TEST(Point2D, BehavesAsThePlanarNamesake) {
    clsPoint2D p(3, 4);
    EXPECT_DOUBLE_EQ(p.GetLength(), 5);
    p.Normalize();
    EXPECT_DOUBLE_EQ(p.x, 0.6);
    EXPECT_DOUBLE_EQ(p.y, 0.8);
    clsPoint2D z;
    z.Normalize();
    EXPECT_EQ(z.x, 0);
    clsPoint2D a(1, 2);
    a.Add(clsPoint2D(2, 2));
    a.Subtract(clsPoint2D(1, 0));
    a.Invert();
    EXPECT_EQ(a.x, -2);
    EXPECT_EQ(a.y, -4);
    EXPECT_EQ(a.DotProduct(clsPoint2D(1, -1)), 2);

    clsStream s;
    clsPoint2D(7, -8).WriteData(s);
    EXPECT_EQ(s.Items.size(), 2u); // no "z" for a planar point
    clsPoint2D r;
    r.ReadData(s);
    EXPECT_EQ(r.x, 7);
    EXPECT_EQ(r.y, -8);
}
