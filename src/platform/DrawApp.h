#pragma once
// The external vector drawing program, reduced to the members the program calls on it:
// an application with an active document and layer, shapes created on the layer, shape
// ranges that collect shapes and group them, outline and fill properties and names.
//
// Coordinates are in the drawing program's page units with y pointing up; the caller
// chooses the unit (the export uses inches).
//
// A failing call raises an exception derived from std::exception whose what() is the
// program's description of the error. Members an implementation does not support raise
// NotSupported, as an automation object answers a member it does not have.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ov::draw {

class NotSupported : public std::runtime_error {
public:
    explicit NotSupported(const std::string& member)
        : std::runtime_error("Object doesn't support this property or method: " + member) {}
};

struct Point {
    double X = 0, Y = 0;
};

// The pieces of one curve: each subpath is a run of points joined by straight segments.
using SubPaths = std::vector<std::vector<Point>>;

struct Color {
    int Red = 0, Green = 0, Blue = 0;
};

// One of the program's predefined outline styles, by index.
struct OutlineStyle {
    int Index = 0;
};

class Shape {
public:
    virtual ~Shape() = default;
    // Outline.SetProperties(width, style, color, ...): a visible outline of the given width
    // (inches); no style object means the program's default style.
    virtual void SetOutlineProperties(double widthInches, const std::optional<OutlineStyle>& style,
                                      const Color& color) = 0;
    // Outline.Type = 0: no outline.
    virtual void SetOutlineNone() = 0;
    // Fill.UniformColor.RGBAssign(r, g, b).
    virtual void SetFillColor(const Color& color) = 0;
    virtual void SetName(const std::string& name) = 0;
    virtual std::string GetName() const = 0;
    virtual void CreateSelection() = 0;
};

class ShapeRange {
public:
    virtual ~ShapeRange() = default;
    virtual void Add(const std::shared_ptr<Shape>& shape) = 0;
    virtual int Count() const = 0;
    // 1-based, as the program counts.
    virtual std::shared_ptr<Shape> Item(int index) const = 0;
    // Groups the range's shapes into one new shape (the group).
    virtual std::shared_ptr<Shape> Group() = 0;
};

class Layer {
public:
    virtual ~Layer() = default;
    virtual std::shared_ptr<Shape> CreateLineSegment(double x1, double y1, double x2, double y2) = 0;
    virtual std::shared_ptr<Shape> CreateEllipse(double x1, double y1, double x2, double y2) = 0;
    virtual std::shared_ptr<Shape> CreateRectangle(double x1, double y1, double x2, double y2) = 0;
    // One curve object of straight pieces, with a subpath for each run (CreateCurve with a
    // curve built of subpaths and line segments). Programs without it raise NotSupported,
    // and the caller then builds the curve from line segments.
    virtual std::shared_ptr<Shape> CreateCurve(const SubPaths&) { throw NotSupported("CreateCurve"); }
};

// A page of a document; its size is in the caller's page units.
class Page {
public:
    virtual ~Page() = default;
    virtual void SetSize(double width, double height) = 0;
};

class Document {
public:
    virtual ~Document() = default;
    virtual std::shared_ptr<Layer> ActiveLayer() = 0;
    virtual std::shared_ptr<Page> ActivePage() { throw NotSupported("ActivePage"); }
};

class Application {
public:
    virtual ~Application() = default;
    virtual std::shared_ptr<Document> ActiveDocument() = 0;
    // Visible = true: shows the program's window.
    virtual void SetVisible(bool) { throw NotSupported("Visible"); }
    // A new, empty document, which becomes the active one.
    virtual std::shared_ptr<Document> CreateDocument() { throw NotSupported("CreateDocument"); }
    // A new, empty shape range; may fail (null).
    virtual std::shared_ptr<ShapeRange> CreateShapeRange() = 0;
    virtual Color CreateRGBColor(int red, int green, int blue) { return {red, green, blue}; }
    virtual OutlineStyle OutlineStyles(int index) { return {index}; }
};

} // namespace ov::draw
