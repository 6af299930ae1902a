// Throughput of the structured text record: reading a large project-like stream from text
// and writing it back, in value items (key = value lines) per second.
//
// Parsing turns text into a record tree whose values are still text; writing turns such a
// tree back into text. The typed getters and setters, which convert numbers, are measured
// on their own (Read, Build) and together with the text side (ParseTextRead is a complete
// load, BuildWriteText a complete save).
//
// Two stream shapes, each with exactly 1,000,000 value items under 10,000 records:
//   objects: records shaped like drawing objects, nested up to four levels deep (outline,
//            geometry with start and end points, a vertex list of 21 points), mixing
//            escaped texts, integers, flags and doubles;
//   flat:    records of 100 value items each, directly under the record.
// The text and the prepared line lists and streams are built once, outside the timed
// loops; per-iteration set-up (copying a line list) and tear-down (freeing the result)
// run with the timer paused.

#include "io/LineList.h"
#include "io/clsStream.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using ov::clsStream;
using ov::clsStreamItem;
using ov::LineList;

constexpr int kRecords = 10000;
constexpr std::int64_t kExpectedValueItems = 1000000;
constexpr std::size_t kPoolSize = 4096; // values are drawn from pools of this size, cyclically
constexpr int kVertices = 21;
constexpr int kFlatItems = 100;

enum class Shape { Objects, Flat };

const char* ShapeName(Shape shape) {
    return shape == Shape::Objects ? "objects" : "flat";
}

// The values and keys one build of the stream uses, drawn once with a fixed seed so that
// building in a timed loop does no random drawing and every build gives the same stream.
struct ValuePool {
    std::vector<std::string> recordKeys;
    std::vector<std::string> vertexKeys;
    std::vector<std::string> itemKeys;
    std::vector<double> doubles;
    std::vector<std::int32_t> longs;
    std::vector<std::string> texts; // plain texts; the setter escapes them

    ValuePool() {
        std::mt19937_64 rng(20240611);
        auto uniform = [&rng](double lo, double hi) {
            return std::uniform_real_distribution<double>(lo, hi)(rng);
        };
        auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

        for (int i = 1; i <= kRecords; ++i)
            recordKeys.push_back("Object" + std::to_string(i));
        for (int i = 1; i <= kVertices; ++i)
            vertexKeys.push_back("Vertex" + std::to_string(i));
        for (int i = 1; i <= kFlatItems; ++i)
            itemKeys.push_back("Item" + std::to_string(i));

        // Doubles as drawings hold them: grid values, values typed with two decimals,
        // computed coordinates with all 15 digits, and a few that need the exponent form.
        for (std::size_t i = 0; i < kPoolSize; ++i) {
            double v;
            switch (pick(10)) {
            case 0:
            case 1:
            case 2:
                v = static_cast<double>(pick(401) - 200) * 0.5;
                break;
            case 3:
            case 4:
            case 5:
                v = static_cast<double>(pick(200001) - 100000) / 100.0;
                break;
            case 6:
            case 7:
            case 8:
                v = uniform(-50, 50);
                break;
            default: {
                const int exponent = pick(2) ? -(5 + pick(8)) : 15 + pick(6);
                char text[32];
                std::snprintf(text, sizeof text, "%.3fe%d", uniform(1, 10), exponent);
                v = std::strtod(text, nullptr);
            }
            }
            doubles.push_back(v);
        }
        // Integers: small counts and types, colours, and some negative offsets.
        for (std::size_t i = 0; i < kPoolSize; ++i) {
            switch (pick(4)) {
            case 0:
            case 1:
                longs.push_back(pick(101));
                break;
            case 2:
                longs.push_back(pick(16777216));
                break;
            default:
                longs.push_back(-pick(100000));
                break;
            }
        }
        // Texts, several of which need escapes (backslash, CR, LF, tab).
        const char* const samples[] = {"Front wall",
                                       "Roof\\ridge",
                                       "C:\\Drawings\\house.ovp",
                                       "Line one\r\nLine two",
                                       "Tab\tseparated",
                                       "Window 12",
                                       "",
                                       "Door = main",
                                       "A\\tB is not a tab",
                                       "Stair {rail}",
                                       "Chimney",
                                       "Note:\n\tsee level 2\\3"};
        const int sampleCount = static_cast<int>(sizeof samples / sizeof samples[0]);
        for (std::size_t i = 0; i < kPoolSize; ++i)
            texts.push_back(samples[pick(sampleCount)]);
    }
};

// Walks the pools in order; every build starting from a fresh cursor gives the same stream.
struct Cursor {
    const ValuePool& pool;
    std::size_t d = 0, l = 0, t = 0;
    double Double() { return pool.doubles[d++ % kPoolSize]; }
    std::int32_t Long() { return pool.longs[l++ % kPoolSize]; }
    const std::string& Text() { return pool.texts[t++ % kPoolSize]; }
};

void WritePoint(clsStream& record, Cursor& c) {
    record.SetDouble("x", c.Double());
    record.SetDouble("y", c.Double());
    record.SetDouble("z", c.Double());
}

// Builds the whole stream with the typed setters, as objects saving themselves would.
void BuildStream(clsStream& root, Shape shape, const ValuePool& pool) {
    Cursor c{pool};
    for (int r = 0; r < kRecords; ++r) {
        clsStream& o = root.CreateSubStream(pool.recordKeys[static_cast<std::size_t>(r)]);
        if (shape == Shape::Flat) {
            for (int i = 0; i < kFlatItems; ++i) {
                const std::string& key = pool.itemKeys[static_cast<std::size_t>(i)];
                switch (i % 10) {
                case 0:
                    o.SetString(key, c.Text());
                    break;
                case 1:
                case 2:
                case 3:
                    o.SetLong(key, c.Long());
                    break;
                default:
                    o.SetDouble(key, c.Double());
                    break;
                }
            }
            continue;
        }
        // 100 value items per object: 4 + 3 + 6 + 21 * 4 + 3.
        o.SetString("Name", c.Text());
        o.SetLong("Type", c.Long());
        o.SetBool("Visible", r % 7 != 0);
        o.SetLong("Layer", c.Long());
        clsStream& outline = o.CreateSubStream("Outline");
        outline.SetLong("Color", c.Long());
        outline.SetDouble("Width", c.Double());
        outline.SetLong("Style", c.Long());
        clsStream& geometry = o.CreateSubStream("Geometry");
        WritePoint(geometry.CreateSubStream("StartPoint"), c);
        WritePoint(geometry.CreateSubStream("EndPoint"), c);
        clsStream& vertices = o.CreateSubStream("Vertices");
        for (int i = 0; i < kVertices; ++i) {
            clsStream& v = vertices.CreateSubStream(pool.vertexKeys[static_cast<std::size_t>(i)]);
            WritePoint(v, c);
            v.SetDouble("Weight", c.Double());
        }
        o.SetString("Comment", c.Text());
        o.SetDouble("Scale", c.Double());
        o.SetLong("Flags", c.Long());
    }
}

double ReadPoint(const clsStream& record) {
    return record.GetDouble("x", false, 0, 0, 0) + record.GetDouble("y", false, 0, 0, 0) +
           record.GetDouble("z", false, 0, 0, 0);
}

// Reads every value of a stream made by BuildStream back with the typed getters, as objects
// loading themselves would, and returns a checksum of what it read.
double ReadStream(const clsStream& root, Shape shape, const ValuePool& pool) {
    double sum = 0;
    for (int r = 0; r < kRecords; ++r) {
        const clsStream& o = root.GetSubStream(pool.recordKeys[static_cast<std::size_t>(r)]);
        if (shape == Shape::Flat) {
            for (int i = 0; i < kFlatItems; ++i) {
                const std::string& key = pool.itemKeys[static_cast<std::size_t>(i)];
                switch (i % 10) {
                case 0:
                    sum += static_cast<double>(o.GetString(key, "").size());
                    break;
                case 1:
                case 2:
                case 3:
                    sum += o.GetLong(key, INT32_MIN, INT32_MAX, 0);
                    break;
                default:
                    sum += o.GetDouble(key, false, 0, 0, 0);
                    break;
                }
            }
            continue;
        }
        sum += static_cast<double>(o.GetString("Name", "").size());
        sum += o.GetLong("Type", 0, 100, 0);
        sum += o.GetBool("Visible", false) ? 1 : 0;
        sum += o.GetLong("Layer", INT32_MIN, INT32_MAX, 0);
        const clsStream& outline = o.GetSubStream("Outline");
        sum += outline.GetLong("Color", 0, 16777215, 0);
        sum += outline.GetDouble("Width", true, 0, 100, 1);
        sum += outline.GetLong("Style", INT32_MIN, INT32_MAX, 0);
        const clsStream& geometry = o.GetSubStream("Geometry");
        sum += ReadPoint(geometry.GetSubStream("StartPoint"));
        sum += ReadPoint(geometry.GetSubStream("EndPoint"));
        const clsStream& vertices = o.GetSubStream("Vertices");
        for (int i = 0; i < kVertices; ++i) {
            const clsStream& v =
                vertices.GetSubStream(pool.vertexKeys[static_cast<std::size_t>(i)]);
            sum += ReadPoint(v) + v.GetDouble("Weight", false, 0, 0, 1);
        }
        sum += static_cast<double>(o.GetString("Comment", "").size());
        sum += o.GetDouble("Scale", false, 0, 0, 1);
        sum += o.GetLong("Flags", INT32_MIN, INT32_MAX, 0);
    }
    return sum;
}

// Number of value items in the whole tree, without recursion.
std::int64_t CountValueItems(const clsStream& root) {
    std::int64_t count = 0;
    std::vector<const clsStream*> pending{&root};
    while (!pending.empty()) {
        const clsStream* s = pending.back();
        pending.pop_back();
        for (const clsStreamItem& item : s->Items) {
            if (item.ItemType == clsStreamItem::Value_)
                ++count;
            else if (item.ItemType == clsStreamItem::SubStream_ && item.SubStream)
                pending.push_back(item.SubStream.get());
        }
    }
    return count;
}

std::string WriteText(const clsStream& stream) {
    LineList lines;
    stream.WriteData(lines, 0);
    return lines.ToText();
}

// Everything the benchmarks of one shape start from.
struct StreamData {
    ValuePool pool;
    clsStream stream; // built with the setters
    std::string text; // its file text (CR LF line ends)
    LineList lines;   // the text split into lines
    std::int64_t valueItems = 0;
    std::size_t lineCount = 0;
    std::string error; // why the benchmarks of this shape cannot run

    explicit StreamData(Shape shape) {
        BuildStream(stream, shape, pool);
        text = WriteText(stream);
        lines = LineList::FromText(text);
        lineCount = lines.size();
        valueItems = CountValueItems(stream);
        // The measured work must be a faithful round trip of the test stream.
        LineList copy = lines;
        clsStream parsed;
        parsed.ParseData(copy);
        if (valueItems != kExpectedValueItems)
            error = "the test stream does not hold 1,000,000 value items";
        else if (!copy.empty())
            error = "parsing left lines unread";
        else if (CountValueItems(parsed) != valueItems)
            error = "parsing lost items";
        else if (WriteText(parsed) != text)
            error = "parsed stream does not write the same text";
    }
};

const StreamData& Data(Shape shape) {
    static std::unique_ptr<StreamData> data[2];
    auto& slot = data[shape == Shape::Objects ? 0 : 1];
    if (!slot) slot = std::make_unique<StreamData>(shape);
    return *slot;
}

// Reports value items per second (and lines per second) over the timed part of the run.
void ReportRates(benchmark::State& state, const StreamData& d) {
    state.counters["items/s"] = benchmark::Counter(static_cast<double>(d.valueItems),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(d.lineCount),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(d.text.size()) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

bool Ready(benchmark::State& state, const StreamData& d) {
    if (!d.error.empty()) state.SkipWithError(d.error.c_str());
    return d.error.empty();
}

// File text -> lines -> record tree.
void BM_StreamParseText(benchmark::State& state, Shape shape) {
    const StreamData& d = Data(shape);
    if (!Ready(state, d)) return;
    for (auto _ : state) {
        LineList lines = LineList::FromText(d.text);
        auto stream = std::make_unique<clsStream>();
        stream->ParseData(lines);
        benchmark::DoNotOptimize(stream->Items.data());
        state.PauseTiming();
        stream.reset();
        lines = LineList();
        state.ResumeTiming();
    }
    ReportRates(state, d);
}

// Lines -> record tree, on a fresh copy of the prepared line list each time.
void BM_StreamParseLines(benchmark::State& state, Shape shape) {
    const StreamData& d = Data(shape);
    if (!Ready(state, d)) return;
    for (auto _ : state) {
        state.PauseTiming();
        LineList lines = d.lines;
        auto stream = std::make_unique<clsStream>();
        state.ResumeTiming();
        stream->ParseData(lines);
        benchmark::DoNotOptimize(stream->Items.data());
        state.PauseTiming();
        stream.reset();
        lines = LineList();
        state.ResumeTiming();
    }
    ReportRates(state, d);
}

// The typed getters alone: reading every value back from the prepared record tree.
void BM_StreamRead(benchmark::State& state, Shape shape) {
    const StreamData& d = Data(shape);
    if (!Ready(state, d)) return;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadStream(d.stream, shape, d.pool));
    ReportRates(state, d);
}

// File text -> lines -> record tree (parser) -> values (getters): a complete load.
void BM_StreamParseTextRead(benchmark::State& state, Shape shape) {
    const StreamData& d = Data(shape);
    if (!Ready(state, d)) return;
    for (auto _ : state) {
        LineList lines = LineList::FromText(d.text);
        auto stream = std::make_unique<clsStream>();
        stream->ParseData(lines);
        benchmark::DoNotOptimize(ReadStream(*stream, shape, d.pool));
        state.PauseTiming();
        stream.reset();
        lines = LineList();
        state.ResumeTiming();
    }
    ReportRates(state, d);
}

// The typed setters alone: building the record tree from values.
void BM_StreamBuild(benchmark::State& state, Shape shape) {
    const StreamData& d = Data(shape);
    if (!Ready(state, d)) return;
    for (auto _ : state) {
        auto stream = std::make_unique<clsStream>();
        BuildStream(*stream, shape, d.pool);
        benchmark::DoNotOptimize(stream->Items.data());
        state.PauseTiming();
        stream.reset();
        state.ResumeTiming();
    }
    ReportRates(state, d);
}

// Values -> record tree (setters) -> lines -> file text: a complete save.
void BM_StreamBuildWriteText(benchmark::State& state, Shape shape) {
    const StreamData& d = Data(shape);
    if (!Ready(state, d)) return;
    for (auto _ : state) {
        auto stream = std::make_unique<clsStream>();
        BuildStream(*stream, shape, d.pool);
        LineList lines;
        stream->WriteData(lines, 0);
        std::string text = lines.ToText();
        benchmark::DoNotOptimize(text.data());
        state.PauseTiming();
        stream.reset();
        lines = LineList();
        text = std::string();
        state.ResumeTiming();
    }
    ReportRates(state, d);
}

// Prepared record tree -> lines.
void BM_StreamWriteData(benchmark::State& state, Shape shape) {
    const StreamData& d = Data(shape);
    if (!Ready(state, d)) return;
    for (auto _ : state) {
        LineList lines;
        d.stream.WriteData(lines, 0);
        benchmark::DoNotOptimize(lines.size());
        state.PauseTiming();
        lines = LineList();
        state.ResumeTiming();
    }
    ReportRates(state, d);
}

// Prepared record tree -> lines -> file text.
void BM_StreamWriteText(benchmark::State& state, Shape shape) {
    const StreamData& d = Data(shape);
    if (!Ready(state, d)) return;
    for (auto _ : state) {
        LineList lines;
        d.stream.WriteData(lines, 0);
        std::string text = lines.ToText();
        benchmark::DoNotOptimize(text.data());
        state.PauseTiming();
        lines = LineList();
        text = std::string();
        state.ResumeTiming();
    }
    ReportRates(state, d);
}

void Register(const char* name, void (*fn)(benchmark::State&, Shape)) {
    for (const Shape shape : {Shape::Objects, Shape::Flat}) {
        const std::string full = std::string(name) + "/" + ShapeName(shape);
        benchmark::RegisterBenchmark(full.c_str(), fn, shape)->Unit(benchmark::kMillisecond);
    }
}

const bool registered = [] {
    Register("StreamParseText", BM_StreamParseText);
    Register("StreamParseLines", BM_StreamParseLines);
    Register("StreamRead", BM_StreamRead);
    Register("StreamParseTextRead", BM_StreamParseTextRead);
    Register("StreamBuild", BM_StreamBuild);
    Register("StreamBuildWriteText", BM_StreamBuildWriteText);
    Register("StreamWriteData", BM_StreamWriteData);
    Register("StreamWriteText", BM_StreamWriteText);
    return true;
}();

} // namespace
