#pragma once
// The points of a sampled curve, kept as one flat array (x, y, z of each point after one
// another: 24 bytes a point). The room a curve takes is charged to a budget that every
// curve of the program shares, so that files asking for absurdly fine curves end with a
// message instead of exhausting memory.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "geometry/clsPoint3D.h"

namespace ov {

class CurvePoints {
public:
    CurvePoints() = default;
    CurvePoints(const CurvePoints&) = delete;
    CurvePoints& operator=(const CurvePoints&) = delete;
    ~CurvePoints();

    // Makes room for points in all; false, with nothing changed, when the budget cannot
    // hold them. Reporting the refusal is up to the caller (ReportRefusal).
    bool Reserve(std::size_t points);
    // Appends a point, growing the room as needed; false when the budget refuses.
    bool Add(const clsPoint3D& p);
    // Gives back the room the curve did not use.
    void Trim();

    std::size_t Count() const { return xyz_.size() / 3; }
    clsPoint3D At(std::size_t i) const { return {xyz_[3 * i], xyz_[3 * i + 1], xyz_[3 * i + 2]}; }

private:
    std::vector<double> xyz_;
    std::size_t charged_ = 0; // points charged to the budget
};

// The budget of curve points held at once by the whole program.
namespace CurveBudget {

constexpr std::size_t kDefaultLimit = 20000000;

std::size_t Limit();
void SetLimit(std::size_t points);
std::size_t InUse();
// The message for a curve that did not fit.
std::string RefusalMessage();
// Called with RefusalMessage when a curve is cut short for lack of room; the program
// shows it once in its own way. Empty: refusals are only counted.
void SetRefusalHandler(std::function<void(const std::string&)> handler);
void ReportRefusal();

} // namespace CurveBudget

} // namespace ov
