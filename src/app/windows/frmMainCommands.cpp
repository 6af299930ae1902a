// The menu and toolbar commands of the main window. Each acts on the active scene and does
// nothing without one.
#include "app/windows/frmMain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QUrl>

#include "app/windows/TransformPanel.h"
#include "app/dialogs/frmAbout.h"
#include "app/windows/frmDocument.h"
#include "app/dialogs/frmFileInfo.h"
#include "app/dialogs/frmUserGuide.h"
#include "app/dialogs/frmPrintPreview.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

const char* const kProjectFilter = "Orthovane Projects (*.ovp)|*.ovp|All Files (*.*)|*.*";

// Marks the window busy while a command waits for a dialog or the printer, so that the
// scene commands stay disabled until it is done.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy), previous_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = previous_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
    bool previous_;
};

} // namespace

// ------------------------------------------------------------------ File

void frmMain::OnFileNew() { NewDocument(); }

void frmMain::OnFileOpen() {
    const std::string path = ShowFileDialog("Open Project", "ovp", "", kProjectFilter, true);
    if (!path.empty()) OpenProject(path); // empty: the dialog was cancelled
}

void frmMain::OnFileClose() {
    frmDocument* document = ActiveDocument();
    if (!document) return;
    if (auto* window = qobject_cast<QMdiSubWindow*>(document->parentWidget())) window->close();
    else document->close();
}

void frmMain::OnFileSave() {
    if (clsScene* scene = CurrentScene()) OnSave(*scene);
}

void frmMain::OnFileSaveAs() {
    if (clsScene* scene = CurrentScene()) SaveSceneAs(*scene);
}

void frmMain::OnFileSaveAll() {
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        auto* document = qobject_cast<frmDocument*>(window->widget());
        if (document && !OnSave(document->GetScene())) break;
    }
}

void frmMain::OnFilePrint() {
    clsScene* scene = CurrentScene();
    frmDocument* document = ActiveDocument();
    if (!scene || !document) return;
    {
        BusyScope busy(busy_);
        UpdateUI(false);
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QString::fromStdString(scene->Name));
        if (ChoosePrinter && ChoosePrinter(printer)) {
            // The whole view volume on the page, with the grid as the scene shows it.
            document->GetActiveView().OnPrint(printer, scene->GetRootNode(), true, false, scene->ShowGrid);
            frmPrintPreview::PrinterChosen() = true;
        }
    }
    UpdateUI(false);
}

void frmMain::OnFileImport() {
    clsScene* scene = CurrentScene();
    if (!scene) return;
    const std::string path = ShowFileDialog("Import Project", "ovp", "", kProjectFilter, true);
    if (path.empty()) return;
    scene->LoadScene(path, true, AskToRecover(path, "Import"));
    UpdateUI(true);
}

void frmMain::OnFileExit() { close(); }

// ------------------------------------------------------------------ Edit

void frmMain::OnEditUndo() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.Undo();
    UpdateUI(true);
}

void frmMain::OnEditRedo() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.Redo();
    UpdateUI(true);
}

void frmMain::StoreInClipboard(const clsNode& selection) {
    // The clipboard outlives any document: its copy belongs to no scene until pasted.
    clipboard_ = selection.Duplicate();
    clipboard_->BindToScene(nullptr);
}

void frmMain::OnEditCut() {
    clsScene* scene = CurrentScene();
    clsNode* selection = scene ? scene->GetSelection() : nullptr;
    if (!selection) return;
    StoreInClipboard(*selection);
    scene->TreeManager.DeleteSelected(true);
    UpdateUI(true);
}

void frmMain::OnEditCopy() {
    clsScene* scene = CurrentScene();
    clsNode* selection = scene ? scene->GetSelection() : nullptr;
    if (!selection) return;
    StoreInClipboard(*selection);
    UpdateUI(false);
}

void frmMain::OnEditPaste() {
    clsScene* scene = CurrentScene();
    if (!scene || !clipboard_) return;
    clsTreeManager& manager = scene->TreeManager;
    manager.PushUndoTree("Paste");
    // The clipboard keeps its node: every paste inserts a fresh copy with keys of its own.
    std::unique_ptr<clsNode> copy = clipboard_->Duplicate();
    if (!copy->IsSelection()) {
        const std::string key = manager.AddNode(std::move(copy))->Key;
        manager.SelectNodeByKey(key, false);
    } else {
        bool additive = false;
        for (auto& member : copy->ClonedMembers) {
            const std::string key = manager.AddNode(std::move(member))->Key;
            manager.SelectNodeByKey(key, additive);
            additive = true;
        }
    }
    UpdateUI(true);
}

void frmMain::OnEditSelectAll() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.SelectAll();
}

// ------------------------------------------------------------------ Object

void frmMain::OnObjectDelete() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.DeleteSelected(false);
    UpdateUI(true);
}

void frmMain::OnObjectDuplicate() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.DuplicateSelected();
    UpdateUI(true);
}

void frmMain::OnObjectVisible() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.ToggleSelectionVisiblity();
    UpdateUI(true);
}

void frmMain::OnObjectGroup() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.GroupSelected();
    UpdateUI(true);
}

void frmMain::OnObjectUngroup() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.UngroupSelected();
    UpdateUI(true);
}

void frmMain::OnObjectUngroupAll() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.UngroupAllSelected();
    UpdateUI(true);
}

void frmMain::OnObjectShowSelOnly() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.ShowSelectedObjects();
    UpdateUI(true);
}

void frmMain::OnObjectShowAll() {
    if (clsScene* scene = CurrentScene()) scene->TreeManager.ShowAllObjects();
    UpdateUI(true);
}

void frmMain::OnObjectVanishLines() {
    clsScene* scene = CurrentScene();
    clsNode* selection = scene ? scene->GetSelection() : nullptr;
    if (!selection) return;
    selection->SetShowVanishPoint(!selection->VanishPointVisible());
    // The flag is saved with the objects.
    scene->OnDirty();
    SelectionChanged();
    scene->UpdateViews();
}

// ------------------------------------------------------------------ View

void frmMain::OnViewRulers() {
    if (clsScene* scene = CurrentScene()) {
        scene->ShowRulers = !scene->ShowRulers;
        MenuAction("mnuViewRulers")->setChecked(scene->ShowRulers);
        scene->UpdateViews();
    }
}

void frmMain::OnViewGrid() {
    if (clsScene* scene = CurrentScene()) {
        scene->ShowGrid = !scene->ShowGrid;
        MenuAction("mnuViewGrid")->setChecked(scene->ShowGrid);
        scene->UpdateViews();
    }
}

void frmMain::OnViewAxes() {
    if (clsScene* scene = CurrentScene()) {
        scene->ShowAxes = !scene->ShowAxes;
        MenuAction("mnuViewAxes")->setChecked(scene->ShowAxes);
        scene->UpdateViews();
    }
}

void frmMain::OnLayout2x2() {
    if (frmDocument* document = ActiveDocument()) document->SetLayout(0);
}

void frmMain::OnLayout3x1() {
    if (frmDocument* document = ActiveDocument()) document->SetLayout(1);
}

void frmMain::OnZoomIn() {
    if (!CurrentScene()) return;
    SetTool(ToolZoom);
}

void frmMain::OnZoomOut() {
    if (clsScene* scene = CurrentScene()) scene->ResetZoom();
}

void frmMain::OnZoomCloser() {
    if (frmDocument* document = ActiveDocument()) document->ZoomActiveView(ToolInteraction::WheelZoomFactor);
}

void frmMain::OnZoomFarther() {
    if (frmDocument* document = ActiveDocument()) document->ZoomActiveView(1 / ToolInteraction::WheelZoomFactor);
}

void frmMain::OnZoomObjects() {
    if (frmDocument* document = ActiveDocument()) document->ZoomToObjects(false);
}

void frmMain::OnZoomObjectsAll() {
    if (frmDocument* document = ActiveDocument()) document->ZoomToObjects(true);
}

void frmMain::OnFileInfo() {
    clsScene* scene = CurrentScene();
    if (!scene) return;
    {
        BusyScope busy(busy_);
        frmFileInfo dialog(*scene, ActiveDocument());
        dialog.exec();
    }
    UpdateUI(false);
}

void frmMain::OnResetEyePoint() {
    if (clsScene* scene = CurrentScene()) scene->ResetEyePoint();
    UpdateUI(false);
}

void frmMain::OnTool(std::int32_t code) {
    if (CurrentScene()) SetTool(code);
    ToolChanged();
}

// ------------------------------------------------------------------ Window

void frmMain::OnWindowCascade() { mdi_->cascadeSubWindows(); }

namespace {

// Lays the open, not minimised windows out in equal strips: one above the other
// (horizontal) or side by side (vertical).
void TileStrips(QMdiArea& area, bool horizontal) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::StackingOrder))
        if (!window->isMinimized() && window->isVisible()) windows.append(window);
    if (windows.isEmpty()) return;
    const QRect room = area.viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[i];
        if (window->isMaximized()) window->showNormal();
        QRect strip;
        if (horizontal) {
            const int top = room.height() * i / count, bottom = room.height() * (i + 1) / count;
            strip = QRect(0, top, room.width(), bottom - top);
        } else {
            const int left = room.width() * i / count, right = room.width() * (i + 1) / count;
            strip = QRect(left, 0, right - left, room.height());
        }
        window->setGeometry(strip);
    }
}

} // namespace

void frmMain::OnWindowTileHorizontal() { TileStrips(*mdi_, true); }

void frmMain::OnWindowTileVertical() { TileStrips(*mdi_, false); }

void frmMain::OnWindowArrangeIcons() {
    // Minimised windows line up along the bottom edge, left to right.
    const QRect room = mdi_->viewport()->rect();
    int x = 0;
    int y = room.bottom();
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > room.width()) {
            x = 0;
            y -= size.height();
        }
        window->move(x, y - size.height() + 1);
        x += size.width();
    }
}

// ------------------------------------------------------------------ Help

void frmMain::OnHelpGuide() {
    const QString path = frmUserGuide::UserGuidePath();
    if (path.isEmpty()) {
        ShowMessage("The user guide (share/doc/orthovane/user-guide.html) is not installed beside the program.",
                    PromptIcon::Critical);
        return;
    }
    // One guide window, beside the drawing rather than in its way.
    auto* guide = findChild<frmUserGuide*>();
    if (!guide) {
        guide = new frmUserGuide(path, this);
        guide->setAttribute(Qt::WA_DeleteOnClose);
    }
    guide->show();
    guide->raise();
}

void frmMain::OnHelpContents() {
    const std::string address = HelpAddress();
    if (!OpenUrl || !OpenUrl(QUrl(QString::fromStdString(address))))
        ShowMessage("Unable to load help file: " + address, PromptIcon::Critical);
}

void frmMain::OnHelpAbout() {
    frmAbout about(this);
    about.exec();
}

// ------------------------------------------------------------------ transform panel

void frmMain::OnApply() {
    clsScene* scene = CurrentScene();
    if (!scene || !scene->GetSelection()) return;
    scene->TreeManager.PushUndoTree("Transform");
    clsNode* selection = scene->GetSelection();
    if (!selection) return;
    ApplyTransform(*selection, transform_->Values(), transform_->Edited(), transform_->Relative());
    scene->UpdateViews();
    scene->OnDirty();
    UpdateStatusBar();
    UpdateUI(false);
}

} // namespace ov
