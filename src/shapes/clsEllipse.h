#pragma once
// An ellipse or elliptic arc in its own local XY plane, centred on the local origin and
// placed in the scene by Matrix. It is edited through six handles:
//   0 centre, 1 end of the X radius, 2 end of the Y radius,
//   3 opening handle of a closed ellipse, 4 and 5 start and end of an arc.
// Angles are radians, measured from local +X towards local +Y.

#include "geometry/clsMatrix3D.h"
#include "shapes/IShape.h"

namespace ov {

class clsEllipse : public IShape {
public:
    double RadiusX = 0;
    double RadiusY = 0;
    double StartAngle = 0;
    double EndAngle = 0;
    clsMatrix3D Matrix;        // local to document; its reference point is the centre
    std::int32_t Flatness = 0; // segments of a full ellipse; below 4 means 48

    void SetProps(double radiusX, double radiusY, double startAngle, double endAngle, std::int32_t flatness,
                  const clsMatrix3D* matrix);
    void Translate(double dx, double dy, double dz) override;
    // An arc when the two angles differ by more than 0.02 (modulo a full turn).
    bool IsArc() const;
    SegmentList BreakApart() override;
    void Assign(const clsEllipse& source);
    std::unique_ptr<IShape> Clone() const override;
    void RotateRel(double ax, double ay, double az, const clsPoint3D* center) override;
    void Stretch(double sx, double sy, double sz, const clsPoint3D* center) override;
    void ReadData(const clsStream& record) override;
    void WriteData(clsStream& record) const override;
    clsPoint3D GetHandlePoint(int index) const;
    void PutHandlePoint(int index, const clsPoint3D& point);
    // Dotted radius guides and marks at handles 0, 1, 2, 4 and 5.
    void DrawHandles(clsPaintDC& dc, clsView& view, const clsOutline& style) override;
    bool HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) override;
    void DrawPreview(clsView& view) override;
    // A drag that brought the angles within 0.02 of each other closes the ellipse again.
    void FinishUpdateVertex() override;
    void UpdateVertex(clsView& view, std::int16_t index, double x, double y, bool flag) override;
    void BindToScene(clsSceneSettings* scene) override { scene_ = scene; }

    // Handle 3 is active on a closed ellipse (equal angles), 4 and 5 otherwise.
    bool IsHandleActive(int index) const;

private:
    clsPoint3D LocalHandle(int index) const;
    clsPoint3D OnOutline(double angle) const;
    SegmentList Refused();

    clsSceneSettings* scene_ = nullptr;
    std::shared_ptr<const CurvePoints> cache_;
    bool cached_ = false;
};

} // namespace ov
