#pragma once
// The main window: the document windows in an MDI area, the menus and the toolbar with
// their commands, the object tree, the transform and line-information panels.

#include <QMainWindow>

#include <string>

#include "scene/ITreeView.h"

class QMdiArea;

namespace ov {

class frmDocument;

class frmMain : public QMainWindow, public IMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // File New: a new untitled document ("Document <n>") holding the model house.
    frmDocument* NewDocument();
    // Opens a project file in a new document window; null (after the loader's message) when
    // it cannot be read.
    frmDocument* OpenProject(const std::string& path);
    frmDocument* ActiveDocument() const;
    QMdiArea* MdiArea() const;

    // What the scenes and documents tell the main window.
    void SelectionChanged() override;
    void UpdateUI() override;
    bool OnSave(clsScene& scene) override;
    void UpdateStatusBar() override;
    void UpdateStatusBarForNode(clsNode* node, clsNode* reference) override;
    void ToolChanged() override;
};

} // namespace ov
