#include "tools/StatusText.h"

#include <cmath>

#include "paint/clsView.h"
#include "scene/AppState.h"
#include "tools/ShapeGeometry.h"

namespace ov {

namespace {
const char* const kGap = "   ";
}

std::string Short(double value) {
    std::string text = FormatNumber(value);
    const std::size_t point = text.find_first_of(".,");
    if (point == std::string::npos) return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.size() == point + 1) text.pop_back();
    return text == "-0" ? "0" : text;
}

const char* AxisNames(std::int32_t viewType) {
    switch (viewType) {
    case clsView::Left:
    case clsView::Right: return "YZ";
    case clsView::Top:
    case clsView::Bottom: return "XY";
    case clsView::Front:
    case clsView::Back: return "XZ";
    default: return nullptr;
    }
}

std::string PositionText(const clsView& view, double x, double y, bool snap) {
    const char* axes = AxisNames(view.ViewType);
    if (!axes) return "";
    double u = x, v = y;
    view.ScreenToDoc2D(u, v, snap);
    return std::string(1, axes[0]) + " " + Short(u) + kGap + axes[1] + " " + Short(v);
}

std::string SizeText(const clsView& view, const PlaneRectangle& r) {
    const char* axes = AxisNames(view.ViewType);
    if (!axes) return "";
    return std::string("Size ") + axes[0] + " " + Short(std::fabs(r.x1 - r.x0)) + kGap + axes[1] + " " +
           Short(std::fabs(r.y1 - r.y0));
}

std::string RiseText(const clsPoint3D& rise) {
    const double along[] = {rise.x, rise.y, rise.z};
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(along[i]) > std::fabs(along[axis])) axis = i;
    const std::string length = Short(std::fabs(along[axis]));
    if (along[axis] == 0 || !std::isfinite(along[axis])) return length;
    return length + ", towards " + (along[axis] > 0 ? "+" : "-") + "XYZ"[axis];
}

} // namespace ov
