#include "platform/svg/SvgDocument.h"

#include "platform/svg/SvgText.h"

#include <cmath>
#include <stdexcept>

namespace ov {

std::shared_ptr<SvgDocument> SvgDocument::Create() {
    std::shared_ptr<SvgDocument> document(new SvgDocument());
    document->root_ = std::make_shared<SvgShape>(SvgShape::Kind::Layer, document);
    document->ids_ = {kLayerId, kNamedViewId};
    return document;
}

std::shared_ptr<draw::Layer> SvgDocument::ActiveLayer() {
    auto layer = layer_.lock();
    if (!layer) {
        layer = std::make_shared<SvgLayer>(shared_from_this());
        layer_ = layer;
    }
    return layer;
}

std::shared_ptr<draw::Page> SvgDocument::ActivePage() {
    return std::make_shared<SvgPage>(shared_from_this());
}

void SvgPage::SetSize(double width, double height) {
    if (!document_->SetPageSize(width, height))
        throw std::invalid_argument("Invalid page size " + svgtext::Number(width) + " x " +
                                    svgtext::Number(height));
}

bool SvgDocument::SetPageSize(double widthInches, double heightInches) {
    const auto valid = [](double v) { return std::isfinite(v) && v > 0; };
    if (!valid(widthInches) || !valid(heightInches)) return false;
    pageWidth_ = widthInches;
    pageHeight_ = heightInches;
    return true;
}

std::shared_ptr<SvgShape> SvgDocument::AddShape(SvgShape::Kind kind, double x1, double y1,
                                                double x2, double y2) {
    auto shape = std::make_shared<SvgShape>(kind, weak_from_this(), x1, y1, x2, y2);
    steps_ += root_->AppendChild(shape);
    return shape;
}

std::string SvgDocument::ReserveId(const std::string& base) {
    ++steps_;
    if (ids_.insert(base).second) return base;
    Suffixes& suffixes = suffixes_[base];
    const auto take = [&](int n) {
        ++steps_;
        std::string id = base + '-' + std::to_string(n);
        return ids_.insert(id).second ? id : std::string();
    };
    // The lowest freed suffix that is still free, or else the first free one from next on.
    while (!suffixes.freed.empty()) {
        const int n = *suffixes.freed.begin();
        suffixes.freed.erase(suffixes.freed.begin());
        std::string id = take(n);
        if (!id.empty()) return id;
    }
    for (;;) {
        std::string id = take(suffixes.next++);
        if (!id.empty()) return id;
    }
}

void SvgDocument::ReleaseId(const std::string& id) {
    if (id == kLayerId || id == kNamedViewId || ids_.erase(id) == 0) return;
    // An id "base-N" frees suffix N of that base. ReserveId writes N in plain decimals from
    // 2 on: no sign, no leading zero.
    const std::size_t dash = id.rfind('-');
    if (dash == std::string::npos) return;
    const std::string digits = id.substr(dash + 1);
    if (digits.empty() || digits.size() > 10 || digits[0] == '0' ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return;
    const long long n = std::stoll(digits);
    const auto it = suffixes_.find(id.substr(0, dash));
    if (it != suffixes_.end() && n >= 2 && n < it->second.next)
        it->second.freed.insert(static_cast<int>(n));
}

void SvgDocument::Select(const std::shared_ptr<SvgShape>& shape) {
    selection_ = {shape};
}

std::string SvgDocument::ToSvgText() const {
    using svgtext::Number;
    const std::string w = Number(pageWidth_), h = Number(pageHeight_);
    std::string out;
    // Room for the usual length of an element (a line with its style takes about 130
    // bytes), so that the text of a million shapes is not copied again and again as it grows.
    // Room that is never written costs no memory.
    out.reserve(1024 + 192 * root_->CountShapes());
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\"\n"
           "     xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"\n"
           "     xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\"\n";
    out += "     version=\"1.1\" width=\"" + w + "in\" height=\"" + h + "in\" viewBox=\"0 0 " + w +
           ' ' + h + "\">\n";
    out += "  <sodipodi:namedview id=\"" + std::string(kNamedViewId) +
           "\" pagecolor=\"#ffffff\" bordercolor=\"#666666\" inkscape:document-units=\"in\"/>\n";
    root_->Write(out, pageHeight_, 1);
    out += "</svg>\n";
    return out;
}

std::shared_ptr<draw::Shape> SvgLayer::CreateLineSegment(double x1, double y1, double x2,
                                                         double y2) {
    return document_->AddShape(SvgShape::Kind::Line, x1, y1, x2, y2);
}

std::shared_ptr<draw::Shape> SvgLayer::CreateEllipse(double x1, double y1, double x2, double y2) {
    return document_->AddShape(SvgShape::Kind::Ellipse, x1, y1, x2, y2);
}

std::shared_ptr<draw::Shape> SvgLayer::CreateRectangle(double x1, double y1, double x2, double y2) {
    return document_->AddShape(SvgShape::Kind::Rectangle, x1, y1, x2, y2);
}

std::shared_ptr<draw::Shape> SvgLayer::CreateCurve(const draw::SubPaths& subpaths) {
    auto shape = document_->AddShape(SvgShape::Kind::Path, 0, 0, 0, 0);
    shape->SetSubPaths(subpaths);
    return shape;
}

} // namespace ov
