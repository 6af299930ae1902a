// Zooming and panning a view: every change moves or scales ViewRect only, so the screen
// mapping's rules (equal scales on both axes, the rectangle centred in the screen) stay
// as they are and every conversion follows at once.
#include "paint/clsView.h"

#include <algorithm>
#include <cmath>

namespace ov {

namespace {

// How far a view may be zoomed, against its whole volume: far enough in to work on a
// detail, not so far that the view-plane numbers lose their precision or the grid its lines.
constexpr double kMostIn = 1e-6;
constexpr double kMostOut = 1e3;

double Extent(const clsRect& r) { return std::max(std::fabs(r.GetWidth()), std::fabs(r.GetHeight())); }

} // namespace

void clsView::ZoomAt(double x, double y, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const double volume = Extent(ViewVolume) > 0 ? Extent(ViewVolume) : 1;
    const double now = Extent(ViewRect) > 0 ? Extent(ViewRect) : volume;
    const double wanted = std::clamp(now / factor, volume * kMostIn, volume * kMostOut);
    const double scale = wanted / now;
    // The point under the pointer keeps its pixel: with the rectangle scaled about it, the
    // centre's offset from it and the pixels per unit change by the same factor.
    double u = x, v = y;
    ScreenToDoc2D(u, v, false);
    ViewRect.SetValues(u + (ViewRect.Left - u) * scale, v + (ViewRect.Bottom - v) * scale,
                       u + (ViewRect.Right - u) * scale, v + (ViewRect.Top - v) * scale);
}

void clsView::ZoomAtCentre(double factor) {
    const clsRect screen = GetScreenRect();
    ZoomAt(screen.GetCenterX(), screen.GetCenterY(), factor);
}

void clsView::Pan(double dx, double dy) {
    double sx, sy;
    GetScaleXY(sx, sy);
    if (sx == 0 || sy == 0) return;
    // The picture follows the pointer: the visible area moves the other way.
    ViewRect.Translate(-dx / sx, dy / sy);
}

void clsView::ZoomToBox(const clsRect& box, double margin) {
    double w = std::fabs(box.GetWidth()), h = std::fabs(box.GetHeight());
    // A single point or a line along an axis still needs an area to show.
    const double least = std::max({w, h, Extent(ViewVolume) * 1e-3, 1e-9});
    w = std::max(w, least) * (1 + 2 * margin);
    h = std::max(h, least) * (1 + 2 * margin);
    // Mirrored views stay mirrored.
    const double su = ViewRect.GetWidth() < 0 ? -1 : 1, sv = ViewRect.GetHeight() < 0 ? -1 : 1;
    const double cu = box.GetCenterX(), cv = box.GetCenterY();
    ViewRect.SetValues(cu - su * w / 2, cv - sv * h / 2, cu + su * w / 2, cv + sv * h / 2);
}

void clsView::RefreshViewVolume() {
    const clsRect before = ViewVolume, shown = ViewRect;
    UpdateViewVolume();
    const bool same = before.Left == ViewVolume.Left && before.Right == ViewVolume.Right &&
                      before.Bottom == ViewVolume.Bottom && before.Top == ViewVolume.Top;
    if (same) ViewRect = shown;
}

} // namespace ov
