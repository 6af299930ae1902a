#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "ExprTestSupport.h"
#include "expr/BuiltinMath.h"

using namespace ov;
using namespace ov::test;

constexpr double kPi = 3.14159265358979;

struct ValueCase { const char* body; double value; double tolerance = 1e-12; };

static void ExpectValues(std::initializer_list<ValueCase> cases) {
    for (const ValueCase& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_TRUE(o.ok) << c.body << ": " << o.message;
        EXPECT_NEAR(o.value, c.value, c.tolerance) << c.body;
    }
}

TEST(Grammar, PrecedenceSignsComparisonsLogicAndNumbers) {
    const std::string tiny = "." + std::string(400, '0') + "1"; // too small is 0, not an error
    ExpectValues({
        {"2+3*4", 14}, {"(2+3)*4", 20}, {"2^(-1)", 0.5}, {"10-4-3", 3}, {"64/4/2", 8}, {"2*3^2", 18}, {"  7  ", 7},
        {"-2^2", -4}, {"-2*3", -6}, {"+5", 5}, {"-(-3)", 3}, {"- 2 + 3", 1}, {"(2^3)^2", 64}, {"2^(3^2)", 512},
        {"3<2<1", 1}, {"3=<3", 1}, {"3<=3", 1}, {"3=>4", 0}, {"4>=4", 1}, {"1<>2", 1}, {"1><1", 0}, {"2=2", 1},
        {"2>1+3", 0}, {"!0", 1}, {"!5", 0}, {"!1=2", 1}, {"2*!0", 2}, {"2^!1", 1}, {"1<2 & 3<4", 1},
        {"1 & 0 | 1", 1}, {"0 | 1 & 0", 0}, {"2 & 3", 1}, // left to right, no precedence among & and |
        {"2PI", 2}, {"1E3", 1000}, {"1E-5", -4}, {"1D2", 100}, {".5", 0.5}, {"5.", 5}, {"1.5.3", 1.5}, {"1e", 1},
        {"007", 7}, {"pi", kPi}, {"E", 2.71828182845905}, {"e*1", 2.71828182845905}, {tiny.c_str(), 0},
    });
}

TEST(Grammar, ErrorFormsAndArithmeticFaultsPerLevel) {
    const std::string expected = "Argument expected in 'F'", symbol = "Syntax error at symbol '";
    const auto during = [](const char* what) { return "Error during " + std::string(what) + " in 'F': Overflow"; };
    ExpectErrors({
        {"2-+3", Syntax("+")}, {"--3", Syntax("-")}, {"2*-3", Syntax("-")}, {"2^-1", Syntax("-")},
        {"2/+1", Syntax("+")}, {"2^3^2", Syntax("^")}, {"1!2", Syntax("!")}, {"2 3", Syntax("3")},
        {"2)", Syntax(")")}, {"2,3", Syntax(",")}, {"1\t+2", Syntax("\t")}, {"*2", Syntax("*")},
        {"2#", Syntax("#")}, {"2 \xC3\xA9", Syntax("\xC3\xA9")}, // a character beyond ASCII: reported whole
        {std::string("(2\0+3)", 6), Syntax(std::string(1, '\0'))}, {"2+", "Syntax error in 'F'"},
        {"1==1", symbol + "==' in 'F'"}, {"1>>2", symbol + ">>' in 'F'"}, {"2 ABC", symbol + "ABC' in 'F'"},
        {"!!0", expected}, // the sum level stops at a second "!"
        {"   ", expected}, {"()", expected}, {"(2", "')' expected in 'F'"}, {"1E999", Fault("F")},
        {"5/0", "Division By Zero in 'F'"}, {"10^400", Fault("F")},
        {"10E99999999999999999999", Fault("F")}, // a huge exponent after several digits
        {"1E300*1E300", during("multiplication")}, {"1E300/.001/.001/.001", during("division")},
        {"1E308+1E308", during("addition")}, {"-1E308-1E308", during("subtraction")},
        {"(0-8)^(1/3)", Fault("F", "Invalid procedure call or argument")},
        {"0^(0-1)", Fault("F", "Division by zero")},
    });
}

TEST(Grammar, CheckingWithoutComputingSkipsArithmeticButNotSyntaxCountsOrNames) {
    for (const char* body : {"1==1", "5/0", "SQRT(0-1)", "SUM(I*2,I,1,10)", "1E400", "SUM(I,I,1,1E400)"})
        EXPECT_TRUE(Eval(body, nullptr, false).ok) << body;
    ExpectErrors({{"2^3^2", Syntax("^")}, {"NOSUCH(1)", "Function 'NOSUCH' not defined"},
                  {"SQRT(1,2)", Count("many", "SQRT")}, {"SUM(I,I,1,10,2^3^4)", Syntax("^")},
                  {"SUM(I*Q,I,1,10)", "Function 'Q' not defined"}}, // the index counts as defined
                 nullptr, false);
}

TEST(Builtins, ValuesOfFunctionsAndMacros) {
    const double asinHalf = std::atan(0.5 / std::sqrt(0.75));
    ExpectValues({
        {"ABS(0-3)", 3}, {"abs(2)", 2}, {"ARCCOS(0-1)", kPi}, {"ARCCOS(.5)", kPi / 2 - asinHalf}, {"ARCCOSH(1)", 0},
        {"ARCSIN(0-1)", -kPi / 2}, {"ARCSIN(.5)", asinHalf}, {"ARCSINH(0)", 0}, {"ARCTAN(1)", kPi / 4},
        {"ARCTAN2(0,0-1)", kPi}, {"ARCTAN2(1,0)", kPi / 2}, {"ARCTAN2(0-1,0-1)", 5 * kPi / 4},
        {"ARCTAN2(0-1,0)", 6.28318530717958 - kPi / 2}, // negative angles are brought into [0, 2 pi)
        {"ARCTANH(0)", 0}, {"CEIL(2)", 3}, {"CEIL(2.1)", 3}, {"CEIL(0-2.5)", -2}, {"COS(0)", 1}, {"COSH(0)", 1},
        {"DEGREES(PI)", 180}, {"EXP(0)", 1}, {"FACT(3.7)", 6}, {"FACT(0)", 1}, {"FACT(.5)", 1}, {"FACT(10)", 3628800},
        {"FIX(0-2.5)", -2}, {"FLOOR(0-2.5)", -3}, {"FRAC(0-2.5)", -0.5}, {"IF(1,2,3)", 2}, {"IF(0,2,3)", 3},
        {"IF(1,2,SQRT(0-1))", 2}, {"IF(0,1E400,3)", 3}, {"IF(1,3,1E400)", 3}, // a branch not taken is not computed
        {"LN(E)", std::log(2.71828182845905)}, {"LOG(8,2)", 3}, {"LOG10(1000)", std::log(1000.0) / std::log(10.0)},
        {"MAX(1,2)", 2}, {"MIN(1,2)", 1}, {"MOD(0-7,3)", -1}, {"MOD(7,0-3)", 1}, {"MOD(7.5,2)", 1.5},
        {"RADIANS(180)", kPi}, {"SIGN(0-4)", -1}, {"SIGN(0)", 0}, {"SIGN(9)", 1}, {"SIN(0)", 0}, {"SINH(0)", 0},
        {"SQRT(16)", 4}, {"TAN(0)", 0}, {"TANH(0)", 0}, {"sqrt ( 9 )", 3}, {"SUM(I,I,1,10)", 55},
        {"SUM(I,I,10,1)", 55}, {"SUM(I,I,1,10,3)", 22}, {"SUM(I,I,10,1,3)", 22}, {"SUM(I,I,3,3)", 3},
        {"SUM(I*I,I,1,3)", 14}, {"PRODUCT(I,I,5,1,2)", 15}, {"SUM(1,K,0-2,2)", 5}, {"sum(i, i, 1, 3)", 6},
        {"SUM(SUM(J,J,1,I),I,1,3)", 10}, {"SUM(I,I,1.0,2E0)", 3}, {"INTEGRATE(X*X,X,0,3)", 9},
        {"INTEGRATE(X^3,X,0,2)", 4}, {"INTEGRATE(X,X,1,1,0)", 0, 0}, {"INTEGRATE(X,X,3,0)", -4.5},
        {"INTEGRATE(SIN(X),X,0,PI)", 2, 1e-7}, {"INTEGRATE(EXP(X),X,0,1,.001)", 2.71828182845905 - 1},
        {"INTEGRATE(SIN(X),X,0,PI,1)", 2, 1e-7}, // two or fewer panel pairs fall back to 100 panels
    });
}

// x^2 is taken as x * x where the rounding of x * x leaves pow no other answer: whatever
// this machine's pow does, the square must be its result, bit for bit.
TEST(Builtins, SquaresAreTheLibraryPowersBitForBit) {
    std::uint64_t state = 12345;
    const auto next = [&] { return state = state * 6364136223846793005ull + 1442695040888963407ull; };
    int differences = 0;
    for (int k = 0; k < 300000; ++k) {
        const double mantissa = 1 + static_cast<double>(next() >> 11) / 9007199254740992.0;
        const double x = std::ldexp(k % 2 ? -mantissa : mantissa, static_cast<int>(next() % 1960) - 980);
        const double square = x * x;
        if (std::fabs(x) > 0x1p-450 && std::fabs(x) < 0x1p500 && SquareResidual(x, square) != std::fma(x, x, -square))
            ADD_FAILURE() << "residual of " << x;
        const double mine = PowerOf(x, 2), library = std::pow(x, 2.0);
        if (std::memcmp(&mine, &library, sizeof mine) != 0 && ++differences < 5)
            ADD_FAILURE() << "x = " << x << ": " << mine << " against pow's " << library;
    }
    for (const double x : {0.0, -0.0, 1.0, 3.0, 0.1, 1e-170, 1e170, 1e200, 4.9e-324, 2.2250738585072014e-308})
        EXPECT_EQ(PowerOf(x, 2), std::pow(x, 2.0)) << x;
    EXPECT_EQ(differences, 0);
}

TEST(Builtins, DomainChecksArgumentCountsMacroRulesAndTheirMessages) {
    const auto range = [](const char* f) {
        return "Function '" + std::string(f) + "' requires the parameter ranging from -1 and 1";
    };
    const std::string log = "Negative logarithm in 'F'", expected = "Argument expected in 'F'";
    const std::string atanh = "The parameter of 'ARCTANH' must be greater than -1 and less than 1";
    const auto index = [](const char* name, const char* f) {
        return "Invalid index variable name '" + std::string(name) + "' of function '" + f + "' in 'F'";
    };
    const std::string sum = "value of 'Sum' must be ", integer = " index value of 'Sum' must be an integer. ";
    ExpectErrors({
        {"ARCCOS(2)", range("ARCCOS")}, {"ARCSIN(0-1.5)", range("ARCSIN")}, {"IF(1,1E400,3)", Fault("F")},
        {"MAX(1E400,FOO)", "Function 'FOO' not defined"}, // arguments are checked before any is computed
        {"ARCCOSH(.5)", "Parameter of function 'ARCCOSH' must be greater than or equal to 1"},
        {"ARCTAN2(0,0)", "Both parameters of 'ARCTAN2' cannot equal to 0 at the same time"},
        {"ARCTANH(1)", atanh}, {"ARCTANH(0-1)", atanh},
        {"FACT(0-1)", "Parameter of function 'FACT' must be greater than or equal to 0"},
        {"LN(0)", log}, {"LOG(0-1,2)", log}, {"LOG(2,0)", log}, {"LOG10(0)", log},
        {"LOG(8,1)", "The base of lagorithm must not be equal to 1"}, {"MOD(5,0)", "Division By Zero in 'MOD'"},
        {"SQRT(0-1)", "Negative square root in 'F'"}, {"EXP(1000)", Fault("EXP")},
        {"FACT(1E300)", Fault("FACT")}, {"COSH(1000)", Fault("COSH")}, {"SINH(0-1000)", Fault("SINH")},
        {"SIN", Count("few", "SIN")}, {"SIN()", Count("few", "SIN")}, {"IF(1,2)", Count("few", "IF")},
        {"IF(1,2,3,4)", Count("many", "IF")}, {"RAND(1,2)", Count("many", "RAND")},
        {"SIN(1,)", expected}, {"SIN(", expected}, {"SIN(1", expected}, {"SIN(,1)", expected},
        {"SUM(I,I,1,10,0)", "The step " + sum + "a positive integer. Value specified = 0"},
        {"SUM(I,I,1,10,.5)", "The step " + sum + "a positive integer. Value specified = 0.5"},
        {"SUM(I,I,1.5,10)", "The start" + integer + "Value specified = 1.5"},
        {"SUM(I,I,1,2.25)", "The ending" + integer + "Value specified = 2.25"},
        {"PRODUCT(I,I,.5,1)", "The start index value of 'Product' must be an integer. Value specified = 0.5"},
        {"INTEGRATE(X,X,0,1,0-1)", "The step value of 'Integrate' must be greater than 0. Value specified = -1"},
        {"SUM(I,PI,1,2)", index("PI", "Sum")}, {"SUM(I, I ,1,2)", index("I ", "Sum")},
        {"PRODUCT(I,2I,1,2)", index("2I", "Product")}, {"INTEGRATE(X,X+1,1,2)", index("X+1", "Integrate")},
        {"SUM(SUM(I,I,1,2),I,1,2)", index("I", "Sum")}, {"SUM(I,I,1)", Count("few", "SUM")},
        {"SUM(I,I,1,2,3,4)", Count("many", "SUM")}, {"PRODUCT(1E200,I,1,2)", Fault("Product")},
        {"SUM(SQRT(0-I),I,1,2)", "Negative square root in 'F'"}, // an error inside the loop ends it
        {"SUM(I,I,1,1E300)", Fault("Sum")},
        {"INTEGRATE(1/(X-2),X,0,2)", "Division By Zero in 'F'"}, // the ends are evaluated first
    });
}

TEST(Builtins, RandFollowsItsArgumentRules) {
    const double seeded = Eval("RAND(0-7)").value;
    EXPECT_EQ(Eval("RAND(0)").value, seeded); // 0: the last number again
    EXPECT_EQ(Eval("RAND(0-7)").value, seeded); // a negative number: seeds, same seed same number
    const double next = Eval("RAND(1)").value; // a positive number or none: the sequence goes on
    EXPECT_TRUE(next != seeded && Eval("RAND").value != next);
    EXPECT_TRUE(Eval("RAND(0-7)").value == seeded && Eval("RAND()").value == next);
    EXPECT_TRUE(Eval("RAND(0-8)").value != seeded && Eval("RAND(0-1E300)").ok); // seeds beyond single precision
    double lo = 1, hi = 0; // single precision numbers spread over [0, 1)
    for (int i = 0; i < 5000; ++i) {
        const double v = Eval("RAND").value;
        ASSERT_TRUE(v >= 0 && v < 1 && v == static_cast<double>(static_cast<float>(v))) << v;
        lo = std::min(lo, v), hi = std::max(hi, v);
    }
    EXPECT_TRUE(lo < 0.01 && hi > 0.99) << lo << " " << hi;
}


TEST(Macros, IndexVariableMayNotShadowAParameterAndParametersSurviveFailures) {
    FunctionListContext context;
    clsFncDef def = Definition("G(N)", "SUM(N,N,1,3)");
    EXPECT_EQ(Apply(def, context, {5}).message, "Invalid index variable name 'N' of function 'Sum' in 'G'");
    clsFncDef failing = Definition("H(N)", "SUM(N*K+SQRT(0-K),K,1,3)"), fine = Definition("H(N)", "SUM(N*K,K,1,3)");
    EXPECT_TRUE(!Apply(failing, context, {2}).ok && Apply(fine, context, {2}).value == 12);
    EXPECT_EQ(failing.Params.size() + fine.Params.size(), 2u);
}
