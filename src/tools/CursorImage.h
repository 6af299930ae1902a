#pragma once
// The pointer images a tool asks for; the window draws them (ToolCursors in the app).

namespace ov {

enum CursorImage : int {
    CursorArrow = -1, // the standard arrow
    CursorLine = 0,
    CursorRectangle = 1,
    CursorBox = 2,
    CursorNodeEdit = 3,
    CursorHandle = 4, // over something that can be grabbed: an eye-point marker or a vertex
    CursorPick = 5,
    CursorEllipse = 6,
    CursorBezier = 7,
    CursorZoom = 8,
};
constexpr int CursorImageCount = 9;

} // namespace ov
