#include "scene/clsUndoItem.h"

#include "platform/Desktop.h"
#include "scene/clsScene.h"

namespace ov {

void clsUndoItem::UpdateTimeStamp() { TimeStamp = SecondsSinceMidnight(); }

void clsUndoItem::SetTree(clsScene& scene, std::unique_ptr<clsNode> root, const std::string& name) {
    kind_ = TreeKind;
    name_ = name;
    Dirty = scene.Modified;
    UpdateTimeStamp();
    tree_ = std::move(root);
    camera_.reset();
}

void clsUndoItem::SetTreeCopy(clsScene& scene, const clsNode& root, const std::string& name) {
    SetTree(scene, root.Clone(), name); // the copy keeps the node keys
}

void clsUndoItem::SetPerspective(clsScene& scene, const clsPerspective& camera, const std::string& name) {
    kind_ = CameraKind;
    name_ = name;
    UpdateTimeStamp();
    Dirty = scene.Modified;
    camera_ = std::make_unique<clsPerspective>(camera.Duplicate());
    tree_.reset();
}

void clsUndoItem::RestoreScene(clsScene& scene) {
    if (kind_ == TreeKind && tree_) {
        std::swap(tree_, scene.TreeManager.Root);
        scene.TreeManager.Root->BindToScene(&scene);
    } else if (kind_ == CameraKind && camera_) {
        const clsPerspective kept = camera_->Duplicate();
        camera_->CopyAssign(scene.GetPerspective());
        scene.GetPerspective().CopyAssign(kept);
        scene.OnPerspectiveChange();
    }
    const bool wasDirty = Dirty;
    Dirty = scene.Modified;
    if (wasDirty) scene.OnDirty();
    else scene.OnClean();
}

} // namespace ov
