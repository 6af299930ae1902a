// The measure tool: a drag from one point to another measures between them (MeasureDrag);
// the last measurement stays in the status line until the next.
#include "scene/AppState.h"
#include "tools/CursorImage.h"
#include "tools/MeasureDrag.h"
#include "tools/MouseTool.h"

namespace ov {

namespace {

class MeasureTool : public MouseTool {
public:
    std::int32_t Id() const override { return ToolMeasure; }
    int Cursor() const override { return CursorLine; }
    std::string Hint(bool) const override {
        return last_->empty() ? "Measure: drag from one point to the other" : "Measured: " + *last_;
    }
    Start BeginDrag(ToolContext& context, double pressX, double pressY, double, double, int) override {
        return {std::make_unique<MeasureDrag>(context, pressX, pressY, last_)};
    }

private:
    std::shared_ptr<std::string> last_ = std::make_shared<std::string>();
};

} // namespace

std::unique_ptr<MouseTool> MakeMeasureTool() { return std::make_unique<MeasureTool>(); }

} // namespace ov
