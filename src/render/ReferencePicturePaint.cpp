// The reference picture behind a perspective view: fitted into the camera's view window, so
// that it stays put on the picture plane whatever the zoom of the view.
#include <QImage>

#include "paint/clsPaintDC.h"
#include "paint/clsView.h"
#include "render/ReferenceImages.h"
#include "scene/clsScene.h"

namespace ov {

std::shared_ptr<const QImage> PlaceReferencePicture(const clsScene& scene, bool visibleOnly, PictureRect& rect) {
    const ReferencePicture& picture = scene.Reference;
    if (!picture.IsSet() || (visibleOnly && !picture.Visible)) return nullptr;
    std::shared_ptr<const QImage> image = ReferenceImage(picture.Path);
    if (!image) return nullptr;
    const clsPerspective& camera = scene.GetPerspective();
    rect = PlacePicture(picture, image->width(), image->height(), camera.UMin, camera.VMin, camera.UMax, camera.VMax);
    if (!(rect.Right > rect.Left && rect.Top > rect.Bottom)) return nullptr;
    return image;
}

void clsView::DrawReferencePicture(clsPaintDC& target) {
    const clsScene* scene = GetDocumentScene();
    PictureRect r;
    const std::shared_ptr<const QImage> image = scene ? PlaceReferencePicture(*scene, true, r) : nullptr;
    if (image) target.DrawPicture(*image, r.Left, r.Top, r.Right, r.Bottom, scene->Reference.Opacity);
}

} // namespace ov
