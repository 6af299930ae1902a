#include "settings/clsSceneSettings.h"

#include <algorithm>
#include <cmath>

namespace ov {

clsSceneSettings::clsSceneSettings()
    : Line(1, 0, 0, 255), GridMinor(0.25, 220, 220, 220), GridMajor(0.25, 192, 192, 192),
      GridHorizon(0.25, 128, 128, 128), Horizon(0.25, 0, 128, 0), VanishLine(0.25, 100, 255, 100),
      CenterOfView(0.25, 0, 0, 0) {
    UpdateAutoGrid();
}

clsSceneSettings::~clsSceneSettings() = default;

clsPerspective& clsSceneSettings::GetPerspective() {
    if (!perspective_) perspective_ = std::make_unique<clsPerspective>();
    return *perspective_;
}

const clsPerspective& clsSceneSettings::GetPerspective() const {
    if (!perspective_) perspective_ = std::make_unique<clsPerspective>();
    return *perspective_;
}

bool clsSceneSettings::UpdateAutoGrid() {
    const double m = std::min({std::fabs(ViewVolumeMax.x - ViewVolumeMin.x), std::fabs(ViewVolumeMax.y - ViewVolumeMin.y),
                               std::fabs(ViewVolumeMax.z - ViewVolumeMin.z)});
    const bool validManualGrid = !AutoGrid && MajorGrid >= 0 && MinorGrid > 0;
    bool derivable = true;
    if (!validManualGrid) {
        derivable = m > 0 && std::isfinite(m);
        MajorGrid = RoundGridStep(m);
        MinorGrid = MajorGrid / 5;
    }
    if (AutoNudge) NudgeOffset = MinorGrid;
    return derivable;
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
