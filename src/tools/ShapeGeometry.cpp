#include "tools/ShapeGeometry.h"

#include <cmath>

#include "paint/clsView.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "shapes/clsEllipse.h"

namespace ov {

namespace {

double Sgn(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// Ctrl on a drag: a line within twice the one side of the other becomes horizontal or
// vertical, any other line a diagonal; the other shapes get equal sides.
void Constrain(double x0, double y0, double& x1, double& y1, bool line) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double ax = std::fabs(dx), ay = std::fabs(dy);
    if (line && (ax > 2 * ay || ay > 2 * ax)) {
        if (ay >= ax)
            x1 = x0;
        else
            y1 = y0;
        return;
    }
    if (ay >= ax)
        x1 = x0 + Sgn(dx) * ay;
    else
        y1 = y0 + Sgn(dy) * ax;
}

} // namespace

PlaneRectangle PlaneCorners(const clsView& view, double pressX, double pressY, double x, double y, bool snap,
                            bool constrain, bool line) {
    PlaneRectangle r{pressX, pressY, x, y};
    view.ScreenToDoc2D(r.x0, r.y0, snap);
    view.ScreenToDoc2D(r.x1, r.y1, snap);
    if (constrain) Constrain(r.x0, r.y0, r.x1, r.y1, line);
    return r;
}

Sides RectangleSides(const clsView& view, const PlaneRectangle& r) {
    const clsPoint3D a = view.PlanePointToPoint3D(r.x0, r.y0, 0), b = view.PlanePointToPoint3D(r.x1, r.y0, 0),
                     c = view.PlanePointToPoint3D(r.x1, r.y1, 0), d = view.PlanePointToPoint3D(r.x0, r.y1, 0);
    return {{{a, b}, {b, c}, {c, d}, {d, a}}};
}

clsPoint3D Rise(const Sides& sides, double height) {
    clsPoint3D e0 = sides[0].second, e1 = sides[1].second;
    e0.Subtract(sides[0].first);
    e1.Subtract(sides[1].first);
    clsPoint3D offset = e0.CrossProduct(e1);
    offset.Normalize();
    offset.Multiply(height);
    return offset;
}

double FitBoxHeight(const PlaneRectangle& base, double height) {
    const double w = std::fabs(base.x1 - base.x0), e = std::fabs(base.y1 - base.y0), a = std::fabs(height);
    const double mw = w != 0 ? std::floor(a / w + 0.5) * w : 0;
    const double me = e != 0 ? std::floor(a / e + 0.5) * e : 0;
    double magnitude = a;
    if (w != 0 && e != 0)
        magnitude = std::fabs(mw - a) < std::fabs(me - a) ? mw : me;
    else if (w != 0)
        magnitude = mw;
    else if (e != 0)
        magnitude = me;
    return height < 0 ? -magnitude : height > 0 ? magnitude : 0;
}

std::unique_ptr<clsNode> MakeLine(const clsScene& scene, const clsView& view, const PlaneRectangle& r) {
    const clsPoint3D a = view.PlanePointToPoint3D(r.x0, r.y0, 0), b = view.PlanePointToPoint3D(r.x1, r.y1, 0);
    return scene.TreeManager.CreateLineNode(a.x, a.y, a.z, b.x, b.y, b.z, "");
}

std::unique_ptr<clsNode> MakeBox(const clsScene& scene, const clsView& view, const PlaneRectangle& r,
                                 double height) {
    const clsTreeManager& tm = scene.TreeManager;
    auto group = clsTreeManager::CreateNode(clsNode::Group);
    group->Name = "Box";
    const Sides sides = RectangleSides(view, r);
    for (const auto& [s, e] : sides) group->AddChild(tm.CreateLineNode(s.x, s.y, s.z, e.x, e.y, e.z, ""));
    if (height == 0) return group;

    const clsPoint3D o = Rise(sides, height);
    for (const auto& [s, e] : sides)
        group->AddChild(tm.CreateLineNode(s.x + o.x, s.y + o.y, s.z + o.z, e.x + o.x, e.y + o.y, e.z + o.z, ""));
    for (const auto& side : sides) {
        const clsPoint3D& s = side.first;
        group->AddChild(tm.CreateLineNode(s.x, s.y, s.z, s.x + o.x, s.y + o.y, s.z + o.z, ""));
    }
    return group;
}

// A rectangle is a box without height under its own name: the same four sides in the same
// order.
std::unique_ptr<clsNode> MakeRectangle(const clsScene& scene, const clsView& view, const PlaneRectangle& r) {
    auto node = MakeBox(scene, view, r, 0);
    node->Name = "Rectangle";
    return node;
}

std::unique_ptr<clsNode> MakeEllipse(clsScene& scene, const clsView& view, const PlaneRectangle& r) {
    clsPoint3D centre = view.PlanePointToPoint3D(r.x0, r.y0, 0);
    centre.Add(view.PlanePointToPoint3D(r.x1, r.y1, 0));
    centre.Multiply(0.5);

    // The ellipse lies in its own XY plane; the matrix turns that plane into the view plane.
    clsMatrix3D matrix;
    switch (view.ViewType) {
    case clsView::Left:
    case clsView::Right:
        matrix.SetRotationY(90);
        matrix.RotateMatrix(90, 0, 0, nullptr);
        break;
    case clsView::Front:
    case clsView::Back:
        matrix.SetRotationX(90);
        break;
    default:
        break;
    }
    matrix.RefPoint = centre;

    auto node = clsTreeManager::CreateNode(clsNode::Ellipse);
    auto ellipse = std::make_unique<clsEllipse>();
    ellipse->BindToScene(&scene);
    ellipse->SetProps(std::fabs(r.x0 - r.x1) / 2, std::fabs(r.y0 - r.y1) / 2, 0, 0, 0, &matrix);
    node->Object = std::move(ellipse);
    return node;
}

} // namespace ov
