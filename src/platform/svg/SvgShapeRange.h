#pragma once
// A collection of shapes of one document. Grouping moves them into a new group.

#include "platform/DrawApp.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace ov {

class SvgDocument;
class SvgShape;

class SvgShapeRange : public draw::ShapeRange {
public:
    explicit SvgShapeRange(std::shared_ptr<SvgDocument> document)
        : document_(std::move(document)) {}

    // Ignores null, shapes of other documents or implementations, and shapes already held.
    void Add(const std::shared_ptr<draw::Shape>& shape) override;
    int Count() const override;
    // Null outside 1..Count.
    std::shared_ptr<draw::Shape> Item(int index) const override;
    // Takes the shapes out of wherever they are (the layer or other groups) and puts them,
    // in their drawing order, into a new group that takes the place of the lowest of them.
    // The range itself is left as it was. An empty range gives null and changes nothing.
    std::shared_ptr<draw::Shape> Group() override;

private:
    std::shared_ptr<SvgDocument> document_;
    std::vector<std::shared_ptr<SvgShape>> shapes_;
    // The shapes of shapes_ for Add's check, filled the first time it is needed (see Add).
    std::unordered_set<const SvgShape*> held_;
    bool heldFilled_ = false;
};

} // namespace ov
