#include <gtest/gtest.h>

#include <cmath>

#include "ExprTestSupport.h"

using namespace ov;
using ov::test::Eval;

namespace {

constexpr double kPi = 3.14159265358979;

struct Case {
    const char* body;
    double value;
};

struct Failure {
    const char* body;
    const char* message;
};

} // namespace

TEST(Builtins, Values) {
    const Case cases[] = {
        {"ABS(0-3)", 3},
        {"abs(2)", 2},
        {"ARCCOS(0-1)", kPi},
        {"ARCCOS(1)", 0},
        {"ARCCOS(0)", kPi / 2},
        {"ARCCOS(.5)", kPi / 2 - std::atan(0.5 / std::sqrt(0.75))},
        {"ARCCOSH(1)", 0},
        {"ARCSIN(1)", kPi / 2},
        {"ARCSIN(0-1)", -kPi / 2},
        {"ARCSIN(.5)", std::atan(0.5 / std::sqrt(0.75))},
        {"ARCSINH(0)", 0},
        {"ARCTAN(1)", std::atan(1.0)},
        {"ARCTAN2(1,1)", std::atan(1.0)},
        {"ARCTAN2(0,0-1)", kPi},
        {"ARCTAN2(0-1,0)", 6.28318530717958 - kPi / 2}, // negative angles are brought into [0, 2 pi)
        {"ARCTAN2(1,0)", kPi / 2},
        {"ARCTAN2(0-1,0-1)", std::atan(1.0) + kPi},
        {"ARCTANH(0)", 0},
        {"CEIL(2)", 3},
        {"CEIL(2.1)", 3},
        {"CEIL(0-2.5)", -2},
        {"COS(0)", 1},
        {"COSH(0)", 1},
        {"DEGREES(PI)", 180},
        {"EXP(0)", 1},
        {"FACT(3.7)", 6},
        {"FACT(0)", 1},
        {"FACT(.5)", 1},
        {"FACT(10)", 3628800},
        {"FIX(0-2.5)", -2},
        {"FLOOR(0-2.5)", -3},
        {"FRAC(0-2.5)", -0.5},
        {"FRAC(2.25)", 0.25},
        {"IF(1,2,3)", 2},
        {"IF(0,2,3)", 3},
        {"IF(1,2,SQRT(0-1))", 2}, // the branch not taken is never evaluated
        {"LN(E)", std::log(2.71828182845905)},
        {"LOG(8,2)", 3},
        {"LOG10(1000)", std::log(1000.0) / std::log(10.0)},
        {"MAX(1,2)", 2},
        {"MIN(1,2)", 1},
        {"MOD(0-7,3)", -1},
        {"MOD(7,0-3)", 1},
        {"MOD(7.5,2)", 1.5},
        {"RADIANS(180)", kPi},
        {"SIGN(0-4)", -1},
        {"SIGN(0)", 0},
        {"SIGN(9)", 1},
        {"SIN(0)", 0},
        {"SINH(0)", 0},
        {"SQRT(16)", 4},
        {"TAN(0)", 0},
        {"TANH(0)", 0},
        {"sqrt ( 9 )", 3},
    };
    for (const Case& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_TRUE(o.ok) << c.body << ": " << o.message;
        EXPECT_NEAR(o.value, c.value, 1e-12) << c.body;
    }
}

TEST(Builtins, DomainChecksAndMessages) {
    const Failure cases[] = {
        {"ARCCOS(2)", "Function 'ARCCOS' requires the parameter ranging from -1 and 1"},
        {"ARCSIN(0-1.5)", "Function 'ARCSIN' requires the parameter ranging from -1 and 1"},
        {"ARCCOSH(.5)", "Parameter of function 'ARCCOSH' must be greater than or equal to 1"},
        {"ARCTAN2(0,0)", "Both parameters of 'ARCTAN2' cannot equal to 0 at the same time"},
        {"ARCTANH(1)", "The parameter of 'ARCTANH' must be greater than -1 and less than 1"},
        {"ARCTANH(0-1)", "The parameter of 'ARCTANH' must be greater than -1 and less than 1"},
        {"FACT(0-1)", "Parameter of function 'FACT' must be greater than or equal to 0"},
        {"LN(0)", "Negative logarithm in 'F'"},
        {"LOG(0-1,2)", "Negative logarithm in 'F'"},
        {"LOG(2,0)", "Negative logarithm in 'F'"},
        {"LOG(8,1)", "The base of lagorithm must not be equal to 1"},
        {"LOG10(0)", "Negative logarithm in 'F'"},
        {"MOD(5,0)", "Division By Zero in 'MOD'"},
        {"SQRT(0-1)", "Negative square root in 'F'"},
        {"EXP(1000)", "Error evaluating function 'EXP': Overflow"},
        {"FACT(200)", "Error evaluating function 'FACT': Overflow"},
        {"COSH(1000)", "Error evaluating function 'COSH': Overflow"},
        {"SINH(0-1000)", "Error evaluating function 'SINH': Overflow"},
    };
    for (const Failure& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_FALSE(o.ok) << c.body << " gave " << o.value;
        EXPECT_EQ(o.message, c.message) << c.body;
    }
}

TEST(Builtins, FactorialOfAHugeNumberStopsAtTheOverflow) {
    const auto o = Eval("FACT(1E300)");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, "Error evaluating function 'FACT': Overflow");
}

TEST(Builtins, ArgumentCounts) {
    const Failure cases[] = {
        {"SIN", "Too few parameters in call to function 'SIN' from 'F'"},
        {"SIN()", "Too few parameters in call to function 'SIN' from 'F'"},
        {"SIN(1,2)", "Too many parameters in call to function 'SIN' from 'F'"},
        {"MAX(1)", "Too few parameters in call to function 'MAX' from 'F'"},
        {"IF(1,2)", "Too few parameters in call to function 'IF' from 'F'"},
        {"IF(1,2,3,4)", "Too many parameters in call to function 'IF' from 'F'"},
        {"RAND(1,2)", "Too many parameters in call to function 'RAND' from 'F'"},
        {"SIN(1,)", "Argument expected in 'F'"},
        {"SIN(", "Argument expected in 'F'"},
        {"SIN(1", "Argument expected in 'F'"},
        {"SIN(,1)", "Argument expected in 'F'"},
    };
    for (const Failure& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_FALSE(o.ok) << c.body;
        EXPECT_EQ(o.message, c.message) << c.body;
    }
}

TEST(Builtins, RandFollowsItsArgumentRules) {
    const auto seeded = Eval("RAND(0-7)");
    ASSERT_TRUE(seeded.ok);
    EXPECT_GE(seeded.value, 0);
    EXPECT_LT(seeded.value, 1);
    EXPECT_EQ(Eval("RAND(0)").value, seeded.value);       // the last number again
    EXPECT_EQ(Eval("RAND(0-7)").value, seeded.value);     // same seed, same number
    const double next = Eval("RAND(1)").value;            // the sequence goes on
    const double after = Eval("RAND").value;
    EXPECT_NE(next, seeded.value);
    EXPECT_NE(after, next);
    EXPECT_EQ(Eval("RAND(0-7)").value, seeded.value);
    EXPECT_EQ(Eval("RAND()").value, next);
    EXPECT_NE(Eval("RAND(0-8)").value, seeded.value);     // another seed, another number
    EXPECT_TRUE(Eval("RAND(0-1E300)").ok);                // seeds beyond single precision are fine

    // Single precision numbers in [0, 1), spread over the interval.
    Eval("RAND(0-1)");
    double lo = 1, hi = 0;
    for (int i = 0; i < 5000; ++i) {
        const double v = Eval("RAND").value;
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 1);
        EXPECT_EQ(v, static_cast<double>(static_cast<float>(v)));
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_LT(lo, 0.01);
    EXPECT_GT(hi, 0.99);
}

TEST(Builtins, BuiltinsShadowUserFunctions) {
    FunctionList functions{test::Definition("SIN(X)", "42")};
    const auto o = Eval("SIN(0)", &functions);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.value, 0);
}
