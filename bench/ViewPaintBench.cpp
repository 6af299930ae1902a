// Cost of repainting a view of a large scene, against the fastest way Qt offers to draw the
// same lines: one QPainter::drawLines call.
//
//   OnPaint/<view>        clsView::OnPaint of the perspective (6) or the top view (1) on a
//                         1600 x 1000 canvas: the canvas is cleared, then the grid, the
//                         horizon or its trace, the objects in two passes, the axes and the
//                         view name are painted, as on screen.
//   Qt_DrawLines/<view>   the segments of the objects that the view shows, projected by the
//                         view and mapped to pixels beforehand with the paint target's own
//                         mapping and rounding, drawn with one drawLines call on a cleared
//                         image of the same size and format, with the objects' pen.
//
// The scene: 100,000 line objects at the top level of the tree, generated with a fixed seed.
// Each starts anywhere in the scene's view volume (-20 to 20 on every axis) and runs up to
// 2 units in a random direction, so that a line is at most 50 pixels long in the top view.
// The default camera has its eye at (20, 20, 10) inside that volume, so the perspective view
// sees only a part of the lines and clips many at the window or the front plane.
//
// At the end the program prints the ratio of the two per view from the benchmark figures,
// then measures it again with the two drawn in turn, 21 rounds each, so that a change of the
// machine's load in between affects both alike (CPU time of the process, medians), and checks
// that both ways draw the same pixels (see ReportDifference).

#include "camera/clsPerspective.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"
#include "paint/clsView.h"

#include <QGuiApplication>
#include <QImage>
#include <QLine>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ov;

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr std::size_t kLines = 100000;
constexpr double kMaxLength = 2;

// The generated scene, shared by all benchmarks (building it takes longer than painting).
clsScene& Scene() {
    static clsScene* scene = [] {
        auto* s = new clsScene;
        clsNode* root = s->GetRootNode();
        while (root->FirstChild()) root->FirstChild()->Delete();
        std::mt19937_64 rng(20240612);
        auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
        for (std::size_t i = 0; i < kLines; ++i) {
            const double x = uniform(-20, 20), y = uniform(-20, 20), z = uniform(-20, 20);
            // A direction uniform on the sphere, and a length up to kMaxLength.
            const double cz = uniform(-1, 1), a = uniform(0, 2 * 3.14159265358979), r = std::sqrt(1 - cz * cz);
            const double l = uniform(0, kMaxLength);
            root->AddChild(s->TreeManager.CreateLineNode(x, y, z, x + l * r * std::cos(a), y + l * r * std::sin(a),
                                                         z + l * cz, ""));
        }
        return s;
    }();
    return *scene;
}

// A view of the scene on its own canvas of the benchmark's size.
struct ViewPort {
    Canvas canvas{kWidth, kHeight};
    clsView view;
    explicit ViewPort(std::int32_t type) {
        canvas.SetPixelsPerInchY(96);
        view.SetView(type, &canvas, &Scene());
    }
};

// The segments the view shows, in device pixels, and the pen of the objects.
std::vector<QLine> DeviceLines(ViewPort& port, QPen& pen) {
    clsPaintDC dc;
    dc.AttachToPictureBox(port.canvas, port.view.ViewRect, port.view.GetScreenRect());
    pen = Scene().Line.GetGDIPen(dc.GetPenWidth(Scene().Line.Width));
    std::vector<QLine> lines;
    lines.reserve(kLines);
    for (clsNode* n = Scene().GetRootNode()->FirstChild(); n; n = n->NextSibling()) {
        for (const auto& s : n->BreakApart()) {
            double u1, v1, u2, v2;
            if (!port.view.ConvertLine(*s, u1, v1, u2, v2)) continue;
            lines.emplace_back(Nearest(dc.ToDeviceX(u1)), Nearest(dc.ToDeviceY(v1)), Nearest(dc.ToDeviceX(u2)),
                               Nearest(dc.ToDeviceY(v2)));
        }
    }
    return lines;
}

void DrawWithQt(QImage& image, const QPen& pen, const std::vector<QLine>& lines) {
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    painter.end();
}

bool g_ran = false; // whether any benchmark ran, so that a listing skips the check

void BM_OnPaint(benchmark::State& state) {
    g_ran = true;
    ViewPort port(static_cast<std::int32_t>(state.range(0)));
    App().CurrentTool = ToolPick;
    for (auto _ : state) port.view.OnPaint(Scene().GetRootNode(), false, true);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kLines));
}
BENCHMARK(BM_OnPaint)->ArgName("view")->Arg(clsView::Perspective)->Arg(clsView::Top)->Unit(benchmark::kMillisecond);

void BM_Qt_DrawLines(benchmark::State& state) {
    g_ran = true;
    ViewPort port(static_cast<std::int32_t>(state.range(0)));
    QPen pen;
    const std::vector<QLine> lines = DeviceLines(port, pen);
    QImage image(kWidth, kHeight, port.canvas.Image().format());
    for (auto _ : state) DrawWithQt(image, pen, lines);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kLines));
    state.counters["drawn"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_Qt_DrawLines)->ArgName("view")->Arg(clsView::Perspective)->Arg(clsView::Top)->Unit(benchmark::kMillisecond);

// Keeps the times of the runs so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::pair<double, double>> times; // name -> (CPU, wall) in ms

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With repetitions, the median stands for the benchmark.
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            if (run.run_type == Run::RT_Iteration && times.count(name) && run.repetitions > 1) continue;
            times[name] = {run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        for (const char* view : {"view:6", "view:1"}) {
            const auto paint = times.find(std::string("BM_OnPaint/") + view);
            const auto qt = times.find(std::string("BM_Qt_DrawLines/") + view);
            if (paint == times.end() || qt == times.end()) continue;
            std::fprintf(stderr, "%s: OnPaint %.1f ms CPU, %.1f ms wall; drawLines %.1f ms CPU, %.1f ms wall; ratio %.2f CPU, %.2f wall\n",
                         view, paint->second.first, paint->second.second, qt->second.first, qt->second.second,
                         paint->second.first / qt->second.first, paint->second.second / qt->second.second);
        }
    }
};

double CpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// OnPaint and drawLines in turn, one after the other, per view.
void ReportInterleavedRatio() {
    App().CurrentTool = ToolPick;
    for (const std::int32_t type : {clsView::Perspective, clsView::Top}) {
        ViewPort port(type);
        QPen pen;
        const std::vector<QLine> lines = DeviceLines(port, pen);
        QImage image(kWidth, kHeight, port.canvas.Image().format());
        port.view.OnPaint(Scene().GetRootNode(), false, true); // warm up
        DrawWithQt(image, pen, lines);
        std::vector<double> paint, qt;
        for (int round = 0; round < 21; ++round) {
            double t = CpuMilliseconds();
            port.view.OnPaint(Scene().GetRootNode(), false, true);
            paint.push_back(CpuMilliseconds() - t);
            t = CpuMilliseconds();
            DrawWithQt(image, pen, lines);
            qt.push_back(CpuMilliseconds() - t);
        }
        std::fprintf(stderr, "view:%d in turn: OnPaint %.1f ms, drawLines %.1f ms CPU (medians of 21); ratio %.2f\n", type,
                     Median(paint), Median(qt), Median(paint) / Median(qt));
    }
}

// Pixels that differ, and how many of them lie within 50 pixels of the canvas edge.
std::pair<long, long> CountDifferences(const QImage& a, const QImage& b) {
    long differing = 0, nearEdge = 0;
    for (int y = 0; y < kHeight; ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            if (pa[x] == pb[x]) continue;
            ++differing;
            nearEdge += x < 50 || y < 50 || x >= kWidth - 50 || y >= kHeight - 50;
        }
    }
    return {differing, nearEdge};
}

// Paints the objects alone (no grid, axes, horizon or name) and draws the projected lines
// one drawLine call each, and counts the pixels that differ: only lines that the paint
// target cuts at the canvas edge, rounding the cut end to whole pixels, may differ. The
// full scene inks most of the canvas, which would hide differences, so the first 5,000
// lines are compared.
void ReportDifference() {
    clsScene& scene = Scene();
    // The first 5,000 lines stay in the tree; the others wait outside it.
    std::vector<std::unique_ptr<clsNode>> rest;
    clsNode* n = scene.GetRootNode()->FirstChild();
    for (std::size_t i = 0; n && i < 5000; ++i) n = n->NextSibling();
    while (n) {
        clsNode* next = n->NextSibling();
        rest.push_back(n->Detach());
        n = next;
    }
    const bool grid = scene.ShowGrid, axes = scene.ShowAxes, horizon = scene.GetPerspective().ShowHorizon;
    scene.ShowGrid = scene.ShowAxes = scene.GetPerspective().ShowHorizon = false;
    for (const std::int32_t type : {clsView::Perspective, clsView::Top}) {
        ViewPort port(type);
        port.view.OnPaint(scene.GetRootNode(), false, false);
        // The view's name is painted on the canvas too; blank it out on both pictures.
        QImage painted = port.canvas.Image().copy();
        QPen pen;
        const std::vector<QLine> lines = DeviceLines(port, pen);
        QImage single(kWidth, kHeight, painted.format());
        single.fill(Qt::white);
        QPainter painter(&single);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(pen);
        for (const QLine& line : lines) painter.drawLine(line);
        painter.end();
        for (QImage* image : {&painted, &single}) {
            QPainter blank(image);
            blank.fillRect(0, 0, 120, 30, Qt::white);
        }
        long inked = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) inked += painted.pixel(x, y) != qRgb(255, 255, 255);
        const auto [differing, nearEdge] = CountDifferences(painted, single);
        std::fprintf(stderr,
                     "view %d, first 5000 lines: %zu visible, %ld pixels inked, %ld differing pixels (%ld of them "
                     "within 50 pixels of the edge)\n",
                     type, lines.size(), inked, differing, nearEdge);
    }
    scene.ShowGrid = grid;
    scene.ShowAxes = axes;
    scene.GetPerspective().ShowHorizon = horizon;
    for (auto& node : rest) scene.GetRootNode()->AddChild(std::move(node));
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (g_ran) {
        reporter.PrintRatios();
        ReportInterleavedRatio();
        ReportDifference();
    }
    return 0;
}
