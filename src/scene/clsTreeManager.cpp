#include "scene/clsTreeManager.h"

#include "io/clsStream.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"

#include <algorithm>
#include "scene/AppState.h"
#include "scene/clsScene.h"
#include "paint/clsView.h"

namespace ov {

clsTreeManager::clsTreeManager() { BuildDefaultScene(); }

// ---------------------------------------------------------------- undo and redo

void clsTreeManager::OnDirty() {
    if (scene_) scene_->OnDirty();
}

void clsTreeManager::MarkAllUndoDirty() {
    for (auto& item : UndoList) item->Dirty = true;
}

void clsTreeManager::Undo() {
    if (!CanUndo() || !scene_) return;
    UndoList[static_cast<std::size_t>(UndoIndex - 1)]->RestoreScene(*scene_);
    --UndoIndex;
    NotifyTreeChanged();
}

void clsTreeManager::Redo() {
    if (!CanRedo() || !scene_) return;
    ++UndoIndex;
    UndoList[static_cast<std::size_t>(UndoIndex - 1)]->RestoreScene(*scene_);
    NotifyTreeChanged();
}

bool clsTreeManager::TryMergeUndo(const std::string& name) {
    if (!CanUndo()) return false;
    clsUndoItem& last = *UndoList[static_cast<std::size_t>(UndoIndex - 1)];
    if (last.GetTransName() != name || !(SecondsSinceMidnight() - last.TimeStamp < MergeSeconds)) return false;
    last.UpdateTimeStamp();
    return true;
}

void clsTreeManager::PrepareUndoSlot() {
    if (UndoIndex >= MaxUndoSteps) {
        UndoList.erase(UndoList.begin());
        --UndoIndex;
    }
    UndoList.resize(static_cast<std::size_t>(UndoIndex)); // the redo steps are discarded
    ++UndoIndex;
}

void clsTreeManager::AppendUndo(std::unique_ptr<clsUndoItem> item) { UndoList.push_back(std::move(item)); }

void clsTreeManager::PushUndoTree(const std::string& name, bool merge) {
    if (!scene_) return;
    if (merge && TryMergeUndo(name)) return;
    PrepareUndoSlot();
    auto item = std::make_unique<clsUndoItem>();
    item->SetTreeCopy(*scene_, *Root, name);
    AppendUndo(std::move(item));
}

void clsTreeManager::PushUndoPerspective(const std::string& name, bool merge) {
    if (!scene_) return;
    if (merge && TryMergeUndo(name)) return;
    PrepareUndoSlot();
    auto item = std::make_unique<clsUndoItem>();
    item->SetPerspective(*scene_, scene_->GetPerspective(), name);
    AppendUndo(std::move(item));
}

std::string clsTreeManager::GetUndoString() const {
    return CanUndo() ? UndoList[static_cast<std::size_t>(UndoIndex - 1)]->GetTransName() : std::string();
}

std::string clsTreeManager::GetRedoString() const {
    return CanRedo() ? UndoList[static_cast<std::size_t>(UndoIndex)]->GetTransName() : std::string();
}

// ---------------------------------------------------------------- the default scene

void clsTreeManager::BuildDefaultScene() {
    Root = CreateNode(clsNode::Root);
    Root->Expanded = true;
    clsNode* house = Root->AddChild(CreateNode(clsNode::Group));
    house->Name = "House";
    using P = clsPoint3D;
    // Each part: a name and its segments; a part of one segment is a named line.
    const struct Part {
        const char* name;
        std::vector<std::pair<P, P>> lines;
    } parts[] = {
        {"Bottom", {{{0, 0, 0}, {8, 0, 0}}, {{8, 0, 0}, {8, 10, 0}}, {{8, 10, 0}, {0, 10, 0}}, {{0, 10, 0}, {0, 0, 0}}}},
        {"End 1", {{{0, 0, 0}, {0, 0, 3}}, {{0, 0, 3}, {4, 0, 6}}, {{4, 0, 6}, {8, 0, 3}}, {{8, 0, 3}, {8, 0, 0}}}},
        {"End 2", {{{8, 10, 0}, {8, 10, 3}}, {{8, 10, 3}, {4, 10, 6}}, {{4, 10, 6}, {0, 10, 3}}, {{0, 10, 3}, {0, 10, 0}}}},
        {"Bar 1", {{{0, 0, 3}, {0, 10, 3}}}},
        {"Bar 2", {{{8, 0, 3}, {8, 10, 3}}}},
        {"Roof Ridge", {{{4, 10, 6}, {4, 0, 6}}}},
        {"Window 1", {{{8, 1.5, 1}, {8, 1.5, 2.5}}, {{8, 1.5, 2.5}, {8, 3, 2.5}}, {{8, 3, 2.5}, {8, 3, 1}}, {{8, 3, 1}, {8, 1.5, 1}}}},
        {"Window 2", {{{8, 7, 1}, {8, 7, 2.5}}, {{8, 7, 2.5}, {8, 8.5, 2.5}}, {{8, 8.5, 2.5}, {8, 8.5, 1}}, {{8, 8.5, 1}, {8, 7, 1}}}},
        {"Door", {{{8, 4.4, 0}, {8, 4.4, 2.5}}, {{8, 4.4, 2.5}, {8, 5.6, 2.5}}, {{8, 5.6, 2.5}, {8, 5.6, 0}}, {{8, 5.6, 0}, {8, 4.4, 0}}}},
        {"Window 3", {{{1, 10, 1}, {1, 10, 2.5}}, {{1, 10, 2.5}, {3, 10, 2.5}}, {{3, 10, 2.5}, {3, 10, 1}}, {{3, 10, 1}, {1, 10, 1}}}},
        {"Window 4", {{{5, 10, 1}, {5, 10, 2.5}}, {{5, 10, 2.5}, {7, 10, 2.5}}, {{7, 10, 2.5}, {7, 10, 1}}, {{7, 10, 1}, {5, 10, 1}}}},
        {"Chimney", {{{5, 7, 7}, {6, 7, 7}}, {{6, 7, 7}, {6, 7, 4.5}}, {{6, 7, 4.5}, {5, 7, 5.25}}, {{5, 7, 5.25}, {5, 7, 7}},
                     {{5, 8, 7}, {6, 8, 7}}, {{6, 8, 7}, {6, 8, 4.5}}, {{6, 8, 4.5}, {5, 8, 5.25}}, {{5, 8, 5.25}, {5, 8, 7}},
                     {{5, 7, 7}, {5, 8, 7}}, {{6, 7, 7}, {6, 8, 7}}, {{6, 7, 4.5}, {6, 8, 4.5}}, {{5, 7, 5.25}, {5, 8, 5.25}}}},
    };
    for (const Part& part : parts) {
        auto line = [this](const std::pair<P, P>& l, const std::string& name) {
            return CreateLineNode(l.first.x, l.first.y, l.first.z, l.second.x, l.second.y, l.second.z, name);
        };
        if (part.lines.size() == 1) {
            house->AddChild(line(part.lines[0], part.name));
            continue;
        }
        clsNode* group = house->AddChild(CreateNode(clsNode::Group));
        group->Name = part.name;
        for (const auto& l : part.lines) group->AddChild(line(l, ""));
    }
}

// ---------------------------------------------------------------- nodes and selection

std::unique_ptr<clsNode> clsTreeManager::CreateNode(std::int32_t type) {
    auto node = std::make_unique<clsNode>();
    node->NodeType = type;
    return node;
}

std::unique_ptr<clsNode> clsTreeManager::CreateLineNode(double x1, double y1, double z1, double x2, double y2,
                                                        double z2, const std::string& name) const {
    auto node = CreateNode(clsNode::Line);
    node->Name = name;
    node->SetLinePoints(x1, y1, z1, x2, y2, z2);
    return node;
}

std::unique_ptr<clsNode> clsTreeManager::CreateBezierNode(const clsPoint3D& p0, const clsPoint3D& p1,
                                                          const clsPoint3D& p2, const clsPoint3D& p3,
                                                          const std::string& name) const {
    auto node = CreateNode(clsNode::Bezier);
    node->Name = name;
    node->SetBezierPoints(p0, p1, p2, p3);
    if (node->Object) node->Object->BindToScene(scene_);
    return node;
}

void clsTreeManager::SetDocName(const std::string& name) {
    Root->Name = name;
    RefreshTreeView();
}

void clsTreeManager::SelectNodeByKey(const std::string& key, bool additive) {
    if (!additive) Root->SetSelected(false);
    if (clsNode* node = FindNode(key)) node->SetSelected(true);
    RefreshTreeView();
    UpdateSceneViews();
    Raise(SelectionChanged);
}

void clsTreeManager::UnSelectNodeByKey(const std::string& key) {
    if (clsNode* node = FindNode(key)) node->SetSelected(false);
    RefreshTreeView();
    UpdateSceneViews();
    Raise(SelectionChanged);
}

clsNode* clsTreeManager::GetSelection() {
    selectionHolder_.reset();
    return Root->GetSelection(selectionHolder_);
}

// The two queries below build their own selection node, so that a selection node handed out
// by GetSelection stays valid while its caller asks them.
clsNode* clsTreeManager::GetFirstSelected() {
    std::unique_ptr<clsNode> holder;
    clsNode* s = Root->GetSelection(holder);
    if (!s || !s->IsSelection()) return s;
    return s->SelectionList.empty() ? nullptr : s->SelectionList.front();
}

std::int32_t clsTreeManager::GetSelectedCount() {
    std::unique_ptr<clsNode> holder;
    clsNode* s = Root->GetSelection(holder);
    if (!s) return 0;
    return s->IsSelection() ? static_cast<std::int32_t>(s->SelectionList.size()) : 1;
}

bool clsTreeManager::ClearSelection() {
    if (!Root->SetSelected(false)) return false;
    RefreshTreeView();
    UpdateSceneViews();
    if (TVControl && App().MainWindow) App().MainWindow->SelectionChanged();
    return true;
}

clsNode* clsTreeManager::HitTest(double x, double y, const clsView& view, bool drill, double size) {
    if (clsNode* hit = HitTestEx(x, y, view, size, true, drill)) return hit;
    return HitTestEx(x, y, view, size, false, false);
}

clsNode* clsTreeManager::HitTestEx(double x, double y, const clsView& view, double size, bool inSelection, bool drill) {
    clsRect rect;
    rect.Left = x - size / 2;
    rect.Right = x + size / 2;
    rect.Bottom = y - size / 2; // screen rows: only the extent matters to the clipping
    rect.Top = y + size / 2;
    if (inSelection) {
        clsNode* selection = GetSelection();
        if (!selection) return nullptr;
        clsNode* hit = selection->FindObjectInRect(rect, view);
        if (!hit) return nullptr;
        if (drill && hit != selection) {
            while (hit->Parent() && hit->Parent() != selection) hit = hit->Parent();
            return hit;
        }
        return selection;
    }
    clsNode* hit = Root->FindObjectInRect(rect, view);
    if (!hit) return nullptr;
    while (hit->Parent() && hit->Parent()->NodeType != clsNode::Root) hit = hit->Parent();
    return hit;
}

std::unique_ptr<clsNode> clsTreeManager::RemoveNode(clsNode* node) {
    if (TVControl) TVControl->RemoveItem(node->Key);
    return node->Detach();
}

void clsTreeManager::SelectAll() { SelectNodeByKey(Root->Key, true); }

void clsTreeManager::ShowAllObjects() {
    PushUndoTree("Show All Objects");
    Root->SetVisible(true);
    RefreshTreeView();
    UpdateSceneViews();
    OnDirty();
}

void clsTreeManager::ShowSelectedObjects() {
    if (!GetSelection()) return;
    PushUndoTree("Show Selected Objects");
    Root->SetVisible(false);
    if (clsNode* s = GetSelection()) s->SetVisible(true);
    RefreshTreeView();
    UpdateSceneViews();
    OnDirty();
}

void clsTreeManager::ToggleSelectionVisiblity() {
    if (!GetSelection()) return;
    PushUndoTree("Show/Hide Objects");
    clsNode* s = GetSelection();
    if (s->SetVisible(!s->IsVisible())) {
        RefreshTreeView();
        UpdateSceneViews();
        OnDirty();
    }
}

void clsTreeManager::DeleteSelected(bool cut) {
    if (!GetSelection()) return;
    PushUndoTree(cut ? "Cut" : "Delete");
    bool deleted = false;
    while (clsNode* s = GetSelection()) {
        std::vector<clsNode*> victims = s->IsSelection() ? s->SelectionList : std::vector<clsNode*>{s};
        selectionHolder_.reset();
        for (clsNode* v : victims) {
            std::unique_ptr<clsNode> gone = RemoveNode(v);
            deleted = true;
        }
    }
    if (!deleted) return;
    if (SimplifyTree()) RebuildTreeView();
    UpdateSceneViews();
    OnDirty();
    Raise(SelectionChanged);
    Raise(TreeChanged);
}

void clsTreeManager::DuplicateSelected() {
    clsNode* s = GetSelection();
    if (!s) return;
    PushUndoTree("Duplicate");
    std::unique_ptr<clsNode> copy = GetSelection()->Duplicate();
    if (!copy->IsSelection()) {
        const std::string key = AddNode(std::move(copy))->Key;
        SelectNodeByKey(key, false);
    } else {
        bool additive = false;
        for (auto& member : copy->ClonedMembers) {
            const std::string key = AddNode(std::move(member))->Key;
            SelectNodeByKey(key, additive);
            additive = true;
        }
    }
    OnDirty();
}

void clsTreeManager::GroupSelected() {
    clsNode* s = GetSelection();
    if (!s || !s->IsSelection() || s->SelectionList.size() < 2) return;
    // Every operation on the tree recurses through its levels: keep the nesting within the
    // depth a project may have.
    int height = 0;
    for (const clsNode* m : s->SelectionList) height = std::max(height, m->GetHeight());
    if (s->SelectionList.front()->GetDepth() + height + 1 > clsNode::MaxDepth) {
        ShowMessage("The objects are nested too deeply to be grouped again.", PromptIcon::Warning);
        return;
    }
    PushUndoTree("Group");
    s = GetSelection();
    const std::vector<clsNode*> members = s->SelectionList;
    selectionHolder_.reset();
    clsNode* parent = members.front()->Parent();
    clsNode* before = members.front()->NextSibling();
    while (before && before->Selected) before = before->NextSibling();
    auto group = CreateNode(clsNode::Group);
    for (clsNode* m : members)
        if (m->Parent() == parent) group->AddChild(RemoveNode(m));
    const std::string key = AddNodeToParent(std::move(group), parent, before)->Key;
    SelectNodeByKey(key, false);
    if (SimplifyTree()) {
        RebuildTreeView();
        Raise(TreeChanged);
        Raise(SelectionChanged);
    }
    OnDirty();
}

void clsTreeManager::UngroupSelection(bool all) {
    clsNode* s = GetSelection();
    if (!s) return;
    std::vector<clsNode*> candidates = s->IsSelection() ? s->SelectionList : std::vector<clsNode*>{s};
    selectionHolder_.reset();
    bool ungrouped = false;
    for (clsNode* node : candidates) {
        if (node->NodeType != clsNode::Group) continue;
        if (!ungrouped) PushUndoTree(all ? "Ungroup All" : "Ungroup");
        ungrouped = true;
        node->Ungroup(all);
    }
    if (!ungrouped) return;
    OnDirty();
    SimplifyTree();
    RebuildTreeView();
    UpdateSceneViews();
    Raise(SelectionChanged);
    Raise(TreeChanged);
}

clsNode* clsTreeManager::AddNodeToParent(std::unique_ptr<clsNode> node, clsNode* parent, clsNode* before) {
    clsNode* added = before ? parent->InsertChildBefore(std::move(node), before) : parent->AddChild(std::move(node));
    added->BindToScene(scene_);
    AddToTreeView(*added, parent->Key, before ? before->Key : std::string());
    OnDirty();
    return added;
}

void clsTreeManager::ClickNode(clsNode* node, bool extend) {
    if (!node) return;
    if (node->Selected && extend) {
        UnSelectNodeByKey(node->Key);
        return;
    }
    bool additive = false;
    if (extend)
        if (clsNode* first = GetFirstSelected()) additive = first->Parent() == node->Parent();
    SelectNodeByKey(node->Key, additive);
}

clsNode::ReadResult clsTreeManager::ReadData(const clsStream& record, std::uint32_t* tooDeepLine) {
    // The root object stays in place: views and the list keep referring to it.
    const std::string key = Root->Key;
    const clsNode::ReadResult result = Root->ReadData(record, scene_, tooDeepLine);
    Root->Key = key;
    Root->Expanded = true;
    return result;
}

clsNode::ReadResult clsTreeManager::ImportData(const clsStream& record, std::uint32_t* tooDeepLine) {
    auto imported = CreateNode(clsNode::Root);
    const clsNode::ReadResult result = imported->ReadData(record, scene_, tooDeepLine);
    // A tree cut short at the depth limit would not read back once saved: nothing is added.
    if (result != clsNode::ReadResult::Complete) return result;
    if (imported->FirstChild()) {
        PushUndoTree("Import");
        ClearSelection();
    }
    while (clsNode* child = imported->FirstChild()) {
        std::unique_ptr<clsNode> node = child->Detach();
        node->SetSelected(true);
        AddNode(std::move(node));
    }
    NotifyTreeChanged();
    return result;
}

// ---------------------------------------------------------------- the object list

void clsTreeManager::Activate(ITreeView* control) {
    TVControl = control;
    if (TVControl) RebuildTreeView();
}

void clsTreeManager::DeActivate() {
    if (TVControl) TVControl->Clear();
    TVControl = nullptr;
}

TreeItem clsTreeManager::ItemOf(const clsNode& node) const {
    TreeItem item;
    item.Key = node.Key;
    item.Text = node.GetNodeName();
    item.Image = node.GetTreeImage();
    item.Bold = node.Selected;
    item.Color = node.Hidden ? TreeItemColor::GrayText : node.Selected ? TreeItemColor::Red : TreeItemColor::ButtonText;
    item.Expanded = node.Expanded;
    return item;
}

void clsTreeManager::AddToTreeView(const clsNode& node, const std::string& parentKey, const std::string& beforeKey) {
    if (!TVControl) return;
    TVControl->AddItem(parentKey, beforeKey, ItemOf(node));
    for (const clsNode* c = node.FirstChild(); c; c = c->NextSibling()) AddToTreeView(*c, node.Key, "");
    TVControl->UpdateItem(ItemOf(node)); // the expanded state once the children are there
}

void clsTreeManager::RebuildTreeView() {
    if (!TVControl) return;
    TVControl->Clear();
    AddToTreeView(*Root, "", "");
    SyncCurrentItem();
}

void clsTreeManager::RefreshTreeView() {
    if (!TVControl) return;
    // Walking the tree reaches every item once; looking each item's key up in the tree
    // took time in the square of the tree's size.
    RefreshItems(*Root);
    SyncCurrentItem();
}

void clsTreeManager::RefreshItems(const clsNode& node) {
    TVControl->UpdateItem(ItemOf(node));
    for (const clsNode* c = node.FirstChild(); c; c = c->NextSibling()) RefreshItems(*c);
}

void clsTreeManager::SyncCurrentItem() {
    // The list's current item is the selected node, so that F2 renames what is selected;
    // with several nodes selected (or none) no item is current. A click on the document's
    // own item selects everything in it and leaves that item current.
    const clsNode* current = GetSelectedCount() == 1 ? GetFirstSelected() : nullptr;
    if (TVControl->SelectedKey() == Root->Key && Root->FirstChild()) {
        bool all = true;
        for (const clsNode* c = Root->FirstChild(); c && all; c = c->NextSibling()) all = c->Selected;
        if (all) current = Root.get();
    }
    TVControl->SetCurrent(current ? current->Key : std::string());
}

void clsTreeManager::NotifyTreeChanged() {
    RebuildTreeView();
    UpdateSceneViews();
    Raise(SelectionChanged);
    Raise(TreeChanged);
}

void clsTreeManager::UpdateSceneViews() {
    if (scene_) scene_->UpdateViews();
}

bool clsTreeManager::OnBeforeLabelEdit() {
    if (!TVControl) return false;
    const clsNode* node = FindNode(TVControl->SelectedKey());
    return node && node != Root.get();
}

bool clsTreeManager::OnAfterLabelEdit(const std::string& text) {
    if (!TVControl) return false;
    clsNode* node = FindNode(TVControl->SelectedKey());
    if (!node || node == Root.get()) return false;
    PushUndoTree("Rename");
    node = FindNode(TVControl->SelectedKey()); // the snapshot keeps keys; the node is the same
    node->Name = text;
    TVControl->UpdateItem(ItemOf(*node)); // an empty name shows the default one
    if (App().MainWindow) App().MainWindow->UpdateUI();
    OnDirty();
    return true;
}

void clsTreeManager::OnExpand(const std::string& key, bool expanded) {
    if (clsNode* node = FindNode(key)) node->Expanded = expanded;
}

void clsTreeManager::OnKeyDown(int keyCode, int shift) {
    if (keyCode == 113 && shift == 0 && TVControl && !TVControl->SelectedKey().empty())
        TVControl->StartLabelEdit(TVControl->SelectedKey());
}

void clsTreeManager::OnNodeClick(const std::string& key) { ClickNode(FindNode(key), (LastShift & 1) != 0); }

} // namespace ov
