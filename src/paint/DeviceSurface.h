#pragma once
// The integer device drawing under the paint target: a QPainter on the canvas image or a
// printer page, or a metafile device context. Coordinates are device units.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QFont>
#include <QPen>
#include <QPoint>

class QImage;
class QPainter;
class QPaintDevice;

namespace ov {

class MetafileDC;
class clsOutline;

class DeviceSurface {
public:
    virtual ~DeviceSurface() = default;
    virtual void Line(int x1, int y1, int x2, int y2, const clsOutline& outline, int penWidth) = 0;
    // A connected run of lines through the points, as one stroke: no pixel is drawn twice.
    virtual void Polyline(const std::vector<QPoint>& points, const clsOutline& outline, int penWidth) = 0;
    // Several such runs as one stroke: on a page or in a metafile one path with a subpath
    // for each run, so that dashes and joins follow the whole curve.
    virtual void Polylines(const std::vector<std::vector<QPoint>>& runs, const clsOutline& outline, int penWidth) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom, const clsOutline& outline, int penWidth) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom, const clsOutline& outline, int penWidth) = 0;
    // A picture stretched over the rectangle (device units, left/top corner, width, height).
    virtual void Picture(const QImage& image, double left, double top, double width, double height,
                         double opacity) = 0;
    virtual void FillEllipse(int left, int top, int right, int bottom, std::int32_t color) = 0;
    virtual void FillRectangle(int left, int top, int right, int bottom, std::int32_t color) = 0;
    // Text with its top-left corner at (x, y), turned by escapement degrees (counter-clockwise).
    virtual void Text(int x, int y, const std::string& text, const QFont& font, int escapement,
                      std::int32_t color) = 0;
};

// A surface over a painter the caller keeps open.
std::unique_ptr<DeviceSurface> MakePainterSurface(QPainter& painter);
// A surface over a metafile device context.
std::unique_ptr<DeviceSurface> MakeMetafileSurface(MetafileDC& dc);

} // namespace ov
