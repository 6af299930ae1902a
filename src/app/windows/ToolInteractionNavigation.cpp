// The pointer's place in the status bar, and zooming and panning the views: what moves the
// visible area and tells where the pointer is, without touching the document.
#include "app/windows/ToolInteraction.h"

#include "app/windows/ViewPort.h"
#include "scene/AppState.h"
#include "scene/ITreeView.h"
#include "paint/clsView.h"

#include <cmath>
#include <string>

namespace ov {

namespace {

// Axis letters of a view's (u, v) coordinates; none for the perspective view.
const char* AxisNames(std::int32_t viewType) {
    switch (viewType) {
    case clsView::Left:
    case clsView::Right:
        return "YZ";
    case clsView::Top:
    case clsView::Bottom:
        return "XY";
    case clsView::Front:
    case clsView::Back:
        return "XZ";
    default:
        return nullptr;
    }
}

// A number for the status bar: the scene's precision without trailing zeros.
std::string Short(double value) {
    std::string text = FormatNumber(value);
    const std::size_t point = text.find_first_of(".,");
    if (point == std::string::npos) return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.size() == point + 1) text.pop_back();
    return text == "-0" ? "0" : text;
}

// The rise of a box as the user sees it: its length and which way it points along the one
// axis it follows ("6, towards +Z"); the sign of the height alone depends on how the base
// was drawn.
std::string RiseText(const clsPoint3D& rise) {
    const double along[] = {rise.x, rise.y, rise.z};
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(along[i]) > std::fabs(along[axis])) axis = i;
    const std::string length = Short(std::fabs(along[axis]));
    if (along[axis] == 0 || !std::isfinite(along[axis])) return length;
    return length + ", towards " + (along[axis] > 0 ? "+" : "-") + "XYZ"[axis];
}

} // namespace

// ------------------------------------------------------------------ status bar

void ToolInteraction::ReportPointer(double x, double y, int shift) const {
    if (App().MainWindow) App().MainWindow->ShowPointerStatus(PointerText(x, y, (shift & keys::ShiftBit) != 0));
}

std::string ToolInteraction::PointerText(double x, double y, bool snap) const {
    const clsView& view = views_[static_cast<std::size_t>(active_)];
    const char* axes = AxisNames(view.ViewType);
    if (!axes) return "";
    const std::string gap = "   ";
    switch (state_) {
    case CreatingLine: {
        double x0, y0, x1, y1;
        PlaneCorners(x, y, snap, false, true, x0, y0, x1, y1);
        const double angle = std::atan2(y1 - y0, x1 - x0) * 180 / 3.14159265358979323846;
        return "Length " + Short(std::hypot(x1 - x0, y1 - y0)) + gap + "Angle " + Short(angle) + "\u00b0";
    }
    case CreatingRectangle:
    case CreatingEllipse:
    case DraggingBoxBase: {
        double x0, y0, x1, y1;
        PlaneCorners(x, y, snap, false, false, x0, y0, x1, y1);
        return std::string("Size ") + axes[0] + " " + Short(std::fabs(x1 - x0)) + gap + axes[1] + " " +
               Short(std::fabs(y1 - y0));
    }
    case ChoosingBoxHeight:
        return "Height " + RiseText(BoxRise());
    default: {
        double u = x, v = y;
        view.ScreenToDoc2D(u, v, snap);
        return std::string(1, axes[0]) + " " + Short(u) + gap + axes[1] + " " + Short(v);
    }
    }
}

// ------------------------------------------------------------------ zoom and pan

bool ToolInteraction::PanEvent(int port, int button, double x, double y, bool press, bool release) {
    if (press && button == buttons::Middle && panPort_ < 0) {
        panPort_ = port;
        panX_ = x;
        panY_ = y;
        return true;
    }
    if (panPort_ < 0 || port != panPort_) return button == buttons::Middle;
    if (!press && !release) {
        // Only the visible area moves: no undo step, the document stays as it was.
        views_[static_cast<std::size_t>(port)].Pan(x - panX_, y - panY_);
        panX_ = x;
        panY_ = y;
        host_.InvalidatePort(port);
        return true;
    }
    if (release && button == buttons::Middle) panPort_ = -1;
    return button == buttons::Middle;
}

void ToolInteraction::Wheel(int port, double angleX, double angleY, double x, double y, int shift) {
    if (port < 0 || port >= PortCount) return;
    clsView& view = views_[static_cast<std::size_t>(port)];
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
    host_.InvalidatePort(port);
}

} // namespace ov
