#include "tools/ToolContext.h"

#include "paint/clsView.h"
#include "scene/AppState.h"
#include "scene/ITreeView.h"
#include "tools/ToolHost.h"

namespace ov {

void ToolContext::Capture() {
    if (captured_) return;
    captured_ = true;
    host_.SetCapture(true);
}

void ToolContext::ReleaseCapture() {
    if (!captured_) return;
    captured_ = false;
    host_.SetCapture(false);
}

bool ToolContext::PreparePort(int port) const { return host_.PreparePort(port); }

void ToolContext::InvalidateAll() const {
    for (int i = 0; i < PortCount; ++i) host_.InvalidatePort(i);
}

void ToolContext::RefreshPerspectiveViews() const {
    // A port's picture is made when the window next paints it, so a burst of moves between
    // two frames costs one picture.
    for (int i = 0; i < PortCount; ++i)
        if (View(i).ViewType == clsView::Perspective) host_.InvalidatePort(i);
}

void ToolContext::StatusChanged() const {
    if (App().MainWindow) App().MainWindow->UpdateStatusBar();
}

void ToolContext::DescribeShape(clsNode* shape, clsNode* reference) const {
    if (App().MainWindow) App().MainWindow->UpdateStatusBarForNode(shape, reference);
}

} // namespace ov
