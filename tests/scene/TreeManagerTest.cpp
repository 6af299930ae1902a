#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "io/clsStream.h"
#include "paint/Canvas.h"
#include "paint/clsView.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/clsScene.h"
#include "shapes/clsLine.h"

using namespace ov;

namespace {

// An object list that keeps its items in a tree, as the tree widget does.
class FakeTreeView : public ITreeView {
public:
    struct Entry {
        TreeItem item;
        std::string parent;
        std::vector<std::string> children;
    };
    std::map<std::string, Entry> entries;
    std::vector<std::string> top;
    std::string selected, editing;

    void Clear() override { entries.clear(), top.clear(); }
    void AddItem(const std::string& parentKey, const std::string& beforeKey, const TreeItem& item) override {
        auto& list = parentKey.empty() ? top : entries.at(parentKey).children;
        list.insert(beforeKey.empty() ? list.end() : std::find(list.begin(), list.end(), beforeKey), item.Key);
        entries[item.Key] = {item, parentKey, {}};
    }
    void RemoveItem(const std::string& key) override {
        auto it = entries.find(key);
        if (it == entries.end()) return;
        for (const auto& c : std::vector<std::string>(it->second.children)) RemoveItem(c);
        auto& list = it->second.parent.empty() ? top : entries.at(it->second.parent).children;
        list.erase(std::remove(list.begin(), list.end(), key), list.end());
        entries.erase(key);
    }
    void UpdateItem(const TreeItem& item) override {
        if (auto it = entries.find(item.Key); it != entries.end()) it->second.item = item;
    }
    void SetCurrent(const std::string& key) override { selected = key; }
    std::string SelectedKey() const override { return selected; }
    void StartLabelEdit(const std::string& key) override { editing = key; }
    std::vector<std::string> ChildTexts(const std::string& key) const {
        std::vector<std::string> texts;
        for (const auto& c : entries.at(key).children) texts.push_back(entries.at(c).item.Text);
        return texts;
    }
};

double g_now = 1000;

clsNode* Child(clsNode* parent, const std::string& name) {
    for (clsNode* c = parent->FirstChild(); c; c = c->NextSibling())
        if (c->GetNodeName() == name) return c;
    return nullptr;
}

std::vector<std::string> Names(const clsNode* parent) {
    std::vector<std::string> names;
    for (const clsNode* c = parent->FirstChild(); c; c = c->NextSibling()) names.push_back(c->GetNodeName());
    return names;
}

// A new document shown in the object list, with the clock under the test's control.
class TreeManagerTest : public testing::Test {
protected:
    TreeManagerTest() {
        SetClock([] { return g_now; });
        scene.Activate(&tv);
    }
    ~TreeManagerTest() override { SetClock(nullptr); }
    clsNode* House() { return Child(tm.Root.get(), "House"); }
    clsNode* Part(const std::string& name) { return Child(House(), name); }
    void Select(std::initializer_list<clsNode*> nodes) {
        bool add = false;
        for (clsNode* n : nodes) tm.SelectNodeByKey(n->Key, std::exchange(add, true));
    }
    clsScene scene;
    FakeTreeView tv;
    clsTreeManager& tm = scene.TreeManager;
};

} // namespace

TEST_F(TreeManagerTest, NewDocumentShowsTheHouse) {
    ASSERT_EQ(tv.top.size(), 1u);
    const auto& root = tv.entries.at(tv.top[0]);
    EXPECT_EQ(root.item.Text, "Document");
    EXPECT_TRUE(root.item.Expanded);
    EXPECT_FALSE(tv.entries.at(House()->Key).item.Expanded);
    EXPECT_EQ(tv.ChildTexts(root.item.Key), std::vector<std::string>{"House"});
    EXPECT_EQ(tv.ChildTexts(House()->Key),
              (std::vector<std::string>{"Bottom", "End 1", "End 2", "Bar 1", "Bar 2", "Roof Ridge", "Window 1",
                                        "Window 2", "Door", "Window 3", "Window 4", "Chimney"}));
    EXPECT_EQ(Part("Chimney")->GetChildCount(), 12);
    EXPECT_EQ(tv.ChildTexts(Part("Chimney")->Key)[0], "Line");
    clsPoint3D min, max;
    House()->GetBBox(min, max);
    EXPECT_EQ(max.x, 8);
    EXPECT_EQ(max.y, 10);
    EXPECT_EQ(max.z, 7);
    scene.DeActivate();
    EXPECT_TRUE(tv.entries.empty());
}

TEST_F(TreeManagerTest, SelectingAGroupSelectsItsSubtreeAndCountingKeepsTheSelection) {
    int selectionEvents = 0;
    scene.SelectionNotification = [&] { ++selectionEvents; };
    Select({House()});
    EXPECT_EQ(tm.GetSelectedCount(), 1);
    EXPECT_EQ(tm.GetSelection(), House());
    const clsNode* line = Part("Bottom")->FirstChild();
    EXPECT_TRUE(line->Selected);
    EXPECT_TRUE(tv.entries.at(line->Key).item.Bold);
    EXPECT_EQ(tv.entries.at(line->Key).item.Color, TreeItemColor::Red);
    EXPECT_EQ(selectionEvents, 1);
    EXPECT_TRUE(tm.ClearSelection());
    EXPECT_FALSE(tm.ClearSelection());

    // The count and the first member are asked for while the window holds the selection.
    Select({Part("Bottom"), Part("Chimney")});
    clsNode* several = tm.GetSelection();
    ASSERT_TRUE(several && several->IsSelection());
    EXPECT_EQ(tm.GetSelectedCount(), 2);
    EXPECT_EQ(tm.GetFirstSelected(), Part("Bottom"));
    ASSERT_EQ(several->SelectionList.size(), 2u);
    EXPECT_EQ(several->SelectionList.back(), Part("Chimney"));
}

TEST_F(TreeManagerTest, ShiftClicksExtendAmongSiblingsOnly) {
    clsNode* inBottom = Part("Bottom")->FirstChild();
    tm.ClickNode(Part("Bar 1"), false);
    tm.ClickNode(Part("Bar 2"), true);
    EXPECT_EQ(tm.GetSelectedCount(), 2);
    tm.ClickNode(inBottom, true); // not a sibling: starts a new selection
    EXPECT_EQ(tm.GetSelection(), inBottom);
    tm.ClickNode(inBottom, true); // shift-click on a selected node unselects it
    EXPECT_EQ(tm.GetSelectedCount(), 0);
    for (const char* name : {"Bar 1", "Bar 2"}) {
        tm.OnMouseDown(1);
        tm.OnNodeClick(Part(name)->Key);
    }
    EXPECT_EQ(tm.GetSelectedCount(), 2);
}

TEST_F(TreeManagerTest, HitTestingWithAndWithoutDrill) {
    Canvas canvas(400, 300);
    clsView view;
    view.SetView(clsView::Top, &canvas, &scene); // 7.5 pixels per unit around (200, 150)
    const double x = 200 + 7.5 * 8, y = 150 - 7.5 * 5; // (8, 5): only on Bottom's second line
    EXPECT_EQ(tm.HitTest(x, y, view, false, 4), House()); // unselected: the top-level group
    Select({Part("Bottom")});
    clsNode* drilled = tm.HitTest(x, y, view, true, 4);
    ASSERT_NE(drilled, nullptr);
    EXPECT_EQ(drilled->Parent(), Part("Bottom"));
    EXPECT_EQ(tm.HitTest(x, y, view, false, 4), Part("Bottom"));
    EXPECT_EQ(tm.HitTest(5, 5, view, false, 4), nullptr);
}

TEST_F(TreeManagerTest, DeleteGroupDuplicateUngroup) {
    clsNode* bottom = Part("Bottom");
    const std::string bottomKey = bottom->Key;
    tm.SelectNodeByKey(bottom->FirstChild()->Key, false);
    for (clsNode* c = bottom->FirstChild()->NextSibling(); c; c = c->NextSibling()) tm.SelectNodeByKey(c->Key, true);
    tm.DeleteSelected(false); // all lines of a group: the empty group goes as well
    EXPECT_EQ(Part("Bottom"), nullptr);
    EXPECT_EQ(tm.GetUndoString(), "Delete");
    EXPECT_TRUE(scene.Modified);
    EXPECT_EQ(tv.entries.count(bottomKey), 0u);

    Select({Part("Bar 2"), Part("Window 1")}); // B and D of A, B, C, D
    tm.GroupSelected();
    const std::vector<std::string> names = Names(House());
    ASSERT_GE(names.size(), 5u);
    EXPECT_EQ(names[3], "Group of 2 objects");
    EXPECT_EQ(names[4], "Roof Ridge");
    EXPECT_EQ(tm.GetUndoString(), "Group");
    const std::size_t steps = tm.UndoList.size();
    Select({Part("Bar 1")});
    tm.GroupSelected(); // one node: nothing, and no undo step
    EXPECT_EQ(tm.UndoList.size(), steps);

    clsNode* ridge = Part("Roof Ridge");
    Select({ridge});
    tm.DuplicateSelected(); // the copy of a nested node goes to the top level, selected
    EXPECT_EQ(tm.GetSelection(), tm.Root->LastChild());
    EXPECT_EQ(tm.Root->LastChild()->GetNodeName(), "Roof Ridge");
    EXPECT_NE(tm.Root->LastChild()->Key, ridge->Key);
    EXPECT_EQ(tm.GetUndoString(), "Duplicate");

    Select({House()});
    tm.UngroupSelected();
    EXPECT_EQ(House(), nullptr);
    EXPECT_NE(Child(tm.Root.get(), "Chimney"), nullptr);
    EXPECT_EQ(tm.GetUndoString(), "Ungroup");
    EXPECT_EQ(tv.ChildTexts(tm.Root->Key).size(), static_cast<std::size_t>(tm.Root->GetChildCount()));
}

TEST_F(TreeManagerTest, ShowHideAndRename) {
    clsNode* door = Part("Door");
    Select({door});
    tm.ShowSelectedObjects();
    EXPECT_TRUE(House()->Hidden);
    EXPECT_FALSE(door->Hidden);
    EXPECT_EQ(tv.entries.at(House()->Key).item.Color, TreeItemColor::GrayText);
    tm.ToggleSelectionVisiblity();
    EXPECT_TRUE(door->Hidden);
    tm.ShowAllObjects();
    EXPECT_FALSE(House()->Hidden);
    EXPECT_EQ(tm.GetUndoString(), "Show All Objects");

    tv.selected = door->Key;
    EXPECT_TRUE(tm.OnBeforeLabelEdit());
    EXPECT_TRUE(tm.OnAfterLabelEdit(""));
    EXPECT_EQ(tv.entries.at(door->Key).item.Text, "Group of 4 objects");
    EXPECT_EQ(tm.GetUndoString(), "Rename");
    tv.selected = tm.Root->Key;
    EXPECT_FALSE(tm.OnBeforeLabelEdit()); // the root keeps its name
    EXPECT_FALSE(tm.OnAfterLabelEdit("Other"));
    tv.selected = door->Key;
    Select({House()}); // the current item follows the selection, so F2 renames the selected node
    EXPECT_EQ(tv.selected, House()->Key);
    tm.OnKeyDown(113, 0);
    EXPECT_EQ(tv.editing, House()->Key);
    tm.OnExpand(House()->Key, true);
    EXPECT_TRUE(House()->Expanded);
}

TEST_F(TreeManagerTest, UndoStepsSwapAndKeepTheModifiedState) {
    EXPECT_EQ(tm.GetUndoString(), "");
    tm.PushUndoPerspective("Reset Eye Point");
    scene.GetPerspective().EyePoint.SetPoint(1, 2, 3);
    const std::string ridgeKey = Part("Roof Ridge")->Key;
    Select({Part("Roof Ridge")});
    tm.DeleteSelected(false);
    tm.Undo(); // the tree step restores the tree only
    EXPECT_EQ(scene.GetPerspective().EyePoint.x, 1);
    ASSERT_NE(tm.FindNode(ridgeKey), nullptr); // same keys after undo
    EXPECT_EQ(tv.entries.count(ridgeKey), 1u);
    EXPECT_EQ(tm.GetRedoString(), "Delete");
    tm.Undo(); // the camera step
    EXPECT_EQ(scene.GetPerspective().EyePoint.x, 20);
    EXPECT_FALSE(scene.Modified);
    tm.Redo();
    tm.Redo();
    EXPECT_TRUE(scene.Modified);
    EXPECT_EQ(tm.FindNode(ridgeKey), nullptr);
    EXPECT_EQ(scene.GetPerspective().EyePoint.x, 1);

    // After a save every undo marks the document modified but the one back to the save.
    scene.OnClean();
    tm.MarkAllUndoDirty();
    tm.Undo();
    EXPECT_TRUE(scene.Modified);
    tm.Redo();
    EXPECT_FALSE(scene.Modified);
}

TEST_F(TreeManagerTest, TwentyUndoStepsAtMostAndRedoDiscarded) {
    for (int i = 0; i < 25; ++i) {
        Select({tm.AddNode(tm.CreateLineNode(0, 0, 0, i, 0, 0, "L"))});
        tm.DeleteSelected(false);
    }
    EXPECT_EQ(tm.UndoList.size(), 20u);
    EXPECT_EQ(tm.UndoIndex, 20);
    tm.Undo();
    tm.Undo();
    EXPECT_TRUE(tm.CanRedo());
    tm.PushUndoTree("Move");
    EXPECT_FALSE(tm.CanRedo());
    EXPECT_EQ(tm.UndoList.size(), 19u);
}

TEST_F(TreeManagerTest, QuickRepeatsOfOneStepMerge) {
    const std::string key = Part("Roof Ridge")->Key;
    for (double t : {1000.0, 1001.0, 1002.0, 1006.0, 1006.5, 1007.0}) {
        g_now = t;
        tm.PushUndoTree(t == 1006.5 ? "Rotate" : "Nudge", true); // four seconds apart or another step separate
        if (t != 1006.5) tm.FindNode(key)->Translate(1, 0, 0);
    }
    EXPECT_EQ(tm.UndoList.size(), 4u);
    for (int i = 0; i < 4; ++i) tm.Undo();
    EXPECT_DOUBLE_EQ(tm.FindNode(key)->GetLine()->Segment->StartPoint.x, 4); // before the first nudge
}

TEST_F(TreeManagerTest, ImportAddsSelectedTopLevelObjects) {
    clsStream record;
    clsScene().TreeManager.WriteData(record);
    tm.ImportData(record);
    EXPECT_EQ(Names(tm.Root.get()), (std::vector<std::string>{"House", "House"}));
    EXPECT_TRUE(tm.Root->LastChild()->Selected);
    EXPECT_FALSE(tm.Root->FirstChild()->Selected);
    EXPECT_EQ(tm.GetUndoString(), "Import");
    clsScene other;
    other.TreeManager.ImportData(clsStream());
    EXPECT_EQ(other.TreeManager.GetUndoString(), "");
}

TEST_F(TreeManagerTest, GroupingStopsAtTheDepthAProjectMayHave) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    tm.SelectAll();
    tm.DeleteSelected(false);
    clsNode* a = tm.AddNode(tm.CreateLineNode(0, 0, 0, 1, 0, 0, "A"));
    int groups = 0;
    for (int i = 0; i < clsNode::MaxDepth + 5 && prompt.Messages.empty(); ++i, ++groups) {
        Select({a, tm.AddNode(tm.CreateLineNode(0, 0, 0, 0, 0, i, "L"))});
        tm.GroupSelected();
        a = tm.Root->FirstChild();
    }
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), "The objects are nested too deeply to be grouped again.");
    EXPECT_LE(tm.Root->GetHeight(), clsNode::MaxDepth);
    EXPECT_GT(groups, clsNode::MaxDepth - 5);
    clsStream written;
    tm.WriteData(written);
    EXPECT_TRUE(clsScene().TreeManager.ReadData(written)); // a tree that deep still reads back whole
}
