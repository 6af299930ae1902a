#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>

#include "io/clsStream.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/clsScene.h"
#include "shapes/clsLine.h"

using namespace ov;

namespace {

using Strings = std::vector<std::string>;

// The object list: each item with its parent's key, and the keys of each parent's items in order.
class FakeTreeView : public ITreeView {
public:
    std::map<std::string, std::pair<std::string, TreeItem>> items;
    std::map<std::string, Strings> children; // "" holds the top level
    std::string selected, editing;

    const TreeItem& Item(const std::string& key) const { return items.at(key).second; }
    Strings Children(const std::string& key) const {
        Strings texts;
        for (const auto& c : children.count(key) ? children.at(key) : Strings())
            texts.push_back(items.at(c).second.Text);
        return texts;
    }
    void Clear() override { items.clear(), children.clear(); }
    void AddItem(const std::string& parentKey, const std::string& beforeKey, const TreeItem& item) override {
        EXPECT_TRUE(parentKey.empty() || items.count(parentKey)) << "no item " << parentKey;
        auto& list = children[parentKey];
        list.insert(std::find(list.begin(), list.end(), beforeKey), item.Key); // the end for no key
        items[item.Key] = {parentKey, item};
    }
    void RemoveItem(const std::string& key) override {
        if (!items.count(key)) return;
        for (const auto& c : Strings(children[key])) RemoveItem(c);
        auto& list = children[items[key].first];
        list.erase(std::find(list.begin(), list.end(), key));
        children.erase(key), items.erase(key);
    }
    void UpdateItem(const TreeItem& item) override {
        if (items.count(item.Key)) items[item.Key].second = item;
    }
    void SetCurrent(const std::string& key) override { selected = key; }
    std::string SelectedKey() const override { return selected; }
    void StartLabelEdit(const std::string& key) override { editing = key; }
};

double g_now = 1000;

clsNode* Child(clsNode* parent, const std::string& name) {
    for (clsNode* c = parent->FirstChild(); c; c = c->NextSibling())
        if (c->GetNodeName() == name) return c;
    return nullptr;
}

Strings Names(const clsNode* parent) {
    Strings names;
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
    EXPECT_EQ(tv.Children(""), Strings{"Document"});
    EXPECT_TRUE(tv.Item(tm.Root->Key).Expanded && !tv.Item(House()->Key).Expanded);
    EXPECT_EQ(tv.Children(tm.Root->Key), Strings{"House"});
    EXPECT_TRUE(tv.Children(House()->Key) == Names(House()) && Names(House()).size() == 12u);
    EXPECT_EQ(tv.Children(Part("Chimney")->Key), Strings(12, "Line")); // closing empties it: ScenarioTest
}

TEST_F(TreeManagerTest, SelectionOfGroupsSiblingsAndShiftClicks) {
    int selectionEvents = 0;
    scene.SelectionNotification = [&] { ++selectionEvents; };
    Select({House()});
    EXPECT_TRUE(tm.GetSelectedCount() == 1 && tm.GetSelection() == House() && selectionEvents == 1);
    clsNode* inBottom = Part("Bottom")->FirstChild(); // the whole subtree is selected
    EXPECT_TRUE(inBottom->Selected && tv.Item(inBottom->Key).Bold);
    EXPECT_TRUE(tm.ClearSelection() && !tm.ClearSelection());

    // The count and the first member are asked for while the window holds the selection.
    Select({Part("Bottom"), Part("Chimney")});
    clsNode* several = tm.GetSelection();
    ASSERT_TRUE(several && several->IsSelection());
    EXPECT_TRUE(tm.GetSelectedCount() == 2 && tm.GetFirstSelected() == Part("Bottom"));
    EXPECT_EQ(several->SelectionList, (std::vector<clsNode*>{Part("Bottom"), Part("Chimney")}));

    tm.ClickNode(Part("Bar 1"), false); // Shift on a sibling extends the selection: MainWindowTest
    tm.ClickNode(inBottom, true); // not a sibling: starts a new selection
    EXPECT_EQ(tm.GetSelection(), inBottom);
    tm.ClickNode(inBottom, true); // shift-click on a selected node unselects it
    EXPECT_EQ(tm.GetSelectedCount(), 0);
    tm.ClickNode(Part("Bar 1"), true); // with nothing selected, Shift starts a selection
    EXPECT_EQ(tm.GetSelection(), Part("Bar 1"));
}

TEST_F(TreeManagerTest, DeleteGroupDuplicateUngroup) {
    const std::string bottomKey = Part("Bottom")->Key;
    Select({Part("Bottom")->FirstChild()});
    for (clsNode* c = Part("Bottom")->FirstChild()->NextSibling(); c; c = c->NextSibling())
        tm.SelectNodeByKey(c->Key, true);
    tm.DeleteSelected(false); // all lines of a group: the empty group goes as well
    EXPECT_TRUE(!Part("Bottom") && !tv.items.count(bottomKey) && scene.Modified && tm.GetUndoString() == "Delete");

    Select({Part("Bar 2"), Part("Window 1")}); // B and D of A, B, C, D: the group takes B's place
    tm.GroupSelected();
    EXPECT_EQ(Names(House()), (Strings{"End 1", "End 2", "Bar 1", "Group of 2 objects", "Roof Ridge", "Window 2",
                                       "Door", "Window 3", "Window 4", "Chimney"}));
    EXPECT_EQ(tm.GetUndoString(), "Group");
    Select({Part("Bar 1")});
    tm.GroupSelected(); // one node: nothing, and no undo step
    EXPECT_EQ(tm.UndoList.size(), 2u);

    Select({Part("Roof Ridge")});
    tm.DuplicateSelected(); // the copy of a nested node goes to the top level, selected
    clsNode* copy = tm.Root->LastChild();
    EXPECT_TRUE(tm.GetSelection() == copy && copy->GetNodeName() == "Roof Ridge");
    EXPECT_TRUE(copy->Key != Part("Roof Ridge")->Key && tm.GetUndoString() == "Duplicate");

    Select({House()});
    tm.UngroupSelected();
    EXPECT_TRUE(!House() && Child(tm.Root.get(), "Chimney") && tm.GetUndoString() == "Ungroup");
    EXPECT_EQ(tv.Children(tm.Root->Key), Names(tm.Root.get()));
}

TEST_F(TreeManagerTest, ShowHideAndRename) {
    clsNode* door = Part("Door");
    Select({door});
    tm.ShowSelectedObjects(); // hiding one and showing all: MainWindowTest
    EXPECT_TRUE(House()->Hidden && !door->Hidden && tv.Item(House()->Key).Color == TreeItemColor::GrayText);

    tv.selected = door->Key;
    EXPECT_TRUE(tm.OnBeforeLabelEdit() && tm.OnAfterLabelEdit(""));
    EXPECT_EQ(tv.Item(door->Key).Text + ", " + tm.GetUndoString(), "Group of 4 objects, Rename");
    tv.selected = tm.Root->Key;
    EXPECT_FALSE(tm.OnBeforeLabelEdit() || tm.OnAfterLabelEdit("Other")); // the root keeps its name
    tv.selected = door->Key;
    Select({House()}); // the current item follows the selection, so F2 renames the selected node
    tm.OnKeyDown(113, 0);
    EXPECT_TRUE(tv.selected == House()->Key && tv.editing == House()->Key);
}

TEST_F(TreeManagerTest, UndoStepsSwapAndKeepTheModifiedState) {
    tm.PushUndoPerspective("Reset Eye Point");
    scene.GetPerspective().EyePoint.SetPoint(1, 2, 3);
    const std::string ridgeKey = Part("Roof Ridge")->Key;
    Select({Part("Roof Ridge")});
    tm.DeleteSelected(false);
    EXPECT_FALSE(tv.items.count(ridgeKey)); // the item goes with its node
    tm.Undo(); // the tree step restores the tree only, with the same keys
    EXPECT_TRUE(tm.FindNode(ridgeKey) && tv.items.count(ridgeKey) && tm.GetRedoString() == "Delete");
    EXPECT_EQ(scene.GetPerspective().EyePoint.x, 1);
    tm.Undo(); // the camera step
    EXPECT_TRUE(scene.GetPerspective().EyePoint.x == 20 && !scene.Modified);
    tm.Redo();
    tm.Redo();
    EXPECT_TRUE(scene.Modified && !tm.FindNode(ridgeKey) && scene.GetPerspective().EyePoint.x == 1);

    // After a save every undo marks the document modified but the one back to the save.
    scene.OnClean();
    tm.MarkAllUndoDirty();
    tm.Undo();
    EXPECT_TRUE(scene.Modified);
    tm.Redo();
    EXPECT_FALSE(scene.Modified);
}

TEST_F(TreeManagerTest, QuickRepeatsOfOneStepMergeAndTwentyStepsAtMostAreKept) {
    const std::string key = Part("Roof Ridge")->Key;
    for (double t : {1000.0, 1001.0, 1002.0, 1006.0, 1006.5, 1007.0}) {
        g_now = t;
        tm.PushUndoTree(t == 1006.5 ? "Rotate" : "Nudge", true); // four seconds apart or another step separate
        if (t != 1006.5) tm.FindNode(key)->Translate(1, 0, 0);
    }
    EXPECT_EQ(tm.UndoList.size(), 4u);
    for (int i = 0; i < 4; ++i) tm.Undo();
    EXPECT_DOUBLE_EQ(tm.FindNode(key)->GetLine()->Segment->StartPoint.x, 4); // before the first nudge

    for (int i = 0; i < 25; ++i) {
        Select({tm.AddNode(tm.CreateLineNode(0, 0, 0, i, 0, 0, "L"))});
        tm.DeleteSelected(false);
    }
    EXPECT_TRUE(tm.UndoList.size() == 20u && tm.UndoIndex == 20);
    tm.Undo();
    tm.Undo();
    tm.PushUndoTree("Move"); // the two redo steps are discarded
    EXPECT_TRUE(!tm.CanRedo() && tm.UndoList.size() == 19u);
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
    EXPECT_TRUE(tm.Root->GetHeight() <= clsNode::MaxDepth && groups > clsNode::MaxDepth - 5);
    clsStream written;
    tm.WriteData(written);
    EXPECT_EQ(clsScene().TreeManager.ReadData(written), clsNode::ReadResult::Complete); // a tree that deep still reads back whole
}
