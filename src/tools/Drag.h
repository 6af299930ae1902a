#pragma once
// A drag in progress, from the press (or from the move that made a press a drag) to the
// release that ends it, or to Esc. Its feedback is drawn in XOR over the views; a view whose
// picture is made afresh asks for it again (DrawFeedback), so drawing and erasing stay in
// step however often the views repaint.

#include <cstdint>
#include <string>

#include "tools/DragState.h"

namespace ov {

class ToolContext;
class clsNode;

class Drag : public DragStates {
public:
    explicit Drag(ToolContext& context) : context_(context) {}
    virtual ~Drag() = default;
    Drag(const Drag&) = delete;
    Drag& operator=(const Drag&) = delete;

    virtual std::int32_t State() const = 0;
    // The status line's hint while the drag goes on.
    virtual std::string Hint() const = 0;

    // Shift bits as in InputCodes.h.
    virtual void Move(double x, double y, int shift) = 0;
    // The left button went down again, for the drags that go on with the button up.
    virtual void Press(double /*x*/, double /*y*/, int /*shift*/) {}
    // The left button went up; true when that ended the drag.
    virtual bool Release(double x, double y, int shift) = 0;
    // Esc: the feedback is erased and nothing is made; steps recorded at the press stay.
    virtual void Cancel() = 0;
    // Puts the feedback back over a freshly made picture of a port.
    virtual void DrawFeedback(int port) = 0;

    // The status line's pointer field during the drag; "" for the pointer's position.
    virtual std::string PointerText(double /*x*/, double /*y*/, bool /*snap*/) const { return ""; }
    // The shape the drag shows, if any.
    virtual const clsNode* Preview() const { return nullptr; }
    // Whether the drag draws the eye-point markers itself (the views leave them out).
    virtual bool DrawsEyeMarkers() const { return false; }
    virtual double BoxHeight() const { return 0; }
    // Whether the drag ended by itself during a move (what it held went away).
    virtual bool Over() const { return false; }

protected:
    ToolContext& context_;
};

} // namespace ov
