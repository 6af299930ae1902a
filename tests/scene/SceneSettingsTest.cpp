#include <gtest/gtest.h>

#include <cmath>

#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

using namespace ov;

TEST(SceneSettings, Defaults) {
    clsScene s;
    EXPECT_FALSE(s.ShowRulers);
    EXPECT_TRUE(s.ShowGrid);
    EXPECT_TRUE(s.ShowAxes);
    EXPECT_EQ(s.MajorGrid, 5);
    EXPECT_EQ(s.MinorGrid, 1);
    EXPECT_EQ(s.NudgeOffset, 1);
    EXPECT_EQ(s.AngleStep, 3);
    EXPECT_EQ(s.Precision, 4);
    EXPECT_EQ(s.Line.Width, 1);
    EXPECT_EQ(s.Line.Color.GetBlue(), 255);
    EXPECT_EQ(s.Line.Color.GetRed(), 0);
    EXPECT_EQ(s.GridMinor.Color.GetGreen(), 220);
    EXPECT_EQ(s.GridMajor.Color.GetRed(), 192);
    EXPECT_EQ(s.GridHorizon.Color.GetBlue(), 128);
    EXPECT_EQ(s.Horizon.Color.GetGreen(), 128);
    EXPECT_EQ(s.VanishLine.Color.GetRed(), 100);
    EXPECT_EQ(s.CenterOfView.Width, 0.25);
    EXPECT_EQ(s.GetPerspective().EyePoint.x, 20);
    EXPECT_EQ(&s.GetPerspective(), &s.GetPerspective());
}

TEST(SceneSettings, RoundGridStep) {
    const struct {
        double x, step;
    } cases[] = {{40, 5}, {12, 2}, {7, 1}, {0.3, 0.05}, {1000, 100}, {1, 0.2}, {25, 5}, {99, 10}, {0.001, 0.0002}};
    for (const auto& c : cases) EXPECT_NEAR(RoundGridStep(c.x), c.step, c.step * 1e-12) << c.x;
    EXPECT_EQ(RoundGridStep(0), 0);
    EXPECT_EQ(RoundGridStep(-5), 0);
}

TEST(SceneSettings, AutoGridFollowsTheSmallestExtent) {
    clsScene s;
    s.ViewVolumeMin.SetPoint(0, 0, 0);
    s.ViewVolumeMax.SetPoint(100, 12, 1000);
    s.UpdateAutoGrid();
    EXPECT_EQ(s.MajorGrid, 2);
    EXPECT_EQ(s.MinorGrid, 0.4);
    EXPECT_EQ(s.NudgeOffset, 0.4);

    s.AutoGrid = false;
    s.MajorGrid = 3;
    s.MinorGrid = 0.5;
    s.UpdateAutoGrid();
    EXPECT_EQ(s.MajorGrid, 3); // a valid manual grid stays
    EXPECT_EQ(s.MinorGrid, 0.5);
    EXPECT_EQ(s.NudgeOffset, 0.5);

    s.MinorGrid = 0;
    s.UpdateAutoGrid();
    EXPECT_EQ(s.MajorGrid, 2); // an invalid one is recomputed anyway
    s.AutoNudge = false;
    s.NudgeOffset = 7;
    s.UpdateAutoGrid();
    EXPECT_EQ(s.NudgeOffset, 7);
}

namespace {

class RecordingWindow : public IDocumentWindow {
public:
    std::string caption;
    int toolChanges = 0, perspectiveChanges = 0;
    std::int32_t lastTool = -1;
    void SetCaption(const std::string& c) override { caption = c; }
    void UpdateViews() override {}
    void ResetZoom() override {}
    void OnPerspectiveChange() override { ++perspectiveChanges; }
    void OnToolChange(std::int32_t t) override {
        ++toolChanges;
        lastTool = t;
    }
};

struct AppReset {
    AppReset() { App() = AppState(); }
    ~AppReset() { App() = AppState(); }
};

} // namespace

TEST(SceneSettings, DirtyAndCleanMarkTheCaption) {
    clsScene s;
    RecordingWindow w;
    s.BindToDocument(&w);
    s.OnDirty();
    EXPECT_TRUE(s.Modified);
    EXPECT_EQ(w.caption, "Document *");
    w.caption.clear();
    s.OnDirty();
    EXPECT_EQ(w.caption, ""); // already marked
    s.OnClean();
    EXPECT_EQ(w.caption, "Document");
    EXPECT_FALSE(s.Modified);
    s.OnPerspectiveChange();
    EXPECT_TRUE(s.Modified);
    EXPECT_EQ(w.perspectiveChanges, 1);
}

TEST(AppState, SetToolRemembersThePreviousTool) {
    AppReset reset;
    clsScene s;
    RecordingWindow w;
    s.BindToDocument(&w);
    App().ActiveScene = &s;
    SetTool(ToolLine);
    EXPECT_EQ(App().CurrentTool, ToolLine);
    EXPECT_EQ(App().PreviousTool, ToolLine);
    SetTool(ToolZoom);
    EXPECT_EQ(App().CurrentTool, ToolZoom);
    EXPECT_EQ(App().PreviousTool, ToolLine);
    SetTool(App().PreviousTool);
    EXPECT_EQ(App().CurrentTool, ToolLine);
    SetTool(ToolPick);
    EXPECT_EQ(App().PreviousTool, ToolLine); // pick does not replace it
    EXPECT_EQ(w.toolChanges, 4);
    EXPECT_EQ(w.lastTool, ToolPick);
    SetTool(ToolPick); // the same tool again changes nothing
    EXPECT_EQ(w.toolChanges, 4);
    SetTool(ToolBox);
    SetTool(ToolBox);
    EXPECT_EQ(App().PreviousTool, ToolBox);
}

TEST(AppState, NumberText) {
    AppReset reset;
    EXPECT_EQ(GetPrecision(), 4);
    EXPECT_EQ(FormatNumber(2.5), "2.5000");
    clsScene s;
    s.Precision = 3;
    App().ActiveScene = &s;
    EXPECT_EQ(FormatNumber(2.5), "2.500");
    EXPECT_EQ(FormatNumber(-0.0001), "0.000");
    EXPECT_EQ(FormatNumber(-1.23456), "-1.235");
    SetLocaleDecimalPoint(',');
    EXPECT_EQ(FormatNumber(2.5), "2,500");
    SetLocaleDecimalPoint('.');

    EXPECT_EQ(ParseNumber("  1,5  "), 1.5);
    EXPECT_EQ(ParseNumber(""), 0);
    EXPECT_EQ(ParseNumber("abc"), 0);
    EXPECT_EQ(ParseNumber("-2.25mm"), -2.25);
    s.Precision = 2;
    EXPECT_DOUBLE_EQ(ParseNumberClamped("10", 0, 10, false), 9.99);
    EXPECT_DOUBLE_EQ(ParseNumberClamped("0", 0, 10, false), 0.01);
    EXPECT_DOUBLE_EQ(ParseNumberClamped("10", 0, 10, true), 10);
    EXPECT_DOUBLE_EQ(ParseNumberClamped("-4", 0, 10, true), 0);
    EXPECT_DOUBLE_EQ(ParseNumberClamped("5", 0, 10, false), 5);
}

TEST(AppState, ColoursAndAngles) {
    EXPECT_EQ(ColorDistance(0, 0xFFFFFF), 100);
    EXPECT_EQ(ColorDistance(0xFFFFFF, 0), 100);
    EXPECT_EQ(ColorDistance(255, 0), 21); // pure red is 21 % as bright as white
    EXPECT_EQ(ColorDistance(0x00FF00, 0x00FF00), 0);
    EXPECT_DOUBLE_EQ(AngleDifference(3, -3), 6 - 2 * 3.14159265358979);
    EXPECT_DOUBLE_EQ(AngleDifference(-3, 3), -6 + 2 * 3.14159265358979);
    EXPECT_DOUBLE_EQ(AngleDifference(1, 0.5), 0.5);
    EXPECT_DOUBLE_EQ(Atan2(1, 1), std::atan(1.0));
    EXPECT_DOUBLE_EQ(Atan2(1, -1), std::atan(-1.0) + 3.14159265358979);
    EXPECT_DOUBLE_EQ(Atan2(-2, 0), -3.14159265358979 / 2);
    EXPECT_EQ(Atan2(0, 0), 0);
}

namespace {

class ScriptedEscape : public IEscapeKey {
public:
    bool pressed = false;
    bool ReadEscape() override {
        const bool was = pressed;
        pressed = false;
        return was;
    }
};

} // namespace

TEST(AppState, CheckAbortAsksOnlyWhenEscWasPressed) {
    ScriptedEscape key;
    SetEscapeKey(&key);
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    EXPECT_FALSE(CheckAbort(true));
    EXPECT_TRUE(prompt.Messages.empty());
    key.pressed = true;
    EXPECT_TRUE(CheckAbort(false));
    EXPECT_TRUE(prompt.Messages.empty());
    key.pressed = true;
    prompt.Answers.push_back(PromptAnswer::No);
    EXPECT_FALSE(CheckAbort(true));
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), "Do you want to abort the current operation?");
    EXPECT_EQ(prompt.Messages[0].Buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Warning);
    key.pressed = true;
    EXPECT_TRUE(CheckAbort(true)); // Yes
    EXPECT_FALSE(CheckAbort(false)); // the press was consumed
    SetEscapeKey(nullptr);
    EXPECT_EQ(ShowFileDialog("t", "fnl", "", "Function List (*.fnl)|*.fnl", true), "");
}
