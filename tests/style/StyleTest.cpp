#include <gtest/gtest.h>

#include "io/clsStream.h"
#include "platform/DrawApp.h"
#include "style/clsColor.h"
#include "style/clsFont.h"
#include "style/clsOutline.h"

using namespace ov;

namespace {

// Records what the drawing program was told to do with one shape.
class RecordingShape : public draw::Shape {
public:
    bool none = false;
    double width = -1;
    std::optional<draw::OutlineStyle> style;
    draw::Color color;
    void SetOutlineProperties(double w, const std::optional<draw::OutlineStyle>& s, const draw::Color& c) override {
        width = w;
        style = s;
        color = c;
    }
    void SetOutlineNone() override { none = true; }
    void SetFillColor(const draw::Color&) override {}
    void SetName(const std::string&) override {}
    std::string GetName() const override { return {}; }
    void CreateSelection() override {}
};

class NullApp : public draw::Application {
public:
    std::shared_ptr<draw::Document> ActiveDocument() override { return nullptr; }
    std::shared_ptr<draw::ShapeRange> CreateShapeRange() override { return nullptr; }
};

} // namespace

TEST(Color, ComponentsAndRecord) {
    clsColor c(10, 20, 30);
    EXPECT_EQ(c.RGBColor, 10 + 20 * 256 + 30 * 65536);
    EXPECT_EQ(c.GetRed(), 10);
    EXPECT_EQ(c.GetGreen(), 20);
    EXPECT_EQ(c.GetBlue(), 30);
    EXPECT_TRUE(c.IsSame(c.Dup()));
    clsStream s;
    c.WriteData(s);
    clsColor r;
    r.ReadData(s);
    EXPECT_TRUE(r.IsSame(c));
    s.SetLong("RGBColor", 2000000000);
    r.ReadData(s);
    EXPECT_EQ(r.RGBColor, 1073741824);
    r.ReadData(clsStream());
    EXPECT_EQ(r.RGBColor, 0);
    EXPECT_EQ(c.GetButtonLook(false).System, SystemColor::GrayText);
    EXPECT_EQ(c.GetButtonLook(true).RGBColor, c.RGBColor);
}

TEST(Outline, WidthAndStyleInvariant) {
    clsOutline o;
    EXPECT_EQ(o.Width, 0.216);
    EXPECT_EQ(o.Style, clsOutline::StyleSolid);
    EXPECT_EQ(o.Color.RGBColor, 0);
    o.Style = clsOutline::StyleDotted;
    o.SetPointWidth(2);
    EXPECT_EQ(o.Style, clsOutline::StyleDotted); // a chosen dash style stays
    o.SetPointWidth(0);
    EXPECT_EQ(o.Style, clsOutline::StyleNone);
    o.SetPointWidth(1);
    EXPECT_EQ(o.Style, clsOutline::StyleSolid);
    o.SetParams(3, clsColor(1, 2, 3).RGBColor);
    EXPECT_EQ(o.Width, 3);
    EXPECT_EQ(o.Color.GetBlue(), 3);
    clsOutline copy = o.Dup();
    copy.Color.SetRGBColor(9, 9, 9);
    EXPECT_EQ(o.Color.GetRed(), 1); // colours are never shared
}

TEST(Outline, ButtonTexts) {
    clsOutline o;
    EXPECT_EQ(o.GetButtonLook(true).Text, "Hair, solid");
    o.SetNone();
    EXPECT_EQ(o.GetButtonLook(true).Text, "None");
    EXPECT_EQ(o.GetButtonLook(true).System, SystemColor::ButtonFace);
    const struct {
        double width;
        std::int32_t style;
        const char* text;
    } cases[] = {
        {1, clsOutline::StyleSolid, "1 pt, solid"},   {0.3, clsOutline::StyleSolid, "0.25 pt, solid"},
        {0.4, clsOutline::StyleSolid, "0.5 pt, solid"}, {7, clsOutline::StyleSolid, "7 pt, solid"},
        {0.216, clsOutline::StyleDashed, "Hair, dash"}, {1.5, clsOutline::StyleDotted, "1.5 pt, dot"},
        {2, 9, "2 pt, solid"},
    };
    for (const auto& c : cases) {
        o.Width = c.width;
        o.Style = c.style;
        EXPECT_EQ(o.GetButtonLook(true).Text, c.text);
    }
    o.SetParams(1, clsColor(255, 0, 0).RGBColor);
    EXPECT_EQ(o.GetButtonLook(true).RGBColor, 255);
    EXPECT_EQ(o.GetButtonLook(false).System, SystemColor::GrayText);
}

TEST(Outline, PensFollowTheStyle) {
    clsOutline o(2, 10, 20, 30);
    QPen pen = o.GetGDIPen(7);
    EXPECT_EQ(pen.style(), Qt::SolidLine);
    EXPECT_EQ(pen.width(), 7);
    EXPECT_EQ(pen.color(), QColor(10, 20, 30));
    o.Style = clsOutline::StyleDashed;
    pen = o.GetGDIPen(7);
    EXPECT_EQ(pen.style(), Qt::DashLine);
    EXPECT_EQ(pen.width(), 1); // dashes and dots are always one unit wide
    o.Style = clsOutline::StyleDotted;
    EXPECT_EQ(o.GetGDIPen(7).width(), 1);
    EXPECT_EQ(o.GetGDIPen(7).style(), Qt::DotLine);
    o.Style = clsOutline::StyleNone;
    EXPECT_EQ(o.GetGDIPen(7).style(), Qt::NoPen);
    o.Style = 42; // unknown styles from a file draw solid
    EXPECT_EQ(o.GetGDIPen(7).style(), Qt::SolidLine);
    EXPECT_EQ(o.GetGDIPen(7).width(), 7);
}

TEST(Outline, ApplyToShape) {
    NullApp app;
    RecordingShape shape;
    clsOutline o(1.44, 1, 2, 3);
    o.ApplyToShape(shape, app);
    EXPECT_DOUBLE_EQ(shape.width, 0.02);
    ASSERT_TRUE(shape.style.has_value());
    EXPECT_EQ(shape.style->Index, 0);
    EXPECT_EQ(shape.color.Blue, 3);
    o.Style = clsOutline::StyleDashed;
    o.ApplyToShape(shape, app);
    EXPECT_EQ(shape.style->Index, 12);
    o.Style = clsOutline::StyleDotted;
    o.ApplyToShape(shape, app);
    EXPECT_EQ(shape.style->Index, 2);
    o.Style = 7;
    o.ApplyToShape(shape, app);
    EXPECT_FALSE(shape.style.has_value());
    EXPECT_FALSE(shape.none);
    o.SetNone();
    o.ApplyToShape(shape, app);
    EXPECT_TRUE(shape.none);
}

TEST(Outline, RecordUsesTheGettersDefaults) {
    clsOutline o(2.5, 0, 128, 0);
    o.Style = clsOutline::StyleDashed;
    clsStream s;
    o.WriteData(s);
    ASSERT_EQ(s.Items.size(), 3u);
    EXPECT_EQ(s.Items[0].Key, "Width");
    EXPECT_EQ(s.Items[1].Key, "Style");
    EXPECT_EQ(s.Items[2].Key, "Color");
    clsOutline r;
    r.ReadData(s);
    EXPECT_EQ(r.Width, 2.5);
    EXPECT_EQ(r.Style, clsOutline::StyleDashed);
    EXPECT_EQ(r.Color.GetGreen(), 128);
    clsOutline missing;
    missing.ReadData(clsStream());
    EXPECT_EQ(missing.Width, 0); // not the class default
    EXPECT_EQ(missing.Style, clsOutline::StyleNone);
}

TEST(Font, DefaultsTextAndRecord) {
    clsFont f;
    EXPECT_EQ(f.Name, "Arial");
    EXPECT_EQ(f.Size, 10);
    EXPECT_EQ(f.CharSet, 1);
    EXPECT_EQ(f.GetWeight(), 400);
    EXPECT_EQ(f.GetButtonText(), "10 pt, Arial");
    f.Size = 12.5f;
    EXPECT_EQ(f.GetButtonText(), "12.5 pt, Arial");
    f.Size = 10.1f;
    EXPECT_EQ(f.GetButtonText(), "10.1 pt, Arial"); // the single's shortest form
    f.Bold = true;
    EXPECT_EQ(f.GetWeight(), 700);

    f.Size = 10.5f;
    f.Italic = true;
    f.Color.SetRGBColor(1, 2, 3);
    f.CharSet = 238;
    clsStream s;
    f.WriteData(s);
    EXPECT_EQ(s.GetVal("Size", false, ""), "105");
    clsFont r;
    r.ReadData(s);
    EXPECT_EQ(r.Size, 10.5f);
    EXPECT_TRUE(r.Bold);
    EXPECT_TRUE(r.Italic);
    EXPECT_FALSE(r.Underline);
    EXPECT_EQ(r.Color.GetBlue(), 3);
    EXPECT_EQ(r.CharSet, 238);
    clsFont missing;
    missing.ReadData(clsStream());
    EXPECT_EQ(missing.Size, 0);
    EXPECT_EQ(missing.Name, "");
    EXPECT_EQ(missing.CharSet, 0);
    s.SetLong("CharSet", 999);
    r.ReadData(s);
    EXPECT_EQ(r.CharSet, 255);
}

TEST(Font, MetricsScaleWithTheSize) {
    clsFont f;
    double w10 = 0, h10 = 0, w20 = 0, h20 = 0;
    f.GetTextSize("Perspective", w10, h10);
    f.Size = 20;
    f.GetTextSize("Perspective", w20, h20);
    EXPECT_GT(w10, 20);  // a word at 10 pt is several times wider than high
    EXPECT_LT(w10, 100);
    EXPECT_NEAR(w20, 2 * w10, 0.2);
    EXPECT_NEAR(h20, 2 * h10, 0.2);
    EXPECT_GT(h10, 9);   // the cell is taller than the size
    EXPECT_LT(h10, 15);

    double widest = 0, tallest = 0;
    f.EstimateTextSize({"i", "WWWW", "ab"}, widest, tallest);
    double ww = 0, wh = 0;
    f.GetTextSize("WWWW", ww, wh);
    EXPECT_EQ(widest, ww);

    double ascent = 0, lessLeading = 0;
    f.Size = 10;
    f.GetMetrics(ascent, lessLeading);
    EXPECT_GT(ascent, 7);
    EXPECT_LT(ascent, 11);
    EXPECT_LT(lessLeading, ascent);
    EXPECT_GT(lessLeading, 5);

    // Absurd sizes from a file are measured without trouble.
    f.Size = 1e8f;
    f.GetTextSize("x", ww, wh);
    f.GetMetrics(ascent, lessLeading);
    f.Size = 0;
    f.GetTextSize("x", ww, wh);
    EXPECT_GE(ww, 0);
}
