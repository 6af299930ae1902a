// The pick tool: a click selects (ToolInteraction); a drag from an object moves the
// selection, a drag from empty space draws a marquee.
#include "paint/clsView.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "tools/CursorImage.h"
#include "tools/MarqueeDrag.h"
#include "tools/MoveSelectionDrag.h"
#include "tools/MouseTool.h"
#include "tools/ToolContext.h"
#include "tools/ToolInteraction.h"

namespace ov {

namespace {

class PickTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolPick; }
    int Cursor() const override { return CursorPick; }
    bool ShowsHandles() const override { return true; }
    std::string Hint(bool selection) const override {
        return selection ? "Pick: drag the selection to move it, or drag a marquee; arrow keys nudge it"
                         : "Pick: click an object or drag a marquee";
    }
    Start BeginDrag(ToolContext& context, double pressX, double pressY, double x, double y, int) override {
        clsTreeManager& tm = context.Scene().TreeManager;
        if (!tm.HitTest(pressX, pressY, context.ActiveView(), false, ToolInteraction::ClickSize))
            return {std::make_unique<MarqueeDrag>(context, MarqueeDrag::Purpose::Select, pressX, pressY, x, y)};
        const clsNode* selection = tm.GetSelection();
        if (!selection) return {};
        return {std::make_unique<MoveSelectionDrag>(context, *selection, pressX, pressY)};
    }
};

} // namespace

std::unique_ptr<MouseTool> MakePickTool() { return std::make_unique<PickTool>(); }

} // namespace ov
