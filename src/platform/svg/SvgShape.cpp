#include "platform/svg/SvgShape.h"

#include "platform/svg/SvgDocument.h"
#include "platform/svg/SvgText.h"

#include <algorithm>
#include <cmath>

namespace ov {

using svgtext::Number;

namespace {

// The drawing program's outline style indices this builder tells apart.
constexpr int kStyleSolid = 0;
constexpr int kStyleDotted = 2;
constexpr int kStyleDashed = 12;

void Indent(std::string& out, int depth) {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
}

void Attribute(std::string& out, const char* name, const std::string& value) {
    out += ' ';
    out += name;
    out += "=\"";
    out += value;
    out += '"';
}

} // namespace

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
    if (name.empty() && !IsContainer()) {
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

void SvgShape::WriteStyle(std::string& out) const {
    Attribute(out, "fill", fill_ ? svgtext::HexColor(*fill_) : "none");
    if (strokeNone_) {
        Attribute(out, "stroke", "none");
        return;
    }
    Attribute(out, "stroke", svgtext::HexColor(stroke_));
    Attribute(out, "stroke-width", Number(strokeWidth_));
    // Dash and gap lengths grow with the width but never shrink below a length that still
    // reads as a dash or a dot on paper.
    if (dash_ == Dash::Dashed) {
        const double dash = std::max(6 * strokeWidth_, 0.06),
                     gap = std::max(3 * strokeWidth_, 0.03);
        Attribute(out, "stroke-dasharray", Number(dash) + ',' + Number(gap));
    } else if (dash_ == Dash::Dotted) {
        const double dot = std::max(strokeWidth_, 0.01), gap = std::max(2 * strokeWidth_, 0.02);
        Attribute(out, "stroke-dasharray", Number(dot) + ',' + Number(gap));
    }
}

void SvgShape::Write(std::string& out, double pageHeight, int depth) const {
    // A shape whose coordinates are not numbers cannot be drawn; leave it out rather than
    // write a document that no reader accepts.
    if (!IsContainer() &&
        (!std::isfinite(x1_) || !std::isfinite(y1_) || !std::isfinite(x2_) || !std::isfinite(y2_)))
        return;
    Indent(out, depth);
    if (IsContainer()) {
        out += "<g";
        if (kind_ == Kind::Layer) {
            Attribute(out, "id", SvgDocument::kLayerId);
            Attribute(out, "inkscape:groupmode", "layer");
            Attribute(out, "inkscape:label", SvgDocument::kLayerLabel);
        } else if (extra_ && !extra_->id.empty()) {
            Attribute(out, "id", extra_->id);
            Attribute(out, "inkscape:label", svgtext::EscapeAttribute(extra_->name));
        }
        const auto& children = Children();
        if (children.empty()) {
            out += "/>\n";
            return;
        }
        out += ">\n";
        for (const auto& child : children)
            child->Write(out, pageHeight, depth + 1);
        Indent(out, depth);
        out += "</g>\n";
        return;
    }

    const char* element = kind_ == Kind::Line      ? "line"
                          : kind_ == Kind::Ellipse ? "ellipse"
                                                   : "rect";
    out += '<';
    out += element;
    if (extra_ && !extra_->id.empty()) {
        Attribute(out, "id", extra_->id);
        Attribute(out, "inkscape:label", svgtext::EscapeAttribute(extra_->name));
    }
    switch (kind_) {
    case Kind::Line:
        Attribute(out, "x1", Number(x1_));
        Attribute(out, "y1", Number(pageHeight - y1_));
        Attribute(out, "x2", Number(x2_));
        Attribute(out, "y2", Number(pageHeight - y2_));
        break;
    case Kind::Ellipse:
        Attribute(out, "cx", Number((x1_ + x2_) / 2));
        Attribute(out, "cy", Number(pageHeight - (y1_ + y2_) / 2));
        Attribute(out, "rx", Number(std::abs(x2_ - x1_) / 2));
        Attribute(out, "ry", Number(std::abs(y2_ - y1_) / 2));
        break;
    default:
        Attribute(out, "x", Number(std::min(x1_, x2_)));
        Attribute(out, "y", Number(pageHeight - std::max(y1_, y2_)));
        Attribute(out, "width", Number(std::abs(x2_ - x1_)));
        Attribute(out, "height", Number(std::abs(y2_ - y1_)));
        break;
    }
    WriteStyle(out);
    out += "/>\n";
}

} // namespace ov
