// What a view answers during mouse and keyboard work: what lies under the cursor, the XOR
// rubber bands of a drag, and the arrow keys as nudges and rotations of the selection or
// of the camera.

#include "paint/clsView.h"

#include <QFontMetrics>
#include <QPainter>

#include "camera/CameraKeyCommand.h"
#include "platform/Desktop.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "shapes/clsLine.h"
#include "paint/Canvas.h"
#include "render/XorOutline.h"
#include "paint/clsPaintDC.h"
#include "paint/clsVertexHit.h"

namespace ov {

namespace {

constexpr std::int16_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr std::int16_t kShiftBit = 1, kCtrlBit = 2, kAltBit = 4;

// The complement against white of the rubber-band colour: XOR on white shows blue.
const QColor kXorBlue(255, 255, 0);

// Sets the canvas to XOR drawing for the lifetime of the guard and restores mode, style and
// colour afterwards.
class XorCanvas {
public:
    explicit XorCanvas(Canvas& canvas)
        : canvas_(canvas), mode_(canvas.Mode), style_(canvas.Style), color_(canvas.ForeColor) {
        canvas_.Mode = Canvas::DrawMode::Xor;
    }
    ~XorCanvas() {
        canvas_.Mode = mode_;
        canvas_.Style = style_;
        canvas_.ForeColor = color_;
    }
    XorCanvas(const XorCanvas&) = delete;
    XorCanvas& operator=(const XorCanvas&) = delete;

private:
    Canvas& canvas_;
    Canvas::DrawMode mode_;
    Canvas::DrawStyle style_;
    QColor color_;
};

// Each object node of the subtree that the XOR outline shows: the members of a selection
// node, otherwise the node and everything below it, in tree order.
void CollectObjectNodes(clsNode* node, std::vector<clsNode*>& objects) {
    std::vector<clsNode*> pending;
    if (node->IsSelection())
        pending.assign(node->SelectionList.rbegin(), node->SelectionList.rend());
    else
        pending.push_back(node);
    while (!pending.empty()) {
        clsNode* n = pending.back();
        pending.pop_back();
        if (n->IsObject() && n->Object) objects.push_back(n);
        for (clsNode* c = n->LastChild(); c; c = c->PrevSibling()) pending.push_back(c);
    }
}

bool SameLook(const clsOutline& a, const clsOutline& b) {
    return a.Width == b.Width && a.Style == b.Style && a.Color.RGBColor == b.Color.RGBColor;
}

// Draws the pieces of an XOR outline. Pieces that look alike and continue one another (the
// segments of a curve, the walls of a house) go out as one run, so that XOR does not erase
// the pixel two of them share.
void DrawRuns(clsPaintDC& target, const XorOutline& outline, const std::vector<clsOutline>& styles) {
    std::vector<clsPoint2D> run;
    std::size_t runTag = 0;
    auto flush = [&] {
        if (!run.empty()) target.DrawScreenPolyline(run, styles[runTag]);
    };
    for (const XorOutline::Piece& piece : outline.Pieces()) {
        const clsLine2D& s = piece.Segment;
        const bool continues = !run.empty() && SameLook(styles[piece.Tag], styles[runTag]) &&
                               run.back().x == s.StartPoint.x && run.back().y == s.StartPoint.y;
        if (!continues) {
            flush();
            run.assign(1, s.StartPoint);
            runTag = piece.Tag;
        }
        run.push_back(s.EndPoint);
    }
    flush();
}

} // namespace

clsScene* clsView::GetDocumentScene() const { return dynamic_cast<clsScene*>(scene_); }

bool clsView::HitTestViewName(double x, double y) {
    if (!canvas_) return false;
    QFont bold = canvas_->Font;
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const QString name = QString::fromStdString(GetViewName());
    clsRect label;
    label.SetValues(3, 3, 3 + metrics.horizontalAdvance(name), 3 + metrics.height());
    return label.IsInside(x, y);
}

std::int32_t clsView::HitTestView(double x, double y, std::vector<clsVertexHit>* hits, bool stopAtFirst) {
    clsRect hitRect;
    hitRect.SetValues(x - 2, y - 2, x + 2, y + 2);
    const std::int32_t tool = App().CurrentTool;
    if (tool != ToolPick && tool != ToolNodeEdit) return 0;
    if (scene_) {
        const clsPerspective& camera = scene_->GetPerspective();
        double ex = 0, ey = 0, tx = 0, ty = 0;
        if (ConvertPointToScreen(camera.EyePoint, ex, ey) && hitRect.IsInside(ex, ey)) return 1;
        if (ConvertPointToScreen(GetEyePointVector(*scene_), tx, ty) && hitRect.IsInside(tx, ty)) return 2;
    }
    if (tool != ToolNodeEdit) return 0;
    clsScene* scene = GetDocumentScene();
    if (!scene) return 0;
    return scene->TreeManager.HitTestNode(*this, hitRect, hits, stopAtFirst) ? 3 : 0;
}

void clsView::DrawMarquee(double x1, double y1, double x2, double y2) {
    if (!canvas_ || canvas_->Image().isNull()) return;
    XorCanvas xorCanvas(*canvas_);
    canvas_->Style = Canvas::DrawStyle::Dotted;
    QPainter painter(&canvas_->Image());
    canvas_->PreparePainter(painter);
    QPen pen(kXorBlue);
    pen.setWidth(1);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // One closed outline, so that no corner pixel is drawn twice (which XOR would cancel).
    const QPointF corners[] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    painter.drawPolygon(corners, 4);
    painter.end();
    canvas_->NotifyChanged();
}

void clsView::DrawVertexLine(const clsLine3D& segment) {
    if (!canvas_) return;
    XorCanvas xorCanvas(*canvas_);
    canvas_->ForeColor = kXorBlue;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ConvertPointToScreen(segment.StartPoint, x1, y1);
    ConvertPointToScreen(segment.EndPoint, x2, y2);
    canvas_->Line(x1, y1, x2, y2);
}

void clsView::DrawXorOutline(clsPaintDC& target, clsNode* node) {
    if (!node) return;
    std::vector<clsNode*> objects;
    CollectObjectNodes(node, objects);

    XorOutline outline;
    std::vector<clsOutline> styles;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        clsNode* n = objects[i];
        if (n->Hidden) continue;
        styles.push_back(GetNodeOutline(*n, false, true));
        for (const clsLine3D& s : n->BreakApart()) {
            double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            // A point the camera cannot show has no screen position; its segment is left out.
            if (!ConvertPointToScreen(s.StartPoint, x1, y1) || !ConvertPointToScreen(s.EndPoint, x2, y2)) continue;
            outline.Add(clsLine2D(x1, y1, x2, y2), styles.size() - 1);
        }
    }
    outline.Simplify();
    DrawRuns(target, outline, styles);
}

void clsView::OnArrowKey(std::int16_t key, std::int16_t shift, bool& handled) {
    handled = false;
    // Only the four arrows are keys of this command; the window passes nothing else.
    if (key != kLeft && key != kRight && key != kUp && key != kDown) return;
    clsScene* scene = GetDocumentScene();
    const bool withShift = (shift & kShiftBit) != 0, withCtrl = (shift & kCtrlBit) != 0;
    if (!scene || (shift & kAltBit) != 0) {
        Beep();
        return;
    }
    int dx = key == kRight ? 1 : key == kLeft ? -1 : 0;
    const int dy = key == kUp ? 1 : key == kDown ? -1 : 0;
    const double angle = scene->AngleStep, step = scene->NudgeOffset;
    clsTreeManager& tm = scene->TreeManager;
    clsPerspective& camera = scene->GetPerspective();

    if (ViewType == Perspective) {
        const CameraKeyCommand command =
            PerspectiveArrowKeyCommand(dx, dy, withShift, withCtrl, false, angle, step);
        if (!command.Handled()) {
            Beep();
            return;
        }
        tm.PushUndoPerspective(command.UndoName, true);
        command.ApplyTo(camera);
        handled = true;
        return;
    }

    const bool selection = tm.GetSelectedCount() > 0;
    if (!withShift) {
        if (withCtrl && dx != 0) {
            Beep();
            return;
        }
        // Right always moves to the right on screen, also where the horizontal axis is mirrored.
        if (ViewType == Right || ViewType == Bottom || ViewType == Front) dx = -dx;
        const clsPoint3D v = withCtrl ? PlanePointToPoint3D(dx * step, 0, dy * step)
                                      : PlanePointToPoint3D(dx * step, dy * step, 0);
        if (selection) {
            tm.PushUndoTree("Nudge", true);
            if (clsNode* s = tm.GetSelection()) s->TranslateByPoint(v);
        } else {
            tm.PushUndoPerspective("Nudge Eye Point", true);
            camera.CameraNudge(v);
        }
        handled = true;
        return;
    }

    if (selection) {
        // Up/Down turn about the view's horizontal axis, Left/Right about the viewing
        // direction; with Ctrl, Left/Right turn about the view's vertical axis.
        if (withCtrl && dx == 0) {
            Beep();
            return;
        }
        const clsPoint3D axis = withCtrl ? PlanePointToPoint3D(0, -dx, 0) : PlanePointToPoint3D(dy, 0, dx);
        tm.PushUndoTree("Rotate", true);
        if (clsNode* s = tm.GetSelection()) {
            const clsPoint3D centre = s->GetCenterPosition();
            s->RotateRel(axis.x * -angle, axis.y * -angle, axis.z * -angle, &centre);
        }
        handled = true;
        return;
    }

    if (withCtrl) {
        Beep();
        return;
    }
    const CameraKeyCommand command = EyeTurnKeyCommand(dx, dy, angle);
    if (!command.Handled()) {
        Beep();
        return;
    }
    tm.PushUndoPerspective(command.UndoName, true);
    command.ApplyTo(camera);
    handled = true;
}

} // namespace ov
