#pragma once
// One element of an SVG document under construction: a line, an ellipse, a rectangle, a
// path of straight pieces or a group, and the layer that holds them all. Nodes form a tree: a container owns its
// children, in drawing order (the first child is painted first, so it lies lowest), and each
// child knows its container through a plain pointer.

#include "platform/DrawApp.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ov {

class SvgDocument;

class SvgShape : public draw::Shape {
public:
    enum class Kind : std::uint8_t { Layer, Group, Line, Ellipse, Rectangle, Path };
    enum class Dash : std::uint8_t { Solid, Dashed, Dotted };

    // The thinnest outline written: narrower widths, zero included, become this one so that
    // every outline stays visible (inches).
    static constexpr double kHairline = 0.003;

    // Geometry in page units with y pointing up; for ellipses and rectangles two opposite
    // corners of the bounding box, for a line its end points. Unused for containers.
    SvgShape(Kind kind, std::weak_ptr<SvgDocument> document, double x1 = 0, double y1 = 0,
             double x2 = 0, double y2 = 0);
    ~SvgShape() override;

    // On a group these apply to every shape inside it, as a drawing program does.
    void SetOutlineProperties(double widthInches, const std::optional<draw::OutlineStyle>& style,
                              const draw::Color& color) override;
    void SetOutlineNone() override;
    void SetFillColor(const draw::Color& color) override;
    // Gives the element an XML id made from the name (unique within the document) and
    // the name itself as its label. An empty name removes both.
    void SetName(const std::string& name) override;
    std::string GetName() const override;
    // Makes this shape the document's only selected shape.
    void CreateSelection() override;

    // The subpaths of a path shape (page units, y up); points that are not finite numbers
    // cannot be written and split their subpath there.
    void SetSubPaths(const draw::SubPaths& subpaths);

    Kind GetKind() const { return kind_; }
    const std::string& Id() const;
    SvgShape* Parent() const { return parent_; }
    // The position among the container's children (0 for the first); meaningless without a
    // container.
    std::size_t IndexInParent() const { return index_; }
    const std::vector<std::shared_ptr<SvgShape>>& Children() const;
    bool IsContainer() const { return kind_ == Kind::Layer || kind_ == Kind::Group; }
    bool BelongsTo(const SvgDocument* document) const;
    // This shape and every shape inside it.
    std::size_t CountShapes() const;

    // Tree editing for the document and its shape ranges. The child must not have a parent.
    // Both return the number of children they moved or visited, the measure of their work:
    // appending moves one child, inserting moves the ones after it as well.
    std::size_t InsertChild(std::size_t index, const std::shared_ptr<SvgShape>& child);
    std::size_t AppendChild(const std::shared_ptr<SvgShape>& child) {
        return InsertChild(static_cast<std::size_t>(-1), child); // the index is cut to the end
    }
    // Takes every marked child out of this container and clears the marks. Children before
    // position from must not be marked; they are not looked at, so that taking the last few
    // shapes out of a large container costs only those few.
    std::size_t RemoveMarkedChildren(std::size_t from = 0);
    // Room for n children in all, for a container about to take many.
    void ReserveChildren(std::size_t n);
    // (Declared here, where they fill the room before the first member that is not a byte.)
    bool markedForMove = false; // set while a shape range gathers its shapes into a group
    bool collected = false;     // set once a shape range holds this shape

    // Appends this element (and for a group its children) as SVG text. pageHeight flips y
    // (the SVG's y points down); depth sets the indentation.
    void Write(std::string& out, double pageHeight, int depth) const;

private:
    class Sink;
    void WriteTo(Sink& out, double pageHeight, int depth) const;
    void WriteStyle(Sink& out) const;
    void WritePathData(Sink& out, double pageHeight) const;
    bool HasPathData() const { return extra_ && !extra_->runEnds.empty(); }

    // A drawing may hold millions of shapes, almost all of them unnamed leaves: the members
    // are ordered so that little room is lost to alignment, and names and children are kept
    // apart, in a part that only containers and named shapes have.
    Kind kind_;
    Dash dash_ = Dash::Solid;
    bool strokeNone_ = false;
    draw::Color stroke_{};
    std::optional<draw::Color> fill_;
    std::weak_ptr<SvgDocument> document_;
    double x1_, y1_, x2_, y2_;
    double strokeWidth_ = kHairline;

    SvgShape* parent_ = nullptr;
    std::size_t index_ = 0; // position in parent_'s children, kept up to date by the editing

    struct Extra {
        std::string name; // empty while the shape has no name
        std::string id;
        std::vector<std::shared_ptr<SvgShape>> children;
        // A path's points as x, y pairs, and where each subpath ends in them (in points).
        std::vector<double> points;
        std::vector<std::size_t> runEnds;
    };
    std::unique_ptr<Extra> extra_;
    Extra& GetExtra();
};

} // namespace ov
