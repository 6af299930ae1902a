#pragma once
// A mouse tool of the document window: its pointer, its hint and the drag it starts when
// the pointer, pressed on empty space, moves further than a click. What every tool shares
// (clicks select, handles of the eye point and of vertices are grabbed, the wheel, the
// middle button and the keys) is ToolInteraction's. Tools are made by MakeTool
// (ToolRegistry.cpp), one file each. (Tool codes are the enum Tool of scene/AppState.h.)

#include <cstdint>
#include <memory>
#include <string>

namespace ov {

class Drag;
class ToolContext;

class MouseTool {
public:
    virtual ~MouseTool() = default;

    // The tool's code (ToolPick, ToolLine, ... in scene/AppState.h).
    virtual std::int32_t Id() const = 0;
    // Its pointer image (CursorImage.h).
    virtual int Cursor() const = 0;
    // The status line's hint while the tool rests.
    virtual std::string Hint(bool selection) const = 0;
    // Whether the pointer shows the grab image over handles.
    virtual bool ShowsHandles() const { return false; }
    // Whether the tool works in the perspective view.
    virtual bool WorksInPerspective() const { return false; }

    struct Start {
        std::unique_ptr<Drag> drag; // null: no drag
        bool stillPressed = false;  // without a drag, the release still counts as a click
    };
    // The pointer, pressed at (pressX, pressY) on empty space, has moved to (x, y) with the
    // shift bits given.
    virtual Start BeginDrag(ToolContext& context, double pressX, double pressY, double x, double y, int shift) = 0;
};

// The tool of a code; the pick tool for an unknown code.
std::unique_ptr<MouseTool> MakeTool(std::int32_t id);

} // namespace ov
