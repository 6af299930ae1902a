// View > Reference Picture and its Show item: the picture behind the perspective views.
#include <QAction>

#include "app/dialogs/frmReferencePicture.h"
#include "app/windows/frmMain.h"
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

} // namespace ov
