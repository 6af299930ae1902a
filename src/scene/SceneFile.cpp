// The project file of a scene: its record, loading and saving, and closing.
#include <cerrno>
#include <cmath>
#include <cstring>

#include "io/LineList.h"
#include "io/NumberedItems.h"
#include "io/TextFile.h"
#include "io/clsOldStream.h"
#include "io/clsStream.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

// The last component of a path: the file name with its extension.
std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct NamedOutline {
    const char* key;
    clsOutline clsSceneSettings::*field;
};

const NamedOutline kOutlines[] = {
    {"Line", &clsSceneSettings::Line},           {"GridMinor", &clsSceneSettings::GridMinor},
    {"GridMajor", &clsSceneSettings::GridMajor}, {"GridHorizon", &clsSceneSettings::GridHorizon},
    {"Horizon", &clsSceneSettings::Horizon},     {"VanishLine", &clsSceneSettings::VanishLine},
    {"CenterOfView", &clsSceneSettings::CenterOfView},
};

} // namespace

void clsScene::WriteData(clsStream& r) const {
    r.SetString("Name", Name);
    TreeManager.WriteData(r.CreateSubStream("Tree"));
    GetPerspective().WriteData(r.CreateSubStream("Perspective"));
    r.SetBool("ShowRulers", ShowRulers);
    r.SetBool("ShowGrid", ShowGrid);
    r.SetLong("Precision", Precision);
    r.SetBool("ShowAxes", ShowAxes);
    ViewVolumeMin.WriteData(r.CreateSubStream("ViewVolumeMin"));
    ViewVolumeMax.WriteData(r.CreateSubStream("ViewVolumeMax"));
    r.SetBool("AutoGrid", AutoGrid);
    r.SetDouble("MinorGrid", MinorGrid);
    r.SetDouble("MajorGrid", MajorGrid);
    r.SetBool("AutoNudge", AutoNudge);
    r.SetDouble("NudgeOffset", NudgeOffset);
    r.SetDouble("AngleStep", AngleStep);
    for (const NamedOutline& o : kOutlines) (this->*o.field).WriteData(r.CreateSubStream(o.key));
    r.SetString("Notes", Notes);
    r.SetLong("FncCount", static_cast<std::int32_t>(Functions.size()));
    for (std::size_t i = 0; i < Functions.size(); ++i) {
        clsOldStream flat;
        Functions[i].WriteData(flat);
        r.SetString("Fnc" + std::to_string(i + 1), flat.BuildString());
    }
}

bool clsScene::ReadData(const clsStream& r, bool import, std::string& error) {
    if (import) {
        TreeManager.ImportData(r.GetSubStream("Tree"));
        return true;
    }
    Name = r.GetString("Name", "");
    if (!TreeManager.ReadData(r.GetSubStream("Tree"))) {
        error = "Groups are nested too deeply";
        return false;
    }
    GetPerspective().ReadData(r.GetSubStream("Perspective"));
    ShowRulers = r.GetBool("ShowRulers", false);
    ShowGrid = r.GetBool("ShowGrid", false);
    Precision = r.GetLong("Precision", 1, 10, 4);
    ShowAxes = r.GetBool("ShowAxes", false);
    ViewVolumeMin.ReadData(r.GetSubStream("ViewVolumeMin"));
    ViewVolumeMax.ReadData(r.GetSubStream("ViewVolumeMax"));
    AutoGrid = r.GetBool("AutoGrid", true);
    MinorGrid = r.GetDouble("MinorGrid", false, 0, 0, 0);
    MajorGrid = r.GetDouble("MajorGrid", false, 0, 0, 0);
    AutoNudge = r.GetBool("AutoNudge", true);
    NudgeOffset = r.GetDouble("NudgeOffset", false, 0, 0, 0);
    AngleStep = r.GetDouble("AngleStep", true, 0, 180, 3);
    if (!UpdateAutoGrid()) {
        error = "Invalid procedure call or argument"; // no grid spacing for an empty view volume
        return false;
    }
    for (const NamedOutline& o : kOutlines) (this->*o.field).ReadData(r.GetSubStream(o.key));
    Notes = r.GetString("Notes", "");
    Functions.clear();
    // One flat stream serves all definitions, each continuing where the last one stopped.
    clsOldStream flat;
    const std::int32_t count = r.GetLong("FncCount", -1073741824, 1073741824, 0);
    for (const NumberedItem& numbered : NumberedItems(r, "Fnc", count)) {
        const std::string text = numbered.Text();
        if (text.empty()) continue;
        flat.ParseString(text);
        Functions.emplace_back();
        Functions.back().ReadData(flat);
    }
    return true;
}

bool clsScene::LoadScene(const std::string& path, bool import) {
    std::string error;
    bool ok = false;
    {
        // Each form of the file (text, lines, record) is freed once the next one is built,
        // so that a large project never holds all three at a time.
        clsStream record;
        {
            LineList lines;
            {
                std::string content;
                ok = ReadTextFile(path, content, error);
                if (ok) lines = LineList::FromText(content);
            }
            if (ok) record.ParseData(lines);
        }
        if (ok) ok = ReadData(record, import, error);
    }
    if (!ok) {
        ShowMessage("Unable to load the project '" + path + "':\r" + error, PromptIcon::Critical);
        TreeManager.NotifyTreeChanged();
        return false;
    }
    if (!import) {
        OnPerspectiveChange();
        UpdateAutoGrid();
        FileName = path;
        if (DocumentWindow) SetName(FileNameOf(path));
        else TreeManager.SetDocName(Name);
        TreeManager.NotifyTreeChanged();
        OnClean();
    }
    return true;
}

bool clsScene::SaveScene(const std::string& path) {
    // A document takes the name of the file it is saved to, and the file holds that name.
    const std::string oldName = Name;
    if (DocumentWindow) SetName(FileNameOf(path));
    clsStream record;
    WriteData(record);
    LineList lines;
    record.WriteData(lines, 0);
    std::string error;
    if (!WriteTextFileAtomically(path, lines.ToText("\r\n"), error)) {
        if (DocumentWindow) SetName(oldName);
        ShowMessage("Unable to save the project '" + path + "':\r" + error, PromptIcon::Critical);
        return false;
    }
    FileName = path;
    TreeManager.MarkAllUndoDirty();
    OnClean();
    return true;
}

bool clsScene::CanClose() {
    if (!Modified) return true;
    switch (Prompt().Show("Do you want to save the project '" + Name + "'?", "", PromptIcon::Question,
                          PromptButtons::YesNoCancel)) {
    case PromptAnswer::No: return true;
    case PromptAnswer::Cancel: return false;
    default:
        if (App().MainWindow) return App().MainWindow->OnSave(*this);
        return !FileName.empty() && SaveScene(FileName);
    }
}

void clsScene::OnToggleTool() {
    AppState& app = App();
    if (app.CurrentTool == ToolZoom) return;
    if (app.CurrentTool != ToolPick) {
        OnToolChange(ToolPick, app.CurrentTool);
        app.CurrentTool = ToolPick;
    } else if (app.PreviousTool != ToolPick) {
        OnToolChange(app.PreviousTool, app.CurrentTool);
        app.CurrentTool = app.PreviousTool;
    }
    if (app.MainWindow) app.MainWindow->ToolChanged();
}

void clsScene::ResetEyePoint() {
    TreeManager.PushUndoPerspective("Reset Eye Point");
    clsPerspective& camera = GetPerspective();
    camera.EyePoint = ViewVolumeMax;
    clsPoint3D centre((ViewVolumeMin.x + ViewVolumeMax.x) / 2, (ViewVolumeMin.y + ViewVolumeMax.y) / 2,
                      (ViewVolumeMin.z + ViewVolumeMax.z) / 2);
    centre.Subtract(camera.EyePoint);
    centre.Normalize();
    camera.Normal = centre;
    camera.ViewUp.SetPoint(0, 0, 1);
    OnPerspectiveChange();
    UpdateViews();
}

} // namespace ov
