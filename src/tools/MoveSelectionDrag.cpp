#include "tools/MoveSelectionDrag.h"

#include "paint/clsView.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "tools/InputCodes.h"
#include "tools/ToolContext.h"

namespace ov {

MoveSelectionDrag::MoveSelectionDrag(ToolContext& context, const clsNode& selection, double pressX, double pressY)
    : PreviewDrag(context), pressX_(pressX), pressY_(pressY) {
    ShowQuietly(selection.Duplicate());
}

void MoveSelectionDrag::Move(double x, double y, int shift) {
    clsNode* reference = context_.Scene().TreeManager.GetSelection();
    if (!reference) { // the selection went away during the drag: nothing to show
        Show(nullptr, nullptr);
        return;
    }
    const bool snap = (shift & keys::ShiftBit) != 0;
    const clsView& view = context_.ActiveView();
    moveVector_ = view.ScreenToDoc(x, y, snap);
    moveVector_.Subtract(view.ScreenToDoc(pressX_, pressY_, snap));
    std::unique_ptr<clsNode> copy = reference->Duplicate();
    copy->TranslateByPoint(moveVector_);
    Show(std::move(copy), reference);
}

bool MoveSelectionDrag::Release(double, double, int) {
    clsScene& scene = context_.Scene();
    clsTreeManager& tm = scene.TreeManager;
    tm.PushUndoTree("Move");
    if (clsNode* selection = tm.GetSelection()) selection->TranslateByPoint(moveVector_);
    Forget(); // every view is made afresh below
    scene.UpdateViews();
    context_.StatusChanged();
    scene.OnDirty();
    return true;
}

} // namespace ov
