#include "scene/clsScene.h"

#include "scene/AppState.h"

namespace ov {

clsScene::clsScene() {
    TreeManager.BindToScene(this);
    TreeManager.SetDocName(Name);
    TreeManager.SelectionChanged = [this] {
        if (App().MainWindow) App().MainWindow->SelectionChanged();
        if (SelectionNotification) SelectionNotification();
    };
    TreeManager.TreeChanged = [this] {
        if (TreeNotification) TreeNotification();
    };
}

void clsScene::SetName(const std::string& name) {
    Name = name;
    TreeManager.SetDocName(name);
}

void clsScene::OnToolChange(std::int32_t newTool, std::int32_t oldTool) {
    // Node-edit handles appear or disappear on the selected objects.
    if (GetSelection() && (newTool == ToolNodeEdit || oldTool == ToolNodeEdit)) UpdateViews();
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
