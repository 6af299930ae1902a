#pragma once
// One open project: its display settings and camera, its notes, and (as the scene grows)
// its functions, object tree and file, and the document window that shows it.

#include <cstdint>
#include <string>

#include "scene/IDocumentWindow.h"
#include "scene/clsSceneSettings.h"

namespace ov {

class clsScene : public clsSceneSettings {
public:
    clsScene() = default;

    std::string FileName;
    std::string Name = "Document";
    IDocumentWindow* DocumentWindow = nullptr; // not owned
    std::string Notes;
    bool Modified = false;

    void BindToDocument(IDocumentWindow* window) { DocumentWindow = window; }
    // Tells the document window about a new tool; views repaint when node-edit handles
    // appear or disappear on a selection.
    void OnToolChange(std::int32_t newTool, std::int32_t oldTool);
    void UpdateViews();
    void ResetZoom();
    void OnPerspectiveChange();
    // Marks the project changed (" *" after the caption) or unchanged.
    void OnDirty();
    void OnClean();
};

} // namespace ov
