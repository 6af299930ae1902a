#include "expr/BuiltinMath.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace ov {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kTwoPi = 6.28318530717958;

double Sign(double x) { return x > 0 ? 1 : x < 0 ? -1 : 0; }

// The hyperbolic functions from e^x and e^-x; either one overflowing is a fault of its own.
BuiltinFault Exponentials(double x, double& ex, double& emx, double& r) {
    ex = std::exp(x);
    emx = std::exp(-x);
    if (!std::isfinite(ex)) return r = ex, BuiltinFault::NotFinite;
    if (!std::isfinite(emx)) return r = emx, BuiltinFault::NotFinite;
    return BuiltinFault::None;
}

BuiltinFault Hyperbolic(Builtin id, double x, double& r) {
    double ex = 0, emx = 0;
    if (const BuiltinFault f = Exponentials(x, ex, emx, r); f != BuiltinFault::None) return f;
    if (id == Builtin::CosH) r = (ex + emx) / 2;
    else if (id == Builtin::SinH) r = (ex - emx) / 2;
    else r = (ex - emx) / (ex + emx);
    return BuiltinFault::None;
}

BuiltinFault Inverse(Builtin id, double x, double y, double& r) {
    switch (id) {
    case Builtin::ArcCos:
        if (x < -1 || x > 1) return BuiltinFault::OutsideMinusOneToOne;
        r = x == -1 ? kPi : x == 1 ? 0 : kPi / 2 - std::atan(x / std::sqrt(1 - x * x));
        return BuiltinFault::None;
    case Builtin::ArcCosH:
        if (x < 1) return BuiltinFault::BelowOne;
        r = std::log(x + std::sqrt(x * x - 1));
        return BuiltinFault::None;
    case Builtin::ArcSin:
        if (x < -1 || x > 1) return BuiltinFault::OutsideMinusOneToOne;
        r = x == -1 ? -kPi / 2 : x == 1 ? kPi / 2 : std::atan(x / std::sqrt(1 - x * x));
        return BuiltinFault::None;
    case Builtin::ArcSinH: r = std::log(x + std::sqrt(x * x + 1)); return BuiltinFault::None;
    case Builtin::ArcTan2: { // arguments (y, x); the angle of (x, y) in [0, 2 pi)
        const double py = x, px = y;
        if (px == 0 && py == 0) return BuiltinFault::BothZero;
        r = px > 0 ? std::atan(py / px) : px < 0 ? std::atan(py / px) + kPi : Sign(py) * kPi / 2;
        if (r < 0) r += kTwoPi;
        return BuiltinFault::None;
    }
    case Builtin::ArcTanH:
        if (x <= -1 || x >= 1) return BuiltinFault::NotInsideMinusOneToOne;
        r = std::log((x + 1) / (1 - x)) / 2;
        return BuiltinFault::None;
    default: return BuiltinFault::Internal;
    }
}

BuiltinFault Logarithm(Builtin id, double x, double y, double& r) {
    if (x <= 0 || (id == Builtin::Log && y <= 0)) return BuiltinFault::LogOfNonPositive;
    if (id == Builtin::Ln) r = std::log(x);
    else if (id == Builtin::Log10) r = std::log(x) / std::log(10.0);
    else if (y == 1) return BuiltinFault::LogBaseOne;
    else r = std::log(x) / std::log(y);
    return BuiltinFault::None;
}

BuiltinFault Factorial(double x, double& r) {
    if (x < 0) return BuiltinFault::BelowZero;
    const double n = std::trunc(x);
    r = 1;
    for (double k = 2; k <= n; ++k) {
        r *= k;
        if (!std::isfinite(r)) break; // reported as an overflow by the caller
    }
    return BuiltinFault::None;
}

} // namespace

namespace {

// The library's own function, called directly rather than through a function of ours.
PlainBuiltin Library(PlainBuiltin f) { return f; }

} // namespace

PlainBuiltin PlainBuiltinFunction(Builtin id) {
    switch (id) {
    case Builtin::Abs: return [](double x) { return std::fabs(x); };
    case Builtin::ArcTan: return Library(&std::atan);
    case Builtin::Ceil: return [](double x) { return std::floor(x + 1); };
    case Builtin::Cos: return Library(&std::cos);
    case Builtin::Exp: return Library(&std::exp);
    case Builtin::Fix: return [](double x) { return std::trunc(x); };
    case Builtin::Floor: return [](double x) { return std::floor(x); };
    case Builtin::Frac: return [](double x) { return x - std::trunc(x); };
    case Builtin::Sin: return Library(&std::sin);
    case Builtin::Tan: return Library(&std::tan);
    default: return nullptr;
    }
}

BuiltinFault ComputeBuiltinValue(Builtin id, double x, double y, double& r) {
    if (const PlainBuiltin f = PlainBuiltinFunction(id)) {
        r = f(x);
        return BuiltinFault::None;
    }
    switch (id) {
    case Builtin::Degrees: r = x * 180 / kPi; return BuiltinFault::None;
    case Builtin::Fact: return Factorial(x, r);
    case Builtin::Ln:
    case Builtin::Log:
    case Builtin::Log10: return Logarithm(id, x, y, r);
    case Builtin::Max: r = y > x ? y : x; return BuiltinFault::None;
    case Builtin::Min: r = y < x ? y : x; return BuiltinFault::None;
    case Builtin::Mod:
        if (y == 0) return BuiltinFault::ModByZero;
        r = x - std::trunc(x / y) * y;
        return BuiltinFault::None;
    case Builtin::Radians: r = x * kPi / 180; return BuiltinFault::None;
    case Builtin::Sign: r = Sign(x); return BuiltinFault::None;
    case Builtin::Sqrt:
        if (x < 0) return BuiltinFault::SqrtOfNegative;
        r = std::sqrt(x);
        return BuiltinFault::None;
    case Builtin::CosH:
    case Builtin::SinH:
    case Builtin::TanH: return Hyperbolic(id, x, r);
    default: return Inverse(id, x, y, r);
    }
}

} // namespace ov
