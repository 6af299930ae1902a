// The main window's commands that open a dialog on the active scene: print preview and the
// drawing-program export, object properties and a new function object, the camera, the
// scene's settings and the user functions.
#include "app/windows/frmMain.h"

#include "app/dialogs/ObjectProperties.h"
#include "app/windows/frmDocument.h"
#include "app/dialogs/frmFunctionEditor.h"
#include "app/dialogs/frmPerspective.h"
#include "app/dialogs/frmPrintPreview.h"
#include "app/dialogs/frmSceneProperties.h"
#include "scene/clsScene.h"

namespace ov {

template <typename Dialog>
void frmMain::RunSceneDialog(Dialog dialog) {
    clsScene* scene = CurrentScene();
    if (!scene || busy_) return;
    // While the dialog is up the scene commands stay disabled, so that nothing changes the
    // scene underneath it.
    busy_ = true;
    UpdateUI(false);
    dialog(*scene);
    busy_ = false;
    // Any dialog may have changed the selection's objects, the undo list or the settings
    // the panels show.
    UpdateUI(true);
}

void frmMain::OnFilePrintPreview() {
    RunSceneDialog([this](clsScene& scene) {
        // The preview shows a printer's page: until one was chosen, the user chooses it now.
        if (!frmPrintPreview::PrinterChosen()) {
            if (!SetUpPrinter || !SetUpPrinter(frmPrintPreview::Printer())) return;
            frmPrintPreview::PrinterChosen() = true;
        }
        frmDocument* document = ActiveDocument();
        ShowPrintPreview(this, scene, document ? document->GetActiveView().ViewType : clsView::Perspective, false);
    });
}

void frmMain::OnFileExportDraw() {
    RunSceneDialog([this](clsScene& scene) {
        frmDocument* document = ActiveDocument();
        ShowPrintPreview(this, scene, document ? document->GetActiveView().ViewType : clsView::Perspective, true);
    });
}

void frmMain::OnObjectProperties() {
    RunSceneDialog([this](clsScene& scene) { ShowObjectProperties(this, scene); });
}

void frmMain::OnInsertFunction() {
    RunSceneDialog([this](clsScene& scene) { InsertFunctionObject(this, scene); });
}

void frmMain::OnEditPerspective() {
    RunSceneDialog([this](clsScene& scene) {
        // Camera edits go through its own undo step; the document is changed once applied.
        if (ShowPerspectiveDialog(this, scene)) scene.OnDirty();
    });
}

void frmMain::OnViewScene() {
    RunSceneDialog([this](clsScene& scene) { ShowScenePropertiesDialog(this, scene); });
}

void frmMain::OnViewFunctions() {
    RunSceneDialog([this](clsScene& scene) { ShowFunctionEditor(this, scene); });
}

} // namespace ov
