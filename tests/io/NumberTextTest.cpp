#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <regex>

#include "io/NumberText.h"

using namespace ov;

static const double kDenorm = std::numeric_limits<double>::denorm_min();

// Shape of every encoded double: optional "-", an integer without leading zeros or a fraction without a "0"
// before the point and without trailing zeros, then optionally an exponent with sign and two or more digits.
static bool HasFileShape(const std::string& text) {
    static const std::regex shape(R"(-?([1-9][0-9]*(\.[0-9]*[1-9])?|\.[0-9]*[1-9])(E[+-][0-9]{2,})?)");
    return std::regex_match(text, shape);
}

static int SignificantDigits(const std::string& text) {
    std::string digits;
    for (const char c : text.substr(0, text.find('E')))
        if (c >= '0' && c <= '9') digits.push_back(c);
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? 0 : static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

TEST(EncodeDouble, CompactLocaleFreeFormWithCarriesAndExtremes) {
    const struct { double value; const char* text; } cases[] = {
        {0, "0"}, {-0.0, "0"}, {-1, "-1"}, {100, "100"}, {0.5, ".5"}, {-0.125, "-.125"}, {-12345.678, "-12345.678"},
        {0.1 + 0.2, ".3"}, {2.0 / 3, ".666666666666667"}, {-1.0 / 3, "-.333333333333333"}, {0.00012345, ".00012345"},
        {0.00001, "1E-05"}, {-0.000015, "-1.5E-05"}, {1.5e20, "1.5E+20"}, {1e100, "1E+100"}, {1e-100, "1E-100"},
        {1e14, "100000000000000"}, {999999999999999, "999999999999999"}, {-1e15, "-1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"}, {1234567.8901234567, "1234567.89012346"},
        // Rounding that carries moves the exponent and the form.
        {-9.999999999999999e14, "-1E+15"}, {99999.99999999999, "100000"}, {0.9999999999999999, "1"},
        {0.09999999999999999, ".1"}, {9.9999999999999999e-5, ".0001"}, {9.999999999999999e-6, "1E-05"},
        {9.9999999999999e99, "9.9999999999999E+99"}, {9.999999999999999e99, "1E+100"},
        {DBL_MAX, "1.79769313486232E+308"}, {DBL_MIN, "2.2250738585072E-308"}, {-kDenorm, "-4.94065645841247E-324"},
        {std::numeric_limits<double>::quiet_NaN(), "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(EncodeDouble(c.value), c.text) << "value " << c.value;
    // The largest double's text lies above DBL_MAX; reading it saturates. Infinities give readable numbers.
    EXPECT_EQ(ReadNumber(EncodeDouble(-DBL_MAX)), -DBL_MAX);
    EXPECT_EQ(ReadNumber(EncodeDouble(kDenorm)), kDenorm);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(ReadNumber(EncodeDouble(inf)) > 1e307 && ReadNumber(EncodeDouble(-inf)) < -1e307);
}

TEST(EncodeDouble, EveryEncodingHasTheFileShapeAndReadsBackWithinFifteenDigits) {
    for (const char* bad : {"0.5", "1.50", "1.", "01", "-", "", "1E5", "1E+5", "1e+05", ".5E-5", "--1"})
        EXPECT_FALSE(HasFileShape(bad)) << bad;
    std::mt19937_64 rng(20261205);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 307);
    for (int i = 0; i < 20000; ++i) {
        double x;
        if (i % 4 == 0) { // arbitrary bit patterns, including subnormals
            std::uint64_t bits = rng();
            std::memcpy(&x, &bits, sizeof x);
            if (!std::isfinite(x)) continue;
        } else {
            x = mantissa(rng) * std::pow(10.0, exponent(rng));
            if (i % 3 == 0) x = std::nearbyint(mantissa(rng) * std::pow(10.0, i % 19)); // integral values
            if (i % 2 == 0) x = -x;
        }
        const std::string text = EncodeDouble(x);
        if (x == 0) continue;
        ASSERT_TRUE(HasFileShape(text)) << text;
        EXPECT_LE(SignificantDigits(text), 15) << text;
        // The exponent form is used exactly when the rounded value is below 1E-04 or at least 1E+15.
        const double back = ReadNumber(text);
        EXPECT_EQ(text.find('E') != std::string::npos, std::fabs(back) < 1e-4 || std::fabs(back) >= 1e15) << text;
        EXPECT_LE(std::fabs(back - x), std::max(std::fabs(x) * 5.12e-15, kDenorm)) << text;
        EXPECT_EQ(EncodeDouble(back), text) << "encoding the read value changed it: " << text;
    }
    for (const std::int32_t v : {0, -1, 123456789, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(EncodeLong(v), std::to_string(v));
        EXPECT_EQ(ReadNumber(EncodeLong(v)), v);
        EXPECT_EQ(ReadNumber(EncodeDouble(v)), v);
    }
}

TEST(ReadNumber, ReadsTheLongestNumericPrefixIgnoringBlanksTabsAndLineFeeds) {
    const struct { std::string text; double value; } cases[] = {
        {"+42", 42}, {"-.125", -0.125}, {"5.", 5}, {"1.5E+20", 1.5e20}, {"-2.5E-07", -2.5e-7}, {"1e3", 1000},
        {"1D3", 1000}, {"1d-2", 0.01}, {"12abc", 12}, {"1.2.3", 1.2}, {"3e", 3}, {"3e+", 3}, {"3e+x7", 3}, {"7-3", 7},
        {"1e2e3", 100}, {"1x1e3", 1}, {"0x1F", 0}, {"&H1F", 31}, {"&hff", 255}, {"&O17", 15}, {"&o777", 511},
        {"&O19", 1}, {"&HG", 0}, {"&H", 0}, {"&", 0}, {"&X12", 0}, {"1E-00000000000000000001", 0.1},
        {"1E+0000000000005", 1e5}, {"2.5E000", 2.5}, {"000000000000000000000000000000012.5", 12.5},
        {"1 2 3", 123}, {"- 5", -5}, {"\t-\t.\t5", -0.5}, {"1\n0", 10}, {"1e - 3", 0.001}, {"2 . 5 D + 1", 25},
        {"& H 1 F", 31}, {"&\tO\n17", 15}, {" \t\n42 \t\n", 42}, {"1\r2", 1}, {"1\v2", 1}, // other controls end it
        // Overflow saturates, underflow goes to zero, mantissa and exponent may balance out.
        {"1E+309", DBL_MAX}, {"-9D9999", -DBL_MAX}, {"1e99999999999999999999", DBL_MAX}, {"-1E-400", 0},
        {"1e-99999999999999999999", 0}, {"1" + std::string(400, '0'), DBL_MAX}, {"." + std::string(400, '0') + "1", 0},
        {"." + std::string(400, '0') + "1E+401", 1}, {"1" + std::string(400, '0') + "E-400", 1},
        {"&H" + std::string(300, 'F'), DBL_MAX}, {"&O" + std::string(400, '7'), DBL_MAX},
        {"4.9406564584124654E-324", kDenorm},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadNumber(c.text), c.value) << '"' << c.text.substr(0, 40) << '"';
    for (const char* text : {"", " ", "abc", "-", "+", ".", "-.", "--5", "+-5", "E5", "x1", "\r5", "=5", "inf", "nan",
                             "NaN", "\xff" "5"})
        EXPECT_EQ(ReadNumber(text), 0) << '"' << text << '"';
}

TEST(NumberText, RoundingHalvesToEvenClampingMinimumFirstAndClampedLongs) {
    const struct { double in, out; } halves[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.6, 3}, {-2.6, -3}, {0.49999999999999994, 0},
        {2147483646.5, 2147483646}, {-2147483647.5, -2147483648.0}, {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto& c : halves) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
    // NaN is not >= the minimum; a reversed range ends at the maximum, applied last.
    EXPECT_TRUE(ClampValue(std::numeric_limits<double>::quiet_NaN(), 1, 10) == 1 && ClampValue(0, 10, 1) == 1);
    const struct { const char* text; std::int32_t minimum, maximum, expected; } cases[] = {
        {"12", 1, 10, 10}, {"2.5", 1, 10, 2}, {"3.5", 1, 10, 4}, {"-2.5", -10, 10, -2}, {"0.6", 1, 10, 1},
        {"10.4", 1, 10, 10}, {"", 1, 10, 1}, {"abc", -5, 5, 0}, {"-1e300", -3, 3, -3}, {"-50", 10, 1, 1},
        {"2147483647.4", INT32_MIN, INT32_MAX, INT32_MAX}, {"9e99", INT32_MIN, INT32_MAX, INT32_MAX},
        {"-2147483648.5", INT32_MIN, INT32_MAX, INT32_MIN}, {"&H10", 0, 100, 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadLongClamped(c.text, c.minimum, c.maximum), c.expected)
            << '"' << c.text << "\" in [" << c.minimum << ", " << c.maximum << "]";
}
