#include "io/clsOldStream.h"

#include "io/NumberText.h"

namespace ov {

void clsOldStream::Reset() {
    Values.clear();
    ReadPosition = 0;
}

void clsOldStream::ParseString(std::string_view text) {
    if (text.empty()) return;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = text.find(';', start);
        if (sep == std::string_view::npos) {
            Values.emplace_back(text.substr(start));
            return;
        }
        Values.emplace_back(text.substr(start, sep - start));
        start = sep + 1;
    }
}

std::string clsOldStream::BuildString() const {
    std::string text;
    for (std::size_t i = 0; i < Values.size(); ++i) {
        if (i > 0) text.push_back(';');
        text += Values[i];
    }
    return text;
}

std::string clsOldStream::GetVal(bool zeroIfEmpty) {
    std::string result;
    if (ReadPosition >= 0 && static_cast<std::size_t>(ReadPosition) < Values.size()) result = Values[static_cast<std::size_t>(ReadPosition++)];
    if (result.empty() && zeroIfEmpty) result = "0";
    return result;
}

double clsOldStream::GetDouble(bool clamp, double minimum, double maximum) {
    const double value = ReadNumber(GetVal(true));
    return clamp ? ClampValue(value, minimum, maximum) : value;
}

std::int32_t clsOldStream::GetLong(std::int32_t minimum, std::int32_t maximum) {
    return ReadLongClamped(GetVal(true), minimum, maximum);
}

bool clsOldStream::GetBool() { return ReadNumber(GetVal(true)) != 0; }

std::string clsOldStream::GetString() { return GetVal(false); }

void clsOldStream::SetString(std::string_view text) { Values.emplace_back(text); }
void clsOldStream::SetBool(bool value) { Values.emplace_back(value ? "1" : "0"); }
void clsOldStream::SetLong(std::int32_t value) { Values.push_back(EncodeLong(value)); }
void clsOldStream::SetDouble(double value) { Values.push_back(EncodeDouble(value)); }

} // namespace ov
