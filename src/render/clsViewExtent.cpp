// Where the objects of the tree lie in a view: the box that Zoom to Objects fits into the
// view, and the objects that a marquee encloses. Both look at what the view draws, the
// projected segments of the visible objects (clipped by the camera in the perspective view).
#include "paint/clsView.h"

#include <algorithm>
#include <functional>

#include "scene/clsNode.h"

namespace ov {

namespace {

// Calls visit with the view-plane ends of every segment of the node's visible objects that
// the view shows; stops (and answers false) as soon as visit does. hidden is told of
// segments the view cannot show.
bool ForEachPlaneSegment(const clsView& view, const clsNode& node,
                         const std::function<bool(double, double, double, double)>& visit,
                         const std::function<bool()>& hidden) {
    if (node.Hidden) return true;
    for (const clsLine3D& segment : node.BreakApart()) {
        double u1, v1, u2, v2;
        if (!view.ConvertLine(segment, u1, v1, u2, v2)) {
            if (!hidden()) return false;
            continue;
        }
        if (!visit(u1, v1, u2, v2)) return false;
    }
    for (const clsNode* c = node.FirstChild(); c; c = c->NextSibling())
        if (!ForEachPlaneSegment(view, *c, visit, hidden)) return false;
    return true;
}

} // namespace

bool clsView::GetObjectsExtent(clsNode* root, clsRect& box) const {
    if (!root) return false;
    bool any = false;
    double uMin = 0, vMin = 0, uMax = 0, vMax = 0;
    auto add = [&](double u, double v) {
        uMin = any ? std::min(uMin, u) : u;
        uMax = any ? std::max(uMax, u) : u;
        vMin = any ? std::min(vMin, v) : v;
        vMax = any ? std::max(vMax, v) : v;
        any = true;
    };
    ForEachPlaneSegment(
        *this, *root,
        [&](double u1, double v1, double u2, double v2) {
            add(u1, v1);
            add(u2, v2);
            return true;
        },
        [] { return true; });
    if (any) box.SetValues(uMin, vMin, uMax, vMax);
    return any;
}

std::vector<clsNode*> clsView::NodesInside(clsNode* root, const clsRect& pixels) const {
    std::vector<clsNode*> inside;
    if (!root) return inside;
    const double xLow = std::min(pixels.Left, pixels.Right), xHigh = std::max(pixels.Left, pixels.Right);
    const double yLow = std::min(pixels.Bottom, pixels.Top), yHigh = std::max(pixels.Bottom, pixels.Top);
    auto within = [&](double u, double v) {
        const double x = GetScreenX(u), y = GetScreenY(v);
        return x >= xLow && x <= xHigh && y >= yLow && y <= yHigh;
    };
    for (clsNode* node = root->FirstChild(); node; node = node->NextSibling()) {
        bool drawn = false;
        // An object partly out of the camera's sight is not wholly inside.
        const bool all = ForEachPlaneSegment(
            *this, *node,
            [&](double u1, double v1, double u2, double v2) {
                drawn = true;
                return within(u1, v1) && within(u2, v2);
            },
            [] { return false; });
        if (all && drawn) inside.push_back(node);
    }
    return inside;
}

} // namespace ov
