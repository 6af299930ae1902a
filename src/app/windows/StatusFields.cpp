#include "app/windows/StatusFields.h"

#include <QLabel>
#include <QHBoxLayout>

#include "app/windows/ToolInteraction.h"
#include "scene/AppState.h"

namespace ov {

namespace {

// The hint of a drag in progress; empty when the state has none of its own.
std::string DragHint(std::int32_t state) {
    using T = ToolInteraction;
    switch (state) {
    case T::CreatingLine: return "Line: release at the end point (Shift snaps, Ctrl keeps eight directions)";
    case T::CreatingRectangle: return "Rectangle: release at the opposite corner (Ctrl: a square)";
    case T::CreatingEllipse: return "Ellipse: release at the opposite corner of its box (Ctrl: a circle)";
    case T::DraggingBoxBase: return "Box: release to fix the base; move for the height; click";
    case T::ChoosingBoxHeight: return "Box: move for the height (Ctrl: a multiple of the base); click";
    case T::DraggingBezierStart: return "Curve: release at the first handle; then click the end point";
    case T::MovingBezierEnd: return "Curve: press at the end point and drag to its handle";
    case T::DraggingBezierControl: return "Curve: release at the second handle";
    case T::MovingSelection: return "Move: release to drop the selection (Shift snaps)";
    case T::DraggingEyePoint: return "Eye point: release to place it";
    case T::DraggingEyeDirection: return "Viewing direction: release to fix it";
    case T::EditingVertices: return "Node edit: release to place the point";
    case T::ZoomRectangle: return "Zoom: release to show the rectangle";
    case T::SelectingArea: return "Marquee: objects wholly inside are selected (Shift adds)";
    default: return "";
    }
}

std::string RestingHint(std::int32_t tool, bool selection) {
    switch (tool) {
    case ToolPick:
        return selection ? "Pick: drag the selection to move it, or drag a marquee; arrow keys nudge it"
                         : "Pick: click an object or drag a marquee";
    case ToolNodeEdit: return "Node edit: drag a point of a selected object";
    case ToolZoom: return "Zoom: drag the rectangle to show";
    case ToolLine: return "Line: drag from the start point to the end point";
    case ToolRectangle: return "Rectangle: drag from corner to corner";
    case ToolEllipse: return "Ellipse: drag from corner to corner of its box";
    case ToolBezier: return "Curve: drag from the start point to the first handle; then click the end point";
    case ToolBox: return "Box: drag the base, release, move for the height and click";
    default: return "";
    }
}

} // namespace

std::string ToolHint(std::int32_t tool, std::int32_t dragState, bool selection) {
    const std::string drag = DragHint(dragState);
    if (!drag.empty()) return drag;
    std::string hint = RestingHint(tool, selection);
    // The arrow keys act on the camera when nothing is selected; say so before they do.
    if (!selection) hint += hint.empty() ? "Arrow keys move the eye point" : " \u2014 arrow keys move the eye point";
    return hint;
}

std::string SelectionText(std::int32_t count) {
    if (count <= 0) return "Nothing selected";
    return std::to_string(count) + (count == 1 ? " object selected" : " objects selected");
}

StatusFields::StatusFields(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(24);
    pointer_ = new QLabel(this);
    hint_ = new QLabel(this);
    selection_ = new QLabel(this);
    pointer_->setObjectName("lblPointer");
    hint_->setObjectName("lblHint");
    selection_->setObjectName("lblSelection");
    for (QLabel* label : {pointer_, hint_, selection_}) {
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label, label == hint_ ? 1 : 0);
    }
    // The position field keeps its width while the numbers change, so the hint stays put;
    // a long hint is cut rather than widening the window.
    pointer_->setMinimumWidth(pointer_->fontMetrics().horizontalAdvance("Length -000.0000   Angle -000.00\u00b0"));
    hint_->setMinimumWidth(1);
    hint_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusFields::ShowPointer(const std::string& text) { pointer_->setText(QString::fromStdString(text)); }
void StatusFields::ShowHint(const std::string& text) { hint_->setText(QString::fromStdString(text)); }
void StatusFields::ShowSelection(const std::string& text) { selection_->setText(QString::fromStdString(text)); }

} // namespace ov
