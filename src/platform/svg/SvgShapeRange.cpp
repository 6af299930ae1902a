#include "platform/svg/SvgShapeRange.h"

#include "platform/svg/SvgDocument.h"
#include "platform/svg/SvgShape.h"

#include <algorithm>
#include <set>

namespace ov {

namespace {

// Child indices from the layer down to the shape: comparing two of them orders shapes as
// they are drawn, a group before everything inside it. New shapes sit at the end of their
// containers, so the search runs from the back.
std::vector<std::size_t> PathOf(const SvgShape* shape) {
    std::vector<std::size_t> path;
    for (const SvgShape* node = shape; node->Parent() != nullptr; node = node->Parent()) {
        const auto& siblings = node->Parent()->Children();
        const auto it =
            std::find_if(siblings.rbegin(), siblings.rend(),
                         [&](const std::shared_ptr<SvgShape>& s) { return s.get() == node; });
        path.push_back(static_cast<std::size_t>(siblings.rend() - it - 1));
    }
    std::reverse(path.begin(), path.end());
    return path;
}

} // namespace

void SvgShapeRange::Add(const std::shared_ptr<draw::Shape>& shape) {
    auto svgShape = std::dynamic_pointer_cast<SvgShape>(shape);
    if (!svgShape || !svgShape->BelongsTo(document_.get())) return;
    if (svgShape->GetKind() == SvgShape::Kind::Layer) return;
    if (std::find(shapes_.begin(), shapes_.end(), svgShape) != shapes_.end()) return;
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

    std::vector<std::pair<std::vector<std::size_t>, std::shared_ptr<SvgShape>>> ordered;
    ordered.reserve(shapes_.size());
    for (const auto& shape : shapes_)
        ordered.emplace_back(PathOf(shape.get()), shape);
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    // The lowest shape comes before any shape inside it, so its container lies outside every
    // shape being moved and can take the group.
    SvgShape* lowest = ordered.front().second.get();
    SvgShape* container = lowest->Parent();
    auto group = std::make_shared<SvgShape>(SvgShape::Kind::Group, document_);
    container->InsertChild(ordered.front().first.back(), group);

    std::set<SvgShape*> containers;
    for (const auto& entry : ordered) {
        entry.second->markedForMove = true;
        containers.insert(entry.second->Parent());
    }
    for (SvgShape* c : containers)
        c->RemoveMarkedChildren();
    for (const auto& entry : ordered)
        group->AppendChild(entry.second);
    return group;
}

} // namespace ov
