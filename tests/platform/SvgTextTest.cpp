// Text pieces of the SVG writer: numbers, escaped attribute values and id bases.

#include "platform/svg/SvgText.h"

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

TEST(SvgTextTest, NumbersAreShortDecimalsWhateverTheLocale) {
    const std::locale old = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> cases[] = {
        {2, "2"}, {-1.25, "-1.25"}, {2.0 / 3, "0.666667"}, {1234567.25, "1234567.25"},
        {11.692913385826772, "11.692913"}, {-1e-7, "0"}, {-0.0, "0"}, {nan, "0"}, {inf, "0"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(Number(value), text) << value;
    const std::string huge = Number(1e300);
    std::locale::global(old);
    EXPECT_TRUE(huge.size() == 301u && huge.find_first_not_of("0123456789") == std::string::npos) << huge;
}

TEST(SvgTextTest, AttributeValuesEscapeMarkupAndReplaceWhatXmlCannotHold) {
    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"\"Tom & Jerry's\" <c>", "&quot;Tom &amp; Jerry's&quot; &lt;c&gt;"},
        {"a\tb\nc\rd", "a&#9;b&#10;c&#13;d"}, // a reader would normalise these away
        {"H\xC3\xA4user \xE2\x82\xAC \xF0\x9F\x8F\xA0", "H\xC3\xA4user \xE2\x82\xAC \xF0\x9F\x8F\xA0"},
        {std::string("a\x01") + "b", "a" + fffd + "b"},
        {std::string("a\0b", 3), "a" + fffd + "b"},
        {"\xC3(", fffd + "("},                      // truncated sequence
        {"\xC0\xAF", fffd + fffd},                  // overlong '/'
        {"\xED\xA0\x80", fffd + fffd + fffd},       // surrogate half
        {"\xEF\xBF\xBE", fffd},                     // U+FFFE
        {"end\xE2\x82", "end" + fffd + fffd},       // cut at the end
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(EscapeAttribute(in), out) << in;
}

TEST(SvgTextTest, IdBasesKeepNameCharactersAndStartWithALetterOrUnderscore) {
    const std::pair<const char*, const char*> cases[] = {
        {"x.y-z_9", "x.y-z_9"}, {"_hidden", "_hidden"}, {"a b<c>", "a_b_c_"}, {"1st", "_1st"}, {"-x", "_-x"},
        {".x", "_.x"},          {"<>", "__"},           {"H\xC3\xA4us", "H_us"}, // one '_' per character
        {"\xE2\x82\xAC" "5", "_5"}};
    for (const auto& [name, id] : cases) EXPECT_EQ(IdBase(name), id) << name;
}

} // namespace
