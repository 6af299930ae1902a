// The SVG builder at scale: its work grows in proportion to the drawing (an export of a curve
// of a million segments must not search the layer once per segment), measured by the
// document's step count instead of a clock; and the bookkeeping that makes it so (positions
// of children, the next free id of a name) stays exact through long random edits.

#include "platform/svg/SvgDocument.h"
#include "platform/svg/SvgDrawApp.h"
#include "platform/svg/SvgText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <locale>
#include <map>
#include <random>
#include <set>

namespace {

using ov::SvgDocument;
using ov::SvgDrawApp;
using ov::SvgShape;
using ov::draw::Shape;

std::shared_ptr<SvgDocument> DocumentOf(SvgDrawApp& app) {
    return std::dynamic_pointer_cast<SvgDocument>(app.ActiveDocument());
}

// n segments with an outline, collected in a range and grouped: one curve as the export
// draws it. The group goes into outer, as the export hands it to the range of the level above.
std::shared_ptr<Shape> Curve(SvgDrawApp& app, ov::draw::ShapeRange& outer, int n, const std::string& name) {
    auto layer = app.ActiveDocument()->ActiveLayer();
    auto range = app.CreateShapeRange();
    for (int i = 0; i < n; ++i) {
        auto segment = layer->CreateLineSegment(i, 0, i + 1, 1);
        segment->SetOutlineProperties(0.01, std::nullopt, {0, 0, 255});
        range->Add(segment);
    }
    auto group = range->Group();
    group->SetName(name);
    outer.Add(group);
    return group;
}

struct Scenario {
    const char* name;
    std::function<void(SvgDrawApp&, int)> build;
    double maxGrowth; // steps(2n) / steps(n): 2 for linear work, a little more where shapes are sorted
};

TEST(SvgScaleTest, WorkGrowsInProportionToTheDrawing) {
    const Scenario scenarios[] = {
        {"one curve of n segments after a grid",
         [](SvgDrawApp& app, int n) {
             auto top = app.CreateShapeRange();
             Curve(app, *top, n / 2, "Grid");
             Curve(app, *top, n, "Curve");
         },
         2.1},
        {"n curves of one name, then all of them grouped",
         [](SvgDrawApp& app, int n) {
             auto top = app.CreateShapeRange();
             for (int i = 0; i < n; ++i) Curve(app, *top, 3, "Wall");
             top->Group()->SetName("Walls");
         },
         2.1},
        {"n shapes of one name, each renamed away and replaced",
         [](SvgDrawApp& app, int n) {
             auto layer = app.ActiveDocument()->ActiveLayer();
             std::vector<std::shared_ptr<Shape>> shapes;
             for (int i = 0; i < n; ++i) {
                 shapes.push_back(layer->CreateEllipse(0, 0, 1, 1));
                 shapes.back()->SetName("Post");
             }
             // Each new shape takes the id just given up, below all the others.
             for (int i = 0; i < n; ++i) {
                 shapes[static_cast<std::size_t>(i)]->SetName("Rail");
                 layer->CreateRectangle(0, 0, 1, 1)->SetName("Post");
             }
         },
         2.1},
        {"n levels of nested groups",
         [](SvgDrawApp& app, int n) {
             auto top = app.CreateShapeRange();
             auto inner = Curve(app, *top, 2, "Level");
             for (int i = 1; i < n; ++i) {
                 auto range = app.CreateShapeRange();
                 range->Add(inner);
                 Curve(app, *range, 2, "Part");
                 inner = range->Group();
                 inner->SetName("Level");
             }
         },
         2.1},
        {"n segments gathered in reverse drawing order",
         [](SvgDrawApp& app, int n) {
             auto layer = app.ActiveDocument()->ActiveLayer();
             std::vector<std::shared_ptr<Shape>> segments;
             for (int i = 0; i < n; ++i) segments.push_back(layer->CreateLineSegment(i, 0, i, 1));
             auto range = app.CreateShapeRange();
             for (auto it = segments.rbegin(); it != segments.rend(); ++it) range->Add(*it);
             range->Group();
         },
         2.3},
    };
    const int n = 3000;
    for (const auto& scenario : scenarios) {
        double steps[2] = {};
        for (int k = 0; k < 2; ++k) {
            SvgDrawApp app;
            scenario.build(app, n << k);
            steps[k] = static_cast<double>(DocumentOf(app)->Steps());
        }
        EXPECT_GE(steps[0], n) << scenario.name; // every shape costs something: the count is live
        EXPECT_LE(steps[1], scenario.maxGrowth * steps[0]) << scenario.name << ": " << steps[0] << " -> " << steps[1];
    }
}

// Random edits as the export and a script make them: new shapes, groups of any shapes (groups
// and shapes inside them included), names from a small pool that collide on purpose.
TEST(SvgScaleTest, PositionsAndIdsStayExactThroughRandomEdits) {
    SvgDrawApp app;
    auto document = DocumentOf(app);
    auto layer = app.ActiveDocument()->ActiveLayer();
    std::mt19937 random(14);
    const auto pick = [&](std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size - 1)(random); };
    // "A-2" and "A-2-2" take suffixes of other names; "A-02" and "A-x" only look like it.
    const std::vector<std::string> names = {"A", "A", "A", "A-2", "A-3", "A-2-2", "A-02", "A-x", "B", ""};

    std::vector<std::shared_ptr<Shape>> shapes;
    // The id rule itself: the name's id base if free, else the base with the lowest free
    // suffix from 2 on.
    std::set<std::string> used = {SvgDocument::kLayerId, SvgDocument::kNamedViewId};
    std::map<const Shape*, std::string> expectedId;
    const auto rename = [&](const std::shared_ptr<Shape>& shape, const std::string& name) {
        used.erase(expectedId[shape.get()]);
        std::string id;
        if (!name.empty()) {
            const std::string base = ov::svgtext::IdBase(name);
            id = base;
            for (int n = 2; used.count(id) != 0; ++n) id = base + "-" + std::to_string(n);
            used.insert(id);
        }
        expectedId[shape.get()] = id;
        shape->SetName(name);
    };

    for (int step = 0; step < 3000; ++step) {
        const std::size_t action = shapes.size() < 4 ? 0 : pick(3);
        if (action == 0) {
            shapes.push_back(layer->CreateLineSegment(0, 0, 1, 1));
        } else if (action == 1) {
            auto range = app.CreateShapeRange();
            for (std::size_t k = 1 + pick(4); k > 0; --k) range->Add(shapes[pick(shapes.size())]);
            shapes.push_back(range->Group());
        } else {
            rename(shapes[pick(shapes.size())], names[pick(names.size())]);
            continue;
        }
        rename(shapes.back(), names[pick(names.size())]);

        // Every shape sits once in the tree, where its container and position say it is.
        std::size_t seen = 0;
        std::function<void(const SvgShape&)> walk = [&](const SvgShape& container) {
            for (std::size_t i = 0; i < container.Children().size(); ++i) {
                const SvgShape& child = *container.Children()[i];
                ASSERT_EQ(child.Parent(), &container) << "step " << step;
                ASSERT_EQ(child.IndexInParent(), i) << "step " << step;
                ASSERT_FALSE(child.markedForMove) << "step " << step;
                ++seen;
                walk(child);
            }
        };
        walk(*document->Root());
        ASSERT_EQ(seen, shapes.size()) << "step " << step;
        for (const auto& shape : shapes) ASSERT_EQ(app.IdOf(*shape), expectedId[shape.get()]) << "step " << step;
    }
}

// A decimal comma and digit grouping, as a German user's locale would have them.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// The writer formats a million numbers for a curve of a million segments with integer
// arithmetic of its own; it must give exactly the text of the library's correctly rounded
// six-decimal formatting, ties to even included, whatever the locale.
TEST(SvgScaleTest, FastNumbersWriteWhatSixDecimalFormattingWrites) {
    const auto reference = [](double value) {
        if (!std::isfinite(value)) return std::string("0");
        char buffer[400];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
        std::string text(buffer, result.ptr);
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
        return text == "-0" ? std::string("0") : text;
    };
    std::vector<double> values = {0.0, -0.0, 1e-7, -1e-7, -4e-7, 5e-7, 0.0000005, 0.0078125, -0.0078125, 1.0000005,
                                  2, -1.25, 2.0 / 3, 1234567.25, 11.692913385826772, std::ldexp(1.0, 52) - 0.5,
                                  std::ldexp(1.0, 52), 1.8e13, 1.9e13, -1.9e13, std::ldexp(1.0, -61),
                                  std::ldexp(1.0, -62), 5e-324, 1e300, std::nan(""), -HUGE_VAL};
    // Halfway cases: odd multiples of 2^-7 lie exactly halfway between two millionths.
    for (int odd = 1; odd < 20001; odd += 2) {
        values.push_back(std::ldexp(odd, -7));
        values.push_back(-std::ldexp(odd, -7) - 1024);
    }
    std::mt19937_64 random(6);
    std::uniform_real_distribution<double> page(-20, 20), wide(-1e7, 1e7);
    for (int i = 0; i < 100000; ++i) {
        values.push_back(page(random));
        values.push_back(wide(random));
        values.push_back(std::round(page(random) * 1e6) / 1e6); // six decimals as written before
        std::uint64_t bits = random();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        values.push_back(any);
        // Random mantissas over the exponents where the integer arithmetic is used and around its limits.
        values.push_back(std::ldexp(1 + static_cast<double>(bits >> 12) * 0x1p-52, static_cast<int>(bits % 120) - 70));
    }
    int wrong = 0;
    const std::locale old = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    for (const double value : values) {
        const std::string expected = reference(value), got = ov::svgtext::Number(value);
        if (got != expected && ++wrong <= 10) ADD_FAILURE() << std::hexfloat << value << ": " << got << " != " << expected;
    }
    std::locale::global(old);
    EXPECT_EQ(wrong, 0) << "of " << values.size();
}

} // namespace
