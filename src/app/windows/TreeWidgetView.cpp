#include "app/windows/TreeWidgetView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "app/windows/AppIcons.h"
#include "scene/clsTreeManager.h"

namespace ov {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kF2KeyCode = 113;

// Shift, Ctrl and Alt as the bits 0, 1 and 2 the tree manager reads.
int ShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

class FillGuard {
public:
    explicit FillGuard(int& counter) : counter_(counter) { ++counter_; }
    ~FillGuard() { --counter_; }
    FillGuard(const FillGuard&) = delete;
    FillGuard& operator=(const FillGuard&) = delete;

private:
    int& counter_;
};

} // namespace

TreeWidgetView::TreeWidgetView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("tvObjects");
    setColumnCount(1);
    header()->hide();
    // Selected nodes show in bold red; a native highlight would hide that colour.
    setSelectionMode(QAbstractItemView::NoSelection);
    // Editing starts only through the tree manager (F2), which may refuse it.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemChanged, this, &TreeWidgetView::OnItemChanged);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) { OnItemClicked(item); });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { OnExpandedChanged(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { OnExpandedChanged(item, false); });
}

QTreeWidgetItem* TreeWidgetView::ItemByKey(const std::string& key) const {
    const auto it = items_.find(key);
    return it == items_.end() ? nullptr : it->second;
}

std::string TreeWidgetView::KeyOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kKeyRole).toString().toStdString() : std::string();
}

void TreeWidgetView::Clear() {
    FillGuard guard(filling_);
    clear();
    items_.clear();
}

void TreeWidgetView::AddItem(const std::string& parentKey, const std::string& beforeKey, const TreeItem& item) {
    FillGuard guard(filling_);
    if (ItemByKey(item.Key)) RemoveItem(item.Key);
    auto* created = new QTreeWidgetItem;
    created->setData(0, kKeyRole, QString::fromStdString(item.Key));
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!parentKey.empty()) flags |= Qt::ItemIsEditable; // the document's own item keeps its name here
    created->setFlags(flags);

    QTreeWidgetItem* parent = ItemByKey(parentKey);
    QTreeWidgetItem* before = ItemByKey(beforeKey);
    if (parent) {
        const int index = before && before->parent() == parent ? parent->indexOfChild(before) : -1;
        if (index >= 0) parent->insertChild(index, created);
        else parent->addChild(created);
    } else {
        const int index = before && !before->parent() ? indexOfTopLevelItem(before) : -1;
        if (index >= 0) insertTopLevelItem(index, created);
        else addTopLevelItem(created);
    }
    items_[item.Key] = created;
    Apply(created, item);
}

void TreeWidgetView::Forget(QTreeWidgetItem* item) {
    for (int i = 0; i < item->childCount(); ++i) Forget(item->child(i));
    items_.erase(KeyOf(item));
}

void TreeWidgetView::RemoveItem(const std::string& key) {
    QTreeWidgetItem* item = ItemByKey(key);
    if (!item) return;
    FillGuard guard(filling_);
    Forget(item);
    delete item;
}

void TreeWidgetView::Apply(QTreeWidgetItem* target, const TreeItem& item) {
    target->setText(0, QString::fromStdString(item.Text));
    target->setIcon(0, TreeImage(item.Image));
    QFont font = target->font(0);
    font.setBold(item.Bold);
    target->setFont(0, font);
    QColor color;
    switch (item.Color) {
    case TreeItemColor::GrayText: color = palette().color(QPalette::Disabled, QPalette::Text); break;
    case TreeItemColor::Red: color = QColor(255, 0, 0); break;
    case TreeItemColor::ButtonText: color = palette().color(QPalette::ButtonText); break;
    }
    target->setForeground(0, color);
    target->setExpanded(item.Expanded);
}

void TreeWidgetView::UpdateItem(const TreeItem& item) {
    QTreeWidgetItem* target = ItemByKey(item.Key);
    if (!target) return;
    FillGuard guard(filling_);
    Apply(target, item);
}

void TreeWidgetView::SetCurrent(const std::string& key) {
    FillGuard guard(filling_);
    QTreeWidgetItem* item = ItemByKey(key);
    setCurrentItem(item);
    if (item) scrollToItem(item);
}

std::string TreeWidgetView::SelectedKey() const {
    if (!committingKey_.empty()) return committingKey_;
    return KeyOf(currentItem());
}

void TreeWidgetView::StartLabelEdit(const std::string& key) {
    QTreeWidgetItem* item = ItemByKey(key);
    if (!item || !manager_) return;
    setCurrentItem(item);
    if (!manager_->OnBeforeLabelEdit()) return;
    textBeforeEdit_ = item->text(0).toStdString();
    editItem(item, 0);
}

void TreeWidgetView::RenameSelected() {
    if (manager_) manager_->OnKeyDown(kF2KeyCode, 0);
}

void TreeWidgetView::OnItemChanged(QTreeWidgetItem* item, int column) {
    if (filling_ > 0 || column != 0 || !item) return;
    const std::string key = KeyOf(item);
    const std::string text = item->text(0).toStdString();
    bool accepted = false;
    if (manager_) {
        committingKey_ = key;
        accepted = manager_->OnAfterLabelEdit(text);
        committingKey_.clear();
    }
    if (!accepted) {
        // A refused rename puts the old label back.
        FillGuard guard(filling_);
        if (QTreeWidgetItem* still = ItemByKey(key)) still->setText(0, QString::fromStdString(textBeforeEdit_));
    }
}

void TreeWidgetView::OnItemClicked(QTreeWidgetItem* item) {
    if (manager_ && item) manager_->OnNodeClick(KeyOf(item));
}

void TreeWidgetView::OnExpandedChanged(QTreeWidgetItem* item, bool expanded) {
    if (filling_ > 0 || !manager_ || !item) return;
    manager_->OnExpand(KeyOf(item), expanded);
}

bool TreeWidgetView::event(QEvent* event) {
    // Ctrl+C, Ctrl+A and the like are the main window's commands on the selected objects
    // here, not the item view's own copy of item text: the list lets the shortcuts through.
    if (event->type() == QEvent::ShortcutOverride &&
        (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return true;
    }
    return QTreeWidget::event(event);
}

void TreeWidgetView::mousePressEvent(QMouseEvent* event) {
    if (manager_) manager_->OnMouseDown(ShiftState(event->modifiers()));
    QTreeWidget::mousePressEvent(event);
}

void TreeWidgetView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2) {
        if (manager_) manager_->OnKeyDown(kF2KeyCode, ShiftState(event->modifiers()));
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace ov
