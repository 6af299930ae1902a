#pragma once
// The object list beside the views: one keyed item per node, with an image, bold text for
// selected nodes and a colour for hidden and selected ones. The tree manager fills it; the
// application binds it to its tree widget.

#include <string>
#include <vector>

namespace ov {

enum class TreeItemColor { ButtonText, GrayText, Red };

struct TreeItem {
    std::string Key;
    std::string Text;
    int Image = 0;
    bool Bold = false;
    TreeItemColor Color = TreeItemColor::ButtonText;
    bool Expanded = false;
};

class ITreeView {
public:
    virtual ~ITreeView() = default;
    virtual void Clear() = 0;
    // Adds an item as the last child of the parent's item (top level for an empty parent
    // key), or right before the item beforeKey when that is given.
    virtual void AddItem(const std::string& parentKey, const std::string& beforeKey, const TreeItem& item) = 0;
    // Removes an item with all its sub-items.
    virtual void RemoveItem(const std::string& key) = 0;
    // Text, image, bold, colour and expanded state of an existing item.
    virtual void UpdateItem(const TreeItem& item) = 0;
    // Makes an item the current one (the one F2 renames) and scrolls it into view; an empty
    // key leaves no item current.
    virtual void SetCurrent(const std::string& key) = 0;
    virtual std::string SelectedKey() const = 0;
    virtual void StartLabelEdit(const std::string& key) = 0;
};

class clsNode;
class clsScene;

// What the tree manager and the scene tell the main window.
class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    virtual void SelectionChanged() = 0;
    virtual void UpdateUI() = 0;
    // Saves the scene as the Save command would (asking for a name when it has none);
    // whether it was saved.
    virtual bool OnSave(clsScene& scene) = 0;
    // The transform and line-information panels for the selection.
    virtual void UpdateStatusBar() {}
    // The panels for a node measured against a reference node (during a drag: the dragged
    // copy against the unmoved selection).
    virtual void UpdateStatusBarForNode(clsNode* /*node*/, clsNode* /*reference*/) {}
    // The toolbar's tool buttons follow the current tool.
    virtual void ToolChanged() {}
    // Where the pointer is in a view (or the size of what a drag makes); the tool hint
    // follows the drag state at the same time.
    virtual void ShowPointerStatus(const std::string& /*position*/) {}
};

} // namespace ov
