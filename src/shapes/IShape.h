#pragma once
// The operations every drawable object offers the node that carries it: moving, turning
// and stretching, copying, reading and writing its record, breaking it into the straight
// segments that represent it everywhere, vertex hit tests and vertex drags.

#include <memory>
#include <vector>

#include "geometry/clsLine3D.h"
#include "geometry/clsRect.h"
#include "paint/clsVertexHit.h"
#include "shapes/SegmentList.h"

namespace ov {

class clsOutline;
class clsPaintDC;
class clsSceneSettings;
class clsStream;
class clsView;

class IShape : public IVertexDraggable {
public:
    virtual void Translate(double dx, double dy, double dz) = 0;
    // Turns about center (the origin when null) by the three axis angles in degrees, as
    // clsPoint3D::RotateRel.
    virtual void RotateRel(double ax, double ay, double az, const clsPoint3D* center) = 0;
    virtual void Stretch(double sx, double sy, double sz, const clsPoint3D* center) = 0;
    // A new object of the same class that is an independent copy of this one.
    virtual std::unique_ptr<IShape> Clone() const = 0;
    virtual SegmentList BreakApart() = 0;
    virtual void ReadData(const clsStream& record) = 0;
    virtual void WriteData(clsStream& record) const = 0;
    // Whether a vertex of the object, projected by the view, lies in rect (screen
    // coordinates); with hits, one vertex hit per vertex found is appended.
    virtual bool HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits,
                             bool stopAtFirst) = 0;
    // Construction handles of a selected object; nothing by default.
    virtual void DrawHandles(clsPaintDC& /*dc*/, clsView& /*view*/, const clsOutline& /*style*/) {}
    // The scene whose settings and functions the object uses; nothing by default.
    virtual void BindToScene(clsSceneSettings* /*scene*/) {}
};

} // namespace ov
