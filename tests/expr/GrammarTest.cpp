#include <gtest/gtest.h>

#include "ExprTestSupport.h"

using namespace ov;
using ov::test::Eval;

namespace {

struct ValueCase {
    const char* body;
    double value;
};

struct ErrorCase {
    const char* body;
    const char* message;
};

void ExpectValues(std::initializer_list<ValueCase> cases) {
    for (const ValueCase& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_TRUE(o.ok) << c.body << ": " << o.message;
        EXPECT_DOUBLE_EQ(o.value, c.value) << c.body;
    }
}

void ExpectErrors(std::initializer_list<ErrorCase> cases) {
    for (const ErrorCase& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_FALSE(o.ok) << c.body << " gave " << o.value;
        EXPECT_EQ(o.message, c.message) << c.body;
    }
}

} // namespace

TEST(Grammar, PrecedenceAndAssociativity) {
    ExpectValues({
        {"2+3*4", 14},
        {"(2+3)*4", 20},
        {"2^3", 8},
        {"2^(-1)", 0.5},
        {"2^(1+1)", 4},
        {"10-4-3", 3},  // left to right
        {"64/4/2", 8},
        {"2*3^2", 18},  // power binds tighter than product
        {"  7  ", 7},   // blanks around
        {"((((1))))", 1},
        {"1+2*3-4/2", 5},
    });
}

TEST(Grammar, SignsBindLooserThanProductsAndAreNotAllowedInside) {
    ExpectValues({{"-2^2", -4}, {"-2*3", -6}, {"+5", 5}, {"-(-3)", 3}, {"- 2 + 3", 1}});
    ExpectErrors({
        {"2-+3", "Syntax error at character '+' in 'F'"},
        {"--3", "Syntax error at character '-' in 'F'"},
        {"2*-3", "Syntax error at character '-' in 'F'"},
        {"2^-1", "Syntax error at character '-' in 'F'"},
        {"2/+1", "Syntax error at character '+' in 'F'"},
    });
}

TEST(Grammar, PowerDoesNotChain) {
    ExpectErrors({{"2^3^2", "Syntax error at character '^' in 'F'"}});
    ExpectValues({{"(2^3)^2", 64}, {"2^(3^2)", 512}});
}

TEST(Grammar, ComparisonsIncludingTwoCharacterOperators) {
    ExpectValues({
        {"1<2<3", 1},
        {"3<2<1", 1}, // (3<2) = 0, then 0 < 1
        {"3=<3", 1}, {"3<=3", 1}, {"3=>4", 0}, {"4>=4", 1},
        {"1<>2", 1}, {"1><1", 0}, {"2=2", 1}, {"2>1+3", 0},
    });
    // Unknown two-character operators fail only when computing.
    ExpectErrors({{"1==1", "Syntax error at symbol '==' in 'F'"},
                  {"1<<2", "Syntax error at symbol '<<' in 'F'"},
                  {"1>>2", "Syntax error at symbol '>>' in 'F'"}});
    EXPECT_TRUE(Eval("1==1", nullptr, false).ok);
}

TEST(Grammar, NegationAndLogicalOperators) {
    ExpectValues({
        {"!0", 1}, {"!5", 0}, {"!1=2", 1},   // ! negates the whole comparison
        {"!(!0)", 0}, {"2*!0", 2}, {"2^!1", 1},
        {"1 & 0 | 1", 1},                   // left to right: (1 & 0) | 1
        {"0 | 1 & 0", 0},                   // (0 | 1) & 0
        {"2 & 3", 1}, {"0 | 0", 0},
        {"1<2 & 3<4", 1},
    });
    ExpectErrors({{"1!2", "Syntax error at character '!' in 'F'"},
                  {"!!0", "Argument expected in 'F'"}}); // the sum level stops at a second "!"
}

TEST(Grammar, NumbersConstantsAndTokens) {
    ExpectValues({
        {"2PI", 2}, {"1E3", 1000}, {"1E-5", -4}, {"1D2", 100}, {".5", 0.5}, {"5.", 5}, {"1.5.3", 1.5},
        {"pi", 3.14159265358979}, {"E", 2.71828182845905}, {"e*1", 2.71828182845905}, {"1e", 1},
        {"007", 7},
    });
    ExpectErrors({{"1E999", "Error evaluating function 'F': Overflow"},
                  {"10E99999999999999999999", "Error evaluating function 'F': Overflow"}});
    const auto tiny = Eval("." + std::string(400, '0') + "1");
    EXPECT_TRUE(tiny.ok);
    EXPECT_EQ(tiny.value, 0);
}

TEST(Grammar, SyntaxErrorForms) {
    ExpectErrors({
        {"2 3", "Syntax error at character '3' in 'F'"},
        {"", "Argument expected in 'F'"},
        {"   ", "Argument expected in 'F'"},
        {"2+", "Syntax error in 'F'"},
        {"(2", "')' expected in 'F'"},
        {"2)", "Syntax error at character ')' in 'F'"},
        {"2,3", "Syntax error at character ',' in 'F'"},
        {"()", "Argument expected in 'F'"},
        {"2 ABC", "Syntax error at symbol 'ABC' in 'F'"},
        {"1\t+2", "Syntax error at character '\t' in 'F'"}, // only blanks are skipped
        {"*2", "Syntax error at character '*' in 'F'"},
        {"2#", "Syntax error at character '#' in 'F'"},
    });
}

TEST(Grammar, ArithmeticFaultsAreReportedPerLevel) {
    ExpectErrors({
        {"5/0", "Division By Zero in 'F'"},
        {"1E300*1E300", "Error during multiplication in 'F': Overflow"},
        {"1E300/.001/.001/.001", "Error during division in 'F': Overflow"},
        {"1E308+1E308", "Error during addition in 'F': Overflow"},
        {"-1E308-1E308", "Error during subtraction in 'F': Overflow"},
        {"10^400", "Error evaluating function 'F': Overflow"},
        {"(0-8)^(1/3)", "Error evaluating function 'F': Invalid procedure call or argument"},
        {"0^(0-1)", "Error evaluating function 'F': Division by zero"},
    });
}

TEST(Grammar, CheckingWithoutComputingSkipsArithmetic) {
    EXPECT_TRUE(Eval("5/0", nullptr, false).ok);
    EXPECT_TRUE(Eval("SQRT(0-1)", nullptr, false).ok);
    EXPECT_FALSE(Eval("2^3^2", nullptr, false).ok);
    EXPECT_FALSE(Eval("SQRT(1,2)", nullptr, false).ok); // argument counts are checked
    const auto unknown = Eval("NOSUCH(1)", nullptr, false);
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.message, "Function 'NOSUCH' not defined");
}

TEST(Grammar, DeepNestingFailsCleanly) {
    const std::string parens = std::string(100000, '(') + "1" + std::string(100000, ')');
    const auto p = Eval(parens);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.message, "Formula is nested too deeply in 'F'");
    std::string bangs100k;
    for (int i = 0; i < 100000; ++i) bangs100k += "2*!";
    const auto bangs = Eval(bangs100k + "1");
    EXPECT_FALSE(bangs.ok);
    EXPECT_EQ(bangs.message, "Formula is nested too deeply in 'F'");
    // Moderate nesting is fine.
    const auto fine = Eval(std::string(200, '(') + "1" + std::string(200, ')'));
    EXPECT_TRUE(fine.ok) << fine.message;
}

TEST(Grammar, NonAsciiCharactersAreReportedWhole) {
    const auto o = Eval("2 \xC3\xA9");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, "Syntax error at character '\xC3\xA9' in 'F'");
}

TEST(Grammar, ANulByteIsAnUnexpectedCharacter) {
    const auto o = Eval(std::string("(2\0+3)", 6));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, std::string("Syntax error at character '\0' in 'F'", 36));
}
