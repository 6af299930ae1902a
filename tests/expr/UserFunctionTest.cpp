#include <gtest/gtest.h>

#include "ExprTestSupport.h"

using namespace ov;
using ov::test::Definition;
using ov::test::Eval;

TEST(UserFunctions, CallsWithArgumentsEvaluatedInTheCallersScope) {
    FunctionList functions{Definition("SQ(X)", "X*X"), Definition("Hyp(A, B)", "sqrt(sq(a)+sq(b))"),
                           Definition("Two", "2")};
    FunctionListContext context({&functions});
    clsFncDef caller = Definition("G(X)", "Hyp(X, X+1) + two + TWO()");
    const auto o = test::Run(caller, context, {3});
    EXPECT_TRUE(o.ok) << o.message;
    EXPECT_DOUBLE_EQ(o.value, 5 + 2 + 2);
    // The caller's parameter X is unchanged by the callee's own X.
    EXPECT_EQ(caller.Params[0].Value, 3);
}

TEST(UserFunctions, ArgumentCountsAndUnknownNames) {
    FunctionList functions{Definition("SQ(X)", "X*X"), Definition("K", "7")};
    const struct {
        const char* body;
        const char* message;
    } cases[] = {
        {"SQ", "Too few parameters in call to function 'SQ' from 'F'"},
        {"SQ(1,2)", "Too many parameters in call to function 'SQ' from 'F'"},
        {"K(1)", "Too many parameters in call to function 'K' from 'K'"}, // reported by the callee
        {"NOPE(1)", "Function 'NOPE' not defined"},
        {"X", "Function 'X' not defined"},
    };
    for (const auto& c : cases) {
        const auto o = Eval(c.body, &functions);
        EXPECT_FALSE(o.ok) << c.body;
        EXPECT_EQ(o.message, c.message) << c.body;
    }
    // Without computing, the count of a parameterless function is not checked.
    EXPECT_TRUE(Eval("K(1)", &functions, false).ok);
    EXPECT_FALSE(Eval("SQ(1,2)", &functions, false).ok);
}

TEST(UserFunctions, ErrorsInsideACalleeNameTheCallee) {
    FunctionList functions{Definition("Inv(X)", "1/X"), Definition("Bad", "2 3")};
    EXPECT_EQ(Eval("Inv(0)", &functions).message, "Division By Zero in 'Inv'");
    EXPECT_EQ(Eval("Bad+1", &functions).message, "Syntax error at character '3' in 'Bad'");
    EXPECT_EQ(Eval("Inv(1/0)", &functions).message, "Division By Zero in 'F'");
}

TEST(UserFunctions, RecursionIsBoundedAtOneHundredActiveCalls) {
    FunctionList functions{Definition("G", "G+1"), Definition("Fact2(N)", "IF(N<1, 1, N*Fact2(N-1))"),
                           Definition("Depth(N)", "IF(N<2, 1, 1+Depth(N-1))"),
                           Definition("P(N)", "if(n>=100,n,((((((((P(n+1))))))))))")};
    const auto endless = Eval("G", &functions);
    EXPECT_FALSE(endless.ok);
    EXPECT_EQ(endless.message, "Recursion is too deep in call to 'G'");
    EXPECT_EQ(functions[0].NestCount, 0); // counters are unwound

    const auto fact = Eval("Fact2(10)", &functions);
    EXPECT_TRUE(fact.ok) << fact.message;
    EXPECT_EQ(fact.value, 3628800);

    const auto deepest = Eval("Depth(100)", &functions);
    EXPECT_TRUE(deepest.ok) << deepest.message;
    EXPECT_EQ(deepest.value, 100);
    const auto wrapped = Eval("P(1)", &functions); // each call inside eight parentheses
    EXPECT_TRUE(wrapped.ok) << wrapped.message;
    EXPECT_EQ(wrapped.value, 100);
    const auto tooDeep = Eval("Depth(101)", &functions);
    EXPECT_FALSE(tooDeep.ok);
    EXPECT_EQ(tooDeep.message, "Recursion is too deep in call to 'Depth'");
    for (const clsFncDef& def : functions) EXPECT_EQ(def.NestCount, 0) << def.Name;
}

TEST(UserFunctions, ListsAreSearchedInOrderAndCaseInsensitively) {
    FunctionList first{Definition("a", "1")};
    FunctionList second{Definition("A", "2"), Definition("B", "3")};
    FunctionListContext context({&first, &second});
    clsFncDef def = Definition("F", "a*10 + b");
    const auto o = test::Run(def, context);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.value, 13);
    EXPECT_EQ(context.NestFunction("nothing", 1), 0);
}

TEST(UserFunctions, EvaluateChecksItsOwnArgumentCount) {
    FunctionListContext context;
    clsFncDef def = Definition("P(A, B)", "A-B");
    auto o = test::Run(def, context, {1});
    EXPECT_EQ(o.message, "Too few parameters in call to function 'P' from 'P'");
    o = test::Run(def, context, {1, 2, 3});
    EXPECT_EQ(o.message, "Too many parameters in call to function 'P' from 'P'");
    o = test::Run(def, context, {5, 2});
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.value, 3);
}

TEST(UserFunctions, EvaluateTextUsesTheDefinitionsScope) {
    FunctionListContext context;
    clsFncDef def = Definition("P(A, B)", "A-B");
    def.Params[0].Value = 4;
    def.Params[1].Value = 0.5;
    clsError error;
    double r = 0;
    EXPECT_TRUE(def.EvaluateText(context, "a*b", true, true, error, r));
    EXPECT_EQ(r, 2);
    // Only a prefix need be used: the text stops where the grammar stops.
    EXPECT_TRUE(def.EvaluateText(context, "a) junk", true, true, error, r));
    EXPECT_EQ(r, 4);
}

namespace {

class CountingContext : public FunctionListContext {
public:
    using FunctionListContext::FunctionListContext;
    int asked = 0;
    int stopAfter = 3;
    bool CheckAbort() override { return ++asked >= stopAfter; }
};

} // namespace

TEST(UserFunctions, LongComputationsAskWhetherToStop) {
    CountingContext context;
    clsFncDef def = Definition("F", "SUM(I,I,1,1E9)");
    const auto o = test::Run(def, context);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, "Operation aborted");
    EXPECT_EQ(context.asked, 3);
    EXPECT_EQ(def.Params.size(), 0u); // the index variable is gone again

    // Wide recursion (many calls, none deep) is paced too.
    FunctionList functions{Definition("Fib(N)", "IF(N<2, N, Fib(N-1)+Fib(N-2))")};
    CountingContext fib({&functions});
    fib.stopAfter = 2;
    clsFncDef call = Definition("F", "Fib(40)");
    EXPECT_EQ(test::Run(call, fib).message, "Operation aborted");
    EXPECT_EQ(functions[0].NestCount, 0);
}
