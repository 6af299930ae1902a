#include "shapes/clsBezier.h"

#include <cstring>

#include "io/clsStream.h"
#include "shapes/Flatness.h"
#include "shapes/HandleMarks.h"
#include "shapes/VertexHits.h"
#include "shapes/XorPreview.h"
#include "paint/clsView.h"

namespace ov {

clsPoint3D* clsBezier::ControlPoint(int index) {
    switch (index) {
    case 0: return &Point1;
    case 1: return &Point2;
    case 2: return &Point3;
    case 3: return &Point4;
    default: return nullptr;
    }
}

void clsBezier::Translate(double dx, double dy, double dz) {
    for (int i = 0; i < 4; ++i) ControlPoint(i)->Translate(dx, dy, dz);
}

void clsBezier::RotateRel(double ax, double ay, double az, const clsPoint3D* center) {
    for (int i = 0; i < 4; ++i) ControlPoint(i)->RotateRel(ax, ay, az, center);
}

void clsBezier::Stretch(double sx, double sy, double sz, const clsPoint3D* center) {
    for (int i = 0; i < 4; ++i) ControlPoint(i)->Stretch(sx, sy, sz, center);
}

bool clsBezier::Inputs::operator==(const Inputs& other) const {
    return std::memcmp(values, other.values, sizeof values) == 0;
}

clsBezier::Inputs clsBezier::CurrentInputs() const {
    Inputs in{};
    const clsPoint3D* points[4] = {&Point1, &Point2, &Point3, &Point4};
    for (int i = 0; i < 4; ++i) {
        in.values[3 * i] = points[i]->x;
        in.values[3 * i + 1] = points[i]->y;
        in.values[3 * i + 2] = points[i]->z;
    }
    in.values[12] = Flatness;
    return in;
}

SegmentList clsBezier::BreakApart() {
    const Inputs inputs = CurrentInputs();
    if (outline_ && inputs == outlineInputs_) return SegmentList(outline_);
    const int n = FlatSegments(Flatness, 50);
    auto points = std::make_shared<CurvePoints>();
    if (points->Reserve(static_cast<std::size_t>(n) + 1)) {
        auto coordinate = [](double p1, double p2, double p3, double p4, double t, double s) {
            return p1 * s * s * s + 3 * (p2 * t * s * s + p3 * t * t * s) + p4 * t * t * t;
        };
        points->Add(Point1);
        for (int i = 1; i < n; ++i) {
            const double t = static_cast<double>(i) / n, s = 1 - t;
            points->Add({coordinate(Point1.x, Point2.x, Point3.x, Point4.x, t, s),
                         coordinate(Point1.y, Point2.y, Point3.y, Point4.y, t, s),
                         coordinate(Point1.z, Point2.z, Point3.z, Point4.z, t, s)});
        }
        points->Add(Point4);
    } else {
        points = std::make_shared<CurvePoints>(); // kept empty until the curve changes
        CurveBudget::ReportRefusal();
    }
    outline_ = std::move(points);
    outlineInputs_ = inputs;
    return SegmentList(outline_);
}

void clsBezier::ReadData(const clsStream& record) {
    Point1.ReadData(record.GetSubStream("Point1"));
    Point2.ReadData(record.GetSubStream("Point2"));
    Point3.ReadData(record.GetSubStream("Point3"));
    Point4.ReadData(record.GetSubStream("Point4"));
    Flatness = record.GetLong("Flatness", kFlatnessMin, kFlatnessMax, 0);
}

void clsBezier::WriteData(clsStream& record) const {
    Point1.WriteData(record.CreateSubStream("Point1"));
    Point2.WriteData(record.CreateSubStream("Point2"));
    Point3.WriteData(record.CreateSubStream("Point3"));
    Point4.WriteData(record.CreateSubStream("Point4"));
    record.SetLong("Flatness", Flatness);
}

bool clsBezier::HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) {
    return HitTestVertices(this, {{0, Point1}, {1, Point2}, {2, Point3}, {3, Point4}}, view, rect, hits, stopAtFirst);
}

void clsBezier::DrawHandles(clsPaintDC& dc, clsView& view, const clsOutline& style) {
    HandleMarks marks(dc, view, style);
    marks.GuideLine(Point1, Point2);
    marks.GuideLine(Point3, Point4);
    for (int i = 0; i < 4; ++i) marks.Mark(*ControlPoint(i));
}

void clsBezier::DrawPreview(clsView& view) {
    XorPreview preview(view);
    preview.SetDotted(true);
    preview.Line(Point1, Point2);
    preview.Line(Point3, Point4);
    preview.SetDotted(false);
    preview.Segments(BreakApart());
}

void clsBezier::UpdateVertex(clsView& view, std::int16_t index, double x, double y, bool flag) {
    if (clsPoint3D* p = ControlPoint(index)) view.UpdatePointFromScreen(*p, x, y, flag);
}

} // namespace ov
