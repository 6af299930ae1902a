#include "tools/ToolInteraction.h"

#include <cmath>

#include "paint/clsView.h"
#include "scene/AppState.h"
#include "scene/ITreeView.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "tools/CursorImage.h"
#include "tools/Drag.h"
#include "tools/EyeDrag.h"
#include "tools/InputCodes.h"
#include "tools/StatusText.h"
#include "tools/MouseTool.h"
#include "tools/VertexDrag.h"

namespace ov {

// Reports the pointer when a mouse handler returns, whatever way it leaves.
struct ToolInteraction::StatusOnReturn {
    const ToolInteraction& tools;
    double x, y;
    int shift;
    ~StatusOnReturn() { tools.ReportPointer(x, y, shift); }
};

ToolInteraction::ToolInteraction(clsScene& scene, std::array<clsView, PortCount>& views, IToolHost& host)
    : context_(scene, views, host), pan_(context_) {
    for (int i = 0; i < PortCount; ++i) views[static_cast<std::size_t>(i)].Active = i == context_.Active();
}

ToolInteraction::~ToolInteraction() = default;

MouseTool& ToolInteraction::CurrentTool() {
    if (!tool_ || tool_->Id() != App().CurrentTool) tool_ = MakeTool(App().CurrentTool);
    return *tool_;
}

std::int32_t ToolInteraction::GetDragState() const {
    if (drag_) return drag_->State();
    return pressed_ ? Pressed : Idle;
}

const clsNode* ToolInteraction::PreviewNode() const { return drag_ ? drag_->Preview() : nullptr; }
double ToolInteraction::BoxHeight() const { return drag_ ? drag_->BoxHeight() : 0; }
bool ToolInteraction::PaintsEyeMarker() const { return !(drag_ && drag_->DrawsEyeMarkers()); }

std::string ToolInteraction::Hint(bool selection) {
    if (drag_) return drag_->Hint();
    std::string hint = CurrentTool().Hint(selection);
    // The arrow keys act on the camera when nothing is selected; say so before they do.
    if (!selection) hint += hint.empty() ? "Arrow keys move the eye point" : " \u2014 arrow keys move the eye point";
    return hint;
}

void ToolInteraction::DrawFeedback(int port) {
    if (port >= 0 && port < PortCount && drag_) drag_->DrawFeedback(port);
}

void ToolInteraction::EndDrag() {
    drag_.reset();
    pressed_ = false;
}

// ------------------------------------------------------------------ mouse

void ToolInteraction::Activate(int port) {
    // A drag belongs to the view it began in.
    CancelDrag();
    IToolHost& host = context_.Host();
    ActiveView().Active = false;
    host.InvalidatePort(context_.Active());
    context_.SetActive(port);
    ActiveView().Active = true;
    host.InvalidatePort(port);
    host.ActivePortChanged(port);
}

void ToolInteraction::MouseDown(int port, int button, double x, double y, int shift) {
    if (port < 0 || port >= PortCount) return;
    if (pan_.Event(port, button, x, y, true, false)) return;
    if (port != context_.Active()) {
        Activate(port);
        return;
    }
    if (button == buttons::Right) {
        context_.Host().ToggleMaximized();
        return;
    }
    if (button != buttons::Left) return;
    // The drags that go on with the button up take the press; the others have it down.
    if (drag_) {
        drag_->Press(x, y, shift);
        return;
    }
    if (pressed_) return;
    PressHandleOrSpace(x, y);
    context_.Capture();
}

void ToolInteraction::PressHandleOrSpace(double x, double y) {
    clsView& view = ActiveView();
    std::vector<clsVertexHit> hits;
    std::int32_t hit = view.HitTestView(x, y, &hits, false);
    // The perspective view looks from the eye point and shows no marker of it; its
    // projection of the eye lands on the centre of view, which is not a handle.
    if (view.ViewType == clsView::Perspective && (hit == 1 || hit == 2)) hit = 0;
    if (hit == 1 || hit == 2) {
        drag_ = std::make_unique<EyeDrag>(context_, hit == 2);
    } else if (hit == 3) {
        drag_ = std::make_unique<VertexDrag>(context_, std::move(hits));
    } else {
        pressX_ = x;
        pressY_ = y;
        pressed_ = true;
    }
}

void ToolInteraction::MouseMove(int port, double x, double y, int shift) {
    if (port < 0 || port >= PortCount) return;
    if (pan_.Event(port, 0, x, y, false, false)) return;
    if (port != context_.Active() || (ActiveView().ViewType == clsView::Perspective && !CurrentTool().WorksInPerspective())) {
        context_.Host().SetPortCursor(port, CursorArrow);
        return;
    }
    UpdateHoverCursor(x, y);
    StatusOnReturn status{*this, x, y, shift};
    if (drag_) {
        drag_->Move(x, y, shift);
        if (drag_->Over()) {
            EndDrag();
            context_.ReleaseCapture();
            context_.StatusChanged();
        }
    } else if (pressed_) {
        BeginDrag(x, y, shift);
    }
}

void ToolInteraction::BeginDrag(double x, double y, int shift) {
    if (!(std::fabs(x - pressX_) > DragThreshold || std::fabs(y - pressY_) > DragThreshold)) return;
    MouseTool::Start start = CurrentTool().BeginDrag(context_, pressX_, pressY_, x, y, shift);
    if (start.drag) {
        pressed_ = false;
        drag_ = std::move(start.drag);
    } else if (!start.stillPressed) {
        pressed_ = false;
        context_.ReleaseCapture();
    }
}

void ToolInteraction::UpdateHoverCursor(double x, double y) {
    MouseTool& tool = CurrentTool();
    if (!drag_ && !pressed_ && tool.ShowsHandles()) {
        const bool overHandle = ActiveView().HitTestView(x, y, nullptr, true) != 0;
        context_.Host().SetPortCursor(context_.Active(), overHandle ? CursorHandle : tool.Cursor());
        return;
    }
    context_.Host().SetPortCursor(context_.Active(), tool.Cursor());
}

void ToolInteraction::ShowToolCursor(std::int32_t tool) {
    if (!tool_ || tool_->Id() != tool) tool_ = MakeTool(tool);
    context_.Host().SetPortCursor(context_.Active(), tool_->Cursor());
}

void ToolInteraction::MouseUp(int port, int button, double x, double y, int shift) {
    if (pan_.Event(port, button, x, y, false, true)) return;
    if (button != buttons::Left || port != context_.Active()) return;
    StatusOnReturn status{*this, x, y, shift};
    if (drag_) {
        // Dropped first: what the end of the drag repaints shows no feedback of it.
        std::unique_ptr<Drag> drag = std::move(drag_);
        if (!drag->Release(x, y, shift)) drag_ = std::move(drag);
    } else if (pressed_) {
        pressed_ = false;
        Click((shift & keys::ShiftBit) != 0, (shift & keys::CtrlBit) != 0);
    }
    if (!drag_ && !pressed_) context_.ReleaseCapture();
}

void ToolInteraction::Click(bool shift, bool ctrl) {
    clsView& view = ActiveView();
    if (view.HitTestViewName(pressX_, pressY_)) {
        context_.Host().ShowViewTypeList();
        return;
    }
    clsScene& scene = context_.Scene();
    clsTreeManager& tm = scene.TreeManager;
    if (clsNode* hit = tm.HitTest(pressX_, pressY_, view, ctrl, ClickSize)) {
        tm.ClickNode(hit, shift);
        scene.UpdateViews();
    } else if (!shift) {
        if (tm.ClearSelection()) scene.UpdateViews();
    }
}

// ------------------------------------------------------------------ keys

void ToolInteraction::CancelDrag() {
    if (!drag_ && !pressed_) return;
    std::unique_ptr<Drag> drag = std::move(drag_);
    EndDrag();
    if (drag) drag->Cancel();
    context_.ReleaseCapture();
    context_.StatusChanged();
}

void ToolInteraction::KeyDown(int keyCode, int shift) {
    clsScene& scene = context_.Scene();
    switch (keyCode) {
    case keys::Escape:
        if (drag_ || pressed_)
            CancelDrag();
        else
            context_.Host().RestoreLayout();
        if (App().CurrentTool == ToolZoom) SetTool(App().PreviousTool);
        break;
    case keys::Delete:
        // The drag may hold vertices of the objects about to go.
        CancelDrag();
        scene.TreeManager.DeleteSelected(false);
        break;
    case keys::Space:
        scene.OnToggleTool();
        break;
    case keys::Left:
    case keys::Up:
    case keys::Right:
    case keys::Down: {
        bool handled = false;
        ActiveView().OnArrowKey(static_cast<std::int16_t>(keyCode), static_cast<std::int16_t>(shift), handled);
        if (handled) {
            scene.UpdateViews();
            context_.StatusChanged();
            scene.OnDirty();
        }
        break;
    }
    default:
        break;
    }
}

// ------------------------------------------------------------------ pointer and wheel

void ToolInteraction::ReportPointer(double x, double y, int shift) const {
    if (!App().MainWindow) return;
    const bool snap = (shift & keys::ShiftBit) != 0;
    std::string text = drag_ ? drag_->PointerText(x, y, snap) : "";
    if (text.empty()) text = PositionText(context_.ActiveView(), x, y, snap);
    App().MainWindow->ShowPointerStatus(text);
}

void ToolInteraction::Wheel(int port, double angleX, double angleY, double x, double y, int shift) {
    if (port < 0 || port >= PortCount) return;
    clsView& view = context_.View(port);
    // A touchpad sends the same turn in small steps: each moves its share of a notch.
    const double notchesY = angleY / 120, notchesX = angleX / 120;
    if (shift & keys::ShiftBit) {
        // Some systems turn Shift+wheel into a horizontal wheel themselves.
        view.Pan((notchesY != 0 ? notchesY : notchesX) * WheelPanPixels, 0);
    } else if (shift & keys::CtrlBit) {
        view.Pan(0, notchesY * WheelPanPixels);
    } else if (notchesY == 0) {
        // A sideways wheel (or Shift+wheel that the system made sideways, dropping the Shift)
        // pans sideways.
        if (notchesX == 0) return;
        view.Pan(notchesX * WheelPanPixels, 0);
    } else {
        view.ZoomAt(x, y, std::pow(WheelZoomFactor, notchesY));
    }
    context_.Host().InvalidatePort(port);
}

} // namespace ov
