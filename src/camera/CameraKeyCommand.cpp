#include "camera/CameraKeyCommand.h"

namespace ov {

void CameraKeyCommand::ApplyTo(clsPerspective& camera) const {
    switch (Move) {
    case CameraMove::None: break;
    case CameraMove::Rotate: camera.CameraRotate(A, B); break;
    case CameraMove::Tilt: camera.CameraTilt(A); break;
    case CameraMove::Pan: camera.CameraPan(A, B); break;
    case CameraMove::Advance: camera.CameraZoom(A); break;
    case CameraMove::TurnEye:
        if (A != 0) camera.TurnEyeHorizontally(static_cast<int>(A), C);
        else camera.TurnEyeVertically(static_cast<int>(B), C);
        break;
    }
}

CameraKeyCommand PerspectiveArrowKeyCommand(int dx, int dy, bool shift, bool ctrl, bool alt, double angleStep,
                                            double nudgeOffset) {
    CameraKeyCommand c;
    if (alt || (dx == 0 && dy == 0)) return c;
    if (shift) {
        if (dx != 0 && ctrl) c = {CameraMove::Tilt, "Tilt View", -dx * angleStep, 0, 0};
        else if (dx != 0) c = {CameraMove::Rotate, "Rotate View", dx * angleStep, 0, 0};
        else if (!ctrl) c = {CameraMove::Rotate, "Rotate View", 0, dy * angleStep, 0};
    } else if (ctrl) {
        if (dy != 0 && dx == 0) c = {CameraMove::Advance, "Advance View", dy * nudgeOffset, 0, 0};
    } else {
        c = {CameraMove::Pan, "Pan View", dx * nudgeOffset, dy * nudgeOffset, 0};
    }
    return c;
}

CameraKeyCommand EyeTurnKeyCommand(int dx, int dy, double angleStep) {
    if (dx == 0 && dy == 0) return {};
    return {CameraMove::TurnEye, "Rotate Eye Point", static_cast<double>(dx), static_cast<double>(dy), angleStep};
}

} // namespace ov
