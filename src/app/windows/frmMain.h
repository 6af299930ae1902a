#pragma once
// The main window: the document windows in an MDI area, the menus and the toolbar with
// their commands, the object tree, the transform and line-information panels.

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "scene/ITreeView.h"

class QAction;
class QActionGroup;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QUrl;

namespace ov {

class frmDocument;
class LineInfoPanel;
class StatusFields;
class TransformPanel;
class TreeWidgetView;

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
    void UpdateUI() override { UpdateUI(false); }
    void UpdateUI(bool selectionChanged);
    bool OnSave(clsScene& scene) override;
    void UpdateStatusBar() override;
    void UpdateStatusBarForNode(clsNode* node, clsNode* reference) override;
    void ToolChanged() override;
    void ShowPointerStatus(const std::string& position) override;

    // The controls, for the document windows and for tests: a menu command by its control
    // name ("mnuFileNew", ...), a toolbar button's action by its key ("New", "Arrow", ...).
    QAction* MenuAction(const QString& name) const;
    QAction* ToolbarAction(const QString& key) const;
    QMenu* Menu(const QString& name) const;
    TreeWidgetView* TreeView() const { return tree_; }
    TransformPanel* Transform() const { return transform_; }
    LineInfoPanel* LineStatus() const { return lineStatus_; }
    StatusFields* Fields() const { return fields_; }
    // The node Copy or Cut put aside; null when nothing was copied.
    clsNode* ClipboardNode() const { return clipboard_.get(); }
    // The document window that shows a scene, or null.
    frmDocument* DocumentOf(const clsScene* scene) const;

    // Desktop services the commands use, replaceable for tests: choosing and setting up a
    // printer (false when cancelled) and opening a web address (false when it failed).
    std::function<bool(QPrinter&)> ChoosePrinter;
    // The print set-up dialog that Print Preview shows first while no printer was chosen.
    std::function<bool(QPrinter&)> SetUpPrinter;
    std::function<bool(const QUrl&)> OpenUrl;

    // The address On-line Help opens.
    static const char* HelpAddress();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Building the window (frmMainMenus.cpp).
    void CreateMenus();
    void CreateToolBar();
    void CreatePanels();
    QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, void (frmMain::*command)());
    QAction* AddToolButton(const QString& key, const QString& tip, QAction* shared);

    // Documents.
    // A window for a project read from path, or for an untitled document when there is no path.
    // An empty path is a file name like any other: its load fails with the loader's message.
    frmDocument* OpenDocument(const std::optional<std::string>& path);
    // The question before taking what could be read of a damaged project; take is what is
    // done with it ("Open", "Import").
    static std::function<bool(const std::string& damage)> AskToRecover(const std::string& path, const std::string& take);
    // The open document of the project file, however its path is spelled; null when none.
    frmDocument* FindOpenProject(const std::string& path) const;
    // The menus whose entries follow the session: the recent projects and the open documents.
    void FillRecentMenu();
    void FillWindowMenu();
    void ActivateDocument(frmDocument* document);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void OnDocumentDestroyed(QObject* document);
    bool IsOpenScene(const clsScene* scene) const;
    clsScene* CurrentScene() const;
    bool SaveSceneAs(clsScene& scene);
    bool SaveSceneTo(clsScene& scene, const std::string& path);

    // Commands (frmMainCommands.cpp).
    void OnFileNew();
    void OnFileOpen();
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileSaveAll();
    void OnFilePrint();
    void OnFileExport();
    void OnFileImport();
    void OnFileExit();
    void OnEditUndo();
    void OnEditRedo();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditSelectAll();
    void OnObjectDelete();
    void OnObjectDuplicate();
    void OnObjectVisible();
    void OnObjectGroup();
    void OnObjectUngroup();
    void OnObjectUngroupAll();
    void OnObjectShowSelOnly();
    void OnObjectShowAll();
    void OnObjectVanishLines();
    void OnViewRulers();
    void OnViewGrid();
    void OnViewAxes();
    void OnLayout2x2();
    void OnLayout3x1();
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomCloser();
    void OnZoomFarther();
    void OnZoomObjects();
    void OnZoomObjectsAll();
    void OnFileInfo();
    void OnResetEyePoint();
    void OnWindowCascade();
    void OnWindowTileHorizontal();
    void OnWindowTileVertical();
    void OnWindowArrangeIcons();
    void OnHelpGuide();
    void OnHelpContents();
    void OnHelpAbout();
    void OnApply();
    // The dialogs of the output, camera, scene, object and function commands.
    void OnFilePrintPreview();
    void OnFileExportDraw();
    void OnObjectProperties();
    void OnEditPerspective();
    void OnViewScene();
    void OnViewReference();
    void OnViewReferenceShow();
    void OnViewMatchCamera();
    void OnViewFunctions();
    void OnInsertFunction();
    // Runs a dialog on the active scene with the scene commands held off, then refreshes.
    template <typename Dialog>
    void RunSceneDialog(Dialog dialog);
    void OnTool(std::int32_t code);

    QMdiArea* mdi_ = nullptr;
    TreeWidgetView* tree_ = nullptr;
    TransformPanel* transform_ = nullptr;
    LineInfoPanel* lineStatus_ = nullptr;
    StatusFields* fields_ = nullptr;
    // The tool hint and the selection field for the current tool, drag and selection.
    void UpdateStatusFields();
    std::map<QString, QAction*> menuActions_;
    std::map<QString, QAction*> toolbarActions_;
    std::map<QString, QMenu*> menus_;
    std::map<std::int32_t, QAction*> toolActions_;
    QActionGroup* tools_ = nullptr;
    std::map<const QObject*, const clsScene*> documents_;

    void StoreInClipboard(const clsNode& selection);
    void CancelDrags();
    // Runs a menu command; memory that runs out ends it with a message, and a change it
    // had begun (an undo step it had pushed) is undone.
    void RunCommand(void (frmMain::*command)(), const QString& caption);
    std::unique_ptr<clsNode> clipboard_;
    bool busy_ = false;
};

} // namespace ov
