// Text pieces of the SVG writer: numbers, colours, escaped attribute values and id bases.

#include "platform/svg/SvgText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <locale>

namespace {

using namespace ov::svgtext;

// A decimal comma and digit grouping, as a German user's locale would have them.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

class GlobalLocale {
public:
    explicit GlobalLocale(const std::locale& locale) : old_(std::locale::global(locale)) {}
    ~GlobalLocale() { std::locale::global(old_); }

private:
    std::locale old_;
};

TEST(SvgTextTest, NumbersAreShortDecimalsWhateverTheLocale) {
    GlobalLocale comma(std::locale(std::locale::classic(), new CommaPunct));
    EXPECT_EQ(Number(0), "0");
    EXPECT_EQ(Number(2), "2");
    EXPECT_EQ(Number(8.5), "8.5");
    EXPECT_EQ(Number(-1.25), "-1.25");
    EXPECT_EQ(Number(1.0 / 3), "0.333333");
    EXPECT_EQ(Number(2.0 / 3), "0.666667");
    EXPECT_EQ(Number(1234567.25), "1234567.25");
    EXPECT_EQ(Number(11.692913385826772), "11.692913");
    // Below the last decimal: rounds to zero, without a sign.
    EXPECT_EQ(Number(1e-7), "0");
    EXPECT_EQ(Number(-1e-7), "0");
    EXPECT_EQ(Number(-0.0), "0");
    // Nothing a reader would refuse.
    EXPECT_EQ(Number(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(Number(std::numeric_limits<double>::infinity()), "0");
    const std::string huge = Number(1e300);
    EXPECT_EQ(huge.size(), 301u);
    EXPECT_EQ(huge.find_first_not_of("0123456789"), std::string::npos);
}

TEST(SvgTextTest, ColoursAreHexTripletsClampedToTheByteRange) {
    EXPECT_EQ(HexColor({0, 0, 0}), "#000000");
    EXPECT_EQ(HexColor({255, 128, 0}), "#ff8000");
    EXPECT_EQ(HexColor({1, 171, 254}), "#01abfe");
    EXPECT_EQ(HexColor({-5, 300, 16}), "#00ff10");
}

TEST(SvgTextTest, AttributeValuesEscapeMarkupAndReplaceWhatXmlCannotHold) {
    EXPECT_EQ(EscapeAttribute("House"), "House");
    EXPECT_EQ(EscapeAttribute("a b<c>"), "a b&lt;c&gt;");
    EXPECT_EQ(EscapeAttribute("\"Tom & Jerry's\""), "&quot;Tom &amp; Jerry's&quot;");
    // Whitespace other than the blank would be normalised away by a reader.
    EXPECT_EQ(EscapeAttribute("a\tb\nc\rd"), "a&#9;b&#10;c&#13;d");
    // Well-formed UTF-8 passes unchanged, up to four-byte sequences.
    EXPECT_EQ(EscapeAttribute("H\xC3\xA4user \xE2\x82\xAC \xF0\x9F\x8F\xA0"),
              "H\xC3\xA4user \xE2\x82\xAC \xF0\x9F\x8F\xA0");

    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(EscapeAttribute(std::string("a\x01") + "b"), "a" + fffd + "b");
    EXPECT_EQ(EscapeAttribute(std::string("a\0b", 3)), "a" + fffd + "b");
    EXPECT_EQ(EscapeAttribute("\xC3("), fffd + "(");                // truncated sequence
    EXPECT_EQ(EscapeAttribute("\xC0\xAF"), fffd + fffd);            // overlong '/'
    EXPECT_EQ(EscapeAttribute("\xED\xA0\x80"), fffd + fffd + fffd); // surrogate half
    EXPECT_EQ(EscapeAttribute("\xEF\xBF\xBE"), fffd);               // U+FFFE
    EXPECT_EQ(EscapeAttribute("end\xE2\x82"), "end" + fffd + fffd); // cut at the end
}

TEST(SvgTextTest, IdBasesKeepNameCharactersAndStartWithALetterOrUnderscore) {
    EXPECT_EQ(IdBase("House"), "House");
    EXPECT_EQ(IdBase("x.y-z_9"), "x.y-z_9");
    EXPECT_EQ(IdBase("_hidden"), "_hidden");
    EXPECT_EQ(IdBase("a b<c>"), "a_b_c_");
    EXPECT_EQ(IdBase("1st"), "_1st");
    EXPECT_EQ(IdBase("-x"), "_-x");
    EXPECT_EQ(IdBase(".x"), "_.x");
    EXPECT_EQ(IdBase("<>"), "__");
    // One replacement per character, not per byte.
    EXPECT_EQ(IdBase("H\xC3\xA4us"), "H_us");
    EXPECT_EQ(IdBase("\xE2\x82\xAC"
                     "5"),
              "_5");
}

} // namespace
