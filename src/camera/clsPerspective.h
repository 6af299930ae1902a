#pragma once
// The eye-point camera of a scene. Camera space is an orthonormal right-handed frame at
// the eye: U points right in the picture, V up, W back towards the viewer, so points in
// front of the eye have negative W. The picture plane lies at depth Distance in front of
// the eye; (u, v) are measured in it from the centre of view.

#include <cstdint>

#include "geometry/clsLine2D.h"
#include "geometry/clsLine3D.h"
#include "geometry/clsMatrix3D.h"
#include "geometry/clsPoint3D.h"

namespace ov {

class clsStream;

class clsPerspective {
public:
    clsPerspective();

    clsPoint3D EyePoint;
    clsPoint3D Normal;  // viewing direction, any non-zero length
    clsPoint3D ViewUp;  // approximate picture up, any length, not parallel to Normal
    double UMin = -2;
    double VMin = -2;
    double UMax = 2;
    double VMax = 2;
    double UVRatio = 1.41;
    double Distance = 0.5;
    double FrontClipping = 0; // offset of the front plane from the picture plane towards the eye
    double BackClipping = -50;
    bool ClipBack = false;
    bool ShowHorizon = true;
    bool ShowCenter = false;
    clsPoint3D Horizon; // normal of the horizon plane
    double HorizonOffset = 0;
    std::int32_t Field = 4; // 0 custom, 1 angle, 2..6 the ratios 1:2, 1:1, 2:1, 3:1, 4:1
    bool ShowVanishLines = true;
    double FieldAngle = 30; // half-angle in degrees, used by Field 1

    // Number of field-of-view presets, and their distance : half-window ratios.
    static constexpr std::int32_t FieldCount = 7;
    static const char* FieldName(std::int32_t field);

    void UpdateFieldOfView();
    void CopyAssign(const clsPerspective& other) { *this = other; }
    clsPerspective Duplicate() const { return *this; }
    clsPoint3D GetViewUpVector() const;
    // Projection without clipping; a point at depth 0 projects to (0, 0). Always true.
    bool ConvertPoint(const clsPoint3D& p, double& u, double& v) const;
    bool IsHorizonVisible() const { return ShowHorizon; }
    bool IsShowCrossHairs() const { return ShowCenter; }
    void GetBaseVectors(clsPoint3D& U, clsPoint3D& V, clsPoint3D& W) const;
    double GetDepth(const clsPoint3D& p) const;
    // The horizon clipped to the view window; degenerate when there is none to draw.
    clsLine2D GetHorizonLine() const;
    // Clips the segment to the view pyramid and the front (and optional back) plane and
    // projects it. False, with the outputs untouched, when nothing is visible.
    bool ConvertLine(const clsLine3D& line, double& uStart, double& vStart, double& uEnd, double& vEnd) const;
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;

    // Navigation: these change EyePoint, Normal and ViewUp only.
    void CameraTilt(double angle);
    void CameraZoom(double distance);
    void CameraRotate(double yaw, double pitch);
    void CameraPan(double du, double dv);
    void CameraNudge(const clsPoint3D& v);
    void CameraTransform(const clsMatrix3D& m);

    // Turning the eye from an orthographic view with the arrow keys (dx, dy from -1, 0, 1;
    // a horizontal turn when dx is not 0), by angleStep degrees about the horizon normal
    // or towards it. The caller records the undo step first.
    void TurnEyeHorizontally(int dx, double angleStep);
    void TurnEyeVertically(int dy, double angleStep);

    // The Liang-Barsky step: keeps the part of [tEnter, tLeave] where p*t >= q.
    static bool ClipTest(double p, double q, double& tEnter, double& tLeave);
    // Clips a segment given in camera coordinates, in place.
    bool ClipCameraLine(clsLine3D& line) const;

private:
    void MoveEyeLocal(double a, double b, double c);
    void RotateCameraLocal(const clsMatrix3D& m);
    // Picture coordinates of camera coordinates.
    void Project(const clsPoint3D& c, double& u, double& v) const;
};

} // namespace ov
