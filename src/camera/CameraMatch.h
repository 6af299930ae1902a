#pragma once
// Camera matching: the eye point, viewing direction, view-up vector and field of view of
// the camera that took a picture, found from edges in the picture that run parallel to the
// document axes.
//
// Picture coordinates. Positions are pixels of a Width x Height picture as an image viewer
// shows them: origin at the top left corner, x to the right, y down. The principal point
// (where the viewing axis pierces the picture) is taken to be the picture's centre; the
// solver works in centred coordinates x' = x - Width/2, y' = Height/2 - y (y' up).
//
// Camera space is the camera's own frame: U right, V up, W back towards the viewer, so a
// point in front of the eye has a negative W coordinate. A camera with focal length f
// (in pixels) sees the direction (x', y', -f) at the centred picture point (x', y').
//
// The geometry, step by step:
// 1. Each axis pair gives a vanishing point: the intersection of its two lines, found in
//    homogeneous coordinates (line = p1 x p2, point = line1 x line2). Lines parallel in the
//    picture (upright edges seen by a level camera) give a vanishing point at infinity: the
//    axis runs parallel to the picture, in their direction. A pair on one line is refused,
//    and so is a segment of zero length.
// 2. The images of two orthogonal directions (v1, -f) and (v2, -f) are orthogonal exactly
//    when v1 . v2 + f^2 = 0, so f^2 = -(v1 . v2). The two vanishing points have to lie on
//    opposite sides of the centre (v1 . v2 < 0), or no real camera sees them. With three
//    axes every pair gives an f^2 and their mean over the valid pairs is taken. A point at
//    infinity says nothing of f, so two of the pairs must converge in the picture.
// 3. The unit directions (x', y', -f)/|..| of the vanishing points ((dx, dy, 0) for one at
//    infinity) are the camera-space directions of the axes up to their sign. With two axes the third is their cross
//    product; with three the frame is made exactly orthonormal again (nearest rotation,
//    by polar iteration), and AxisAngleError reports how far the three directions found
//    were from right angles - a check on the user's lines. Six lines over-determine the
//    four unknowns (f and the rotation), so the frame and f are then fitted to all of them
//    by least squares (CameraMatchFit.h).
// 4. The signs. +X runs from the origin's picture point towards the scale point when one
//    is given; without it, +X is the sign that points away from the eye (negative W), as
//    X edges receding into the picture do in most photographs. +Z always points up in the
//    picture (positive V), since pictures are seldom taken upside down (looking straight
//    down, V has no Z part, and +Z is the sign towards the viewer). Y is then the sign
//    that makes the frame right-handed (X x Y = Z), like the document's own axes.
// 5. Translation. The origin lies on the ray through its picture point, at a distance d
//    from the eye. With a scale point (document point (Length, 0, 0)), d is the least-
//    squares solution of d*r0 + Length*X = s*r1 (r0, r1 the unit rays of the origin and of
//    the scale point); the eye then is -d * (r0 in document axes). Without a scale point
//    d = 20: the eye is 20 units from the origin, which fixes the otherwise unknown size.
//
// Refused, each with a message in Error that names the axis or point at fault: numbers that
// are not finite or beyond 1E+09 pixels; fewer than two pairs; a segment shorter than a
// pixel; two lines of a pair that are one line; fewer than two pairs that converge in the
// picture; vanishing points on the same side of the centre; three axes
// more than 20 degrees from right angles; an origin within a pixel of the horizon (its ray
// would run parallel to the ground plane XY, putting the eye in that plane); a scale point
// within a pixel of the origin, more than 10 degrees off the X axis's picture line through
// the origin, or one that would put the origin behind the eye.

#include <array>
#include <optional>
#include <string>

#include "camera/clsPerspective.h"
#include "geometry/clsPoint3D.h"

namespace ov {

// A point of the picture, in pixels (origin top left, y down).
struct PicturePoint {
    double x = 0;
    double y = 0;
};

struct PictureSegment {
    PicturePoint Start, End;
};

// Two segments along picture lines whose real-world lines run parallel to one axis.
using AxisPair = std::array<PictureSegment, 2>;

struct CameraMatchInput {
    double Width = 0, Height = 0;                // picture size in pixels
    std::array<std::optional<AxisPair>, 3> Axes; // X, Y, Z; at least two of them
    PicturePoint Origin;                          // where (0, 0, 0) appears
    std::optional<PicturePoint> ScalePoint;       // where (ScaleLength, 0, 0) appears
    double ScaleLength = 1;                       // used with ScalePoint only
};

struct CameraMatch {
    clsPoint3D EyePoint;
    clsPoint3D Normal; // unit viewing direction
    clsPoint3D ViewUp; // unit, the camera's V axis
    double FocalLength = 0;    // pixels
    double FieldOfView = 0;    // horizontal, degrees
    double AxisAngleError = 0; // three axes: largest departure from 90 degrees between them
    double Width = 0, Height = 0;
};

struct CameraMatchResult {
    std::string Error; // empty when solved
    CameraMatch Camera;
    bool Ok() const { return Error.empty(); }
};

// The camera that sees the input's lines, or a message saying why there is none.
CameraMatchResult MatchCamera(const CameraMatchInput& input);

// Puts a solved camera into a scene camera: EyePoint, Normal, ViewUp, and the view window
// that shows exactly the picture at the camera's Distance (kept; 0.5 when it is not a
// positive number): UMax = Distance * (Width/2) / f, VMax = Distance * (Height/2) / f,
// UMin = -UMax, VMin = -VMax. Field becomes 0 (custom) so that the window stays as set,
// and UVRatio the picture's aspect so that a preset chosen later keeps its shape.
void ApplyCameraMatch(const CameraMatch& match, clsPerspective& camera);

} // namespace ov
