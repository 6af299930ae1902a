#pragma once
// One RGB colour as a Windows colour value: red in bits 0-7, green 8-15, blue 16-23.

#include <cstdint>

#include "style/ButtonLook.h"

namespace ov {

class clsStream;

class clsColor {
public:
    clsColor() = default;
    clsColor(int red, int green, int blue) { SetRGBColor(red, green, blue); }

    std::int32_t RGBColor = 0;

    void Reset() { RGBColor = 0; }
    int GetRed() const { return RGBColor & 255; }
    int GetGreen() const { return (RGBColor / 256) & 255; }
    int GetBlue() const { return (RGBColor / 65536) & 255; }
    void CopyAssign(const clsColor& source) { RGBColor = source.RGBColor; }
    clsColor Dup() const { return *this; }
    bool IsSame(const clsColor& other) const { return RGBColor == other.RGBColor; }
    void SetRGBColor(int red, int green, int blue) { RGBColor = red + 256 * green + 65536 * blue; }
    // The colour button of a dialog: this colour when enabled, grey otherwise.
    ButtonLook GetButtonLook(bool enabled) const;
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;
};

} // namespace ov
