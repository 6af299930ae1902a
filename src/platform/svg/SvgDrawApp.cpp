#include "platform/svg/SvgDrawApp.h"

#include "io/TextFile.h"
#include "platform/svg/SvgDocument.h"
#include "platform/svg/SvgShape.h"
#include "platform/svg/SvgShapeRange.h"

namespace ov {

SvgDrawApp::SvgDrawApp() : document_(SvgDocument::Create()) {}

SvgDrawApp::~SvgDrawApp() = default;

std::shared_ptr<draw::Document> SvgDrawApp::ActiveDocument() {
    return document_;
}

std::shared_ptr<draw::Document> SvgDrawApp::CreateDocument() {
    document_ = SvgDocument::Create();
    return document_;
}

std::shared_ptr<draw::ShapeRange> SvgDrawApp::CreateShapeRange() {
    return std::make_shared<SvgShapeRange>(document_);
}

bool SvgDrawApp::SetPageSize(double widthInches, double heightInches) {
    return document_->SetPageSize(widthInches, heightInches);
}

double SvgDrawApp::PageWidth() const {
    return document_->PageWidth();
}

double SvgDrawApp::PageHeight() const {
    return document_->PageHeight();
}

std::string SvgDrawApp::ToSvgText() const {
    return document_->ToSvgText();
}

bool SvgDrawApp::Save(const std::string& path, std::string& error) const {
    if (path.empty()) {
        error = "No file name given";
        return false;
    }
    return WriteTextFileAtomically(path, ToSvgText(), error);
}

std::vector<std::shared_ptr<draw::Shape>> SvgDrawApp::Selection() const {
    const auto& selection = document_->Selection();
    return {selection.begin(), selection.end()};
}

std::string SvgDrawApp::IdOf(const draw::Shape& shape) const {
    const auto* svgShape = dynamic_cast<const SvgShape*>(&shape);
    if (!svgShape || !svgShape->BelongsTo(document_.get())) return {};
    return svgShape->Id();
}

} // namespace ov
