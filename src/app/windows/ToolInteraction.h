#pragma once
// The mouse tools and view keys of a document window: a state machine over the window's
// four views, driven with pixel positions, buttons and shift bits. It holds no widget; the
// window supplies what needs one (repaints, mouse capture, pointers, the layout and the
// view-type list) through IToolHost.
//
// Feedback during a drag (the object being made, the moved copy of the selection, grabbed
// vertices, the zoom rectangle, the eye-point marker) is drawn in XOR mode over the
// pictures of the view ports and erased by drawing it again. A port whose picture is made
// afresh asks DrawFeedback to put the current feedback back on top, so drawing and erasing
// stay in step however often the ports repaint.

#include "geometry/clsPoint3D.h"
#include "paint/clsVertexHit.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ov {

class clsNode;
class clsScene;
class clsView;

class IToolHost {
public:
    virtual ~IToolHost() = default;
    // Brings the picture of a port up to date so that feedback can be drawn over it. False
    // when the port is not on screen: its picture is made afresh, feedback included, when it
    // shows again, so nothing needs to be drawn on it now.
    virtual bool PreparePort(int port) = 0;
    // The picture of a port is out of date.
    virtual void InvalidatePort(int port) = 0;
    // Captures the mouse for the active port, or lets it go.
    virtual void SetCapture(bool on) = 0;
    // The pointer over a port: a ToolCursors image, or -1 for the standard arrow.
    virtual void SetPortCursor(int port, int image) = 0;
    // Right click: the active port alone, or back to the layout.
    virtual void ToggleMaximized() = 0;
    // Back from the active port alone to the layout; false when it was not alone.
    virtual bool RestoreLayout() = 0;
    // The list of view types over the active view's name.
    virtual void ShowViewTypeList() = 0;
    // Another port became the active one.
    virtual void ActivePortChanged(int port) = 0;
};

class ToolInteraction {
public:
    enum DragState : std::int32_t {
        Idle = 0,
        Pressed = 1, // pressed on empty space, not dragging yet
        CreatingLine = 2,
        CreatingRectangle = 3,
        DraggingBoxBase = 4,
        ChoosingBoxHeight = 5,   // button up
        DraggingBezierStart = 6, // start point and first control point
        MovingBezierEnd = 7,     // button up
        DraggingBezierControl = 8,
        CreatingEllipse = 9,
        MovingSelection = 10,
        DraggingEyePoint = 11,
        DraggingEyeDirection = 12,
        EditingVertices = 13,
        ZoomRectangle = 14,
        SelectingArea = 15, // the pick tool's marquee, dragged from empty space
    };
    static constexpr int PortCount = 4;
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

    int ActiveIndex() const { return active_; }
    clsView& ActiveView();
    std::int32_t GetDragState() const { return state_; }
    const clsNode* PreviewNode() const { return preview_.get(); }
    bool Captured() const { return captured_; }
    double BoxHeight() const { return boxHeight_; }
    // Whether the orthographic views paint their eye-point marker as usual; while it is
    // dragged it is feedback instead.
    bool PaintsEyeMarker() const;

    // Puts the current feedback over a freshly made picture of a port.
    void DrawFeedback(int port);

    // Buttons and shift bits as in ViewPort.h.
    void MouseDown(int port, int button, double x, double y, int shift);
    void MouseMove(int port, double x, double y, int shift);
    void MouseUp(int port, int button, double x, double y, int shift);
    void KeyDown(int keyCode, int shift);
    // The wheel over a port, in eighths of a degree on each axis: zoom at the pointer, or
    // with Shift a horizontal and with Ctrl a vertical pan.
    void Wheel(int port, double angleX, double angleY, double x, double y, int shift);
    // Whether the middle button is panning a port.
    bool Panning() const { return panPort_ >= 0; }

    // Ends a drag in progress as Escape does: feedback erased, nothing made; steps already
    // recorded at the press stay. Nothing happens when no drag is in progress.
    void CancelDrag();
    // The pointer of the active port for a tool (the node-edit tool keeps the one shown).
    void ShowToolCursor(std::int32_t tool);
    // Lets the mouse go (the window is closing).
    void ReleaseCapture();

private:
    void Activate(int port);
    void BeginDrag(double x, double y, bool shift, bool ctrl);
    void UpdatePreview(double x, double y, bool shift, bool ctrl);
    void MoveEye(double x, double y, bool shift);
    void MoveVertices(double x, double y, bool shift);
    void MoveMarquee(double x, double y);
    // Middle-button panning; true when the event belonged to it.
    bool PanEvent(int port, int button, double x, double y, bool press, bool release);
    void FinishSelectArea(double x, double y, bool shift);
    // The perspective views show the camera as it is now (at the next frame).
    void RefreshPerspectiveViews();
    void Click(bool shift, bool ctrl);
    void FinishMove();
    void FinishEye();
    void FinishVertices();
    void FinishZoom(double x, double y);
    void FinishCreate();
    void UpdateHoverCursor(double x, double y);

    // Shapes from the press point to a pixel position (the box to the second point).
    std::unique_ptr<clsNode> MakeLine(double x, double y, bool snap, bool constrain) const;
    std::unique_ptr<clsNode> MakeRectangle(double x, double y, bool snap, bool constrain) const;
    std::unique_ptr<clsNode> MakeBox(double x, double y, bool snap, bool constrain,
                                     double height) const;
    std::unique_ptr<clsNode> MakeEllipse(double x, double y, bool snap, bool constrain) const;
    // View-plane coordinates of the press point and of (x, y), constrained with Ctrl.
    void PlaneCorners(double x, double y, bool snap, bool constrain, bool line, double& x0,
                      double& y0, double& x1, double& y1) const;
    double FitBoxHeight(double height) const;
    // The document vector from the base of the box being made to its top.
    clsPoint3D BoxRise() const;

    // XOR drawing on every port that is on screen; each draws or erases (the same call).
    void DrawPreview();
    void DrawVertexPreviews();
    void DrawEyeMarkers();
    void DrawMarquee();
    // The grabbed vertices still belong to objects of the tree (a command may have replaced
    // or deleted them during the drag).
    bool VertexHitsAlive() const;
    void AbandonVertexDrag();

    // The status bar's pointer field: the position named by the view's axes, or during a
    // drag the length and angle of the line or the size of the shape being made.
    std::string PointerText(double x, double y, bool snap) const;
    void ReportPointer(double x, double y, int shift) const;
    struct StatusOnReturn;

    void SetState(std::int32_t state);
    void Capture();
    void StatusBar() const;

    clsScene& scene_;
    std::array<clsView, PortCount>& views_;
    IToolHost& host_;

    int active_ = 0;
    std::int32_t state_ = Idle;
    float pressX_ = 0, pressY_ = 0;
    float secondX_ = 0, secondY_ = 0;
    float cornerX_ = 0, cornerY_ = 0;
    double boxHeight_ = 0;
    bool boxShift_ = false, boxCtrl_ = false;
    std::unique_ptr<clsNode> preview_;
    clsPoint3D moveVector_; // the document vector the moved copy was translated by
    // Where the eye-direction marker ended at the press: a drag keeps its depth, so that
    // the direction depends on where the pointer is and not on how many moves led there.
    clsPoint3D eyeDirectionEnd_;
    std::vector<clsVertexHit> hits_;
    std::array<clsPoint3D, 4> curve_;
    bool captured_ = false;
    bool changedDuringDrag_ = false; // an eye or vertex drag has changed the model
    int panPort_ = -1;               // the port the middle button pans, -1 when none
    double panX_ = 0, panY_ = 0;     // where the pointer was at the last pan step
};

} // namespace ov
