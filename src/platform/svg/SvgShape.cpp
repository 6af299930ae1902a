#include "platform/svg/SvgShape.h"

#include "platform/svg/SvgDocument.h"
#include "platform/svg/SvgText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

namespace ov {

using svgtext::Number;

namespace {

// The drawing program's outline style indices this builder tells apart.
constexpr int kStyleSolid = 0;
constexpr int kStyleDotted = 2;
constexpr int kStyleDashed = 12;

} // namespace

// Collects the document text in a buffer and hands it on in large blocks: a drawing of a
// million lines is some thirty million small pieces of text.
class SvgShape::Sink {
public:
    explicit Sink(std::string& out) : out_(out) {}
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;
    ~Sink() { Flush(); }

    void Put(char c) {
        if (used_ == sizeof buffer_) Flush();
        buffer_[used_++] = c;
    }
    void Put(std::string_view text) {
        if (text.size() > sizeof buffer_ - used_) {
            Flush();
            if (text.size() > sizeof buffer_) {
                out_ += text;
                return;
            }
        }
        std::memcpy(buffer_ + used_, text.data(), text.size());
        used_ += text.size();
    }
    void PutNumber(double value) {
        if (sizeof buffer_ - used_ < svgtext::kNumberRoom) Flush();
        used_ = static_cast<std::size_t>(svgtext::WriteNumber(buffer_ + used_, value) - buffer_);
    }
    void Indent(int depth) {
        for (int i = 0; i < depth; ++i)
            Put("  ");
    }
    void Attribute(const char* name, std::string_view value) {
        Put(' ');
        Put(name);
        Put("=\"");
        Put(value);
        Put('"');
    }
    void NumberAttribute(const char* name, double value) {
        Put(' ');
        Put(name);
        Put("=\"");
        PutNumber(value);
        Put('"');
    }
    void Flush() {
        out_.append(buffer_, used_);
        used_ = 0;
    }

private:
    std::string& out_;
    char buffer_[16384];
    std::size_t used_ = 0;
};

SvgShape::SvgShape(Kind kind, std::weak_ptr<SvgDocument> document, double x1, double y1, double x2,
                   double y2)
    : kind_(kind), document_(std::move(document)), x1_(x1), y1_(y1), x2_(x2), y2_(y2) {}

SvgShape::~SvgShape() {
    // Children that live on (held by a caller) must not point back at this container.
    for (const auto& child : Children())
        child->parent_ = nullptr;
}

SvgShape::Extra& SvgShape::GetExtra() {
    if (!extra_) extra_ = std::make_unique<Extra>();
    return *extra_;
}

const std::vector<std::shared_ptr<SvgShape>>& SvgShape::Children() const {
    static const std::vector<std::shared_ptr<SvgShape>> none;
    return extra_ ? extra_->children : none;
}

void SvgShape::ReserveChildren(std::size_t n) {
    GetExtra().children.reserve(n);
}

void SvgShape::SetOutlineProperties(double widthInches,
                                    const std::optional<draw::OutlineStyle>& style,
                                    const draw::Color& color) {
    if (IsContainer()) {
        for (const auto& child : Children())
            child->SetOutlineProperties(widthInches, style, color);
        return;
    }
    strokeNone_ = false;
    stroke_ = color;
    // "not >=" also sends NaN to the hairline.
    strokeWidth_ = !(widthInches >= kHairline) || std::isinf(widthInches) ? kHairline : widthInches;
    dash_ = Dash::Solid;
    if (style) {
        switch (style->Index) {
        case kStyleDashed:
            dash_ = Dash::Dashed;
            break;
        case kStyleDotted:
            dash_ = Dash::Dotted;
            break;
        case kStyleSolid:
        default:
            dash_ = Dash::Solid;
            break;
        }
    }
}

void SvgShape::SetOutlineNone() {
    if (IsContainer()) {
        for (const auto& child : Children())
            child->SetOutlineNone();
        return;
    }
    strokeNone_ = true;
}

void SvgShape::SetFillColor(const draw::Color& color) {
    if (IsContainer()) {
        for (const auto& child : Children())
            child->SetFillColor(color);
        return;
    }
    fill_ = color;
}

void SvgShape::SetName(const std::string& name) {
    if (kind_ == Kind::Layer) return;
    const auto document = document_.lock();
    if (document && extra_ && !extra_->id.empty()) document->ReleaseId(extra_->id);
    if (name.empty() && !IsContainer() && !HasPathData()) {
        extra_.reset();
        return;
    }
    Extra& extra = GetExtra();
    extra.name = name;
    extra.id.clear();
    if (!name.empty()) {
        const std::string base = svgtext::IdBase(name);
        extra.id = document ? document->ReserveId(base) : base;
    }
}

void SvgShape::SetSubPaths(const draw::SubPaths& subpaths) {
    Extra& extra = GetExtra();
    extra.points.clear();
    extra.runEnds.clear();
    std::size_t runStart = 0;
    const auto endRun = [&] {
        const std::size_t end = extra.points.size() / 2;
        if (end - runStart >= 2) extra.runEnds.push_back(end);
        else extra.points.resize(runStart * 2); // a lone point draws nothing
        runStart = extra.points.size() / 2;
    };
    for (const auto& run : subpaths) {
        for (const draw::Point& p : run) {
            if (!std::isfinite(p.X) || !std::isfinite(p.Y)) {
                endRun();
                continue;
            }
            extra.points.push_back(p.X);
            extra.points.push_back(p.Y);
        }
        endRun();
    }
}

std::string SvgShape::GetName() const {
    return extra_ ? extra_->name : std::string();
}

const std::string& SvgShape::Id() const {
    static const std::string none;
    return extra_ ? extra_->id : none;
}

void SvgShape::CreateSelection() {
    // The container holds the shape; only a shape of a document that is gone has none.
    if (kind_ == Kind::Layer || parent_ == nullptr) return;
    if (const auto document = document_.lock())
        document->Select(parent_->Children()[index_]);
}

bool SvgShape::BelongsTo(const SvgDocument* document) const {
    const auto mine = document_.lock();
    return mine && mine.get() == document;
}

std::size_t SvgShape::CountShapes() const {
    std::size_t count = 1;
    for (const auto& child : Children())
        count += child->CountShapes();
    return count;
}

std::size_t SvgShape::InsertChild(std::size_t index, const std::shared_ptr<SvgShape>& child) {
    auto& children = GetExtra().children;
    index = std::min(index, children.size());
    children.insert(children.begin() + static_cast<std::ptrdiff_t>(index), child);
    child->parent_ = this;
    for (std::size_t i = index; i < children.size(); ++i)
        children[i]->index_ = i;
    return children.size() - index;
}

std::size_t SvgShape::RemoveMarkedChildren(std::size_t from) {
    if (!extra_) return 0;
    auto& children = extra_->children;
    from = std::min(from, children.size());
    const std::size_t visited = children.size() - from;
    // The kept children close up in place; the marked ones are let go (whoever moves them
    // holds them).
    std::size_t kept = from;
    for (std::size_t i = from; i < children.size(); ++i) {
        std::shared_ptr<SvgShape>& child = children[i];
        if (child->markedForMove) {
            child->markedForMove = false;
            child->parent_ = nullptr;
            child.reset();
        } else {
            child->index_ = kept;
            if (kept != i) children[kept] = std::move(child);
            ++kept;
        }
    }
    children.resize(kept);
    return visited;
}

void SvgShape::WriteStyle(Sink& out) const {
    if (fill_)
        out.Attribute("fill", svgtext::HexColor(*fill_));
    else
        out.Attribute("fill", "none");
    if (strokeNone_) {
        out.Attribute("stroke", "none");
        return;
    }
    out.Attribute("stroke", svgtext::HexColor(stroke_));
    out.NumberAttribute("stroke-width", strokeWidth_);
    // Dash and gap lengths grow with the width but never shrink below a length that still
    // reads as a dash or a dot on paper.
    if (dash_ == Dash::Dashed) {
        const double dash = std::max(6 * strokeWidth_, 0.06),
                     gap = std::max(3 * strokeWidth_, 0.03);
        out.Attribute("stroke-dasharray", Number(dash) + ',' + Number(gap));
    } else if (dash_ == Dash::Dotted) {
        const double dot = std::max(strokeWidth_, 0.01), gap = std::max(2 * strokeWidth_, 0.02);
        out.Attribute("stroke-dasharray", Number(dot) + ',' + Number(gap));
    }
}

void SvgShape::WritePathData(Sink& out, double pageHeight) const {
    const std::vector<double>& p = extra_->points;
    std::size_t start = 0;
    out.Put(" d=\"");
    for (const std::size_t end : extra_->runEnds) {
        // A run that comes back to its first point is closed, so that its ends join.
        const bool closed = end - start > 2 && p[2 * start] == p[2 * end - 2] && p[2 * start + 1] == p[2 * end - 1];
        const std::size_t last = closed ? end - 1 : end;
        for (std::size_t i = start; i < last; ++i) {
            out.Put(i == start ? (start == 0 ? "M" : " M") : i == start + 1 ? " L" : " ");
            out.PutNumber(p[2 * i]);
            out.Put(' ');
            out.PutNumber(pageHeight - p[2 * i + 1]);
        }
        if (closed) out.Put(" Z");
        start = end;
    }
    out.Put('"');
}

void SvgShape::Write(std::string& out, double pageHeight, int depth) const {
    Sink sink(out);
    WriteTo(sink, pageHeight, depth);
}

void SvgShape::WriteTo(Sink& out, double pageHeight, int depth) const {
    // A shape whose coordinates are not numbers cannot be drawn; leave it out rather than
    // write a document that no reader accepts.
    if (!IsContainer() &&
        (!std::isfinite(x1_) || !std::isfinite(y1_) || !std::isfinite(x2_) || !std::isfinite(y2_)))
        return;
    if (kind_ == Kind::Path && !HasPathData()) return;
    out.Indent(depth);
    if (IsContainer()) {
        out.Put("<g");
        if (kind_ == Kind::Layer) {
            out.Attribute("id", SvgDocument::kLayerId);
            out.Attribute("inkscape:groupmode", "layer");
            out.Attribute("inkscape:label", SvgDocument::kLayerLabel);
        } else if (extra_ && !extra_->id.empty()) {
            out.Attribute("id", extra_->id);
            out.Attribute("inkscape:label", svgtext::EscapeAttribute(extra_->name));
        }
        const auto& children = Children();
        if (children.empty()) {
            out.Put("/>\n");
            return;
        }
        out.Put(">\n");
        for (const auto& child : children)
            child->WriteTo(out, pageHeight, depth + 1);
        out.Indent(depth);
        out.Put("</g>\n");
        return;
    }

    const char* element = kind_ == Kind::Line      ? "line"
                          : kind_ == Kind::Ellipse ? "ellipse"
                          : kind_ == Kind::Path    ? "path"
                                                   : "rect";
    out.Put('<');
    out.Put(element);
    if (extra_ && !extra_->id.empty()) {
        out.Attribute("id", extra_->id);
        out.Attribute("inkscape:label", svgtext::EscapeAttribute(extra_->name));
    }
    switch (kind_) {
    case Kind::Line:
        out.NumberAttribute("x1", x1_);
        out.NumberAttribute("y1", pageHeight - y1_);
        out.NumberAttribute("x2", x2_);
        out.NumberAttribute("y2", pageHeight - y2_);
        break;
    case Kind::Path:
        WritePathData(out, pageHeight);
        break;
    case Kind::Ellipse:
        out.NumberAttribute("cx", (x1_ + x2_) / 2);
        out.NumberAttribute("cy", pageHeight - (y1_ + y2_) / 2);
        out.NumberAttribute("rx", std::abs(x2_ - x1_) / 2);
        out.NumberAttribute("ry", std::abs(y2_ - y1_) / 2);
        break;
    default:
        out.NumberAttribute("x", std::min(x1_, x2_));
        out.NumberAttribute("y", pageHeight - std::max(y1_, y2_));
        out.NumberAttribute("width", std::abs(x2_ - x1_));
        out.NumberAttribute("height", std::abs(y2_ - y1_));
        break;
    }
    WriteStyle(out);
    out.Put("/>\n");
}

} // namespace ov
