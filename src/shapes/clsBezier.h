#pragma once
// A cubic Bezier curve through space: it starts at Point1, leaves towards Point2, arrives
// from Point3 and ends at Point4. All four points are vertices (0 to 3).

#include "shapes/IShape.h"

namespace ov {

class clsBezier : public IShape {
public:
    clsPoint3D Point1, Point2, Point3, Point4;
    std::int32_t Flatness = 0; // segments of the outline; below 4 means 50

    void Translate(double dx, double dy, double dz) override;
    // Equal steps in the curve parameter; the outline ends exactly at Point4.
    SegmentList BreakApart() override;
    void Assign(const clsBezier& source) { *this = source; }
    std::unique_ptr<IShape> Clone() const override { return std::make_unique<clsBezier>(*this); }
    void RotateRel(double ax, double ay, double az, const clsPoint3D* center) override;
    void Stretch(double sx, double sy, double sz, const clsPoint3D* center) override;
    void ReadData(const clsStream& record) override;
    void WriteData(clsStream& record) const override;
    // Dotted control lines and a mark at each of the four points.
    void DrawHandles(clsPaintDC& dc, clsView& view, const clsOutline& style) override;
    bool HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) override;
    // The dotted control lines and the curve in yellow, in XOR mode.
    void DrawPreview(clsView& view) override;
    void FinishUpdateVertex() override {}
    void UpdateVertex(clsView& view, std::int16_t index, double x, double y, bool flag) override;
    void BindToScene(clsSceneSettings* scene) override { scene_ = scene; }

    clsPoint3D* ControlPoint(int index);

private:
    // What the outline was made from: the four points and the flatness, bit for bit.
    struct Inputs {
        double values[13];
        bool operator==(const Inputs& other) const;
    };
    Inputs CurrentInputs() const;

    clsSceneSettings* scene_ = nullptr;
    // The last outline. The points are public and change without notice, so the outline
    // is kept with the inputs it came from and made again when they differ.
    std::shared_ptr<const CurvePoints> outline_;
    Inputs outlineInputs_{};
};

} // namespace ov
