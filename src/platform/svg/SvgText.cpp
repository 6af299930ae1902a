#include "platform/svg/SvgText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "io/Utf8.h"

namespace ov::svgtext {

std::string Number(double value) {
    if (!std::isfinite(value)) return "0";
    char buffer[400]; // enough for the largest double in fixed notation with six decimals
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return "0";
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

std::string HexColor(const draw::Color& color) {
    static const char digits[] = "0123456789abcdef";
    std::string text = "#";
    for (const int component : {color.Red, color.Green, color.Blue}) {
        const int c = std::clamp(component, 0, 255);
        text += digits[c / 16];
        text += digits[c % 16];
    }
    return text;
}

std::string EscapeAttribute(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::uint32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0) {
            out += kUtf8Replacement;
            ++i; // resynchronise on the next byte
            continue;
        }
        switch (cp) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            if (cp < 0x20 || cp == 0xFFFE || cp == 0xFFFF)
                out += kUtf8Replacement;
            else
                out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::string IdBase(std::string_view name) {
    std::string id;
    id.reserve(name.size() + 1);
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) == 0x80) continue; // continuation byte: its sequence is already replaced
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        id += keep ? ch : '_';
    }
    const bool startsWell = !id.empty() && ((id[0] >= 'A' && id[0] <= 'Z') ||
                                            (id[0] >= 'a' && id[0] <= 'z') || id[0] == '_');
    if (!startsWell) id.insert(id.begin(), '_');
    return id;
}

} // namespace ov::svgtext
