#pragma once
// The commands of the main window that open an object's property dialog, and the one that
// inserts a new parametric function object.

class QWidget;

namespace ov {

class clsScene;

// The property dialog of the selected object (an ellipse or arc, or a parametric
// function), on a copy of it. When confirmed, one undo step "Object Properties" is
// recorded and the copy's values go back into the object. True when the object changed;
// false when the selection has no dialog or the user cancelled.
bool ShowObjectProperties(QWidget* parent, clsScene& scene);

// A new parametric function with its default formulas, shown in its property dialog. When
// confirmed, one undo step "Create" is recorded and the object is added to the top of the
// tree as a new node, which becomes the selection. True when an object was added.
bool InsertFunctionObject(QWidget* parent, clsScene& scene);

} // namespace ov
