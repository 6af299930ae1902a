#pragma once
// The SVG document under construction: the page, the one layer that receives every new
// shape, the XML ids in use and the current selection. SvgLayer is the handle through
// which shapes are created on that layer.

#include "platform/DrawApp.h"
#include "platform/svg/SvgShape.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace ov {

class SvgDocument : public draw::Document, public std::enable_shared_from_this<SvgDocument> {
public:
    static constexpr const char* kLayerId = "layer1";
    static constexpr const char* kLayerLabel = "Layer 1";
    static constexpr const char* kNamedViewId = "namedview1";

    // A new, empty document on a Letter page (8.5 x 11 inches).
    static std::shared_ptr<SvgDocument> Create();

    std::shared_ptr<draw::Layer> ActiveLayer() override;
    std::shared_ptr<draw::Page> ActivePage() override;

    // Page size in inches. Sizes that are not positive finite numbers are refused.
    bool SetPageSize(double widthInches, double heightInches);
    double PageWidth() const { return pageWidth_; }
    double PageHeight() const { return pageHeight_; }

    // A new leaf shape on top of the layer (corners in page units, y up).
    std::shared_ptr<SvgShape> AddShape(SvgShape::Kind kind, double x1, double y1, double x2,
                                       double y2);
    const std::shared_ptr<SvgShape>& Root() const { return root_; }

    // Returns base, or base followed by "-2", "-3", ... (the first free one) if base is
    // taken, and marks it taken.
    std::string ReserveId(const std::string& base);
    void ReleaseId(const std::string& id);

    // The work the document has done so far in building its tree: children moved or visited,
    // shapes looked up in shape ranges, ids tried. Building a document of n shapes must cost
    // a number of steps in proportion to n (n log n where shapes are sorted), never n
    // squared; the tests hold it to that.
    std::uint64_t Steps() const { return steps_; }
    void AddSteps(std::uint64_t steps) { steps_ += steps; }

    void Select(const std::shared_ptr<SvgShape>& shape);
    const std::vector<std::shared_ptr<SvgShape>>& Selection() const { return selection_; }

    std::string ToSvgText() const;

private:
    SvgDocument() = default;

    double pageWidth_ = 8.5;
    double pageHeight_ = 11;
    std::shared_ptr<SvgShape> root_;
    std::weak_ptr<draw::Layer> layer_;
    std::set<std::string> ids_;
    // For each base that ReserveId found taken, where its search for a free "base-N" goes
    // on, so that the thousandth shape of one name does not try the 999 ids before its own
    // again: every N from 2 up to next is taken or listed in freed (ReleaseId lists the
    // ones it frees; some may have been taken again since, under a name of their own).
    struct Suffixes {
        int next = 2;
        std::set<int> freed;
    };
    std::map<std::string, Suffixes> suffixes_;
    std::uint64_t steps_ = 0;
    std::vector<std::shared_ptr<SvgShape>> selection_;
};

// The active layer. It keeps its document alive, as the drawing program's objects do.
class SvgLayer : public draw::Layer {
public:
    explicit SvgLayer(std::shared_ptr<SvgDocument> document) : document_(std::move(document)) {}
    std::shared_ptr<draw::Shape> CreateLineSegment(double x1, double y1, double x2,
                                                   double y2) override;
    std::shared_ptr<draw::Shape> CreateEllipse(double x1, double y1, double x2, double y2) override;
    std::shared_ptr<draw::Shape> CreateRectangle(double x1, double y1, double x2,
                                                 double y2) override;
    std::shared_ptr<draw::Shape> CreateCurve(const draw::SubPaths& subpaths) override;

private:
    std::shared_ptr<SvgDocument> document_;
};

// The document's one page. Its size is the SVG page in inches; a size SetPageSize refuses
// raises std::invalid_argument, as the drawing program raises an error for it.
class SvgPage : public draw::Page {
public:
    explicit SvgPage(std::shared_ptr<SvgDocument> document) : document_(std::move(document)) {}
    void SetSize(double width, double height) override;

private:
    std::shared_ptr<SvgDocument> document_;
};

} // namespace ov
