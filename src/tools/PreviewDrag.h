#pragma once
// The drags that show a shape while they go on: the shape being made, or the moved copy of
// the selection. The shape is drawn in every view that is on screen.

#include <memory>

#include "scene/clsNode.h"
#include "tools/Drag.h"

namespace ov {

class PreviewDrag : public Drag {
public:
    using Drag::Drag;
    ~PreviewDrag() override;

    void Cancel() override { Show(nullptr, nullptr); }
    void DrawFeedback(int port) override;
    const clsNode* Preview() const override { return preview_.get(); }

protected:
    // Erases the shape shown, shows shape instead and describes it in the status line.
    void Show(std::unique_ptr<clsNode> shape, clsNode* reference);
    // Shows shape without telling the status line.
    void ShowQuietly(std::unique_ptr<clsNode> shape);
    // Drops the shape without erasing it, for views about to be made afresh.
    void Forget();
    // Adds the shape shown to the tree as one undo step "Create", selected.
    void AddShown();

private:
    void DrawShown() const;

    std::unique_ptr<clsNode> preview_;
};

} // namespace ov
