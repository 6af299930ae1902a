// Throughput of clsPerspective::ConvertLine: clipping document-space segments to the view
// pyramid and projecting them, in segments per second.
//
// 1,000,000 segments are drawn once with a fixed seed around the default camera (eye at
// (20, 20, 10), looking at the origin) in a mix that exercises every path of the clipper:
//   35 %  inside a 20-unit cube around the origin: mostly whole, some cut at the window edges;
//   30 %  in a 120-unit cube around the origin: often cut, many wholly outside the window;
//   20 %  from near the origin to behind the eye: cut at the front plane;
//   15 %  wholly behind the eye: rejected.

#include "camera/clsPerspective.h"
#include "geometry/clsLine3D.h"
#include "geometry/clsPoint3D.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using ov::clsLine3D;
using ov::clsPerspective;
using ov::clsPoint3D;

constexpr std::size_t kSegments = 1000000;

std::vector<clsLine3D> MakeSegments() {
    std::mt19937_64 rng(19700101);
    auto uniform = [&rng](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    auto around = [&uniform](const clsPoint3D& c, double r) {
        return clsPoint3D(c.x + uniform(-r, r), c.y + uniform(-r, r), c.z + uniform(-r, r));
    };
    const clsPoint3D origin(0, 0, 0);
    const clsPoint3D behindEye(40, 40, 20); // as far behind the eye as the origin is in front
    std::vector<clsLine3D> segments;
    segments.reserve(kSegments);
    for (std::size_t i = 0; i < kSegments; ++i) {
        const double kind = uniform(0, 1);
        if (kind < 0.35)
            segments.emplace_back(around(origin, 10), around(origin, 10));
        else if (kind < 0.65)
            segments.emplace_back(around(origin, 60), around(origin, 60));
        else if (kind < 0.85)
            segments.emplace_back(around(origin, 10), around(behindEye, 10));
        else
            segments.emplace_back(around(behindEye, 8), around(behindEye, 8));
    }
    return segments;
}

const std::vector<clsLine3D>& Segments() {
    static const std::vector<clsLine3D> segments = MakeSegments();
    return segments;
}

void RunConvertLine(benchmark::State& state, const clsPerspective& camera) {
    const std::vector<clsLine3D>& segments = Segments();
    std::int64_t visible = 0;
    for (auto _ : state) {
        visible = 0;
        double sum = 0;
        for (const clsLine3D& segment : segments) {
            double u0 = 0, v0 = 0, u1 = 0, v1 = 0;
            if (camera.ConvertLine(segment, u0, v0, u1, v1)) {
                ++visible;
                sum += u0 + v0 + u1 + v1;
            }
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(visible);
    }
    state.counters["segments/s"] = benchmark::Counter(
        static_cast<double>(segments.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["visible%"] =
        100.0 * static_cast<double>(visible) / static_cast<double>(segments.size());
}

// The default camera: no back plane.
void BM_ConvertLine(benchmark::State& state) {
    const clsPerspective camera;
    RunConvertLine(state, camera);
}

// The default camera with the back plane on, 40 units behind the picture plane, so that
// the far ends of the wide segments are cut as well.
void BM_ConvertLineClipBack(benchmark::State& state) {
    clsPerspective camera;
    camera.ClipBack = true;
    camera.BackClipping = -40;
    RunConvertLine(state, camera);
}

BENCHMARK(BM_ConvertLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertLineClipBack)->Unit(benchmark::kMillisecond);

} // namespace
