#pragma once
// Tells what a file is when it is not text at all, for messages more useful than "line 1
// cannot be read": UTF-16 text, a picture or an archive, or binary data.

#include <cstddef>
#include <string>
#include <string_view>

namespace ov {

// A description ("the file holds UTF-16 text, not 8-bit text") of the file that begins with
// head, or "" when its first bytes may well be text.
std::string DescribeNonText(std::string_view head);

// The byte order of the UTF-16 text that head begins with, by its byte-order mark or by
// ASCII text with a NUL beside every character; None when it is no UTF-16 text.
enum class Utf16Order { None, LittleEndian, BigEndian };
inline constexpr const char* kUtf16Description = "the file holds UTF-16 text, not 8-bit text";
Utf16Order Utf16OrderOf(std::string_view head);

// How many bytes of a file's beginning DescribeNonText looks at.
constexpr std::size_t kNonTextHeadBytes = 4096;

} // namespace ov
