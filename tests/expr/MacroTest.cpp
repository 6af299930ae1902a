#include <gtest/gtest.h>

#include "ExprTestSupport.h"

using namespace ov;
using ov::test::Eval;

TEST(Macros, SumAndProduct) {
    const struct {
        const char* body;
        double value;
    } cases[] = {
        {"SUM(I,I,1,10)", 55},
        {"SUM(I,I,10,1)", 55}, // counts down
        {"SUM(I,I,1,10,3)", 22},
        {"SUM(I,I,10,1,3)", 22}, // 10 + 7 + 4 + 1
        {"SUM(I,I,3,3)", 3},
        {"SUM(I*I,I,1,3)", 14},
        {"PRODUCT(I,I,1,5)", 120},
        {"PRODUCT(I,I,5,1,2)", 15},
        {"sum(i, i, 1, 3)", 6}, // a blank before the index name is skipped
        {"SUM(SUM(J,J,1,I),I,1,3)", 10}, // nested, with its own index
        {"SUM(1,K,0-2,2)", 5},
        {"SUM(I,I,1.0,2E0)", 3},
    };
    for (const auto& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_TRUE(o.ok) << c.body << ": " << o.message;
        EXPECT_DOUBLE_EQ(o.value, c.value) << c.body;
    }
}

TEST(Macros, SumAndProductRules) {
    const struct {
        const char* body;
        const char* message;
    } cases[] = {
        {"SUM(I,I,1,10,0)", "The step value of 'Sum' must be a positive integer. Value specified = 0"},
        {"SUM(I,I,1,10,0-1)", "The step value of 'Sum' must be a positive integer. Value specified = -1"},
        {"SUM(I,I,1,10,.5)", "The step value of 'Sum' must be a positive integer. Value specified = 0.5"},
        {"SUM(I,I,1.5,10)", "The start index value of 'Sum' must be an integer. Value specified = 1.5"},
        {"SUM(I,I,1,2.25)", "The ending index value of 'Sum' must be an integer. Value specified = 2.25"},
        {"PRODUCT(I,I,.5,1)", "The start index value of 'Product' must be an integer. Value specified = 0.5"},
        {"SUM(I,PI,1,2)", "Invalid index variable name 'PI' of function 'Sum' in 'F'"},
        {"SUM(I,E,1,2)", "Invalid index variable name 'E' of function 'Sum' in 'F'"},
        {"SUM(I, I ,1,2)", "Invalid index variable name 'I ' of function 'Sum' in 'F'"},
        {"PRODUCT(I,2I,1,2)", "Invalid index variable name '2I' of function 'Product' in 'F'"},
        {"INTEGRATE(X,X+1,1,2)", "Invalid index variable name 'X+1' of function 'Integrate' in 'F'"},
        {"SUM(I,I,1)", "Too few parameters in call to function 'SUM' from 'F'"},
        {"SUM(I,I,1,2,3,4)", "Too many parameters in call to function 'SUM' from 'F'"},
        {"SUM(SQRT(0-I),I,1,2)", "Negative square root in 'F'"},
        {"PRODUCT(1E200,I,1,2)", "Error evaluating function 'Product': Overflow"},
        {"SUM(I,I,1,1E300)", "Error evaluating function 'Sum': Overflow"},
        {"SUM(SUM(I,I,1,2),I,1,2)", "Invalid index variable name 'I' of function 'Sum' in 'F'"},
        {"SUM(I,I,1,2", "Argument expected in 'F'"},
    };
    for (const auto& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_FALSE(o.ok) << c.body << " gave " << o.value;
        EXPECT_EQ(o.message, c.message) << c.body;
    }
}

TEST(Macros, IndexVariableMayNotShadowAParameter) {
    FunctionListContext context;
    clsFncDef def = test::Definition("G(N)", "SUM(N,N,1,3)");
    const auto o = test::Run(def, context, {5});
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, "Invalid index variable name 'N' of function 'Sum' in 'G'");
    // The parameters are left as they were, also after a failure inside the loop.
    clsFncDef other = test::Definition("H(N)", "SUM(N*K+SQRT(0-K),K,1,3)");
    EXPECT_FALSE(test::Run(other, context, {2}).ok);
    EXPECT_EQ(other.Params.size(), 1u);
    clsFncDef fine = test::Definition("H(N)", "SUM(N*K,K,1,3)");
    const auto ok = test::Run(fine, context, {2});
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.value, 12);
    EXPECT_EQ(fine.Params.size(), 1u);
}

TEST(Macros, CheckingTreatsTheIndexAsDefined) {
    EXPECT_TRUE(Eval("SUM(I*Q,I,1,10)", nullptr, true).message == "Function 'Q' not defined");
    const auto checked = Eval("SUM(I*2,I,1,10)", nullptr, false);
    EXPECT_TRUE(checked.ok) << checked.message;
    const auto unknown = Eval("SUM(I*Q,I,1,10)", nullptr, false);
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.message, "Function 'Q' not defined");
    const auto badStep = Eval("SUM(I,I,1,10,2^3^4)", nullptr, false);
    EXPECT_FALSE(badStep.ok);
    EXPECT_EQ(badStep.message, "Syntax error at character '^' in 'F'");
}

TEST(Macros, IntegrateBySimpsonsRule) {
    const struct {
        const char* body;
        double value;
        double tolerance;
    } cases[] = {
        {"INTEGRATE(X*X,X,0,3)", 9, 1e-12},
        {"INTEGRATE(X^3,X,0,2)", 4, 1e-12},
        {"INTEGRATE(X,X,1,1)", 0, 0},
        {"INTEGRATE(X,X,1,1,0)", 0, 0}, // equal bounds win over a bad step
        {"INTEGRATE(X,X,3,0)", -4.5, 1e-12},
        {"INTEGRATE(SIN(X),X,0,PI)", 2, 1e-7},
        {"INTEGRATE(SIN(X),X,0,PI,1)", 2, 1e-7}, // two or fewer panel pairs fall back to 100 panels
        {"INTEGRATE(EXP(X),X,0,1,.001)", 2.71828182845905 - 1, 1e-12},
    };
    for (const auto& c : cases) {
        const auto o = Eval(c.body);
        EXPECT_TRUE(o.ok) << c.body << ": " << o.message;
        EXPECT_NEAR(o.value, c.value, c.tolerance) << c.body;
    }
    const auto bad = Eval("INTEGRATE(X,X,0,1,0-1)");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.message, "The step value of 'Integrate' must be greater than 0. Value specified = -1");
}

TEST(Macros, IntegrateEvaluatesTheEndsFirst) {
    // f fails at b: the message comes from b even though odd points are evaluated later.
    const auto o = Eval("INTEGRATE(1/(X-2),X,0,2)");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, "Division By Zero in 'F'");
}
