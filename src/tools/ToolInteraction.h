#pragma once
// The mouse work and view keys of a document window over its four views, driven with pixel
// positions, buttons and shift bits. What all tools share lives here: the active view, a
// click that selects, the eye-point and vertex handles grabbed at a press, the wheel, the
// middle button and the keys. What a tool does with a drag is the tool's (MouseTool.h), and each
// drag is an object of its own while it lasts (Drag.h). It holds no widget; the window
// supplies what needs one through IToolHost.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "tools/DragState.h"
#include "tools/PanDrag.h"
#include "tools/ToolContext.h"
#include "tools/ToolHost.h"

namespace ov {

class Drag;
class MouseTool;
class clsNode;
class clsScene;
class clsView;

class ToolInteraction : public DragStates {
public:
    static constexpr int PortCount = ToolContext::PortCount;
    // A press and release closer than this (in pixels, on both axes) is a click.
    static constexpr double DragThreshold = 3;
    // Side of the square around the pointer that a click selects objects in, in pixels.
    static constexpr double ClickSize = 4;
    // One notch of the wheel (120 eighths of a degree) scales the visible area by this.
    static constexpr double WheelZoomFactor = 1.25;
    // Pixels the picture moves for one notch of Shift+wheel or Ctrl+wheel.
    static constexpr double WheelPanPixels = 40;

    ToolInteraction(clsScene& scene, std::array<clsView, PortCount>& views, IToolHost& host);
    ~ToolInteraction();
    ToolInteraction(const ToolInteraction&) = delete;
    ToolInteraction& operator=(const ToolInteraction&) = delete;

    int ActiveIndex() const { return context_.Active(); }
    clsView& ActiveView() { return context_.ActiveView(); }
    std::int32_t GetDragState() const;
    const clsNode* PreviewNode() const;
    bool Captured() const { return context_.Captured(); }
    double BoxHeight() const;
    // Whether the orthographic views paint their eye-point marker as usual; while it is
    // dragged it is feedback instead.
    bool PaintsEyeMarker() const;
    // The status line's hint: the drag's, or the current tool's.
    std::string Hint(bool selection);

    // Puts the current feedback over a freshly made picture of a port.
    void DrawFeedback(int port);

    // Buttons and shift bits as in InputCodes.h.
    void MouseDown(int port, int button, double x, double y, int shift);
    void MouseMove(int port, double x, double y, int shift);
    void MouseUp(int port, int button, double x, double y, int shift);
    void KeyDown(int keyCode, int shift);
    // The wheel over a port, in eighths of a degree on each axis: zoom at the pointer, or
    // with Shift a horizontal and with Ctrl a vertical pan.
    void Wheel(int port, double angleX, double angleY, double x, double y, int shift);
    // Whether the middle button is panning a port.
    bool Panning() const { return pan_.Active(); }

    // Ends a drag in progress as Escape does: feedback erased, nothing made; steps already
    // recorded at the press stay. Nothing happens when no drag is in progress.
    void CancelDrag();
    // The pointer of the active port for a tool.
    void ShowToolCursor(std::int32_t tool);
    // Lets the mouse go (the window is closing).
    void ReleaseCapture() { context_.ReleaseCapture(); }

private:
    // The tool chosen now (the choice is the application's and may change at any time).
    MouseTool& CurrentTool();
    void Activate(int port);
    void PressHandleOrSpace(double x, double y);
    void BeginDrag(double x, double y, int shift);
    void Click(bool shift, bool ctrl);
    void UpdateHoverCursor(double x, double y);
    // The drag that ended is dropped before what follows its end repaints the views.
    void EndDrag();
    void ReportPointer(double x, double y, int shift) const;
    struct StatusOnReturn;

    ToolContext context_;
    std::unique_ptr<MouseTool> tool_;
    std::unique_ptr<Drag> drag_;
    bool pressed_ = false; // pressed on empty space, not dragging yet
    double pressX_ = 0, pressY_ = 0;
    PanDrag pan_;
};

} // namespace ov
