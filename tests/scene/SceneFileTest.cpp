#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <cmath>

#include "io/clsOldStream.h"
#include "io/clsStream.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

using namespace ov;

namespace {

class CaptionWindow : public IDocumentWindow {
public:
    std::string caption;
    void SetCaption(const std::string& c) override { caption = c; }
    void UpdateViews() override {}
    void ResetZoom() override {}
    void OnPerspectiveChange() override {}
    void OnToolChange(std::int32_t) override {}
};

std::string TempPath(const std::string& name) { return testing::TempDir() + "/" + name; }

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A scene read from a record text with the given extra lines.
bool LoadText(clsScene& scene, const std::string& text, const std::string& name = "t.ovp") {
    const std::string path = TempPath(name);
    Spit(path, text);
    return scene.LoadScene(path, false);
}

} // namespace

TEST(SceneFile, CaptionsFollowChangesLoadsAndSaves) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene scene;
    CaptionWindow window;
    scene.BindToDocument(&window);
    const std::string path = TempPath("House.ovp");
    ASSERT_TRUE(scene.SaveScene(path));
    EXPECT_EQ(scene.Name, "House.ovp"); // the file name, extension included
    EXPECT_EQ(scene.GetRootNode()->Name, "House.ovp");
    scene.TreeManager.SelectAll();
    scene.TreeManager.DeleteSelected(false);
    EXPECT_EQ(window.caption, "House.ovp *");
    window.caption.clear();
    scene.TreeManager.OnDirty();
    EXPECT_EQ(window.caption, ""); // the marker is added once
    ASSERT_TRUE(scene.SaveScene(path));
    EXPECT_EQ(window.caption, "House.ovp");
    EXPECT_FALSE(scene.Modified);

    clsScene loaded;
    CaptionWindow other;
    loaded.BindToDocument(&other);
    ASSERT_TRUE(loaded.LoadScene(path, false));
    EXPECT_EQ(loaded.Name, "House.ovp");
    EXPECT_FALSE(loaded.Modified);
    EXPECT_EQ(loaded.GetRootNode()->GetChildCount(), 0);
    EXPECT_TRUE(prompt.Messages.empty());
}

TEST(SceneFile, NewProjectTextAndIdenticalResave) {
    clsScene scene;
    const std::string a = TempPath("a.ovp"), b = TempPath("b.ovp");
    ASSERT_TRUE(scene.SaveScene(a));
    const std::string text = Slurp(a);
    EXPECT_EQ(text.rfind("Name = Document\r\nTree = {\r\n  Name = Document\r\n  NodeType = 0\r\n  Hidden = 0\r\n", 0), 0u);
    EXPECT_NE(text.find("  ChildCount = 1\r\n  Child1 = {\r\n    Name = House\r\n    NodeType = 2\r\n"),
              std::string::npos);
    clsScene again;
    ASSERT_TRUE(again.LoadScene(a, false));
    ASSERT_TRUE(again.SaveScene(b));
    EXPECT_EQ(Slurp(b), text);
}

TEST(SceneFile, DefaultsAndClampsOfTheRecord) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene s;
    ASSERT_TRUE(LoadText(s, "Name = X\r\nViewVolumeMin = {\r\nx = -1\r\ny = -1\r\nz = -1\r\n}\r\n"
                            "ViewVolumeMax = {\r\nx = 1\r\ny = 1\r\nz = 1\r\n}\r\nAngleStep = 200\r\n"
                            "Precision = 15\r\n"));
    EXPECT_EQ(s.Precision, 10);
    EXPECT_EQ(s.AngleStep, 180);
    EXPECT_FALSE(s.ShowGrid); // missing booleans read as false ...
    EXPECT_TRUE(s.AutoGrid);  // ... except those whose default is true
    EXPECT_DOUBLE_EQ(s.MajorGrid, 0.5);
    EXPECT_EQ(s.Line.Style, clsOutline::StyleNone); // a missing outline record: no line
    EXPECT_EQ(s.GetRootNode()->GetChildCount(), 0);  // a missing tree: empty

    clsScene p;
    ASSERT_TRUE(LoadText(p, "ViewVolumeMin = {\r\nx = -1\r\ny = -1\r\nz = -1\r\n}\r\nViewVolumeMax = {\r\nx = 1\r\n"
                            "y = 1\r\nz = 1\r\n}\r\nAngleStep = -1\r\nFncCount = 9\r\nFnc1 = F;0;1;\r\nFnc9 = G;1;X;X*2;\r\n"
                            "Tree = {\r\nChildCount = 2\r\nChild1 = {\r\nNodeType = 1\r\n}\r\n}\r\n"));
    EXPECT_EQ(p.Precision, 4);
    EXPECT_EQ(p.AngleStep, 0);
    ASSERT_EQ(p.Functions.size(), 2u);
    EXPECT_EQ(p.Functions[1].GetNameArgs(), "G(X)");
    ASSERT_EQ(p.GetRootNode()->GetChildCount(), 2);
    EXPECT_EQ(p.GetRootNode()->LastChild()->NodeType, clsNode::Root); // the missing child
    EXPECT_TRUE(prompt.Messages.empty());
}

TEST(SceneFile, LoadAndSaveFailures) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene s;
    const std::string missing = TempPath("none/x.ovp");
    EXPECT_FALSE(s.LoadScene(missing, false));
    EXPECT_EQ(prompt.LastText().rfind("Unable to load the project '" + missing + "':\r", 0), 0u);
    EXPECT_EQ(prompt.Messages.back().Icon, PromptIcon::Critical);

    // No view volume and an automatic grid: no grid spacing can be derived.
    EXPECT_FALSE(LoadText(s, "Name = Flat\r\n"));
    EXPECT_EQ(prompt.LastText(), "Unable to load the project '" + TempPath("t.ovp") + "':\rInvalid procedure call or argument");

    // Binary garbage loads as far as it can be understood, without harm.
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
    clsScene g;
    LoadText(g, garbage);

    const std::string keep = TempPath("keep.ovp");
    Spit(keep, "old");
    clsScene saver;
    const std::string dir = TempPath("folder.ovp");
    std::ofstream(TempPath("probe"));
    ::mkdir(dir.c_str(), 0755);
    EXPECT_FALSE(saver.SaveScene(dir));
    EXPECT_EQ(prompt.LastText().rfind("Unable to save the project '" + dir + "':\r", 0), 0u);
    saver.OnDirty();
    EXPECT_FALSE(saver.SaveScene(TempPath("none/y.ovp")));
    EXPECT_TRUE(saver.Modified); // unchanged by the failure
    EXPECT_EQ(Slurp(keep), "old");
}

TEST(SceneFile, ImportKeepsEverythingButAddsTheObjects) {
    clsScene source;
    source.Functions.push_back(clsFncDef());
    const std::string path = TempPath("import.ovp");
    ASSERT_TRUE(source.SaveScene(path));
    clsScene scene;
    scene.Precision = 7;
    ASSERT_TRUE(scene.LoadScene(path, true));
    EXPECT_EQ(scene.Precision, 7);
    EXPECT_TRUE(scene.Functions.empty());
    EXPECT_EQ(scene.GetRootNode()->GetChildCount(), 2);
    EXPECT_TRUE(scene.GetRootNode()->LastChild()->Selected);
    EXPECT_TRUE(scene.Modified);
}

TEST(Scene, CanCloseAsksToSaveModifiedProjects) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene s;
    EXPECT_TRUE(s.CanClose());
    EXPECT_TRUE(prompt.Messages.empty());
    s.OnDirty();
    prompt.Answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(s.CanClose());
    EXPECT_EQ(prompt.LastText(), "Do you want to save the project 'Document'?");
    EXPECT_EQ(prompt.Messages.back().Buttons, PromptButtons::YesNoCancel);
    prompt.Answers = {PromptAnswer::No};
    EXPECT_TRUE(s.CanClose());
    s.FileName = TempPath("close.ovp");
    prompt.Answers = {PromptAnswer::Yes};
    EXPECT_TRUE(s.CanClose()); // saved under its name
    EXPECT_FALSE(s.Modified);
}

TEST(Scene, ResetEyePointAndToggleTool) {
    clsScene s;
    s.ResetEyePoint();
    const clsPerspective& c = s.GetPerspective();
    EXPECT_EQ(c.EyePoint.x, 20);
    EXPECT_EQ(c.EyePoint.z, 20);
    EXPECT_NEAR(c.Normal.x, -1 / std::sqrt(3.0), 1e-12);
    EXPECT_EQ(c.ViewUp.z, 1);
    EXPECT_EQ(s.TreeManager.GetUndoString(), "Reset Eye Point");
    s.TreeManager.Undo();
    EXPECT_EQ(s.GetPerspective().EyePoint.z, 10);

    App() = AppState();
    App().ActiveScene = &s;
    SetTool(ToolLine);
    s.OnToggleTool();
    EXPECT_EQ(App().CurrentTool, ToolPick);
    s.OnToggleTool();
    EXPECT_EQ(App().CurrentTool, ToolLine);
    App() = AppState();
}
