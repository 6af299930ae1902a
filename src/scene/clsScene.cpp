#include "scene/clsScene.h"

#include <algorithm>
#include <cmath>

namespace ov {

clsScene::clsScene()
    : Line(1, 0, 0, 255), GridMinor(0.25, 220, 220, 220), GridMajor(0.25, 192, 192, 192),
      GridHorizon(0.25, 128, 128, 128), Horizon(0.25, 0, 128, 0), VanishLine(0.25, 100, 255, 100),
      CenterOfView(0.25, 0, 0, 0) {
    UpdateAutoGrid();
}

void clsScene::OnToolChange(std::int32_t newTool, std::int32_t /*oldTool*/) {
    if (DocumentWindow) DocumentWindow->OnToolChange(newTool);
}

void clsScene::UpdateViews() {
    if (DocumentWindow) DocumentWindow->UpdateViews();
}

void clsScene::ResetZoom() {
    if (DocumentWindow) DocumentWindow->ResetZoom();
}

void clsScene::OnPerspectiveChange() {
    OnDirty();
    if (DocumentWindow) DocumentWindow->OnPerspectiveChange();
}

void clsScene::OnDirty() {
    if (Modified) return;
    Modified = true;
    if (DocumentWindow) DocumentWindow->SetCaption(Name + " *");
}

void clsScene::OnClean() {
    if (!Modified) return;
    Modified = false;
    if (DocumentWindow) DocumentWindow->SetCaption(Name);
}

clsPerspective& clsScene::GetPerspective() {
    if (!perspective_) perspective_ = std::make_unique<clsPerspective>();
    return *perspective_;
}

const clsPerspective& clsScene::GetPerspective() const {
    if (!perspective_) perspective_ = std::make_unique<clsPerspective>();
    return *perspective_;
}

void clsScene::UpdateAutoGrid() {
    const double m = std::min({std::fabs(ViewVolumeMax.x - ViewVolumeMin.x), std::fabs(ViewVolumeMax.y - ViewVolumeMin.y),
                               std::fabs(ViewVolumeMax.z - ViewVolumeMin.z)});
    const bool validManualGrid = !AutoGrid && MajorGrid >= 0 && MinorGrid > 0;
    if (!validManualGrid) {
        MajorGrid = RoundGridStep(m);
        MinorGrid = MajorGrid / 5;
    }
    if (AutoNudge) NudgeOffset = MinorGrid;
}

double RoundGridStep(double x) {
    if (!(x > 0) || !std::isfinite(x)) return 0; // no spacing can be derived
    const double e = std::log(x) / std::log(10.0);
    const double p = std::pow(10.0, std::floor(e));
    const double d = std::trunc(x / p);
    if (d < 2) return 0.2 * p;
    if (d < 5) return 0.5 * p;
    return p;
}

} // namespace ov
