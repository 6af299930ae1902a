#include "expr/clsFncDef.h"

#include <algorithm>
#include <limits>

#include "io/NumberText.h"
#include "io/clsOldStream.h"

namespace ov {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

} // namespace

bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

std::string ToUpperAscii(std::string_view text) {
    std::string s(text);
    for (char& c : s) c = UpperAscii(c);
    return s;
}

bool clsFncDef::IsValidName(std::string_view name) {
    if (name.empty() || !IsLetter(name[0])) return false;
    for (const char c : name)
        if (!IsLetter(c) && !IsDigit(c)) return false;
    return true;
}

clsFncHeader clsFncDef::GetFncHeader() const { return {Name, GetNameArgs(), Description}; }

bool clsFncDef::ParseName(std::string_view headerText) {
    Params.clear();
    const std::size_t open = headerText.find('(');
    if (open == std::string_view::npos) {
        Name = std::string(headerText);
        return IsValidName(Name);
    }
    Name = std::string(TrimBlanks(headerText.substr(0, open)));
    if (!IsValidName(Name) || headerText.back() != ')') return false;
    const std::string_view inner = headerText.substr(open + 1, headerText.size() - open - 2);
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = inner.find(',', start);
        const std::string_view piece = TrimBlanks(inner.substr(start, comma == std::string_view::npos ? inner.npos : comma - start));
        Params.emplace_back(std::string(piece));
        if (!IsValidName(piece)) return false;
        if (comma == std::string_view::npos) return true;
        start = comma + 1;
    }
}

std::string clsFncDef::GetNameArgs() const {
    if (Params.empty()) return Name;
    std::string text = Name + "(";
    for (std::size_t i = 0; i < Params.size(); ++i) text += (i ? ", " : "") + Params[i].Name;
    return text + ")";
}

std::string clsFncDef::GetNameVals() const {
    if (Params.empty()) return Name;
    std::string text = Name + "(";
    for (std::size_t i = 0; i < Params.size(); ++i) text += (i ? "," : "") + GeneralNumberText(Params[i].Value);
    return text + ")";
}

void clsFncDef::ReadData(clsOldStream& stream) {
    Name = stream.GetString();
    // A damaged record may claim any count. Reads past the last value give nothing, so
    // only the parameters the record actually holds are created.
    const std::int32_t count = stream.GetLong(0, std::numeric_limits<std::int32_t>::max());
    const std::size_t available = stream.Values.size() - static_cast<std::size_t>(stream.ReadPosition);
    const std::size_t n = std::min(static_cast<std::size_t>(count), available);
    Params.clear();
    Params.resize(n);
    for (clsArg& arg : Params) arg.ReadData(stream);
    Body = stream.GetString();
    Description = stream.GetString();
}

void clsFncDef::WriteData(clsOldStream& stream) const {
    stream.SetString(Name);
    stream.SetLong(static_cast<std::int32_t>(Params.size()));
    for (const clsArg& arg : Params) arg.WriteData(stream);
    stream.SetString(Body);
    stream.SetString(Description);
}

} // namespace ov
