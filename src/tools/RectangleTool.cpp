// The rectangle tool: a drag from one point to the other makes a rectangle in the view's plane.
#include "scene/AppState.h"
#include "tools/CursorImage.h"
#include "tools/ShapeDrag.h"
#include "tools/MouseTool.h"

namespace ov {

namespace {

class RectangleTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolRectangle; }
    int Cursor() const override { return CursorRectangle; }
    std::string Hint(bool) const override { return "Rectangle: drag from corner to corner"; }
    Start BeginDrag(ToolContext& context, double pressX, double pressY, double, double, int) override {
        return {std::make_unique<ShapeDrag>(context, ShapeDrag::Kind::Rectangle, pressX, pressY)};
    }
};

} // namespace

std::unique_ptr<MouseTool> MakeRectangleTool() { return std::make_unique<RectangleTool>(); }

} // namespace ov
