#pragma once
// The pictures of the toolbar buttons, the object list and the transform panel's rows.
// They are drawn in code on a 16-unit grid at several sizes, so they stay sharp at any
// scale and need no image files.

#include <QIcon>
#include <QString>

namespace ov {

// A toolbar button by its key ("New", "Open", ..., "Arrow", "Line", ..., "ResetEye");
// an empty icon for an unknown key.
QIcon ToolbarIcon(const QString& key);
// An image of the object list by the node's image index (1 document, 2 line, 4 group,
// 6 ellipse, 8 curve, 10 function; the odd index after each is its hidden form).
QIcon TreeImage(int index);
// A picture of the transform panel's rows: "Point1", "Point2", "Move", "Stretch",
// "Position", "Size" and "Rotation".
QIcon RowImage(const QString& key);

} // namespace ov
