#pragma once
// The states a document window's mouse work can be in, as the status line and the tests
// know them. A tool at rest is Idle; a press not yet moved far enough to drag is Pressed;
// every drag names its own state.

#include <cstdint>

namespace ov {

struct DragStates {
    enum DragState : std::int32_t {
        Idle = 0,
        Pressed = 1, // pressed on empty space, not dragging yet
        CreatingLine = 2,
        CreatingRectangle = 3,
        DraggingBoxBase = 4,
        ChoosingBoxHeight = 5,   // button up
        DraggingBezierStart = 6, // start point and first control point
        MovingBezierEnd = 7,     // button up
        DraggingBezierControl = 8,
        CreatingEllipse = 9,
        MovingSelection = 10,
        DraggingEyePoint = 11,
        DraggingEyeDirection = 12,
        EditingVertices = 13,
        ZoomRectangle = 14,
        SelectingArea = 15, // the pick tool's marquee, dragged from empty space
        Measuring = 16,
    };
};

} // namespace ov
