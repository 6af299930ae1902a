#pragma once
// Number <-> text conversions shared by the structured and the flat record formats.
//
// The file encoding is locale independent and compact: "." as decimal point, at most
// 15 significant digits, no trailing zeros, no "0" before the point below 1 (.5), and
// exponent form (1E-05, 1.5E+20) outside the plain range. Reading is lenient: it takes
// the longest numeric prefix and never fails.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ov {

// File encoding of a double (see the header comment). Zero is "0".
std::string EncodeDouble(double value);

// General decimal form for messages and display: as EncodeDouble, but with a "0" before
// the point below 1 (0.5, -0.125).
std::string GeneralNumberText(double value);

// File encoding of a 32-bit integer: plain decimal digits with a leading "-".
std::string EncodeLong(std::int32_t value);

// Lenient numeric reading: blanks, tabs and line feeds anywhere are ignored; the longest
// prefix of the form [sign] digits [. digits] [E|D [sign] digits] is converted; "&H" and
// "&O" introduce hexadecimal and octal integers. Anything else reads as 0. The result is
// always finite: values beyond the double range saturate at the largest double.
double ReadNumber(std::string_view text);

// Converts a normalised decimal "digits[.digits][e[sign]digits]" (at least one digit)
// independently of the locale. Too small a magnitude gives 0; too large a one returns
// false and leaves value at the largest double.
bool ConvertDecimal(std::string_view normalized, double& value);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// The shared clamping rule of the typed getters: a value that is not >= minimum becomes
// minimum (this also catches NaN), then a value above maximum becomes maximum.
double ClampValue(double value, double minimum, double maximum);

// Reading of a 32-bit integer as the typed getters do it: numeric reading, clamping to
// [minimum, maximum], then rounding halves to even.
std::int32_t ReadLongClamped(std::string_view text, std::int32_t minimum, std::int32_t maximum);

// Locale-dependent general number text for diagnostic and display texts (point
// coordinates). The model has no locale of its own: the default uses the C++ global
// locale's decimal point; the application installs a formatter that follows the user's
// locale.
std::string LocaleNumberText(double value);
void SetLocaleNumberFormatter(std::function<std::string(double)> formatter);

} // namespace ov
