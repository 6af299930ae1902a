#pragma once
// The keyless flat record used for function definitions: values joined by ";" on one
// line, read back in the order they were written. Values are not escaped, so a value
// must not contain ";".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

class clsOldStream {
public:
    clsOldStream() = default;

    std::vector<std::string> Values;
    std::int32_t ReadPosition = 0; // number of values already read

    void Reset();
    // Appends the ";"-separated pieces of text; the empty text appends nothing.
    void ParseString(std::string_view text);
    std::string BuildString() const;

    // The next unread value, or "" past the end ("0" when zeroIfEmpty and the value is "").
    std::string GetVal(bool zeroIfEmpty);
    double GetDouble(bool clamp, double minimum, double maximum);
    std::int32_t GetLong(std::int32_t minimum, std::int32_t maximum);
    bool GetBool();
    std::string GetString();

    void SetString(std::string_view text);
    void SetBool(bool value);
    void SetLong(std::int32_t value);
    void SetDouble(double value);
};

} // namespace ov
