// View > Reference Picture and its Show item: the picture behind the perspective views; View >
// Match Camera: the camera found from the picture.
#include <QAction>

#include "app/dialogs/frmMatchCamera.h"
#include "app/dialogs/frmReferencePicture.h"
#include "app/windows/frmDocument.h"
#include "app/windows/frmMain.h"
#include "platform/Prompt.h"
#include "scene/clsScene.h"

namespace ov {

void frmMain::OnViewReference() {
    clsScene* scene = CurrentScene();
    if (!scene) return;
    frmReferencePicture dialog(scene->Reference, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const ReferencePicture chosen = dialog.Picture();
    if (chosen != scene->Reference) {
        scene->Reference = chosen;
        scene->OnDirty(); // the picture is saved with the project
        scene->UpdateViews();
    }
    UpdateUI(false);
}

void frmMain::OnViewReferenceShow() {
    clsScene* scene = CurrentScene();
    if (!scene || !scene->Reference.IsSet()) return;
    scene->Reference.Visible = !scene->Reference.Visible;
    scene->OnDirty();
    scene->UpdateViews();
    UpdateUI(false);
}

void frmMain::OnViewMatchCamera() {
    clsScene* scene = CurrentScene();
    frmDocument* document = ActiveDocument();
    if (!scene || !document) return;
    if (!scene->Reference.IsSet()) {
        ShowMessage("Choose a reference picture first (View > Reference Picture).", PromptIcon::Information);
        return;
    }
    if (auto* open = document->findChild<frmMatchCamera*>()) { // one panel per document
        open->raise();
        open->activateWindow();
        return;
    }
    auto* panel = new frmMatchCamera(*document, *scene);
    panel->show();
}

} // namespace ov
