// The reference picture behind a perspective view: fitted into the camera's view window, so
// that it stays put on the picture plane whatever the zoom of the view.
#include <QImage>

#include "paint/clsPaintDC.h"
#include "paint/clsView.h"
#include "render/ReferenceImages.h"
#include "scene/clsScene.h"

namespace ov {

void clsView::DrawReferencePicture(clsPaintDC& target) {
    const clsScene* scene = GetDocumentScene();
    if (!scene || !scene->Reference.IsSet() || !scene->Reference.Visible) return;
    const std::shared_ptr<const QImage> image = ReferenceImage(scene->Reference.Path);
    if (!image) return;
    const clsPerspective& camera = scene->GetPerspective();
    const PictureRect r = PlacePicture(scene->Reference, image->width(), image->height(), camera.UMin, camera.VMin,
                                       camera.UMax, camera.VMax);
    if (r.Right <= r.Left || r.Top <= r.Bottom) return;
    target.DrawPicture(*image, r.Left, r.Top, r.Right, r.Bottom, scene->Reference.Opacity);
}

} // namespace ov
