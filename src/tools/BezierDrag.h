#pragma once
// Making a Bezier curve in three steps: a drag from the start point to the first control
// point; the end point followed with the button up; a press there and a drag to the second
// control point, whose release adds the curve.

#include <array>

#include "geometry/clsPoint3D.h"
#include "tools/PreviewDrag.h"

namespace ov {

class BezierDrag : public PreviewDrag {
public:
    BezierDrag(ToolContext& context, double pressX, double pressY, int shift);

    std::int32_t State() const override { return state_; }
    std::string Hint() const override;
    void Move(double x, double y, int shift) override;
    void Press(double x, double y, int shift) override;
    bool Release(double x, double y, int shift) override;

private:
    std::int32_t state_ = DraggingBezierStart;
    std::array<clsPoint3D, 4> curve_;
};

} // namespace ov
