#include <gtest/gtest.h>

#include <cmath>

#include "io/clsStream.h"
#include "settings/clsSceneSettings.h"
#include "shapes/clsBezier.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsFunction.h"
#include "shapes/clsLine.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"
#include "paint/clsView.h"

using namespace ov;

namespace {

struct TopView {
    clsSceneSettings scene;
    Canvas canvas{400, 300};
    clsView view;
    TopView() { view.SetView(clsView::Top, &canvas, &scene); } // 7.5 pixels per unit, origin at (200, 150)
    double X(double u) const { return 200 + 7.5 * u; }
    double Y(double v) const { return 150 - 7.5 * v; }
    clsRect Rect(double u1, double v1, double u2, double v2) const { // corners in scene units
        clsRect r;
        return r.SetValues(X(u1), Y(v2), X(u2), Y(v1)), r;
    }
    // The preview is drawn with XOR: it changes the canvas, and drawing it again restores it.
    void ExpectPreviewToggles(IShape& shape, int x = -1, int y = -1) {
        const QImage before = canvas.Image().copy();
        shape.DrawPreview(view); // a joint is drawn once, not erased
        EXPECT_TRUE(canvas.Image() != before && (x < 0 || canvas.Image().pixel(x, y) != before.pixel(x, y)));
        shape.DrawPreview(view);
        EXPECT_EQ(canvas.Image(), before);
    }
};

void ExpectPoint(const clsPoint3D& p, double x, double y, double z, double tol = 1e-9) {
    EXPECT_TRUE(std::fabs(p.x - x) <= tol && std::fabs(p.y - y) <= tol && std::fabs(p.z - z) <= tol)
        << p.x << ", " << p.y << ", " << p.z << " instead of " << x << ", " << y << ", " << z;
}

std::vector<int> HitIndices(IShape& shape, clsView& view, const clsRect& rect, bool first = false) {
    std::vector<clsVertexHit> hits;
    std::vector<int> indices;
    if (shape.HitTestNode(view, rect, &hits, first))
        for (const auto& h : hits) indices.push_back(h.VertexIndex * (h.ShowPreview ? 1 : -1)); // minus: no preview
    return indices;
}

} // namespace

TEST(LineObject, OwnSegmentRecordsHitsAndDrags) {
    TopView t;
    clsLine line;
    EXPECT_EQ(line.BreakApart().OwnSegment(), line.Segment.get()); // its own segment, not a copy
    line.Segment->EndPoint.SetPoint(2, 0, 5);
    auto copy = line.Clone();
    line.Segment->StartPoint.SetPoint(99, 99, 99);
    clsStream s;
    copy->WriteData(s), line.ReadData(s); // a copy of its own, written and read back
    ExpectPoint(line.Segment->StartPoint, 0, 0, 0, 0);
    line.Translate(0, 0, 5);
    EXPECT_EQ(HitIndices(line, t.view, t.Rect(-1, -1, 3, 1)), (std::vector<int>{0, -1}));
    EXPECT_EQ(HitIndices(line, t.view, t.Rect(-1, -1, 3, 1), true).size(), 1u); // stop at the first
    EXPECT_EQ(HitIndices(line, t.view, t.Rect(1.5, -1, 3, 1)), (std::vector<int>{1}));
    t.ExpectPreviewToggles(line);
    line.UpdateVertex(t.view, 1, t.X(4), t.Y(3), false);
    ExpectPoint(line.Segment->EndPoint, 4, 3, 10, 0); // the depth stays
}

TEST(BezierObject, FlatteningInEqualParameterStepsAndEdits) {
    TopView t;
    clsBezier b;
    EXPECT_EQ(b.BreakApart().size(), 50u); // zero-length segments, still n of them
    b.Point2 = {0, 4, 0}, b.Point3 = {4, 4, 0}, b.Point4 = {4, 0, 0}, b.Flatness = 4;
    const SegmentList s = b.BreakApart();
    ASSERT_EQ(s.size(), 4u);
    ExpectPoint(s[1].StartPoint, 0.625, 2.25, 0), ExpectPoint(s[3].EndPoint, 4, 0, 0, 0); // the first at t = 0.25
    for (std::size_t i = 1; i < s.size(); ++i) EXPECT_EQ(s[i].StartPoint.y, s[i - 1].EndPoint.y); // connected
    EXPECT_EQ(HitIndices(b, t.view, t.Rect(-0.5, 3.5, 0.5, 4.5)), (std::vector<int>{1}));
    b.UpdateVertex(t.view, 1, t.X(5), t.Y(5), false);
    ExpectPoint(b.Point2, 5, 5, 0, 0), ExpectPoint(b.Point1, 0, 0, 0, 0); // the end points stay
    t.ExpectPreviewToggles(b);
}

TEST(EllipseObject, FullEllipsesArcsAndTheirSegmentCounts) {
    clsEllipse e;
    const struct { double start, end; std::int32_t flatness; std::size_t segments; bool arc; } cases[] = {
        {0, 0, 0, 48, false}, {0, 0, 3, 48, false}, {0, 0, 4, 4, false}, {0, M_PI, 48, 24, true},
        {0, 0.05, 48, 1, true}, {0, 0.01, 48, 48, false}, {3 * M_PI / 2, M_PI / 2, 48, 24, true}, // wraps through 0
    };
    for (const auto& c : cases) {
        e.SetProps(2, 1, c.start, c.end, c.flatness, nullptr);
        EXPECT_EQ(std::pair(e.BreakApart().size(), e.IsArc()), std::pair(c.segments, c.arc))
            << c.start << " " << c.end << " " << c.flatness;
    }
    ExpectPoint(e.BreakApart().front().StartPoint, 0, -1, 0), ExpectPoint(e.BreakApart()[12].StartPoint, 2, 0, 0);
    e.SetProps(2, 1, 0, 0.01, 48, nullptr);
    EXPECT_TRUE(e.IsHandleActive(4) && !e.IsHandleActive(3)); // the angles are not exactly equal ...
    e.FinishUpdateVertex();
    EXPECT_TRUE(e.EndAngle == 0 && e.IsHandleActive(3)); // ... until an edit is finished
}

TEST(EllipseObject, PlacementCacheRecordHandlesAndDrags) {
    TopView t;
    clsEllipse e, r, circle, flat, h;
    clsMatrix3D m;
    m.SetRotationX(90), m.TranslateMatrix(10, 0, 0); // the ellipse stands up in the XZ plane
    e.SetProps(2, 1, 0, 0, 4, &m);
    const SegmentList s = e.BreakApart();
    ExpectPoint(s[0].EndPoint, 10, 0, 1);
    EXPECT_EQ(e.BreakApart().Points(), s.Points()); // cached
    e.Translate(0, 5, 0);
    clsStream rec;
    e.WriteData(rec), r.ReadData(rec);
    ExpectPoint(r.BreakApart()[0].StartPoint, 12, 5, 0);
    circle.SetProps(2, 2, 0, 0, 0, nullptr), circle.PutHandlePoint(1, {3, 1, 0});
    EXPECT_EQ(circle.RadiusX + circle.RadiusY, 5);
    circle.PutHandlePoint(4, {0, -1, 0}); // a circle: the plain angle
    EXPECT_NEAR(circle.StartAngle, 3 * M_PI / 2, 1e-12);
    flat.SetProps(4, 1, 0, 0, 0, nullptr), flat.PutHandlePoint(5, {2, 0.5, 0}); // on the stretched circle: 45 degrees
    EXPECT_NEAR(flat.EndAngle, M_PI / 4, 1e-12);
    h.SetProps(4, 2, 0, 0, 0, nullptr);
    EXPECT_EQ(HitIndices(h, t.view, t.Rect(-30, -20, 30, 20)), (std::vector<int>{0, -1, -2, -3})); // opening handle 3
    h.SetProps(4, 2, 0, M_PI, 0, nullptr);
    EXPECT_EQ(HitIndices(h, t.view, t.Rect(-30, -20, 30, 20)), (std::vector<int>{0, -1, -2, -4, -5}));
    h.UpdateVertex(t.view, 1, t.X(6), t.Y(0), false);
    EXPECT_EQ(h.RadiusX, 6);
    t.ExpectPreviewToggles(h, 200, 135); // one unbroken arc: its top joint is drawn
}

TEST(Shapes, DamagedRecordsStayCheapAndHandlesAreDrawnThroughThePaintTarget) {
    clsStream s;
    s.SetLong("Flatness", 2000000000);
    s.SetDouble("EndAngle", 1e300), s.SetDouble("TTo", 1e300);
    clsEllipse e, he;
    clsBezier b, hb;
    clsFunction f;
    e.ReadData(s), b.ReadData(s), f.ReadData(s); // the function: no formulas stored, nothing to sample
    EXPECT_LE(e.BreakApart().size() + b.BreakApart().size(), 200000u);
    EXPECT_TRUE(e.Flatness == 2000000000 && b.Flatness == 2000000000); // kept as stored: a resave leaves it
    EXPECT_TRUE(f.BreakApart().empty());
    TopView t;
    clsPaintDC dc;
    clsRect doc, device;
    doc.SetValues(-20, -15, 20, 15), device.SetValues(0, 0, 400, 300);
    dc.AttachToPictureBox(t.canvas, doc, device);
    he.SetProps(4, 2, 0, M_PI / 2, 0, nullptr);
    hb.Point1 = {-10, -5, 0}, hb.Point2 = {-10, 5, 0};
    dc.BeginDraw();
    he.DrawHandles(dc, t.view, clsOutline(1, 255, 0, 0)), hb.DrawHandles(dc, t.view, clsOutline(1, 255, 0, 0));
    dc.EndDraw();
    // The centre mark, the ends of both radii, a control point of the curve; nothing beside them.
    for (const auto& [u, v] : {std::pair{0., 0.}, {4., 0.}, {0., 2.}, {-10., 5.}, {-12., 0.}})
        EXPECT_EQ(t.canvas.Image().pixelColor(int(t.X(u)), int(t.Y(v))) == QColor(255, 0, 0), u != -12) << u << v;
}

TEST(FunctionObject, SamplingRanges) {
    clsFunction f; // its formulas and range as made: the function dialog and editor tests
    const struct { double from, to, step; std::vector<double> xs; } cases[] = {
        {0, 1, 0.3, {0, 0.3, 0.6, 0.9}}, {10, 7, -1, {10, 9, 8, 7}},
        {0, 1, 0, {}}, {0, 1, -0.5, {}}, {0, 1, 0.1, {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1}},
    };
    for (const auto& c : cases) {
        f.TFrom = c.from, f.TTo = c.to, f.TStep = c.step, f.ClearCache();
        std::vector<double> xs;
        for (const auto& seg : f.BreakApart()) xs.push_back(seg.EndPoint.x);
        if (!xs.empty()) xs.insert(xs.begin(), f.BreakApart().front().StartPoint.x);
        ASSERT_EQ(xs.size(), c.xs.size()) << c.step;
        for (std::size_t i = 0; i < xs.size(); ++i) EXPECT_NEAR(xs[i], c.xs[i], 1e-12) << c.step;
    }
    EXPECT_EQ(f.BreakApart().back().EndPoint.x, 1); // exactly the end value
}

TEST(FunctionObject, FormulasErrorsSceneFunctionsAndRecords) {
    clsSceneSettings scene;
    clsFunction f;
    f.BindToScene(&scene), f.Functions[1].Body = "10/(t-5)"; // fails at t = 5
    EXPECT_TRUE(f.BreakApart().size() == 9 && f.LastSamplingError() == "Division By Zero in 'y'"); // 0 .. 4.5
    // The scene's functions win; X, Y and Z are called with exactly one value, t.
    const std::pair<const char*, const char*> cases[] = {
        {"X", "Too many parameters in call to function 'X' from 'X'"},
        {"X(A,B)", "Too few parameters in call to function 'X' from 'X'"}, {"Y(T)", ""}};
    for (const auto& [header, message] : cases) {
        scene.Functions.resize(1), scene.Functions[0].ParseName(header);
        scene.Functions[0].Body = "2*T", f.ClearCache();
        EXPECT_TRUE(f.BreakApart().size() == (*message ? 0u : 20u) && f.LastSamplingError() == message) << header;
    }
    EXPECT_EQ(f.BreakApart().back().EndPoint.y, 20);
    clsFunction broken, bad;
    broken.Functions.erase(broken.Functions.begin()); // no X at all
    EXPECT_TRUE(broken.BreakApart().empty() && broken.LastSamplingError() == "Internal error occurred");
    bad.Functions[2].Body = "2 3";
    EXPECT_TRUE(bad.BreakApart().empty());
    clsStream s, sparse;
    bad.Matrix.TranslateMatrix(0, 0, 3), bad.WriteData(s);
    EXPECT_EQ(s.GetString("Fnc3", "") + s.GetVal("FncCount", false, ""), "z;1;t;2 3;6");
    s.SetString("Fnc3", "z;1;t;t;"), broken.ReadData(s);
    ExpectPoint(broken.BreakApart().front().StartPoint, 0, 0, 3);
    sparse.SetLong("FncCount", 5), sparse.SetString("Fnc5", "x;1;t;2*t;"); // numbered beyond the other items
    broken.ReadData(sparse);
    EXPECT_TRUE(broken.Functions.size() == 1 && broken.Functions[0].Body == "2*t") << broken.Functions.size();
}
