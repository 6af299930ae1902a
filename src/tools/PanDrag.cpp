#include "tools/PanDrag.h"

#include "paint/clsView.h"
#include "tools/InputCodes.h"
#include "tools/ToolContext.h"
#include "tools/ToolHost.h"

namespace ov {

bool PanDrag::Event(int port, int button, double x, double y, bool press, bool release) {
    if (press && button == buttons::Middle && port_ < 0) {
        port_ = port;
        x_ = x;
        y_ = y;
        return true;
    }
    if (port_ < 0 || port != port_) return button == buttons::Middle;
    if (!press && !release) {
        context_.View(port).Pan(x - x_, y - y_);
        x_ = x;
        y_ = y;
        context_.Host().InvalidatePort(port);
        return true;
    }
    if (release && button == buttons::Middle) port_ = -1;
    return button == buttons::Middle;
}

} // namespace ov
