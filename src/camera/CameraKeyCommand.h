#pragma once
// The arrow-key commands that move the camera: what a key combination does, under which
// undo name, decided apart from performing it so that the view can record the undo step
// in between.

#include <string>

#include "camera/clsPerspective.h"

namespace ov {

enum class CameraMove { None, Rotate, Tilt, Pan, Advance, TurnEye };

struct CameraKeyCommand {
    CameraMove Move = CameraMove::None;
    std::string UndoName; // empty when the keys do nothing
    double A = 0;         // first argument of the camera call
    double B = 0;         // second argument, where the call has one
    double C = 0;         // the angle step of an eye turn (A, B are then dx, dy)

    bool Handled() const { return Move != CameraMove::None; }
    void ApplyTo(clsPerspective& camera) const;
};

// Arrow keys in the perspective view. dx is 1 for Right and -1 for Left, dy 1 for Up and
// -1 for Down; angleStep and nudgeOffset are the scene's rotation step (degrees) and
// nudge distance. Combinations that do nothing (Alt, Ctrl+Left/Right, Shift+Ctrl+Up/Down)
// give a command that is not Handled; the caller beeps.
CameraKeyCommand PerspectiveArrowKeyCommand(int dx, int dy, bool shift, bool ctrl, bool alt, double angleStep,
                                            double nudgeOffset);

// Shift+arrow in an orthographic view with nothing selected: turns the eye about the
// horizon normal (Left/Right) or towards it (Up/Down).
CameraKeyCommand EyeTurnKeyCommand(int dx, int dy, double angleStep);

} // namespace ov
