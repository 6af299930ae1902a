#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "io/clsStream.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/clsScene.h"
#include "shapes/clsLine.h"
#include "paint/Canvas.h"
#include "paint/clsView.h"

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
    std::string selected;
    std::string editing;

    void Clear() override {
        entries.clear();
        top.clear();
    }
    void AddItem(const std::string& parentKey, const std::string& beforeKey, const TreeItem& item) override {
        auto& list = parentKey.empty() ? top : entries.at(parentKey).children;
        auto at = beforeKey.empty() ? list.end() : std::find(list.begin(), list.end(), beforeKey);
        list.insert(at, item.Key);
        entries[item.Key] = {item, parentKey, {}};
    }
    void RemoveItem(const std::string& key) override {
        auto it = entries.find(key);
        if (it == entries.end()) return;
        const std::vector<std::string> children = it->second.children;
        for (const auto& c : children) RemoveItem(c);
        auto& list = it->second.parent.empty() ? top : entries.at(it->second.parent).children;
        list.erase(std::remove(list.begin(), list.end(), key), list.end());
        entries.erase(key);
    }
    std::vector<std::string> ItemKeys() const override {
        std::vector<std::string> keys;
        for (const auto& e : entries) keys.push_back(e.first);
        return keys;
    }
    void UpdateItem(const TreeItem& item) override { entries.at(item.Key).item = item; }
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
double TestClock() { return g_now; }

struct ClockGuard {
    ClockGuard() { SetClock(&TestClock); }
    ~ClockGuard() { SetClock(nullptr); }
};

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

} // namespace

TEST(TreeManager, NewDocumentShowsTheHouse) {
    clsScene scene;
    FakeTreeView tv;
    scene.Activate(&tv);
    ASSERT_EQ(tv.top.size(), 1u);
    const auto& root = tv.entries.at(tv.top[0]);
    EXPECT_EQ(root.item.Text, "Document");
    EXPECT_TRUE(root.item.Expanded);
    ASSERT_EQ(root.children.size(), 1u);
    const auto& house = tv.entries.at(root.children[0]);
    EXPECT_EQ(house.item.Text, "House");
    EXPECT_FALSE(house.item.Expanded);
    EXPECT_EQ(tv.ChildTexts(house.item.Key),
              (std::vector<std::string>{"Bottom", "End 1", "End 2", "Bar 1", "Bar 2", "Roof Ridge", "Window 1",
                                        "Window 2", "Door", "Window 3", "Window 4", "Chimney"}));
    clsNode* chimney = Child(Child(scene.GetRootNode(), "House"), "Chimney");
    EXPECT_EQ(chimney->GetChildCount(), 12);
    EXPECT_EQ(tv.ChildTexts(chimney->Key)[0], "Line");
    clsPoint3D min, max;
    Child(scene.GetRootNode(), "House")->GetBBox(min, max);
    EXPECT_EQ(max.x, 8);
    EXPECT_EQ(max.y, 10);
    EXPECT_EQ(max.z, 7);
    scene.DeActivate();
    EXPECT_TRUE(tv.entries.empty());
}

TEST(TreeManager, SelectingAGroupSelectsItsSubtree) {
    clsScene scene;
    FakeTreeView tv;
    scene.Activate(&tv);
    int selectionEvents = 0;
    scene.SelectionNotification = [&] { ++selectionEvents; };
    clsTreeManager& tm = scene.TreeManager;
    clsNode* house = Child(tm.Root.get(), "House");
    tm.SelectNodeByKey(house->Key, false);
    EXPECT_EQ(tm.GetSelectedCount(), 1);
    EXPECT_EQ(tm.GetSelection(), house);
    const clsNode* line = Child(house, "Bottom")->FirstChild();
    EXPECT_TRUE(line->Selected);
    EXPECT_TRUE(tv.entries.at(line->Key).item.Bold);
    EXPECT_EQ(tv.entries.at(line->Key).item.Color, TreeItemColor::Red);
    EXPECT_EQ(selectionEvents, 1);
    EXPECT_TRUE(tm.ClearSelection());
    EXPECT_FALSE(tm.ClearSelection());
    EXPECT_EQ(tm.GetSelectedCount(), 0);

    // A selection of several nodes stays usable while the count and the first member are
    // asked for (the window asks both while it holds the selection).
    tm.SelectNodeByKey(Child(house, "Bottom")->Key, false);
    tm.SelectNodeByKey(Child(house, "Chimney")->Key, true);
    clsNode* several = tm.GetSelection();
    ASSERT_TRUE(several && several->IsSelection());
    EXPECT_EQ(tm.GetSelectedCount(), 2);
    EXPECT_EQ(tm.GetFirstSelected(), Child(house, "Bottom"));
    EXPECT_EQ(several->SelectionList.size(), 2u);
    EXPECT_EQ(several->SelectionList.back(), Child(house, "Chimney"));
}

TEST(TreeManager, ShiftClicksExtendAmongSiblingsOnly) {
    clsScene scene;
    clsTreeManager& tm = scene.TreeManager;
    clsNode* house = Child(tm.Root.get(), "House");
    clsNode* bar1 = Child(house, "Bar 1");
    clsNode* bar2 = Child(house, "Bar 2");
    clsNode* inBottom = Child(house, "Bottom")->FirstChild();
    tm.ClickNode(bar1, false);
    tm.ClickNode(bar2, true);
    EXPECT_EQ(tm.GetSelectedCount(), 2);
    tm.ClickNode(inBottom, true); // not a sibling: starts a new selection
    EXPECT_EQ(tm.GetSelectedCount(), 1);
    EXPECT_EQ(tm.GetSelection(), inBottom);
    tm.ClickNode(inBottom, true); // shift-click on a selected node unselects it
    EXPECT_EQ(tm.GetSelectedCount(), 0);
    tm.OnMouseDown(1);
    tm.OnNodeClick(bar1->Key);
    tm.OnMouseDown(1);
    tm.OnNodeClick(bar2->Key);
    EXPECT_EQ(tm.GetSelectedCount(), 2);
}

TEST(TreeManager, HitTestingWithAndWithoutDrill) {
    clsScene scene;
    Canvas canvas(400, 300);
    clsView view;
    view.SetView(clsView::Top, &canvas, &scene); // 7.5 pixels per unit around (200, 150)
    clsTreeManager& tm = scene.TreeManager;
    clsNode* house = Child(tm.Root.get(), "House");
    clsNode* bottom = Child(house, "Bottom");
    // The first line of "Bottom" runs along y = 0 from x = 0 to 8; (4, 0) is on it
    // (and under "End 1", which starts at the same place: pick a point only "Bottom" has).
    const double x = 200 + 7.5 * 8, y = 150 - 7.5 * 5; // (8, 5): Bottom's second line
    EXPECT_EQ(tm.HitTest(x, y, view, false, 4), house); // unselected: the top-level group
    tm.SelectNodeByKey(bottom->Key, false);
    clsNode* drilled = tm.HitTest(x, y, view, true, 4);
    ASSERT_NE(drilled, nullptr);
    EXPECT_EQ(drilled->Parent(), bottom);
    EXPECT_EQ(drilled->NodeType, clsNode::Line);
    EXPECT_EQ(tm.HitTest(x, y, view, false, 4), bottom);
    EXPECT_EQ(tm.HitTest(5, 5, view, false, 4), nullptr);
}

TEST(TreeManager, DeleteGroupDuplicateUngroup) {
    clsScene scene;
    FakeTreeView tv;
    scene.Activate(&tv);
    clsTreeManager& tm = scene.TreeManager;
    clsNode* house = Child(tm.Root.get(), "House");
    clsNode* bottom = Child(house, "Bottom");
    const std::string bottomKey = bottom->Key;
    // Deleting all lines of a group removes the now empty group as well.
    tm.SelectNodeByKey(bottom->FirstChild()->Key, false);
    for (clsNode* c = bottom->FirstChild()->NextSibling(); c; c = c->NextSibling()) tm.SelectNodeByKey(c->Key, true);
    EXPECT_EQ(tm.GetSelectedCount(), 4);
    tm.DeleteSelected(false);
    EXPECT_EQ(Child(house, "Bottom"), nullptr);
    EXPECT_EQ(tm.GetUndoString(), "Delete");
    EXPECT_TRUE(scene.Modified);
    EXPECT_EQ(tv.entries.count(bottomKey), 0u); // and its item

    // Grouping B and D of A, B, C, D.
    clsNode* a = Child(house, "Bar 1");
    clsNode* b = Child(house, "Bar 2");
    clsNode* c = Child(house, "Roof Ridge");
    clsNode* d = Child(house, "Window 1");
    (void)a;
    (void)c;
    tm.SelectNodeByKey(b->Key, false);
    tm.SelectNodeByKey(d->Key, true);
    tm.GroupSelected();
    const std::vector<std::string> names = Names(house);
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[2], "Bar 1");
    EXPECT_EQ(names[3], "Group of 2 objects");
    EXPECT_EQ(names[4], "Roof Ridge");
    EXPECT_EQ(tm.GetUndoString(), "Group");
    const std::size_t steps = tm.UndoList.size();
    tm.SelectNodeByKey(a->Key, false);
    tm.GroupSelected(); // one node: nothing, and no undo step
    EXPECT_EQ(tm.UndoList.size(), steps);

    // Duplicating a nested node puts the copy at the top level, selected.
    clsNode* ridge = Child(house, "Roof Ridge");
    tm.SelectNodeByKey(ridge->Key, false);
    tm.DuplicateSelected();
    EXPECT_EQ(Names(tm.Root.get()).back(), "Roof Ridge");
    EXPECT_EQ(tm.GetSelection(), tm.Root->LastChild());
    EXPECT_NE(tm.Root->LastChild()->Key, ridge->Key);
    EXPECT_EQ(tm.GetUndoString(), "Duplicate");

    // Ungrouping the house puts its parts at the top level.
    tm.SelectNodeByKey(house->Key, false);
    tm.UngroupSelected();
    EXPECT_EQ(Child(tm.Root.get(), "House"), nullptr);
    EXPECT_NE(Child(tm.Root.get(), "Chimney"), nullptr);
    EXPECT_EQ(tm.GetUndoString(), "Ungroup");
    EXPECT_EQ(tv.ChildTexts(tm.Root->Key).size(), static_cast<std::size_t>(tm.Root->GetChildCount()));
}

TEST(TreeManager, ShowHideAndRename) {
    clsScene scene;
    FakeTreeView tv;
    scene.Activate(&tv);
    clsTreeManager& tm = scene.TreeManager;
    clsNode* house = Child(tm.Root.get(), "House");
    clsNode* door = Child(house, "Door");
    tm.SelectNodeByKey(door->Key, false);
    tm.ShowSelectedObjects();
    EXPECT_TRUE(house->Hidden);
    EXPECT_FALSE(door->Hidden);
    EXPECT_EQ(tv.entries.at(house->Key).item.Color, TreeItemColor::GrayText);
    tm.ToggleSelectionVisiblity();
    EXPECT_TRUE(door->Hidden);
    tm.ShowAllObjects();
    EXPECT_FALSE(house->Hidden);
    EXPECT_EQ(tm.GetUndoString(), "Show All Objects");

    tv.selected = door->Key;
    EXPECT_TRUE(tm.OnBeforeLabelEdit());
    EXPECT_TRUE(tm.OnAfterLabelEdit(""));
    EXPECT_EQ(door->Name, "");
    EXPECT_EQ(tv.entries.at(door->Key).item.Text, "Group of 4 objects");
    EXPECT_EQ(tm.GetUndoString(), "Rename");
    tv.selected = tm.Root->Key;
    EXPECT_FALSE(tm.OnBeforeLabelEdit()); // the root keeps its name
    EXPECT_FALSE(tm.OnAfterLabelEdit("Other"));
    // The list's current item follows the selection, so F2 renames the selected node.
    tv.selected = door->Key;
    tm.SelectNodeByKey(house->Key, false);
    EXPECT_EQ(tv.selected, house->Key);
    tm.OnKeyDown(113, 0);
    EXPECT_EQ(tv.editing, house->Key);
    tm.OnExpand(house->Key, true);
    EXPECT_TRUE(house->Expanded);
}

TEST(Undo, StepsSwapAndKeepTheModifiedState) {
    ClockGuard clock;
    clsScene scene;
    FakeTreeView tv;
    scene.Activate(&tv);
    clsTreeManager& tm = scene.TreeManager;
    EXPECT_EQ(tm.GetUndoString(), "");
    clsNode* ridge = Child(Child(tm.Root.get(), "House"), "Roof Ridge");
    const std::string ridgeKey = ridge->Key;
    tm.SelectNodeByKey(ridgeKey, false);
    tm.DeleteSelected(false);
    EXPECT_TRUE(scene.Modified);
    EXPECT_EQ(tm.FindNode(ridgeKey), nullptr);
    tm.Undo();
    EXPECT_FALSE(scene.Modified); // back to the unmodified state
    ASSERT_NE(tm.FindNode(ridgeKey), nullptr); // same keys after undo
    EXPECT_EQ(tv.entries.count(ridgeKey), 1u);
    EXPECT_EQ(tm.GetRedoString(), "Delete");
    tm.Redo();
    EXPECT_TRUE(scene.Modified);
    EXPECT_EQ(tm.FindNode(ridgeKey), nullptr);

    // After a save every undo marks the document modified but the one back to the save.
    scene.OnClean();
    tm.MarkAllUndoDirty();
    tm.Undo();
    EXPECT_TRUE(scene.Modified);
    tm.Redo();
    EXPECT_FALSE(scene.Modified);
}

TEST(Undo, TwentyStepsAtMostAndRedoDiscarded) {
    ClockGuard clock;
    clsScene scene;
    clsTreeManager& tm = scene.TreeManager;
    for (int i = 0; i < 25; ++i) {
        tm.AddNode(tm.CreateLineNode(0, 0, 0, i, 0, 0, "L" + std::to_string(i)));
        tm.SelectNodeByKey(tm.Root->LastChild()->Key, false);
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

TEST(Undo, QuickRepeatsMerge) {
    ClockGuard clock;
    clsScene scene;
    clsTreeManager& tm = scene.TreeManager;
    clsNode* ridge = Child(Child(tm.Root.get(), "House"), "Roof Ridge");
    const std::string key = ridge->Key;
    auto nudge = [&] {
        tm.PushUndoTree("Nudge", true);
        tm.FindNode(key)->Translate(1, 0, 0);
    };
    g_now = 1000;
    nudge();
    g_now = 1001;
    nudge();
    g_now = 1002;
    nudge();
    EXPECT_EQ(tm.UndoList.size(), 1u);
    g_now = 1006; // four seconds later: a new step
    nudge();
    EXPECT_EQ(tm.UndoList.size(), 2u);
    g_now = 1006.5;
    tm.PushUndoTree("Rotate", true);
    g_now = 1007;
    nudge(); // a rotation in between separates them
    EXPECT_EQ(tm.UndoList.size(), 4u);
    tm.Undo();
    tm.Undo();
    tm.Undo();
    tm.Undo();
    EXPECT_DOUBLE_EQ(tm.FindNode(key)->GetLine()->Segment->StartPoint.x, 4); // before the first nudge
}

TEST(Undo, CameraAndTreeStepsRestoreTheirOwnPart) {
    ClockGuard clock;
    clsScene scene;
    clsTreeManager& tm = scene.TreeManager;
    tm.PushUndoPerspective("Reset Eye Point");
    scene.GetPerspective().EyePoint.SetPoint(1, 2, 3);
    clsNode* ridge = Child(Child(tm.Root.get(), "House"), "Roof Ridge");
    tm.SelectNodeByKey(ridge->Key, false);
    tm.DeleteSelected(false);
    tm.Undo(); // the tree step
    EXPECT_EQ(scene.GetPerspective().EyePoint.x, 1);
    EXPECT_NE(Child(Child(tm.Root.get(), "House"), "Roof Ridge"), nullptr);
    tm.Undo(); // the camera step
    EXPECT_EQ(scene.GetPerspective().EyePoint.x, 20);
    tm.Redo();
    EXPECT_EQ(scene.GetPerspective().EyePoint.x, 1);
}

TEST(TreeManager, ImportAddsSelectedTopLevelObjects) {
    clsScene source;
    clsStream record;
    source.TreeManager.WriteData(record);
    clsScene scene;
    scene.TreeManager.ImportData(record);
    EXPECT_EQ(Names(scene.GetRootNode()), (std::vector<std::string>{"House", "House"}));
    EXPECT_TRUE(scene.GetRootNode()->LastChild()->Selected);
    EXPECT_FALSE(scene.GetRootNode()->FirstChild()->Selected);
    EXPECT_EQ(scene.TreeManager.GetUndoString(), "Import");
    clsScene other;
    clsStream empty;
    other.TreeManager.ImportData(empty);
    EXPECT_EQ(other.TreeManager.GetUndoString(), "");
}

TEST(TreeManager, GroupingStopsAtTheDepthAProjectMayHave) {
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    clsScene scene;
    clsTreeManager& tm = scene.TreeManager;
    tm.SelectAll();
    tm.DeleteSelected(false);
    clsNode* a = tm.AddNode(tm.CreateLineNode(0, 0, 0, 1, 0, 0, "A"));
    clsNode* b = tm.AddNode(tm.CreateLineNode(0, 0, 0, 0, 1, 0, "B"));
    int groups = 0;
    for (int i = 0; i < clsNode::MaxDepth + 5; ++i) {
        // Group the current top-level group with a fresh line, again and again.
        tm.SelectNodeByKey(a->Key, false);
        tm.SelectNodeByKey(b->Key, true);
        tm.GroupSelected();
        if (!prompt.Messages.empty()) break;
        ++groups;
        a = tm.Root->FirstChild();
        b = tm.AddNode(tm.CreateLineNode(0, 0, 0, 0, 0, i, "L"));
    }
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.LastText(), "The objects are nested too deeply to be grouped again.");
    EXPECT_LE(tm.Root->GetHeight(), clsNode::MaxDepth);
    EXPECT_GT(groups, clsNode::MaxDepth - 5);
    clsStream written;
    tm.WriteData(written);
    clsScene other;
    EXPECT_TRUE(other.TreeManager.ReadData(written)); // a tree that deep still reads back whole
}
