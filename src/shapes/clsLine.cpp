#include "shapes/clsLine.h"

#include "io/clsStream.h"
#include "shapes/VertexHits.h"
#include "shapes/XorPreview.h"
#include "paint/clsView.h"

namespace ov {

std::unique_ptr<IShape> clsLine::Clone() const {
    auto copy = std::make_unique<clsLine>();
    copy->Assign(*this);
    return copy;
}

void clsLine::ReadData(const clsStream& record) { Segment->ReadData(record); }

void clsLine::WriteData(clsStream& record) const { Segment->WriteData(record); }

bool clsLine::HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) {
    return HitTestVertices(this, {{0, Segment->StartPoint}, {1, Segment->EndPoint}}, view, rect, hits, stopAtFirst);
}

void clsLine::DrawPreview(clsView& view) { XorPreview(view).Line(Segment->StartPoint, Segment->EndPoint); }

void clsLine::UpdateVertex(clsView& view, std::int16_t index, double x, double y, bool flag) {
    if (index == 0) view.UpdatePointFromScreen(Segment->StartPoint, x, y, flag);
    else if (index == 1) view.UpdatePointFromScreen(Segment->EndPoint, x, y, flag);
}

} // namespace ov
