#pragma once
// The drawing surface of a view port: an image with the scale, draw mode, draw style and
// font of a picture box. Everything a view draws goes into the image; the view-port
// widget only shows it. Usable without widgets (tests, the headless tool).

#include <functional>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPolygonF>

class QPainter;

namespace ov {

class Canvas {
public:
    enum class DrawMode { Normal, Xor };
    enum class DrawStyle { Solid, Dotted };

    explicit Canvas(int width = 0, int height = 0);

    // Resizes the image (contents are lost) and keeps the scale at the pixel size. On a
    // screen with more device pixels to a pixel (pixelRatio above 1) the image holds that
    // many more, and painters on it scale by themselves: everything drawn stays crisp
    // while positions stay in pixels.
    void Resize(int width, int height, double pixelRatio = 1);
    // Whether the image has the given size in pixels at the given ratio.
    bool HasSize(int width, int height, double pixelRatio = 1) const;
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

    // The picture box's coordinate system, in pixels: the top-left corner and the size.
    double ScaleLeft = 0;
    double ScaleTop = 0;
    double ScaleWidth() const { return image_.deviceIndependentSize().width(); }
    double ScaleHeight() const { return image_.deviceIndependentSize().height(); }

    DrawMode Mode = DrawMode::Normal;
    DrawStyle Style = DrawStyle::Solid;
    QFont Font;
    QColor BackColor = Qt::white;
    QColor ForeColor = Qt::black;

    // Fills the image with the background colour.
    void Clear();
    // Vertical resolution used for physical sizes (pen widths, fonts).
    double PixelsPerInchY() const { return pixelsPerInchY_; }
    void SetPixelsPerInchY(double dpi) { pixelsPerInchY_ = dpi > 0 ? dpi : 96; }

    // Sets up a painter on the image with the current draw mode; no antialiasing, so that
    // drawing the same thing twice in XOR mode restores the image exactly.
    void PreparePainter(QPainter& painter) const;
    // A line in the current draw mode and style, in the fore colour (pixels).
    void Line(double x1, double y1, double x2, double y2);
    // A connected run of lines through the points, drawn as one stroke so that every pixel
    // of it is painted once: in XOR mode the joints show (two lines drawn one by one would
    // both paint the pixel they share and so erase it), and drawing the run again restores
    // the image exactly.
    void Polyline(const QPolygonF& points);

    // Told whenever the image changed, so that a widget can repaint.
    std::function<void()> Changed;
    void NotifyChanged() const {
        if (Changed) Changed();
    }

private:
    // A one-pixel pen in the fore colour and the current draw style.
    QPen MakePen(Qt::PenCapStyle cap) const;

    QImage image_;
    double pixelsPerInchY_ = 96;
};

} // namespace ov
