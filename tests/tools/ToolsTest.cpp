// The tools as a window drives them, through a host that records what they ask of it.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "geometry/clsLine3D.h"
#include "paint/Canvas.h"
#include "paint/clsView.h"
#include "scene/AppState.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "shapes/clsLine.h"
#include "tools/CursorImage.h"
#include "tools/InputCodes.h"
#include "tools/ToolInteraction.h"

using namespace ov;

namespace {

// The pixels of a document point are whole numbers: what comes back of them is within one
// pixel of the default view's scale (15 pixels a unit).
constexpr double kPixel = 1.0 / 15;

class RecordingHost : public IToolHost {
public:
    bool PreparePort(int) override { return true; }
    void InvalidatePort(int) override {}
    void SetCapture(bool on) override { captures.push_back(on); }
    void SetPortCursor(int, int image) override { cursor = image; }
    void ToggleMaximized() override {}
    bool RestoreLayout() override { return false; }
    void ShowViewTypeList() override {}
    void ActivePortChanged(int) override {}
    void ShowPointerLabel(int, double, double, const std::string& text) override { labels.push_back(text); }
    std::vector<bool> captures;
    std::vector<std::string> labels;
    int cursor = -2;
};

// An empty scene in the four views of a window, the Top view active.
struct Window {
    clsScene scene;
    std::array<Canvas, 4> canvases{Canvas(400, 300), Canvas(400, 300), Canvas(400, 300), Canvas(400, 300)};
    std::array<clsView, 4> views;
    RecordingHost host;
    std::unique_ptr<ToolInteraction> tools;
    explicit Window(std::int32_t tool) {
        while (clsNode* c = scene.GetRootNode()->FirstChild()) c->Delete();
        const std::int32_t types[] = {clsView::Top, clsView::Front, clsView::Left, clsView::Perspective};
        for (std::size_t i = 0; i < 4; ++i) views[i].SetView(types[i], &canvases[i], &scene);
        tools = std::make_unique<ToolInteraction>(scene, views, host);
        SetTool(tool);
    }
    ~Window() { SetTool(ToolPick); }
    std::pair<double, double> Pixel(double x, double y, double z) const {
        double px = 0, py = 0;
        views[0].ConvertPointToScreen(clsPoint3D(x, y, z), px, py);
        return {px, py};
    }
    void Drag(std::pair<double, double> from, std::pair<double, double> to, int shift = 0) {
        tools->MouseDown(0, buttons::Left, from.first, from.second, shift);
        tools->MouseMove(0, (from.first + to.first) / 2, (from.second + to.second) / 2, shift);
        tools->MouseMove(0, to.first, to.second, shift);
        tools->MouseUp(0, buttons::Left, to.first, to.second, shift);
    }
    std::vector<clsLine3D> Lines(const clsNode& node) const {
        std::vector<clsLine3D> lines;
        if (auto* line = dynamic_cast<const clsLine*>(node.Object.get())) lines.push_back(*line->Segment);
        for (const clsNode* c = node.FirstChild(); c; c = c->NextSibling()) {
            const auto more = Lines(*c);
            lines.insert(lines.end(), more.begin(), more.end());
        }
        return lines;
    }
};

} // namespace

TEST(Tools, ALineIsDrawnFromThePressToTheReleaseInOneStep) {
    Window w(ToolLine);
    const auto a = w.Pixel(1, 2, 0), b = w.Pixel(4, 6, 0);
    w.tools->MouseDown(0, buttons::Left, a.first, a.second, 0);
    EXPECT_EQ(w.tools->GetDragState(), ToolInteraction::Pressed);
    w.tools->MouseMove(0, a.first + 10, a.second, 0);
    EXPECT_EQ(w.tools->GetDragState(), ToolInteraction::CreatingLine);
    w.tools->MouseMove(0, b.first, b.second, 0);
    ASSERT_NE(w.tools->PreviewNode(), nullptr);
    w.tools->MouseUp(0, buttons::Left, b.first, b.second, 0);
    EXPECT_EQ(w.tools->GetDragState(), ToolInteraction::Idle);
    EXPECT_EQ(w.host.captures, (std::vector<bool>{true, false}));
    EXPECT_EQ(w.scene.TreeManager.GetUndoString(), "Create");
    const auto lines = w.Lines(*w.scene.GetRootNode());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].StartPoint.x, 1, kPixel);
    EXPECT_NEAR(lines[0].StartPoint.y, 2, kPixel);
    EXPECT_NEAR(lines[0].EndPoint.x, 4, kPixel);
    EXPECT_NEAR(lines[0].EndPoint.y, 6, kPixel);
    EXPECT_EQ(w.scene.TreeManager.GetSelectedCount(), 1);
}

TEST(Tools, ABoxTakesItsHeightWithTheButtonUpAndEscLeavesNothing) {
    Window w(ToolBox);
    w.Drag(w.Pixel(0, 0, 0), w.Pixel(2, 3, 0));
    EXPECT_EQ(w.tools->GetDragState(), ToolInteraction::ChoosingBoxHeight);
    EXPECT_TRUE(w.tools->Captured());
    // The height is read off the vertical distance in the Top view: 5 units up the screen.
    const auto top = w.Pixel(2, 8, 0);
    w.tools->MouseMove(0, top.first, top.second, 0);
    EXPECT_NEAR(std::fabs(w.tools->BoxHeight()), 5, 2 * kPixel);
    w.tools->MouseUp(0, buttons::Left, top.first, top.second, 0);
    EXPECT_EQ(w.Lines(*w.scene.GetRootNode()).size(), 12u);
    EXPECT_FALSE(w.tools->Captured());

    const int steps = w.scene.TreeManager.UndoIndex;
    w.Drag(w.Pixel(5, 5, 0), w.Pixel(7, 7, 0));
    w.tools->KeyDown(keys::Escape, 0);
    EXPECT_EQ(w.tools->GetDragState(), ToolInteraction::Idle);
    EXPECT_EQ(w.Lines(*w.scene.GetRootNode()).size(), 12u);
    EXPECT_EQ(w.scene.TreeManager.UndoIndex, steps);
}

TEST(Tools, APickMarqueeSelectsWhatItHoldsWhole) {
    Window w(ToolPick);
    for (const double x : {1.0, 5.0}) w.scene.TreeManager.AddNode(w.scene.TreeManager.CreateLineNode(x, 1, 0, x + 1, 2, 0, ""));
    w.scene.TreeManager.ClearSelection();
    w.Drag(w.Pixel(0, 0, 0), w.Pixel(3, 3, 0));
    EXPECT_EQ(w.scene.TreeManager.GetSelectedCount(), 1);
    EXPECT_EQ(w.host.cursor, CursorPick);
}

TEST(Tools, MeasuringShowsDistanceAndAngleAndChangesNothing) {
    Window w(ToolMeasure);
    w.scene.MinorGrid = 1; // Shift snaps the two points to whole units
    w.scene.AutoGrid = false;
    const std::string before = w.scene.TreeManager.GetUndoString();
    w.Drag(w.Pixel(1, 2, 0), w.Pixel(4, 6, 0), keys::ShiftBit);
    // From (1, 2) to (4, 6): 3 and 4 along X and Y, 5 apart, at atan(4 / 3) = 53.130 degrees.
    const std::string measured = "Distance 5   dX 3   dY 4   dZ 0   Angle 53.1301\u00b0";
    EXPECT_EQ(w.tools->Hint(false), "Measured: " + measured + " \u2014 arrow keys move the eye point");
    ASSERT_GE(w.host.labels.size(), 2u);
    EXPECT_EQ(w.host.labels[w.host.labels.size() - 2], measured);
    EXPECT_EQ(w.host.labels.back(), "");
    EXPECT_EQ(w.Lines(*w.scene.GetRootNode()).size(), 0u);
    EXPECT_EQ(w.scene.TreeManager.GetUndoString(), before);
}
