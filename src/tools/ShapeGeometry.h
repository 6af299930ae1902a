#pragma once
// The shapes the drawing tools make from two pixel positions of a view: the press point and
// the pointer. Shift snaps both to the grid; Ctrl constrains the second (eight directions
// for a line, equal sides for the others).

#include <array>
#include <memory>
#include <utility>

#include "geometry/clsPoint3D.h"

namespace ov {

class clsNode;
class clsScene;
class clsView;

struct PlaneRectangle {
    double x0, y0, x1, y1; // view-plane coordinates of the two corners
};

// View-plane coordinates of the press point and of (x, y).
PlaneRectangle PlaneCorners(const clsView& view, double pressX, double pressY, double x, double y, bool snap,
                            bool constrain, bool line);

// The four sides of a rectangle in the view plane, in drawing order.
using Sides = std::array<std::pair<clsPoint3D, clsPoint3D>, 4>;
Sides RectangleSides(const clsView& view, const PlaneRectangle& r);
// The document vector from a base to the top of a box of the height given: along the
// normal of the base, so that its side follows the sign of the height and the orientation
// of the base. A flat base has no normal and the top lies on it.
clsPoint3D Rise(const Sides& sides, double height);
// A height near the one given that is a whole multiple of a side of the base (Ctrl).
double FitBoxHeight(const PlaneRectangle& base, double height);

std::unique_ptr<clsNode> MakeLine(const clsScene& scene, const clsView& view, const PlaneRectangle& r);
// A group "Box" of the base's four sides, and with a height the top's and the four edges
// between; "Rectangle" when the height is 0.
std::unique_ptr<clsNode> MakeBox(const clsScene& scene, const clsView& view, const PlaneRectangle& r,
                                 double height);
std::unique_ptr<clsNode> MakeRectangle(const clsScene& scene, const clsView& view, const PlaneRectangle& r);
std::unique_ptr<clsNode> MakeEllipse(clsScene& scene, const clsView& view, const PlaneRectangle& r);

} // namespace ov
