// Speed of the formula evaluator, side by side with muparser on the same formulas.
//
//   Evaluate   a definition X(t) = sin(t)*cos(2*t)+t^2, evaluated with a new t each time
//              through clsFncDef::Evaluate, as a parametric shape does for every sample;
//              one evaluation per benchmark iteration, so the time shown is per evaluation.
//   Sum        a parameterless definition whose body is SUM(I*I,I,1,1000000).
//   FirstEvaluate  a copy of a definition that was never evaluated, evaluated once: the
//              compiled way includes compiling it (X(t) alone, and Hyp(t,2*t)+sin(t) with
//              Hyp and SQ from the list, which compiles those too).
//   NestedIf   IF(1, nested 3,000 deep around 1: evaluated with its compiled form kept,
//              evaluated from a fresh copy (compiling included), and only checked.
//   CallChain  a list of n functions where F<i>(X) = F<i-1>(X)+1, and a fresh F<n>(1)
//              evaluated once: compiling the whole chain, then stopping at the nesting
//              limit. The time per n shows whether compiling grows linearly.
//
// Evaluate compiles a definition on its first use and then runs the compiled form. The
// *_Interpreter variants evaluate with the interpreter alone (InterpreterOnly), which
// computes while it parses and reads the body text every time. muparser compiles a formula
// to bytecode on its first Eval and then only runs the bytecode; its "parse each time"
// variant sets the formula again before every Eval, which makes it parse as well, for
// comparison with the interpreter's way of working. muparser has no summation macro: its sum is a C++ loop over "i*i" with the
// variable i set to 1 ... 1,000,000. Without muparser (ORTHOVANE_HAVE_MUPARSER undefined)
// only the evaluator's own benchmarks are built.

#include "expr/FunctionListContext.h"
#include "expr/clsError.h"
#include "expr/clsFncDef.h"

#include <benchmark/benchmark.h>
#ifdef ORTHOVANE_HAVE_MUPARSER
#include <muParser.h>
#endif

#include <cmath>
#include <string>
#include <vector>

namespace {

using ov::clsError;
using ov::clsFncDef;
using ov::FunctionList;
using ov::FunctionListContext;

constexpr int kSumCount = 1000000;

// The sum as a double accumulated in the same order: past 2^53 the running sum rounds, so
// the closed form n (n + 1) (2n + 1) / 6 is not what any of the loops produces.
double ExpectedSum() {
    double sum = 0;
    for (int k = 1; k <= kSumCount; ++k) sum += static_cast<double>(k) * k;
    return sum;
}

clsFncDef MakeDefinition(const std::string& header, const std::string& body) {
    clsFncDef def;
    def.Name = "X";
    def.ParseName(header);
    def.Body = body;
    return def;
}

// The parameter values walk through [0, 10) in small steps, so that every evaluation sees
// a new t without the cost of a random generator in the loop.
double NextT(double t) {
    t += 0.000731;
    return t >= 10 ? t - 10 : t;
}

void EvaluateX(benchmark::State& state) {
    FunctionList list{MakeDefinition("X(t)", "sin(t)*cos(2*t)+t^2")};
    FunctionListContext context({&list});
    clsFncDef& def = list.front();
    clsError error;
    std::vector<double> args{0.0};
    double t = 0, result = 0;
    if (!def.Evaluate(context, {1.5}, true, true, error, result) ||
        std::fabs(result - (std::sin(1.5) * std::cos(3.0) + 2.25)) > 1e-12) {
        state.SkipWithError(("wrong result: " + error.GetError()).c_str());
        return;
    }
    for (auto _ : state) {
        t = NextT(t);
        args[0] = t;
        def.Evaluate(context, args, true, true, error, result);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Evaluate_Orthovane(benchmark::State& state) { EvaluateX(state); }
BENCHMARK(BM_Evaluate_Orthovane);

void BM_Evaluate_Interpreter(benchmark::State& state) {
    const ov::InterpreterOnly only;
    EvaluateX(state);
}
BENCHMARK(BM_Evaluate_Interpreter);

// A fresh copy of a definition each time: nothing compiled is carried over.
void FirstEvaluate(benchmark::State& state, const char* body) {
    FunctionList list{MakeDefinition("Hyp(A, B)", "sqrt(SQ(a)+SQ(b))"), MakeDefinition("SQ(X)", "X*X")};
    FunctionListContext context({&list});
    const clsFncDef original = MakeDefinition("X(t)", body);
    clsError error;
    std::vector<double> args{0.0};
    double t = 0, result = 0;
    for (auto _ : state) {
        t = NextT(t);
        args[0] = t;
        clsFncDef def = original;
        def.Evaluate(context, args, true, true, error, result);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FirstEvaluate_Orthovane(benchmark::State& state) { FirstEvaluate(state, "sin(t)*cos(2*t)+t^2"); }
BENCHMARK(BM_FirstEvaluate_Orthovane);
void BM_FirstEvaluate_Interpreter(benchmark::State& state) {
    const ov::InterpreterOnly only;
    FirstEvaluate(state, "sin(t)*cos(2*t)+t^2");
}
BENCHMARK(BM_FirstEvaluate_Interpreter);
void BM_FirstEvaluateCalls_Orthovane(benchmark::State& state) { FirstEvaluate(state, "Hyp(t, 2*t)+sin(t)"); }
BENCHMARK(BM_FirstEvaluateCalls_Orthovane);
void BM_FirstEvaluateCalls_Interpreter(benchmark::State& state) {
    const ov::InterpreterOnly only;
    FirstEvaluate(state, "Hyp(t, 2*t)+sin(t)");
}
BENCHMARK(BM_FirstEvaluateCalls_Interpreter);

// "IF(1," nested depth deep around 1: every argument list holds all the deeper ones.
std::string NestedIf(int depth) {
    std::string body;
    for (int i = 0; i < depth; ++i) body += "IF(1,";
    body += "1";
    for (int i = 0; i < depth; ++i) body += ",0)";
    return body;
}

// compute off only checks; fresh evaluates a new copy each time, so compiling is timed too.
void EvaluateNestedIf(benchmark::State& state, bool compute, bool fresh) {
    FunctionList list;
    FunctionListContext context({&list});
    const clsFncDef original = MakeDefinition("N", NestedIf(3000));
    clsFncDef def = original;
    clsError error;
    double result = 0;
    for (auto _ : state) {
        if (fresh) def = original; // a copy of 18 kB of text: microseconds against milliseconds
        if (!def.Evaluate(context, {}, compute, true, error, result) || (compute && result != 1)) {
            state.SkipWithError(("wrong result: " + error.GetError()).c_str());
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}

void BM_NestedIf_Evaluate(benchmark::State& state) { EvaluateNestedIf(state, true, false); }
BENCHMARK(BM_NestedIf_Evaluate)->Unit(benchmark::kMillisecond);
void BM_NestedIf_FirstEvaluate(benchmark::State& state) { EvaluateNestedIf(state, true, true); }
BENCHMARK(BM_NestedIf_FirstEvaluate)->Unit(benchmark::kMillisecond);
void BM_NestedIf_Check(benchmark::State& state) { EvaluateNestedIf(state, false, false); }
BENCHMARK(BM_NestedIf_Check)->Unit(benchmark::kMillisecond);

void BM_CallChain(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    FunctionList list;
    list.push_back(MakeDefinition("F0(X)", "X+1"));
    for (int i = 1; i < n; ++i)
        list.push_back(MakeDefinition("F" + std::to_string(i) + "(X)", "F" + std::to_string(i - 1) + "(X)+1"));
    FunctionListContext context({&list});
    const clsFncDef top = MakeDefinition("Top", "F" + std::to_string(n - 1) + "(1)");
    clsError error;
    double result = 0;
    for (auto _ : state) {
        clsFncDef def = top;
        def.Evaluate(context, {}, true, true, error, result);
        benchmark::DoNotOptimize(result);
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_CallChain)->RangeMultiplier(4)->Range(1 << 10, 1 << 18)->Unit(benchmark::kMillisecond)->Complexity();

#ifdef ORTHOVANE_HAVE_MUPARSER
void BM_Evaluate_Muparser(benchmark::State& state) {
    double t = 0;
    mu::Parser parser;
    parser.DefineVar("t", &t);
    parser.SetExpr("sin(t)*cos(2*t)+t^2");
    double result = parser.Eval();
    for (auto _ : state) {
        t = NextT(t);
        result = parser.Eval();
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Evaluate_Muparser);

void BM_Evaluate_MuparserParseEachTime(benchmark::State& state) {
    double t = 0;
    mu::Parser parser;
    parser.DefineVar("t", &t);
    const std::string formula = "sin(t)*cos(2*t)+t^2";
    double result = 0;
    for (auto _ : state) {
        t = NextT(t);
        parser.SetExpr(formula);
        result = parser.Eval();
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Evaluate_MuparserParseEachTime);
#endif

void EvaluateSum(benchmark::State& state) {
    FunctionList list{MakeDefinition("S", "SUM(I*I,I,1,1000000)")};
    FunctionListContext context({&list});
    clsFncDef& def = list.front();
    clsError error;
    const std::vector<double> none;
    double result = 0;
    for (auto _ : state) {
        if (!def.Evaluate(context, none, true, true, error, result)) {
            state.SkipWithError(error.GetError().c_str());
            break;
        }
        benchmark::DoNotOptimize(result);
    }
    if (result != ExpectedSum()) state.SkipWithError("wrong sum");
    state.SetItemsProcessed(state.iterations() * kSumCount);
}

void BM_Sum_Orthovane(benchmark::State& state) { EvaluateSum(state); }
BENCHMARK(BM_Sum_Orthovane)->Unit(benchmark::kMillisecond);

void BM_Sum_Interpreter(benchmark::State& state) {
    const ov::InterpreterOnly only;
    EvaluateSum(state);
}
BENCHMARK(BM_Sum_Interpreter)->Unit(benchmark::kMillisecond);

#ifdef ORTHOVANE_HAVE_MUPARSER
void BM_Sum_Muparser(benchmark::State& state) {
    double i = 0;
    mu::Parser parser;
    parser.DefineVar("i", &i);
    parser.SetExpr("i*i");
    double result = 0;
    for (auto _ : state) {
        result = 0;
        for (int k = 1; k <= kSumCount; ++k) {
            i = k;
            result += parser.Eval();
        }
        benchmark::DoNotOptimize(result);
    }
    if (result != ExpectedSum()) state.SkipWithError("wrong sum");
    state.SetItemsProcessed(state.iterations() * kSumCount);
}
BENCHMARK(BM_Sum_Muparser)->Unit(benchmark::kMillisecond);
#endif

} // namespace
