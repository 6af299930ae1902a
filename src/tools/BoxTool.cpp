// The box tool: the base is dragged, then the height chosen with the button up (BoxDrag).
#include "scene/AppState.h"
#include "tools/BoxDrag.h"
#include "tools/CursorImage.h"
#include "tools/MouseTool.h"

namespace ov {

namespace {

class BoxTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolBox; }
    int Cursor() const override { return CursorBox; }
    std::string Hint(bool) const override { return "Box: drag the base, release, move for the height and click"; }
    Start BeginDrag(ToolContext& context, double pressX, double pressY, double, double, int shift) override {
        return {std::make_unique<BoxDrag>(context, pressX, pressY, shift)};
    }
};

} // namespace

std::unique_ptr<MouseTool> MakeBoxTool() { return std::make_unique<BoxTool>(); }

} // namespace ov
