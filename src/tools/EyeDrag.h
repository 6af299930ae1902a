#pragma once
// Dragging the eye point, or the end of the viewing direction, in an orthographic view. The
// markers become feedback while it goes on: the orthographic views are painted without
// them and draw them in XOR on top. Its undo step is recorded at the press.

#include "geometry/clsPoint3D.h"
#include "tools/Drag.h"

namespace ov {

class EyeDrag : public Drag {
public:
    EyeDrag(ToolContext& context, bool direction);

    std::int32_t State() const override { return direction_ ? DraggingEyeDirection : DraggingEyePoint; }
    std::string Hint() const override;
    void Move(double x, double y, int shift) override;
    bool Release(double x, double y, int shift) override;
    void Cancel() override;
    void DrawFeedback(int port) override;
    bool DrawsEyeMarkers() const override { return true; }

private:
    void DrawMarkers() const;

    bool direction_;
    bool changed_ = false;
    // Where the direction's marker stood at the press: a drag keeps its depth, so that the
    // direction depends on where the pointer is and not on how many moves led there.
    clsPoint3D directionEnd_;
};

} // namespace ov
