#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "geometry/clsMatrix3D.h"
#include "io/clsStream.h"

using namespace ov;

namespace {

void ExpectPoint(const clsPoint3D& p, double x, double y, double z, double tol = 1e-12) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

void ExpectSameMatrix(const clsMatrix3D& a, const clsMatrix3D& b, double tol) {
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(a.Elem(i, j), b.Elem(i, j), tol) << i << "," << j;
    ExpectPoint(a.RefPoint, b.RefPoint.x, b.RefPoint.y, b.RefPoint.z, tol);
}

bool IsIdentity(const clsMatrix3D& m) {
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            if (m.Elem(i, j) != (i == j ? 1 : 0)) return false;
    return m.RefPoint.x == 0 && m.RefPoint.y == 0 && m.RefPoint.z == 0;
}

} // namespace

TEST(Matrix3D, NewMatrixIsTheIdentityAndBadIndicesThrow) {
    clsMatrix3D m;
    EXPECT_TRUE(IsIdentity(m));
    EXPECT_THROW(m.Elem(0, 1), std::out_of_range);
    EXPECT_THROW(m.Elem(1, 4), std::out_of_range);
    const clsMatrix3D& c = m;
    EXPECT_THROW(c.Elem(4, 4), std::out_of_range);
}

TEST(Matrix3D, ElementaryRotationsAreRightHanded) {
    clsMatrix3D m;
    m.SetRotationZ(90);
    ExpectPoint(m.TransformPoint({1, 0, 0}), 0, 1, 0);
    m.SetRotationX(90);
    ExpectPoint(m.TransformPoint({0, 1, 0}), 0, 0, 1);
    m.SetRotationY(90);
    ExpectPoint(m.TransformPoint({0, 0, 1}), 1, 0, 0);
    // Each SetRotation starts from the identity, dropping any translation.
    m.TranslateMatrix(5, 5, 5);
    m.SetRotationZ(0);
    EXPECT_TRUE(IsIdentity(m));
}

TEST(Matrix3D, SetRotationMatrixTurnsAboutXThenYThenZ) {
    clsMatrix3D m;
    m.SetRotationMatrix(0, 0, 0);
    EXPECT_TRUE(IsIdentity(m));
    m.SetRotationMatrix(90, 0, 0);
    ExpectPoint(m.TransformPoint({0, 1, 0}), 0, 0, 1);
    // X by 90 sends Y to Z; Y by 90 then sends Z to X; Z by 90 sends X to Y.
    m.SetRotationMatrix(90, 90, 90);
    ExpectPoint(m.TransformPoint({0, 1, 0}), 0, 1, 0);
    // The same three turns composed by hand.
    clsMatrix3D x, y, z, composed;
    x.SetRotationX(30);
    y.SetRotationY(40);
    z.SetRotationZ(50);
    composed.TransformMatrix(x, nullptr);
    composed.TransformMatrix(y, nullptr);
    composed.TransformMatrix(z, nullptr);
    m.SetRotationMatrix(30, 40, 50);
    ExpectSameMatrix(m, composed, 1e-15);
}

TEST(Matrix3D, CompositionAboutACentre) {
    clsMatrix3D m;
    const clsPoint3D c(1, 1, 0);
    m.RotateMatrix(0, 0, 90, &c);
    ExpectPoint(m.TransformPoint({2, 1, 0}), 1, 2, 0);
    ExpectPoint(m.TransformPoint(c), 1, 1, 0); // the centre stays put

    clsMatrix3D s;
    const clsPoint3D c1(1, 1, 1);
    s.StretchMatrix(2, 3, 4, &c1);
    ExpectPoint(s.TransformPoint({2, 2, 2}), 3, 4, 5);

    // Appending applies after the existing map: translate, then rotate about the origin.
    clsMatrix3D t;
    t.TranslateMatrix(1, 0, 0);
    t.RotateMatrix(0, 0, 90, nullptr);
    ExpectPoint(t.TransformPoint({0, 0, 0}), 0, 1, 0);

    // The general rule p -> ((p*A + t) - C)*B + s + C with B carrying its own translation.
    clsMatrix3D a, b;
    a.SetRotationX(20);
    a.TranslateMatrix(1, 2, 3);
    b.SetRotationY(-35);
    b.TranslateMatrix(-4, 0.5, 2);
    const clsPoint3D centre(0.5, -1, 2), p(3, -2, 7);
    clsPoint3D expected = a.TransformPoint(p);
    expected.Subtract(centre);
    expected = b.TransformPoint(expected);
    expected.Add(centre);
    a.TransformMatrix(b, &centre);
    const clsPoint3D got = a.TransformPoint(p);
    ExpectPoint(got, expected.x, expected.y, expected.z);
}

TEST(Matrix3D, TransformMatrixWithItselfSquaresTheMap) {
    clsMatrix3D m;
    m.SetRotationZ(30);
    m.TranslateMatrix(1, 0, 0);
    m.TransformMatrix(m, nullptr);
    clsMatrix3D r;
    r.SetRotationZ(30);
    r.TranslateMatrix(1, 0, 0);
    const clsPoint3D once = r.TransformPoint({2, 3, 4});
    const clsPoint3D twice = r.TransformPoint(once);
    const clsPoint3D got = m.TransformPoint({2, 3, 4});
    ExpectPoint(got, twice.x, twice.y, twice.z);
}

TEST(Matrix3D, DeterminantAndInverse) {
    clsMatrix3D s;
    s.StretchMatrix(2, 2, 2, nullptr);
    EXPECT_DOUBLE_EQ(s.GetDeterminant(), 8);
    const clsMatrix3D inv = s.Inverse();
    for (int i = 1; i <= 3; ++i) EXPECT_DOUBLE_EQ(inv.Elem(i, i), 0.5);

    clsMatrix3D zeroRow;
    zeroRow.Elem(2, 1) = 0;
    zeroRow.Elem(2, 2) = 0;
    zeroRow.RefPoint.SetPoint(4, 5, 6);
    EXPECT_EQ(zeroRow.GetDeterminant(), 0);
    EXPECT_TRUE(IsIdentity(zeroRow.Inverse()));
    ExpectPoint(zeroRow.UnTransformPoint({1, 2, 3}), 1, 2, 3, 0);

    // A mirror has a negative determinant.
    clsMatrix3D mirror;
    mirror.StretchMatrix(-1, 1, 1, nullptr);
    EXPECT_DOUBLE_EQ(mirror.GetDeterminant(), -1);
}

TEST(Matrix3D, InverseUndoesAnyInvertibleAffineMap) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> u(-5, 5);
    for (int k = 0; k < 200; ++k) {
        clsMatrix3D m;
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) m.Elem(i, j) = u(rng);
        m.RefPoint.SetPoint(u(rng), u(rng), u(rng));
        if (std::fabs(m.GetDeterminant()) < 1e-2) continue;
        const clsPoint3D p(u(rng), u(rng), u(rng));
        const clsPoint3D back = m.UnTransformPoint(m.TransformPoint(p));
        ExpectPoint(back, p.x, p.y, p.z, 1e-8);
        // And the other way round: M composed with its inverse is the identity.
        clsMatrix3D product = m;
        product.TransformMatrix(m.Inverse(), nullptr);
        ExpectSameMatrix(product, clsMatrix3D(), 1e-8);
    }
}

TEST(Matrix3D, RecordRoundTripAndMissingElementsReadAsZero) {
    clsMatrix3D m;
    m.RotateMatrix(10, 20, 30, nullptr);
    m.TranslateMatrix(1.5, -2, 1e-9);
    clsStream s;
    m.WriteData(s);
    ASSERT_EQ(s.Items.size(), 10u);
    EXPECT_EQ(s.Items[0].Key, "RefPoint");
    const char* keys[] = {"d11", "d12", "d13", "d21", "d22", "d23", "d31", "d32", "d33"};
    for (int k = 0; k < 9; ++k) EXPECT_EQ(s.Items[k + 1].Key, keys[k]);

    LineList lines;
    s.WriteData(lines, 0);
    clsStream parsed;
    parsed.ParseData(lines);
    clsMatrix3D r;
    r.ReadData(parsed);
    ExpectSameMatrix(r, m, 1e-14);

    clsMatrix3D empty;
    empty.ReadData(clsStream());
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(empty.Elem(i, j), 0);
}

TEST(Matrix3D, PackAndUnpackRowsLeaveTheTranslationAlone) {
    clsMatrix3D m;
    m.RefPoint.SetPoint(7, 8, 9);
    m.PackVectors({1, 2, 3}, {4, 5, 6}, {7, 8, 9});
    EXPECT_EQ(m.Elem(2, 3), 6);
    clsPoint3D a, b, c;
    m.UnpackVectors(a, b, c);
    ExpectPoint(a, 1, 2, 3, 0);
    ExpectPoint(b, 4, 5, 6, 0);
    ExpectPoint(c, 7, 8, 9, 0);
    ExpectPoint(m.RefPoint, 7, 8, 9, 0);
    // Row i is the image of axis i.
    ExpectPoint(m.TransformPoint({0, 1, 0}), 4 + 7, 5 + 8, 6 + 9, 0);
}
