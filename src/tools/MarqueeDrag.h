#pragma once
// A rectangle dragged in the active view: the pick tool's marquee, which selects the objects
// wholly inside it, or the zoom tool's, which shows what it holds.

#include "tools/Drag.h"

namespace ov {

class MarqueeDrag : public Drag {
public:
    enum class Purpose { Select, Zoom };
    MarqueeDrag(ToolContext& context, Purpose purpose, double pressX, double pressY, double x, double y);

    std::int32_t State() const override { return purpose_ == Purpose::Zoom ? ZoomRectangle : SelectingArea; }
    std::string Hint() const override;
    void Move(double x, double y, int shift) override;
    bool Release(double x, double y, int shift) override;
    void Cancel() override { Draw(); }
    void DrawFeedback(int port) override;

private:
    void Draw() const;
    void Select(double x, double y, bool add);

    Purpose purpose_;
    double pressX_, pressY_, cornerX_, cornerY_;
};

} // namespace ov
