// Replays every input the formula fuzzer once failed on, with the fuzzer's own checks, and
// covers what needs more text than a fuzzer input holds: the limit of nesting, and checking
// that stays linear however deeply calls nest.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ExprTestSupport.h"
#include "FormulaChecks.h"
#include "FormulaDiff.h"
#include "expr/NestingLevels.h"

using namespace ov;

TEST(FormulaRegressions, EveryStoredInputPassesTheFuzzerChecks) {
    // Generous: the checks skip their run-to-run comparisons for an evaluation stopped by the
    // clock, and a slow sanitizer build must not make them weaker.
    const std::chrono::milliseconds budget(5000);
    const std::filesystem::path folder = std::filesystem::path(ORTHOVANE_TEST_DATA) / "regressions";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(formula_checks::CheckInput(data, budget), "") << entry.path().filename();
        ++count;
    }
    EXPECT_GT(count, 0) << "no inputs found in " << folder;
}

// The interpreter and the compiled formulas agree on every stored input: the findings of the
// differential check and the fuzzer's, and inputs made for the cases the compiled form
// must leave to the interpreter.
TEST(FormulaRegressions, InterpreterAndCompiledFormulasAgree) {
    int count = 0;
    for (const char* name : {"regressions", "regressions-diff"}) {
        const std::filesystem::path folder = std::filesystem::path(ORTHOVANE_TEST_DATA) / name;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(formula_diff::CheckInput(data), "") << entry.path().filename();
            ++count;
        }
    }
    EXPECT_GT(count, 1);
}

namespace {

// open n times, then inner, then close n times with "#" in it replaced by the level index.
std::string Nest(const std::string& open, const std::string& close, int n, const std::string& inner = "1") {
    std::string text;
    for (int i = 0; i < n; ++i) text += open;
    text += inner;
    for (int i = n - 1; i >= 0; --i) {
        std::string c = close;
        if (c.find('#') != std::string::npos) c.replace(c.find('#'), 1, std::to_string(i));
        text += c;
    }
    return text;
}

// name(N) is N, computed by N calls of itself, each nested depth calls deep in the body:
// in the IF, depth - 2 ABS and the call itself.
clsFncDef Recursive(const std::string& name, int depth) {
    return test::Definition(name + "(N)", "IF(N<=0,0,1+" + Nest("ABS(", ")", depth - 2, name + "(N-1)") + ")");
}

// Prints the outcome of each body to standard error, and ends the process.
[[noreturn]] void PrintOutcomesAndExit(const std::vector<std::string>& bodies) {
    for (const std::string& body : bodies) {
        const test::Outcome o = test::Eval(body);
        std::fprintf(stderr, "%s;", o.ok ? std::to_string(o.value).c_str() : o.message.c_str());
    }
    std::fflush(stderr);
    std::_Exit(0);
}

// Looks user functions up as FunctionListContext does, counting the look-ups.
class CountingLookUps : public FunctionListContext {
public:
    using FunctionListContext::FunctionListContext;
    std::unique_ptr<clsFncDef> FindFunction(std::string_view name) override {
        ++lookUps;
        return FunctionListContext::FindFunction(name);
    }
    int lookUps = 0;
};

} // namespace

// Nesting is bounded by a count of 12,000 levels: the evaluated definition takes one, every
// parenthesis, "!" and call one, every user function called and every SUM one more. So a
// formula ends at the same level on every run and in every build, computed or checked.
TEST(FormulaRegressions, NestingEndsAtTheSameCountedLevelEveryTime) {
    FunctionList functions{test::Definition("Id(X)", "X"), Recursive("RA70", 70), Recursive("RA100", 100)};
    const std::string deep = "Formula is nested too deeply in 'F'";
    const struct {
        std::string body;
        double value; // when computed; a check passes unless it is nested too deeply in F
        std::string message;
    } cases[] = {
        {Nest("(", ")", 11720), 1, ""}, {Nest("ABS(", ")", 6911), 1, ""}, // once failed now and then
        {Nest("(", ")", 11998), 1, ""}, {Nest("(", ")", 11999), 0, deep}, // F, 11,998, and the 1 inside
        {Nest("ABS(", ")", 11998), 1, ""}, {Nest("ABS(", ")", 11999), 0, deep},
        {Nest("IF(1,", ",0)", 11998), 1, ""}, {Nest("IF(0,0,", ")", 11999), 0, deep},
        {Nest("1*!(0*", ")", 5999), 1, ""}, {Nest("1*!(0*", ")", 6000), 0, deep}, // "!" and "(" each
        {Nest("(", ")", 11996, "SUM(1,V,1,1)"), 1, ""}, {Nest("(", ")", 11997, "PRODUCT(1,V,1,1)"), 0, deep},
        {Nest("Id(", ")", 11997), 1, ""}, // its own level: X in Id, inside 11,997 calls in F
        {Nest("Id(", ")", 11998), 0, "Formula is nested too deeply in 'Id'"},
        {"RA70(99)", 99, ""}, {"RA100(99)", 99, ""}, // 100 active calls, 71 and 101 levels each
        {"RA70(100)", 0, "Recursion is too deep in call to 'RA70'"}, {std::string(8000000, '(') + "1", 0, deep},
    };
    for (const auto& c : cases) {
        for (const bool compute : {true, false}) {
            FunctionListContext context({&functions});
            clsFncDef def = test::Definition("F", c.body);
            const test::Outcome o = test::Apply(def, context, {}, compute);
            const std::string what = c.body.substr(0, 12) + " (" + std::to_string(c.body.size()) + " characters)";
            const std::string message = compute || c.message == deep ? c.message : "";
            EXPECT_EQ(o.message, message) << what << (compute ? "" : " checked");
            EXPECT_EQ(o.value, compute && message.empty() ? c.value : 0) << what;
        }
    }
    EXPECT_EQ(nestingLevels, 0);
    for (const clsFncDef& f : functions) EXPECT_EQ(f.NestCount, 0) << f.Name.str();
}

// The count, not the stack the program started with, sets the limit: this test program
// started again with a soft stack limit of 1 MB, or of none, nests exactly as deep.
TEST(FormulaRegressionsDeathTest, NestingDoesNotDependOnTheStackLimitAtStart) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a new process, which sets its stack up anew
    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_STACK, &original), 0);
    for (const rlim_t soft : {rlim_t{1} << 20, RLIM_INFINITY}) {
        if (original.rlim_max != RLIM_INFINITY && (soft == RLIM_INFINITY || soft > original.rlim_max)) continue;
        rlimit start = original;
        start.rlim_cur = soft;
        ASSERT_EQ(setrlimit(RLIMIT_STACK, &start), 0);
        EXPECT_EXIT(PrintOutcomesAndExit({Nest("ABS(", ")", 11998), Nest("ABS(", ")", 11999)}),
                    testing::ExitedWithCode(0), "^1.000000;Formula is nested too deeply in 'F';$")
            << "soft limit " << soft;
        ASSERT_EQ(setrlimit(RLIMIT_STACK, &original), 0);
    }
}

// An argument is checked once, by the argument list that holds it, however deeply the calls
// around it nest: a call is looked up when it is checked and when it is evaluated. Checking
// the arguments again at every level of n would look the call at the bottom up n times.
TEST(FormulaRegressions, ArgumentsAreCheckedOnceHoweverDeeplyCallsNest) {
    FunctionList functions{test::Definition("Id(X)", "X")};
    const struct {
        std::string body;
        bool compute;
        int lookUps;
    } cases[] = {
        {Nest("IF(1,", ",0)", 300, "Id(1)"), true, 2}, {Nest("IF(1,", ",0)", 300, "Id(1)"), false, 1},
        {Nest("Id(", ")", 300), true, 599}, // 299 while the outermost list is checked, 300 evaluated
        {Nest("SUM(IF(1,", ",0),V#,1,1)", 300, "Id(1)"), true, 2}, // a new index variable every level
        {Nest("SUM(IF(1,", ",0),V#,1,1)", 300, "Id(1)"), false, 1},
    };
    for (const auto& c : cases) {
        const InterpreterOnly interpreting; // the compiled form looks each name up once
        CountingLookUps context({&functions});
        clsFncDef def = test::Definition("F", c.body);
        EXPECT_EQ(test::Apply(def, context, {}, c.compute).message, "") << c.body.substr(0, 20);
        EXPECT_EQ(context.lookUps, c.lookUps) << c.body.substr(0, 20) << (c.compute ? "" : " checked");
    }
}
