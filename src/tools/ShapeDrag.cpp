#include "tools/ShapeDrag.h"

#include <cmath>

#include "paint/clsView.h"
#include "scene/clsNode.h"
#include "tools/InputCodes.h"
#include "tools/StatusText.h"
#include "tools/ToolContext.h"

namespace ov {

std::int32_t ShapeDrag::State() const {
    switch (kind_) {
    case Kind::Line: return CreatingLine;
    case Kind::Rectangle: return CreatingRectangle;
    default: return CreatingEllipse;
    }
}

std::string ShapeDrag::Hint() const {
    switch (kind_) {
    case Kind::Line: return "Line: release at the end point (Shift snaps, Ctrl keeps eight directions)";
    case Kind::Rectangle: return "Rectangle: release at the opposite corner (Ctrl: a square)";
    default: return "Ellipse: release at the opposite corner of its box (Ctrl: a circle)";
    }
}

PlaneRectangle ShapeDrag::Corners(double x, double y, bool snap, bool constrain) const {
    return PlaneCorners(context_.ActiveView(), pressX_, pressY_, x, y, snap, constrain, kind_ == Kind::Line);
}

void ShapeDrag::Move(double x, double y, int shift) {
    const PlaneRectangle r = Corners(x, y, (shift & keys::ShiftBit) != 0, (shift & keys::CtrlBit) != 0);
    clsScene& scene = context_.Scene();
    const clsView& view = context_.ActiveView();
    switch (kind_) {
    case Kind::Line: Show(MakeLine(scene, view, r), nullptr); break;
    case Kind::Rectangle: Show(MakeRectangle(scene, view, r), nullptr); break;
    case Kind::Ellipse: Show(MakeEllipse(scene, view, r), nullptr); break;
    }
}

bool ShapeDrag::Release(double, double, int) {
    AddShown();
    return true;
}

std::string ShapeDrag::PointerText(double x, double y, bool snap) const {
    const clsView& view = context_.ActiveView();
    if (!AxisNames(view.ViewType)) return "";
    const PlaneRectangle r = Corners(x, y, snap, false);
    if (kind_ != Kind::Line) return SizeText(view, r);
    const double angle = std::atan2(r.y1 - r.y0, r.x1 - r.x0) * 180 / 3.14159265358979323846;
    return "Length " + Short(std::hypot(r.x1 - r.x0, r.y1 - r.y0)) + "   Angle " + Short(angle) + "\u00b0";
}

} // namespace ov
