#include "io/NumberText.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>

namespace ov {

namespace {

// Digits and decimal exponent of |value| rounded to 15 significant digits.
struct Decimal {
    std::string digits; // without trailing zeros, at least one digit, first digit non-zero
    int exponent = 0;   // value = 0.d1d2d3... * 10^(exponent + 1), i.e. d1 sits at 10^exponent
};

Decimal ToDecimal(double magnitude) {
    char buf[64];
    // Scientific form with 14 decimals gives exactly 15 significant digits, correctly
    // rounded (halves to even), as d.dddddddddddddde+XX: the same text as printf's "%.14e",
    // without the cost of printf.
    const std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 14);
    *r.ptr = '\0';
    Decimal d;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    if (*p == 'e') d.exponent = std::atoi(p + 1);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

std::string PlainForm(const Decimal& d, bool leadingZero) {
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent < 0)
        return (leadingZero ? "0." : ".") + std::string(static_cast<size_t>(-d.exponent - 1), '0') + d.digits;
    const int intDigits = d.exponent + 1;
    if (n <= intDigits) return d.digits + std::string(static_cast<size_t>(intDigits - n), '0');
    return d.digits.substr(0, static_cast<size_t>(intDigits)) + "." +
           d.digits.substr(static_cast<size_t>(intDigits));
}

std::string ExponentForm(const Decimal& d) {
    std::string text = d.digits.substr(0, 1);
    if (d.digits.size() > 1) text += "." + d.digits.substr(1);
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
    return text + exp;
}

bool IsIgnoredBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Value of a run of hexadecimal or octal digits. Long runs keep growing as doubles and
// saturate; the reading is never an error.
double ReadRadixInteger(std::string_view s, size_t i, int radix) {
    double value = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else break;
        if (digit >= radix) break;
        value = value * radix + digit;
    }
    return std::isfinite(value) ? value : DBL_MAX;
}

// Exponents are held to this magnitude before the mantissa's digit count is added to
// them: far beyond any double, yet far from the integer range, so that a written exponent
// of any length cannot overflow the sum.
constexpr long long kExponentBound = 1000000000000LL;

// Rough decimal exponent of a normalised numeric prefix ("digits[.digits][e[sign]digits]"),
// enough to tell an overflow from an underflow.
long long DecimalExponent(const std::string& s) {
    const size_t e = s.find('e');
    const std::string mantissa = s.substr(0, e);
    long long exponent = e == std::string::npos ? 0 : std::strtoll(s.c_str() + e + 1, nullptr, 10);
    exponent = std::clamp(exponent, -kExponentBound, kExponentBound);
    const size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const size_t firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string::npos)
        return exponent + static_cast<long long>(whole.size() - firstNonZero) - 1;
    if (point == std::string::npos) return exponent;
    const std::string fraction = mantissa.substr(point + 1);
    const size_t lead = fraction.find_first_not_of('0');
    return exponent - static_cast<long long>(lead == std::string::npos ? fraction.size() : lead) - 1;
}

std::function<std::string(double)>& LocaleFormatter() {
    static std::function<std::string(double)> formatter;
    return formatter;
}

} // namespace

static std::string DecimalText(double value, bool leadingZero) {
    if (std::isnan(value) || value == 0) return "0";
    if (std::isinf(value)) return value > 0 ? "1E+308" : "-1E+308";
    const Decimal d = ToDecimal(std::fabs(value));
    const bool exponentForm = d.exponent < -4 || d.exponent > 14;
    std::string text = exponentForm ? ExponentForm(d) : PlainForm(d, leadingZero);
    return value < 0 ? "-" + text : text;
}

bool ConvertDecimal(std::string_view normalized, double& value) {
    value = 0;
    const auto result = std::from_chars(normalized.data(), normalized.data() + normalized.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (DecimalExponent(std::string(normalized)) < 0) {
            value = 0;
            return true;
        }
        value = DBL_MAX;
        return false;
    }
    if (result.ec != std::errc() || !std::isfinite(value)) value = 0;
    return true;
}

std::string EncodeDouble(double value) { return DecimalText(value, false); }

std::string GeneralNumberText(double value) { return DecimalText(value, true); }

std::string EncodeLong(std::int32_t value) { return std::to_string(value); }

double ReadNumber(std::string_view text) {
    // Collect the numeric prefix with the ignorable blanks removed, normalised so that
    // std::from_chars (locale independent) can convert it.
    std::string s;
    s.reserve(text.size() < 64 ? text.size() : 64);
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && IsIgnoredBlank(text[i])) ++i;
    };
    skipBlanks();
    if (i < text.size() && text[i] == '&') {
        std::string rest;
        for (size_t j = i + 1; j < text.size(); ++j)
            if (!IsIgnoredBlank(text[j])) rest.push_back(text[j]);
        if (!rest.empty() && (rest[0] == 'H' || rest[0] == 'h')) return ReadRadixInteger(rest, 1, 16);
        if (!rest.empty() && (rest[0] == 'O' || rest[0] == 'o')) return ReadRadixInteger(rest, 1, 8);
        return 0;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool anyDigit = false, seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsIgnoredBlank(c)) continue;
        if (IsDigit(c)) {
            s.push_back(c);
            anyDigit = true;
        } else if (c == '.' && !seenPoint) {
            s.push_back(c);
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::string exp = "e";
        size_t j = i + 1;
        while (j < text.size() && IsIgnoredBlank(text[j])) ++j;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp.push_back(text[j++]);
        bool expDigit = false;
        for (; j < text.size(); ++j) {
            if (IsIgnoredBlank(text[j])) continue;
            if (!IsDigit(text[j])) break;
            expDigit = true;
            // Exponents beyond a few digits only saturate; keep the text short. Leading
            // zeros carry no value and must not use up the digits that are kept.
            if (text[j] == '0' && (exp.size() == 1 || (exp.size() == 2 && !IsDigit(exp[1])))) continue;
            if (exp.size() < 12) exp.push_back(text[j]);
        }
        if (expDigit) {
            if (!IsDigit(exp.back())) exp.push_back('0'); // the exponent was all zeros
            s += exp;
        }
    }
    double value = 0;
    ConvertDecimal(s, value); // overflow saturates
    return negative ? -value : value;
}

double RoundHalfEven(double value) {
    const double r = std::round(value); // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5 && std::fmod(r, 2.0) != 0) return r - std::copysign(1.0, value);
    return r;
}

double ClampValue(double value, double minimum, double maximum) {
    if (!(value >= minimum)) value = minimum;
    if (value > maximum) value = maximum;
    return value;
}

std::int32_t ReadLongClamped(std::string_view text, std::int32_t minimum, std::int32_t maximum) {
    const double value = ClampValue(ReadNumber(text), minimum, maximum);
    // A reversed range clamps to the minimum first and then to the maximum, as the rule
    // says; the rounded result always lies between the two bounds.
    return static_cast<std::int32_t>(RoundHalfEven(value));
}

std::string LocaleNumberText(double value) {
    if (const auto& f = LocaleFormatter()) return f(value);
    std::ostringstream out;
    out.imbue(std::locale());
    out.precision(15);
    out << value;
    return out.str();
}

void SetLocaleNumberFormatter(std::function<std::string(double)> formatter) {
    LocaleFormatter() = std::move(formatter);
}

} // namespace ov
