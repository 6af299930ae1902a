#pragma once
// A text face: name, flags, size in points, colour and character set.

#include <cstdint>
#include <string>
#include <vector>

#include <QFont>

#include "style/clsColor.h"

namespace ov {

class clsStream;

class clsFont {
public:
    clsFont() { Reset(); }

    std::string Name = "Arial";
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    float Size = 10;       // points
    clsColor Color;
    std::uint8_t CharSet = 1;

    // "10 pt, Arial"
    std::string GetButtonText() const;
    ButtonLook GetButtonLook(bool showColor, bool enabled) const;
    int GetWeight() const { return Bold ? 700 : 400; }
    // Width and height of the text in the units of Size.
    void GetTextSize(const std::string& text, double& width, double& height) const;
    void CopyAssign(const clsFont& source) { *this = source; }
    clsFont Dup() const { return *this; }
    void ReadData(const clsStream& record);
    void WriteData(clsStream& record) const;
    // The font with Size taken as its pixel height (the caller sets Size in device units).
    // Rotation is the caller's business: a QFont has no escapement.
    QFont GetHFont() const;
    // The largest width and height of the texts, measured at ten times the size for
    // precision, in the units of Size.
    void EstimateTextSize(const std::vector<std::string>& texts, double& width, double& height) const;
    // Ascent, and ascent less internal leading, in points.
    void GetMetrics(double& ascent, double& ascentLessLeading) const;
    void Reset();

    // Pixel heights are bounded so that absurd sizes from a file cannot exhaust memory.
    static constexpr int MaxPixelSize = 16384;

private:
    QFont MakeFont(double pixelSize) const;
};

// The screen's vertical resolution in pixels per inch (96 without a screen).
double ScreenPixelsPerInchY();

} // namespace ov
