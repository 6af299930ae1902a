#include "platform/svg/SvgShapeRange.h"

#include "platform/svg/SvgDocument.h"
#include "platform/svg/SvgShape.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace ov {

void SvgShapeRange::Add(const std::shared_ptr<draw::Shape>& shape) {
    auto svgShape = std::dynamic_pointer_cast<SvgShape>(shape);
    if (!svgShape || !svgShape->BelongsTo(document_.get())) return;
    if (svgShape->GetKind() == SvgShape::Kind::Layer) return;
    document_->AddSteps(1);
    // A shape that no range has held cannot be in this one, so a shape just drawn needs no
    // look-up. The first shape that has been in a range before fills the set of held shapes.
    if (svgShape->collected && !heldFilled_) {
        held_.reserve(shapes_.size() + 1);
        for (const auto& held : shapes_)
            held_.insert(held.get());
        document_->AddSteps(shapes_.size());
        heldFilled_ = true;
    }
    if (heldFilled_ && !held_.insert(svgShape.get()).second) return;
    svgShape->collected = true;
    shapes_.push_back(std::move(svgShape));
}

int SvgShapeRange::Count() const {
    return static_cast<int>(shapes_.size());
}

std::shared_ptr<draw::Shape> SvgShapeRange::Item(int index) const {
    if (index < 1 || index > Count()) return nullptr;
    return shapes_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<draw::Shape> SvgShapeRange::Group() {
    if (shapes_.empty()) return nullptr;

    std::uint64_t steps = 0;
    // Each shape's path, the child positions from the layer down to it, all in one array:
    // comparing two paths orders shapes as they are drawn, a group before everything inside it.
    struct Entry {
        std::size_t shape, begin, end; // shapes_[shape]; its path is positions[begin, end)
    };
    std::vector<std::size_t> positions;
    std::vector<Entry> ordered;
    positions.reserve(shapes_.size());
    ordered.reserve(shapes_.size());
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        const std::size_t begin = positions.size();
        for (const SvgShape* node = shapes_[i].get(); node->Parent() != nullptr; node = node->Parent())
            positions.push_back(node->IndexInParent());
        std::reverse(positions.begin() + static_cast<std::ptrdiff_t>(begin), positions.end());
        ordered.push_back({i, begin, positions.size()});
        steps += positions.size() - begin;
    }
    const auto at = [&positions](std::size_t i) { return positions.begin() + static_cast<std::ptrdiff_t>(i); };
    const auto drawnBefore = [&](const Entry& a, const Entry& b) {
        ++steps;
        return std::lexicographical_compare(at(a.begin), at(a.end), at(b.begin), at(b.end));
    };
    // Shapes are mostly collected in the order they were drawn, and then need no sorting.
    if (!std::is_sorted(ordered.begin(), ordered.end(), drawnBefore))
        std::sort(ordered.begin(), ordered.end(), drawnBefore);

    // The lowest shape comes before any shape inside it, so its container lies outside every
    // shape being moved and can take the group.
    SvgShape* lowest = shapes_[ordered.front().shape].get();
    SvgShape* container = lowest->Parent();
    auto group = std::make_shared<SvgShape>(SvgShape::Kind::Group, document_);
    steps += container->InsertChild(lowest->IndexInParent(), group);

    // Each container gives up its marked children from the lowest of them on; in drawing
    // order that is the first one met (positions as they are after the group went in).
    std::map<SvgShape*, std::size_t> containers;
    for (const Entry& entry : ordered) {
        SvgShape* shape = shapes_[entry.shape].get();
        shape->markedForMove = true;
        containers.emplace(shape->Parent(), shape->IndexInParent());
        ++steps;
    }
    for (const auto& [c, from] : containers)
        steps += c->RemoveMarkedChildren(from);
    group->ReserveChildren(ordered.size());
    for (const Entry& entry : ordered)
        steps += group->AppendChild(shapes_[entry.shape]);
    document_->AddSteps(steps);
    return group;
}

} // namespace ov
