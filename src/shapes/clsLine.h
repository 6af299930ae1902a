#pragma once
// A straight line segment between two document points. Vertex 0 is the start point,
// vertex 1 the end point.

#include <memory>

#include "shapes/IShape.h"

namespace ov {

class clsLine : public IShape {
public:
    clsLine() : Segment(std::make_shared<clsLine3D>()) {}

    // The end points; BreakApart hands out this very segment.
    std::shared_ptr<clsLine3D> Segment;

    void Translate(double dx, double dy, double dz) override { Segment->Translate(dx, dy, dz); }
    SegmentList BreakApart() override { return SegmentList(std::shared_ptr<const clsLine3D>(Segment)); }
    void Assign(const clsLine& source) { Segment->Assign(*source.Segment); }
    std::unique_ptr<IShape> Clone() const override;
    void RotateRel(double ax, double ay, double az, const clsPoint3D* center) override {
        Segment->RotateRel(ax, ay, az, center);
    }
    void Stretch(double sx, double sy, double sz, const clsPoint3D* center) override {
        Segment->Stretch(sx, sy, sz, center);
    }
    void ReadData(const clsStream& record) override;
    void WriteData(clsStream& record) const override;
    bool HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) override;
    // The line in yellow on the view's canvas, in XOR mode: drawing it twice erases it.
    void DrawPreview(clsView& view) override;
    void FinishUpdateVertex() override {}
    void UpdateVertex(clsView& view, std::int16_t index, double x, double y, bool flag) override;
};

} // namespace ov
