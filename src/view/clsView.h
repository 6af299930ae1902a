#pragma once
// One view port's geometry: which of the seven views it shows, which part of its view
// plane is visible, and the conversions between document points, view-plane coordinates
// (u, v) and pixels of its canvas.
//
// Orthographic views take two document axes as (u, v); the perspective view uses the
// camera's picture plane. Views 2, 3 and 4 show their horizontal axis growing to the left:
// their view volume runs from the maximum to the minimum.

#include <cstdint>
#include <string>

#include "geometry/clsLine3D.h"
#include "geometry/clsPoint3D.h"
#include "geometry/clsRect.h"

namespace ov {

class Canvas;
class clsSceneSettings;

class clsView {
public:
    enum ViewTypes : std::int32_t { Left = 0, Top = 1, Right = 2, Bottom = 3, Front = 4, Back = 5, Perspective = 6 };
    static constexpr int RulerWidth = 30; // pixels taken by the rulers at the left and top

    clsView();

    std::int32_t ViewType = Perspective;
    bool Active = false;
    clsRect ViewRect;   // visible part of the view plane
    clsRect ViewVolume; // full extent of the view plane

    void SetView(std::int32_t viewType, Canvas* canvas, clsSceneSettings* scene);
    void SetViewType(std::int32_t viewType);
    void UpdateViewVolume();
    void ResetZoom() { UpdateViewVolume(); }
    // Shows the screen rectangle spanned by two pixel positions.
    void ZoomIn(double x1, double y1, double x2, double y2);
    // Pixels per document unit, signed (negative on a mirrored axis).
    void GetScaleXY(double& sx, double& sy) const;
    bool ConvertPoint(const clsPoint3D& p, double& u, double& v) const;
    bool ConvertLine(const clsLine3D& line, double& uStart, double& vStart, double& uEnd, double& vEnd) const;
    double GetScreenX(double u) const;
    double GetScreenY(double v) const;
    bool ConvertPointToScreen(const clsPoint3D& p, double& x, double& y) const;
    bool ConvertLineToScreen(const clsLine3D& line, double& xStart, double& yStart, double& xEnd, double& yEnd) const;
    // Pixel position to view-plane coordinates, optionally snapped to the minor grid.
    void ScreenToDoc2D(double& x, double& y, bool snap) const;
    clsPoint3D PlanePointToPoint3D(double u, double v, double depth) const;
    clsPoint3D ScreenToDoc(double x, double y, bool snap) const;
    // Moves the point to the pixel position, keeping its coordinate along the viewing axis.
    void UpdatePointFromScreen(clsPoint3D& point, double x, double y, bool snap) const;
    void GetBaseVectors(clsPoint3D& e1, clsPoint3D& e2, clsPoint3D& normal) const;
    // End of the eye-point direction marker: one eighth of the visible extent long.
    clsPoint3D GetEyePointVector(const clsSceneSettings& scene) const;
    std::string GetViewName() const { return ViewName(ViewType); }
    Canvas* GetCanvas() const { return canvas_; }
    clsSceneSettings* GetScene() const { return scene_; }

    static std::string ViewName(std::int32_t viewType);
    // The screen rectangle: the canvas less the ruler bands when rulers are shown.
    clsRect GetScreenRect() const;

private:
    Canvas* canvas_ = nullptr;
    clsSceneSettings* scene_ = nullptr;
};

} // namespace ov
