#include "tools/MeasureDrag.h"

#include <cmath>

#include "paint/clsView.h"
#include "scene/clsScene.h"
#include "tools/InputCodes.h"
#include "tools/StatusText.h"
#include "tools/ToolContext.h"
#include "tools/ToolHost.h"

namespace ov {

std::string MeasureText(const clsView& view, const clsPoint3D& a, const clsPoint3D& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    std::string text = "Distance " + Short(std::sqrt(dx * dx + dy * dy + dz * dz)) + "   dX " + Short(dx) +
                       "   dY " + Short(dy) + "   dZ " + Short(dz);
    double u0 = 0, v0 = 0, u1 = 0, v1 = 0;
    view.ConvertPoint(a, u0, v0);
    view.ConvertPoint(b, u1, v1);
    if (AxisNames(view.ViewType) && (u1 != u0 || v1 != v0))
        text += "   Angle " + Short(std::atan2(v1 - v0, u1 - u0) * 180 / 3.14159265358979323846) + "\u00b0";
    return text;
}

MeasureDrag::MeasureDrag(ToolContext& context, double pressX, double pressY, std::shared_ptr<std::string> result)
    : PreviewDrag(context), pressX_(pressX), pressY_(pressY), result_(std::move(result)) {}

void MeasureDrag::Move(double x, double y, int shift) {
    const bool snap = (shift & keys::ShiftBit) != 0;
    const clsView& view = context_.ActiveView();
    const clsPoint3D a = view.ScreenToDoc(pressX_, pressY_, snap), b = view.ScreenToDoc(x, y, snap);
    ShowQuietly(context_.Scene().TreeManager.CreateLineNode(a.x, a.y, a.z, b.x, b.y, b.z, ""));
    context_.Host().ShowPointerLabel(context_.Active(), x, y, MeasureText(view, a, b));
}

bool MeasureDrag::Release(double x, double y, int shift) {
    const bool snap = (shift & keys::ShiftBit) != 0;
    const clsView& view = context_.ActiveView();
    *result_ = MeasureText(view, view.ScreenToDoc(pressX_, pressY_, snap), view.ScreenToDoc(x, y, snap));
    Cancel();
    return true;
}

void MeasureDrag::Cancel() {
    PreviewDrag::Cancel();
    context_.Host().ShowPointerLabel(context_.Active(), 0, 0, "");
}

std::string MeasureDrag::PointerText(double x, double y, bool snap) const {
    const clsView& view = context_.ActiveView();
    return MeasureText(view, view.ScreenToDoc(pressX_, pressY_, snap), view.ScreenToDoc(x, y, snap));
}

} // namespace ov
