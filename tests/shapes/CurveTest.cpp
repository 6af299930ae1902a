#include <gtest/gtest.h>

#include <cmath>

#include "io/clsStream.h"
#include "settings/clsSceneSettings.h"
#include "shapes/clsBezier.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsFunction.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"
#include "paint/clsView.h"

using namespace ov;

namespace {

constexpr double kPi = 3.14159265358979;

struct TopView {
    clsSceneSettings scene;
    Canvas canvas{400, 300};
    clsView view;
    TopView() { view.SetView(clsView::Top, &canvas, &scene); } // 7.5 pixels per unit, origin at (200, 150)
    double X(double u) const { return 200 + 7.5 * u; }
    double Y(double v) const { return 150 - 7.5 * v; }
};

void ExpectPoint(const clsPoint3D& p, double x, double y, double z, double tol = 1e-9) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

} // namespace

TEST(BezierObject, FlatteningInEqualParameterSteps) {
    clsBezier b;
    EXPECT_EQ(b.BreakApart().size(), 50u);
    b.Point1 = {0, 0, 0};
    b.Point2 = {0, 4, 0};
    b.Point3 = {4, 4, 0};
    b.Point4 = {4, 0, 0};
    b.Flatness = 4;
    const SegmentList s = b.BreakApart();
    ASSERT_EQ(s.size(), 4u);
    ExpectPoint(s[0]->StartPoint, 0, 0, 0, 0);
    ExpectPoint(s[1]->StartPoint, 0.625, 2.25, 0); // t = 0.25
    ExpectPoint(s[2]->StartPoint, 2, 3, 0); // the middle of the symmetric arch
    ExpectPoint(s[3]->EndPoint, 4, 0, 0, 0);
    for (std::size_t i = 1; i < s.size(); ++i) ExpectPoint(s[i]->StartPoint, s[i - 1]->EndPoint.x, s[i - 1]->EndPoint.y, 0, 0);

    clsBezier straight;
    straight.Point1 = straight.Point2 = {0, 0, 0};
    straight.Point3 = straight.Point4 = {3, 0, 0};
    for (const auto& seg : straight.BreakApart()) EXPECT_EQ(seg->StartPoint.y, 0);
    clsBezier point;
    EXPECT_EQ(point.BreakApart().size(), 50u); // zero-length segments, still n of them
}

TEST(BezierObject, TransformsRecordsAndVertexDrags) {
    TopView t;
    clsBezier b;
    b.Point1 = {0, 0, 1};
    b.Point2 = {1, 1, 1};
    b.Point3 = {2, 1, 1};
    b.Point4 = {3, 0, 1};
    b.Flatness = 12;
    b.Translate(1, 0, 0);
    EXPECT_EQ(b.Point4.x, 4);
    clsStream s;
    b.WriteData(s);
    EXPECT_EQ(s.Items[4].Key, "Flatness");
    clsBezier r;
    r.ReadData(s);
    EXPECT_EQ(r.Point3.x, 3);
    EXPECT_EQ(r.Flatness, 12);

    std::vector<clsVertexHit> hits;
    clsRect rect;
    rect.SetValues(t.X(1.5), t.Y(1.5), t.X(2.5), t.Y(0.5));
    EXPECT_TRUE(b.HitTestNode(t.view, rect, &hits, false));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].VertexIndex, 1);
    b.UpdateVertex(t.view, 1, t.X(5), t.Y(5), false);
    ExpectPoint(b.Point2, 5, 5, 1, 0);
    ExpectPoint(b.Point1, 1, 0, 1, 0); // the end points stay

    const QImage before = t.canvas.Image().copy();
    b.DrawPreview(t.view);
    EXPECT_NE(t.canvas.Image(), before);
    b.DrawPreview(t.view);
    EXPECT_EQ(t.canvas.Image(), before);

    auto copy = b.Clone();
    b.Point1.x = 99;
    EXPECT_EQ(dynamic_cast<clsBezier&>(*copy).Point1.x, 1);
}

TEST(EllipseObject, FullEllipsesAndArcs) {
    clsEllipse e;
    e.SetProps(2, 1, 0, 0, 0, nullptr);
    EXPECT_FALSE(e.IsArc());
    EXPECT_EQ(e.BreakApart().size(), 48u);
    e.SetProps(2, 1, 0, 0, 3, nullptr);
    EXPECT_EQ(e.BreakApart().size(), 48u);
    e.SetProps(2, 1, 0, 0, 4, nullptr);
    const SegmentList quad = e.BreakApart();
    ASSERT_EQ(quad.size(), 4u);
    ExpectPoint(quad[0]->StartPoint, 2, 0, 0);
    ExpectPoint(quad[0]->EndPoint, 0, 1, 0);
    ExpectPoint(quad[1]->EndPoint, -2, 0, 0);

    e.SetProps(2, 1, 0, kPi, 48, nullptr);
    EXPECT_TRUE(e.IsArc());
    EXPECT_EQ(e.BreakApart().size(), 24u);
    e.SetProps(2, 1, 3 * kPi / 2, kPi / 2, 48, nullptr); // wraps through angle 0
    const SegmentList wrap = e.BreakApart();
    EXPECT_EQ(wrap.size(), 24u);
    ExpectPoint(wrap.front()->StartPoint, 0, -1, 0);
    ExpectPoint(wrap[12]->StartPoint, 2, 0, 0);
    e.SetProps(2, 1, 0, 0.05, 48, nullptr);
    EXPECT_EQ(e.BreakApart().size(), 1u);
    e.SetProps(2, 1, 0, 0.01, 48, nullptr);
    EXPECT_FALSE(e.IsArc());
    EXPECT_EQ(e.BreakApart().size(), 48u);
    EXPECT_TRUE(e.IsHandleActive(4)); // the angles are not exactly equal
    EXPECT_FALSE(e.IsHandleActive(3));
    e.FinishUpdateVertex();
    EXPECT_EQ(e.StartAngle, 0);
    EXPECT_EQ(e.EndAngle, 0);
    EXPECT_TRUE(e.IsHandleActive(3));
}

TEST(EllipseObject, PlacementByMatrixAndTheCache) {
    clsEllipse e;
    clsMatrix3D m;
    m.SetRotationX(90); // the ellipse stands up in the XZ plane
    m.TranslateMatrix(10, 0, 0);
    e.SetProps(2, 1, 0, 0, 4, &m);
    SegmentList s = e.BreakApart();
    ExpectPoint(s[0]->EndPoint, 10, 0, 1);
    EXPECT_EQ(e.BreakApart()[0].get(), s[0].get()); // cached
    e.Translate(0, 5, 0);
    s = e.BreakApart();
    ExpectPoint(s[0]->StartPoint, 12, 5, 0);
    ExpectPoint(e.GetHandlePoint(0), 10, 5, 0);
    ExpectPoint(e.GetHandlePoint(2), 10, 5, 1);

    clsStream rec;
    e.WriteData(rec);
    EXPECT_EQ(rec.Items[0].Key, "Matrix");
    clsEllipse r;
    r.ReadData(rec);
    ExpectPoint(r.BreakApart()[0]->StartPoint, 12, 5, 0);
}

TEST(EllipseObject, HandleEdits) {
    clsEllipse circle;
    circle.SetProps(2, 2, 0, 0, 0, nullptr);
    circle.PutHandlePoint(1, {3, 1, 0});
    EXPECT_EQ(circle.RadiusX, 3);
    EXPECT_EQ(circle.RadiusY, 2);
    circle.PutHandlePoint(0, {5, 5, 5});
    ExpectPoint(circle.GetHandlePoint(0), 5, 5, 5, 0);

    clsEllipse c2;
    c2.SetProps(2, 2, 0, 0, 0, nullptr);
    c2.PutHandlePoint(3, {0, 1, 0}); // a circle: the plain angle
    EXPECT_NEAR(c2.EndAngle, kPi / 2, 1e-12);
    EXPECT_TRUE(c2.IsArc());
    c2.PutHandlePoint(4, {0, -1, 0});
    EXPECT_NEAR(c2.StartAngle, 3 * kPi / 2, 1e-12);

    clsEllipse flat;
    flat.SetProps(4, 1, 0, 0, 0, nullptr);
    flat.PutHandlePoint(5, {2, 0.5, 0}); // on the stretched circle: 45 degrees
    EXPECT_NEAR(flat.EndAngle, kPi / 4, 1e-12);
}

TEST(EllipseObject, HitTestSkipsInactiveHandlesAndDragsResize) {
    TopView t;
    clsEllipse e;
    e.SetProps(4, 2, 0, 0, 0, nullptr);
    clsRect all;
    all.SetValues(0, 0, 400, 300);
    std::vector<clsVertexHit> hits;
    EXPECT_TRUE(e.HitTestNode(t.view, all, &hits, false));
    ASSERT_EQ(hits.size(), 4u); // 0, 1, 2 and the opening handle 3
    EXPECT_EQ(hits[3].VertexIndex, 3);
    EXPECT_TRUE(hits[0].ShowPreview);
    EXPECT_FALSE(hits[1].ShowPreview);
    e.SetProps(4, 2, 0, kPi, 0, nullptr);
    hits.clear();
    e.HitTestNode(t.view, all, &hits, false);
    ASSERT_EQ(hits.size(), 5u);
    EXPECT_EQ(hits[3].VertexIndex, 4);
    EXPECT_EQ(hits[4].VertexIndex, 5);

    e.UpdateVertex(t.view, 1, t.X(6), t.Y(0), false);
    EXPECT_EQ(e.RadiusX, 6);
    const QImage before = t.canvas.Image().copy();
    e.DrawPreview(t.view);
    // One unbroken arc: the joint of two segments at its top is drawn once, not erased.
    EXPECT_NE(t.canvas.Image().pixel(200, 135), before.pixel(200, 135));
    e.DrawPreview(t.view);
    EXPECT_EQ(t.canvas.Image(), before);
}

TEST(EllipseObject, DamagedRecordsStayCheap) {
    clsStream s;
    s.SetLong("Flatness", 2000000000);
    s.SetDouble("StartAngle", 0);
    s.SetDouble("EndAngle", 1e300);
    clsEllipse e;
    e.ReadData(s);
    EXPECT_LE(e.BreakApart().size(), 100000u);
    EXPECT_EQ(e.Flatness, 2000000000); // kept as stored, so that a resave leaves it alone
    clsBezier b;
    b.ReadData(s);
    EXPECT_LE(b.BreakApart().size(), 100000u);
    EXPECT_EQ(b.Flatness, 2000000000);
}

TEST(Handles, DrawnThroughThePaintTargetOnScreen) {
    TopView t;
    clsPaintDC dc;
    clsRect doc, device;
    doc.SetValues(-20, -15, 20, 15);
    device.SetValues(0, 0, 400, 300);
    dc.AttachToPictureBox(t.canvas, doc, device);
    clsEllipse e;
    e.SetProps(4, 2, 0, kPi / 2, 0, nullptr);
    clsBezier b;
    b.Point1 = {-10, -5, 0};
    b.Point2 = {-10, 5, 0};
    b.Point3 = {0, 5, 0};
    b.Point4 = {0, -5, 0};
    const clsOutline red(1, 255, 0, 0);
    dc.BeginDraw();
    e.DrawHandles(dc, t.view, red);
    b.DrawHandles(dc, t.view, red);
    dc.EndDraw();
    const QImage& img = t.canvas.Image();
    auto isRed = [&](double u, double v) { return img.pixelColor(static_cast<int>(t.X(u)), static_cast<int>(t.Y(v))) == QColor(255, 0, 0); };
    EXPECT_TRUE(isRed(0, 0));   // centre mark
    EXPECT_TRUE(isRed(4, 0));   // X radius end
    EXPECT_TRUE(isRed(0, 2));   // Y radius end
    EXPECT_TRUE(isRed(-10, 5)); // a control point of the curve
    EXPECT_FALSE(isRed(-12, 0));
}

namespace {

std::vector<double> SampledX(clsFunction& f) {
    std::vector<double> xs;
    const SegmentList s = f.BreakApart();
    if (!s.empty()) xs.push_back(s.front()->StartPoint.x);
    for (const auto& seg : s) xs.push_back(seg->EndPoint.x);
    return xs;
}

} // namespace

TEST(FunctionObject, DefaultCurveAndSamplingRanges) {
    clsFunction f;
    const SegmentList s = f.BreakApart();
    ASSERT_EQ(s.size(), 20u);
    ExpectPoint(s.front()->StartPoint, 0, 0, 0, 0);
    ExpectPoint(s.back()->EndPoint, 10, 10, 10, 1e-12);

    const struct {
        double from, to, step;
        std::vector<double> xs;
    } cases[] = {
        {0, 1, 0.3, {0, 0.3, 0.6, 0.9}},
        {0, 1, 0.25, {0, 0.25, 0.5, 0.75, 1}},
        {10, 0, -1, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
        {0, 1, 0, {}},
        {0, 1, -0.5, {}},
    };
    for (const auto& c : cases) {
        f.TFrom = c.from;
        f.TTo = c.to;
        f.TStep = c.step;
        f.ClearCache();
        const std::vector<double> xs = SampledX(f);
        ASSERT_EQ(xs.size(), c.xs.size()) << c.step;
        for (std::size_t i = 0; i < xs.size(); ++i) EXPECT_NEAR(xs[i], c.xs[i], 1e-12);
    }
    f.TFrom = 0;
    f.TTo = 1;
    f.TStep = 0.1;
    f.ClearCache();
    const std::vector<double> tenths = SampledX(f);
    ASSERT_EQ(tenths.size(), 11u);
    EXPECT_EQ(tenths.back(), 1); // exactly the end value
}

TEST(FunctionObject, FormulasErrorsAndSceneFunctions) {
    clsSceneSettings scene;
    clsFunction f;
    f.BindToScene(&scene);
    f.Functions[1].Body = "10/(t-5)"; // fails at t = 5
    const SegmentList partial = f.BreakApart();
    EXPECT_EQ(partial.size(), 9u); // points at 0 .. 4.5
    EXPECT_EQ(f.LastSamplingError(), "Division By Zero in 'y'");

    clsFncDef y;
    y.ParseName("Y(T)");
    y.Body = "2*T";
    scene.Functions.push_back(y);
    f.ClearCache();
    const SegmentList s = f.BreakApart();
    ASSERT_EQ(s.size(), 20u);
    EXPECT_DOUBLE_EQ(s.back()->EndPoint.y, 20); // the scene's Y wins
    // X, Y and Z are called with exactly one value, t.
    const struct {
        const char* header;
        const char* message;
    } wrongCounts[] = {{"X(A,B)", "Too few parameters in call to function 'X' from 'X'"},
                       {"X", "Too many parameters in call to function 'X' from 'X'"}};
    for (const auto& c : wrongCounts) {
        clsFncDef x;
        x.ParseName(c.header);
        x.Body = "1";
        scene.Functions.push_back(x);
        f.ClearCache();
        EXPECT_TRUE(f.BreakApart().empty());
        EXPECT_EQ(f.LastSamplingError(), c.message);
        scene.Functions.pop_back();
    }

    f.Translate(1, 0, 0);
    EXPECT_DOUBLE_EQ(f.BreakApart().back()->EndPoint.x, 11);

    clsFunction broken;
    broken.Functions.erase(broken.Functions.begin()); // no X at all
    EXPECT_TRUE(broken.BreakApart().empty());
    EXPECT_EQ(broken.LastSamplingError(), "Internal error occurred");
    clsFunction bad;
    bad.Functions[2].Body = "2 3";
    EXPECT_TRUE(bad.BreakApart().empty());
}

TEST(FunctionObject, RecordAndCopies) {
    clsFunction f;
    f.Functions[0].Body = "cos(t)";
    f.Functions[0].Description = "circle";
    f.TStep = 0.25;
    f.Matrix.TranslateMatrix(0, 0, 3);
    clsStream s;
    f.WriteData(s);
    EXPECT_EQ(s.GetVal("FncCount", false, ""), "6");
    EXPECT_EQ(s.GetString("Fnc1", ""), "x;1;t;cos(t);circle");
    clsFunction r;
    r.ReadData(s);
    ASSERT_EQ(r.Functions.size(), 6u);
    EXPECT_EQ(r.Functions[0].Body, "cos(t)");
    EXPECT_EQ(r.TStep, 0.25);
    EXPECT_EQ(r.BreakApart().size(), 40u);
    EXPECT_DOUBLE_EQ(r.BreakApart().front()->StartPoint.z, 3);

    clsStream sparse; // a definition numbered beyond the record's other items
    sparse.SetLong("FncCount", 5);
    sparse.SetString("Fnc5", "x;1;t;2*t;");
    r.ReadData(sparse);
    ASSERT_EQ(r.Functions.size(), 1u);
    EXPECT_EQ(r.Functions[0].Body, "2*t");

    auto copy = f.Clone();
    f.Functions[0].Body = "t*t";
    EXPECT_EQ(dynamic_cast<clsFunction&>(*copy).Functions[0].Body, "cos(t)");

    clsStream huge;
    huge.SetDouble("TFrom", 0);
    huge.SetDouble("TTo", 1e300);
    huge.SetDouble("TStep", 1);
    clsFunction big;
    big.ReadData(huge); // no formulas stored: nothing to sample
    EXPECT_TRUE(big.BreakApart().empty());
}
