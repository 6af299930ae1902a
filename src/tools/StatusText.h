#pragma once
// Numbers and positions as the status line's pointer field shows them.

#include <cstdint>
#include <string>

#include "geometry/clsPoint3D.h"

namespace ov {

class clsView;
struct PlaneRectangle;

// A number at the scene's precision without trailing zeros.
std::string Short(double value);
// Axis letters of a view's (u, v) coordinates ("XY"); null for the perspective view.
const char* AxisNames(std::int32_t viewType);
// "X 1.5   Y 2" for a pixel position of a view; "" for the perspective view.
std::string PositionText(const clsView& view, double x, double y, bool snap);
// "Size X 2   Y 3" of a rectangle in the plane of a view.
std::string SizeText(const clsView& view, const PlaneRectangle& r);
// The rise of a box as the user sees it: its length and which way it points along the one
// axis it follows ("6, towards +Z"); the sign of the height alone depends on how the base
// was drawn.
std::string RiseText(const clsPoint3D& rise);

} // namespace ov
