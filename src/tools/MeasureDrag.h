#pragma once
// Measuring between two points: a line follows the pointer from the press, and the status
// line and a label beside the pointer give the distance, its parts along the axes and the
// angle in the view's plane. Nothing in the document changes.

#include <memory>
#include <string>

#include "tools/PreviewDrag.h"

namespace ov {

class MeasureDrag : public PreviewDrag {
public:
    // The last measurement is left in result when the button goes up.
    MeasureDrag(ToolContext& context, double pressX, double pressY, std::shared_ptr<std::string> result);

    std::int32_t State() const override { return Measuring; }
    std::string Hint() const override { return "Measure: release at the second point"; }
    void Move(double x, double y, int shift) override;
    bool Release(double x, double y, int shift) override;
    void Cancel() override;
    std::string PointerText(double x, double y, bool snap) const override;

private:
    double pressX_, pressY_;
    std::shared_ptr<std::string> result_;
};

// "Distance 5   dX 3   dY 4   dZ 0   Angle 53.13°" from a to b, the angle measured in the
// plane of view from its first axis.
std::string MeasureText(const clsView& view, const clsPoint3D& a, const clsPoint3D& b);

} // namespace ov
