#pragma once
// The vertex hit test every object shares: its vertices in order, projected by the view
// and tested against a screen rectangle. Only the first hit of an object draws the
// object's preview during a drag.

#include <vector>

#include "shapes/IShape.h"

namespace ov {

struct IndexedVertex {
    std::int16_t Index;
    clsPoint3D Point;
};

bool HitTestVertices(IVertexDraggable* object, const std::vector<IndexedVertex>& vertices, clsView& view,
                     const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst);

} // namespace ov
