// Project files and undo snapshots of a large scene: 100,000 line nodes in 10,000 groups of
// ten under the root, written once with the model code (tree manager nodes, SaveScene) to a
// temporary project file.
//
//   LoadScene        reading the file into a new scene (file text, record, tree)
//   SaveScene        writing the loaded scene to a file
//   LoadPeakMemory   the growth of the resident set while one load runs, measured in a
//                    freshly started process (this program again, running only the load)
//                    so that memory the benchmark process used before cannot hide the
//                    peak; reported in bytes and as a multiple of the file size
//   PushUndoTree     one undo snapshot of the loaded tree (the list keeps at most twenty;
//                    from the twenty-first push on, each push also frees the oldest)
//   UndoMemory20     the heap the twenty snapshots of a full undo list hold (mallinfo2),
//                    in bytes and as a multiple of the file size
//
// The generation runs in a child process as well, so the benchmark process itself never
// holds a tree it did not load. Coordinates are random doubles with a fixed seed, written
// with their full 15 significant digits.

#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "scene/clsTreeManager.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ov::clsNode;
using ov::clsScene;
using ov::clsTreeManager;

constexpr int kGroups = 10000;
constexpr int kLinesPerGroup = 10;

// Builds the scene and saves it; runs in a child process.
bool WriteProject(const std::string& path) {
    clsScene scene;
    clsNode& root = *scene.TreeManager.Root;
    while (clsNode* child = root.FirstChild()) child->Delete(); // drop the model house
    std::mt19937_64 rng(20261205);
    std::uniform_real_distribution<double> coordinate(-100, 100);
    for (int g = 0; g < kGroups; ++g) {
        clsNode* group = root.AddChild(clsTreeManager::CreateNode(clsNode::Group));
        group->Name = "Group " + std::to_string(g + 1);
        for (int i = 0; i < kLinesPerGroup; ++i) {
            const double x1 = coordinate(rng), y1 = coordinate(rng), z1 = coordinate(rng);
            const double x2 = coordinate(rng), y2 = coordinate(rng), z2 = coordinate(rng);
            group->AddChild(scene.TreeManager.CreateLineNode(x1, y1, z1, x2, y2, z2, ""));
        }
    }
    return scene.SaveScene(path);
}

struct Project {
    std::string path;
    std::int64_t bytes = 0;
};

const Project& TheProject() {
    static const Project project = [] {
        Project p;
        p.path = (std::getenv("TMPDIR") ? std::string(std::getenv("TMPDIR")) : std::string("/tmp")) +
                 "/orthovane-scene-bench-" + std::to_string(getpid()) + ".ovp";
        const pid_t child = fork();
        if (child == 0) _exit(WriteProject(p.path) ? 0 : 1);
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "SceneBench: cannot write %s\n", p.path.c_str());
            std::exit(1);
        }
        struct stat info {};
        stat(p.path.c_str(), &info);
        p.bytes = info.st_size;
        std::atexit([] { std::remove(TheProject().path.c_str()); });
        return p;
    }();
    return project;
}

std::unique_ptr<clsScene> LoadedScene() {
    auto scene = std::make_unique<clsScene>();
    if (!scene->LoadScene(TheProject().path, false)) std::exit(1);
    return scene;
}

// Kilobytes resident now, from /proc/self/statm.
long ResidentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void SetFileCounters(benchmark::State& state) {
    state.counters["file_bytes"] = static_cast<double>(TheProject().bytes);
    state.counters["nodes"] = kGroups * (kLinesPerGroup + 1);
}

void BM_LoadScene(benchmark::State& state) {
    TheProject();
    for (auto _ : state) {
        auto scene = std::make_unique<clsScene>();
        const bool ok = scene->LoadScene(TheProject().path, false);
        benchmark::DoNotOptimize(ok);
        state.PauseTiming();
        if (!ok || scene->GetRootNode()->GetChildCount() != kGroups) state.SkipWithError("load failed");
        scene.reset();
        state.ResumeTiming();
    }
    SetFileCounters(state);
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_SaveScene(benchmark::State& state) {
    const std::unique_ptr<clsScene> scene = LoadedScene();
    const std::string out = TheProject().path + ".saved";
    for (auto _ : state) {
        const bool ok = scene->SaveScene(out);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("save failed");
    }
    std::remove(out.c_str());
    SetFileCounters(state);
}
BENCHMARK(BM_SaveScene)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// A field of /proc/self/status in KiB (VmRSS: resident now, VmHWM: the peak so far).
long StatusKiB(const char* field) {
    long value = -1;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const std::size_t n = std::strlen(field);
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, field, n) == 0) value = std::strtol(line + n, nullptr, 10);
        std::fclose(f);
    }
    return value;
}

// The peak is measured in a process of its own, started from this program's file, so that
// no memory this process used before can hide it: the load runs in a freshly started
// image whose peak resident set (VmHWM) is its own. The process gets the project and the
// pipe for the result through this variable ("<fd> <path>") and runs only MeasureLoad.
constexpr const char* kMeasureVariable = "ORTHOVANE_SCENE_BENCH_MEASURE";

void MeasureLoad(benchmark::State& state) {
    int fd = -1;
    char path[4096] = {};
    if (std::sscanf(std::getenv(kMeasureVariable), "%d %4095[^\n]", &fd, path) != 2) _exit(2);
    for (auto _ : state) {
        const long before = StatusKiB("VmRSS:");
        clsScene scene;
        const bool ok = scene.LoadScene(path, false);
        const long growth = ok ? StatusKiB("VmHWM:") - before : -1;
        if (write(fd, &growth, sizeof growth) != sizeof growth) _exit(1);
        _exit(0); // the peak has been read; freeing the scene would only cost time
    }
}

const bool kMeasureRegistered = std::getenv(kMeasureVariable) != nullptr &&
                                benchmark::RegisterBenchmark("MeasureLoad", MeasureLoad)->Iterations(1) != nullptr;

void BM_LoadPeakMemory(benchmark::State& state) {
    TheProject();
    long growthKiB = -1;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("pipe failed");
            break;
        }
        const std::string request = std::to_string(fds[1]) + " " + TheProject().path;
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            setenv(kMeasureVariable, request.c_str(), 1);
            if (std::freopen("/dev/null", "w", stdout) == nullptr || std::freopen("/dev/null", "w", stderr) == nullptr)
                _exit(3);
            const char* args[] = {"orthovane_scene_bench", "--benchmark_filter=^MeasureLoad/", nullptr};
            execv("/proc/self/exe", const_cast<char* const*>(args));
            _exit(4);
        }
        close(fds[1]);
        long value = -1;
        if (child < 0 || read(fds[0], &value, sizeof value) != sizeof value) value = -1;
        close(fds[0]);
        int status = 0;
        if (child > 0) waitpid(child, &status, 0);
        growthKiB = value;
    }
    if (growthKiB < 0) {
        state.SkipWithError("the measuring process failed");
        return;
    }
    const double bytes = growthKiB * 1024.0;
    state.counters["peak_growth_bytes"] = bytes;
    state.counters["peak_per_file_byte"] = bytes / static_cast<double>(TheProject().bytes);
    SetFileCounters(state);
}
BENCHMARK(BM_LoadPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_PushUndoTree(benchmark::State& state) {
    const std::unique_ptr<clsScene> scene = LoadedScene();
    for (auto _ : state) scene->TreeManager.PushUndoTree("Edit");
    SetFileCounters(state);
}
BENCHMARK(BM_PushUndoTree)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_UndoMemory20(benchmark::State& state) {
    const std::unique_ptr<clsScene> scene = LoadedScene();
    double heapBytes = 0, residentBytes = 0;
    for (auto _ : state) {
        scene->TreeManager.UndoList.clear();
        scene->TreeManager.UndoIndex = 0;
        malloc_trim(0);
        const std::size_t heapBefore = mallinfo2().uordblks;
        const long residentBefore = ResidentKiB();
        for (int i = 0; i < clsTreeManager::MaxUndoSteps; ++i) scene->TreeManager.PushUndoTree("Edit");
        heapBytes = static_cast<double>(mallinfo2().uordblks) - static_cast<double>(heapBefore);
        residentBytes = (ResidentKiB() - residentBefore) * 1024.0;
    }
    state.counters["heap_bytes_20_steps"] = heapBytes;
    state.counters["heap_bytes_per_step"] = heapBytes / clsTreeManager::MaxUndoSteps;
    state.counters["heap_per_file_byte"] = heapBytes / static_cast<double>(TheProject().bytes);
    state.counters["rss_growth_bytes"] = residentBytes;
    SetFileCounters(state);
}
BENCHMARK(BM_UndoMemory20)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
