#pragma once
// The display settings of one project that every view of it uses (rulers, grid, axes,
// view volume, grid spacing, precision, nudge and rotation steps, the line styles of the
// construction lines), its camera and its user-defined functions. The scene builds on
// these; the views and the drawable objects need only this part of it.

#include <cstdint>
#include <memory>

#include "camera/clsPerspective.h"
#include "expr/FunctionListContext.h"
#include "geometry/clsPoint3D.h"
#include "style/clsOutline.h"

namespace ov {

class clsSceneSettings {
public:
    clsSceneSettings();
    virtual ~clsSceneSettings();
    clsSceneSettings(const clsSceneSettings&) = delete;
    clsSceneSettings& operator=(const clsSceneSettings&) = delete;

    bool ShowRulers = false;
    bool ShowGrid = true;
    bool ShowAxes = true;
    clsPoint3D ViewVolumeMin{-20, -20, -20};
    clsPoint3D ViewVolumeMax{20, 20, 20};
    double MajorGrid = 0;   // set by UpdateAutoGrid
    double MinorGrid = 0;
    bool AutoGrid = true;
    std::int32_t Precision = 4; // decimals shown for coordinates (1 to 10)
    bool AutoNudge = true;
    double NudgeOffset = 0; // set by UpdateAutoGrid
    double AngleStep = 3;   // degrees, 0 to 180
    clsOutline Line;        // default style of drawn objects
    clsOutline GridMinor;
    clsOutline GridMajor;
    clsOutline GridHorizon;
    clsOutline Horizon;
    clsOutline VanishLine;
    clsOutline CenterOfView;

    // The project's user-defined functions, which every formula of the project may call.
    FunctionList Functions;

    clsPerspective& GetPerspective();
    const clsPerspective& GetPerspective() const;

    // Recomputes the automatic grid spacing from the view volume, and the nudge offset
    // from the minor grid when it follows it. Run after construction, after reading or
    // loading a project, and after the settings dialog. False when an automatic grid
    // cannot be derived: the view volume has no extent along some axis.
    bool UpdateAutoGrid();

private:
    mutable std::unique_ptr<clsPerspective> perspective_; // created on first use
};

// Rounds a length to 0.2, 0.5 or 1 times the power of ten of its leading digit: the
// spacing of grids and rulers. 40 gives 5, 12 gives 2, 7 gives 1. A length that is not
// positive has no spacing: the result is 0.
double RoundGridStep(double x);

} // namespace ov
