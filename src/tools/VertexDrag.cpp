#include "tools/VertexDrag.h"

#include <unordered_set>

#include "paint/clsView.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "tools/InputCodes.h"
#include "tools/ToolContext.h"

namespace ov {

VertexDrag::VertexDrag(ToolContext& context, std::vector<clsVertexHit> hits) : Drag(context), hits_(std::move(hits)) {
    context.Scene().TreeManager.PushUndoTree("Edit Nodes");
    DrawPreviews();
}

bool VertexDrag::HitsAlive() const {
    if (hits_.empty()) return true;
    std::unordered_set<const IVertexDraggable*> objects;
    std::vector<const clsNode*> pending{context_.Scene().GetRootNode()};
    while (!pending.empty()) {
        const clsNode* node = pending.back();
        pending.pop_back();
        if (!node) continue;
        if (node->Object) objects.insert(node->Object.get());
        for (const clsNode* c = node->FirstChild(); c; c = c->NextSibling()) pending.push_back(c);
    }
    for (const clsVertexHit& hit : hits_)
        if (!objects.count(hit.Object)) return false;
    return true;
}

// Nothing is left to erase or finish: the pictures are made afresh instead.
void VertexDrag::Abandon() {
    hits_.clear();
    abandoned_ = true;
    context_.InvalidateAll();
    context_.StatusChanged();
}

void VertexDrag::DrawPreviews() const {
    context_.OnShownPorts([&](clsView& view) {
        for (const clsVertexHit& hit : hits_) hit.DrawObjectPreview(view);
    });
}

void VertexDrag::DrawFeedback(int port) {
    if (!HitsAlive()) return;
    for (const clsVertexHit& hit : hits_) hit.DrawObjectPreview(context_.View(port));
}

void VertexDrag::Move(double x, double y, int shift) {
    if (!HitsAlive()) {
        Abandon();
        return;
    }
    DrawPreviews();
    for (const clsVertexHit& hit : hits_) hit.UpdatePoint(context_.ActiveView(), x, y, (shift & keys::ShiftBit) != 0);
    changed_ = true;
    DrawPreviews();
}

bool VertexDrag::Release(double, double, int) {
    if (!HitsAlive()) {
        Abandon();
        return true;
    }
    clsScene& scene = context_.Scene();
    scene.OnDirty();
    // Erased before the objects settle, so that the second drawing matches the first.
    DrawPreviews();
    const std::vector<clsVertexHit> hits = std::move(hits_);
    hits_.clear();
    for (const clsVertexHit& hit : hits) hit.FinishUpdatePoint();
    scene.UpdateViews();
    context_.StatusChanged();
    return true;
}

void VertexDrag::Cancel() {
    if (HitsAlive()) DrawPreviews();
    hits_.clear();
    if (changed_) context_.Scene().OnDirty();
    context_.Scene().UpdateViews();
}

} // namespace ov
