#include "camera/CameraMatch.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "camera/CameraMatchFit.h"
#include "io/NumberText.h"

namespace ov {

namespace {

constexpr double kDegrees = 57.295779513082320876798; // per radian
const char* const kAxisNames[] = {"X", "Y", "Z"};
// Vanishing points farther out than this many picture diagonals count as at infinity.
constexpr double kFarthestVanishingPoint = 1e6;
// How far, in degrees, the scale point may lie off the X axis's picture line through the
// origin: more than marking errors explain means a point of another edge was taken.
constexpr double kScaleOffAxis = 10;
// How far from right angles three axes found from the lines may be before a pair is taken
// to be off its axis; marking errors of a few pixels give a few degrees at most.
constexpr double kLargestAngleError = 20;
// Positions and sizes beyond this many pixels are refused.
constexpr double kFarthestPixel = 1e9;

clsPoint3D Unit(clsPoint3D v) { return v.Normalize(), v; }
clsPoint3D Scaled(clsPoint3D v, double f) { return v.Multiply(f), v; }
clsPoint3D Negated(clsPoint3D v) { return v.Invert(), v; }

std::string Text(const PicturePoint& p) {
    return "(" + GeneralNumberText(p.x) + ", " + GeneralNumberText(p.y) + ")";
}

// A pixel coordinate the solver can square and cross without overflow.
bool Usable(double v) { return std::isfinite(v) && std::fabs(v) <= kFarthestPixel; }
bool Usable(const PicturePoint& p) { return Usable(p.x) && Usable(p.y); }

// Pixel positions turned into centred coordinates, y up (see the header).
struct Centred {
    double halfWidth, halfHeight;
    clsPoint3D operator()(const PicturePoint& p) const { return {p.x - halfWidth, halfHeight - p.y, 1}; }
};

// Everything one solve works on; each step fills in its part or sets Error.
struct Solve {
    explicit Solve(const CameraMatchInput& input)
        : in(input), centred{input.Width / 2, input.Height / 2}, diagonal(std::hypot(input.Width, input.Height)) {}
    const CameraMatchInput& in;
    Centred centred;
    double diagonal;
    std::vector<int> axes;              // the axes given, in order X, Y, Z
    // Centred vanishing points, homogeneous: (x, y, 1), or (dx, dy, 0) for lines parallel in
    // the picture, whose vanishing point lies at infinity in the direction (dx, dy).
    std::array<clsPoint3D, 3> vanish{};
    double f = 0;                       // focal length, pixels
    std::array<clsPoint3D, 3> frame{};  // camera-space directions of +X, +Y, +Z
    std::string Error;
};

std::string CheckNumbers(const CameraMatchInput& in) {
    if (!(Usable(in.Width) && Usable(in.Height) && in.Width > 0 && in.Height > 0))
        return "The picture size must be two positive numbers up to 1E+09";
    for (int k = 0; k < 3; ++k) {
        if (!in.Axes[k]) continue;
        for (const PictureSegment& s : *in.Axes[k])
            if (!Usable(s.Start) || !Usable(s.End))
                return std::string("The ") + kAxisNames[k] + " lines hold a number that is not finite or beyond 1E+09";
    }
    if (!Usable(in.Origin)) return "The origin's position is not finite or beyond 1E+09";
    if (in.ScalePoint && !(Usable(*in.ScalePoint) && Usable(in.ScaleLength) && in.ScaleLength > 0))
        return "The scale point needs a position up to 1E+09 and a positive length";
    return {};
}

// The line through a segment, in centred homogeneous coordinates scaled by the diagonal
// (so that the tests below do not depend on the picture's size), with (a, b) of unit length.
bool LineOf(const Solve& s, const PictureSegment& seg, clsPoint3D& line) {
    if (std::hypot(seg.End.x - seg.Start.x, seg.End.y - seg.Start.y) < 1) return false;
    clsPoint3D a = s.centred(seg.Start), b = s.centred(seg.End);
    a.SetPoint(a.x / s.diagonal, a.y / s.diagonal, 1);
    b.SetPoint(b.x / s.diagonal, b.y / s.diagonal, 1);
    line = a.CrossProduct(b);
    line.Multiply(1 / std::hypot(line.x, line.y));
    return true;
}

// Step 1: the vanishing point of one axis pair.
void FindVanishingPoint(Solve& s, int axis) {
    const AxisPair& pair = *s.in.Axes[axis];
    const std::string name = kAxisNames[axis];
    clsPoint3D lines[2];
    for (int i = 0; i < 2; ++i)
        if (!LineOf(s, pair[i], lines[i])) {
            s.Error = "The " + std::string(i ? "second " : "first ") + name + " segment, " + Text(pair[i].Start) +
                      " to " + Text(pair[i].End) + ", is shorter than a pixel";
            return;
        }
    const clsPoint3D h = lines[0].CrossProduct(lines[1]);
    const double far = std::hypot(h.x, h.y);
    if (std::fabs(h.z) <= 1e-12 && far <= 1e-12) {
        s.Error = "The two " + name + " segments lie on one line: they need two different edges";
    } else if (std::fabs(h.z) * kFarthestVanishingPoint <= far) {
        // Upright edges seen by a level camera: the axis runs parallel to the picture.
        s.vanish[axis].SetPoint(h.x / far, h.y / far, 0);
    } else {
        s.vanish[axis].SetPoint(h.x / h.z * s.diagonal, h.y / h.z * s.diagonal, 1);
    }
}

// Step 2: the focal length from the pairs of orthogonal vanishing points.
void FindFocalLength(Solve& s) {
    double sum = 0;
    int count = 0;
    for (std::size_t i = 0; i < s.axes.size(); ++i)
        for (std::size_t j = i + 1; j < s.axes.size(); ++j) {
            const clsPoint3D &a = s.vanish[s.axes[i]], &b = s.vanish[s.axes[j]];
            if (a.z == 0 || b.z == 0) continue; // a point at infinity says nothing of f
            const double f2 = -(a.x * b.x + a.y * b.y);
            if (f2 > 0 && std::isfinite(f2)) sum += f2, ++count;
        }
    for (int k : s.axes)
        if (count == 0 && s.vanish[k].z == 0) {
            s.Error = "The two " + std::string(kAxisNames[k]) + " lines are parallel in the picture: the focal length "
                      "then needs two other axes whose lines converge";
            return;
        }
    if (count == 0) {
        s.Error = "The vanishing points of the " + std::string(kAxisNames[s.axes[0]]) + " and " +
                  kAxisNames[s.axes[1]] + " lines give no real focal length: seen from the picture's centre "
                  "they have to lie on opposite sides";
        return;
    }
    s.f = std::sqrt(sum / count);
}

// The direction in which the picture of (origin + t X) leaves the origin's picture point o
// as t grows from 0: the derivative of the projection, up to a positive factor. Exact for
// the whole line, since lines stay straight in the picture.
clsPoint3D XImageDirection(const Solve& s, const clsPoint3D& X, const clsPoint3D& o) {
    return {s.f * X.x + X.z * o.x, s.f * X.y + X.z * o.y, 0};
}

bool XRunsTowards(const Solve& s, const clsPoint3D& X, const clsPoint3D& o, const clsPoint3D& target) {
    return XImageDirection(s, X, o).DotProduct({target.x - o.x, target.y - o.y, 0}) >= 0;
}

// The angle between two vectors in degrees.
double Angle(const clsPoint3D& a, const clsPoint3D& b) {
    return std::acos(std::clamp(Unit(a).DotProduct(Unit(b)), -1.0, 1.0)) * kDegrees;
}

// Step 3 and 4: the axes' directions with their signs, right-handed.
void FindAxes(Solve& s) {
    clsPoint3D dir[3];
    for (int k : s.axes) dir[k] = Unit({s.vanish[k].x, s.vanish[k].y, -s.f * s.vanish[k].z});
    const bool has[3] = {bool(s.in.Axes[0]), bool(s.in.Axes[1]), bool(s.in.Axes[2])};
    clsPoint3D X = has[0] ? dir[0] : Unit(dir[1].CrossProduct(dir[2]));
    clsPoint3D Z = has[2] ? dir[2] : Unit(dir[0].CrossProduct(dir[1]));
    const clsPoint3D o = s.centred(s.in.Origin);
    const bool flipX = s.in.ScalePoint ? !XRunsTowards(s, X, o, s.centred(*s.in.ScalePoint)) : X.z > 0;
    if (flipX) X.Invert();
    if (Z.y < 0 || (Z.y == 0 && Z.z < 0)) Z.Invert();
    clsPoint3D Y = has[1] ? dir[1] : Z.CrossProduct(X);
    if (X.CrossProduct(Y).DotProduct(Z) < 0) Y.Invert();
    s.frame = {X, Y, Z};
}

// The largest departure from a right angle between the axes found, in degrees.
double AngleError(const std::array<clsPoint3D, 3>& a) {
    double worst = 0;
    for (int i = 0; i < 3; ++i) worst = std::max(worst, std::fabs(Angle(a[i], a[(i + 1) % 3]) - 90));
    return worst;
}

// The rotation nearest to the frame: M := (M + M^-T) / 2 converges to the orthogonal
// factor of M's polar decomposition, fast for a frame that is nearly orthonormal already.
// The columns of M^-T are (b x c, c x a, a x b) / det for columns a, b, c.
void Orthonormalise(std::array<clsPoint3D, 3>& m) {
    for (int step = 0; step < 30; ++step) {
        const double det = m[0].DotProduct(m[1].CrossProduct(m[2]));
        if (!(det > 1e-9)) return; // not a frame: left to the angle check before
        std::array<clsPoint3D, 3> next = m;
        double change = 0;
        for (int i = 0; i < 3; ++i) {
            clsPoint3D inv = m[(i + 1) % 3].CrossProduct(m[(i + 2) % 3]);
            next[i] = Scaled(inv, 0.5 / det);
            next[i].Add(Scaled(m[i], 0.5));
            clsPoint3D d = next[i];
            d.Subtract(m[i]);
            change = std::max(change, d.GetLength());
        }
        m = next;
        if (change < 1e-15) break;
    }
}

// The distance in pixels of the centred picture point p from the horizon, the image of
// the directions parallel to the XY plane; infinite when the camera looks along Z.
double PixelsFromHorizon(const Solve& s, const clsPoint3D& p) {
    const clsPoint3D& Z = s.frame[2];
    const double slope = std::hypot(Z.x, Z.y);
    return slope == 0 ? INFINITY : std::fabs(Z.x * p.x + Z.y * p.y - s.f * Z.z) / slope;
}

// Step 5: the distance from the eye to the origin along the origin's ray r0.
bool OriginDistance(Solve& s, const clsPoint3D& r0, double& d) {
    if (!s.in.ScalePoint) {
        d = 20;
        return true;
    }
    const clsPoint3D o = s.centred(s.in.Origin), p = s.centred(*s.in.ScalePoint);
    if (std::hypot(p.x - o.x, p.y - o.y) < 1) {
        s.Error = "The scale point " + Text(*s.in.ScalePoint) + " coincides with the origin: it has to show the "
                  "point at the given length along X";
        return false;
    }
    if (Angle(XImageDirection(s, s.frame[0], o), {p.x - o.x, p.y - o.y, 0}) > kScaleOffAxis) {
        s.Error = "The scale point " + Text(*s.in.ScalePoint) + " does not lie along the X axis from the origin";
        return false;
    }
    // Least squares for d*r0 - m*r1 = -L*X with unit rays: [1 -c; -c 1] (d, m) = (-L X.r0, L X.r1).
    const clsPoint3D r1 = Unit({p.x, p.y, -s.f});
    const double c = r0.DotProduct(r1), L = s.in.ScaleLength;
    const double xr0 = s.frame[0].DotProduct(r0), xr1 = s.frame[0].DotProduct(r1), det = 1 - c * c;
    d = (-L * xr0 + c * L * xr1) / det;
    const double m = (L * xr1 - c * L * xr0) / det;
    if (d > 0 && m > 0 && std::isfinite(d)) return true;
    s.Error = "The scale point " + Text(*s.in.ScalePoint) + " and the origin put the origin behind the eye";
    return false;
}

CameraMatch Solved(const Solve& s, const clsPoint3D& r0, double d) {
    const auto& [X, Y, Z] = s.frame;
    CameraMatch m;
    // Camera coordinates are R (p - eye) with R's columns X, Y, Z: R's rows are U, V, W.
    m.EyePoint = Scaled({X.DotProduct(r0), Y.DotProduct(r0), Z.DotProduct(r0)}, -d);
    m.Normal = Negated({X.z, Y.z, Z.z});
    m.ViewUp = {X.y, Y.y, Z.y};
    m.FocalLength = s.f;
    m.FieldOfView = 2 * std::atan(s.in.Width / (2 * s.f)) * kDegrees;
    m.Width = s.in.Width;
    m.Height = s.in.Height;
    return m;
}

// The user's segments in centred coordinates, for the least-squares fit.
std::vector<CentredSegment> Segments(const Solve& s) {
    std::vector<CentredSegment> segments;
    for (int k : s.axes)
        for (const PictureSegment& seg : *s.in.Axes[k]) segments.push_back({s.centred(seg.Start), s.centred(seg.End), k});
    return segments;
}

// Steps 1 to 5; Error names the first thing that stops them.
void Run(Solve& s, CameraMatch& camera) {
    for (int k = 0; k < 3; ++k)
        if (s.in.Axes[k]) s.axes.push_back(k);
    if (s.axes.size() < 2) {
        s.Error = "At least two of the X, Y and Z line pairs are needed";
        return;
    }
    for (int k : s.axes)
        if (FindVanishingPoint(s, k); !s.Error.empty()) return;
    if (FindFocalLength(s); !s.Error.empty()) return;
    FindAxes(s);
    const double angleError = AngleError(s.frame);
    if (!(angleError <= kLargestAngleError)) {
        s.Error = "The three axes found from the lines are " + GeneralNumberText(std::round(angleError)) +
                  " degrees from right angles: a pair of lines does not follow its axis";
        return;
    }
    Orthonormalise(s.frame);
    if (s.axes.size() == 3) FitAxes(Segments(s), s.f, s.frame);
    const clsPoint3D o = s.centred(s.in.Origin), r0 = Unit({o.x, o.y, -s.f});
    if (PixelsFromHorizon(s, o) < 1) {
        s.Error = "The origin " + Text(s.in.Origin) + " lies on the horizon, so the eye would lie in the ground "
                  "plane: mark a ground point below or above the horizon";
        return;
    }
    double d = 0;
    if (!OriginDistance(s, r0, d)) return;
    camera = Solved(s, r0, d);
    camera.AxisAngleError = angleError;
    // A last guard: nothing that is not a number leaves the solver.
    for (double v : {camera.EyePoint.x, camera.EyePoint.y, camera.EyePoint.z, camera.Normal.x, camera.Normal.y,
                     camera.Normal.z, camera.ViewUp.x, camera.ViewUp.y, camera.ViewUp.z, camera.FieldOfView})
        if (!std::isfinite(v)) s.Error = "The lines give no camera that can be computed";
}

} // namespace

CameraMatchResult MatchCamera(const CameraMatchInput& input) {
    CameraMatchResult result;
    result.Error = CheckNumbers(input);
    if (!result.Ok()) return result;
    Solve s(input);
    Run(s, result.Camera);
    result.Error = s.Error;
    return result;
}

void ApplyCameraMatch(const CameraMatch& match, clsPerspective& camera) {
    if (!(camera.Distance > 0 && std::isfinite(camera.Distance))) camera.Distance = 0.5;
    camera.EyePoint = match.EyePoint;
    camera.Normal = match.Normal;
    camera.ViewUp = match.ViewUp;
    camera.UMax = camera.Distance * (match.Width / 2) / match.FocalLength;
    camera.VMax = camera.Distance * (match.Height / 2) / match.FocalLength;
    camera.UMin = -camera.UMax;
    camera.VMin = -camera.VMax;
    camera.UVRatio = match.Width / match.Height;
    camera.Field = 0;
}

} // namespace ov
