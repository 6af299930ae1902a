#pragma once
// Recording stand-ins for the metafile device and the drawing program.

#include <memory>
#include <string>
#include <vector>

#include "platform/DrawApp.h"
#include "platform/MetafileDC.h"

namespace ov::test {

struct MetafileCall {
    std::string op;
    std::vector<int> args;
    std::string text;
};

class RecordingMetafile : public MetafileDC {
public:
    std::vector<MetafileCall> calls;
    void SelectPen(int style, int width, std::uint32_t color) override {
        calls.push_back({"pen", {style, width, static_cast<int>(color)}, {}});
    }
    void SelectNullBrush() override { calls.push_back({"nullbrush", {}, {}}); }
    void SelectSolidBrush(std::uint32_t color) override { calls.push_back({"brush", {static_cast<int>(color)}, {}}); }
    void MoveTo(int x, int y) override { calls.push_back({"move", {x, y}, {}}); }
    void LineTo(int x, int y) override { calls.push_back({"line", {x, y}, {}}); }
    void Ellipse(int l, int t, int r, int b) override { calls.push_back({"ellipse", {l, t, r, b}, {}}); }
    void Rectangle(int l, int t, int r, int b) override { calls.push_back({"rect", {l, t, r, b}, {}}); }
    void SelectFont(const std::string& face, int height, int escapement, int weight, bool, bool, bool, int) override {
        calls.push_back({"font", {height, escapement, weight}, face});
    }
    void SetTextColor(std::uint32_t color) override { calls.push_back({"textcolor", {static_cast<int>(color)}, {}}); }
    void SetTransparentBackground() override { calls.push_back({"transparent", {}, {}}); }
    void TextOut(int x, int y, const std::string& text) override { calls.push_back({"text", {x, y}, text}); }
    bool Close(std::string&) override { return true; }

    std::vector<MetafileCall> Only(const std::string& op) const {
        std::vector<MetafileCall> r;
        for (const auto& c : calls)
            if (c.op == op) r.push_back(c);
        return r;
    }
};

// A drawing program that keeps a log of what was created, named, grouped and selected.
class FakeDrawShape : public draw::Shape {
public:
    std::string kind;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string name;
    std::vector<std::shared_ptr<draw::Shape>> members; // for groups
    bool selected = false, outlineNone = false, filled = false;
    double outlineWidth = -1;
    void SetOutlineProperties(double w, const std::optional<draw::OutlineStyle>&, const draw::Color&) override {
        outlineWidth = w;
    }
    void SetOutlineNone() override { outlineNone = true; }
    void SetFillColor(const draw::Color&) override { filled = true; }
    void SetName(const std::string& n) override { name = n; }
    std::string GetName() const override { return name; }
    void CreateSelection() override { selected = true; }
};

class FakeShapeRange : public draw::ShapeRange {
public:
    std::vector<std::shared_ptr<draw::Shape>> shapes;
    void Add(const std::shared_ptr<draw::Shape>& s) override { shapes.push_back(s); }
    int Count() const override { return static_cast<int>(shapes.size()); }
    std::shared_ptr<draw::Shape> Item(int i) const override { return shapes.at(static_cast<std::size_t>(i - 1)); }
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
    std::shared_ptr<draw::Shape> Make(const char* kind, double x1, double y1, double x2, double y2) {
        auto s = std::make_shared<FakeDrawShape>();
        s->kind = kind;
        s->x1 = x1;
        s->y1 = y1;
        s->x2 = x2;
        s->y2 = y2;
        created.push_back(s);
        return s;
    }
    std::shared_ptr<draw::Shape> CreateLineSegment(double a, double b, double c, double d) override {
        return Make("line", a, b, c, d);
    }
    std::shared_ptr<draw::Shape> CreateEllipse(double a, double b, double c, double d) override {
        return Make("ellipse", a, b, c, d);
    }
    std::shared_ptr<draw::Shape> CreateRectangle(double a, double b, double c, double d) override {
        return Make("rect", a, b, c, d);
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
        ranges.push_back(std::make_shared<FakeShapeRange>());
        return ranges.back();
    }
};

} // namespace ov::test
