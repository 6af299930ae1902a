#pragma once
// The middle button drags the picture of a view: only the visible area moves, the document
// stays as it was and no undo step is made. It goes on beside whatever the left button does.

namespace ov {

class ToolContext;

class PanDrag {
public:
    explicit PanDrag(ToolContext& context) : context_(context) {}

    bool Active() const { return port_ >= 0; }
    // A mouse event of a port; true when it belongs to the pan (any middle-button event
    // does, and every move of the port being panned).
    bool Event(int port, int button, double x, double y, bool press, bool release);

private:
    ToolContext& context_;
    int port_ = -1;          // the port being panned, -1 when none
    double x_ = 0, y_ = 0;   // where the pointer was at the last step
};

} // namespace ov
