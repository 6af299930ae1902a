#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "io/NumberText.h"

using namespace ov;

namespace {

struct Encoded {
    double value;
    const char* text;
};

// Shape every encoded double must have: optional "-", then either an integer without
// leading zeros or a fraction without a "0" before the point and without trailing zeros,
// optionally followed by an exponent with sign and at least two digits.
bool HasFileShape(const std::string& text) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        return i - start;
    };
    if (i < text.size() && text[i] == '-') ++i;
    const std::size_t intStart = i;
    const std::size_t intDigits = digits();
    if (intDigits > 0 && text[intStart] == '0') return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        if (digits() == 0 || text[i - 1] == '0') return false;
    } else if (intDigits == 0) {
        return false;
    }
    if (i < text.size() && text[i] == 'E') {
        ++i;
        if (i == text.size() || (text[i] != '+' && text[i] != '-')) return false;
        ++i;
        if (digits() < 2) return false;
    }
    return i == text.size();
}

int SignificantDigits(const std::string& text) {
    std::string digits;
    for (const char c : text.substr(0, text.find('E')))
        if (c >= '0' && c <= '9') digits.push_back(c);
    const auto first = digits.find_first_not_of('0');
    const auto last = digits.find_last_not_of('0');
    if (first == std::string::npos) return 0;
    // Trailing zeros of an integer written in full are placeholders, not digits.
    return static_cast<int>(last - first + 1);
}

} // namespace

TEST(EncodeDouble, WritesTheCompactLocaleFreeForm) {
    const Encoded cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-1, "-1"},
        {100, "100"},
        {0.5, ".5"},
        {-0.125, "-.125"},
        {1.5, "1.5"},
        {-12345.678, "-12345.678"},
        {0.1 + 0.2, ".3"},
        {1.0 / 3, ".333333333333333"},
        {2.0 / 3, ".666666666666667"},
        {-1.0 / 3, "-.333333333333333"},
        {0.0001, ".0001"},
        {0.00012345, ".00012345"},
        {0.00001, "1E-05"},
        {-0.000015, "-1.5E-05"},
        {-2.5e-7, "-2.5E-07"},
        {1.5e20, "1.5E+20"},
        {1e100, "1E+100"},
        {1e-100, "1E-100"},
        {1e14, "100000000000000"},
        {999999999999999, "999999999999999"},
        {1e15, "1E+15"},
        {-1e15, "-1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {1234567.8901234567, "1234567.89012346"},
    };
    for (const auto& c : cases) EXPECT_EQ(EncodeDouble(c.value), c.text) << "value " << c.value;
}

TEST(EncodeDouble, RoundingThatCarriesMovesTheExponentAndTheForm) {
    // Sixteen nines round up to the next power of ten; the form follows the rounded value.
    EXPECT_EQ(EncodeDouble(9.999999999999999e14), "1E+15");
    EXPECT_EQ(EncodeDouble(-9.999999999999999e14), "-1E+15");
    EXPECT_EQ(EncodeDouble(99999.99999999999), "100000");
    EXPECT_EQ(EncodeDouble(0.9999999999999999), "1");
    EXPECT_EQ(EncodeDouble(0.09999999999999999), ".1");
    EXPECT_EQ(EncodeDouble(9.9999999999999999e-5), ".0001");  // from exponent form to plain
    EXPECT_EQ(EncodeDouble(9.999999999999999e-6), "1E-05");
    EXPECT_EQ(EncodeDouble(9.9999999999999e99), "9.9999999999999E+99"); // 14 nines stay
    EXPECT_EQ(EncodeDouble(9.999999999999999e99), "1E+100");             // into three exponent digits
}

TEST(EncodeDouble, HandlesTheExtremesOfTheDoubleRange) {
    EXPECT_EQ(EncodeDouble(DBL_MAX), "1.79769313486232E+308");
    EXPECT_EQ(EncodeDouble(-DBL_MAX), "-1.79769313486232E+308");
    EXPECT_EQ(EncodeDouble(DBL_MIN), "2.2250738585072E-308");
    EXPECT_EQ(EncodeDouble(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
    EXPECT_EQ(EncodeDouble(-std::numeric_limits<double>::denorm_min()), "-4.94065645841247E-324");

    // The largest double's text lies above DBL_MAX; reading it must saturate, not overflow.
    EXPECT_EQ(ReadNumber(EncodeDouble(DBL_MAX)), DBL_MAX);
    EXPECT_EQ(ReadNumber(EncodeDouble(-DBL_MAX)), -DBL_MAX);
    // The smallest normal double reads back within the usual 15-digit precision, not exactly.
    EXPECT_NEAR(ReadNumber(EncodeDouble(DBL_MIN)), DBL_MIN, DBL_MIN * 5.12e-15);
    EXPECT_EQ(ReadNumber(EncodeDouble(std::numeric_limits<double>::denorm_min())),
              std::numeric_limits<double>::denorm_min());
}

TEST(EncodeDouble, EveryEncodingHasTheFileShapeAndReadsBackWithinFifteenDigits) {
    for (const char* bad : {"0.5", "1.50", "1.", "01", "-", "", "1E5", "1E+5", "1e+05", ".5E-5", "--1"})
        EXPECT_FALSE(HasFileShape(bad)) << bad;

    std::mt19937_64 rng(20261205);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (int i = 0; i < 20000; ++i) {
        double x;
        if (i % 4 == 0) {
            // Arbitrary bit patterns, including subnormals; skip NaN and infinities.
            std::uint64_t bits = rng();
            std::memcpy(&x, &bits, sizeof x);
            if (!std::isfinite(x)) continue;
        } else {
            x = mantissa(rng) * std::pow(10.0, exponent(rng));
            if (i % 3 == 0) x = std::nearbyint(mantissa(rng) * std::pow(10.0, i % 19)); // integral values
            if (i % 2 == 0) x = -x;
        }
        const std::string text = EncodeDouble(x);
        if (x == 0) {
            EXPECT_EQ(text, "0");
            continue;
        }
        ASSERT_TRUE(HasFileShape(text)) << text;
        EXPECT_LE(SignificantDigits(text), 15) << text;

        // The exponent form is used exactly when the rounded value is below 1E-04 or at
        // least 1E+15 (its decimal exponent is below -4 or above 14).
        const double back = ReadNumber(text);
        const bool exponentForm = text.find('E') != std::string::npos;
        EXPECT_EQ(exponentForm, std::fabs(back) < 1e-4 || std::fabs(back) >= 1e15) << text;

        EXPECT_LE(std::fabs(back - x), std::max(std::fabs(x) * 5.12e-15, std::numeric_limits<double>::denorm_min()))
            << text;
        EXPECT_EQ(EncodeDouble(back), text) << "encoding the read value changed it: " << text;
    }
}

TEST(EncodeDouble, NonFiniteValuesStillGiveReadableNumbers) {
    // Nothing finite can be written for them; what is written must read back as a number.
    EXPECT_EQ(EncodeDouble(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_TRUE(std::isfinite(ReadNumber(EncodeDouble(std::numeric_limits<double>::infinity()))));
    EXPECT_GT(ReadNumber(EncodeDouble(std::numeric_limits<double>::infinity())), 1e307);
    EXPECT_LT(ReadNumber(EncodeDouble(-std::numeric_limits<double>::infinity())), -1e307);
}

TEST(EncodeLong, WritesPlainDecimalDigits) {
    EXPECT_EQ(EncodeLong(0), "0");
    EXPECT_EQ(EncodeLong(42), "42");
    EXPECT_EQ(EncodeLong(-7), "-7");
    EXPECT_EQ(EncodeLong(INT32_MAX), "2147483647");
    EXPECT_EQ(EncodeLong(INT32_MIN), "-2147483648");
}

TEST(ReadNumber, ReadsTheLongestNumericPrefix) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"-42", -42},
        {"+42", 42},
        {".5", 0.5},
        {"-.125", -0.125},
        {"5.", 5},
        {"1.5E+20", 1.5e20},
        {"1E-05", 1e-5},
        {"-2.5E-07", -2.5e-7},
        {"1e3", 1000},
        {"1D3", 1000},
        {"1d-2", 0.01},
        {"2.5e+2", 250},
        {"12abc", 12},
        {"1.2.3", 1.2},
        {"3e", 3},        // exponent letter without digits is not part of the number
        {"3e+", 3},
        {"3e+x7", 3},
        {"7-3", 7},
        {"1e2e3", 100},
        {"1x1e3", 1},
        {"0x1F", 0},      // no C-style hexadecimal
        {"&H1F", 31},
        {"&hff", 255},
        {"&HfF", 255},
        {"&O17", 15},
        {"&o777", 511},
        {"&O19", 1},      // 9 is no octal digit
        {"&HG", 0},
        {"&H", 0},
        {"&", 0},
        {"&X12", 0},
        {"1E-00000000000000000001", 0.1}, // leading zeros of the exponent carry no value
        {"1E+0000000000005", 1e5},
        {"2.5E000", 2.5},
        {"000000000000000000000000000000012.5", 12.5},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadNumber, TextThatDoesNotStartWithANumberReadsAsZero) {
    for (const char* text : {"", " ", "\t\n", "abc", "-", "+", ".", "-.", "--5", "+-5", "E5", "e5", "x1", "\r5",
                             "=5", "{", "inf", "nan", "Infinity", "NaN", "true", "\xff" "5"})
        EXPECT_EQ(ReadNumber(text), 0) << '"' << text << '"';
}

TEST(ReadNumber, IgnoresBlanksTabsAndLineFeedsAnywhere) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"  12", 12},
        {"1 2 3", 123},
        {"- 5", -5},
        {"\t-\t.\t5", -0.5},
        {"1\n0", 10},
        {"1 e 3", 1000},
        {"1e - 3", 0.001},
        {"2 . 5 D + 1", 25},
        {"& H 1 F", 31},
        {"&\tO\n17", 15},
        {" \t\n42 \t\n", 42},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << '"' << c.text << '"';
    // Only those three: a carriage return or other control character ends the number.
    EXPECT_EQ(ReadNumber("1\r2"), 1);
    EXPECT_EQ(ReadNumber("1\v2"), 1);
}

TEST(ReadNumber, OverflowSaturatesAndUnderflowGoesToZero) {
    const struct {
        std::string text;
        double value;
    } cases[] = {
        {"1E+309", DBL_MAX},
        {"-1E+309", -DBL_MAX},
        {"1e99999999999999999999", DBL_MAX},
        {"-9D9999", -DBL_MAX},
        {"1" + std::string(400, '0'), DBL_MAX},
        {"1E-400", 0},
        {"-1E-400", 0},
        {"1e-99999999999999999999", 0},
        {"." + std::string(400, '0') + "1", 0},
        {"." + std::string(400, '0') + "1E+401", 1},  // mantissa and exponent balance out
        {"1" + std::string(400, '0') + "E-400", 1},
        {"&H" + std::string(300, 'F'), DBL_MAX},
        {"&O" + std::string(400, '7'), DBL_MAX},
        {"4.9406564584124654E-324", std::numeric_limits<double>::denorm_min()},
    };
    for (const auto& c : cases) {
        const double v = ReadNumber(c.text);
        EXPECT_TRUE(std::isfinite(v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text.substr(0, 40);
    }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double in, out;
    } cases[] = {
        {0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},   {-0.5, 0},   {-1.5, -2}, {-2.5, -2},
        {2.4, 2},   {2.6, 3},   {-2.6, -3}, {0, 0},     {7, 7},      {-7, -7},   {0.49999999999999994, 0},
        {2147483646.5, 2147483646}, {-2147483647.5, -2147483648.0}, {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(ClampValue, MinimumFirstThenMaximum) {
    EXPECT_EQ(ClampValue(5, 1, 10), 5);
    EXPECT_EQ(ClampValue(0, 1, 10), 1);
    EXPECT_EQ(ClampValue(12, 1, 10), 10);
    EXPECT_EQ(ClampValue(1, 1, 10), 1);
    EXPECT_EQ(ClampValue(10, 1, 10), 10);
    EXPECT_EQ(ClampValue(std::numeric_limits<double>::quiet_NaN(), 1, 10), 1); // NaN is not >= the minimum
    // A reversed range always ends at the maximum, because it is applied last.
    EXPECT_EQ(ClampValue(5, 10, 1), 1);
    EXPECT_EQ(ClampValue(0, 10, 1), 1);
    EXPECT_EQ(ClampValue(20, 10, 1), 1);
}

TEST(ReadLongClamped, ClampsBeforeRoundingHalvesToEven) {
    const struct {
        const char* text;
        std::int32_t minimum, maximum, expected;
    } cases[] = {
        {"12", 1, 10, 10},  {"0", 1, 10, 1},    {"2.5", 1, 10, 2},   {"3.5", 1, 10, 4},   {"-2.5", -10, 10, -2},
        {"0.6", 1, 10, 1},  {"10.4", 1, 10, 10}, {"", 1, 10, 1},     {"abc", -5, 5, 0},   {"1e300", 0, 100, 100},
        {"-1e300", -3, 3, -3}, {"5", 10, 1, 1}, {"-50", 10, 1, 1},
        {"2147483647.4", INT32_MIN, INT32_MAX, INT32_MAX},
        {"9e99", INT32_MIN, INT32_MAX, INT32_MAX},
        {"-9e99", INT32_MIN, INT32_MAX, INT32_MIN},
        {"-2147483648.5", INT32_MIN, INT32_MAX, INT32_MIN},
        {"&H10", 0, 100, 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadLongClamped(c.text, c.minimum, c.maximum), c.expected)
            << '"' << c.text << "\" in [" << c.minimum << ", " << c.maximum << "]";
}

TEST(NumberText, IntegersSurviveEncodingAndReading) {
    for (const std::int32_t v : {0, 1, -1, 255, -1000000, 123456789, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(ReadNumber(EncodeLong(v)), v);
        EXPECT_EQ(ReadLongClamped(EncodeLong(v), INT32_MIN, INT32_MAX), v);
        EXPECT_EQ(ReadNumber(EncodeDouble(v)), v);
    }
}
