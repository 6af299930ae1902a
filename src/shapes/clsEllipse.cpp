#include "shapes/clsEllipse.h"

#include <cmath>

#include "io/NumberText.h"
#include "io/clsStream.h"
#include "shapes/Flatness.h"
#include "shapes/HandleMarks.h"
#include "shapes/VertexHits.h"
#include "shapes/XorPreview.h"
#include "paint/clsView.h"

namespace ov {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kTwoPi = 6.28318530717958;

// The angle of (x, y) in [0, 2 pi).
double FullAngle(double y, double x) {
    double a = x > 0 ? std::atan(y / x) : x < 0 ? std::atan(y / x) + kPi : (y > 0 ? kPi / 2 : y < 0 ? -kPi / 2 : 0);
    if (a < 0) a += kTwoPi;
    return a;
}

} // namespace

void clsEllipse::SetProps(double radiusX, double radiusY, double startAngle, double endAngle, std::int32_t flatness,
                          const clsMatrix3D* matrix) {
    RadiusX = radiusX;
    RadiusY = radiusY;
    StartAngle = startAngle;
    EndAngle = endAngle;
    Flatness = flatness;
    if (matrix) Matrix.Assign(*matrix);
    cached_ = false;
}

void clsEllipse::Translate(double dx, double dy, double dz) {
    Matrix.TranslateMatrix(dx, dy, dz);
    cached_ = false;
}

void clsEllipse::RotateRel(double ax, double ay, double az, const clsPoint3D* center) {
    Matrix.RotateMatrix(ax, ay, az, center);
    cached_ = false;
}

void clsEllipse::Stretch(double sx, double sy, double sz, const clsPoint3D* center) {
    Matrix.StretchMatrix(sx, sy, sz, center);
    cached_ = false;
}

bool clsEllipse::IsArc() const {
    double d = StartAngle - EndAngle;
    if (d > kPi) d -= kTwoPi;
    else if (d < -kPi) d += kTwoPi;
    return std::fabs(d) > 0.02;
}

clsPoint3D clsEllipse::OnOutline(double angle) const {
    return Matrix.TransformPoint({RadiusX * std::cos(angle), RadiusY * std::sin(angle), 0});
}

SegmentList clsEllipse::BreakApart() {
    if (cached_) return SegmentList(cache_);
    const int n = FlatSegments(Flatness, 48);
    auto points = std::make_shared<CurvePoints>();
    if (IsArc()) {
        double sweep = EndAngle - StartAngle;
        if (sweep < 0) sweep += kTwoPi;
        double m = RoundHalfEven(n * sweep / kTwoPi);
        if (!(m >= 1)) m = 1;
        if (m > kMaxFlatSegments) m = kMaxFlatSegments; // angles far outside one turn
        const int steps = static_cast<int>(m);
        if (!points->Reserve(steps + 1)) return Refused();
        points->Add(OnOutline(StartAngle));
        for (int i = 1; i <= steps; ++i) points->Add(OnOutline(i * sweep / steps + StartAngle));
    } else {
        if (!points->Reserve(n + 1)) return Refused();
        points->Add(Matrix.TransformPoint({RadiusX, 0, 0}));
        for (int i = 1; i <= n; ++i) points->Add(OnOutline(2 * i * kPi / n));
    }
    cache_ = std::move(points);
    cached_ = true;
    return SegmentList(cache_);
}

SegmentList clsEllipse::Refused() {
    // Kept as an empty outline until the ellipse changes: one message, not one a repaint.
    cache_ = std::make_shared<const CurvePoints>();
    cached_ = true;
    CurveBudget::ReportRefusal();
    return {};
}

void clsEllipse::Assign(const clsEllipse& source) {
    RadiusX = source.RadiusX;
    RadiusY = source.RadiusY;
    StartAngle = source.StartAngle;
    EndAngle = source.EndAngle;
    Flatness = source.Flatness;
    Matrix.Assign(source.Matrix);
    scene_ = source.scene_;
    cached_ = false;
    cache_.reset();
}

std::unique_ptr<IShape> clsEllipse::Clone() const {
    auto copy = std::make_unique<clsEllipse>();
    copy->Assign(*this);
    return copy;
}

void clsEllipse::ReadData(const clsStream& record) {
    Matrix.ReadData(record.GetSubStream("Matrix"));
    RadiusX = record.GetDouble("RadiusX", false, 0, 0, 0);
    RadiusY = record.GetDouble("RadiusY", false, 0, 0, 0);
    StartAngle = record.GetDouble("StartAngle", false, 0, 0, 0);
    EndAngle = record.GetDouble("EndAngle", false, 0, 0, 0);
    Flatness = record.GetLong("Flatness", kFlatnessMin, kFlatnessMax, 0);
    cached_ = false;
}

void clsEllipse::WriteData(clsStream& record) const {
    Matrix.WriteData(record.CreateSubStream("Matrix"));
    record.SetDouble("RadiusX", RadiusX);
    record.SetDouble("RadiusY", RadiusY);
    record.SetDouble("StartAngle", StartAngle);
    record.SetDouble("EndAngle", EndAngle);
    record.SetLong("Flatness", Flatness);
}

clsPoint3D clsEllipse::LocalHandle(int index) const {
    switch (index) {
    case 1: return {RadiusX, 0, 0};
    case 2: return {0, RadiusY, 0};
    case 3:
    case 4: return {0.9 * RadiusX * std::cos(StartAngle), 0.9 * RadiusY * std::sin(StartAngle), 0};
    case 5: return {0.9 * RadiusX * std::cos(EndAngle), 0.9 * RadiusY * std::sin(EndAngle), 0};
    default: return {0, 0, 0};
    }
}

clsPoint3D clsEllipse::GetHandlePoint(int index) const { return Matrix.TransformPoint(LocalHandle(index)); }

void clsEllipse::PutHandlePoint(int index, const clsPoint3D& point) {
    cached_ = false;
    if (index == 0) {
        Matrix.RefPoint = point;
        return;
    }
    clsPoint3D local = Matrix.UnTransformPoint(point);
    if (index == 1) RadiusX = local.x;
    else if (index == 2) RadiusY = local.y;
    else if (index >= 3 && index <= 5) {
        // Measure the angle on the circle the ellipse was stretched from.
        if (RadiusX != 0 && RadiusY != 0 && RadiusX != RadiusY) local.y *= RadiusX / RadiusY;
        const double angle = FullAngle(local.y, local.x);
        if (index == 4) StartAngle = angle;
        else EndAngle = angle;
    }
}

bool clsEllipse::IsHandleActive(int index) const {
    if (index == 3) return StartAngle == EndAngle;
    if (index == 4 || index == 5) return StartAngle != EndAngle;
    return index >= 0 && index <= 2;
}

bool clsEllipse::HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) {
    std::vector<IndexedVertex> handles;
    for (std::int16_t i = 0; i <= 5; ++i)
        if (IsHandleActive(i)) handles.push_back({i, GetHandlePoint(i)});
    return HitTestVertices(this, handles, view, rect, hits, stopAtFirst);
}

void clsEllipse::DrawHandles(clsPaintDC& dc, clsView& view, const clsOutline& style) {
    HandleMarks marks(dc, view, style);
    const clsPoint3D centre = GetHandlePoint(0);
    marks.GuideLine(centre, GetHandlePoint(1));
    marks.GuideLine(centre, GetHandlePoint(2));
    for (int i : {0, 1, 2, 4, 5}) marks.Mark(GetHandlePoint(i));
}

void clsEllipse::DrawPreview(clsView& view) { XorPreview(view).Segments(BreakApart()); }

void clsEllipse::FinishUpdateVertex() {
    if (IsArc()) return;
    StartAngle = EndAngle = 0;
    cached_ = false;
}

void clsEllipse::UpdateVertex(clsView& view, std::int16_t index, double x, double y, bool flag) {
    clsPoint3D p = GetHandlePoint(index);
    view.UpdatePointFromScreen(p, x, y, flag);
    PutHandlePoint(index, p);
    cached_ = false;
}

} // namespace ov
