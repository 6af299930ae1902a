// The Bezier tool: a drag to the first handle, then a click-and-drag at the end point to the
// second handle (BezierDrag).
#include "scene/AppState.h"
#include "tools/BezierDrag.h"
#include "tools/CursorImage.h"
#include "tools/MouseTool.h"

namespace ov {

namespace {

class BezierTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolBezier; }
    int Cursor() const override { return CursorBezier; }
    std::string Hint(bool) const override {
        return "Curve: drag from the start point to the first handle; then click the end point";
    }
    Start BeginDrag(ToolContext& context, double pressX, double pressY, double, double, int shift) override {
        return {std::make_unique<BezierDrag>(context, pressX, pressY, shift)};
    }
};

} // namespace

std::unique_ptr<MouseTool> MakeBezierTool() { return std::make_unique<BezierTool>(); }

} // namespace ov
