#include <gtest/gtest.h>

#include "ViewFakes.h"
#include "io/NumberText.h"
#include "io/clsStream.h"
#include "platform/svg/SvgDrawApp.h"
#include "style/clsFont.h"
#include "style/clsOutline.h"

using namespace ov;

namespace {

// What a drawing program's shape was told: "none", or its width in points, the style ("-": the default) and the blue.
std::string Told(const test::FakeDrawShape& s) {
    const std::string style = s.outlineStyle < 0 ? "-" : std::to_string(s.outlineStyle);
    if (s.outlineNone) return "none";
    return GeneralNumberText(s.outlineWidth * 72) + " " + style + " " + std::to_string(s.outlineBlue);
}

} // namespace

TEST(Outline, EachStyleGivesItsPenShapeOutlineAndButtonAndWidthZeroGoesWithStyleNone) {
    const struct { std::int32_t style; double width; Qt::PenStyle pen; int px; const char *told, *text; } cases[] = {
        {clsOutline::StyleSolid, 0.216, Qt::SolidLine, 7, "0.216 0 3", "Hair, solid"},
        {clsOutline::StyleDashed, 0.3, Qt::DashLine, 1, "0.3 12 3", "0.25 pt, dash"}, // dashes, dots: one unit wide
        {clsOutline::StyleDotted, 0.4, Qt::DotLine, 1, "0.4 2 3", "0.5 pt, dot"},     // text in quarter points
        {42, 7, Qt::SolidLine, 7, "7 - 3", "7 pt, solid"},                            // unknown styles from a file
        {clsOutline::StyleNone, 0, Qt::NoPen, 0, "none", "None"},
    };
    SvgDrawApp app;
    for (const auto& k : cases) {
        clsOutline o(k.width, 1, 2, 3);
        test::FakeDrawShape shape;
        o.Style = k.style, o.ApplyToShape(shape, app);
        const QPen pen = o.GetGDIPen(7);
        EXPECT_TRUE(pen.style() == k.pen && pen.width() == k.px && pen.color() == QColor(1, 2, 3)) << k.text;
        EXPECT_EQ(Told(shape), k.told);
        EXPECT_TRUE(o.GetButtonLook(true).Text == k.text && o.GetButtonLook(true).RGBColor == (k.style ? 0x030201 : 0));
        EXPECT_EQ(o.GetButtonLook(false).System, k.style ? SystemColor::GrayText : SystemColor::ButtonFace);
    }
    clsOutline o;
    o.Style = clsOutline::StyleDotted, o.SetPointWidth(2); // a chosen dash style stays; the colour button greys
    EXPECT_TRUE(o.Style == clsOutline::StyleDotted && o.Color.GetButtonLook(false).System == SystemColor::GrayText);
}

TEST(StyleRecords, RoundTripClampAndMissingKeysReadAsZeroNotAsTheDefaults) {
    clsOutline o(2.5, 0, 128, 0), ro;
    clsFont f, rf;
    o.Style = clsOutline::StyleDashed, f.Size = 10.5f, f.Italic = true, f.CharSet = 238;
    f.Color.SetRGBColor(1, 2, 3);
    clsStream so, sf, empty;
    o.WriteData(so), f.WriteData(sf);
    EXPECT_EQ(sf.GetVal("Size", false, ""), "105"); // tenths of a point
    ro.ReadData(so), rf.ReadData(sf);
    EXPECT_TRUE(ro.Width == 2.5 && ro.Style == clsOutline::StyleDashed && ro.Color.GetGreen() == 128);
    EXPECT_TRUE(rf.Size == 10.5f && rf.Italic && !rf.Bold && rf.Color.IsSame(f.Color) && rf.CharSet == 238);
    ro.ReadData(empty), rf.ReadData(empty);
    EXPECT_TRUE(ro.Width == 0 && ro.Style == clsOutline::StyleNone && ro.Color.RGBColor == 0);
    EXPECT_TRUE(rf.Size == 0 && rf.Name.empty() && rf.CharSet == 0 && !rf.Italic && rf.GetHFont().pixelSize() == 1);
    ro.SetHairline(); // a visible width never keeps style none
    sf.SetLong("CharSet", 999);
    sf.CreateSubStream("Color").SetLong("RGBColor", 2000000000);
    rf.ReadData(sf);
    EXPECT_TRUE(rf.CharSet == 255 && rf.Color.RGBColor == 1073741824 && ro.Style == clsOutline::StyleSolid);
}

TEST(Font, ButtonTextWeightAndMetricsThatScaleWithTheSize) {
    clsFont f;
    EXPECT_TRUE(f.GetButtonText() == "10 pt, Arial" && f.CharSet == 1 && f.GetWeight() == 400);
    double w10, h10, w20, h20, widest, tallest, ascent, lessLeading;
    f.GetTextSize("Perspective", w10, h10);
    f.GetMetrics(ascent, lessLeading);
    f.EstimateTextSize({"i", "Perspective", "ab"}, widest, tallest);
    EXPECT_TRUE(w10 > 20 && w10 < 100 && h10 > 9 && h10 < 15 && widest == w10 && tallest == h10);
    EXPECT_TRUE(ascent > 7 && ascent < 11 && lessLeading > 5 && lessLeading < ascent);
    f.Size = 20.1f, f.GetTextSize("Perspective", w20, h20);
    EXPECT_TRUE(std::fabs(w20 - 2.01 * w10) < 0.3 && std::fabs(h20 - 2.01 * h10) < 0.3);
    f.Bold = true;
    EXPECT_TRUE(f.GetButtonText() == "20.1 pt, Arial" && f.GetWeight() == 700); // the single's shortest form
    f.Size = 1e8f, f.GetMetrics(ascent, lessLeading); // absurd sizes from a file are measured without trouble
    EXPECT_TRUE(std::isfinite(ascent) && f.GetHFont().pixelSize() == clsFont::MaxPixelSize);
}
