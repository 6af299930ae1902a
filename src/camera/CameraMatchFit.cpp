#include "camera/CameraMatchFit.h"

#include <cmath>
#include <utility>

namespace ov {

namespace {

constexpr int kUnknowns = 4; // a turn (three components) and the logarithm of f

struct Camera {
    double f;
    std::array<clsPoint3D, 3> frame;
};

// v turned by |w| radians about w (Rodrigues' formula).
clsPoint3D Turn(const clsPoint3D& v, const clsPoint3D& w) {
    const double angle = w.GetLength();
    if (angle == 0) return v;
    clsPoint3D k = w;
    k.Multiply(1 / angle);
    clsPoint3D across = k.CrossProduct(v), along = k;
    across.Multiply(std::sin(angle));
    along.Multiply(k.DotProduct(v) * (1 - std::cos(angle)));
    clsPoint3D turned = v;
    turned.Multiply(std::cos(angle));
    turned.Add(across);
    turned.Add(along);
    return turned;
}

Camera Moved(const Camera& c, const double step[kUnknowns]) {
    Camera moved{c.f * std::exp(step[3]), c.frame};
    for (clsPoint3D& axis : moved.frame) axis = Turn(axis, {step[0], step[1], step[2]});
    return moved;
}

// Signed distance in pixels of the segment's start from the line through its midpoint and
// the predicted vanishing point; the end lies as far on the other side.
double Residual(const Camera& c, const CentredSegment& s) {
    const clsPoint3D& d = c.frame[s.Axis];
    const clsPoint3D vanish{c.f * d.x, c.f * d.y, -d.z}; // homogeneous, also when at infinity
    const clsPoint3D middle{(s.Start.x + s.End.x) / 2, (s.Start.y + s.End.y) / 2, 1};
    const clsPoint3D line = middle.CrossProduct(vanish);
    const double norm = std::hypot(line.x, line.y);
    return norm == 0 ? 0 : line.DotProduct(s.Start) / norm;
}

double Cost(const Camera& c, const std::vector<CentredSegment>& segments) {
    double sum = 0;
    for (const CentredSegment& s : segments) sum += Residual(c, s) * Residual(c, s);
    return sum;
}

// Solves a x = b in place by Gaussian elimination with partial pivoting; false if singular.
bool Solve(double a[kUnknowns][kUnknowns], double b[kUnknowns]) {
    for (int col = 0; col < kUnknowns; ++col) {
        int pivot = col;
        for (int r = col + 1; r < kUnknowns; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (!(std::fabs(a[pivot][col]) > 1e-300)) return false;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (int r = col + 1; r < kUnknowns; ++r) {
            const double factor = a[r][col] / a[col][col];
            for (int k = col; k < kUnknowns; ++k) a[r][k] -= factor * a[col][k];
            b[r] -= factor * b[col];
        }
    }
    for (int r = kUnknowns - 1; r >= 0; --r) {
        for (int k = r + 1; k < kUnknowns; ++k) b[r] -= a[r][k] * b[k];
        b[r] /= a[r][r];
    }
    return true;
}

// One Gauss-Newton step with a numerical Jacobian; false when it finds no step.
bool GaussNewtonStep(const Camera& c, const std::vector<CentredSegment>& segments, double step[kUnknowns]) {
    constexpr double h = 1e-7;
    double normal[kUnknowns][kUnknowns] = {}, gradient[kUnknowns] = {};
    for (const CentredSegment& s : segments) {
        const double r = Residual(c, s);
        double row[kUnknowns];
        for (int i = 0; i < kUnknowns; ++i) {
            double nudge[kUnknowns] = {0, 0, 0, 0};
            nudge[i] = h;
            row[i] = (Residual(Moved(c, nudge), s) - r) / h;
        }
        for (int i = 0; i < kUnknowns; ++i) {
            gradient[i] -= row[i] * r;
            for (int k = 0; k < kUnknowns; ++k) normal[i][k] += row[i] * row[k];
        }
    }
    if (!Solve(normal, gradient)) return false;
    for (int i = 0; i < kUnknowns; ++i) step[i] = gradient[i];
    return true;
}

} // namespace

void FitAxes(const std::vector<CentredSegment>& segments, double& f, std::array<clsPoint3D, 3>& frame) {
    Camera best{f, frame};
    double cost = Cost(best, segments);
    for (int iteration = 0; iteration < 50; ++iteration) {
        double step[kUnknowns];
        if (!GaussNewtonStep(best, segments, step)) break;
        // Halve a step that overshoots; stop when none helps.
        bool improved = false;
        for (int tries = 0; tries < 20 && !improved; ++tries) {
            const Camera next = Moved(best, step);
            const double nextCost = Cost(next, segments);
            if (nextCost < cost && std::isfinite(nextCost)) best = next, cost = nextCost, improved = true;
            for (double& s : step) s /= 2;
        }
        if (!improved) break;
    }
    f = best.f;
    frame = best.frame;
}

} // namespace ov
