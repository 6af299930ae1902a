#pragma once
// What the tools need from the window that shows the four views: repaints, the mouse
// capture, pointers, the layout and the view-type list. The tools hold no widget.

#include <string>

namespace ov {

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
    // The pointer over a port: a CursorImage.
    virtual void SetPortCursor(int port, int image) = 0;
    // Right click: the active port alone, or back to the layout.
    virtual void ToggleMaximized() = 0;
    // Back from the active port alone to the layout; false when it was not alone.
    virtual bool RestoreLayout() = 0;
    // The list of view types over the active view's name.
    virtual void ShowViewTypeList() = 0;
    // Another port became the active one.
    virtual void ActivePortChanged(int port) = 0;
    // A short text beside the pointer at (x, y) of a port; "" takes it away.
    virtual void ShowPointerLabel(int /*port*/, double /*x*/, double /*y*/, const std::string& /*text*/) {}
};

} // namespace ov
