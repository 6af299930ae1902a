#pragma once
// The object list of the main window: a tree widget that the active scene's tree manager
// fills through ITreeView, and whose clicks, renames, expands and collapses go back to
// that tree manager.

#include <QTreeWidget>

#include <string>
#include <unordered_map>

#include "scene/ITreeView.h"

namespace ov {

class clsTreeManager;

class TreeWidgetView : public QTreeWidget, public ITreeView {
    Q_OBJECT
public:
    explicit TreeWidgetView(QWidget* parent = nullptr);

    // The tree manager that receives the list's events; null while no document is active.
    void SetTreeManager(clsTreeManager* manager) { manager_ = manager; }
    clsTreeManager* TreeManager() const { return manager_; }
    QTreeWidgetItem* ItemByKey(const std::string& key) const;
    static std::string KeyOf(const QTreeWidgetItem* item);

    void Clear() override;
    void AddItem(const std::string& parentKey, const std::string& beforeKey, const TreeItem& item) override;
    void RemoveItem(const std::string& key) override;
    void UpdateItem(const TreeItem& item) override;
    void SetCurrent(const std::string& key) override;
    std::string SelectedKey() const override;
    void StartLabelEdit(const std::string& key) override;
    // What F2 does: opens the editor of the selected node's name, when one node is selected.
    void RenameSelected();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnItemChanged(QTreeWidgetItem* item, int column);
    void OnItemClicked(QTreeWidgetItem* item);
    void OnExpandedChanged(QTreeWidgetItem* item, bool expanded);
    void Forget(QTreeWidgetItem* item);
    void Apply(QTreeWidgetItem* target, const TreeItem& item);

    clsTreeManager* manager_ = nullptr;
    std::unordered_map<std::string, QTreeWidgetItem*> items_;
    // Raised while the list is changed from the model, so that these changes are not taken
    // for the user's renames, expands and collapses.
    int filling_ = 0;
    // The item whose label edit is being committed. The editor may commit only after the
    // current item moved on (a click on another item ends the edit), so the rename must
    // name the edited item, not the current one.
    std::string committingKey_;
    std::string textBeforeEdit_;
};

} // namespace ov
