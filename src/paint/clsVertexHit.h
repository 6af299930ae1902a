#pragma once
// One vertex or handle of a drawable object found under the cursor, and the drag of it.

#include <cstdint>

namespace ov {

class clsView;

// What an object offers so that its vertices can be dragged.
class IVertexDraggable {
public:
    virtual ~IVertexDraggable() = default;
    virtual void DrawPreview(clsView& view) = 0;
    virtual void UpdateVertex(clsView& view, std::int16_t vertexIndex, double x, double y, bool flag) = 0;
    virtual void FinishUpdateVertex() = 0;
};

class clsVertexHit {
public:
    IVertexDraggable* Object = nullptr; // owned by its node; valid during one drag
    std::int16_t VertexIndex = 0;
    bool ShowPreview = false; // only an object's first hit draws its preview

    void DrawObjectPreview(clsView& view) const {
        if (ShowPreview && Object) Object->DrawPreview(view);
    }
    void UpdatePoint(clsView& view, double x, double y, bool flag) const {
        if (Object) Object->UpdateVertex(view, VertexIndex, x, y, flag);
    }
    void FinishUpdatePoint() const {
        if (Object) Object->FinishUpdateVertex();
    }
};

} // namespace ov
