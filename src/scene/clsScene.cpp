#include "scene/clsScene.h"

namespace ov {

void clsScene::OnToolChange(std::int32_t newTool, std::int32_t /*oldTool*/) {
    if (DocumentWindow) DocumentWindow->OnToolChange(newTool);
}

void clsScene::UpdateViews() {
    if (DocumentWindow) DocumentWindow->UpdateViews();
}

void clsScene::ResetZoom() {
    if (DocumentWindow) DocumentWindow->ResetZoom();
}

void clsScene::OnPerspectiveChange() {
    OnDirty();
    if (DocumentWindow) DocumentWindow->OnPerspectiveChange();
}

void clsScene::OnDirty() {
    if (Modified) return;
    Modified = true;
    if (DocumentWindow) DocumentWindow->SetCaption(Name + " *");
}

void clsScene::OnClean() {
    if (!Modified) return;
    Modified = false;
    if (DocumentWindow) DocumentWindow->SetCaption(Name);
}

} // namespace ov
