#include "shapes/clsFunction.h"

#include <cmath>

#include "expr/clsError.h"
#include "io/NumberedItems.h"
#include "io/clsOldStream.h"
#include "io/clsStream.h"
#include "platform/Desktop.h"
#include "settings/clsSceneSettings.h"

namespace ov {

namespace {

// Beyond this a curve only costs time and memory; sampling stops there.
constexpr double kMaxPoints = 1000000;

clsFncDef Formula(const char* header, const char* body) {
    clsFncDef def;
    def.ParseName(header);
    def.Body = body;
    return def;
}

} // namespace

clsFunction::clsFunction() {
    Functions = {Formula("x(t)", "t"),  Formula("y(t)", "t"),  Formula("z(t)", "t"),
                 Formula("From", "0"), Formula("To", "10"), Formula("Step", "(To-From)/20")};
}

void clsFunction::Translate(double dx, double dy, double dz) {
    Matrix.TranslateMatrix(dx, dy, dz);
    cached_ = false;
}

void clsFunction::RotateRel(double ax, double ay, double az, const clsPoint3D* center) {
    Matrix.RotateMatrix(ax, ay, az, center);
    cached_ = false;
}

void clsFunction::Stretch(double sx, double sy, double sz, const clsPoint3D* center) {
    Matrix.StretchMatrix(sx, sy, sz, center);
    cached_ = false;
}

void clsFunction::Assign(const clsFunction& source) {
    Functions.clear();
    for (const clsFncDef& def : source.Functions) {
        clsFncDef copy;
        copy.CopyAssign(def);
        Functions.push_back(std::move(copy));
    }
    TFrom = source.TFrom;
    TTo = source.TTo;
    TStep = source.TStep;
    scene_ = source.scene_;
    Matrix.Assign(source.Matrix);
    cached_ = false;
    cache_.reset();
}

std::unique_ptr<IShape> clsFunction::Clone() const {
    auto copy = std::make_unique<clsFunction>();
    copy->Assign(*this);
    return copy;
}

clsFncDef* clsFunction::FindFunctionOrg(std::string_view name) {
    if (scene_)
        if (clsFncDef* def = sceneIndex_.Find(scene_->Functions, name)) return def;
    return ownIndex_.Find(Functions, name);
}

std::unique_ptr<clsFncDef> clsFunction::FindFunction(std::string_view name) {
    const clsFncDef* def = FindFunctionOrg(name);
    return def ? def->Dup() : nullptr;
}

int clsFunction::NestFunction(std::string_view name, int delta) {
    clsFncDef* def = FindFunctionOrg(name);
    if (!def) return 0;
    def->NestCount += delta;
    return def->NestCount;
}

bool clsFunction::CheckAbort() { return ov::CheckAbort(true, true); }

SegmentList clsFunction::BreakApart() {
    // Sampling lets events through while it polls Esc; whatever asks for the curve then
    // gets nothing rather than a half-sampled curve, and never starts a second sampling.
    if (sampling_) return {};
    if (!cached_) {
        sampling_ = true;
        auto curve = std::make_shared<CurvePoints>();
        try {
            lastError_ = Sample(*curve);
        } catch (...) {
            sampling_ = false;
            throw;
        }
        curve->Trim();
        cache_ = std::move(curve);
        cached_ = true;
        sampling_ = false;
    }
    return SegmentList(cache_);
}

std::string clsFunction::Sample(CurvePoints& curve) {
    BeginAbortableOperation();
    clsError error;
    std::unique_ptr<clsFncDef> f[3] = {FindFunction("X"), FindFunction("Y"), FindFunction("Z")};
    if (!f[0] || !f[1] || !f[2]) {
        error.InternalError();
        return error.GetError();
    }
    // X, Y and Z are called with t alone, whatever parameters a definition declares: one
    // with another count fails here with the evaluator's parameter-count message.
    std::vector<double> args(1, TFrom);
    double ignored = 0;
    for (auto& def : f) {
        if (!def->Evaluate(*this, args, false, true, error, ignored)) return error.GetError();
    }
    const double sign = TStep > 0 ? 1 : TStep < 0 ? -1 : 0;
    const double epsilon = std::fabs(TStep) / 100;
    // Room for the points the range promises, at once rather than by repeated growth (a
    // million points would otherwise be copied and faulted in many times over). Without
    // room in the budget the curve grows as it goes, and Add reports when it cannot.
    const double expected = std::floor(std::fabs(TTo - TFrom) / std::fabs(TStep)) + 2;
    if (expected <= kMaxPoints + 1) curve.Reserve(static_cast<std::size_t>(expected));
    double t = TFrom;
    for (double k = 0;; ) {
        if (std::fabs(t - TTo) >= epsilon && sign * TTo <= sign * t) break;
        if (sign * TTo < sign * t) t = TTo; // the last point lands exactly on the end
        double xyz[3] = {0, 0, 0};
        args[0] = t;
        for (int i = 0; i < 3; ++i) {
            if (!f[i]->Evaluate(*this, args, true, true, error, xyz[i])) return error.GetError();
        }
        if (ov::CheckAbort(true, true)) {
            error.Aborted();
            return error.GetError();
        }
        if (!curve.Add(Matrix.TransformPoint({xyz[0], xyz[1], xyz[2]}))) {
            CurveBudget::ReportRefusal();
            return CurveBudget::RefusalMessage();
        }
        ++k;
        if (k > kMaxPoints)
            return "The curve has more than " + std::to_string(static_cast<long>(kMaxPoints)) + " points";
        const double next = TFrom + k * TStep;
        if (next == t) break; // a step too small to move t any further
        t = next;
    }
    return {};
}

void clsFunction::ReadData(const clsStream& record) {
    Matrix.ReadData(record.GetSubStream("Matrix"));
    TFrom = record.GetDouble("TFrom", false, 0, 0, 0);
    TTo = record.GetDouble("TTo", false, 0, 0, 0);
    TStep = record.GetDouble("TStep", false, 0, 0, 0);
    Functions.clear();
    const std::int32_t count = record.GetLong("FncCount", -1073741824, 1073741824, 0);
    for (const NumberedItem& numbered : NumberedItems(record, "Fnc", count)) {
        const std::string text = numbered.Text();
        if (text.empty()) continue;
        clsOldStream flat; // a damaged definition cannot disturb the next one
        flat.ParseString(text);
        Functions.emplace_back();
        Functions.back().ReadData(flat);
    }
    cached_ = false;
}

void clsFunction::WriteData(clsStream& record) const {
    Matrix.WriteData(record.CreateSubStream("Matrix"));
    record.SetDouble("TFrom", TFrom);
    record.SetDouble("TTo", TTo);
    record.SetDouble("TStep", TStep);
    record.SetLong("FncCount", static_cast<std::int32_t>(Functions.size()));
    for (std::size_t i = 0; i < Functions.size(); ++i) {
        clsOldStream flat;
        Functions[i].WriteData(flat);
        record.SetString("Fnc" + std::to_string(i + 1), flat.BuildString());
    }
}

} // namespace ov
