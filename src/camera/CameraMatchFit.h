#pragma once
// The least-squares step of camera matching with three axis pairs: six lines over-determine
// the focal length and the camera's rotation (four unknowns), and the closed-form estimate
// from the vanishing points weighs the pairs unequally. This refines it.

#include <array>
#include <vector>

#include "geometry/clsPoint3D.h"

namespace ov {

// A user's segment in centred picture coordinates (x right, y up, z = 1), along one axis.
struct CentredSegment {
    clsPoint3D Start, End;
    int Axis = 0; // 0, 1, 2 for X, Y, Z
};

// Moves f and the orthonormal frame (the camera-space directions of the axes) to the
// least-squares fit of all segments: each segment's line through its midpoint and the
// vanishing point the frame predicts should pass through its ends; the residual is their
// distance in pixels. Gauss-Newton with the rotation as a small turn and f by its
// logarithm, so that f stays positive. Leaves both unchanged when the fit does not improve.
void FitAxes(const std::vector<CentredSegment>& segments, double& f, std::array<clsPoint3D, 3>& frame);

} // namespace ov
