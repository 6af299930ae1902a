// The ellipse tool: a drag from one point to the other makes an ellipse in the view's plane.
#include "scene/AppState.h"
#include "tools/CursorImage.h"
#include "tools/ShapeDrag.h"
#include "tools/MouseTool.h"

namespace ov {

namespace {

class EllipseTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolEllipse; }
    int Cursor() const override { return CursorEllipse; }
    std::string Hint(bool) const override { return "Ellipse: drag from corner to corner of its box"; }
    Start BeginDrag(ToolContext& context, double pressX, double pressY, double, double, int) override {
        return {std::make_unique<ShapeDrag>(context, ShapeDrag::Kind::Ellipse, pressX, pressY)};
    }
};

} // namespace

std::unique_ptr<MouseTool> MakeEllipseTool() { return std::make_unique<EllipseTool>(); }

} // namespace ov
