#pragma once
// Dragging the grabbed vertices of objects (the node-edit handles). Its undo step is
// recorded at the press. A command may replace or delete the objects during the drag; the
// drag then ends, and the views are made afresh.

#include <vector>

#include "paint/clsVertexHit.h"
#include "tools/Drag.h"

namespace ov {

class VertexDrag : public Drag {
public:
    VertexDrag(ToolContext& context, std::vector<clsVertexHit> hits);

    std::int32_t State() const override { return EditingVertices; }
    std::string Hint() const override { return "Node edit: release to place the point"; }
    void Move(double x, double y, int shift) override;
    bool Release(double x, double y, int shift) override;
    void Cancel() override;
    void DrawFeedback(int port) override;
    bool Over() const override { return abandoned_; }

private:
    bool HitsAlive() const;
    void Abandon();
    void DrawPreviews() const;

    std::vector<clsVertexHit> hits_;
    bool changed_ = false, abandoned_ = false;
};

} // namespace ov
