#include "scene/AppState.h"

#include "platform/Desktop.h"
#include "platform/Prompt.h"
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
}

bool CheckAbort(bool ask) {
    if (!EscapeKey().ReadEscape()) return false;
    if (!ask) return true;
    return Prompt().Show("Do you want to abort the current operation?", "", PromptIcon::Warning,
                         PromptButtons::YesNo) != PromptAnswer::No;
}

std::string ShowFileDialog(const std::string& title, const std::string& defaultExtension,
                           const std::string& initialFileName, const std::string& filter, bool open) {
    return FileDialog().Show(title, defaultExtension, initialFileName, filter, open);
}

} // namespace ov
