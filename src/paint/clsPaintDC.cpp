#include "paint/clsPaintDC.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "platform/DrawApp.h"
#include "platform/MetafileDC.h"
#include "paint/Canvas.h"
#include "paint/DeviceSurface.h"

namespace ov {

namespace {

// Pens wider than this are nonsense on any device; the cap keeps absurd widths from a
// file from stalling the rasteriser.
constexpr int kMaxPenWidth = 10000;

double Sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

} // namespace

int Nearest(double v) {
    // Every device coordinate passes through here. Within the limit, adding and taking away
    // 2^52 leaves v rounded to an integer by the floating-point unit's own rounding, which is
    // to the nearest with halves to the even neighbour: RoundHalfEven without its library
    // calls. Beyond it (and for NaN, which a degenerate camera can produce) the coordinate
    // is pinned to the limit, which lies far off every page and picture.
    constexpr double kShift = 4503599627370496.0; // 2^52
    if (!(std::fabs(v) <= DeviceCoordinateLimit)) return v > 0 ? DeviceCoordinateLimit : -DeviceCoordinateLimit;
    return static_cast<int>(v >= 0 ? (v + kShift) - kShift : (v - kShift) + kShift);
}

clsPaintDC::clsPaintDC() = default;

clsPaintDC::~clsPaintDC() { Detach(); }

void clsPaintDC::Detach() {
    inPass_ = false;
    surface_.reset();
    if (painter_) {
        if (painter_->isActive()) painter_->end();
        painter_.reset();
        if (deviceType_ == PictureBox && canvas_) canvas_->NotifyChanged();
    }
    printing_ = false;
    canvas_ = nullptr;
    printer_ = nullptr;
    metafile_ = nullptr;
}

void clsPaintDC::Fit(const clsRect& docRect, const clsRect& deviceRect) {
    double wd = docRect.GetWidth(), hd = docRect.GetHeight();
    if (wd == 0) wd = 1;
    if (hd == 0) hd = 1;
    const double wv = deviceRect.GetWidth(), hv = deviceRect.GetHeight();
    double tx, ty;
    if (std::fabs(wv * hd) < std::fabs(wd * hv)) {
        tx = Sign(wd) * wv;
        ty = hd * wv / std::fabs(wd);
    } else {
        tx = wd * hv / std::fabs(hd);
        ty = Sign(hd) * hv;
    }
    scaleX_ = tx / std::fabs(wd);
    // Raster and print devices count rows downwards; the drawing program's y points up.
    scaleY_ = (deviceType_ == DrawProgram ? ty : -ty) / std::fabs(hd);
    deviceCenterX_ = deviceRect.GetCenterX();
    deviceCenterY_ = deviceRect.GetCenterY();
    docCenterX_ = docRect.GetCenterX();
    docCenterY_ = docRect.GetCenterY();
}

void clsPaintDC::AttachToPictureBox(Canvas& canvas, const clsRect& docRect, const clsRect& deviceRect) {
    Detach();
    deviceType_ = PictureBox;
    canvas_ = &canvas;
    deviceRect_ = deviceRect;
    unitsPerMM_ = canvas.PixelsPerInchY() / 25.4;
    docRect_ = docRect;
    Fit(docRect_, deviceRect_);
}

void clsPaintDC::AttachToPrinter(QPagedPaintDevice& device, const clsRect& docRect) {
    Detach();
    deviceType_ = Printer;
    printer_ = &device;
    deviceRect_.SetValues(0, 0, device.width(), device.height());
    unitsPerMM_ = device.logicalDpiY() / 25.4;
    docRect_ = docRect;
    Fit(docRect_, deviceRect_);
}

void clsPaintDC::AttachToMetafile(MetafileDC& dc, const clsRect& docRect) {
    Detach();
    deviceType_ = Metafile;
    metafile_ = &dc;
    deviceRect_.SetValues(0, 0, MetafileDC::DeviceUnits, MetafileDC::DeviceUnits);
    unitsPerMM_ = 1;
    docRect_ = docRect;
    Fit(docRect_, deviceRect_);
}

void clsPaintDC::AttachToDraw(const std::shared_ptr<draw::Application>& application, const clsRect& docRect,
                              const clsRect& targetRect) {
    Detach();
    DrawApp = application;
    DrawDocument = DrawApp ? DrawApp->ActiveDocument() : nullptr;
    DrawLayer = DrawDocument ? DrawDocument->ActiveLayer() : nullptr;
    try {
        ShapeRange = DrawApp ? DrawApp->CreateShapeRange() : nullptr;
    } catch (...) {
        ShapeRange = nullptr; // shapes are then created without being collected
    }
    deviceType_ = DrawProgram;
    drawHasCurves_ = true;
    unitsPerMM_ = 1;
    deviceRect_ = targetRect;
    docRect_ = docRect;
    Fit(docRect_, deviceRect_);
}

void clsPaintDC::FinishOperation() {
    if (inPass_ || deviceType_ != PictureBox || !painter_) return;
    surface_.reset();
    if (painter_->isActive()) painter_->end();
    painter_.reset();
    if (canvas_) canvas_->NotifyChanged();
}

void clsPaintDC::BeginDraw() {
    inPass_ = true;
    if (deviceType_ == PictureBox && canvas_) {
        surface_.reset();
        painter_.reset();
        canvas_->Clear();
    } else if (deviceType_ == Printer && printer_) {
        if (auto* printer = dynamic_cast<QPrinter*>(printer_)) printer->setDocName("Projection");
        surface_.reset();
        painter_ = std::make_unique<QPainter>();
        printing_ = painter_->begin(printer_);
        if (!printing_) painter_.reset();
    }
}

void clsPaintDC::EndDraw() {
    inPass_ = false;
    if (deviceType_ == Metafile || deviceType_ == DrawProgram) return;
    surface_.reset();
    if (painter_) {
        if (painter_->isActive()) painter_->end(); // for a printer: ends the page and the job
        painter_.reset();
    }
    printing_ = false;
    if (deviceType_ == PictureBox && canvas_) canvas_->NotifyChanged();
}

DeviceSurface* clsPaintDC::Surface() {
    if (surface_) return surface_.get();
    switch (deviceType_) {
    case PictureBox:
        if (!canvas_ || canvas_->Image().isNull()) return nullptr;
        painter_ = std::make_unique<QPainter>(&canvas_->Image());
        canvas_->PreparePainter(*painter_);
        surface_ = MakePainterSurface(*painter_);
        break;
    case Printer:
        if (!printing_ || !painter_) return nullptr; // only between BeginDraw and EndDraw
        painter_->setRenderHint(QPainter::Antialiasing, true);
        surface_ = MakePainterSurface(*painter_);
        break;
    case Metafile:
        if (!metafile_) return nullptr;
        surface_ = MakeMetafileSurface(*metafile_);
        break;
    default: return nullptr;
    }
    return surface_.get();
}

int clsPaintDC::GetPenWidth(double points) const {
    const int width = Nearest(PointsToMM(points) * unitsPerMM_);
    return width < 1 ? 1 : width > kMaxPenWidth ? kMaxPenWidth : width;
}

void clsPaintDC::DrawClippedLine(double x1, double y1, double x2, double y2, const clsOutline& outline) {
    clsLine2D line(x1, y1, x2, y2);
    if (!deviceRect_.ClipLine(line)) return;
    DeviceSurface* s = Surface();
    if (!s) return;
    s->Line(Nearest(line.StartPoint.x), Nearest(line.StartPoint.y), Nearest(line.EndPoint.x), Nearest(line.EndPoint.y),
            outline, GetPenWidth(outline.Width));
    FinishOperation();
}

void clsPaintDC::DrawLine(double x1, double y1, double x2, double y2, const clsOutline& outline) {
    if (gathering_) {
        GatherSegment(ToDeviceX(x1), ToDeviceY(y1), ToDeviceX(x2), ToDeviceY(y2), outline);
    } else if (IsDeviceContext()) {
        DrawClippedLine(ToDeviceX(x1), ToDeviceY(y1), ToDeviceX(x2), ToDeviceY(y2), outline);
    } else if (deviceType_ == DrawProgram && DrawLayer) {
        FinishShape(DrawLayer->CreateLineSegment(ToDeviceX(x1), ToDeviceY(y1), ToDeviceX(x2), ToDeviceY(y2)), nullptr,
                    &outline);
    }
}

void clsPaintDC::DrawScreenLine(double x1, double y1, double x2, double y2, const clsOutline& outline) {
    if (IsDeviceContext()) DrawClippedLine(x1, y1, x2, y2, outline);
}

void clsPaintDC::AppendClippedRuns(const std::vector<clsPoint2D>& points,
                                   std::vector<std::vector<QPoint>>& runs) const {
    bool open = false; // whether the last run may go on
    for (std::size_t i = 1; i < points.size(); ++i) {
        clsLine2D line(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
        if (!deviceRect_.ClipLine(line)) {
            open = false;
            continue;
        }
        const QPoint start(Nearest(line.StartPoint.x), Nearest(line.StartPoint.y));
        // Where clipping cut the run, the part on the device starts a new one.
        if (!open || runs.back().back() != start) runs.push_back({start});
        runs.back().emplace_back(Nearest(line.EndPoint.x), Nearest(line.EndPoint.y));
        open = true;
    }
}

void clsPaintDC::DrawScreenPolyline(const std::vector<clsPoint2D>& points, const clsOutline& outline) {
    if (!IsDeviceContext() || points.size() < 2) return;
    DeviceSurface* s = Surface();
    if (!s) return;
    std::vector<std::vector<QPoint>> runs;
    AppendClippedRuns(points, runs);
    const int pen = GetPenWidth(outline.Width);
    for (const std::vector<QPoint>& run : runs) s->Polyline(run, outline, pen);
    FinishOperation();
}

void clsPaintDC::FillScreenRect(double x1, double y1, double x2, double y2, const clsColor& fill) {
    if (!IsDeviceContext()) return;
    DeviceSurface* s = Surface();
    if (!s) return;
    s->FillRectangle(Nearest(x1), Nearest(y1), Nearest(x2), Nearest(y2), fill.RGBColor);
    FinishOperation();
}

void clsPaintDC::DrawPicture(const QImage& image, double x1, double y1, double x2, double y2, double opacity) {
    if (deviceType_ != PictureBox && deviceType_ != Printer) return;
    DeviceSurface* s = Surface();
    if (!s) return;
    const double X1 = ToDeviceX(x1), Y1 = ToDeviceY(y1), X2 = ToDeviceX(x2), Y2 = ToDeviceY(y2);
    // Pictures far beyond the device (a view zoomed in a millionfold) are left out rather
    // than handed to the rasteriser.
    constexpr double kFar = DeviceCoordinateLimit;
    if (!(std::fabs(X1) < kFar && std::fabs(Y1) < kFar && std::fabs(X2) < kFar && std::fabs(Y2) < kFar)) return;
    s->Picture(image, std::min(X1, X2), std::min(Y1, Y2), std::fabs(X2 - X1), std::fabs(Y2 - Y1), opacity);
    FinishOperation();
}

void clsPaintDC::BeginCurve() {
    gathering_ = true;
    curveRuns_.clear();
}

void clsPaintDC::EndCurve(const std::string& name) {
    if (!gathering_) return;
    FlushCurve(name);
    gathering_ = false;
}

void clsPaintDC::GatherSegment(double x1, double y1, double x2, double y2, const clsOutline& outline) {
    // A change of style ends one stroke and starts another.
    if (!curveRuns_.empty() && (outline.Width != curveOutline_.Width || outline.Style != curveOutline_.Style ||
                                outline.Color.RGBColor != curveOutline_.Color.RGBColor))
        FlushCurve("");
    if (curveRuns_.empty()) curveOutline_ = outline;
    // The shared end of neighbouring segments is the same point projected the same way, so
    // equality, not nearness, tells where the curve goes on.
    if (curveRuns_.empty() || curveRuns_.back().back().x != x1 || curveRuns_.back().back().y != y1)
        curveRuns_.push_back({clsPoint2D(x1, y1)});
    curveRuns_.back().emplace_back(x2, y2);
}

void clsPaintDC::FlushCurve(const std::string& name) {
    if (curveRuns_.empty()) return;
    if (deviceType_ == DrawProgram) {
        CurveToDrawProgram(name);
    } else if (DeviceSurface* s = IsDeviceContext() ? Surface() : nullptr) {
        std::vector<std::vector<QPoint>> runs;
        for (const std::vector<clsPoint2D>& run : curveRuns_) AppendClippedRuns(run, runs);
        if (!runs.empty()) s->Polylines(runs, curveOutline_, GetPenWidth(curveOutline_.Width));
        FinishOperation();
    }
    curveRuns_.clear();
}

void clsPaintDC::CurveToDrawProgram(const std::string& name) {
    if (!DrawLayer) return;
    if (drawHasCurves_) {
        draw::SubPaths subpaths;
        subpaths.reserve(curveRuns_.size());
        for (const std::vector<clsPoint2D>& run : curveRuns_) {
            subpaths.emplace_back();
            subpaths.back().reserve(run.size());
            for (const clsPoint2D& p : run) subpaths.back().push_back({p.x, p.y});
        }
        try {
            const std::shared_ptr<draw::Shape> curve = DrawLayer->CreateCurve(subpaths);
            FinishShape(curve, nullptr, &curveOutline_);
            if (curve && !name.empty()) curve->SetName(name);
            return;
        } catch (const draw::NotSupported&) {
            drawHasCurves_ = false;
        }
    }
    BeginGroup();
    for (const std::vector<clsPoint2D>& run : curveRuns_)
        for (std::size_t i = 1; i < run.size(); ++i)
            FinishShape(DrawLayer->CreateLineSegment(run[i - 1].x, run[i - 1].y, run[i].x, run[i].y), nullptr,
                        &curveOutline_);
    EndGroup(name, false);
}

void clsPaintDC::BeginDrawLine() {
    polylineX_.clear();
    polylineY_.clear();
}

void clsPaintDC::DrawLineTo(double x, double y) {
    polylineX_.push_back(x);
    polylineY_.push_back(y);
}

void clsPaintDC::EndDrawLine(const clsOutline& outline) {
    if (!IsDeviceContext() || polylineX_.size() != polylineY_.size() || polylineX_.size() < 2) return;
    double px = polylineX_[0], py = polylineY_[0];
    for (std::size_t i = 1; i < polylineX_.size(); ++i) {
        const double x = polylineX_[i], y = polylineY_[i];
        if (x == px && y == py) continue; // no zero-length pieces
        DrawLine(px, py, x, y, outline);
        px = x;
        py = y;
    }
}

void clsPaintDC::FinishShape(const std::shared_ptr<draw::Shape>& shape, const clsColor* fill, const clsOutline* outline) {
    if (!shape) return;
    if (fill) shape->SetFillColor({fill->GetRed(), fill->GetGreen(), fill->GetBlue()});
    if (outline && DrawApp) outline->ApplyToShape(*shape, *DrawApp);
    if (ShapeRange) ShapeRange->Add(shape);
}

void clsPaintDC::DeviceShape(bool ellipse, double x1, double y1, double x2, double y2, const clsColor* fill,
                             const clsOutline* outline) {
    const double X1 = ToDeviceX(x1), Y1 = ToDeviceY(y1), X2 = ToDeviceX(x2), Y2 = ToDeviceY(y2);
    if (deviceType_ == DrawProgram) {
        if (!DrawLayer) return;
        FinishShape(ellipse ? DrawLayer->CreateEllipse(X1, Y1, X2, Y2) : DrawLayer->CreateRectangle(X1, Y1, X2, Y2),
                    fill, outline);
        return;
    }
    DeviceSurface* s = Surface();
    if (!s) return;
    // Rectangles take one more unit on the right and bottom so that those edges are drawn.
    const int l = Nearest(X1), t = Nearest(Y1);
    const int r = ellipse ? Nearest(X2) : Nearest(X2 + 1), b = ellipse ? Nearest(Y2) : Nearest(Y2 + 1);
    if (fill) {
        if (ellipse) s->FillEllipse(l, t, r, b, fill->RGBColor);
        else s->FillRectangle(l, t, r, b, fill->RGBColor);
    }
    if (outline) {
        const int pen = GetPenWidth(outline->Width);
        if (ellipse) s->Ellipse(l, t, r, b, *outline, pen);
        else s->Rectangle(l, t, r, b, *outline, pen);
    }
    FinishOperation();
}

void clsPaintDC::DrawEllipse(double x1, double y1, double x2, double y2, const clsOutline* outline) {
    DeviceShape(true, x1, y1, x2, y2, nullptr, outline);
}

void clsPaintDC::DrawFilledEllipse(double x1, double y1, double x2, double y2, const clsColor* fill,
                                   const clsOutline* outline) {
    DeviceShape(true, x1, y1, x2, y2, fill, outline);
}

void clsPaintDC::DrawCircle(double cx, double cy, double r, const clsOutline* outline) {
    DrawEllipse(cx - r, cy - r, cx + r, cy + r, outline);
}

void clsPaintDC::DrawFilledCircle(double cx, double cy, double r, const clsColor* fill, const clsOutline* outline) {
    DrawFilledEllipse(cx - r, cy - r, cx + r, cy + r, fill, outline);
}

void clsPaintDC::DrawRectangle(double x1, double y1, double x2, double y2, const clsOutline* outline) {
    DeviceShape(false, x1, y1, x2, y2, nullptr, outline);
}

void clsPaintDC::DrawFilledRectangle(double x1, double y1, double x2, double y2, const clsColor* fill,
                                     const clsOutline* outline) {
    DeviceShape(false, x1, y1, x2, y2, fill, outline);
}

void clsPaintDC::DrawText(double x, double y, const std::string& text, const clsFont& font, std::int32_t align,
                          std::int32_t orientation) {
    if (orientation != 0) align = 4;
    double ascent = 0, ascentLessLeading = 0;
    font.GetMetrics(ascent, ascentLessLeading);
    const int S = Nearest(PointsToMM(font.Size)), M = Nearest(PointsToMM(ascent)), D = S - M;
    if (align == 2 || align == 3 || align == 6) y += M;
    else if ((align == 4 && orientation == 0) || align == 7 || align == 8) y += M / 2.0;
    if (!IsDeviceContext()) return;

    if (orientation > 0) x -= D;
    else if (orientation < 0) x += D;
    else y += D;

    clsFont deviceFont = font.Dup();
    deviceFont.Size = static_cast<float>(std::fabs(PointsToMM(font.Size) * scaleY_));
    double w = 0, h = 0;
    deviceFont.GetTextSize(text, w, h);
    const double W = scaleX_ != 0 ? w / scaleX_ : 0;
    if (align == 1 || align == 3 || align == 8) {
        x -= W;
    } else if (align == 4 || align == 5 || align == 6) {
        if (orientation > 0) {
            x -= M / 2.0;
            y -= W / 2;
        } else if (orientation < 0) {
            x += S / 2.0;
            y += W / 2;
        } else {
            x -= W / 2;
        }
    }
    DeviceSurface* s = Surface();
    if (!s) return;
    s->Text(Nearest(ToDeviceX(x)), Nearest(ToDeviceY(y)), text, deviceFont.GetHFont(), orientation,
            font.Color.RGBColor);
    FinishOperation();
}

void clsPaintDC::BeginGroup() {
    if (deviceType_ != DrawProgram || !ShapeRange) return;
    groupStack_.push_back(ShapeRange);
    try {
        ShapeRange = DrawApp ? DrawApp->CreateShapeRange() : nullptr;
    } catch (...) {
        ShapeRange = nullptr;
    }
}

void clsPaintDC::EndGroup(const std::string& name, bool select) {
    if (deviceType_ != DrawProgram || groupStack_.empty()) return;
    std::shared_ptr<draw::ShapeRange> parent = groupStack_.back();
    groupStack_.pop_back();
    if (ShapeRange && ShapeRange->Count() > 0) {
        std::shared_ptr<draw::Shape> g = ShapeRange->Count() > 1 ? ShapeRange->Group() : ShapeRange->Item(1);
        if (g) {
            if (!name.empty()) g->SetName(name);
            if (select) g->CreateSelection();
            if (parent) parent->Add(g);
        }
    }
    ShapeRange = parent;
}

void clsPaintDC::SetLastShapeName(const std::string& name) {
    if (deviceType_ != DrawProgram || name.empty() || !ShapeRange) return;
    const int count = ShapeRange->Count();
    if (count == 0) return;
    if (auto shape = ShapeRange->Item(count)) shape->SetName(name);
}

} // namespace ov
