#include "tools/PreviewDrag.h"

#include "paint/clsView.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "tools/ToolContext.h"

namespace ov {

PreviewDrag::~PreviewDrag() = default;

void PreviewDrag::DrawShown() const {
    if (preview_) context_.OnShownPorts([&](clsView& view) { view.OnPaint(preview_.get(), true, false); });
}

void PreviewDrag::DrawFeedback(int port) {
    if (preview_) context_.View(port).OnPaint(preview_.get(), true, false);
}

void PreviewDrag::Show(std::unique_ptr<clsNode> shape, clsNode* reference) {
    DrawShown();
    preview_ = std::move(shape);
    if (preview_ || reference) context_.DescribeShape(preview_.get(), reference);
    DrawShown();
}

void PreviewDrag::ShowQuietly(std::unique_ptr<clsNode> shape) {
    DrawShown();
    preview_ = std::move(shape);
    DrawShown();
}

void PreviewDrag::Forget() { preview_.reset(); }

void PreviewDrag::AddShown() {
    clsTreeManager& tm = context_.Scene().TreeManager;
    tm.ClearSelection();
    if (!preview_) return;
    DrawShown();
    tm.PushUndoTree("Create");
    std::unique_ptr<clsNode> node = std::move(preview_);
    const std::string key = node->Key;
    tm.AddNode(std::move(node));
    tm.SelectNodeByKey(key, false);
    context_.Scene().UpdateViews();
}

} // namespace ov
