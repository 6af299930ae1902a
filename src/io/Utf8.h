#pragma once
// Decoding of UTF-8 text from files, which may hold any bytes at all.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ov {

// Length of the well-formed UTF-8 sequence at text[i] and its code point, or 0 when the
// bytes there are not one (a stray or truncated byte, an overlong form, a surrogate half,
// or a value beyond U+10FFFF).
std::size_t DecodeUtf8(std::string_view text, std::size_t i, std::uint32_t& codePoint);

// UTF-16 text (without its byte-order mark, if it has one) as UTF-8. An unpaired surrogate
// and a last odd byte become U+FFFD.
std::string Utf8FromUtf16(std::string_view bytes, bool littleEndian);

// U+FFFD, which stands for each byte that does not decode.
inline constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";

} // namespace ov
