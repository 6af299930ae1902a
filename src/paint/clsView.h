#pragma once
// One view port's geometry: which of the seven views it shows, which part of its view
// plane is visible, and the conversions between document points, view-plane coordinates
// (u, v) and pixels of its canvas.
//
// Orthographic views take two document axes as (u, v); the perspective view uses the
// camera's picture plane. Views 2, 3 and 4 show their horizontal axis growing to the left:
// their view volume runs from the maximum to the minimum.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geometry/clsLine3D.h"
#include "geometry/clsPoint3D.h"
#include "geometry/clsRect.h"

class QColor;
class QPagedPaintDevice;

namespace ov {

class Canvas;
class clsNode;
class clsOutline;
class clsPaintDC;
class clsScene;
class clsSceneSettings;
class clsVertexHit;
namespace draw {
class Application;
}

class clsView {
public:
    enum ViewTypes : std::int32_t { Left = 0, Top = 1, Right = 2, Bottom = 3, Front = 4, Back = 5, Perspective = 6 };
    static constexpr int RulerWidth = 30; // pixels taken by the rulers at the left and top

    clsView();

    std::int32_t ViewType = Perspective;
    bool Active = false;
    // A view that paints a picture file keeps no band for rulers, which it never draws.
    bool PictureOnly = false;
    clsRect ViewRect;   // visible part of the view plane
    clsRect ViewVolume; // full extent of the view plane

    void SetView(std::int32_t viewType, Canvas* canvas, clsSceneSettings* scene);
    void SetViewType(std::int32_t viewType);
    void UpdateViewVolume();
    void ResetZoom() { UpdateViewVolume(); }
    // Shows the screen rectangle spanned by two pixel positions.
    void ZoomIn(double x1, double y1, double x2, double y2);
    // Scales the visible area by 1 / factor about the view-plane point under pixel (x, y),
    // which stays under that pixel; a factor above 1 comes closer.
    void ZoomAt(double x, double y, double factor);
    // The same about the centre of the screen rectangle.
    void ZoomAtCentre(double factor);
    // Moves the visible area so that the picture follows the pointer by (dx, dy) pixels.
    void Pan(double dx, double dy);
    // Shows a view-plane box with a margin of the given fraction of its size on each side,
    // in the view's own orientation (mirrored views stay mirrored).
    void ZoomToBox(const clsRect& box, double margin);
    // Recomputes the view volume; the zoom and pan stay unless the volume itself changed
    // (a camera that only moved leaves an orthographic volume as it was).
    void RefreshViewVolume();
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

    // The members below paint the scene's tree, answer the mouse and keyboard and send the
    // view to printers and files. They work on the node tree, so they are built in the
    // orthovane_view library above the scene (clsViewPaint.cpp, clsViewInteraction.cpp,
    // clsViewOutput.cpp); the geometry above is all the drawable objects need.

    // The scene the view was bound to, when it is a whole scene (with a tree); null for a
    // view bound to bare settings.
    clsScene* GetDocumentScene() const;

    // --- Painting ---
    // Repaints the canvas: scene content through a paint target, then the screen
    // decorations. xorOnly draws only the XOR outline of the selection (a drag in progress).
    void OnPaint(clsNode* root, bool xorOnly, bool showEye);
    // The rulers' steps, in document units, for a zoom of pixelsPerUnit: labelled major
    // ticks 1, 2 or 5 times a power of ten at least about 60 pixels apart, minor ticks
    // dividing them; 0 for a scale that is no number.
    static void RulerSteps(double pixelsPerUnit, double& minor, double& major);
    // The eye point and its direction marker of an orthographic view; xor draws it so that
    // a second identical call erases it.
    void DrawViewPoint(Canvas& canvas, bool xorMode);
    // A filled 3 x 3 pixel square on a picture-box target.
    static void DrawHandle(clsPaintDC& target, double x, double y, const clsOutline& style);
    // Scene content: grid, horizon, vanishing lines, centre of view and the objects. Screen
    // painting uses two passes (everything, then the selection in red on top); output uses
    // one plain pass.
    void PaintScene(clsPaintDC& target, clsNode* root, bool twoPass, bool handles, bool showGrid);
    // Whether the last PaintScene was stopped (Esc, or the time limit) before it painted all.
    bool PaintStopped() const { return paintStopped_; }
    // The style a node is drawn with: the scene's line style, red when selected (unless
    // plain), complemented against white for XOR drawing.
    clsOutline GetNodeOutline(const clsNode& node, bool plain, bool xorMode) const;

    // --- Interaction ---
    bool HitTestViewName(double x, double y);
    // 0 nothing, 1 the eye point, 2 the end of the eye-direction marker, 3 a vertex of a
    // selected object (collected in hits when given).
    std::int32_t HitTestView(double x, double y, std::vector<clsVertexHit>* hits, bool stopAtFirst);
    void DrawMarquee(double x1, double y1, double x2, double y2);
    void DrawVertexLine(const clsLine3D& segment);
    // Arrow keys (37 to 40) with the shift state (bit 0 Shift, bit 1 Ctrl, bit 2 Alt).
    void OnArrowKey(std::int16_t key, std::int16_t shift, bool& handled);

    // --- Where the objects lie ---
    // The view-plane box of the visible objects' projected segments; false when the view
    // shows none.
    bool GetObjectsExtent(clsNode* root, clsRect& box) const;
    // The root's visible children whose projected segments all lie inside a pixel rectangle.
    std::vector<clsNode*> NodesInside(clsNode* root, const clsRect& pixels) const;

    // --- The reference picture behind a perspective view ---
    // Whether OnPaint shows it (a view port does), and whether print, preview, PDF and PNG
    // output do (only when asked).
    bool ShowReference = true;
    bool ReferenceInOutput = false;

    // --- Print, preview and export ---
    // Which part of the view plane lands on a page: paper pw x ph, printable area aw x ah at
    // offset (ox, oy) from the paper's left and top edges, all in metres.
    void CalcPageLayout(double pw, double ph, double aw, double ah, double ox, double oy, clsRect& paperRect,
                        clsRect& sheetRect, clsRect& printRect, bool fit) const;
    void CalcPrinterLayout(QPagedPaintDevice& device, bool fit, clsRect& paperRect, clsRect& sheetRect,
                           clsRect& printRect) const;
    void CalcSheetLayout(double width, double height, bool fit, clsRect& paperRect, clsRect& sheetRect,
                         clsRect& printRect) const;
    void PaintForOutput(clsPaintDC& target, clsNode* root, bool frame, bool grid);
    void OnPrint(QPagedPaintDevice& device, clsNode* root, bool fit, bool frame, bool grid);
    bool OnExportToMetafile(const std::string& path, clsNode* root);
    // Page width and height in metres; the drawing program's page is set in inches.
    void OnExport(const std::shared_ptr<draw::Application>& application, clsNode* root, bool fit, bool frame,
                  bool grid, double width, double height);
    void OnPrintPreview(QPagedPaintDevice& device, clsNode* root, bool fit, bool frame, bool grid);
    // The canvas as a picture file shows the view: what a printed page shows (every object in
    // its own colour, no view name, axes, rulers or eye point), over the view's own extent.
    void OnPaintPicture(clsNode* root, bool grid);
    void OnExportPreview(clsNode* root, bool fit, bool frame, bool grid, double width, double height);

private:
    bool paintStopped_ = false;
    bool paintReference_ = false; // during a PaintScene that shows the reference picture
    // The scene's reference picture, fitted to the camera window (ReferencePicturePaint.cpp).
    void DrawReferencePicture(clsPaintDC& target);
    // Painting helpers (clsViewPaint.cpp).
    void DrawGrid(clsPaintDC& target);
    void DrawPlaneLine(clsPaintDC& target, double uStart, double vStart, double uEnd, double vEnd,
                       const clsOutline& style);
    void DrawHorizonTrace(clsPaintDC& target, const clsOutline& style);
    void DrawVanishLines(clsPaintDC& target, clsNode* node, const clsPoint3D& u, const clsPoint3D& v,
                         const clsPoint3D& w);
    void PaintNode(clsPaintDC& target, clsNode* node, std::int32_t pass, bool handles);
    void DrawAxes();
    void DrawAxis(const clsPoint3D& direction, const std::string& label, const QColor& color);
    void DrawRulers(Canvas& canvas);
    clsRect GetViewScreenRect() const;
    // The XOR outline of the node's visible objects while they are dragged
    // (clsViewInteraction.cpp).
    void DrawXorOutline(clsPaintDC& target, clsNode* node);

    Canvas* canvas_ = nullptr;
    clsSceneSettings* scene_ = nullptr;
};

} // namespace ov
