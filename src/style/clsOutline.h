#pragma once
// A line style: colour, width in points and dash style. Width 0 means no line; exactly
// 0.216 is the hairline.

#include <cstdint>
#include <memory>

#include <QPen>

#include "style/clsColor.h"

namespace ov {

namespace draw {
class Application;
class Shape;
} // namespace draw

class clsOutline {
public:
    enum : std::int32_t { StyleNone = 0, StyleSolid = 1, StyleDashed = 2, StyleDotted = 3 };
    static constexpr double HairlineWidth = 0.216;

    clsOutline() { Reset(); }
    clsOutline(double width, int red, int green, int blue);

    clsColor Color;
    double Width = HairlineWidth;
    std::int32_t Style = StyleSolid;

    clsOutline Dup() const { return *this; }
    void CopyAssign(const clsOutline& source) { *this = source; }
    // A pen for raster and print devices. Dashed and dotted pens are always one device
    // unit wide; only solid pens take penWidth (device units).
    QPen GetGDIPen(int penWidth) const;
    // Gives a shape of the drawing program this outline.
    void ApplyToShape(draw::Shape& shape, draw::Application& application) const;
    // Keeps the invariant: width 0 goes with style none, a visible width never keeps it.
    void SetPointWidth(double width);
    void SetHairline() { SetPointWidth(HairlineWidth); }
    void SetNone() { SetPointWidth(0); }
    void SetParams(double width, std::int32_t color);
    // "Hair, solid", "1 pt, dash", "None", ... on the colour of the outline.
    ButtonLook GetButtonLook(bool enabled) const;
    void Reset();
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;

    // The pen style and width GDI would use: style none gives a null pen of width 0.
    struct GDIStyle {
        Qt::PenStyle Style;
        int Width;
    };
    GDIStyle GetGDIStyle(int penWidth) const;
};

} // namespace ov
