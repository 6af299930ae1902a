// The zoom tool: a rectangle dragged in any view, the perspective one too, is shown whole;
// then the tool used before comes back.
#include "scene/AppState.h"
#include "tools/CursorImage.h"
#include "tools/MarqueeDrag.h"
#include "tools/MouseTool.h"

namespace ov {

namespace {

class ZoomTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolZoom; }
    int Cursor() const override { return CursorZoom; }
    bool WorksInPerspective() const override { return true; }
    std::string Hint(bool) const override { return "Zoom: drag the rectangle to show"; }
    Start BeginDrag(ToolContext& context, double pressX, double pressY, double x, double y, int) override {
        return {std::make_unique<MarqueeDrag>(context, MarqueeDrag::Purpose::Zoom, pressX, pressY, x, y)};
    }
};

} // namespace

std::unique_ptr<MouseTool> MakeZoomTool() { return std::make_unique<ZoomTool>(); }

} // namespace ov
