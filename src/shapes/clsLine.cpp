#include "shapes/clsLine.h"

#include "io/clsStream.h"
#include "view/Canvas.h"
#include "view/clsView.h"

namespace ov {

std::unique_ptr<IShape> clsLine::Clone() const {
    auto copy = std::make_unique<clsLine>();
    copy->Assign(*this);
    return copy;
}

void clsLine::ReadData(const clsStream& record) { Segment->ReadData(record); }

void clsLine::WriteData(clsStream& record) const { Segment->WriteData(record); }

bool clsLine::HitTestNode(clsView& view, const clsRect& rect, std::vector<clsVertexHit>* hits, bool stopAtFirst) {
    bool found = false;
    std::int16_t counter = 0;
    for (const clsPoint3D* point : {&Segment->StartPoint, &Segment->EndPoint}) {
        if (!hits && found) {
            // Nothing more to learn: the answer is already yes.
            if (stopAtFirst) break;
            ++counter;
            continue;
        }
        double x = 0, y = 0;
        view.ConvertPointToScreen(*point, x, y);
        if (rect.IsInside(x, y)) {
            if (hits) hits->push_back({this, counter, !found});
            found = true;
        }
        if (found && stopAtFirst) break;
        ++counter;
    }
    return found;
}

void clsLine::DrawPreview(clsView& view) {
    Canvas* canvas = view.GetCanvas();
    if (!canvas) return;
    const Canvas::DrawMode savedMode = canvas->Mode;
    const QColor savedColor = canvas->ForeColor;
    canvas->Mode = Canvas::DrawMode::Xor;
    canvas->ForeColor = QColor(255, 255, 0);
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    view.ConvertPointToScreen(Segment->StartPoint, x1, y1);
    view.ConvertPointToScreen(Segment->EndPoint, x2, y2);
    canvas->Line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2), static_cast<float>(y2));
    canvas->Mode = savedMode;
    canvas->ForeColor = savedColor;
}

void clsLine::UpdateVertex(clsView& view, std::int16_t index, double x, double y, bool flag) {
    if (index == 0) view.UpdatePointFromScreen(Segment->StartPoint, x, y, flag);
    else if (index == 1) view.UpdatePointFromScreen(Segment->EndPoint, x, y, flag);
}

} // namespace ov
