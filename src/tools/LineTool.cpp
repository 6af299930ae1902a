// The line tool: a drag from one point to the other makes a line in the view's plane.
#include "scene/AppState.h"
#include "tools/CursorImage.h"
#include "tools/ShapeDrag.h"
#include "tools/MouseTool.h"

namespace ov {

namespace {

class LineTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolLine; }
    int Cursor() const override { return CursorLine; }
    std::string Hint(bool) const override { return "Line: drag from the start point to the end point"; }
    Start BeginDrag(ToolContext& context, double pressX, double pressY, double, double, int) override {
        return {std::make_unique<ShapeDrag>(context, ShapeDrag::Kind::Line, pressX, pressY)};
    }
};

} // namespace

std::unique_ptr<MouseTool> MakeLineTool() { return std::make_unique<LineTool>(); }

} // namespace ov
