#include "platform/svg/SvgText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "io/Utf8.h"

namespace ov::svgtext {

namespace {

#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 Wide;

// |value| in millionths, rounded to the nearest integer with ties to even, as formatting
// with six decimals rounds the exact binary value. |value| is m / 2^shift with m the 53-bit
// integer mantissa, so the product m * 10^6 (below 2^73) and its quotient are exact. False
// for values this does not cover: from 2^52 up, below 2^-61 (nothing of them shows in six
// decimals) and where the result passes 64 bits (from about 1.8e13 up).
bool Millionths(double value, std::uint64_t& millionths) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) { // zero, or a subnormal number far below what six decimals show
        millionths = 0;
        return mantissa == 0;
    }
    mantissa |= std::uint64_t{1} << 52;
    const int shift = 1075 - biased; // |value| = mantissa / 2^shift
    if (shift <= 0 || shift > 113) return false;
    const Wide product = static_cast<Wide>(mantissa) * 1000000u;
    Wide quotient = product >> shift;
    const Wide remainder = product - (quotient << shift), half = static_cast<Wide>(1) << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
    if (quotient > static_cast<Wide>(UINT64_MAX)) return false;
    millionths = static_cast<std::uint64_t>(quotient);
    return true;
}
#else
bool Millionths(double, std::uint64_t&) {
    return false;
}
#endif

// value with exactly six decimals, as std::to_chars writes it in fixed notation ("-" for
// every value with the sign bit, "0" before the point of values below 1). Returns the end.
char* FixedSix(char* first, char* last, double value) {
    std::uint64_t millionths = 0;
    if (!Millionths(value, millionths)) {
        const auto result = std::to_chars(first, last, value, std::chars_format::fixed, 6);
        return result.ec == std::errc() ? result.ptr : nullptr;
    }
    char* p = first;
    if (std::signbit(value)) *p++ = '-';
    p = std::to_chars(p, last, millionths / 1000000).ptr;
    *p++ = '.';
    std::uint64_t decimals = millionths % 1000000;
    for (int i = 5; i >= 0; --i, decimals /= 10)
        p[i] = static_cast<char>('0' + decimals % 10);
    return p + 6;
}

} // namespace

char* WriteNumber(char* first, double value) {
    if (!std::isfinite(value)) {
        *first = '0';
        return first + 1;
    }
    char* end = FixedSix(first, first + kNumberRoom, value);
    if (end == nullptr) {
        *first = '0';
        return first + 1;
    }
    if (std::find(first, end, '.') != end) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.') --end;
    }
    if (end - first == 2 && first[0] == '-' && first[1] == '0') {
        first[0] = '0';
        return first + 1;
    }
    return end;
}

std::string Number(double value) {
    char buffer[kNumberRoom];
    return std::string(buffer, WriteNumber(buffer, value));
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
