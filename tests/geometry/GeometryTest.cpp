#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "geometry/clsLine3D.h"
#include "geometry/clsMatrix3D.h"
#include "geometry/clsRect.h"
#include "io/NumberText.h"
#include "io/clsStream.h"
#include "RecordText.h"

using namespace ov;
using ov::records::ReadInto;
using ov::records::RecordText;

namespace {

using Values = std::vector<double>;
Values Vals(const clsPoint2D& p) { return {p.x, p.y}; }
Values Vals(const clsPoint3D& p) { return {p.x, p.y, p.z}; }
Values Vals(const clsRect& r) { return {r.Left, r.Bottom, r.Right, r.Top}; }
Values Vals(const clsLine2D& l) { return {l.StartPoint.x, l.StartPoint.y, l.EndPoint.x, l.EndPoint.y}; }
Values Vals(const clsMatrix3D& m) {
    Values v = Vals(m.RefPoint);
    for (int k = 0; k < 9; ++k) v.push_back(m.Elem(k / 3 + 1, k % 3 + 1));
    return v;
}

template <class T> testing::AssertionResult Near(const T& a, const T& b, double tol = 1e-12) {
    const Values x = Vals(a), y = Vals(b);
    double d = 0;
    for (std::size_t i = 0; i < x.size(); ++i) d += std::fabs(x[i] - y[i]);
    if (d <= tol) return testing::AssertionSuccess();
    return testing::AssertionFailure() << testing::PrintToString(x) << " is not " << testing::PrintToString(y);
}

clsRect MakeRect(double left, double bottom, double right, double top) {
    clsRect r;
    return r.SetValues(left, bottom, right, top), r;
}
const clsRect kSquare = MakeRect(0, 0, 10, 10);

} // namespace

TEST(Point, NormalizeKeepsZeroOperationsChangeThePointRotationsTurnXThenYThenZ) {
    clsPoint3D zero, p(3, 0, 4), tiny(1e-200, 0, 0); // tiny: x*x underflows to 0
    clsPoint2D zero2, p2(3, 4);
    for (clsPoint3D* q : {&zero, &p, &tiny}) q->Normalize();
    zero2.Normalize(), p2.Normalize();
    EXPECT_TRUE(Near(zero, {}, 0) && Near(zero2, {}, 0) && !std::isnan(tiny.x));
    EXPECT_TRUE(Near(p, {0.6, 0, 0.8}) && Near(p2, {0.6, 0.8}));
    p.Translate(0.4, 2, 2.2), p.Multiply(-2), p.Subtract({-4, -6, -9}), p.Invert();
    p2.Add({0.4, 1.2}), p2.Subtract({2, 4}), p2.Invert();
    double x, y, z;
    p.GetPoint(x, y, z);
    EXPECT_TRUE(Near(clsPoint3D(x, y, z), {-2, -2, -3}) && Near(p2, {1, 2}));
    EXPECT_TRUE(Near(clsPoint3D(1, 2, 3).CrossProduct({4, 5, 6}), {-3, 6, -3}));
    EXPECT_EQ(clsPoint3D(1, 2, 3).DotProduct({4, -5, 6}) + p2.DotProduct({1, -3}), 12 - 5);
    const clsPoint3D c(1, 1, 0), c1(1, 1, 1);
    clsPoint3D r(2, 1, 0), q(0, 1, 0), s(2, 2, 2), t(2, 3, 4);
    r.RotateRel(0, 0, 90, &c), s.Stretch(2, 2, 2, &c1), t.Stretch(0.5, -1, 0, nullptr);
    q.RotateRel(90, 0, 90, nullptr); // X sends it to Z, where Z keeps it; Z first would give (-1, 0, 0)
    EXPECT_TRUE(Near(r, {1, 2, 0}) && Near(q, {0, 0, 1}) && Near(s, {3, 3, 3}) && Near(t, {1, -3, 0}));
}

TEST(Point, CoordinatesTextUsesTheLocaleFormatter) { // records: in the line, camera and matrix records
    const auto coordinates = [] {
        return clsPoint3D(1.5, 0, -2).GetCoordinates() + clsPoint2D(0.25, 3).GetCoordinates();
    };
    EXPECT_EQ(coordinates(), "(1.5, 0, -2)(0.25, 3)");
    SetLocaleNumberFormatter([](double v) { return "<" + GeneralNumberText(v) + ">"; });
    EXPECT_EQ(coordinates(), "(<1.5>, <0>, <-2>)(<0.25>, <3>)");
    SetLocaleNumberFormatter(nullptr);
}

TEST(Line, PointsTransformsAndNestedRecords) {
    clsLine3D l({1, 0, 0}, {2, 0, 0});
    const clsPoint3D c(0, 2, 0);
    l.TranslateAdd({1, 1, 1}), l.TranslateSub({0, 1, 1}), l.RotateRel(0, 0, 90, nullptr), l.Stretch(1, 3, 1, &c);
    EXPECT_TRUE(Near(l.StartPoint, {0, 2, 0}) && Near(l.EndPoint, {0, 5, 0}));
    EXPECT_TRUE(Near(l.GetPoint(-1), {0, -1, 0}) && Near(l.GetVector(), {0, 3, 0}));
    EXPECT_EQ(RecordText(clsLine3D({1, 2, 3}, {4, 5, 6})),
              "StartPoint = {|  x = 1|  y = 2|  z = 3|}|EndPoint = {|  x = 4|  y = 5|  z = 6|}|");
    l = ReadInto(l.Duplicate(), "StartPoint = {|  x = 7|}"); // what is missing reads as 0
    EXPECT_TRUE(Near(l.StartPoint, {7, 0, 0}, 0) && Near(l.EndPoint, {}, 0));
    EXPECT_TRUE(Near(ReadInto(clsLine2D(5, 5, 5, 5), "EndPoint = {|  y = 2|}"), {0, 0, 0, 2}, 0));
    EXPECT_TRUE(Near(ReadInto(clsLine2D(), RecordText(clsLine2D(1, 2, -3, 4.5))), {1, 2, -3, 4.5}, 0));
    clsLine2D m;
    EXPECT_TRUE(m.IsDegenerate() && !clsLine2D(1, 1, 1, 1.0000001).IsDegenerate()); // exactly equal ends only
    m.Assign(0, 0, 2, 2), m.Translate(1, -1);
    EXPECT_TRUE(Near(m.GetPoint(0.25), {1.5, -0.5}, 0));
}

TEST(Line, CombineMergesOverlappingNearCollinearSegmentsOnly) {
    const clsLine2D x(0, 0, 10, 0);
    const struct { clsLine2D base, other; bool merged; clsLine2D result; } cases[] = {
        {x, {5, 1, 20, 1}, true, {0, 0, 20, 1}}, {x, {5, 2, 20, 2}, false, x}, // squared distance 1 is near, 4 not
        {x, {20, 0, 30, 0}, false, x}, {x, {10, 0, 12, 0}, false, x}, {x, {-3, 0, 0, 0}, false, x}, // apart, touching
        {x, {5, 0, -5, 0}, true, {-5, 0, 10, 0}}, {x, {15, 0, 5, 0}, true, {0, 0, 15, 0}}, // over one end
        {x, {2, 0, 8, 0}, true, x}, {x, {0, 1, 5, 1}, true, {0, 1, 10, 0}}, // inside; from the start
        {x, {-5, 0, 15, 0}, true, {-5, 0, 15, 0}}, {x, {15, 0, -5, 0}, true, {-5, 0, 15, 0}}, // covers it
        {{0, 0, 0.5, 10}, {0.25, 5, 1, 20}, true, {0, 0, 1, 20}}, // mostly vertical: measured along y
        {{1, 1, 1, 1}, {0, 0, 2, 2}, false, {1, 1, 1, 1}},        // degenerate segments never merge
        {{0, 0, 2, 2}, {1, 1, 1, 1}, false, {0, 0, 2, 2}},
    };
    for (const auto& k : cases) {
        clsLine2D l = k.base;
        SCOPED_TRACE(testing::PrintToString(Vals(k.base)) + " + " + testing::PrintToString(Vals(k.other)));
        EXPECT_EQ(l.Combine(k.other), k.merged);
        EXPECT_TRUE(Near(l, k.result));
    }
}

TEST(Matrix3D, RotationsAreRightHandedStartFromTheIdentityAndTurnXThenYThenZ) {
    clsMatrix3D m;
    for (int bad : {0, 4}) {
        EXPECT_THROW(m.Elem(bad, 1), std::out_of_range);
        EXPECT_THROW(std::as_const(m).Elem(1, bad), std::out_of_range);
    }
    m.SetRotationZ(90);
    EXPECT_TRUE(Near(m.TransformPoint({1, 0, 0}), {0, 1, 0}));
    m.SetRotationX(90);
    EXPECT_TRUE(Near(m.TransformPoint({0, 1, 0}), {0, 0, 1}));
    m.SetRotationY(90);
    EXPECT_TRUE(Near(m.TransformPoint({0, 0, 1}), {1, 0, 0}));
    m.TranslateMatrix(5, 5, 5), m.SetRotationMatrix(0, 0, 0);
    EXPECT_TRUE(Near(m, clsMatrix3D(), 0));
    m.SetRotationMatrix(90, 90, 90); // X sends Y to Z, Y sends Z to X, Z sends X to Y
    EXPECT_TRUE(Near(m.TransformPoint({0, 1, 0}), {0, 1, 0}));
}

TEST(Matrix3D, TransformMatrixAppendsAboutTheCentreEvenWithItselfAndInverts) {
    clsMatrix3D a, b, singular;
    const clsPoint3D centre(0.5, -1, 2), p(3, -2, 7);
    a.SetRotationX(20), a.TranslateMatrix(1, 2, 3);
    b.SetRotationMatrix(0, -35, 10), b.TranslateMatrix(-4, 0.5, 2);
    clsPoint3D expected = a.TransformPoint(p); // p -> ((p*A + t) - C)*B + s + C
    expected.Subtract(centre), expected = b.TransformPoint(expected), expected.Add(centre);
    a.TransformMatrix(b, &centre);
    EXPECT_TRUE(Near(a.TransformPoint(p), expected));
    clsMatrix3D viaCopy = b;
    viaCopy.TransformMatrix(clsMatrix3D(b), &centre);
    b.TransformMatrix(b, &centre); // the argument may be the matrix itself
    EXPECT_TRUE(Near(b, viaCopy));
    for (int e = 0; e < 9; ++e) b.Elem(e / 3 + 1, e % 3 + 1) = (e * e) % 7 - 2.5; // every cofactor differs
    a = b;
    a.TransformMatrix(b.Inverse(), nullptr);
    EXPECT_TRUE(Near(a, clsMatrix3D()) && Near(b.UnTransformPoint(b.TransformPoint(p)), p));
    singular.Elem(2, 1) = singular.Elem(2, 2) = 0, singular.RefPoint.SetPoint(4, 5, 6);
    EXPECT_TRUE(b.GetDeterminant() == -6 && singular.GetDeterminant() == 0);
    EXPECT_TRUE(Near(singular.Inverse(), clsMatrix3D(), 0)); // a singular map inverts to the identity
}

TEST(Matrix3D, RecordRowsAndMissingElementsReadAsZero) {
    EXPECT_EQ(RecordText(clsMatrix3D()), "RefPoint = {|  x = 0|  y = 0|  z = 0|}|d11 = 1|d12 = 0|d13 = 0|d21 = 0|"
                                         "d22 = 1|d23 = 0|d31 = 0|d32 = 0|d33 = 1|");
    clsMatrix3D m;
    m.RotateMatrix(10, 20, 30, nullptr), m.TranslateMatrix(1.5, -2, 1e-9);
    EXPECT_TRUE(Near(ReadInto(clsMatrix3D(), RecordText(m)), m, 1e-14));
    EXPECT_TRUE(Near(ReadInto(m, "").TransformPoint({1, 10, 100}), {}, 0));
}

TEST(Rect, SizePositionInsideAndAxisOrder) {
    clsRect r;
    r.Assign(1, 2, 10, 20);
    EXPECT_TRUE(Near(r, MakeRect(1, 2, 11, 22), 0) && r.GetCenterX() == 6 && r.GetCenterY() == 12);
    r.Translate(-1, -2), r.SetSize(4, 5); // keeps the top-left corner
    EXPECT_TRUE(Near(r, MakeRect(0, 15, 4, 20), 0));
    r.Offset(1, 2, 3, 4); // shrinks by the margins
    EXPECT_TRUE(Near(r, MakeRect(1, 19, 1, 18), 0));
    EXPECT_TRUE(Near(kSquare.DupOffset(-1, -2, -3, -4), MakeRect(-1, -4, 13, 12), 0));
    r = MakeRect(10, 5, 0, 0); // closed, whatever the order of the edges
    EXPECT_TRUE(r.IsInside(5, 2) && r.IsInside(10, 5) && !r.IsInside(11, 2) && !r.IsInside(5, -1));
    r.CorrectAxes();
    EXPECT_TRUE(Near(r, MakeRect(0, 0, 10, 5), 0));
}

TEST(RectClip, CutsToTheVisiblePartKeepingTheDirection) {
    // Invisible segments stay unchanged. Near a corner both edges report a crossing within 0.01 (a thousandth).
    const struct { clsLine2D in; bool visible; clsLine2D out = {}; double tol = 1e-9; } cases[] = {
        {{-5, 5, 15, 5}, true, {0, 5, 10, 5}},    {{15, 5, -5, 5}, true, {10, 5, 0, 5}},
        {{2, 2, 8, 8}, true, {2, 2, 8, 8}},       {{5, 5, 20, 5}, true, {5, 5, 10, 5}},
        {{20, 5, 5, 5}, true, {10, 5, 5, 5}},     {{-5, 0, 15, 0}, true, {0, 0, 10, 0}},
        {{5, -5, 5, 15}, true, {5, 0, 5, 10}},    {{-2, 5, 5, -2}, true, {0, 3, 3, 0}},
        {{0, 0, 20, 20}, true, {0, 0, 10, 10}},   {{-5, 5, 5, 15}, true, {0, 10, 0, 10}}, // through, or at, a corner
        {{4, -5, 6, 15}, true, {4.5, 0, 5.5, 10}}, {{-5, -5.001, 15, 15.001}, true, {0, 0, 10, 10}, 0.02},
        {{-5, 5.005, 5, 15.005}, true, {-0.005, 10, 0, 10.005}}, // passes outside the corner, within the tolerance
        {{5, 5, 15, 15.005}, true, {5, 5, 10, 10}, 0.02}, {{15, 15.005, 5, 5}, true, {10, 10, 5, 5}, 0.02},
        {{20, 20, 30, 30}, false}, {{20, 5, 20, 5}, false}, {{-10, 0, 0, -10}, false}, {{-5, 15, 5, 15}, false},
        {{15, -5, 15, 5}, false}, {{-5, 10.005, 5, 10.005}, false}, // the last within the tolerance of the top
    };
    for (const clsRect& r : {kSquare, MakeRect(10, 10, 0, 0)}) {
        for (const auto& k : cases) {
            clsLine2D l = k.in;
            SCOPED_TRACE(testing::PrintToString(Vals(k.in)));
            EXPECT_EQ(r.ClipLine(l), k.visible);
            EXPECT_TRUE(Near(l, k.visible ? k.out : k.in, k.tol));
        }
    }
}
