#include "tools/BoxDrag.h"

#include <cmath>

#include "paint/clsView.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "tools/InputCodes.h"
#include "tools/StatusText.h"
#include "tools/ToolContext.h"

namespace ov {

BoxDrag::BoxDrag(ToolContext& context, double pressX, double pressY, int shift)
    : PreviewDrag(context), pressX_(pressX), pressY_(pressY), snap_((shift & keys::ShiftBit) != 0),
      constrain_((shift & keys::CtrlBit) != 0) {}

std::string BoxDrag::Hint() const {
    return choosingHeight_ ? "Box: move for the height (Ctrl: a multiple of the base); click"
                           : "Box: release to fix the base; move for the height; click";
}

PlaneRectangle BoxDrag::Base(double x, double y) const {
    return PlaneCorners(context_.ActiveView(), pressX_, pressY_, x, y, snap_, constrain_, false);
}

void BoxDrag::Move(double x, double y, int shift) {
    const clsView& view = context_.ActiveView();
    clsScene& scene = context_.Scene();
    if (!choosingHeight_) {
        const bool snap = (shift & keys::ShiftBit) != 0, constrain = (shift & keys::CtrlBit) != 0;
        Show(MakeBox(scene, view, PlaneCorners(view, pressX_, pressY_, x, y, snap, constrain, false), 0), nullptr);
        return;
    }
    double sx = 0, sy = 0;
    view.GetScaleXY(sx, sy);
    double height = sy != 0 ? (y - secondY_) / sy : 0;
    if (shift & keys::CtrlBit) height = FitBoxHeight(Base(secondX_, secondY_), height);
    const double grid = scene.MinorGrid;
    if ((shift & keys::ShiftBit) && grid > 0) height = std::floor(height / grid + 0.5) * grid;
    height_ = std::isfinite(height) ? height : 0;
    Show(MakeBox(scene, view, Base(secondX_, secondY_), height_), nullptr);
}

bool BoxDrag::Release(double x, double y, int) {
    if (choosingHeight_) {
        AddShown();
        return true;
    }
    secondX_ = x;
    secondY_ = y;
    choosingHeight_ = true;
    return false;
}

std::string BoxDrag::PointerText(double x, double y, bool snap) const {
    const clsView& view = context_.ActiveView();
    if (!AxisNames(view.ViewType)) return "";
    if (choosingHeight_) return "Height " + RiseText(Rise(RectangleSides(view, Base(secondX_, secondY_)), height_));
    return SizeText(view, PlaneCorners(view, pressX_, pressY_, x, y, snap, false, false));
}

} // namespace ov
