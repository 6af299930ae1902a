#include "style/clsFont.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "io/NumberText.h"
#include "io/clsStream.h"

namespace ov {

namespace {

// The shortest decimal text that reads back as the same single-precision value.
std::string ShortestFloatText(float value) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, r.ptr);
    if (text.find('e') != std::string::npos) {
        char fixed[64];
        std::snprintf(fixed, sizeof fixed, "%g", static_cast<double>(value));
        return fixed;
    }
    return text;
}

} // namespace

double ScreenPixelsPerInchY() {
    if (QGuiApplication::instance())
        if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->logicalDotsPerInchY();
    return 96;
}

void clsFont::Reset() {
    Color.Reset();
    Name = "Arial";
    Bold = Italic = Underline = StrikeOut = false;
    Size = 10;
    CharSet = 1;
}

std::string clsFont::GetButtonText() const { return ShortestFloatText(Size) + " pt, " + Name; }

ButtonLook clsFont::GetButtonLook(bool showColor, bool enabled) const {
    ButtonLook look;
    look.Text = GetButtonText();
    look.Enabled = enabled;
    look.HasBackground = showColor;
    look.RGBColor = Color.RGBColor;
    look.System = enabled ? SystemColor::None : SystemColor::GrayText;
    return look;
}

QFont clsFont::MakeFont(double pixelSize) const {
    // Face names are limited to 31 characters, as the system font record holds them.
    QFont font(QString::fromStdString(Name.substr(0, 31)));
    const double rounded = std::round(std::fabs(pixelSize));
    font.setPixelSize(static_cast<int>(rounded < 1 ? 1 : rounded > MaxPixelSize ? MaxPixelSize : rounded));
    font.setWeight(Bold ? QFont::Bold : QFont::Normal);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(StrikeOut);
    return font;
}

QFont clsFont::GetHFont() const { return MakeFont(Size); }

void clsFont::GetTextSize(const std::string& text, double& width, double& height) const {
    EstimateTextSize({text}, width, height);
}

void clsFont::EstimateTextSize(const std::vector<std::string>& texts, double& width, double& height) const {
    width = height = 0;
    const QFontMetrics metrics(MakeFont(static_cast<double>(Size) * 10));
    for (const std::string& text : texts) {
        const QString s = QString::fromStdString(text);
        const double w = metrics.horizontalAdvance(s);
        const double h = metrics.height();
        if (w > width) width = w;
        if (h > height) height = h;
    }
    width /= 10;
    height /= 10;
}

void clsFont::GetMetrics(double& ascent, double& ascentLessLeading) const {
    const float k = static_cast<float>(ScreenPixelsPerInchY() * 10 / 72);
    const QFont font = MakeFont(static_cast<double>(Size) * k);
    const QFontMetrics metrics(font);
    // The internal leading is what the cell height has beyond the character height.
    const int internalLeading = metrics.ascent() + metrics.descent() - font.pixelSize();
    ascent = metrics.ascent() / static_cast<double>(k);
    ascentLessLeading = (metrics.ascent() - internalLeading) / static_cast<double>(k);
}

void clsFont::ReadData(const clsStream& record) {
    Name = record.GetString("Name", "");
    Bold = record.GetBool("Bold", false);
    Italic = record.GetBool("Italic", false);
    Underline = record.GetBool("Underline", false);
    StrikeOut = record.GetBool("StrikeOut", false);
    Size = static_cast<float>(record.GetLong("Size", -1073741824, 1073741824, 0) / 10.0);
    Color.ReadData(record.GetSubStream("Color"));
    CharSet = static_cast<std::uint8_t>(record.GetLong("CharSet", 0, 255, 0));
}

void clsFont::WriteData(clsStream& record) const {
    record.SetString("Name", Name);
    record.SetBool("Bold", Bold);
    record.SetBool("Italic", Italic);
    record.SetBool("Underline", Underline);
    record.SetBool("StrikeOut", StrikeOut);
    // Tenths of a point, rounded halves to even; sizes beyond the integer range are capped.
    const double tenths = ClampValue(RoundHalfEven(static_cast<double>(Size) * 10), -2147483648.0, 2147483647.0);
    record.SetLong("Size", static_cast<std::int32_t>(tenths));
    Color.WriteData(record.CreateSubStream("Color"));
    record.SetLong("CharSet", CharSet);
}

} // namespace ov
