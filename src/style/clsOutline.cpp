#include "style/clsOutline.h"

#include <cmath>
#include <optional>

#include "io/NumberText.h"
#include "io/clsStream.h"
#include "platform/DrawApp.h"

namespace ov {

clsOutline::clsOutline(double width, int red, int green, int blue) {
    Reset();
    SetParams(width, clsColor(red, green, blue).RGBColor);
}

void clsOutline::Reset() {
    Color.SetRGBColor(0, 0, 0);
    Style = StyleSolid;
    SetHairline();
}

void clsOutline::SetPointWidth(double width) {
    Width = width;
    if (width == 0) Style = StyleNone;
    else if (Style == StyleNone) Style = StyleSolid;
}

void clsOutline::SetParams(double width, std::int32_t color) {
    SetPointWidth(width);
    Color.RGBColor = color;
}

clsOutline::GDIStyle clsOutline::GetGDIStyle(int penWidth) const {
    switch (Style) {
    case StyleNone: return {Qt::NoPen, 0};
    case StyleDashed: return {Qt::DashLine, 1};
    case StyleDotted: return {Qt::DotLine, 1};
    default: return {Qt::SolidLine, penWidth}; // solid, and any unknown style from a file
    }
}

QPen clsOutline::GetGDIPen(int penWidth) const {
    const GDIStyle s = GetGDIStyle(penWidth);
    QPen pen(QColor(Color.GetRed(), Color.GetGreen(), Color.GetBlue()));
    pen.setStyle(s.Style);
    pen.setWidth(s.Width);
    // GDI pens draw square, mitred lines of exactly the asked width.
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void clsOutline::ApplyToShape(draw::Shape& shape, draw::Application& application) const {
    if (Style == StyleNone) {
        shape.SetOutlineNone();
        return;
    }
    const draw::Color color = application.CreateRGBColor(Color.GetRed(), Color.GetGreen(), Color.GetBlue());
    std::optional<draw::OutlineStyle> style;
    if (Style == StyleSolid) style = application.OutlineStyles(0);
    else if (Style == StyleDashed) style = application.OutlineStyles(12);
    else if (Style == StyleDotted) style = application.OutlineStyles(2);
    shape.SetOutlineProperties(Width / 72, style, color);
}

ButtonLook clsOutline::GetButtonLook(bool enabled) const {
    ButtonLook look;
    look.Enabled = enabled;
    if (Style == StyleNone) {
        look.System = SystemColor::ButtonFace;
        look.Text = "None";
        return look;
    }
    look.RGBColor = Color.RGBColor;
    look.System = enabled ? SystemColor::None : SystemColor::GrayText;
    look.Text = Width == HairlineWidth ? "Hair" : GeneralNumberText(std::trunc(Width * 4 + 0.5) / 4) + " pt";
    look.Text += Style == StyleDashed ? ", dash" : Style == StyleDotted ? ", dot" : ", solid";
    return look;
}

void clsOutline::ReadData(const clsStream& record) {
    Width = record.GetDouble("Width", false, 0, 0, 0);
    Style = record.GetLong("Style", -1073741824, 1073741824, 0);
    Color.ReadData(record.GetSubStream("Color"));
}

void clsOutline::WriteData(clsStream& record) const {
    record.SetDouble("Width", Width);
    record.SetLong("Style", Style);
    Color.WriteData(record.CreateSubStream("Color"));
}

} // namespace ov
