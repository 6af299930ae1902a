// SVG export of one long curve, as the export draws a function object: the paint target
// attached to the SVG document builder, one group begun, n segments drawn with a 1-point
// outline, the group ended and named; then the document written as text.
//
//   SvgDraw/n     the drawing: BeginGroup, n DrawLine calls, EndGroup (the shapes are made,
//                 collected in a shape range and moved into the named group)
//   SvgText/n     ToSvgText of the document SvgDraw leaves
//   SvgExport/n   both, and freeing the document: all the export costs beyond sampling
//                 the curve and writing the file
//
// The segments follow a spiral across a Letter page (8.5 x 11 inches): points 1/n of a turn
// apart, so that every segment is short and distinct, as the pieces of a sampled curve are.
// n = 80,000, 160,000, 320,000 and 1,000,000, the sizes of the figures in RESULTS.md.

#include "geometry/clsRect.h"
#include "paint/clsPaintDC.h"
#include "platform/svg/SvgDrawApp.h"
#include "style/clsOutline.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using ov::clsOutline;
using ov::clsPaintDC;
using ov::clsRect;
using ov::SvgDrawApp;

constexpr double kPageWidth = 8.5, kPageHeight = 11; // inches, the document builder's page

struct Point {
    double x, y;
};

// n points of three turns of a spiral around the middle of a 200 x 250 mm document.
std::vector<Point> Spiral(std::size_t n) {
    constexpr double kPi = 3.14159265358979;
    std::vector<Point> points;
    points.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n - 1);
        const double angle = 6 * kPi * t, radius = 10 + 80 * t;
        points.push_back({100 + radius * std::cos(angle), 125 + radius * std::sin(angle)});
    }
    return points;
}

clsRect Rect(double x1, double y1, double x2, double y2) {
    clsRect r;
    r.SetValues(x1, y1, x2, y2);
    return r;
}

// The curve drawn into a new document, as the export draws one object.
std::shared_ptr<SvgDrawApp> Draw(const std::vector<Point>& points) {
    auto app = std::make_shared<SvgDrawApp>();
    clsPaintDC dc;
    dc.AttachToDraw(app, Rect(0, 0, 200, 250), Rect(0, 0, kPageWidth, kPageHeight));
    const clsOutline outline(1.0, 0, 0, 255);
    dc.BeginGroup();
    for (std::size_t i = 1; i < points.size(); ++i)
        dc.DrawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, outline);
    dc.EndGroup("Curve", false);
    return app;
}

void SetCounters(benchmark::State& state, std::size_t segments) {
    state.counters["segments/s"] =
        benchmark::Counter(static_cast<double>(segments) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

void BM_SvgDraw(benchmark::State& state) {
    const auto points = Spiral(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto app = Draw(points);
        benchmark::DoNotOptimize(app.get());
        state.PauseTiming();
        app.reset();
        state.ResumeTiming();
    }
    SetCounters(state, points.size() - 1);
}

void BM_SvgText(benchmark::State& state) {
    const auto points = Spiral(static_cast<std::size_t>(state.range(0)));
    const auto app = Draw(points);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = app->ToSvgText();
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    SetCounters(state, points.size() - 1);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_SvgExport(benchmark::State& state) {
    const auto points = Spiral(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto app = Draw(points);
        std::string text = app->ToSvgText();
        benchmark::DoNotOptimize(text.data());
        app.reset();
    }
    SetCounters(state, points.size() - 1);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (const int n : {80000, 160000, 320000, 1000000}) b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_SvgDraw)->Apply(Sizes);
BENCHMARK(BM_SvgText)->Apply(Sizes);
BENCHMARK(BM_SvgExport)->Apply(Sizes);

} // namespace
