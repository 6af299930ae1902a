#include "tools/BezierDrag.h"

#include "paint/clsView.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "tools/InputCodes.h"
#include "tools/ToolContext.h"

namespace ov {

BezierDrag::BezierDrag(ToolContext& context, double pressX, double pressY, int shift) : PreviewDrag(context) {
    curve_.fill(context.ActiveView().ScreenToDoc(pressX, pressY, (shift & keys::ShiftBit) != 0));
}

std::string BezierDrag::Hint() const {
    switch (state_) {
    case DraggingBezierStart: return "Curve: release at the first handle; then click the end point";
    case MovingBezierEnd: return "Curve: press at the end point and drag to its handle";
    default: return "Curve: release at the second handle";
    }
}

void BezierDrag::Move(double x, double y, int shift) {
    const clsPoint3D p = context_.ActiveView().ScreenToDoc(x, y, (shift & keys::ShiftBit) != 0);
    if (state_ == DraggingBezierStart) curve_[1] = p;
    if (state_ != DraggingBezierControl) curve_[3] = p;
    curve_[2] = p;
    Show(context_.Scene().TreeManager.CreateBezierNode(curve_[0], curve_[1], curve_[2], curve_[3], ""), nullptr);
}

void BezierDrag::Press(double, double, int) {
    if (state_ == MovingBezierEnd) state_ = DraggingBezierControl;
}

bool BezierDrag::Release(double, double, int) {
    if (state_ == DraggingBezierStart) {
        state_ = MovingBezierEnd;
        return false;
    }
    AddShown();
    return true;
}

} // namespace ov
