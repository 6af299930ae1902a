#include "app/windows/ToolInteraction.h"

#include "app/windows/ToolCursors.h"
#include "app/windows/ViewPort.h"
#include "scene/AppState.h"
#include "scene/ITreeView.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "shapes/clsEllipse.h"
#include "paint/clsView.h"

#include <cmath>
#include <unordered_set>

namespace ov {

namespace {

double Sgn(double v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}

// Ctrl on a drag: a line within twice the one side of the other becomes horizontal or
// vertical, any other line a diagonal; the other shapes get equal sides.
void Constrain(double x0, double y0, double& x1, double& y1, bool line) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double ax = std::fabs(dx), ay = std::fabs(dy);
    if (line && (ax > 2 * ay || ay > 2 * ax)) {
        if (ay >= ax)
            x1 = x0;
        else
            y1 = y0;
        return;
    }
    if (ay >= ax)
        x1 = x0 + Sgn(dx) * ay;
    else
        y1 = y0 + Sgn(dy) * ax;
}

// The pointer image of a tool; -1 for a tool that keeps the one shown.
int ToolImage(std::int32_t tool) {
    switch (tool) {
    case ToolPick:
        return CursorPick;
    case ToolZoom:
        return CursorZoom;
    case ToolLine:
        return CursorLine;
    case ToolRectangle:
        return CursorRectangle;
    case ToolEllipse:
        return CursorEllipse;
    case ToolBezier:
        return CursorBezier;
    case ToolBox:
        return CursorBox;
    default:
        return -1;
    }
}

bool IsEyeDrag(std::int32_t state) {
    return state == ToolInteraction::DraggingEyePoint ||
           state == ToolInteraction::DraggingEyeDirection;
}

} // namespace

// Reports the pointer when a mouse handler returns, whatever way it leaves.
struct ToolInteraction::StatusOnReturn {
    const ToolInteraction& tools;
    double x, y;
    int shift;
    ~StatusOnReturn() { tools.ReportPointer(x, y, shift); }
};

ToolInteraction::ToolInteraction(clsScene& scene, std::array<clsView, PortCount>& views,
                                 IToolHost& host)
    : scene_(scene), views_(views), host_(host) {
    for (int i = 0; i < PortCount; ++i)
        views_[static_cast<std::size_t>(i)].Active = i == active_;
}

ToolInteraction::~ToolInteraction() = default;

clsView& ToolInteraction::ActiveView() {
    return views_[static_cast<std::size_t>(active_)];
}

bool ToolInteraction::PaintsEyeMarker() const {
    return !IsEyeDrag(state_);
}

void ToolInteraction::SetState(std::int32_t state) {
    state_ = state;
}

void ToolInteraction::Capture() {
    if (captured_) return;
    captured_ = true;
    host_.SetCapture(true);
}

void ToolInteraction::ReleaseCapture() {
    if (!captured_) return;
    captured_ = false;
    host_.SetCapture(false);
}

void ToolInteraction::StatusBar() const {
    if (App().MainWindow) App().MainWindow->UpdateStatusBar();
}

// ------------------------------------------------------------------ feedback

void ToolInteraction::DrawFeedback(int port) {
    if (port < 0 || port >= PortCount) return;
    clsView& view = views_[static_cast<std::size_t>(port)];
    if (preview_) view.OnPaint(preview_.get(), true, false);
    switch (state_) {
    case ZoomRectangle:
    case SelectingArea:
        if (port == active_) view.DrawMarquee(pressX_, pressY_, cornerX_, cornerY_);
        break;
    case EditingVertices:
        if (VertexHitsAlive())
            for (const clsVertexHit& hit : hits_)
                hit.DrawObjectPreview(view);
        break;
    case DraggingEyePoint:
    case DraggingEyeDirection:
        if (view.GetCanvas()) view.DrawViewPoint(*view.GetCanvas(), true);
        break;
    default:
        break;
    }
}

void ToolInteraction::DrawPreview() {
    if (!preview_) return;
    for (int i = 0; i < PortCount; ++i)
        if (host_.PreparePort(i))
            views_[static_cast<std::size_t>(i)].OnPaint(preview_.get(), true, false);
}

void ToolInteraction::DrawVertexPreviews() {
    for (int i = 0; i < PortCount; ++i)
        if (host_.PreparePort(i))
            for (const clsVertexHit& hit : hits_)
                hit.DrawObjectPreview(views_[static_cast<std::size_t>(i)]);
}

void ToolInteraction::DrawEyeMarkers() {
    for (int i = 0; i < PortCount; ++i) {
        clsView& view = views_[static_cast<std::size_t>(i)];
        if (view.ViewType != clsView::Perspective && view.GetCanvas() && host_.PreparePort(i))
            view.DrawViewPoint(*view.GetCanvas(), true);
    }
}

void ToolInteraction::DrawMarquee() {
    if (host_.PreparePort(active_)) ActiveView().DrawMarquee(pressX_, pressY_, cornerX_, cornerY_);
}

bool ToolInteraction::VertexHitsAlive() const {
    if (hits_.empty()) return true;
    std::unordered_set<const IVertexDraggable*> objects;
    std::vector<const clsNode*> pending{scene_.GetRootNode()};
    while (!pending.empty()) {
        const clsNode* node = pending.back();
        pending.pop_back();
        if (!node) continue;
        if (node->Object) objects.insert(node->Object.get());
        for (const clsNode* c = node->FirstChild(); c; c = c->NextSibling())
            pending.push_back(c);
    }
    for (const clsVertexHit& hit : hits_)
        if (!objects.count(hit.Object)) return false;
    return true;
}

// The grabbed objects are gone: nothing is left to erase or finish. The pictures are made
// afresh instead.
void ToolInteraction::AbandonVertexDrag() {
    hits_.clear();
    SetState(Idle);
    ReleaseCapture();
    for (int i = 0; i < PortCount; ++i)
        host_.InvalidatePort(i);
    StatusBar();
}

// ------------------------------------------------------------------ shapes

void ToolInteraction::PlaneCorners(double x, double y, bool snap, bool constrain, bool line,
                                   double& x0, double& y0, double& x1, double& y1) const {
    const clsView& view = views_[static_cast<std::size_t>(active_)];
    x0 = pressX_;
    y0 = pressY_;
    x1 = x;
    y1 = y;
    view.ScreenToDoc2D(x0, y0, snap);
    view.ScreenToDoc2D(x1, y1, snap);
    if (constrain) Constrain(x0, y0, x1, y1, line);
}

std::unique_ptr<clsNode> ToolInteraction::MakeLine(double x, double y, bool snap,
                                                   bool constrain) const {
    double x0, y0, x1, y1;
    PlaneCorners(x, y, snap, constrain, true, x0, y0, x1, y1);
    const clsView& view = views_[static_cast<std::size_t>(active_)];
    const clsPoint3D a = view.PlanePointToPoint3D(x0, y0, 0),
                     b = view.PlanePointToPoint3D(x1, y1, 0);
    return scene_.TreeManager.CreateLineNode(a.x, a.y, a.z, b.x, b.y, b.z, "");
}

namespace {

// The four sides of the rectangle with corners (x0, y0) and (x1, y1), in drawing order.
std::array<std::pair<clsPoint3D, clsPoint3D>, 4> RectangleSides(const clsView& view, double x0,
                                                                double y0, double x1, double y1) {
    const clsPoint3D a = view.PlanePointToPoint3D(x0, y0, 0),
                     b = view.PlanePointToPoint3D(x1, y0, 0),
                     c = view.PlanePointToPoint3D(x1, y1, 0),
                     d = view.PlanePointToPoint3D(x0, y1, 0);
    return {{{a, b}, {b, c}, {c, d}, {d, a}}};
}

// The top rises along the normal of the base, so its side follows the sign of the height
// and the orientation of the base; a flat base has no normal and the top lies on it.
clsPoint3D Rise(const std::array<std::pair<clsPoint3D, clsPoint3D>, 4>& sides, double height) {
    clsPoint3D e0 = sides[0].second, e1 = sides[1].second;
    e0.Subtract(sides[0].first);
    e1.Subtract(sides[1].first);
    clsPoint3D offset = e0.CrossProduct(e1);
    offset.Normalize();
    offset.Multiply(height);
    return offset;
}

} // namespace

clsPoint3D ToolInteraction::BoxRise() const {
    double x0, y0, x1, y1;
    PlaneCorners(secondX_, secondY_, boxShift_, boxCtrl_, false, x0, y0, x1, y1);
    return Rise(RectangleSides(views_[static_cast<std::size_t>(active_)], x0, y0, x1, y1), boxHeight_);
}

// A rectangle is a box without height under its own name: the same four sides in the same
// order.
std::unique_ptr<clsNode> ToolInteraction::MakeRectangle(double x, double y, bool snap,
                                                        bool constrain) const {
    auto node = MakeBox(x, y, snap, constrain, 0);
    node->Name = "Rectangle";
    return node;
}

std::unique_ptr<clsNode> ToolInteraction::MakeBox(double x, double y, bool snap, bool constrain,
                                                  double height) const {
    double x0, y0, x1, y1;
    PlaneCorners(x, y, snap, constrain, false, x0, y0, x1, y1);
    const clsView& view = views_[static_cast<std::size_t>(active_)];
    const clsTreeManager& tm = scene_.TreeManager;
    auto group = clsTreeManager::CreateNode(clsNode::Group);
    group->Name = "Box";
    const auto sides = RectangleSides(view, x0, y0, x1, y1);
    for (const auto& [s, e] : sides)
        group->AddChild(tm.CreateLineNode(s.x, s.y, s.z, e.x, e.y, e.z, ""));
    if (height == 0) return group;

    const clsPoint3D offset = Rise(sides, height);
    for (const auto& [s, e] : sides)
        group->AddChild(tm.CreateLineNode(s.x + offset.x, s.y + offset.y, s.z + offset.z,
                                          e.x + offset.x, e.y + offset.y, e.z + offset.z, ""));
    for (const auto& side : sides) {
        const clsPoint3D& s = side.first;
        group->AddChild(
            tm.CreateLineNode(s.x, s.y, s.z, s.x + offset.x, s.y + offset.y, s.z + offset.z, ""));
    }
    return group;
}

std::unique_ptr<clsNode> ToolInteraction::MakeEllipse(double x, double y, bool snap,
                                                      bool constrain) const {
    double x0, y0, x1, y1;
    PlaneCorners(x, y, snap, constrain, false, x0, y0, x1, y1);
    const clsView& view = views_[static_cast<std::size_t>(active_)];
    clsPoint3D centre = view.PlanePointToPoint3D(x0, y0, 0);
    centre.Add(view.PlanePointToPoint3D(x1, y1, 0));
    centre.Multiply(0.5);

    // The ellipse lies in its own XY plane; the matrix turns that plane into the view plane.
    clsMatrix3D matrix;
    switch (view.ViewType) {
    case clsView::Left:
    case clsView::Right:
        matrix.SetRotationY(90);
        matrix.RotateMatrix(90, 0, 0, nullptr);
        break;
    case clsView::Front:
    case clsView::Back:
        matrix.SetRotationX(90);
        break;
    default:
        break;
    }
    matrix.RefPoint = centre;

    auto node = clsTreeManager::CreateNode(clsNode::Ellipse);
    auto ellipse = std::make_unique<clsEllipse>();
    ellipse->BindToScene(&scene_);
    ellipse->SetProps(std::fabs(x0 - x1) / 2, std::fabs(y0 - y1) / 2, 0, 0, 0, &matrix);
    node->Object = std::move(ellipse);
    return node;
}

double ToolInteraction::FitBoxHeight(double height) const {
    double x0, y0, x1, y1;
    PlaneCorners(secondX_, secondY_, boxShift_, boxCtrl_, false, x0, y0, x1, y1);
    const double w = std::fabs(x1 - x0), e = std::fabs(y1 - y0), a = std::fabs(height);
    const double mw = w != 0 ? std::floor(a / w + 0.5) * w : 0;
    const double me = e != 0 ? std::floor(a / e + 0.5) * e : 0;
    double magnitude = a;
    if (w != 0 && e != 0)
        magnitude = std::fabs(mw - a) < std::fabs(me - a) ? mw : me;
    else if (w != 0)
        magnitude = mw;
    else if (e != 0)
        magnitude = me;
    return height < 0 ? -magnitude : height > 0 ? magnitude : 0;
}

// ------------------------------------------------------------------ mouse

void ToolInteraction::Activate(int port) {
    // A drag belongs to the view it began in.
    CancelDrag();
    ActiveView().Active = false;
    host_.InvalidatePort(active_);
    active_ = port;
    ActiveView().Active = true;
    host_.InvalidatePort(active_);
    host_.ActivePortChanged(active_);
}

void ToolInteraction::MouseDown(int port, int button, double x, double y, int /*shift*/) {
    if (port < 0 || port >= PortCount) return;
    if (PanEvent(port, button, x, y, true, false)) return;
    if (port != active_) {
        Activate(port);
        return;
    }
    if (button == buttons::Right) {
        host_.ToggleMaximized();
        return;
    }
    if (button != buttons::Left) return;
    if (state_ == MovingBezierEnd) {
        SetState(DraggingBezierControl);
        return;
    }
    // The box height is chosen with the button up and ends at the next release; any other
    // state has its button down already.
    if (state_ != Idle) return;

    clsView& view = ActiveView();
    clsTreeManager& tm = scene_.TreeManager;
    std::vector<clsVertexHit> hits;
    std::int32_t hit = view.HitTestView(x, y, &hits, false);
    // The perspective view looks from the eye point and shows no marker of it; its
    // projection of the eye lands on the centre of view, which is not a handle.
    if (view.ViewType == clsView::Perspective && (hit == 1 || hit == 2)) hit = 0;
    changedDuringDrag_ = false;
    switch (hit) {
    case 1:
    case 2:
        tm.PushUndoPerspective("Edit Eye Point");
        eyeDirectionEnd_ = view.GetEyePointVector(scene_);
        SetState(hit == 1 ? DraggingEyePoint : DraggingEyeDirection);
        // The markers become feedback: the orthographic views repaint without them and
        // draw them in XOR on top.
        for (int i = 0; i < PortCount; ++i)
            if (views_[static_cast<std::size_t>(i)].ViewType != clsView::Perspective)
                host_.InvalidatePort(i);
        break;
    case 3:
        tm.PushUndoTree("Edit Nodes");
        pressX_ = static_cast<float>(x);
        pressY_ = static_cast<float>(y);
        hits_ = std::move(hits);
        SetState(EditingVertices);
        DrawVertexPreviews();
        break;
    default:
        pressX_ = static_cast<float>(x);
        pressY_ = static_cast<float>(y);
        preview_.reset();
        SetState(Pressed);
        break;
    }
    Capture();
}

void ToolInteraction::MouseMove(int port, double x, double y, int shift) {
    if (port < 0 || port >= PortCount) return;
    if (PanEvent(port, 0, x, y, false, false)) return;
    const std::int32_t tool = App().CurrentTool;
    if (port != active_ || (ActiveView().ViewType == clsView::Perspective && tool != ToolZoom)) {
        host_.SetPortCursor(port, -1);
        return;
    }
    UpdateHoverCursor(x, y);
    const bool withShift = (shift & keys::ShiftBit) != 0, withCtrl = (shift & keys::CtrlBit) != 0;
    StatusOnReturn status{*this, x, y, shift};
    switch (state_) {
    case Idle:
        break;
    case Pressed:
        BeginDrag(x, y, withShift, withCtrl);
        break;
    case DraggingEyePoint:
    case DraggingEyeDirection:
        MoveEye(x, y, withShift);
        break;
    case EditingVertices:
        MoveVertices(x, y, withShift);
        break;
    case ZoomRectangle:
    case SelectingArea:
        MoveMarquee(x, y);
        break;
    default:
        UpdatePreview(x, y, withShift, withCtrl);
        break;
    }
}

void ToolInteraction::UpdateHoverCursor(double x, double y) {
    const std::int32_t tool = App().CurrentTool;
    if (state_ == Idle && (tool == ToolPick || tool == ToolNodeEdit)) {
        const bool overHandle = ActiveView().HitTestView(x, y, nullptr, true) != 0;
        host_.SetPortCursor(active_, overHandle         ? CursorHandle
                                     : tool == ToolPick ? CursorPick
                                                        : CursorNodeEdit);
        return;
    }
    ShowToolCursor(tool);
}

void ToolInteraction::ShowToolCursor(std::int32_t tool) {
    const int image = ToolImage(tool);
    if (image >= 0) host_.SetPortCursor(active_, image);
}

void ToolInteraction::BeginDrag(double x, double y, bool shift, bool ctrl) {
    if (!(std::fabs(x - pressX_) > DragThreshold || std::fabs(y - pressY_) > DragThreshold)) return;
    switch (App().CurrentTool) {
    case ToolPick: {
        clsTreeManager& tm = scene_.TreeManager;
        // From empty space the drag draws a marquee; from an object it moves the selection.
        if (!tm.HitTest(pressX_, pressY_, ActiveView(), false, ClickSize)) {
            SetState(SelectingArea);
            cornerX_ = static_cast<float>(x);
            cornerY_ = static_cast<float>(y);
            DrawMarquee();
            break;
        }
        clsNode* selection = tm.GetSelection();
        if (!selection) {
            SetState(Idle);
            ReleaseCapture();
            return;
        }
        SetState(MovingSelection);
        moveVector_ = clsPoint3D();
        preview_ = selection->Duplicate();
        DrawPreview();
        break;
    }
    case ToolZoom:
        SetState(ZoomRectangle);
        cornerX_ = static_cast<float>(x);
        cornerY_ = static_cast<float>(y);
        DrawMarquee();
        break;
    case ToolLine:
        SetState(CreatingLine);
        break;
    case ToolRectangle:
        SetState(CreatingRectangle);
        break;
    case ToolEllipse:
        SetState(CreatingEllipse);
        break;
    case ToolBezier: {
        const clsPoint3D start = ActiveView().ScreenToDoc(pressX_, pressY_, shift);
        curve_.fill(start);
        SetState(DraggingBezierStart);
        break;
    }
    case ToolBox:
        boxHeight_ = 0;
        boxShift_ = shift;
        boxCtrl_ = ctrl;
        SetState(DraggingBoxBase);
        break;
    default:
        break; // the node-edit tool only drags vertices it grabbed at the press
    }
}

void ToolInteraction::UpdatePreview(double x, double y, bool shift, bool ctrl) {
    clsView& view = ActiveView();
    // Erase the old feedback before it is replaced.
    DrawPreview();
    preview_.reset();
    clsNode* reference = nullptr;

    switch (state_) {
    case CreatingLine:
        preview_ = MakeLine(x, y, shift, ctrl);
        break;
    case CreatingRectangle:
        preview_ = MakeRectangle(x, y, shift, ctrl);
        break;
    case DraggingBoxBase:
        preview_ = MakeBox(x, y, shift, ctrl, 0);
        break;
    case CreatingEllipse:
        preview_ = MakeEllipse(x, y, shift, ctrl);
        break;
    case ChoosingBoxHeight: {
        double sx = 0, sy = 0;
        view.GetScaleXY(sx, sy);
        double height = sy != 0 ? (y - secondY_) / sy : 0;
        if (ctrl) height = FitBoxHeight(height);
        const double grid = scene_.MinorGrid;
        if (shift && grid > 0) height = std::floor(height / grid + 0.5) * grid;
        boxHeight_ = std::isfinite(height) ? height : 0;
        preview_ = MakeBox(secondX_, secondY_, boxShift_, boxCtrl_, boxHeight_);
        break;
    }
    case DraggingBezierStart:
    case MovingBezierEnd:
    case DraggingBezierControl: {
        const clsPoint3D p = view.ScreenToDoc(x, y, shift);
        if (state_ == DraggingBezierStart) curve_[1] = p;
        if (state_ != DraggingBezierControl) curve_[3] = p;
        curve_[2] = p;
        preview_ =
            scene_.TreeManager.CreateBezierNode(curve_[0], curve_[1], curve_[2], curve_[3], "");
        break;
    }
    case MovingSelection: {
        reference = scene_.TreeManager.GetSelection();
        if (!reference) break; // the selection went away during the drag: nothing to show
        moveVector_ = view.ScreenToDoc(x, y, shift);
        moveVector_.Subtract(view.ScreenToDoc(pressX_, pressY_, shift));
        preview_ = reference->Duplicate();
        preview_->TranslateByPoint(moveVector_);
        break;
    }
    default:
        break;
    }
    if (App().MainWindow) App().MainWindow->UpdateStatusBarForNode(preview_.get(), reference);
    DrawPreview();
}

void ToolInteraction::MoveEye(double x, double y, bool shift) {
    clsView& view = ActiveView();
    clsPerspective& camera = scene_.GetPerspective();
    DrawEyeMarkers();
    if (state_ == DraggingEyePoint) {
        view.UpdatePointFromScreen(camera.EyePoint, x, y, shift);
    } else {
        clsPoint3D target = eyeDirectionEnd_;
        view.UpdatePointFromScreen(target, x, y, shift);
        target.Subtract(camera.EyePoint);
        // The direction end dropped on the eye itself leaves no direction: keep the old one.
        if (target.GetLength() > 0) camera.Normal = target;
    }
    changedDuringDrag_ = true;
    DrawEyeMarkers();
    RefreshPerspectiveViews();
}

void ToolInteraction::RefreshPerspectiveViews() {
    // A port's picture is made when Qt next paints it, so a burst of moves between two
    // frames costs one picture.
    for (int i = 0; i < PortCount; ++i)
        if (views_[static_cast<std::size_t>(i)].ViewType == clsView::Perspective) host_.InvalidatePort(i);
}

void ToolInteraction::MoveVertices(double x, double y, bool shift) {
    if (!VertexHitsAlive()) {
        AbandonVertexDrag();
        return;
    }
    DrawVertexPreviews();
    for (const clsVertexHit& hit : hits_)
        hit.UpdatePoint(ActiveView(), x, y, shift);
    changedDuringDrag_ = true;
    DrawVertexPreviews();
}

void ToolInteraction::MoveMarquee(double x, double y) {
    DrawMarquee();
    cornerX_ = static_cast<float>(x);
    cornerY_ = static_cast<float>(y);
    DrawMarquee();
}

void ToolInteraction::MouseUp(int port, int button, double x, double y, int shift) {
    if (PanEvent(port, button, x, y, false, true)) return;
    if (button != buttons::Left || port != active_) return;
    StatusOnReturn status{*this, x, y, shift};
    const bool withShift = (shift & keys::ShiftBit) != 0, withCtrl = (shift & keys::CtrlBit) != 0;
    switch (state_) {
    case Idle:
        break;
    case Pressed:
        Click(withShift, withCtrl);
        break;
    case DraggingBoxBase:
        secondX_ = static_cast<float>(x);
        secondY_ = static_cast<float>(y);
        SetState(ChoosingBoxHeight);
        break;
    case DraggingBezierStart:
        SetState(MovingBezierEnd);
        break;
    case MovingSelection:
        FinishMove();
        break;
    case DraggingEyePoint:
    case DraggingEyeDirection:
        FinishEye();
        break;
    case EditingVertices:
        FinishVertices();
        break;
    case ZoomRectangle:
        FinishZoom(x, y);
        break;
    case SelectingArea:
        FinishSelectArea(x, y, withShift);
        break;
    default:
        FinishCreate();
        break;
    }
    if (state_ == Idle) ReleaseCapture();
}

void ToolInteraction::Click(bool shift, bool ctrl) {
    SetState(Idle);
    clsView& view = ActiveView();
    if (view.HitTestViewName(pressX_, pressY_)) {
        host_.ShowViewTypeList();
        return;
    }
    clsTreeManager& tm = scene_.TreeManager;
    if (clsNode* hit = tm.HitTest(pressX_, pressY_, view, ctrl, ClickSize)) {
        tm.ClickNode(hit, shift);
        scene_.UpdateViews();
    } else if (!shift) {
        if (tm.ClearSelection()) scene_.UpdateViews();
    }
}

void ToolInteraction::FinishMove() {
    SetState(Idle);
    clsTreeManager& tm = scene_.TreeManager;
    tm.PushUndoTree("Move");
    if (clsNode* selection = tm.GetSelection()) selection->TranslateByPoint(moveVector_);
    preview_.reset();
    scene_.UpdateViews();
    StatusBar();
    scene_.OnDirty();
}

void ToolInteraction::FinishEye() {
    SetState(Idle);
    scene_.UpdateViews();
    StatusBar();
    scene_.OnDirty();
}

void ToolInteraction::FinishVertices() {
    if (!VertexHitsAlive()) {
        AbandonVertexDrag();
        return;
    }
    scene_.OnDirty();
    // Erased before the objects settle, so that the second drawing matches the first.
    DrawVertexPreviews();
    const std::vector<clsVertexHit> hits = std::move(hits_);
    hits_.clear();
    SetState(Idle);
    for (const clsVertexHit& hit : hits)
        hit.FinishUpdatePoint();
    scene_.UpdateViews();
    StatusBar();
}

void ToolInteraction::FinishZoom(double x, double y) {
    DrawMarquee();
    SetState(Idle);
    SetTool(App().PreviousTool);
    ActiveView().ZoomIn(pressX_, pressY_, x, y);
    scene_.UpdateViews();
}

void ToolInteraction::FinishSelectArea(double x, double y, bool shift) {
    DrawMarquee();
    SetState(Idle);
    clsRect area;
    area.SetValues(pressX_, pressY_, x, y);
    const std::vector<clsNode*> inside = ActiveView().NodesInside(scene_.GetRootNode(), area);
    clsTreeManager& tm = scene_.TreeManager;
    // As with clicks, Shift adds to the selection and a plain marquee replaces it.
    if (!shift) tm.ClearSelection();
    for (const clsNode* node : inside)
        tm.SelectNodeByKey(node->Key, true);
    scene_.UpdateViews();
    StatusBar();
}

void ToolInteraction::FinishCreate() {
    clsTreeManager& tm = scene_.TreeManager;
    tm.ClearSelection();
    if (preview_) {
        DrawPreview();
        tm.PushUndoTree("Create");
        std::unique_ptr<clsNode> node = std::move(preview_);
        const std::string key = node->Key;
        tm.AddNode(std::move(node));
        SetState(Idle);
        tm.SelectNodeByKey(key, false);
        scene_.UpdateViews();
    }
    preview_.reset();
    SetState(Idle);
}

// ------------------------------------------------------------------ keys

void ToolInteraction::CancelDrag() {
    if (state_ == Idle) return;
    const std::int32_t state = state_;
    switch (state) {
    case ZoomRectangle:
    case SelectingArea:
        DrawMarquee();
        break;
    case EditingVertices:
        if (VertexHitsAlive()) DrawVertexPreviews();
        break;
    case DraggingEyePoint:
    case DraggingEyeDirection:
        DrawEyeMarkers();
        break;
    default:
        DrawPreview();
        break;
    }
    preview_.reset();
    hits_.clear();
    SetState(Idle);
    ReleaseCapture();
    if (IsEyeDrag(state) || state == EditingVertices) {
        // What the drag changed stays (its undo step was recorded at the press); the
        // document is changed, and the orthographic views show their markers as usual again.
        if (changedDuringDrag_) scene_.OnDirty();
        scene_.UpdateViews();
    }
    StatusBar();
}

void ToolInteraction::KeyDown(int keyCode, int shift) {
    switch (keyCode) {
    case keys::Escape:
        if (state_ != Idle)
            CancelDrag();
        else
            host_.RestoreLayout();
        if (App().CurrentTool == ToolZoom) SetTool(App().PreviousTool);
        break;
    case keys::Delete:
        // The drag may hold vertices of the objects about to go.
        CancelDrag();
        scene_.TreeManager.DeleteSelected(false);
        break;
    case keys::Space:
        scene_.OnToggleTool();
        break;
    case keys::Left:
    case keys::Up:
    case keys::Right:
    case keys::Down: {
        bool handled = false;
        ActiveView().OnArrowKey(static_cast<std::int16_t>(keyCode),
                                static_cast<std::int16_t>(shift), handled);
        if (handled) {
            scene_.UpdateViews();
            StatusBar();
            scene_.OnDirty();
        }
        break;
    }
    default:
        break;
    }
}

} // namespace ov
