#include "app/dialogs/ObjectProperties.h"

#include <memory>
#include <string>

#include "app/dialogs/frmEllipseProperties.h"
#include "app/dialogs/frmFunctionProperties.h"
#include "scene/clsScene.h"
#include "shapes/clsEllipse.h"
#include "shapes/clsFunction.h"

namespace ov {

namespace {

// The object of the node with key, if it is still there and still of type T. The dialogs
// are modal, but the tree is looked up again rather than trusted across one.
template <class T>
T* ObjectOf(clsScene& scene, const std::string& key) {
    clsNode* node = scene.TreeManager.FindNode(key);
    return node ? dynamic_cast<T*>(node->Object.get()) : nullptr;
}

// Shows Dialog on a copy of the node's object and, when confirmed, puts the copy back
// under one undo step.
template <class T, class Dialog, class... Extra>
bool EditCopy(QWidget* parent, clsScene& scene, const std::string& key, Extra&... extra) {
    T* object = ObjectOf<T>(scene, key);
    if (!object) return false;
    T copy;
    copy.Assign(*object);
    copy.BindToScene(&scene);
    Dialog dialog(copy, extra..., parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    object = ObjectOf<T>(scene, key);
    if (!object) return false;
    scene.TreeManager.PushUndoTree("Object Properties");
    object->Assign(copy);
    scene.OnDirty();
    scene.UpdateViews();
    return true;
}

} // namespace

bool ShowObjectProperties(QWidget* parent, clsScene& scene) {
    clsNode* node = scene.GetSelection();
    if (!node || node->IsSelection() || !node->Object) return false;
    const std::string key = node->Key;
    if (node->NodeType == clsNode::Ellipse) return EditCopy<clsEllipse, frmEllipseProperties>(parent, scene, key);
    if (node->NodeType == clsNode::Function)
        return EditCopy<clsFunction, frmFunctionProperties>(parent, scene, key, scene);
    return false;
}

bool InsertFunctionObject(QWidget* parent, clsScene& scene) {
    auto function = std::make_unique<clsFunction>();
    function->BindToScene(&scene);
    frmFunctionProperties dialog(*function, scene, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    clsTreeManager& manager = scene.TreeManager;
    manager.PushUndoTree("Create");
    std::unique_ptr<clsNode> node = clsTreeManager::CreateNode(clsNode::Function);
    node->Object = std::move(function);
    const std::string key = node->Key;
    manager.AddNode(std::move(node));
    manager.SelectNodeByKey(key, false);
    scene.OnDirty();
    scene.UpdateViews();
    return true;
}

} // namespace ov
