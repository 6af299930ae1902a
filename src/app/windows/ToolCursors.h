#pragma once
// The mouse pointers of the drawing tools, drawn in code. The document window picks them by
// image number: which tool shows which image is its business, what they look like is ours.

#include <QCursor>
#include <QPixmap>

#include "tools/CursorImage.h"

namespace ov {

// The picture of an image (32 x 32, transparent around the drawing); a null pixmap for a
// number that has no image.
QPixmap ToolCursorPixmap(int image);
// The pointer of an image, made once and kept; the standard arrow for a number that has
// no image.
QCursor ToolCursor(int image);

} // namespace ov
