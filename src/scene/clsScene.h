#pragma once
// One open project: its display settings and camera, its notes, and (as the scene grows)
// its functions, object tree and file, and the document window that shows it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scene/IDocumentWindow.h"
#include "scene/ReferencePicture.h"
#include "settings/clsSceneSettings.h"
#include "scene/clsTreeManager.h"

namespace ov {

class clsScene : public clsSceneSettings {
public:
    // A new scene holds the model house, and its root carries the scene's name.
    clsScene();

    std::string FileName;
    std::string Name = "Document";
    IDocumentWindow* DocumentWindow = nullptr; // not owned
    std::string Notes;
    ReferencePicture Reference; // the picture behind the perspective views, if any
    bool Modified = false;
    clsTreeManager TreeManager;

    // Raised when the tree manager reports a change of the selection or of the tree.
    std::function<void()> SelectionNotification;
    std::function<void()> TreeNotification;

    void BindToDocument(IDocumentWindow* window) { DocumentWindow = window; }
    void SetName(const std::string& name);
    void Activate(ITreeView* control) { TreeManager.Activate(control); }
    void DeActivate() { TreeManager.DeActivate(); }
    clsNode* GetRootNode() const { return TreeManager.Root.get(); }
    clsNode* GetSelection() { return TreeManager.GetSelection(); }
    // Tells the document window about a new tool; views repaint when node-edit handles
    // appear or disappear on a selection.
    void OnToolChange(std::int32_t newTool, std::int32_t oldTool);
    void UpdateViews();
    void ResetZoom();
    void OnPerspectiveChange();
    // Marks the project changed (" *" after the caption) or unchanged.
    void OnDirty();
    void OnClean();
    // Whether the scene may close: asks to save a modified project (Yes, No, Cancel).
    bool CanClose();
    // Reads the project record; with import only its objects are added. False (with the
    // reason) when the record cannot be used, or (with *stopped set) when the user stopped
    // a long read.
    // projectPath is the file read or written: the reference picture's path is kept
    // relative to its folder. recordLines, the line of each top-level item in the file,
    // lets a reason name the line.
    bool ReadData(const clsStream& record, bool import, std::string& error, bool* stopped = nullptr,
                  const std::string& projectPath = "", const std::vector<std::size_t>* recordLines = nullptr);
    void WriteData(clsStream& record, const std::string& projectPath = "") const;
    // Load and save report failures to the user and return false. A failed save leaves an
    // existing file untouched.
    // Esc stops a long load or save (after the usual question): the scene stays as it was
    // before an import, and the file as it was before a save.
    // A damaged file fails with the place and kind of its damage. When the damage lies after
    // objects that could be read and recover is given, recover is asked with the damage
    // ("line 12: ...") whether to take what could be read: the objects before the damage with
    // the settings read before it, the rest as in a new project. A project so opened has no
    // file name and is marked modified, so that saving it asks for a name and cannot replace
    // the damaged file unasked. A "no" ends the load without a further message.
    using RecoveryQuestion = std::function<bool(const std::string& damage)>;
    bool LoadScene(const std::string& path, bool import, const RecoveryQuestion& recover = nullptr);
    bool SaveScene(const std::string& path);
    // Why the view volume gives no grid spacing, naming its records and line.
    std::string ViewVolumeProblem(const clsStream& record, const std::vector<std::size_t>* recordLines) const;
    // Tells the user when the reference picture's file is gone; the project keeps the path.
    void WarnOfMissingPicture() const;
    // Between the pick tool and the last drawing tool.
    void OnToggleTool();
    // The eye at the upper corner of the view volume, looking at its centre.
    void ResetEyePoint();
};

} // namespace ov
