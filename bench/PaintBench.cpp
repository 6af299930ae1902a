// Cost of drawing lines one by one through the paint target, against the fastest way Qt
// offers to draw the same lines: one QPainter::drawLines call.
//
//   PaintDC_DrawLine   clsPaintDC attached to a 1600 x 1000 canvas: BeginDraw, 1,000,000
//                      DrawLine calls in document millimetres with a 1-point outline, EndDraw.
//   Qt_DrawLines       the same segments, converted to device pixels beforehand, drawn with
//                      one drawLines call on an image of the same size and format, with the
//                      pen the paint target makes for that outline.
//
// Both clear the image first, as BeginDraw clears the canvas. The segments are drawn once
// with a fixed seed on a 400 x 250 mm document shown 4 pixels to the millimetre, in two
// sets by the longest segment (max_px): up to 200 pixels, like the lines of a drawing, and
// up to 16 pixels, like the pieces of a curve. Each set has
//   85 %  wholly inside;
//   10 %  from inside the canvas to a point outside it: cut at the edge;
//    5 %  wholly outside, 1 to 5 metres away: rejected.
//
// The program needs a QGuiApplication (fonts, screen resolution); it runs on the offscreen
// platform. At the end it checks that both ways draw the same pixels (see ReportDifference).

#include "geometry/clsRect.h"
#include "style/clsOutline.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"

#include <QGuiApplication>
#include <QImage>
#include <QLine>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

using ov::Canvas;
using ov::clsOutline;
using ov::clsPaintDC;
using ov::clsRect;

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr std::size_t kLines = 1000000;
constexpr double kDocWidth = 400, kDocHeight = 250; // mm
constexpr double kPixelsPerMM = kWidth / kDocWidth;

struct Segment {
    double x1, y1, x2, y2;
};

clsRect DocRect() {
    clsRect r;
    r.SetValues(0, 0, kDocWidth, kDocHeight);
    return r;
}

clsRect DeviceRect() {
    clsRect r;
    r.SetValues(0, 0, kWidth, kHeight);
    return r;
}

std::vector<Segment> MakeSegments(double maxLength) {
    std::mt19937_64 rng(20240611);
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto inside = [](double x, double y) { return x >= 0 && x <= kDocWidth && y >= 0 && y <= kDocHeight; };
    constexpr double kPi = 3.14159265358979;
    std::vector<Segment> segments;
    segments.reserve(kLines);
    while (segments.size() < kLines) {
        const double kind = uniform(0, 1);
        if (kind < 0.95) {
            // A start inside and an end at most maxLength away, kept only if the end is on
            // the wanted side of the edge.
            const double x1 = uniform(0, kDocWidth), y1 = uniform(0, kDocHeight);
            const double length = uniform(0, maxLength), angle = uniform(0, 2 * kPi);
            const double x2 = x1 + length * std::cos(angle), y2 = y1 + length * std::sin(angle);
            if (inside(x2, y2) == (kind < 0.85)) segments.push_back({x1, y1, x2, y2});
        } else {
            // Both ends in the same band beyond one side of the document.
            const double d1 = uniform(1000, 5000), d2 = uniform(1000, 5000);
            const double a = uniform(-2000, 2000), b = uniform(-2000, 2000);
            switch (static_cast<int>(uniform(0, 4))) {
            case 0: segments.push_back({-d1, a, -d2, b}); break;
            case 1: segments.push_back({kDocWidth + d1, a, kDocWidth + d2, b}); break;
            case 2: segments.push_back({a, -d1, b, -d2}); break;
            default: segments.push_back({a, kDocHeight + d1, b, kDocHeight + d2}); break;
            }
        }
    }
    return segments;
}

// The two sets, by the longest segment in pixels: lines of a drawing, and the short pieces
// curves are drawn with.
const std::vector<Segment>& Segments(int maxPixels) {
    static const std::vector<Segment> drawing = MakeSegments(200.0 / kPixelsPerMM);
    static const std::vector<Segment> pieces = MakeSegments(16.0 / kPixelsPerMM);
    return maxPixels <= 16 ? pieces : drawing;
}

clsOutline OnePointOutline() { return clsOutline(1.0, 0, 0, 0); }

// A canvas of the benchmark's size with the paint target attached to it.
struct Target {
    Canvas canvas{kWidth, kHeight};
    clsPaintDC dc;
    Target() {
        canvas.SetPixelsPerInchY(96);
        dc.AttachToPictureBox(canvas, DocRect(), DeviceRect());
    }
};

void DrawWithPaintDC(Target& target, const std::vector<Segment>& segments, std::size_t count) {
    const clsOutline outline = OnePointOutline();
    target.dc.BeginDraw();
    for (std::size_t i = 0; i < count; ++i) {
        const Segment& s = segments[i];
        target.dc.DrawLine(s.x1, s.y1, s.x2, s.y2, outline);
    }
    target.dc.EndDraw();
}

// The segments in device pixels by the paint target's own mapping and rounding, and the
// pen it makes for the outline.
std::vector<QLine> DeviceLines(const clsPaintDC& dc, const std::vector<Segment>& segments) {
    std::vector<QLine> lines;
    lines.reserve(segments.size());
    for (const Segment& s : segments)
        lines.emplace_back(ov::Nearest(dc.ToDeviceX(s.x1)), ov::Nearest(dc.ToDeviceY(s.y1)),
                           ov::Nearest(dc.ToDeviceX(s.x2)), ov::Nearest(dc.ToDeviceY(s.y2)));
    return lines;
}

QPen DevicePen(const clsPaintDC& dc) { return OnePointOutline().GetGDIPen(dc.GetPenWidth(1.0)); }

void DrawWithQt(QImage& image, const QPen& pen, const std::vector<QLine>& lines, std::size_t count) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(pen);
    painter.drawLines(lines.data(), static_cast<int>(count));
    painter.end();
}

bool g_ran = false; // whether any benchmark ran, so that a listing skips the check

void BM_PaintDC_DrawLine(benchmark::State& state) {
    g_ran = true;
    const std::vector<Segment>& segments = Segments(static_cast<int>(state.range(0)));
    Target target;
    for (auto _ : state) DrawWithPaintDC(target, segments, segments.size());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(segments.size()));
}
BENCHMARK(BM_PaintDC_DrawLine)->ArgName("max_px")->Arg(200)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_Qt_DrawLines(benchmark::State& state) {
    g_ran = true;
    const std::vector<Segment>& segments = Segments(static_cast<int>(state.range(0)));
    Target target; // for the mapping, pen and image format of the real thing
    const std::vector<QLine> lines = DeviceLines(target.dc, segments);
    const QPen pen = DevicePen(target.dc);
    QImage image(kWidth, kHeight, target.canvas.Image().format());
    for (auto _ : state) DrawWithQt(image, pen, lines, lines.size());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}
BENCHMARK(BM_Qt_DrawLines)->ArgName("max_px")->Arg(200)->Arg(16)->Unit(benchmark::kMillisecond);

long CountDifferences(const QImage& a, const QImage& b) {
    long differing = 0;
    for (int y = 0; y < kHeight; ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) differing += pa[x] != pb[x];
    }
    return differing;
}

// Draws the first few thousand segments of each set three ways and counts the pixels that
// differ, to show that the two benchmarks draw the same picture. (A million lines ink
// nearly every pixel, so the full sets would hide differences.)
//   - against one QPainter::drawLine per segment: only lines cut at the canvas edge may
//     differ, because the paint target rounds the cut ends to whole pixels;
//   - against the single drawLines call of the benchmark: Qt's stroker also leaves out or
//     adds the first pixel of some lines depending on the line drawn before in the same
//     call, so a few more isolated pixels differ.
void ReportDifference() {
    constexpr std::size_t kCheck = 5000;
    for (const int maxPixels : {200, 16}) {
        const std::vector<Segment>& segments = Segments(maxPixels);
        Target target;
        DrawWithPaintDC(target, segments, kCheck);
        const QImage& drawn = target.canvas.Image();
        const std::vector<QLine> lines = DeviceLines(target.dc, segments);
        const QPen pen = DevicePen(target.dc);

        QImage batch(kWidth, kHeight, drawn.format());
        DrawWithQt(batch, pen, lines, kCheck);
        QImage single(kWidth, kHeight, drawn.format());
        single.fill(Qt::white);
        QPainter painter(&single);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(pen);
        for (std::size_t i = 0; i < kCheck; ++i) painter.drawLine(lines[i]);
        painter.end();

        long inked = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) inked += qGray(drawn.pixel(x, y)) < 128;
        std::fprintf(stderr,
                     "max_px %d, first %zu segments: %ld pixels inked; differing pixels: %ld against "
                     "one drawLine each, %ld against one drawLines call\n",
                     maxPixels, kCheck, inked, CountDifferences(drawn, single), CountDifferences(drawn, batch));
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_ran) ReportDifference();
    return 0;
}
