#include "app/windows/CameraMatchSession.h"

#include <QPainter>
#include <cmath>

#include "paint/clsView.h"
#include "render/ReferenceImages.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

// A press this close to a mark (pixels) takes hold of it.
constexpr double kGrabRadius = 7;

const QColor kAxisColors[3] = {QColor(220, 0, 0), QColor(0, 150, 0), QColor(0, 0, 230)};

} // namespace

bool CameraMatchSession::Place(const clsView& view, Placement& p) const {
    const clsScene* scene = view.GetDocumentScene();
    if (!scene || view.ViewType != clsView::Perspective) return false;
    PictureRect r;
    const std::shared_ptr<const QImage> image = PlaceReferencePicture(*scene, false, r);
    if (!image) return false;
    p = {r.Left, r.Bottom, r.Right, r.Top, double(image->width()), double(image->height())};
    return true;
}

PicturePoint CameraMatchSession::ToPicture(const clsView& view, const Placement& p, double x, double y) const {
    // The inverse of the view's mapping of the view plane to its pixels.
    double sx = 1, sy = 1;
    view.GetScaleXY(sx, sy);
    const clsRect screen = view.GetScreenRect();
    const double u = (x - screen.GetCenterX()) / sx + view.ViewRect.GetCenterX();
    const double v = -(y - screen.GetCenterY()) / sy + view.ViewRect.GetCenterY();
    return {(u - p.left) / (p.right - p.left) * p.width, (p.top - v) / (p.top - p.bottom) * p.height};
}

void CameraMatchSession::ToScreen(const clsView& view, const Placement& p, const PicturePoint& point, double& x,
                                  double& y) const {
    x = view.GetScreenX(p.left + point.x / p.width * (p.right - p.left));
    y = view.GetScreenY(p.top - point.y / p.height * (p.top - p.bottom));
}

PicturePoint* CameraMatchSession::Grab(const clsView& view, const Placement& p, double x, double y) {
    PicturePoint* best = nullptr;
    double bestDistance = kGrabRadius;
    auto consider = [&](PicturePoint& point) {
        double px = 0, py = 0;
        ToScreen(view, p, point, px, py);
        const double d = std::hypot(px - x, py - y);
        if (d <= bestDistance) {
            bestDistance = d;
            best = &point;
        }
    };
    for (auto& axis : Segments)
        for (PictureSegment& s : axis) {
            consider(s.Start);
            consider(s.End);
        }
    if (OriginPoint) consider(*OriginPoint);
    if (ScalePoint) consider(*ScalePoint);
    return best;
}

bool CameraMatchSession::MouseDown(const clsView& view, double x, double y) {
    Placement p{};
    if (!Place(view, p)) return false;
    dragged_ = Grab(view, p, x, y);
    if (dragged_) return true;
    const PicturePoint at = ToPicture(view, p, x, y);
    if (Active == Origin) {
        OriginPoint = at;
        dragged_ = &*OriginPoint;
    } else if (Active == Scale) {
        ScalePoint = at;
        dragged_ = &*ScalePoint;
    } else {
        std::vector<PictureSegment>& axis = Segments[Active];
        if (axis.size() == 2) axis.erase(axis.begin()); // the newer line replaces the older
        axis.push_back({at, at});
        dragged_ = &axis.back().End;
    }
    return true;
}

void CameraMatchSession::MouseMove(const clsView& view, double x, double y) {
    Placement p{};
    if (dragged_ && Place(view, p)) *dragged_ = ToPicture(view, p, x, y);
}

void CameraMatchSession::MouseUp() {
    dragged_ = nullptr;
    // A click without a drag leaves no line of no length behind.
    for (auto& axis : Segments)
        for (auto it = axis.begin(); it != axis.end();)
            it = it->Start.x == it->End.x && it->Start.y == it->End.y ? axis.erase(it) : it + 1;
}

void CameraMatchSession::Clear(Element element) {
    dragged_ = nullptr;
    if (element == Origin) OriginPoint.reset();
    else if (element == Scale) ScalePoint.reset();
    else Segments[element].clear();
}

CameraMatchResult CameraMatchSession::Solve(const clsView& view) const {
    Placement p{};
    if (!Place(view, p)) return {"The perspective view shows no reference picture to match.", {}};
    CameraMatchInput input;
    input.Width = p.width;
    input.Height = p.height;
    int pairs = 0;
    for (int a = 0; a < 3; ++a)
        if (Segments[a].size() == 2) {
            input.Axes[a] = AxisPair{Segments[a][0], Segments[a][1]};
            ++pairs;
        }
    // What is still missing, in the order the panel lists it.
    if (pairs < 2) return {"Draw two lines along parallel edges for each of at least two axes (X, Y, Z).", {}};
    if (!OriginPoint) return {"Mark the point where the origin lies (Origin).", {}};
    input.Origin = *OriginPoint;
    if (ScalePoint) {
        input.ScalePoint = *ScalePoint;
        input.ScaleLength = Length;
    }
    return MatchCamera(input);
}

void CameraMatchSession::Draw(QPainter& painter, const clsView& view) const {
    Placement p{};
    if (!Place(view, p)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    auto point = [&](const PicturePoint& at) {
        double x = 0, y = 0;
        ToScreen(view, p, at, x, y);
        return QPointF(x, y);
    };
    for (int a = 0; a < 3; ++a)
        for (const PictureSegment& s : Segments[a]) {
            painter.setPen(QPen(kAxisColors[a], 2));
            painter.drawLine(point(s.Start), point(s.End));
            painter.setPen(QPen(kAxisColors[a], 1));
            for (const PicturePoint& end : {s.Start, s.End}) painter.drawRect(QRectF(point(end) - QPointF(3, 3), QSizeF(6, 6)));
        }
    painter.setPen(QPen(Qt::black, 2));
    if (OriginPoint) painter.drawEllipse(point(*OriginPoint), 5, 5);
    if (ScalePoint) {
        painter.setPen(QPen(kAxisColors[AxisX], 2));
        painter.drawEllipse(point(*ScalePoint), 5, 5);
        if (OriginPoint) {
            painter.setPen(QPen(kAxisColors[AxisX], 1, Qt::DashLine));
            painter.drawLine(point(*OriginPoint), point(*ScalePoint));
        }
    }
    painter.restore();
}

} // namespace ov
