#include "view/clsView.h"

#include "scene/clsScene.h"

namespace ov {

clsScene* clsView::GetDocumentScene() const { return dynamic_cast<clsScene*>(scene_); }

} // namespace ov
