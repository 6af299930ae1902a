#pragma once
// Text helpers for writing SVG: numbers, colours, escaped attribute values and XML ids.

#include "platform/DrawApp.h"

#include <string>
#include <string_view>

namespace ov::svgtext {

// A number as SVG attributes take it, independent of the locale: '.' as decimal point,
// at most six decimals, trailing zeros and a trailing point removed, no "-0". Values that
// are not finite are written as "0"; the writer avoids handing them in.
std::string Number(double value);
// The same, written at first, which must have room for kNumberRoom characters; returns the
// end of what was written. This is how the writer puts down millions of numbers.
constexpr std::size_t kNumberRoom = 400; // the largest double in fixed notation with six decimals
char* WriteNumber(char* first, double value);

// "#rrggbb"; each component is clamped to 0..255 first.
std::string HexColor(const draw::Color& color);

// Text made safe for a double-quoted attribute value: markup characters become entities,
// tab, line feed and carriage return become character references (so that they survive
// attribute normalisation), and what XML cannot hold at all (other control characters,
// invalid UTF-8, U+FFFE and U+FFFF) becomes U+FFFD.
std::string EscapeAttribute(std::string_view text);

// The id a name asks for before it is made unique: ASCII letters, digits, '-', '_' and '.'
// are kept, every other character (a multi-byte UTF-8 sequence counting as one) becomes
// '_', and '_' is put in front unless the result starts with a letter or '_'.
std::string IdBase(std::string_view name);

} // namespace ov::svgtext
