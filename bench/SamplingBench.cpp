// Sampling a function object of 1,000,000 points: X(t), Y(t) and Z(t) a few operations
// each, t from 0 to 999,999 in steps of 1, as BreakApart samples it when a formula or the
// range changed (its cached curve is forgotten before every iteration). The _Interpreter
// variant evaluates with the interpreter alone, for comparison.

#include "expr/clsFncDef.h"
#include "shapes/clsFunction.h"

#include <benchmark/benchmark.h>
#include <optional>

namespace {

void Sample(benchmark::State& state, bool interpreterOnly) {
    std::optional<ov::InterpreterOnly> only;
    if (interpreterOnly) only.emplace();
    ov::clsFunction f;
    f.Functions[0].Body = "cos(t/1000)*(1+t/100000)";
    f.Functions[1].Body = "sin(t/1000)*(1+t/100000)";
    f.Functions[2].Body = "t/100000-5";
    f.TFrom = 0;
    f.TTo = 999999;
    f.TStep = 1;
    std::size_t segments = 0;
    for (auto _ : state) {
        f.ClearCache();
        segments = f.BreakApart().size();
        benchmark::DoNotOptimize(segments);
    }
    if (!f.LastSamplingError().empty()) state.SkipWithError(f.LastSamplingError().c_str());
    state.counters["segments"] = static_cast<double>(segments);
    state.SetItemsProcessed(state.iterations() * 1000000);
}

void BM_SampleFunction_Orthovane(benchmark::State& state) { Sample(state, false); }
BENCHMARK(BM_SampleFunction_Orthovane)->Unit(benchmark::kMillisecond);
void BM_SampleFunction_Interpreter(benchmark::State& state) { Sample(state, true); }
BENCHMARK(BM_SampleFunction_Interpreter)->Unit(benchmark::kMillisecond);

} // namespace
