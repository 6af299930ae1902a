// The node-edit tool: the vertices of selected objects are its handles, grabbed at the press
// (ToolInteraction); a drag from anywhere else does nothing, and its release is a click.
#include "scene/AppState.h"
#include "tools/CursorImage.h"
#include "tools/Drag.h"
#include "tools/MouseTool.h"

namespace ov {

namespace {

class NodeEditTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolNodeEdit; }
    int Cursor() const override { return CursorNodeEdit; }
    bool ShowsHandles() const override { return true; }
    std::string Hint(bool) const override { return "Node edit: drag a point of a selected object"; }
    Start BeginDrag(ToolContext&, double, double, double, double, int) override {
        Start start;
        start.stillPressed = true;
        return start;
    }
};

} // namespace

std::unique_ptr<MouseTool> MakeNodeEditTool() { return std::make_unique<NodeEditTool>(); }

} // namespace ov
