#include "paint/clsView.h"

#include <cmath>

#include "camera/clsPerspective.h"
#include "settings/clsSceneSettings.h"
#include "paint/Canvas.h"

namespace ov {

namespace {

double Sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

} // namespace

clsView::clsView() {
    ViewRect.SetValues(-20, -20, 20, 20);
    ViewVolume.SetValues(-20, -20, 20, 20);
}

std::string clsView::ViewName(std::int32_t viewType) {
    static const char* const names[] = {"Left", "Top", "Right", "Bottom", "Front", "Back", "Perspective"};
    return viewType >= 0 && viewType <= 6 ? names[viewType] : "";
}

void clsView::SetView(std::int32_t viewType, Canvas* canvas, clsSceneSettings* scene) {
    canvas_ = canvas;
    scene_ = scene;
    SetViewType(viewType);
}

void clsView::SetViewType(std::int32_t viewType) {
    ViewType = viewType;
    UpdateViewVolume();
}

void clsView::UpdateViewVolume() {
    if (scene_) {
        const clsPoint3D& m = scene_->ViewVolumeMin;
        const clsPoint3D& M = scene_->ViewVolumeMax;
        switch (ViewType) {
        case Left: ViewVolume.SetValues(m.y, m.z, M.y, M.z); break;
        case Top: ViewVolume.SetValues(m.x, m.y, M.x, M.y); break;
        case Right: ViewVolume.SetValues(M.y, m.z, m.y, M.z); break;
        case Bottom: ViewVolume.SetValues(M.x, m.y, m.x, M.y); break;
        case Front: ViewVolume.SetValues(M.x, m.z, m.x, M.z); break;
        case Back: ViewVolume.SetValues(m.x, m.z, M.x, M.z); break;
        case Perspective: {
            const clsPerspective& c = scene_->GetPerspective();
            ViewVolume.SetValues(c.UMin, c.VMin, c.UMax, c.VMax);
            break;
        }
        default: break;
        }
    }
    ViewRect.CopyAssign(ViewVolume);
}

clsRect clsView::GetScreenRect() const {
    clsRect r;
    if (!canvas_) return r;
    const double m = scene_ && scene_->ShowRulers && !PictureOnly ? RulerWidth : 0;
    // Bottom holds the upper pixel row so that the height comes out positive.
    r.SetValues(canvas_->ScaleLeft + m, canvas_->ScaleTop + m, canvas_->ScaleLeft + canvas_->ScaleWidth(),
                canvas_->ScaleTop + canvas_->ScaleHeight());
    return r;
}

void clsView::GetScaleXY(double& sx, double& sy) const {
    const clsRect screen = GetScreenRect();
    const double ws = screen.GetWidth(), hs = screen.GetHeight();
    double wd = ViewRect.GetWidth(), hd = ViewRect.GetHeight();
    if (wd == 0) wd = 1;
    if (hd == 0) hd = 1;
    const double s = std::fabs(ws * hd) < std::fabs(hs * wd) ? std::fabs(ws / wd) : std::fabs(hs / hd);
    sx = s * Sign(wd);
    sy = s * Sign(hd);
}

bool clsView::ConvertPoint(const clsPoint3D& p, double& u, double& v) const {
    switch (ViewType) {
    case Left:
    case Right: u = p.y; v = p.z; return true;
    case Top:
    case Bottom: u = p.x; v = p.y; return true;
    case Front:
    case Back: u = p.x; v = p.z; return true;
    case Perspective: return scene_ ? scene_->GetPerspective().ConvertPoint(p, u, v) : false;
    default: u = v = 0; return true;
    }
}

bool clsView::ConvertLine(const clsLine3D& line, double& uStart, double& vStart, double& uEnd, double& vEnd) const {
    if (ViewType == Perspective)
        return scene_ ? scene_->GetPerspective().ConvertLine(line, uStart, vStart, uEnd, vEnd) : false;
    ConvertPoint(line.StartPoint, uStart, vStart);
    ConvertPoint(line.EndPoint, uEnd, vEnd);
    return true;
}

double clsView::GetScreenX(double u) const {
    double sx, sy;
    GetScaleXY(sx, sy);
    return std::trunc((u - ViewRect.GetCenterX()) * sx + GetScreenRect().GetCenterX() + 0.5);
}

double clsView::GetScreenY(double v) const {
    double sx, sy;
    GetScaleXY(sx, sy);
    return std::trunc(-(v - ViewRect.GetCenterY()) * sy + GetScreenRect().GetCenterY() + 0.5);
}

bool clsView::ConvertPointToScreen(const clsPoint3D& p, double& x, double& y) const {
    double u, v;
    if (!ConvertPoint(p, u, v)) return false;
    x = GetScreenX(u);
    y = GetScreenY(v);
    return true;
}

bool clsView::ConvertLineToScreen(const clsLine3D& line, double& xStart, double& yStart, double& xEnd,
                                  double& yEnd) const {
    double u1, v1, u2, v2;
    if (!ConvertLine(line, u1, v1, u2, v2)) return false;
    xStart = GetScreenX(u1);
    yStart = GetScreenY(v1);
    xEnd = GetScreenX(u2);
    yEnd = GetScreenY(v2);
    return true;
}

void clsView::ScreenToDoc2D(double& x, double& y, bool snap) const {
    double sx, sy;
    GetScaleXY(sx, sy);
    const clsRect screen = GetScreenRect();
    double u = (x - screen.GetCenterX()) / sx + ViewRect.GetCenterX();
    double v = -(y - screen.GetCenterY()) / sy + ViewRect.GetCenterY();
    const double g = scene_ ? scene_->MinorGrid : 0;
    if (snap && g > 0) {
        u = std::floor(u / g + 0.5) * g;
        v = std::floor(v / g + 0.5) * g;
    }
    x = u;
    y = v;
}

clsPoint3D clsView::PlanePointToPoint3D(double u, double v, double depth) const {
    switch (ViewType) {
    case Left:
    case Right: return {depth, u, v};
    case Top:
    case Bottom: return {u, v, depth};
    case Front:
    case Back: return {u, depth, v};
    default: return {0, 0, 0};
    }
}

clsPoint3D clsView::ScreenToDoc(double x, double y, bool snap) const {
    ScreenToDoc2D(x, y, snap);
    return PlanePointToPoint3D(x, y, 0);
}

void clsView::UpdatePointFromScreen(clsPoint3D& point, double x, double y, bool snap) const {
    double depth;
    switch (ViewType) {
    case Left:
    case Right: depth = point.x; break;
    case Top:
    case Bottom: depth = point.z; break;
    case Front:
    case Back: depth = point.y; break;
    default: return; // the perspective view has no plane to move in
    }
    ScreenToDoc2D(x, y, snap);
    point = PlanePointToPoint3D(x, y, depth);
}

void clsView::GetBaseVectors(clsPoint3D& e1, clsPoint3D& e2, clsPoint3D& normal) const {
    switch (ViewType) {
    case Left: e1 = {0, 1, 0}; e2 = {0, 0, 1}; break;
    case Top: e1 = {1, 0, 0}; e2 = {0, 1, 0}; break;
    case Right: e1 = {0, -1, 0}; e2 = {0, 0, 1}; break;
    case Bottom: e1 = {-1, 0, 0}; e2 = {0, 1, 0}; break;
    case Front: e1 = {-1, 0, 0}; e2 = {0, 0, 1}; break;
    case Back: e1 = {1, 0, 0}; e2 = {0, 0, 1}; break;
    case Perspective:
        if (scene_) {
            scene_->GetPerspective().GetBaseVectors(e1, e2, normal);
            return;
        }
        [[fallthrough]];
    default: e1 = {1, 0, 0}; e2 = {0, 1, 0}; break;
    }
    normal = e1.CrossProduct(e2);
}

void clsView::ZoomIn(double x1, double y1, double x2, double y2) {
    ScreenToDoc2D(x1, y1, false);
    ScreenToDoc2D(x2, y2, false);
    const double uLow = std::min(x1, x2), uHigh = std::max(x1, x2);
    const double vLow = std::min(y1, y2), vHigh = std::max(y1, y2);
    if (ViewType == Right || ViewType == Bottom || ViewType == Front) ViewRect.SetValues(uHigh, vLow, uLow, vHigh);
    else ViewRect.SetValues(uLow, vLow, uHigh, vHigh);
}

clsPoint3D clsView::GetEyePointVector(const clsSceneSettings& scene) const {
    const double length = std::max(std::fabs(ViewRect.GetWidth()), std::fabs(ViewRect.GetHeight())) / 8;
    const clsPerspective& camera = scene.GetPerspective();
    clsPoint3D direction = camera.Normal.Duplicate();
    direction.Normalize();
    direction.Multiply(length);
    clsPoint3D end = camera.EyePoint.Duplicate();
    end.Add(direction);
    return end;
}

} // namespace ov
