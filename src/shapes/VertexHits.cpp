#include "shapes/VertexHits.h"

#include "paint/clsView.h"

namespace ov {

bool HitTestVertices(IVertexDraggable* object, const std::vector<IndexedVertex>& vertices, clsView& view,
                     const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) {
    bool found = false;
    for (const IndexedVertex& v : vertices) {
        if (!hits && found) {
            if (stopAtFirst) break;
            continue; // the answer is already yes: nothing more to project
        }
        double x = 0, y = 0;
        view.ConvertPointToScreen(v.Point, x, y);
        if (rect.IsInside(x, y)) {
            if (hits) hits->push_back({object, v.Index, !found});
            found = true;
        }
        if (found && stopAtFirst) break;
    }
    return found;
}

} // namespace ov
