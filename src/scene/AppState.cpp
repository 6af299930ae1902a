#include "scene/AppState.h"

#include "scene/clsScene.h"

namespace ov {

AppState& App() {
    static AppState state;
    return state;
}

void SetTool(std::int32_t code) {
    AppState& app = App();
    if (code != app.CurrentTool) {
        if (code == ToolZoom) app.PreviousTool = app.CurrentTool;
        const std::int32_t old = app.CurrentTool;
        app.CurrentTool = code;
        if (app.ActiveScene) app.ActiveScene->OnToolChange(code, old);
    }
    if (code != ToolPick && code != ToolZoom) app.PreviousTool = code;
    // Every change of tool, however it came about, shows on the toolbar.
    if (app.MainWindow) app.MainWindow->ToolChanged();
}

} // namespace ov
