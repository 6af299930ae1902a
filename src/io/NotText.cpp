#include "io/NotText.h"

#include <algorithm>

namespace ov {

namespace {

struct Signature {
    std::string_view bytes;
    const char* kind;
};

// The kinds of file most often opened by mistake, by their first bytes.
const Signature kSignatures[] = {
    {std::string_view("\x89PNG\r\n\x1a\n", 8), "a PNG picture"},
    {std::string_view("\xFF\xD8\xFF", 3), "a JPEG picture"},
    {"GIF8", "a GIF picture"},
    {std::string_view("PK\x03\x04", 4), "a ZIP archive"},
    {"%PDF-", "a PDF document"},
};

} // namespace

// Without a byte-order mark: a NUL in every other byte of the first characters, at odd
// positions (little-endian) or even ones (big-endian).
Utf16Order Utf16OrderOf(std::string_view head) {
    if (head.substr(0, 2) == "\xFF\xFE") return Utf16Order::LittleEndian;
    if (head.substr(0, 2) == "\xFE\xFF") return Utf16Order::BigEndian;
    const std::size_t pairs = std::min<std::size_t>(head.size() / 2, 32);
    if (pairs < 4) return Utf16Order::None;
    for (const std::size_t nulAt : {std::size_t{1}, std::size_t{0}}) {
        bool all = true;
        for (std::size_t i = 0; i < pairs && all; ++i)
            all = head[2 * i + nulAt] == '\0' && head[2 * i + 1 - nulAt] != '\0';
        if (all) return nulAt == 1 ? Utf16Order::LittleEndian : Utf16Order::BigEndian;
    }
    return Utf16Order::None;
}

std::string DescribeNonText(std::string_view head) {
    head = head.substr(0, kNonTextHeadBytes);
    if (Utf16OrderOf(head) != Utf16Order::None) return kUtf16Description;
    for (const Signature& s : kSignatures)
        if (head.substr(0, s.bytes.size()) == s.bytes) return std::string("the file is ") + s.kind + ", not text";
    if (head.find('\0') != std::string_view::npos) return "the file holds binary data, not text";
    return "";
}

} // namespace ov
