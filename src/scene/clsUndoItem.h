#pragma once
// One undo step: a snapshot of the whole object tree or of the camera, taken before a
// change. Undo and redo swap the snapshot with the current state, so one record serves
// both directions.

#include <memory>
#include <string>

#include "camera/clsPerspective.h"
#include "scene/clsNode.h"

namespace ov {

class clsScene;

class clsUndoItem {
public:
    enum Kinds { Empty = 0, TreeKind = 1, CameraKind = 2 };

    bool Dirty = false;     // the scene's modified flag that belongs to the snapshot
    double TimeStamp = 0;   // seconds since midnight

    const std::string& GetTransName() const { return name_; }
    void UpdateTimeStamp();
    void SetTree(clsScene& scene, std::unique_ptr<clsNode> root, const std::string& name);
    void SetTreeCopy(clsScene& scene, const clsNode& root, const std::string& name);
    void SetPerspective(clsScene& scene, const clsPerspective& camera, const std::string& name);
    // Exchanges the snapshot with the scene's current tree or camera.
    void RestoreScene(clsScene& scene);
    int GetKind() const { return kind_; }

private:
    int kind_ = Empty;
    std::unique_ptr<clsNode> tree_;
    std::unique_ptr<clsPerspective> camera_;
    std::string name_;
};

} // namespace ov
