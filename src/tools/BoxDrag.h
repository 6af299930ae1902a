#pragma once
// Making a box: its base is dragged like a rectangle; after the release the pointer, with
// the button up, sets the height, and the next release adds the box.

#include "tools/PreviewDrag.h"
#include "tools/ShapeGeometry.h"

namespace ov {

class BoxDrag : public PreviewDrag {
public:
    // Shift and Ctrl as they were when the drag began hold for the whole base.
    BoxDrag(ToolContext& context, double pressX, double pressY, int shift);

    std::int32_t State() const override { return choosingHeight_ ? ChoosingBoxHeight : DraggingBoxBase; }
    std::string Hint() const override;
    void Move(double x, double y, int shift) override;
    bool Release(double x, double y, int shift) override;
    std::string PointerText(double x, double y, bool snap) const override;
    double BoxHeight() const override { return height_; }

private:
    PlaneRectangle Base(double x, double y) const;

    double pressX_, pressY_;
    double secondX_ = 0, secondY_ = 0;
    bool snap_, constrain_;
    bool choosingHeight_ = false;
    double height_ = 0;
};

} // namespace ov
