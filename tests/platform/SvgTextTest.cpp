// Text pieces of the SVG writer: escaped attribute values and id bases (numbers: SvgScaleTest).

#include "platform/svg/SvgText.h"

#include <gtest/gtest.h>

namespace {

using namespace ov::svgtext;

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
    const std::pair<const char*, const char*> cases[] = {{"x.y-z_9", "x.y-z_9"}, {"_hidden", "_hidden"}, {"-x", "_-x"},
        {".x", "_.x"}, {"<>", "__"}, {"H\xC3\xA4us", "H_us"}, {"\xE2\x82\xAC" "5", "_5"}}; // one '_' per character
    for (const auto& [name, id] : cases) EXPECT_EQ(IdBase(name), id) << name;
}

} // namespace
