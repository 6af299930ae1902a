#pragma once
// A photograph or drawing shown behind the perspective views, to construct over it. The
// project keeps where the picture file lies (relative to the project file, so that a folder
// of both can move), how opaque it is drawn and how it sits in the camera's view window.

#include <string>

namespace ov {

class clsStream;

struct ReferencePicture {
    std::string Path;     // the picture file; absolute once read or chosen
    double Opacity = 0.5; // 0 invisible to 1 opaque
    // Placement: the fitted picture's centre moves from the centre of view by these
    // fractions of the view window's width and height, and its size is Scale times the
    // fitted size.
    double ShiftX = 0, ShiftY = 0;
    double Scale = 1;
    bool Visible = true;

    bool IsSet() const { return !Path.empty(); }
    void Clear() { *this = ReferencePicture(); }
    bool operator==(const ReferencePicture& o) const {
        return Path == o.Path && Opacity == o.Opacity && ShiftX == o.ShiftX && ShiftY == o.ShiftY &&
               Scale == o.Scale && Visible == o.Visible;
    }
    bool operator!=(const ReferencePicture& o) const { return !(*this == o); }

    // projectPath is the project file written or read; the picture's path is stored
    // relative to its folder (absolute when the project has no file yet). A record without a
    // path clears the picture.
    void WriteData(clsStream& record, const std::string& projectPath) const;
    void ReadData(const clsStream& record, const std::string& projectPath);
};

// The rectangle the picture covers in the view plane: fitted into the window (aspect kept,
// centred), then placed. width and height are the picture's pixels.
struct PictureRect {
    double Left = 0, Bottom = 0, Right = 0, Top = 0;
};
PictureRect PlacePicture(const ReferencePicture& picture, double width, double height, double uMin, double vMin,
                         double uMax, double vMax);

} // namespace ov
