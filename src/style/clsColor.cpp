#include "style/clsColor.h"

#include "io/clsStream.h"

namespace ov {

ButtonLook clsColor::GetButtonLook(bool enabled) const {
    ButtonLook look;
    look.RGBColor = RGBColor;
    look.System = enabled ? SystemColor::None : SystemColor::GrayText;
    look.Enabled = enabled;
    return look;
}

void clsColor::ReadData(const clsStream& record) { RGBColor = record.GetLong("RGBColor", -1073741824, 1073741824, 0); }

void clsColor::WriteData(clsStream& record) const { record.SetLong("RGBColor", RGBColor); }

} // namespace ov
