// Replays every input the formula fuzzer once failed on, with the fuzzer's own checks, and
// covers the nesting shapes that need more text than a fuzzer input holds.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ExprTestSupport.h"
#include "FormulaChecks.h"

using namespace ov;
using namespace std::string_literals;

namespace {

// A generous time budget: the checks skip their run-to-run comparisons for an evaluation
// that was stopped by the clock, and a slow sanitizer build must not make them weaker.
constexpr std::chrono::milliseconds kBudget(5000);

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Stops a computation at the given question (one comes every 1024 ticks), so that loops
// that would go on for ever end.
class StopAfter : public FunctionListContext {
public:
    StopAfter(std::vector<FunctionList*> lists, int last) : FunctionListContext(std::move(lists)), last_(last) {}
    bool CheckAbort() override { return ++questions_ >= last_; }

private:
    int questions_ = 0;
    int last_;
};

} // namespace

TEST(FormulaRegressions, EveryStoredInputPassesTheFuzzerChecks) {
    const std::filesystem::path folder = std::filesystem::path(ORTHOVANE_TEST_DATA) / "regressions";
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        EXPECT_EQ(formula_checks::CheckInput(Slurp(entry.path()), kBudget), "") << entry.path().filename();
        ++count;
    }
    EXPECT_GT(count, 0) << "no inputs found in " << folder;
}

TEST(FormulaRegressions, TheChecksSeeWhatTheyAreMeantToSee) {
    using namespace formula_checks;
    const Pieces p = Split("SQ(T)\0SQ;1;X;X*X;\0F(T)\0 2.5\0"s);
    EXPECT_EQ(p.body, "SQ(T)");
    EXPECT_TRUE(p.hasList);
    EXPECT_EQ(p.header, "F(T)");
    ASSERT_EQ(p.values.size(), 2u);
    EXPECT_EQ(p.values[1], "");
    EXPECT_EQ(CheckInput("SQ(T)\0SQ;1;X;X*X;\0F(T)\0 2.5"s, kBudget), "");

    // A nesting counter that is not back at 0 after an evaluation is reported.
    FunctionList list{test::Definition("SQ(X)", "X*X")};
    list[0].NestCount = 1;
    Harness h(list, kBudget);
    clsFncDef def = test::Definition("F", "SQ(2)");
    Outcome o;
    EXPECT_NE(h.Evaluate(def, {}, true, true, o).find("nesting counter"), std::string::npos);

    // Header checks compare with an independent reading of the name rule.
    EXPECT_TRUE(IsName("a1B2"));
    EXPECT_FALSE(IsName("1A"));
    EXPECT_FALSE(IsName("A_B"));
    EXPECT_EQ(CheckHeader("G ( X , y2 )"), "");
}

// Each shape nests one level per step along a path that takes much stack: user calls
// inside arguments, built-ins, IF branches, macro loops with their own index variables,
// and user functions that call each other through a macro. A moderately deep formula
// either works or fails cleanly with the nesting message (builds with larger frames stop
// earlier); one deeper than any stack holds always fails with that message.
TEST(FormulaRegressions, DeepNestingEndsBeforeTheStackDoes) {
    const std::string tooDeep = "Formula is nested too deeply in 'F'";
    FunctionList functions{test::Definition("Id(X)", "X")};
    for (int i = 0; i < 12; ++i) // A0 -> A1 -> ... -> A11 -> A0, each through a SUM
        functions.push_back(test::Definition("A" + std::to_string(i) + "(N)",
                                             "SUM(A" + std::to_string((i + 1) % 12) + "(N),I,1,1)"));
    auto nested = [](int n, const std::string& kind) {
        std::string open;
        std::vector<std::string> closes; // innermost last
        for (int i = 0; i < n; ++i) {
            const std::string var = "V" + std::to_string(i);
            if (kind == "call") open += "Id(", closes.push_back(")");
            else if (kind == "builtin") open += "ABS(", closes.push_back(")");
            else if (kind == "if") open += "IF(1,", closes.push_back(",0)");
            else if (kind == "sum") open += "SUM(", closes.push_back("," + var + ",1,1)");
            else if (kind == "integral") open += "INTEGRATE(", closes.push_back("," + var + ",0,1)");
            else if (kind == "parentheses") open += "(", closes.push_back(")");
        }
        std::string text = open + "1";
        for (auto c = closes.rbegin(); c != closes.rend(); ++c) text += *c;
        return text;
    };
    for (const char* kind : {"call", "builtin", "if", "sum", "integral", "parentheses"}) {
        // Nested macros take time cubic in their depth (every level reads the levels inside
        // it again and looks names up among all index variables), so they stay lower here;
        // the functions A0 ... A11 below take macro frames up to the limit.
        const bool macro = std::string(kind) == "sum" || std::string(kind) == "integral";
        for (const int n : {macro ? 400 : 990, 100000}) {
            for (const bool compute : {true, false}) {
                // Nested integrals evaluate their expression ever more often once the
                // innermost level is reached (after n ticks); the first question stops them.
                StopAfter context({&functions}, 1);
                clsFncDef def = test::Definition("F", nested(n, kind));
                const auto o = test::Run(def, context, {}, compute);
                const std::string what = std::string(kind) + " x" + std::to_string(n) + (compute ? "" : " (check)");
                const bool stopped = std::string(kind) == "integral" && n < 1000 && o.message == "Operation aborted";
                if (n > 1000 || (!o.ok && !stopped)) {
                    EXPECT_EQ(o.message, tooDeep) << what;
                }
                if (o.ok && compute) {
                    EXPECT_EQ(o.value, 1) << what;
                }
                EXPECT_TRUE(def.Params.empty()) << what;
            }
        }
    }
    // Two ticks per call: the call and the single round of its SUM.
    StopAfter context({&functions}, 4);
    clsFncDef def = test::Definition("F", "A0(1)");
    const auto o = test::Run(def, context);
    // 1200 active calls: the recursion limit or, with larger frames, the stack ends them.
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.message.find("Formula is nested too deeply in 'A") == 0 ||
                o.message.find("Recursion is too deep in call to 'A") == 0)
        << o.message;
    for (const clsFncDef& f : functions) EXPECT_EQ(f.NestCount, 0) << f.Name;
}
