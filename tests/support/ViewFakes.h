#pragma once
// Recording stand-ins for the metafile device and the drawing program, and small helpers.

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "geometry/clsRect.h"
#include "platform/DrawApp.h"
#include "platform/MetafileDC.h"

namespace ov::test {

inline clsRect Rect(double l, double b, double r, double t) {
    clsRect rect;
    rect.SetValues(l, b, r, t);
    return rect;
}

// Records each call as its name and integer arguments.
class RecordingMetafile : public MetafileDC {
public:
    std::vector<std::pair<std::string, std::vector<int>>> calls;
    void Add(const char* op, std::vector<int> args) { calls.emplace_back(op, std::move(args)); }
    void SelectPen(int style, int width, std::uint32_t color) override { Add("pen", {style, width, int(color)}); }
    void SelectNullBrush() override { Add("nullbrush", {}); }
    void SelectSolidBrush(std::uint32_t color) override { Add("brush", {int(color)}); }
    void MoveTo(int x, int y) override { Add("move", {x, y}); }
    void LineTo(int x, int y) override { Add("line", {x, y}); }
    // One call per stroke: the run lengths, then the points.
    void Polylines(const std::vector<int>& xy, const std::vector<std::size_t>& runs) override {
        std::vector<int> args(runs.begin(), runs.end());
        args.insert(args.end(), xy.begin(), xy.end());
        Add("polylines", std::move(args));
    }
    void Ellipse(int l, int t, int r, int b) override { Add("ellipse", {l, t, r, b}); }
    void Rectangle(int l, int t, int r, int b) override { Add("rect", {l, t, r, b}); }
    void SelectFont(const std::string&, int height, int escapement, int weight, bool, bool, bool, int) override {
        Add("font", {height, escapement, weight});
    }
    void SetTextColor(std::uint32_t color) override { Add("textcolor", {int(color)}); }
    void SetTransparentBackground() override { Add("transparent", {}); }
    void TextOut(int x, int y, const std::string&) override { Add("text", {x, y}); }
    bool Close(std::string&) override { return true; }
    std::vector<std::vector<int>> Only(const std::string& op) const {
        std::vector<std::vector<int>> r;
        for (const auto& [name, args] : calls)
            if (name == op) r.push_back(args);
        return r;
    }
};

// A drawing program that keeps what was created, named, grouped and selected.
class FakeDrawShape : public draw::Shape {
public:
    std::string kind, name;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, outlineWidth = -1;
    int outlineStyle = -1, outlineBlue = -1; // style -1: the default
    std::vector<std::shared_ptr<draw::Shape>> members; // of a group
    bool selected = false, filled = false, outlineNone = false;
    void SetOutlineProperties(double w, const std::optional<draw::OutlineStyle>& s, const draw::Color& c) override {
        outlineWidth = w, outlineStyle = s ? s->Index : -1, outlineBlue = c.Blue;
    }
    void SetOutlineNone() override { outlineNone = true; }
    void SetFillColor(const draw::Color&) override { filled = true; }
    void SetName(const std::string& n) override { name = n; }
    std::string GetName() const override { return name; }
    void CreateSelection() override { selected = true; }
    std::vector<double> Coords() const { return {x1, y1, x2, y2}; }
    FakeDrawShape& Member(std::size_t i) const { return static_cast<FakeDrawShape&>(*members.at(i)); }
};

class FakeShapeRange : public draw::ShapeRange {
public:
    std::vector<std::shared_ptr<draw::Shape>> shapes;
    void Add(const std::shared_ptr<draw::Shape>& s) override { shapes.push_back(s); }
    int Count() const override { return static_cast<int>(shapes.size()); }
    std::shared_ptr<draw::Shape> Item(int i) const override { return shapes.at(static_cast<std::size_t>(i - 1)); }
    FakeDrawShape& At(int i) const { return static_cast<FakeDrawShape&>(*Item(i)); }
    std::shared_ptr<draw::Shape> Group() override {
        auto g = std::make_shared<FakeDrawShape>();
        g->kind = "group";
        g->members = shapes;
        return g;
    }
};

class FakeLayer : public draw::Layer {
public:
    std::vector<std::shared_ptr<FakeDrawShape>> created;
    std::shared_ptr<draw::Shape> Make(const char* kind, std::vector<double> c) {
        auto s = created.emplace_back(std::make_shared<FakeDrawShape>());
        s->kind = kind;
        std::tie(s->x1, s->y1, s->x2, s->y2) = std::tie(c[0], c[1], c[2], c[3]);
        return s;
    }
    std::shared_ptr<draw::Shape> CreateLineSegment(double a, double b, double c, double d) override {
        return Make("line", {a, b, c, d});
    }
    std::shared_ptr<draw::Shape> CreateEllipse(double a, double b, double c, double d) override {
        return Make("ellipse", {a, b, c, d});
    }
    std::shared_ptr<draw::Shape> CreateRectangle(double a, double b, double c, double d) override {
        return Make("rect", {a, b, c, d});
    }
};

class FakeDocument : public draw::Document {
public:
    std::shared_ptr<FakeLayer> layer = std::make_shared<FakeLayer>();
    std::shared_ptr<draw::Layer> ActiveLayer() override { return layer; }
};

class FakeDrawApp : public draw::Application {
public:
    std::shared_ptr<FakeDocument> document = std::make_shared<FakeDocument>();
    std::vector<std::shared_ptr<FakeShapeRange>> ranges;
    bool failRanges = false;
    std::shared_ptr<draw::Document> ActiveDocument() override { return document; }
    std::shared_ptr<draw::ShapeRange> CreateShapeRange() override {
        if (failRanges) throw std::runtime_error("no ranges");
        return ranges.emplace_back(std::make_shared<FakeShapeRange>());
    }
};

} // namespace ov::test
