#pragma once
// Owns a scene's object tree and everything done to it as a whole: the selection, hit
// tests of mouse positions, creating, deleting, duplicating, grouping, showing and hiding
// nodes, importing, and the undo list. While its document is active it also keeps the
// main window's object list in step with the tree and turns the user's actions there
// (clicks, renames, expand and collapse) into changes of the model.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scene/ITreeView.h"
#include "scene/clsNode.h"
#include "scene/clsUndoItem.h"

namespace ov {

class clsScene;
class clsStream;
class clsView;

class clsTreeManager {
public:
    static constexpr int MaxUndoSteps = 20;
    static constexpr double MergeSeconds = 3.0;

    // Builds the default scene: the model house.
    clsTreeManager();

    std::unique_ptr<clsNode> Root;
    std::vector<std::unique_ptr<clsUndoItem>> UndoList;
    std::int32_t UndoIndex = 0;
    std::int16_t LastShift = 0;
    ITreeView* TVControl = nullptr;

    // Raised after the selection or the tree changed.
    std::function<void()> SelectionChanged;
    std::function<void()> TreeChanged;

    // Undo and redo.
    void OnDirty();
    bool CanUndo() const { return UndoIndex >= 1; }
    bool CanRedo() const { return UndoIndex < static_cast<std::int32_t>(UndoList.size()); }
    void MarkAllUndoDirty();
    void Undo();
    // Forgets the steps that Redo would restore.
    void DropRedo() { UndoList.resize(static_cast<std::size_t>(UndoIndex)); }
    void Redo();
    // Records the state before a change. With merge, a step of the same name recorded less
    // than three seconds ago absorbs this one.
    void PushUndoTree(const std::string& name, bool merge = false);
    void PushUndoPerspective(const std::string& name, bool merge = false);
    std::string GetUndoString() const;
    std::string GetRedoString() const;

    void BindToScene(clsScene* scene) { scene_ = scene; }
    void Activate(ITreeView* control);
    void DeActivate();
    void SetDocName(const std::string& name);
    clsNode* FindNode(const std::string& key) const { return Root->FindNode(key); }
    std::unique_ptr<clsNode> CreateLineNode(double x1, double y1, double z1, double x2, double y2, double z2,
                                            const std::string& name) const;
    std::unique_ptr<clsNode> CreateBezierNode(const clsPoint3D& p0, const clsPoint3D& p1, const clsPoint3D& p2,
                                              const clsPoint3D& p3, const std::string& name) const;
    void SelectNodeByKey(const std::string& key, bool additive);
    void UnSelectNodeByKey(const std::string& key);
    // The selection as one node (see clsNode::GetSelection); a transient selection node
    // stays valid until the next call.
    clsNode* GetSelection();
    clsNode* GetFirstSelected();
    std::int32_t GetSelectedCount();
    bool ClearSelection();
    // The object under a screen position: first inside the selection (a member of a
    // selected group with drill), then among all objects (the top-level node holding it).
    clsNode* HitTest(double x, double y, const clsView& view, bool drill, double size);
    clsNode* HitTestEx(double x, double y, const clsView& view, double size, bool inSelection, bool drill);
    // Unlinks the node from the tree (and the list) and hands it over.
    std::unique_ptr<clsNode> RemoveNode(clsNode* node);
    void SelectAll();
    void ShowAllObjects();
    void ShowSelectedObjects();
    void ToggleSelectionVisiblity();
    void DeleteSelected(bool cut);
    void DuplicateSelected();
    void GroupSelected();
    void UngroupSelected() { UngroupSelection(false); }
    void UngroupAllSelected() { UngroupSelection(true); }
    bool SimplifyTree() { return Root->EliminateExtraGroups(); }
    bool HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) {
        return Root->HitTestNode(view, rect, hits, stopAtFirst);
    }
    clsNode* AddNodeToParent(std::unique_ptr<clsNode> node, clsNode* parent, clsNode* before);
    clsNode* AddNode(std::unique_ptr<clsNode> node) { return AddNodeToParent(std::move(node), Root.get(), nullptr); }
    static std::unique_ptr<clsNode> CreateNode(std::int32_t type);
    void ClickNode(clsNode* node, bool extend);
    // Reads the tree record in place of the tree (see clsNode::ReadData).
    clsNode::ReadResult ReadData(const clsStream& record, std::uint32_t* tooDeepLine = nullptr);
    // Adds the tree record's objects at the top, selected, as one undo step; nothing when
    // the reading was stopped.
    clsNode::ReadResult ImportData(const clsStream& record, std::uint32_t* tooDeepLine = nullptr);
    void WriteData(clsStream& record) const { Root->WriteData(record); }

    // Events of the object list.
    bool OnBeforeLabelEdit();
    bool OnAfterLabelEdit(const std::string& text);
    void OnExpand(const std::string& key, bool expanded);
    void OnKeyDown(int keyCode, int shift);
    void OnMouseDown(int shift) { LastShift = static_cast<std::int16_t>(shift); }
    void OnNodeClick(const std::string& key);

    void NotifyTreeChanged();
    void RebuildTreeView();
    void RefreshTreeView();

private:
    bool TryMergeUndo(const std::string& name);
    void PrepareUndoSlot();
    void AppendUndo(std::unique_ptr<clsUndoItem> item);
    void UngroupSelection(bool all);
    void UpdateSceneViews();
    void SyncCurrentItem();
    void RefreshItems(const clsNode& node);
    void AddToTreeView(const clsNode& node, const std::string& parentKey, const std::string& beforeKey);
    TreeItem ItemOf(const clsNode& node) const;
    void BuildDefaultScene();
    void Raise(const std::function<void()>& event) const {
        if (event) event();
    }

    clsScene* scene_ = nullptr;
    std::unique_ptr<clsNode> selectionHolder_;
};

} // namespace ov
