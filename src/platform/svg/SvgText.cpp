#include "platform/svg/SvgText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

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

namespace {

const char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

// Length of the well-formed UTF-8 sequence at text[i] and its code point, or 0 when the
// bytes there are not one.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, std::uint32_t& codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length;
    std::uint32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF) return 0; // overlong or out of range
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;  // surrogate halves
    return length;
}

} // namespace

std::string EscapeAttribute(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::uint32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0) {
            out += kReplacement;
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
                out += kReplacement;
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
