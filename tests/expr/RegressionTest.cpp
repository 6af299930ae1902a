// Replays every input the formula fuzzer once failed on, with the fuzzer's own checks, and
// covers what needs more text than a fuzzer input holds: deep nesting, and checking that
// stays linear however deeply calls nest.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ExprTestSupport.h"
#include "FormulaChecks.h"
#include "FormulaDiff.h"

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

// Each shape nests one level per step along a path that takes much stack: user calls inside
// arguments, built-ins, IF branches, negations, macro loops with their own index variables. A moderately
// deep formula either works or fails cleanly with the nesting message (builds with larger
// frames stop earlier); one deeper than any stack holds always fails with that message.
TEST(FormulaRegressions, DeepNestingEndsBeforeTheStackDoes) {
    FunctionList functions{test::Definition("Id(X)", "X")};
    const struct {
        const char *name, *open, *close;
        int moderate; // nested macros take time cubic in their depth, so they stay lower
    } shapes[] = {{"call", "Id(", ")", 990},         {"builtin", "ABS(", ")", 990}, {"if", "IF(1,", ",0)", 990},
                  {"sum", "SUM(", ",V#,1,1)", 400}, {"integral", "INTEGRATE(", ",V#,0,1)", 400},
                  {"parentheses", "(", ")", 990}, {"negation", "1*!(0*", ")", 990}};
    for (const auto& shape : shapes) {
        for (const int n : {shape.moderate, 100000}) {
            std::string text;
            for (int i = 0; i < n; ++i) text += shape.open;
            text += "1";
            for (int i = n - 1; i >= 0; --i) {
                std::string close = shape.close;
                if (close.find('#') != std::string::npos) close.replace(close.find('#'), 1, std::to_string(i));
                text += close;
            }
            for (const bool compute : {true, false}) {
                // Nested integrals evaluate ever more often once the innermost level is reached;
                // the first question to stop ends them.
                test::StopAfter context({&functions}, 1);
                clsFncDef def = test::Definition("F", text);
                const auto o = test::Apply(def, context, {}, compute);
                const std::string what = shape.name + (" x" + std::to_string(n)) + (compute ? "" : " (check)");
                const bool stopped = what.rfind("integral", 0) == 0 && n < 1000 && o.message == "Operation aborted";
                EXPECT_TRUE((n < 1000 && (o.ok || stopped)) || o.message == "Formula is nested too deeply in 'F'")
                    << what << ": " << o.message;
                EXPECT_TRUE(!o.ok || !compute || o.value == 1) << what << " gave " << o.value;
                EXPECT_TRUE(def.Params.empty()) << what;
            }
        }
    }
    EXPECT_EQ(functions[0].NestCount, 0);
}
