// What a view paints and in which order. Scene content (grid, horizon, vanishing lines,
// centre of view, objects) goes through a paint target, so the same painter serves the
// screen, printers, metafiles and the drawing program. The decorations that exist only on
// screen (axes, rulers, eye-point marker, frame, name) are drawn straight onto the canvas.
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QLine>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <typeinfo>

#include "camera/clsPerspective.h"
#include "geometry/clsLine2D.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "settings/clsSceneSettings.h"
#include "shapes/clsLine.h"
#include "style/clsOutline.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"
#include "paint/clsView.h"
#include "platform/Desktop.h"

namespace ov {

namespace {

// A grid family or a ruler with more lines than this would only fill the view solid; it
// comes from absurd spacings in a file, and drawing it would stall the program.
constexpr double kMaxGridLines = 20000;
constexpr double kMaxRulerTicks = 20000;
// Pixels kept free between two ruler labels, and the least distance between the ticks of
// two labels.
constexpr double kLabelGap = 4;
constexpr double kRulerLabelSpacing = 60;

// The segment test of the vanishing lines: a direction this close to the picture plane
// has no vanishing point worth drawing.
constexpr double kParallelLimit = 2e-11;

double Sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// Where the grid and the rulers start counting steps for a range from lo: lo / step cut
// towards zero, after a small nudge away from zero so that a bound which is itself a
// multiple is not lost to rounding (-20 / 0.1 may come out as -199.99999...). For a
// positive lo between multiples the count starts below lo.
double FirstMultiple(double lo, double step) { return std::trunc(lo / step + 0.001 * Sign(lo)); }

// Draws on the canvas image in the canvas's draw mode. Lines and squares are clipped to the
// image first: screen positions of far-away points can be huge, and the rasteriser should
// never see them.
class ScreenPainter {
public:
    explicit ScreenPainter(Canvas& canvas) : canvas_(canvas) {
        if (canvas.Image().isNull()) return;
        painter_.begin(&canvas.Image());
        canvas.PreparePainter(painter_);
        bounds_.SetValues(-2, -2, canvas.ScaleWidth() + 2, canvas.ScaleHeight() + 2);
    }
    ~ScreenPainter() {
        if (painter_.isActive()) {
            painter_.end();
            canvas_.NotifyChanged();
        }
    }
    ScreenPainter(const ScreenPainter&) = delete;
    ScreenPainter& operator=(const ScreenPainter&) = delete;

    bool Active() const { return painter_.isActive(); }
    QPainter& Painter() { return painter_; }

    void Line(double x1, double y1, double x2, double y2, const QColor& color) {
        if (!Active()) return;
        clsLine2D line(x1, y1, x2, y2);
        if (!Finite(x1, y1) || !Finite(x2, y2) || !bounds_.ClipLine(line)) return;
        // A square cap makes a one-pixel line cover both of its end pixels, whichever way it
        // runs; with a flat cap the rasteriser leaves out one of them.
        painter_.setPen(QPen(color, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter_.drawLine(QLine(Nearest(line.StartPoint.x), Nearest(line.StartPoint.y), Nearest(line.EndPoint.x),
                                Nearest(line.EndPoint.y)));
    }
    // Fills the pixels from (left, top) up to but not including (right, bottom).
    void Fill(double left, double top, double right, double bottom, const QColor& color) {
        if (!Active() || !Finite(left, top) || !Finite(right, bottom)) return;
        const double l = std::max(std::min(left, right), bounds_.Left), r = std::min(std::max(left, right), bounds_.Right);
        const double t = std::max(std::min(top, bottom), bounds_.Bottom), b = std::min(std::max(top, bottom), bounds_.Top);
        if (l >= r || t >= b) return;
        painter_.fillRect(QRect(QPoint(Nearest(l), Nearest(t)), QPoint(Nearest(r) - 1, Nearest(b) - 1)), color);
    }
    // The outline of the pixels from (left, top) to (right, bottom), both corners included.
    // The corners are filled twice, so frames are for the normal draw mode only.
    void Frame(double left, double top, double right, double bottom, const QColor& color) {
        Fill(left, top, right + 1, top + 1, color);
        Fill(left, bottom, right + 1, bottom + 1, color);
        Fill(left, top, left + 1, bottom + 1, color);
        Fill(right, top, right + 1, bottom + 1, color);
    }
    // Text whose cell has its top-left corner at (x, y).
    void Text(double x, double y, const QString& text, const QFont& font, const QColor& color) {
        if (!Active() || !Finite(x, y)) return;
        painter_.setFont(font);
        painter_.setPen(color);
        painter_.drawText(QPointF(x, y + QFontMetricsF(font).ascent()), text);
    }
    // Text read from below upwards, its top left corner (before turning) at (x, y): the
    // box it covers runs from x to x + text height and from y - text width to y.
    void UpwardText(double x, double y, const QString& text, const QFont& font, const QColor& color) {
        if (!Active() || !Finite(x, y)) return;
        painter_.save();
        painter_.translate(x, y);
        painter_.rotate(-90);
        painter_.setFont(font);
        painter_.setPen(color);
        painter_.drawText(QPointF(0, QFontMetricsF(font).ascent()), text);
        painter_.restore();
    }

private:
    static bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

    Canvas& canvas_;
    QPainter painter_;
    clsRect bounds_; // the image with a small margin, in pixels (Bottom is the upper row)
};

// The face of the axis labels. They were meant for "Small Fonts", a bitmap face drawn for
// legibility at 6 points that exists only on Windows. DejaVu Sans is installed with the
// program's fonts and has hinting made for tiny sizes, so it stays readable at 8 pixels;
// the style hint still finds a plain sans face where it is missing.
QFont AxisLabelFont(double pixelsPerInch) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(6 * pixelsPerInch / 72))));
    return font;
}

// "Arial" resolves to its metric twin Liberation Sans through the font configuration.
QFont RulerFont(double pixelsPerInch) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(8 * pixelsPerInch / 72))));
    return font;
}

// Coordinates on the rulers with the given number of decimals. FormatNumber follows the
// active scene, but a view labels its rulers in its own scene's precision; the decimal
// separator is still the one FormatNumber uses.
std::string RulerText(double value, double step) {
    // As few decimals as the step needs (2.5 needs one, 0.125 three), so that a label says no
    // more than the ticks can tell apart and fits the ruler band; trailing zeros go too.
    int decimals = 0;
    while (decimals < 12 && std::fabs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) >
                                1e-6 * step * std::pow(10.0, decimals))
        ++decimals;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::isfinite(value) ? value : 0.0);
    std::string text(buf);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    const std::string sample = FormatNumber(0.5);
    const std::size_t separator = sample.find_first_not_of("-0123456789");
    if (separator != std::string::npos)
        for (char& c : text)
            if (c == '.') c = sample[separator];
    return text;
}

} // namespace

// ------------------------------------------------------------------ the whole view

void clsView::OnPaint(clsNode* root, bool xorOnly, bool showEye) {
    if (!canvas_ || !scene_) return;
    clsPaintDC target;
    target.AttachToPictureBox(*canvas_, ViewRect, GetScreenRect());

    if (xorOnly) {
        const Canvas::DrawMode mode = canvas_->Mode;
        canvas_->Mode = Canvas::DrawMode::Xor;
        if (root) DrawXorOutline(target, root);
        // The paint target's painter took the XOR mode when it opened; close it before the
        // canvas goes back to the normal mode.
        target.EndDraw();
        canvas_->Mode = mode;
        return;
    }

    target.BeginDraw();
    paintReference_ = ShowReference;
    PaintScene(target, root, true, App().CurrentTool == ToolNodeEdit, scene_->ShowGrid);
    paintReference_ = false;
    // An image takes one painter at a time: the decorations below open their own painters
    // on the canvas, so the paint target lets go of it here. That is all ending the pass
    // does on a canvas.
    target.EndDraw();

    if (scene_->ShowAxes) DrawAxes();
    if (scene_->ShowRulers) DrawRulers(*canvas_);
    if (ViewType != Perspective && showEye) DrawViewPoint(*canvas_, false);

    ScreenPainter screen(*canvas_);
    if (!screen.Active()) return;
    if (Active)
        screen.Frame(0, 0, canvas_->ScaleWidth() - 1, canvas_->ScaleHeight() - 1, QColor(255, 0, 0));
    QFont bold = canvas_->Font;
    bold.setBold(true);
    screen.Text(3, 3, QString::fromStdString(GetViewName()), bold, canvas_->ForeColor);
}

clsRect clsView::GetViewScreenRect() const { return GetScreenRect(); }

// ------------------------------------------------------------------ objects

namespace {

// Projects the segments of one painting pass. The camera's ConvertLine rebuilds the camera
// frame for every segment, which is a good part of the cost of painting a large scene in
// perspective; a pass projects every segment with the same camera, so the frame is built
// once here. Each segment then goes through the camera's own steps with the same
// arithmetic in the same order (camera coordinates, ClipCameraLine, the projection), so the
// results are those of ConvertLine to the last bit; the tests compare the two. Most drawn
// segments lie wholly in view, and for those the clipping, with its divisions, is skipped
// after a test without any.
class SegmentProjector {
public:
    explicit SegmentProjector(const clsView& view) : view_(view) {
        if (view.ViewType == clsView::Perspective && view.GetScene()) {
            camera_ = &view.GetScene()->GetPerspective();
            camera_->GetBaseVectors(u_, v_, w_);
        }
    }

    bool Convert(const clsLine3D& line, double& uStart, double& vStart, double& uEnd, double& vEnd) const {
        if (!camera_) return view_.ConvertLine(line, uStart, vStart, uEnd, vEnd);
        clsLine3D c(ToCamera(line.StartPoint), ToCamera(line.EndPoint));
        if (!WhollyInside(c) && !camera_->ClipCameraLine(c)) return false;
        Project(c.StartPoint, uStart, vStart);
        Project(c.EndPoint, uEnd, vEnd);
        return true;
    }

private:
    // The dot products are summed y, x, z, as the camera sums them.
    clsPoint3D ToCamera(const clsPoint3D& p) const {
        const clsPoint3D& eye = camera_->EyePoint;
        const double dx = p.x - eye.x, dy = p.y - eye.y, dz = p.z - eye.z;
        return {u_.y * dy + u_.x * dx + u_.z * dz, v_.y * dy + v_.x * dx + v_.z * dz,
                w_.y * dy + w_.x * dx + w_.z * dz};
    }
    // Whether ClipCameraLine would keep the segment as it is: both ends inside every one
    // of its planes, tested with its own terms p and q of each plane (an end inside means
    // p * t >= q at t = 0 and at t = 1). Where that holds, its tests accept without cutting
    // (for p < 0, q <= p makes q / p at least 1 even after rounding); anything else, NaN
    // included, goes to ClipCameraLine.
    bool WhollyInside(const clsLine3D& line) const {
        const clsPerspective& k = *camera_;
        const clsPoint3D& S = line.StartPoint;
        const clsPoint3D& E = line.EndPoint;
        const clsPoint3D Dv{E.x - S.x, E.y - S.y, E.z - S.z};
        const double d = k.Distance, F = k.FrontClipping, B = k.BackClipping;
        auto inside = [](double p, double q) { return q <= 0 && q <= p; };
        return inside(-d * Dv.x - Dv.z * k.UMax, d * S.x + k.UMax * S.z) &&
               inside(d * Dv.x + Dv.z * k.UMin, -d * S.x - k.UMin * S.z) &&
               inside(d * Dv.y + Dv.z * k.VMin, -d * S.y - k.VMin * S.z) &&
               inside(-d * Dv.y - Dv.z * k.VMax, d * S.y + k.VMax * S.z) && inside(-Dv.z, S.z + d - F) &&
               (!k.ClipBack || inside(Dv.z, -S.z - d + B));
    }
    void Project(const clsPoint3D& c, double& u, double& v) const {
        if (c.z != 0) {
            u = -camera_->Distance * c.x / c.z;
            v = -camera_->Distance * c.y / c.z;
        } else {
            u = 0;
            v = 0;
        }
    }

    const clsView& view_;
    const clsPerspective* camera_ = nullptr;
    clsPoint3D u_, v_, w_;
};

// Painting a huge scene can be stopped with Esc: now and then, after so many segments,
// the user is asked. What was painted until then stays.
class PaintProgress {
public:
    void Add(std::size_t segments) {
        sinceCheck_ += segments + 1;
        if (sinceCheck_ < kCheckEvery) return;
        sinceCheck_ = 0;
        stopped_ = stopped_ || CheckAbort(true);
    }
    bool Stopped() const { return stopped_; }

private:
    static constexpr std::size_t kCheckEvery = 1 << 16;
    std::size_t sinceCheck_ = 0;
    bool stopped_ = false;
};

// One pass over the tree (see clsView::PaintNode).
class NodePass {
public:
    NodePass(clsView& view, clsPaintDC& target, std::int32_t pass, bool handles, PaintProgress& progress)
        : view_(view), target_(target), projector_(view), pass_(pass), handles_(handles), progress_(progress) {}

    void Paint(clsNode* node) {
        if (progress_.Stopped()) return;
        if (node->IsSelection()) {
            for (clsNode* member : node->SelectionList)
                if (member) Paint(member);
            return;
        }
        const bool group = node->NodeType == clsNode::Group;
        if (group) target_.BeginGroup();
        for (clsNode* child = node->FirstChild(); child; child = child->NextSibling()) Paint(child);
        if (group) target_.EndGroup(node->Name, false);

        // Pass 1 repaints only the selection, on top of what pass 2 painted.
        if (!node->Object || node->Hidden || (pass_ == 1 && !node->Selected)) return;
        if (node->Selected) metSelection_ = true;
        const clsOutline style = view_.GetNodeOutline(*node, pass_ == 0, false);

        bool visible = false;
        double u1 = 0, v1 = 0, u2 = 0, v2 = 0;
        // Most objects of a large scene are lines: a type check is cheaper than GetLine's cast.
        const clsLine* line = node->NodeType == clsNode::Line && typeid(*node->Object) == typeid(clsLine)
                                  ? static_cast<const clsLine*>(node->Object.get())
                                  : nullptr;
        if (line) {
            progress_.Add(1);
            if (!line->Segment) return;
            visible = projector_.Convert(*line->Segment, u1, v1, u2, v2);
            if (visible) target_.DrawLine(u1, v1, u2, v2, style);
        } else {
            const SegmentList segments = node->Object->BreakApart();
            progress_.Add(segments.size());
            const bool several = segments.size() > 1;
            // A curve goes out as one stroke, so that its dashes and joins run along it and an
            // editor sees one object.
            if (several) target_.BeginCurve();
            for (const clsLine3D& segment : segments) {
                visible = projector_.Convert(segment, u1, v1, u2, v2);
                if (visible) target_.DrawLine(u1, v1, u2, v2, style);
            }
            if (several) target_.EndCurve(node->Name);
        }

        if (!handles_ || !visible || target_.GetDeviceType() != clsPaintDC::PictureBox) return;
        if (line) {
            double x = 0, y = 0;
            if (view_.ConvertPointToScreen(line->Segment->StartPoint, x, y)) clsView::DrawHandle(target_, x, y, style);
            if (view_.ConvertPointToScreen(line->Segment->EndPoint, x, y)) clsView::DrawHandle(target_, x, y, style);
        } else {
            node->Object->DrawHandles(target_, view_, style);
        }
    }

    // Whether the pass painted a selected object.
    bool MetSelection() const { return metSelection_; }

private:
    clsView& view_;
    clsPaintDC& target_;
    const SegmentProjector projector_;
    const std::int32_t pass_;
    const bool handles_;
    PaintProgress& progress_;
    bool metSelection_ = false;
};

} // namespace

void clsView::PaintNode(clsPaintDC& target, clsNode* node, std::int32_t pass, bool handles) {
    if (!node || !scene_) return;
    PaintProgress progress;
    NodePass(*this, target, pass, handles, progress).Paint(node);
}

void clsView::PaintScene(clsPaintDC& target, clsNode* root, bool twoPass, bool handles, bool showGrid) {
    paintStopped_ = false;
    if (!scene_) return;
    if (paintReference_ && ViewType == Perspective) DrawReferencePicture(target);
    if (showGrid) DrawGrid(target);

    if (ViewType == Perspective) {
        const clsPerspective& camera = scene_->GetPerspective();
        if (camera.IsHorizonVisible()) {
            const clsLine2D horizon = camera.GetHorizonLine();
            if (!horizon.IsDegenerate()) {
                target.DrawLine(horizon.StartPoint.x, horizon.StartPoint.y, horizon.EndPoint.x, horizon.EndPoint.y,
                                scene_->Horizon);
                target.SetLastShapeName("Horizon");
            }
        }
        if (camera.ShowVanishLines) {
            clsPoint3D u, v, w;
            camera.GetBaseVectors(u, v, w);
            target.BeginGroup();
            if (root) DrawVanishLines(target, root, u, v, w);
            target.EndGroup("Vanishing Lines", false);
        }
        if (camera.IsShowCrossHairs()) {
            target.BeginGroup();
            if (camera.UMin <= 0 && 0 <= camera.UMax)
                target.DrawLine(0, camera.VMin, 0, camera.VMax, scene_->CenterOfView);
            if (camera.VMin <= 0 && 0 <= camera.VMax)
                target.DrawLine(camera.UMin, 0, camera.UMax, 0, scene_->CenterOfView);
            target.EndGroup("Center Of View", false);
        }
    }

    if (!root) return;
    BeginAbortableOperation();
    PaintProgress progress;
    if (twoPass) {
        NodePass all(*this, target, 2, false, progress);
        all.Paint(root);
        // Pass 1 paints exactly the selected objects that pass 2 painted; when there were
        // none, it would walk the whole tree to paint nothing.
        if (all.MetSelection()) NodePass(*this, target, 1, handles, progress).Paint(root);
    } else {
        NodePass(*this, target, 0, false, progress).Paint(root);
    }
    paintStopped_ = progress.Stopped();
}

void clsView::DrawHandle(clsPaintDC& target, double x, double y, const clsOutline& style) {
    if (target.GetDeviceType() != clsPaintDC::PictureBox) return;
    target.FillScreenRect(x - 1, y - 1, x + 2, y + 2, style.Color);
}

clsOutline clsView::GetNodeOutline(const clsNode& node, bool plain, bool xorMode) const {
    clsOutline style = scene_ ? scene_->Line : clsOutline();
    if (node.Selected && !plain) style.Color.SetRGBColor(255, 0, 0);
    // XOR against the white background shows the complement of the pen: complementing
    // first makes the wanted colour appear.
    if (xorMode) style.Color.RGBColor = 0xFFFFFF ^ (style.Color.RGBColor & 0xFFFFFF);
    return style;
}

// ------------------------------------------------------------------ grid and horizon plane

void clsView::DrawGrid(clsPaintDC& target) {
    const clsPoint3D& m = scene_->ViewVolumeMin;
    const clsPoint3D& M = scene_->ViewVolumeMax;
    double a1, b1, a2, b2;
    switch (ViewType) {
    case Left:
    case Right: a1 = m.y; b1 = m.z; a2 = M.y; b2 = M.z; break;
    case Front:
    case Back: a1 = m.x; b1 = m.z; a2 = M.x; b2 = M.z; break;
    default: a1 = m.x; b1 = m.y; a2 = M.x; b2 = M.y; break; // Top, Bottom, Perspective
    }

    target.BeginGroup();
    // constantU: lines u = const from b1 to b2; otherwise v = const from a1 to a2.
    auto family = [&](bool constantU, double g, const clsOutline& style) {
        if (!(g > 0)) return;
        const double lo = constantU ? a1 : b1, hi = constantU ? a2 : b2;
        const double start = FirstMultiple(lo, g) * g;
        const double count = (hi - start) / g;
        if (!std::isfinite(start) || !std::isfinite(count) || count > kMaxGridLines) return;
        // Adding the spacing, rather than multiplying it, decides which line is the last.
        int drawn = 0;
        for (double p = start; p <= hi && drawn <= kMaxGridLines; p += g, ++drawn) {
            if (constantU) DrawPlaneLine(target, p, b1, p, b2, style);
            else DrawPlaneLine(target, a1, p, a2, p, style);
        }
    };
    family(true, scene_->MinorGrid, scene_->GridMinor);
    family(true, scene_->MajorGrid, scene_->GridMajor);
    family(false, scene_->MinorGrid, scene_->GridMinor);
    family(false, scene_->MajorGrid, scene_->GridMajor);

    if (ViewType != Perspective && scene_->GridHorizon.Style != clsOutline::StyleNone)
        DrawHorizonTrace(target, scene_->GridHorizon);
    target.EndGroup("Grid", false);
}

namespace {

// The horizon plane's unit normal and an orthonormal frame of the plane.
void HorizonPlaneFrame(const clsPerspective& camera, clsPoint3D& n, clsPoint3D& e1, clsPoint3D& e2) {
    n = camera.Horizon;
    n.Normalize();
    clsPoint3D a(0, 1, 0);
    if (n.z == 0 && !(std::fabs(n.y) < std::fabs(n.x))) a = clsPoint3D(1, 0, 0);
    e1 = a.CrossProduct(n);
    e1.Normalize();
    e2 = n.CrossProduct(e1);
}

} // namespace

void clsView::DrawPlaneLine(clsPaintDC& target, double uStart, double vStart, double uEnd, double vEnd,
                            const clsOutline& style) {
    clsLine3D segment;
    switch (ViewType) {
    case Left:
    case Right:
        segment.StartPoint.SetPoint(0, uStart, vStart);
        segment.EndPoint.SetPoint(0, uEnd, vEnd);
        break;
    case Top:
    case Bottom:
        segment.StartPoint.SetPoint(uStart, vStart, 0);
        segment.EndPoint.SetPoint(uEnd, vEnd, 0);
        break;
    case Front:
    case Back:
        segment.StartPoint.SetPoint(uStart, 0, vStart);
        segment.EndPoint.SetPoint(uEnd, 0, vEnd);
        break;
    case Perspective: {
        // The perspective grid lies in the horizon plane.
        const clsPerspective& camera = scene_->GetPerspective();
        clsPoint3D n, e1, e2;
        HorizonPlaneFrame(camera, n, e1, e2);
        const double h = camera.HorizonOffset;
        auto planePoint = [&](double u, double v) {
            return clsPoint3D(u * e1.x + v * e2.x + h * n.x, u * e1.y + v * e2.y + h * n.y,
                              u * e1.z + v * e2.z + h * n.z);
        };
        segment.StartPoint = planePoint(uStart, vStart);
        segment.EndPoint = planePoint(uEnd, vEnd);
        break;
    }
    default: return;
    }
    double u1, v1, u2, v2;
    if (ConvertLine(segment, u1, v1, u2, v2)) target.DrawLine(u1, v1, u2, v2, style);
}

void clsView::DrawHorizonTrace(clsPaintDC& target, const clsOutline& style) {
    if (ViewType == Perspective) return;
    const clsPerspective& camera = scene_->GetPerspective();
    clsPoint3D n = camera.Horizon;
    n.Normalize();
    const double h = camera.HorizonOffset;
    // The normal's components along the view's two document axes.
    double a = 0, b = 0;
    ConvertPoint(n, a, b);
    if (a == 0 && b == 0) return; // the plane is seen face-on
    const double uMin = std::min(ViewVolume.Left, ViewVolume.Right), uMax = std::max(ViewVolume.Left, ViewVolume.Right);
    const double vMin = std::min(ViewVolume.Bottom, ViewVolume.Top), vMax = std::max(ViewVolume.Bottom, ViewVolume.Top);
    // Run along the axis in which the trace is flatter, so that neither division is by a
    // component that is nearly zero.
    if (std::fabs(b) * (uMax - uMin) > std::fabs(a) * (vMax - vMin))
        DrawPlaneLine(target, uMin, (h - a * uMin) / b, uMax, (h - a * uMax) / b, style);
    else
        DrawPlaneLine(target, (h - b * vMin) / a, vMin, (h - b * vMax) / a, vMax, style);
}

// ------------------------------------------------------------------ vanishing lines

void clsView::DrawVanishLines(clsPaintDC& target, clsNode* node, const clsPoint3D& u, const clsPoint3D& v,
                              const clsPoint3D& w) {
    if (node->NodeType != clsNode::Line) {
        for (clsNode* child = node->FirstChild(); child; child = child->NextSibling())
            DrawVanishLines(target, child, u, v, w);
        return;
    }
    if (node->Hidden || !node->ShowVanishPoint) return;
    const clsLine* line = node->GetLine();
    if (!line || !line->Segment) return;
    const clsLine3D& segment = *line->Segment;
    const clsPerspective& camera = scene_->GetPerspective();

    clsPoint3D d = segment.GetVector();
    d.Normalize();
    const double dw = d.DotProduct(w);
    if (std::fabs(dw) < kParallelLimit) return; // parallel to the picture plane
    const double z1 = camera.GetDepth(segment.StartPoint), z2 = camera.GetDepth(segment.EndPoint);
    if (z1 >= 0 && z2 >= 0) return; // wholly behind the eye
    const double vanishU = -camera.Distance * d.DotProduct(u) / dw;
    const double vanishV = -camera.Distance * d.DotProduct(v) / dw;
    // The anchor is the end further in front of the eye (the more negative depth).
    const clsPoint3D& anchor = z2 >= z1 ? segment.StartPoint : segment.EndPoint;
    double anchorU = 0, anchorV = 0;
    camera.ConvertPoint(anchor, anchorU, anchorV);
    clsLine2D vanishing(vanishU, vanishV, anchorU, anchorV);
    if (ViewVolume.ClipLine(vanishing))
        target.DrawLine(vanishing.StartPoint.x, vanishing.StartPoint.y, vanishing.EndPoint.x, vanishing.EndPoint.y,
                        scene_->VanishLine);
}

// ------------------------------------------------------------------ screen decorations

void clsView::DrawAxes() {
    DrawAxis(clsPoint3D(1, 0, 0), "X", QColor(255, 0, 0));
    DrawAxis(clsPoint3D(0, 1, 0), "Y", QColor(0, 128, 0));
    DrawAxis(clsPoint3D(0, 0, 1), "Z", QColor(0, 0, 255));
}

void clsView::DrawAxis(const clsPoint3D& direction, const std::string& label, const QColor& color) {
    if (!canvas_) return;
    clsPoint3D e1, e2, normal;
    GetBaseVectors(e1, e2, normal);
    const clsRect screen = GetViewScreenRect();
    // 25 pixels inside the lower left corner of the view area (Top holds the lower row).
    const double x0 = screen.Left + 25, y0 = screen.Top - 25;
    const double dx = 20 * e1.DotProduct(direction), dy = -20 * e2.DotProduct(direction);
    ScreenPainter painter(*canvas_);
    if (!painter.Active()) return;
    painter.Line(x0, y0, x0 + dx, y0 + dy, color);
    const QFont font = AxisLabelFont(canvas_->PixelsPerInchY());
    const QFontMetricsF metrics(font);
    const QString text = QString::fromStdString(label);
    // Centred on the tip, standing on it.
    painter.Text(x0 + dx - metrics.horizontalAdvance(text) / 2, y0 + dy - metrics.height(), text, font, color);
}

void clsView::RulerSteps(double pixelsPerUnit, double& minor, double& major) {
    minor = major = 0;
    if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit)) return;
    // The smallest of 1, 2 and 5 times a power of ten that keeps the labels apart; a power
    // a hair too small by rounding is caught by the loop.
    const double least = kRulerLabelSpacing / pixelsPerUnit;
    if (!std::isfinite(least)) return;
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (int i = 0; i < 4; ++i, power *= 10)
        for (const double factor : {1.0, 2.0, 5.0})
            if (factor * power >= least) {
                major = factor * power;
                minor = major / (factor == 2 ? 4 : 5);
                return;
            }
}

void clsView::DrawRulers(Canvas& canvas) {
    ScreenPainter painter(canvas);
    if (!painter.Active() || !scene_) return;
    const QFont font = RulerFont(canvas.PixelsPerInchY());
    const QFontMetricsF metrics(font);
    const double left = canvas.ScaleLeft, top = canvas.ScaleTop;
    const double right = left + canvas.ScaleWidth(), bottom = top + canvas.ScaleHeight();
    const double inner = RulerWidth; // the rulers' inner edges lie this far from the canvas edge
    const QColor field(255, 255, 200), black(0, 0, 0), red(255, 0, 0);

    // One ruler: horizontal is the top ruler (ticks at x = screen(coordinate)), else the
    // left ruler (ticks at y). bandLo..bandHi is the band's extent along the ruler.
    auto ruler = [&](bool horizontal, double edge1, double edge2, double bandLo, double bandHi) {
        auto screenAt = [&](double value) { return horizontal ? GetScreenX(value) : GetScreenY(value); };
        // The band, with the stretch covered by the view volume filled.
        const double p1 = screenAt(edge1), p2 = screenAt(edge2);
        const double fillLo = std::max(std::min(p1, p2), bandLo), fillHi = std::min(std::max(p1, p2), bandHi);
        if (fillLo < fillHi) {
            if (horizontal) painter.Fill(fillLo, top, fillHi, top + inner, field);
            else painter.Fill(left, fillLo, left + inner, fillHi, field);
        }
        if (horizontal) painter.Frame(bandLo, top, bandHi - 1, top + inner - 1, black);
        else painter.Frame(left, bandLo, left + inner - 1, bandHi - 1, black);

        const double lo = std::min(edge1, edge2), hi = std::max(edge1, edge2);
        double sx = 0, sy = 0;
        GetScaleXY(sx, sy);
        double minor = 0, major = 0;
        RulerSteps(std::fabs(horizontal ? sx : sy), minor, major);
        // Ticks k * step from the first multiple at lo up to hi; only those whose screen
        // position falls in the band are drawn, so only that stretch is walked.
        auto ticks = [&](double step, double length, const QColor& color, bool labelled) {
            if (!(step > 0)) return;
            const double scale = std::fabs(horizontal ? sx : sy);
            if (!(scale > 0)) return;
            // The coordinates at the two ends of the band, through the inverse mapping.
            const clsRect screen = GetScreenRect();
            const double centre = horizontal ? screen.GetCenterX() : screen.GetCenterY();
            const double viewCentre = horizontal ? ViewRect.GetCenterX() : ViewRect.GetCenterY();
            const double sign = horizontal ? Sign(sx) : -Sign(sy);
            const double c1 = (bandLo - centre) / (sign * scale) + viewCentre;
            const double c2 = (bandHi - centre) / (sign * scale) + viewCentre;
            double kFirst = FirstMultiple(lo, step);
            const double kVisible = std::floor(std::min(c1, c2) / step) - 1;
            if (kVisible > kFirst) kFirst = kVisible;
            const double kLast = std::min(std::floor(hi / step), std::ceil(std::max(c1, c2) / step)) + 1;
            if (!std::isfinite(kFirst) || !std::isfinite(kLast) || kLast - kFirst > kMaxRulerTicks) return;
            // The stretch along the ruler that the last label took: a label that would run
            // into it is left out rather than drawn over it.
            double takenLo = 0, takenHi = -1;
            for (double k = kFirst; k <= kLast; ++k) {
                const double value = k * step;
                if (value > hi) break;
                const double p = screenAt(value);
                if (p < bandLo || p >= bandHi) continue;
                if (horizontal) painter.Fill(p, top + inner - length, p + 1, top + inner, color);
                else painter.Fill(left + inner - length, p, left + inner, p + 1, color);
                if (!labelled) continue;
                const QString text = QString::fromStdString(RulerText(value, step));
                const double w = metrics.horizontalAdvance(text), h = metrics.height();
                // A label too wide for the left band stands on end beside its tick.
                const bool upright = !horizontal && w > inner - 7 - 1;
                const double along = horizontal || upright ? w : h;
                const double from = p - along / 2, to = from + along;
                // A label cut by the end of its band, or running into the one before, is left out.
                if (from < bandLo || to > bandHi) continue;
                if (takenLo <= takenHi && from < takenHi + kLabelGap && to > takenLo - kLabelGap) continue;
                takenLo = from;
                takenHi = to;
                if (horizontal) painter.Text(p - w / 2, top + inner - 7 - h, text, font, black);
                else if (upright) painter.UpwardText(left + inner - 7 - h, p + w / 2, text, font, black);
                else painter.Text(left + inner - 7 - w, p - h / 2, text, font, black);
            }
        };
        ticks(minor, 3, black, false);
        ticks(major, 6, red, true);
    };

    ruler(true, ViewVolume.Left, ViewVolume.Right, left + inner, right);
    ruler(false, ViewVolume.Bottom, ViewVolume.Top, top + inner, bottom);
}

void clsView::DrawViewPoint(Canvas& canvas, bool xorMode) {
    // The marker shows the eye in the orthographic views; the perspective view looks from it.
    if (!scene_ || ViewType == Perspective) return;
    const clsPerspective& camera = scene_->GetPerspective();
    double ex = 0, ey = 0, tx = 0, ty = 0;
    if (!ConvertPointToScreen(camera.EyePoint, ex, ey) || !ConvertPointToScreen(GetEyePointVector(*scene_), tx, ty))
        return;
    const Canvas::DrawMode mode = canvas.Mode;
    if (xorMode) canvas.Mode = Canvas::DrawMode::Xor;
    {
        ScreenPainter painter(canvas);
        // In XOR mode the complements show blue and red on white.
        const QColor line = xorMode ? QColor(255, 255, 0) : QColor(0, 0, 255);
        const QColor boxes = xorMode ? QColor(0, 255, 255) : QColor(255, 0, 0);
        painter.Line(ex, ey, tx, ty, line);
        painter.Fill(ex - 2, ey - 2, ex + 3, ey + 3, boxes);
        painter.Fill(tx - 1, ty - 1, tx + 2, ty + 2, boxes);
    }
    canvas.Mode = mode;
}

} // namespace ov
