#include "tools/EyeDrag.h"

#include "paint/clsView.h"
#include "scene/clsScene.h"
#include "tools/InputCodes.h"
#include "tools/ToolContext.h"
#include "tools/ToolHost.h"

namespace ov {

EyeDrag::EyeDrag(ToolContext& context, bool direction) : Drag(context), direction_(direction) {
    clsScene& scene = context.Scene();
    scene.TreeManager.PushUndoPerspective("Edit Eye Point");
    directionEnd_ = context.ActiveView().GetEyePointVector(scene);
    for (int i = 0; i < ToolContext::PortCount; ++i)
        if (context.View(i).ViewType != clsView::Perspective) context.Host().InvalidatePort(i);
}

std::string EyeDrag::Hint() const {
    return direction_ ? "Viewing direction: release to fix it" : "Eye point: release to place it";
}

void EyeDrag::DrawMarkers() const {
    context_.OnShownPorts([](clsView& view) {
        if (view.ViewType != clsView::Perspective && view.GetCanvas()) view.DrawViewPoint(*view.GetCanvas(), true);
    });
}

void EyeDrag::DrawFeedback(int port) {
    clsView& view = context_.View(port);
    if (view.GetCanvas()) view.DrawViewPoint(*view.GetCanvas(), true);
}

void EyeDrag::Move(double x, double y, int shift) {
    const bool snap = (shift & keys::ShiftBit) != 0;
    clsPerspective& camera = context_.Scene().GetPerspective();
    DrawMarkers();
    if (!direction_) {
        context_.ActiveView().UpdatePointFromScreen(camera.EyePoint, x, y, snap);
    } else {
        clsPoint3D target = directionEnd_;
        context_.ActiveView().UpdatePointFromScreen(target, x, y, snap);
        target.Subtract(camera.EyePoint);
        // The direction end dropped on the eye itself leaves no direction: keep the old one.
        if (target.GetLength() > 0) camera.Normal = target;
    }
    changed_ = true;
    DrawMarkers();
    context_.RefreshPerspectiveViews();
}

bool EyeDrag::Release(double, double, int) {
    clsScene& scene = context_.Scene();
    scene.UpdateViews();
    context_.StatusChanged();
    scene.OnDirty();
    return true;
}

void EyeDrag::Cancel() {
    DrawMarkers();
    // What the drag changed stays (its undo step was recorded at the press); the document is
    // changed, and the orthographic views show their markers as usual again.
    if (changed_) context_.Scene().OnDirty();
    context_.Scene().UpdateViews();
}

} // namespace ov
