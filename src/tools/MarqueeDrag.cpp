#include "tools/MarqueeDrag.h"

#include "geometry/clsRect.h"
#include "paint/clsView.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "tools/InputCodes.h"
#include "tools/ToolContext.h"
#include "tools/ToolHost.h"

namespace ov {

MarqueeDrag::MarqueeDrag(ToolContext& context, Purpose purpose, double pressX, double pressY, double x, double y)
    : Drag(context), purpose_(purpose), pressX_(pressX), pressY_(pressY), cornerX_(x), cornerY_(y) {
    Draw();
}

std::string MarqueeDrag::Hint() const {
    return purpose_ == Purpose::Zoom ? "Zoom: release to show the rectangle"
                                     : "Marquee: objects wholly inside are selected (Shift adds)";
}

void MarqueeDrag::Draw() const {
    if (context_.Host().PreparePort(context_.Active()))
        context_.ActiveView().DrawMarquee(pressX_, pressY_, cornerX_, cornerY_);
}

void MarqueeDrag::DrawFeedback(int port) {
    if (port == context_.Active()) context_.View(port).DrawMarquee(pressX_, pressY_, cornerX_, cornerY_);
}

void MarqueeDrag::Move(double x, double y, int) {
    Draw();
    cornerX_ = x;
    cornerY_ = y;
    Draw();
}

bool MarqueeDrag::Release(double x, double y, int shift) {
    Draw();
    clsScene& scene = context_.Scene();
    if (purpose_ == Purpose::Zoom) {
        SetTool(App().PreviousTool);
        context_.ActiveView().ZoomIn(pressX_, pressY_, x, y);
        scene.UpdateViews();
    } else {
        Select(x, y, (shift & keys::ShiftBit) != 0);
    }
    return true;
}

void MarqueeDrag::Select(double x, double y, bool add) {
    clsScene& scene = context_.Scene();
    clsRect area;
    area.SetValues(pressX_, pressY_, x, y);
    const std::vector<clsNode*> inside = context_.ActiveView().NodesInside(scene.GetRootNode(), area);
    clsTreeManager& tm = scene.TreeManager;
    // As with clicks, Shift adds to the selection and a plain marquee replaces it.
    if (!add) tm.ClearSelection();
    for (const clsNode* node : inside) tm.SelectNodeByKey(node->Key, true);
    scene.UpdateViews();
    context_.StatusChanged();
}

} // namespace ov
