#pragma once
// The arithmetic of the built-in functions, shared by the interpreter and the compiled
// formulas so that both compute every value with the very same operations. A domain
// fault is returned as a kind; the interpreter turns it into the user's message.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "expr/Builtins.h"

namespace ov {

enum class BuiltinFault {
    None,
    OutsideMinusOneToOne, // ARCCOS, ARCSIN
    BelowOne,             // ARCCOSH
    BelowZero,            // FACT
    BothZero,             // ARCTAN2
    NotInsideMinusOneToOne, // ARCTANH
    NotFinite,            // COSH, SINH, TANH: an exponential overflowed; r holds it
    LogOfNonPositive,     // LN, LOG, LOG10
    LogBaseOne,           // LOG
    ModByZero,            // MOD
    SqrtOfNegative,       // SQRT
    Internal              // IF, RAND and None are not computed here
};

// x * x - p exactly, for p = x * x (Dekker's product, without a call of fma): x split into
// halves of 26 bits whose products are exact. Exact while 2^-450 < |x| < 2^500, where the
// square is finite and the products cannot underflow; PowerOf asks well inside that.
inline double SquareResidual(double x, double p) {
    const double split = 134217729.0 * x; // 2^27 + 1
    const double high = split - (split - x), low = x - high;
    return ((high * high - p) + 2 * (high * low)) + low * low;
}

// x ^ y as the operator computes it: std::pow, except that a square is x * x where that is
// certainly pow's own result. The exact square is x * x plus its rounding residual; while
// the residual stays within 0.45 units in the last place and x * x is no power of two, both
// neighbouring doubles are at least 0.55 units away from the exact square, and a pow
// accurate to better than that returns x * x (glibc documents 0.54 units for its pow in the
// default rounding). The interpreter and the compiled formulas both use this function, so
// they agree whatever the library does. Inline: it is on the path of every x^2.
inline double PowerOf(double x, double y) {
    if (y == 2) {
        const double p = x * x;
        std::uint64_t bits;
        std::memcpy(&bits, &p, sizeof bits);
        const std::uint64_t exponent = bits & 0x7FF0000000000000ull;
        // Normal, far from overflow, not a power of two: one unit in the last place of p is
        // 2^(e - 52), a double whose exponent field is 52 less.
        if (exponent >= (std::uint64_t{600} << 52) && exponent <= (std::uint64_t{2000} << 52) &&
            (bits & 0xFFFFFFFFFFFFFull) != 0) {
            const std::uint64_t unitBits = exponent - (std::uint64_t{52} << 52);
            double unit;
            std::memcpy(&unit, &unitBits, sizeof unit);
            if (std::fabs(SquareResidual(x, p)) <= 0.45 * unit) return p;
        }
    }
    return std::pow(x, y);
}

// The built-ins that cannot fail on a finite argument, as plain functions of one argument
// (null for the others): the compiled formulas call them directly, and ComputeBuiltinValue
// computes them with the very same functions.
using PlainBuiltin = double (*)(double);
PlainBuiltin PlainBuiltinFunction(Builtin id);

// Computes the built-in id of x (and y for the two-argument ones) into r. The caller still
// checks that a result without a fault is finite.
BuiltinFault ComputeBuiltinValue(Builtin id, double x, double y, double& r);

} // namespace ov
