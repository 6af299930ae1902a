#pragma once
// The one drawing surface every view paints through. It hides four targets behind one set
// of operations in document coordinates (millimetres):
//   0  the canvas of a view port
//   1  a printer page (or a PDF file standing in for one)
//   2  an enhanced metafile
//   3  the external drawing program, where shapes are created and grouped by name
// Attaching fits the document rectangle into the device rectangle with one uniform
// scale, centred, with the vertical axis flipped on the raster and print devices.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geometry/clsPoint2D.h"
#include "geometry/clsRect.h"
#include "style/clsColor.h"
#include "style/clsFont.h"
#include "style/clsOutline.h"

class QPainter;
class QPagedPaintDevice;
class QPoint;
class QImage;

namespace ov {

namespace draw {
class Application;
class Document;
class Layer;
class Shape;
class ShapeRange;
} // namespace draw

class Canvas;
class DeviceSurface;
class MetafileDC;

class clsPaintDC {
public:
    enum DeviceTypes : std::int32_t { PictureBox = 0, Printer = 1, Metafile = 2, DrawProgram = 3 };

    clsPaintDC();
    ~clsPaintDC();
    clsPaintDC(const clsPaintDC&) = delete;
    clsPaintDC& operator=(const clsPaintDC&) = delete;

    // The drawing program's objects while attached to it (type 3).
    std::shared_ptr<draw::Application> DrawApp;
    std::shared_ptr<draw::Document> DrawDocument;
    std::shared_ptr<draw::Layer> DrawLayer;
    std::shared_ptr<draw::ShapeRange> ShapeRange; // collects the shapes of the group being built

    void AttachToPictureBox(Canvas& canvas, const clsRect& docRect, const clsRect& deviceRect);
    // A printer or a PDF writer; its printable area in device pixels is the device rect.
    void AttachToPrinter(QPagedPaintDevice& device, const clsRect& docRect);
    void AttachToMetafile(MetafileDC& dc, const clsRect& docRect);
    void AttachToDraw(const std::shared_ptr<draw::Application>& application, const clsRect& docRect,
                      const clsRect& targetRect);
    void BeginDraw();
    void EndDraw();
    std::int32_t GetDeviceType() const { return deviceType_; }
    Canvas* GetPictureBox() const { return deviceType_ == PictureBox ? canvas_ : nullptr; }

    void DrawLine(double x1, double y1, double x2, double y2, const clsOutline& outline);
    void DrawScreenLine(double x1, double y1, double x2, double y2, const clsOutline& outline);
    // A connected run of lines through points given in device coordinates, drawn as one
    // stroke wherever it stays on the device: in XOR mode every joint shows. Device
    // contexts only.
    void DrawScreenPolyline(const std::vector<clsPoint2D>& points, const clsOutline& outline);
    // A filled rectangle given in device coordinates (handle marks on screen); device
    // contexts only.
    void FillScreenRect(double x1, double y1, double x2, double y2, const clsColor& fill);
    void BeginDrawLine();
    void DrawLineTo(double x, double y);
    void EndDrawLine(const clsOutline& outline);
    void DrawEllipse(double x1, double y1, double x2, double y2, const clsOutline* outline);
    void DrawFilledEllipse(double x1, double y1, double x2, double y2, const clsColor* fill, const clsOutline* outline);
    void DrawCircle(double cx, double cy, double r, const clsOutline* outline);
    void DrawFilledCircle(double cx, double cy, double r, const clsColor* fill, const clsOutline* outline);
    void DrawRectangle(double x1, double y1, double x2, double y2, const clsOutline* outline);
    void DrawFilledRectangle(double x1, double y1, double x2, double y2, const clsColor* fill,
                             const clsOutline* outline);
    // align: 0 left/top ... 8, as the views use it; orientation in degrees (0, 90, -90).
    void DrawText(double x, double y, const std::string& text, const clsFont& font, std::int32_t align,
                  std::int32_t orientation);
    // A picture stretched over the rectangle (document coordinates), drawn with the given
    // opacity; on the canvas and printer pages only.
    void DrawPicture(const QImage& image, double x1, double y1, double x2, double y2, double opacity);
    void BeginGroup();
    void EndGroup(const std::string& name, bool select);
    // The segments of one object as one stroke. Between the two calls DrawLine gathers its
    // segments; EndCurve then draws each run of segments that meet end to start as one
    // connected line, and all the object's runs as one shape: a path of several subpaths on
    // a page or in a metafile, a curve named after the object in the drawing program (or,
    // where the program has no curves, its segments grouped under that name).
    void BeginCurve();
    void EndCurve(const std::string& name);
    void SetLastShapeName(const std::string& name);

    // The mapping of the current attachment.
    double ToDeviceX(double x) const { return (x - docCenterX_) * scaleX_ + deviceCenterX_; }
    double ToDeviceY(double y) const { return (y - docCenterY_) * scaleY_ + deviceCenterY_; }
    double GetScaleX() const { return scaleX_; }
    double GetScaleY() const { return scaleY_; }
    double GetUnitsPerMM() const { return unitsPerMM_; }
    const clsRect& GetDeviceRect() const { return deviceRect_; }
    // Device units of a pen for a width in points: physical size, at least one unit.
    int GetPenWidth(double points) const;

    static double PointsToMM(double points) { return points * 25.4 / 72; }

private:
    void Fit(const clsRect& docRect, const clsRect& deviceRect);
    void Detach();
    // The device surface of types 0 to 2, opened on first use.
    DeviceSurface* Surface();
    // Outside a drawing pass each operation on the canvas paints and closes at once, so
    // that the canvas is free for other painters in between.
    void FinishOperation();
    bool IsDeviceContext() const { return deviceType_ >= PictureBox && deviceType_ <= Metafile; }
    void DrawClippedLine(double x1, double y1, double x2, double y2, const clsOutline& outline);
    // Appends the parts on the device of the run through points (device coordinates) as
    // runs of whole device units; clipping splits a run where it leaves the device.
    void AppendClippedRuns(const std::vector<clsPoint2D>& points, std::vector<std::vector<QPoint>>& runs) const;
    void GatherSegment(double x1, double y1, double x2, double y2, const clsOutline& outline);
    void FlushCurve(const std::string& name);
    void CurveToDrawProgram(const std::string& name);
    void FinishShape(const std::shared_ptr<draw::Shape>& shape, const clsColor* fill, const clsOutline* outline);
    void DeviceShape(bool ellipse, double x1, double y1, double x2, double y2, const clsColor* fill,
                     const clsOutline* outline);

    std::vector<std::shared_ptr<draw::ShapeRange>> groupStack_;
    std::int32_t deviceType_ = PictureBox;
    clsRect deviceRect_;
    Canvas* canvas_ = nullptr;
    QPagedPaintDevice* printer_ = nullptr;
    MetafileDC* metafile_ = nullptr;
    clsRect docRect_;
    double scaleX_ = 1, scaleY_ = -1;
    double deviceCenterX_ = 0, deviceCenterY_ = 0;
    double unitsPerMM_ = 1;
    double docCenterX_ = 0, docCenterY_ = 0;
    std::vector<double> polylineX_, polylineY_;
    // The curve being gathered, in device coordinates, and its outline.
    bool gathering_ = false;
    std::vector<std::vector<clsPoint2D>> curveRuns_;
    clsOutline curveOutline_;
    bool drawHasCurves_ = true; // until the drawing program answers that it has none

    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<DeviceSurface> surface_;
    bool printing_ = false;
    bool inPass_ = false;
};

// The largest device coordinate, in either direction. Far beyond any device, yet small
// enough that the sums, differences and one-unit steps that turn two corners into a
// rectangle (here, in Qt and in the metafile writer) stay within int.
constexpr int DeviceCoordinateLimit = 1 << 28;

// The device coordinate nearest to v, halves to the even neighbour, pinned to
// +-DeviceCoordinateLimit. Every double becomes a device or pixel coordinate through here.
int Nearest(double v);

} // namespace ov
