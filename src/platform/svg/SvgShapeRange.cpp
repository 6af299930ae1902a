#include "platform/svg/SvgShapeRange.h"

#include "platform/svg/SvgDocument.h"
#include "platform/svg/SvgShape.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace ov {

namespace {

// Child positions from the layer down to the shape: comparing two of them orders shapes as
// they are drawn, a group before everything inside it.
std::vector<std::size_t> PathOf(const SvgShape* shape) {
    std::vector<std::size_t> path;
    for (const SvgShape* node = shape; node->Parent() != nullptr; node = node->Parent())
        path.push_back(node->IndexInParent());
    std::reverse(path.begin(), path.end());
    return path;
}

} // namespace

void SvgShapeRange::Add(const std::shared_ptr<draw::Shape>& shape) {
    auto svgShape = std::dynamic_pointer_cast<SvgShape>(shape);
    if (!svgShape || !svgShape->BelongsTo(document_.get())) return;
    if (svgShape->GetKind() == SvgShape::Kind::Layer) return;
    document_->AddSteps(1);
    if (!held_.insert(svgShape.get()).second) return;
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
    std::vector<std::pair<std::vector<std::size_t>, std::shared_ptr<SvgShape>>> ordered;
    ordered.reserve(shapes_.size());
    for (const auto& shape : shapes_) {
        ordered.emplace_back(PathOf(shape.get()), shape);
        steps += ordered.back().first.size();
    }
    // Shapes are mostly collected in the order they were drawn, and then need no sorting.
    const auto drawnBefore = [&steps](const auto& a, const auto& b) {
        ++steps;
        return a.first < b.first;
    };
    if (!std::is_sorted(ordered.begin(), ordered.end(), drawnBefore))
        std::sort(ordered.begin(), ordered.end(), drawnBefore);

    // The lowest shape comes before any shape inside it, so its container lies outside every
    // shape being moved and can take the group.
    SvgShape* lowest = ordered.front().second.get();
    SvgShape* container = lowest->Parent();
    auto group = std::make_shared<SvgShape>(SvgShape::Kind::Group, document_);
    steps += container->InsertChild(lowest->IndexInParent(), group);

    // Each container gives up its marked children from the lowest of them on; in drawing
    // order that is the first one met (positions as they are after the group went in).
    std::map<SvgShape*, std::size_t> containers;
    for (const auto& entry : ordered) {
        entry.second->markedForMove = true;
        containers.emplace(entry.second->Parent(), entry.second->IndexInParent());
        ++steps;
    }
    for (const auto& [c, from] : containers)
        steps += c->RemoveMarkedChildren(from);
    for (const auto& entry : ordered)
        steps += group->AppendChild(entry.second);
    document_->AddSteps(steps);
    return group;
}

} // namespace ov
