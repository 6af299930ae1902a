// Showing a long one-line note in the notes field and reading it back: the time from setting
// the text to the first painted screenful, at 1, 5 and 50 MB.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <string>

#include "app/dialogs/LongTextEdit.h"

namespace {

void BM_ShowLongNote(benchmark::State& state) {
    const std::string text(static_cast<std::size_t>(state.range(0)) * 1000000, 'x');
    for (auto _ : state) {
        ov::LongTextEdit field;
        field.resize(400, 300);
        field.SetText(text);
        field.show();
        if (!QTest::qWaitForWindowExposed(&field)) state.SkipWithError("not shown");
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ShowLongNote)->Arg(1)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadLongNoteBack(benchmark::State& state) {
    ov::LongTextEdit field;
    field.SetText(std::string(static_cast<std::size_t>(state.range(0)) * 1000000, 'x'));
    for (auto _ : state) benchmark::DoNotOptimize(field.Text());
}
BENCHMARK(BM_ReadLongNoteBack)->Arg(1)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
