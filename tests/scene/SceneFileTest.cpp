#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <tuple>
#include <vector>

#include "io/LineList.h"
#include "io/clsStream.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

using namespace ov;

namespace {

class RecordingWindow : public IDocumentWindow {
public:
    int toolChanges = 0;
    void SetCaption(const std::string&) override {}
    void UpdateViews() override {}
    void ResetZoom() override {}
    void OnPerspectiveChange() override {}
    void OnToolChange(std::int32_t) override { ++toolChanges; }
};

struct AppReset {
    AppReset() { App() = AppState(); }
    ~AppReset() { App() = AppState(); }
};

std::string TempPath(const std::string& name) { return testing::TempDir() + "/" + name; }

bool LoadText(clsScene& scene, const std::string& text) {
    std::ofstream(TempPath("t.ovp"), std::ios::binary) << text;
    return scene.LoadScene(TempPath("t.ovp"), false);
}

const std::string kVolume = "ViewVolumeMin = {\r\nx = -1\r\ny = -1\r\nz = -1\r\n}\r\n"
                            "ViewVolumeMax = {\r\nx = 1\r\ny = 1\r\nz = 1\r\n}\r\n";

} // namespace

TEST(SceneSettings, GridStepsRoundDownToOneTwoOrFiveAndFollowTheSmallestExtent) {
    const struct {
        double x, step;
    } cases[] = {{40, 5}, {12, 2}, {7, 1}, {0.3, 0.05}, {1000, 100}, {1, 0.2}, {99, 10}, {0.001, 0.0002}, {0, 0},
                 {-5, 0}};
    for (const auto& c : cases) EXPECT_NEAR(RoundGridStep(c.x), c.step, c.step * 1e-12) << c.x;

    clsScene s;
    s.ViewVolumeMin.SetPoint(0, 0, 0);
    s.ViewVolumeMax.SetPoint(100, 12, 1000);
    s.UpdateAutoGrid();
    EXPECT_EQ(std::vector<double>({s.MajorGrid, s.MinorGrid, s.NudgeOffset}), std::vector<double>({2, 0.4, 0.4}));
    std::tie(s.AutoGrid, s.MajorGrid, s.MinorGrid) = std::tuple(false, 3, 0.5);
    s.UpdateAutoGrid();
    EXPECT_TRUE(s.MajorGrid == 3 && s.NudgeOffset == 0.5); // a valid manual grid stays
    std::tie(s.MinorGrid, s.AutoNudge, s.NudgeOffset) = std::tuple(0, false, 7);
    s.UpdateAutoGrid();
    EXPECT_TRUE(s.MajorGrid == 2 && s.NudgeOffset == 7); // an invalid grid is recomputed, a manual nudge stays
}

TEST(SceneFile, DefaultsAndClampsOfTheRecord) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene s;
    ASSERT_TRUE(LoadText(s, "Name = X\r\n" + kVolume + "AngleStep = 200\r\nPrecision = 15\r\n"));
    EXPECT_TRUE(s.Precision == 10 && s.AngleStep == 180);
    EXPECT_TRUE(!s.ShowGrid && s.AutoGrid); // missing booleans read as false but those whose default is true
    // A missing outline record: no line. No tree: no objects.
    EXPECT_TRUE(s.MajorGrid == 0.5 && s.Line.Style == clsOutline::StyleNone && !s.GetRootNode()->FirstChild());

    clsScene p;
    ASSERT_TRUE(LoadText(p, kVolume + "AngleStep = -1\r\nFncCount = 9\r\nFnc1 = F;0;1;\r\nFnc9 = G;1;X;X*2;\r\n"
                                      "Tree = {\r\nChildCount = 2\r\nChild1 = {\r\nNodeType = 1\r\n}\r\n}\r\n"));
    EXPECT_TRUE(p.Precision == 4 && p.AngleStep == 0);
    ASSERT_EQ(p.Functions.size(), 2u);
    EXPECT_TRUE(p.Functions[1].GetNameArgs() == "G(X)" && p.GetRootNode()->GetChildCount() == 2);
    EXPECT_TRUE(prompt.Messages.empty());
}

TEST(SceneFile, AReferencePictureIsKeptRelativeToTheProjectAndAMissingOneOnlyWarns) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    ::mkdir(TempPath("pics").c_str(), 0755);
    ::mkdir(TempPath("work").c_str(), 0755);
    std::ofstream(TempPath("pics/photo.png")) << "any bytes: only loading looks at the file";
    const auto normal = [](const std::string& name) { return std::filesystem::path(TempPath(name)).lexically_normal().string(); };
    clsScene s;
    s.Reference = {normal("pics/photo.png"), 0.3, 0.1, -0.2, 2, false};
    ASSERT_TRUE(s.SaveScene(TempPath("work/p.ovp")));
    std::ifstream in(TempPath("work/p.ovp"), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("ReferencePicture = {\r\n  Path = ../pics/photo.png\r\n"), std::string::npos) << text;
    clsScene back;
    ASSERT_TRUE(back.LoadScene(TempPath("work/p.ovp"), false));
    EXPECT_TRUE(back.Reference == s.Reference && prompt.Messages.empty()) << back.Reference.Path;
    // Damaged numbers come back within bounds; a picture that is gone is named, and the project still opens.
    ASSERT_TRUE(LoadText(back, kVolume + "ReferencePicture = {\r\nPath = gone.png\r\nOpacity = 7\r\nScale = 0\r\n}\r\n"));
    EXPECT_EQ(std::tuple(back.Reference.Path, back.Reference.Opacity, back.Reference.Scale, back.Reference.Visible),
              std::tuple(normal("gone.png"), 1.0, 0.01, true));
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText().rfind("The reference picture '" + normal("gone.png") + "' was not found.", 0), 0u);
    ASSERT_TRUE(LoadText(back, kVolume)); // a project without the record has no picture
    EXPECT_FALSE(back.Reference.IsSet());
}

TEST(SceneFile, LoadAndSaveFailuresAndTheQuestionBeforeClosing) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene s, closing;
    EXPECT_TRUE(closing.CanClose() && prompt.Messages.empty()); // unmodified: no question
    const std::string missing = TempPath("none/x.ovp");
    EXPECT_FALSE(s.LoadScene(missing, false));
    EXPECT_TRUE(prompt.LastText().rfind("Unable to load the project '" + missing + "':\r", 0) == 0u &&
                prompt.Messages.back().Icon == PromptIcon::Critical) << prompt.LastText();
    // No view volume and an automatic grid: no grid spacing can be derived.
    EXPECT_FALSE(LoadText(s, "Name = Flat\r\n"));
    EXPECT_EQ(prompt.LastText(),
              "Unable to load the project '" + TempPath("t.ovp") + "':\rthe records 'ViewVolumeMin' and "
              "'ViewVolumeMax' are missing: the grid spacing is derived from the view volume");
    const std::string dir = TempPath("folder.ovp");
    ::mkdir(dir.c_str(), 0755);
    closing.OnDirty();
    EXPECT_FALSE(closing.SaveScene(dir));
    EXPECT_EQ(prompt.LastText().rfind("Unable to save the project '" + dir + "':\r", 0), 0u);
    // The failed save leaves the project modified: closing asks whether to save it.
    prompt.Answers = {PromptAnswer::Cancel, PromptAnswer::No}; // and then the first button, Yes
    EXPECT_FALSE(closing.CanClose());
    EXPECT_TRUE(prompt.LastText() == "Do you want to save the project 'Document'?" &&
                prompt.Messages.back().Buttons == PromptButtons::YesNoCancel);
    EXPECT_TRUE(closing.CanClose()); // No
    closing.FileName = TempPath("close.ovp");
    EXPECT_TRUE(closing.CanClose() && !closing.Modified); // Yes: saved under its name
}

TEST(SceneFile, ImportKeepsEverythingButAddsTheObjectsSelected) {
    clsScene source, scene, empty;
    source.Functions.push_back(clsFncDef());
    const std::string path = TempPath("import.ovp");
    ASSERT_TRUE(source.SaveScene(path));
    scene.Precision = 7;
    ASSERT_TRUE(scene.LoadScene(path, true));
    EXPECT_TRUE(scene.Precision == 7 && scene.Functions.empty() && scene.Modified);
    const clsNode* root = scene.GetRootNode();
    EXPECT_TRUE(root->GetChildCount() == 2 && !root->FirstChild()->Selected && root->LastChild()->Selected);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Import");
    empty.TreeManager.ImportData(clsStream()); // nothing to add: no undo step
    EXPECT_EQ(empty.TreeManager.GetUndoString(), "");
}

TEST(SceneFile, ATreeThatWouldNotReadBackIsNeitherSavedNorImported) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    // Groups down to the depth the reader takes, then one level more.
    clsScene deep, scene;
    clsNode* at = deep.GetRootNode();
    for (int depth = 1; depth < clsNode::MaxDepth; ++depth) at = at->AddChild(clsTreeManager::CreateNode(clsNode::Group));
    const std::string path = TempPath("deep.ovp"), deeper = TempPath("deeper.ovp");
    ASSERT_TRUE(deep.SaveScene(path));
    ASSERT_TRUE(scene.LoadScene(path, true)); // the deepest group stands at depth 999: it reads back
    EXPECT_EQ(scene.GetRootNode()->GetChildCount(), 3);
    at->AddChild(clsTreeManager::CreateNode(clsNode::Group));
    std::ofstream(deeper) << "kept";
    EXPECT_FALSE(deep.SaveScene(deeper));
    EXPECT_EQ(prompt.LastText(), "Unable to save the project '" + deeper + "':\rGroups are nested too deeply");
    std::ifstream kept(deeper);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
    // Written all the same (as by another program), it is not imported, not even in part.
    clsStream record;
    deep.WriteData(record, deeper);
    LineList lines;
    record.WriteData(lines, 0);
    std::ofstream(deeper, std::ios::binary) << std::move(lines).ToText("\r\n");
    EXPECT_FALSE(scene.LoadScene(deeper, true));
    // The chain's first group follows the house (lines 11 to 1,097) at line 1,098; each level
    // down begins 9 lines further, so the group 1,000 levels down at 1,098 + 999 * 9.
    EXPECT_EQ(prompt.LastText(), "Unable to load the project '" + deeper +
                                     "':\rline 10,089: groups are nested too deeply (1,000 levels at most)");
    EXPECT_EQ(scene.GetRootNode()->GetChildCount(), 3);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Import");
}

TEST(SceneFile, EscStopsALongLoadImportOrSaveLeavingSceneAndFileAsTheyWere) {
    struct EscAfter : IEscapeKey {
        int reads = 0;
        bool ReadEscape() override { return reads-- == 0; } // pressed once
    } esc;
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene big, scene;
    for (int i = 0; i < 5000; ++i) big.TreeManager.AddNode(big.TreeManager.CreateLineNode(0, 0, 0, i, 1, 1, "L"));
    const std::string path = TempPath("big.ovp"), other = TempPath("other.ovp");
    ASSERT_TRUE(big.SaveScene(path) && scene.SaveScene(other));
    const int objects = scene.GetRootNode()->GetChildCount();
    SetEscapeKey(&esc);
    const std::string stopped = "Loading of '" + path + "' was stopped.";
    const struct {
        std::function<bool()> run;
        PromptAnswer answer; // to "Do you want to abort the current operation?"
        bool done;
        std::string message;
    } cases[] = {
        {[&] { return clsScene().LoadScene(path, false); }, PromptAnswer::Yes, false, stopped},
        {[&] { return scene.LoadScene(path, true); }, PromptAnswer::Yes, false, stopped},
        {[&] { return big.SaveScene(other); }, PromptAnswer::Yes, false, "Saving of '" + other + "' was stopped."},
        {[&] { return clsScene().LoadScene(path, false); }, PromptAnswer::No, true, "Do you want to abort the current operation?"},
    };
    for (const auto& c : cases) {
        prompt.Messages.clear();
        prompt.Answers = {c.answer};
        esc.reads = 0;
        EXPECT_EQ(c.run(), c.done) << c.message;
        EXPECT_EQ(prompt.LastText(), c.message);
    }
    EXPECT_TRUE(scene.GetRootNode()->GetChildCount() == objects && !scene.TreeManager.CanUndo());
    clsScene reread;
    ASSERT_TRUE(reread.LoadScene(other, false));
    EXPECT_EQ(reread.GetRootNode()->GetChildCount(), objects) << "the file stays as it was";
    // Reading the tree itself stops too, with nothing added.
    clsStream record;
    big.TreeManager.WriteData(record);
    esc.reads = 0;
    prompt.Answers = {PromptAnswer::Yes};
    EXPECT_EQ(scene.TreeManager.ImportData(record), clsNode::ReadResult::Stopped);
    EXPECT_TRUE(scene.GetRootNode()->GetChildCount() == objects && !scene.TreeManager.CanUndo());
    SetEscapeKey(nullptr);
}

TEST(AppState, PickAndZoomDoNotReplaceThePreviousTool) {
    AppReset reset;
    clsScene s;
    RecordingWindow w;
    s.BindToDocument(&w);
    App().ActiveScene = &s;
    for (std::int32_t tool : {ToolLine, ToolZoom, ToolLine, ToolPick, ToolPick}) SetTool(tool);
    EXPECT_TRUE(App().PreviousTool == ToolLine && w.toolChanges == 4); // the same tool again changes nothing
    s.OnToggleTool();
    EXPECT_EQ(App().CurrentTool, ToolLine);
    SetTool(ToolBox);
    EXPECT_EQ(App().PreviousTool, ToolBox);
}

TEST(AppState, NumberTextRoundsClampsAndFollowsTheLocale) {
    AppReset reset;
    EXPECT_EQ(FormatNumber(2.5), "2.5000");
    clsScene s;
    s.Precision = 3;
    App().ActiveScene = &s;
    EXPECT_EQ(FormatNumber(-0.0001) + FormatNumber(-1.23456), "0.000-1.235");
    SetLocaleDecimalPoint(',');
    EXPECT_EQ(FormatNumber(2.5), "2,500");
    SetLocaleDecimalPoint('.');
    EXPECT_EQ(std::vector<double>({ParseNumber("  1,5  "), ParseNumber(""), ParseNumber("abc"), ParseNumber("-2.25mm")}),
              std::vector<double>({1.5, 0, 0, -2.25}));
    s.Precision = 2;
    const std::tuple<const char*, bool, double> clamps[] = {
        {"10", false, 9.99}, {"0", false, 0.01}, {"10", true, 10}, {"-4", true, 0}, {"5", false, 5}};
    for (const auto& [text, inclusive, x] : clamps)
        EXPECT_DOUBLE_EQ(ParseNumberClamped(text, 0, 10, inclusive), x) << text;
}

TEST(AppState, ColourDistancesAndAngles) {
    const double pi = 3.14159265358979;
    // pure red is 21 % as bright as white
    EXPECT_EQ(std::vector<int>({ColorDistance(0, 0xFFFFFF), ColorDistance(0xFFFFFF, 0), ColorDistance(255, 0),
                                ColorDistance(0x00FF00, 0x00FF00)}),
              std::vector<int>({100, 100, 21, 0}));
    const std::pair<double, double> cases[] = {
        {AngleDifference(3, -3), 6 - 2 * pi}, {AngleDifference(-3, 3), -6 + 2 * pi}, {AngleDifference(1, 0.5), 0.5},
        {Atan2(1, 1), std::atan(1.0)}, {Atan2(1, -1), std::atan(-1.0) + pi}, {Atan2(-2, 0), -pi / 2},
        {Atan2(0, 0), 0}};
    for (const auto& [got, want] : cases) EXPECT_DOUBLE_EQ(got, want) << "expected " << want;
}

TEST(Desktop, WithoutADesktopNothingAbortsAndFileDialogsAreCancelled) {
    EXPECT_FALSE(CheckAbort(true));
    EXPECT_EQ(ShowFileDialog("t", "fnl", "", "Function List (*.fnl)|*.fnl", true), "");
}
