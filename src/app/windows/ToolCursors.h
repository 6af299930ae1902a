#pragma once
// The mouse pointers of the drawing tools, drawn in code. The document window picks them by
// image number: which tool shows which image is its business, what they look like is ours.

#include <QCursor>
#include <QPixmap>

namespace ov {

enum CursorImage : int {
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

// The picture of an image (32 x 32, transparent around the drawing); a null pixmap for a
// number that has no image.
QPixmap ToolCursorPixmap(int image);
// The pointer of an image, made once and kept; the standard arrow for a number that has
// no image.
QCursor ToolCursor(int image);

} // namespace ov
