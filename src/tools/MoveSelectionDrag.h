#pragma once
// Moving the selection: a copy follows the pointer, and the release moves the selection
// by as much, as one undo step "Move".

#include "geometry/clsPoint3D.h"
#include "tools/PreviewDrag.h"

namespace ov {

class MoveSelectionDrag : public PreviewDrag {
public:
    MoveSelectionDrag(ToolContext& context, const clsNode& selection, double pressX, double pressY);

    std::int32_t State() const override { return MovingSelection; }
    std::string Hint() const override { return "Move: release to drop the selection (Shift snaps)"; }
    void Move(double x, double y, int shift) override;
    bool Release(double x, double y, int shift) override;

private:
    double pressX_, pressY_;
    clsPoint3D moveVector_; // the document vector the copy was moved by
};

} // namespace ov
