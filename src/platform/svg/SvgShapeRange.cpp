#include "platform/svg/SvgShapeRange.h"

#include "platform/svg/SvgDocument.h"
#include "platform/svg/SvgShape.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace ov {

namespace {

// Child positions from the layer down to the shape: comparing two of them orders shapes as
// they are drawn, a group before everything inside it.
void PathOf(const SvgShape* shape, std::vector<std::size_t>& path) {
    path.clear();
    for (const SvgShape* node = shape; node->Parent() != nullptr; node = node->Parent())
        path.push_back(node->IndexInParent());
    std::reverse(path.begin(), path.end());
}

// The places of the shapes in drawing order, by their paths, all kept in one array.
std::vector<std::size_t> DrawingOrder(const std::vector<std::shared_ptr<SvgShape>>& shapes,
                                      std::uint64_t& steps) {
    std::vector<std::size_t> positions, path;
    std::vector<std::size_t> begin; // shape i's path is positions[begin[i], begin[i + 1])
    begin.reserve(shapes.size() + 1);
    for (const auto& shape : shapes) {
        begin.push_back(positions.size());
        PathOf(shape.get(), path);
        positions.insert(positions.end(), path.begin(), path.end());
        steps += path.size();
    }
    begin.push_back(positions.size());
    const auto at = [&positions](std::size_t i) {
        return positions.begin() + static_cast<std::ptrdiff_t>(i);
    };
    std::vector<std::size_t> order(shapes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        ++steps;
        return std::lexicographical_compare(at(begin[a]), at(begin[a + 1]), at(begin[b]),
                                             at(begin[b + 1]));
    });
    return order;
}

} // namespace

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
    // The shapes in drawing order: order[k] is the place in shapes_ of the k-th. Shapes are
    // mostly collected in the order they were drawn, and then need neither sorting nor the
    // list (order stays empty).
    std::vector<std::size_t> order;
    {
        std::vector<std::size_t> previous, path;
        PathOf(shapes_.front().get(), previous);
        steps += previous.size();
        for (std::size_t i = 1; i < shapes_.size(); ++i, previous.swap(path)) {
            PathOf(shapes_[i].get(), path);
            steps += path.size();
            if (path < previous) {
                order = DrawingOrder(shapes_, steps);
                break;
            }
        }
    }
    const auto shapeAt = [&](std::size_t k) -> const std::shared_ptr<SvgShape>& {
        return shapes_[order.empty() ? k : order[k]];
    };

    // The lowest shape comes before any shape inside it, so its container lies outside every
    // shape being moved and can take the group.
    SvgShape* lowest = shapeAt(0).get();
    SvgShape* container = lowest->Parent();
    auto group = std::make_shared<SvgShape>(SvgShape::Kind::Group, document_);
    steps += container->InsertChild(lowest->IndexInParent(), group);

    // Each container gives up its marked children from the lowest of them on; in drawing
    // order that is the first one met (positions as they are after the group went in).
    std::map<SvgShape*, std::size_t> containers;
    for (std::size_t k = 0; k < shapes_.size(); ++k) {
        SvgShape* shape = shapeAt(k).get();
        shape->markedForMove = true;
        containers.try_emplace(shape->Parent(), shape->IndexInParent());
        ++steps;
    }
    for (const auto& [c, from] : containers)
        steps += c->RemoveMarkedChildren(from);
    group->ReserveChildren(shapes_.size());
    for (std::size_t k = 0; k < shapes_.size(); ++k)
        steps += group->AppendChild(shapeAt(k));
    document_->AddSteps(steps);
    return group;
}

} // namespace ov
