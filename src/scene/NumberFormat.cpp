// Number text of dialogs and panels, and the small numeric helpers shared by the views.
#include <cmath>
#include <cstdio>
#include <string>

#include "io/NumberText.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

constexpr double kPi = 3.14159265358979;

char& DecimalPoint() {
    static char point = '.';
    return point;
}

} // namespace

void SetLocaleDecimalPoint(char point) { DecimalPoint() = point; }

std::int32_t GetPrecision() { return App().ActiveScene ? App().ActiveScene->Precision : 4; }

std::string FormatNumber(double value) {
    int decimals = GetPrecision();
    decimals = decimals < 0 ? 0 : decimals > 15 ? 15 : decimals;
    if (!std::isfinite(value)) value = 0;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string text(buf);
    // A value that rounds to zero shows no sign.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    for (char& c : text)
        if (c == '.') c = DecimalPoint();
    return text;
}

double ParseNumber(std::string_view text) {
    std::string s(text);
    const std::size_t b = s.find_first_not_of(' ');
    s = b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
    for (char& c : s)
        if (c == ',') c = '.';
    if (s.empty()) s = "0";
    return ReadNumber(s);
}

double ParseNumberClamped(std::string_view text, double min, double max, bool inclusive) {
    double v = ParseNumber(text);
    if (inclusive) {
        if (v < min) v = min;
        if (v > max) v = max;
    } else {
        const double margin = std::pow(10.0, -GetPrecision());
        if (v <= min) v = min + margin;
        if (v >= max) v = max - margin;
    }
    return v;
}

int ColorDistance(std::int32_t a, std::int32_t b) {
    auto brightness = [](std::int32_t c) {
        return 2126.0 * (c & 255) + 7152.0 * ((c >> 8) & 255) + 722.0 * ((c >> 16) & 255);
    };
    // The weights add up to 10000, so black to white spans 0 to 2 550 000: percent of that.
    return static_cast<int>(RoundHalfEven(std::fabs(brightness(a) - brightness(b)) / 25500));
}

double AngleDifference(double a, double b) {
    double d = a - b;
    if (d > kPi) d -= 2 * kPi;
    else if (d < -kPi) d += 2 * kPi;
    return d;
}

double Atan2(double y, double x) {
    if (x > 0) return std::atan(y / x);
    if (x < 0) return std::atan(y / x) + kPi;
    return y > 0 ? kPi / 2 : y < 0 ? -kPi / 2 : 0;
}

} // namespace ov
