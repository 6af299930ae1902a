#pragma once
// Making a line, a rectangle or an ellipse: from the press to the release, the shape between
// the two points is shown; the release adds it.

#include "tools/PreviewDrag.h"
#include "tools/ShapeGeometry.h"

namespace ov {

class ShapeDrag : public PreviewDrag {
public:
    enum class Kind { Line, Rectangle, Ellipse };
    ShapeDrag(ToolContext& context, Kind kind, double pressX, double pressY)
        : PreviewDrag(context), kind_(kind), pressX_(pressX), pressY_(pressY) {}

    std::int32_t State() const override;
    std::string Hint() const override;
    void Move(double x, double y, int shift) override;
    bool Release(double x, double y, int shift) override;
    std::string PointerText(double x, double y, bool snap) const override;

private:
    PlaneRectangle Corners(double x, double y, bool snap, bool constrain) const;

    Kind kind_;
    double pressX_, pressY_;
};

} // namespace ov
