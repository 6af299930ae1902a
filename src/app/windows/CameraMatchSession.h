#pragma once
// The lines a user lays over the reference picture to find the camera that took it: two
// segments along edges parallel to each document axis (X red, Y green, Z blue), the point
// where the document origin appears and, optionally, the point where (Length, 0, 0) appears.
// Everything is kept in the picture's own pixels, so that the marks stay on the picture when
// the view is zoomed or the camera changes. The session turns mouse presses in the
// perspective view into marks and draws them over the view's picture.

#include <array>
#include <optional>
#include <vector>

#include "camera/CameraMatch.h"

class QPainter;

namespace ov {

class clsView;

class CameraMatchSession {
public:
    enum Element { AxisX = 0, AxisY = 1, AxisZ = 2, Origin = 3, Scale = 4 };

    // What the next press on empty picture marks.
    Element Active = AxisX;
    double Length = 1; // document units from the origin to the scale point
    std::array<std::vector<PictureSegment>, 3> Segments;
    std::optional<PicturePoint> OriginPoint, ScalePoint;

    // The mouse in the perspective view (pixels of the view's canvas). A press near a mark
    // grabs it; elsewhere it starts what Active says (a third segment of an axis replaces its
    // older one). False when the view shows no picture to mark.
    bool MouseDown(const clsView& view, double x, double y);
    void MouseMove(const clsView& view, double x, double y);
    void MouseUp();
    bool Dragging() const { return dragged_ != nullptr; }
    // Takes away the marks of one element.
    void Clear(Element element);

    // The camera the marks describe, or why there is none.
    CameraMatchResult Solve(const clsView& view) const;
    // The marks over the view's picture.
    void Draw(QPainter& painter, const clsView& view) const;

private:
    // Where the picture lies in the view plane; false when the view has none to show.
    struct Placement {
        double left, bottom, right, top, width, height;
    };
    bool Place(const clsView& view, Placement& p) const;
    PicturePoint ToPicture(const clsView& view, const Placement& p, double x, double y) const;
    void ToScreen(const clsView& view, const Placement& p, const PicturePoint& point, double& x, double& y) const;
    PicturePoint* Grab(const clsView& view, const Placement& p, double x, double y);

    PicturePoint* dragged_ = nullptr;
};

} // namespace ov
