// The project file of a scene: its record, loading and saving, and closing.
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <new>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "io/LineList.h"
#include "io/NotText.h"
#include "io/NumberText.h"
#include "io/NumberedItems.h"
#include "io/ParseReport.h"
#include "io/TextFile.h"
#include "io/Utf8.h"
#include "io/clsOldStream.h"
#include "io/clsStream.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/SceneRecovery.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

const char* const kTooDeep = "Groups are nested too deeply";

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

// The line of a top-level item of the record, when known; 0 otherwise.
std::size_t LineOf(const clsStream& r, const std::vector<std::size_t>* lines, std::string_view key) {
    if (!lines) return 0;
    for (std::size_t i = 0; i < r.Items.size() && i < lines->size(); ++i)
        if (r.Items[i].Key() == key) return (*lines)[i];
    return 0;
}

std::string PointText(const clsPoint3D& p) {
    return "(" + EncodeDouble(p.x) + ", " + EncodeDouble(p.y) + ", " + EncodeDouble(p.z) + ")";
}

} // namespace

std::string clsScene::ViewVolumeProblem(const clsStream& r, const std::vector<std::size_t>* lines) const {
    const char* const keys[] = {"ViewVolumeMin", "ViewVolumeMax"};
    std::vector<std::string> missing;
    for (const char* key : keys)
        if (r.GetSubStream(key).Items.empty()) missing.push_back(std::string("'") + key + "'");
    if (missing.size() == 2)
        return "the records " + missing[0] + " and " + missing[1] + " are missing: the grid spacing is derived from the view volume";
    if (missing.size() == 1)
        return "the record " + missing[0] + " is missing: the grid spacing is derived from the view volume";
    const double extents[] = {ViewVolumeMax.x - ViewVolumeMin.x, ViewVolumeMax.y - ViewVolumeMin.y,
                              ViewVolumeMax.z - ViewVolumeMin.z};
    std::size_t axis = 0;
    while (axis < 2 && extents[axis] != 0 && std::isfinite(extents[axis])) ++axis;
    const std::size_t line = LineOf(r, lines, keys[0]);
    return (line ? LineText(line) + ": " : std::string()) + "the view volume from " + PointText(ViewVolumeMin) +
           " to " + PointText(ViewVolumeMax) + " has " + (extents[axis] == 0 ? "no" : "an infinite") +
           " extent along " + std::string(1, "xyz"[axis]) + ": the grid spacing is derived from it";
}

void clsScene::WriteData(clsStream& r, const std::string& projectPath) const {
    const bool fresh = r.Items.empty(); // then no key written below is there yet
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
        const std::string key = "Fnc" + std::to_string(i + 1);
        if (fresh) r.AppendString(key, flat.BuildString());
        else r.SetString(key, flat.BuildString());
    }
    // Last and only when there is one, so that projects without a picture keep their bytes.
    if (Reference.IsSet()) Reference.WriteData(r.CreateSubStream("ReferencePicture"), projectPath);
}

bool clsScene::ReadData(const clsStream& r, bool import, std::string& error, bool* stopped,
                        const std::string& projectPath, const std::vector<std::size_t>* recordLines) {
    std::uint32_t tooDeepLine = 0;
    const clsStream& tree = r.GetSubStream("Tree");
    const auto result = import ? TreeManager.ImportData(tree, &tooDeepLine) : TreeManager.ReadData(tree, &tooDeepLine);
    if (result == clsNode::ReadResult::Stopped) {
        if (stopped) *stopped = true;
        return false;
    }
    if (result == clsNode::ReadResult::TooDeep) {
        error = tooDeepLine == 0 ? kTooDeep
                                 : LineText(tooDeepLine) + ": groups are nested too deeply (" +
                                       GroupedNumberText(clsNode::MaxDepth) + " levels at most)";
        return false;
    }
    if (import) return true;
    Name = r.GetString("Name", "");
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
        error = ViewVolumeProblem(r, recordLines);
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
    Reference.ReadData(r.GetSubStream("ReferencePicture"), projectPath);
    return true;
}

namespace {

// Declined: the user chose not to take what could be read of a damaged file.
enum class FileOutcome { Done, Failed, Stopped, OutOfMemory, Declined };

// Files from this size on leave enough freed blocks behind to be worth giving back.
constexpr std::size_t kLargeFileBytes = 16 << 20;

// A large project's record is millions of small blocks, freed once the objects are built
// (or the file written). The allocator keeps them for reuse, where blocks of other sizes
// cannot use them; whole free pages are handed back so that a document holds the memory
// it uses, not what its loading needed.
void GiveBackFreedMemory(std::size_t fileBytes) {
#ifdef __GLIBC__
    if (fileBytes >= kLargeFileBytes) malloc_trim(0);
#else
    (void)fileBytes;
#endif
}

// The stop check of a long load or save: Esc with the usual question, or the command
// line's time limit.
bool StopAsked() { return CheckAbort(true); }

// Tells the user why a load or save did not happen; verb is "load" or "save".
void ReportFileOutcome(FileOutcome outcome, const std::string& verb, const std::string& path,
                       const std::string& error) {
    switch (outcome) {
    case FileOutcome::Stopped:
        ShowMessage((verb == "load" ? "Loading" : "Saving") + std::string(" of '") + path + "' was stopped.",
                    PromptIcon::Information);
        break;
    case FileOutcome::OutOfMemory:
        ShowMessage("Not enough memory to " + verb + " the project '" + path + "'.", PromptIcon::Critical);
        break;
    default:
        ShowMessage("Unable to " + verb + " the project '" + path + "':\r" + error, PromptIcon::Critical);
    }
}

} // namespace

namespace {

// What is wrong with a file whose text could not all be read: the kind of file when it
// fails at its first line and is no text at all, otherwise the line and what was expected.
std::string DamageText(const ParseReport& report, std::string_view head) {
    const bool atStart = report.TopLevelLines.empty() || report.DamageLine <= report.TopLevelLines.front();
    if (atStart)
        if (std::string kind = DescribeNonText(head); !kind.empty()) return kind;
    return report.Damage;
}

// What a load needs besides the scene and the file, and what it tells.
struct LoadRequest {
    bool import;
    const clsScene::RecoveryQuestion& recover;
    std::string error;
    std::size_t fileBytes = 0;
    bool recovered = false; // what was read is what came before the damage
};

// Parses the file's text into record. A damaged or empty text fails with its reason, unless
// the request's question takes what comes before the damage (then record holds that).
FileOutcome ParseProject(std::string&& content, clsStream& record, std::vector<std::size_t>& recordLines,
                         LoadRequest& request) {
    const std::string head = content.substr(0, kNonTextHeadBytes);
    LineList lines = LineList::FromOwnedText(std::move(content));
    lines.SetStopCheck(StopAsked);
    ParseReport report;
    record.ParseData(lines, &report);
    if (lines.Stopped()) return FileOutcome::Stopped;
    if (report.DamageLine == 0) {
        recordLines = std::move(report.TopLevelLines);
        if (!record.Items.empty()) return FileOutcome::Done;
        request.error = request.fileBytes == 0 ? "the file is empty" : "the file holds only blank lines";
        return FileOutcome::Failed;
    }
    request.error = DamageText(report, head);
    if (!request.recover) return FileOutcome::Failed;
    const bool objects = ReadRecoverable(lines, report, record, recordLines);
    if (lines.Stopped()) return FileOutcome::Stopped;
    if (!objects) return FileOutcome::Failed;
    if (!request.recover(request.error)) return FileOutcome::Declined;
    request.recovered = true;
    return FileOutcome::Done;
}

// The stages of a load: text, lines, record, objects. Each form of the file is freed once the
// next one is built, so that a large project never holds all of them at a time.
FileOutcome ReadProject(clsScene& scene, const std::string& path, LoadRequest& request) {
    clsStream record;
    std::vector<std::size_t> recordLines;
    Utf16Order utf16 = Utf16Order::None;
    {
        std::string content;
        if (!ReadTextFile(path, content, request.error)) return FileOutcome::Failed;
        // A project saved again as UTF-16 by a text editor is all there: it opens as a copy.
        utf16 = Utf16OrderOf(std::string_view(content).substr(0, kNonTextHeadBytes));
        if (utf16 != Utf16Order::None) content = Utf8FromUtf16(content, utf16 == Utf16Order::LittleEndian);
        DropByteOrderMark(content);
        request.fileBytes = content.size();
        const FileOutcome parsed = ParseProject(std::move(content), record, recordLines, request);
        if (parsed != FileOutcome::Done) return parsed;
    }
    if (utf16 != Utf16Order::None && !request.recovered) {
        request.error = kUtf16Description;
        if (!request.recover) return FileOutcome::Failed;
        if (!request.recover(request.error)) return FileOutcome::Declined;
        request.recovered = true;
    }
    bool stopped = false;
    if (scene.ReadData(record, request.import, request.error, &stopped, path, &recordLines)) return FileOutcome::Done;
    if (stopped) return FileOutcome::Stopped;
    // A file cut off between two records reads as text, but lacks what came after the cut.
    if (request.recovered || !request.recover || !HoldsObjects(record) || !TakeNewProjectSettings(record))
        return FileOutcome::Failed;
    if (!request.recover(request.error)) return FileOutcome::Declined;
    request.recovered = true;
    if (scene.ReadData(record, request.import, request.error, &stopped, path, &recordLines)) return FileOutcome::Done;
    return stopped ? FileOutcome::Stopped : FileOutcome::Failed;
}

// The stages of a save, the other way round: record, lines, text, file. A tree that could not
// be read back is not written: the file would only refuse to open, with the work in it.
FileOutcome WriteProject(const clsScene& scene, const std::string& path, std::string& error, std::size_t& fileBytes) {
    if (!scene.GetRootNode()->WithinReadableDepth()) {
        error = kTooDeep;
        return FileOutcome::Failed;
    }
    std::string text;
    {
        LineList lines;
        lines.SetStopCheck(StopAsked);
        {
            clsStream record;
            scene.WriteData(record, path);
            record.WriteData(lines, 0);
        }
        if (lines.Stopped()) return FileOutcome::Stopped;
        text = std::move(lines).ToText("\r\n");
    }
    fileBytes = text.size();
    return WriteTextFileAtomically(path, text, error) ? FileOutcome::Done : FileOutcome::Failed;
}

} // namespace

bool clsScene::LoadScene(const std::string& path, bool import, const RecoveryQuestion& recover) {
    BeginAbortableOperation();
    LoadRequest request{import, recover, "", 0, false};
    FileOutcome outcome = FileOutcome::Failed;
    try {
        outcome = ReadProject(*this, path, request);
    } catch (const std::bad_alloc&) {
        outcome = FileOutcome::OutOfMemory;
    }
    GiveBackFreedMemory(request.fileBytes);
    if (outcome != FileOutcome::Done) {
        if (outcome != FileOutcome::Declined) ReportFileOutcome(outcome, "load", path, request.error);
        TreeManager.NotifyTreeChanged();
        return false;
    }
    RemoveStaleTemporaryFiles(path);
    if (!import) {
        WarnOfMissingPicture();
        OnPerspectiveChange();
        UpdateAutoGrid();
        // What was taken from a damaged file is not that file: saving it asks for a name.
        FileName = request.recovered ? "" : path;
        if (DocumentWindow) SetName(FileNameOf(path));
        else TreeManager.SetDocName(Name);
        TreeManager.NotifyTreeChanged();
        OnClean();
        if (request.recovered) OnDirty(); // after OnClean, so that the caption shows the new name
    }
    return true;
}

void clsScene::WarnOfMissingPicture() const {
    if (!Reference.IsSet()) return;
    std::error_code error;
    if (std::filesystem::is_regular_file(Reference.Path, error)) return;
    ShowMessage("The reference picture '" + Reference.Path +
                    "' was not found. The project is shown without it; View > Reference Picture chooses "
                    "another file.",
                PromptIcon::Warning);
}

bool clsScene::SaveScene(const std::string& path) {
    BeginAbortableOperation();
    // A document takes the name of the file it is saved to, and the file holds that name.
    const std::string oldName = Name;
    if (DocumentWindow) SetName(FileNameOf(path));
    std::string error;
    std::size_t fileBytes = 0;
    FileOutcome outcome = FileOutcome::Failed;
    try {
        outcome = WriteProject(*this, path, error, fileBytes);
    } catch (const std::bad_alloc&) {
        outcome = FileOutcome::OutOfMemory;
    }
    GiveBackFreedMemory(fileBytes);
    if (outcome != FileOutcome::Done) {
        if (DocumentWindow) SetName(oldName);
        ReportFileOutcome(outcome, "save", path, error);
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
