#include <gtest/gtest.h>

#include <QPdfWriter>
#include <QTemporaryDir>
#include <cmath>

#include "ViewFakes.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"
#include "platform/svg/SvgDrawApp.h"

using namespace ov;
using test::Rect;
using test::RecordingMetafile;
using Ints = std::vector<int>;

namespace {

// A paint target on a recording metafile, one document unit per device unit.
struct OnMetafile {
    RecordingMetafile emf;
    clsPaintDC dc;
    const clsOutline o;
    OnMetafile() { dc.AttachToMetafile(emf, Rect(0, 0, 500, 500)); }
};

} // namespace

TEST(PaintDCFit, TheDocumentIsCentredAndFlippedOnTheDevices) {
    RecordingMetafile emf;
    clsPaintDC dc;
    // Wide: centred vertically; tall: centred horizontally; a zero extent is fitted as 1; mirrored: mirrored.
    const std::pair<clsRect, std::vector<double>> cases[] = {{Rect(0, 0, 20, 10), {25, -25, 0, 375}},
                                                             {Rect(0, 0, 10, 20), {25, -25, 125, 500}},
                                                             {Rect(3, 3, 3, 3), {500, -500, -1250, 1750}},
                                                             {Rect(10, 0, -10, 20), {-25, -25, 250, 500}}};
    for (const auto& [doc, expected] : cases) {
        dc.AttachToMetafile(emf, doc);
        EXPECT_EQ(std::vector({dc.GetScaleX(), dc.GetScaleY(), dc.ToDeviceX(0), dc.ToDeviceY(0)}), expected);
    }
    EXPECT_TRUE(dc.GetDeviceType() == clsPaintDC::Metafile && dc.GetPictureBox() == nullptr);
    Canvas canvas(200, 100);
    dc.AttachToPictureBox(canvas, Rect(-10, -5, 10, 5), Rect(0, 0, 200, 100));
    EXPECT_TRUE(dc.GetPictureBox() == &canvas && dc.GetScaleX() == 10 && dc.GetScaleY() == -10 &&
                dc.ToDeviceY(5) == 0);
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("page.pdf"));
    pdf.setResolution(300);
    dc.AttachToPrinter(pdf, Rect(0, 0, 100, 100));
    EXPECT_TRUE(dc.GetDeviceType() == clsPaintDC::Printer && dc.GetScaleY() < 0);
    EXPECT_EQ(std::pair(dc.GetUnitsPerMM(), dc.GetDeviceRect().GetWidth()),
              std::pair(300 / 25.4, double(pdf.width())));
}

TEST(PaintDCPens, WidthsKeepTheirPhysicalSizeAndStyle) {
    Canvas canvas(100, 100);
    canvas.SetPixelsPerInchY(96);
    clsPaintDC dc;
    for (const double zoom : {1, 1000}) {
        dc.AttachToPictureBox(canvas, Rect(0, 0, zoom, zoom), Rect(0, 0, 100, 100));
        for (const auto& [points, pixels] : {std::pair{0.25, 1}, {10.0, 13}, {0.0, 1}, {1e300, 10000} /* capped */})
            EXPECT_EQ(dc.GetPenWidth(points), pixels) << points << " at zoom " << zoom;
    }
    OnMetafile m;
    clsOutline dashed(3, 0, 0, 0), thick(72 / 25.4 * 4, 255, 0, 0); // 4 mm: 4 metafile units
    dashed.Style = clsOutline::StyleDashed;
    m.dc.DrawLine(1, 1, 9, 9, dashed);
    m.dc.DrawLine(1, 1, 9, 9, thick);
    EXPECT_EQ(m.emf.Only("pen"), (std::vector<Ints>{{MetafileDC::Dash, 1, 0}, {MetafileDC::Solid, 4, 255}}));
}

TEST(PaintDCLines, ClippedPinnedAndRoundedHalfToEven) {
    OnMetafile m;
    m.dc.DrawLine(-1e12, 250, 1e12, 250, m.o);     // far beyond both sides
    m.dc.DrawLine(600, 600, 700, 700, m.o);        // wholly outside: no pen, nothing
    m.dc.DrawLine(10.5, 489.5, 11.5, 488.5, m.o);  // halves go to the even neighbour
    m.dc.DrawScreenLine(-50, 20, 50, 20, m.o);     // device coordinates, still clipped
    EXPECT_EQ(m.emf.Only("move"), (std::vector<Ints>{{0, 250}, {10, 10}, {0, 20}}));
    EXPECT_EQ(m.emf.Only("line"), (std::vector<Ints>{{500, 250}, {12, 12}, {50, 20}}));
    EXPECT_EQ(m.emf.Only("pen").size(), 3u);
    m.emf.calls.clear(); // a polyline skips repeated points; one point draws nothing
    for (const Ints& points : {Ints{10, 10, 10, 10, 20, 10, 20, 10, 20, 30}, Ints{1, 1}}) {
        m.dc.BeginDrawLine();
        for (std::size_t i = 0; i < points.size(); i += 2) m.dc.DrawLineTo(points[i], points[i + 1]);
        m.dc.EndDrawLine(m.o);
    }
    EXPECT_EQ(m.emf.Only("line"), (std::vector<Ints>{{20, 490}, {20, 470}}));
    // On the canvas a line from far away is drawn across; a rectangle pinned far outside shows nothing.
    Canvas canvas(100, 50);
    clsPaintDC dc;
    dc.AttachToPictureBox(canvas, Rect(0, 0, 100, 50), Rect(0, 0, 100, 50));
    dc.BeginDraw();
    const clsOutline red(0.216, 255, 0, 0);
    dc.DrawLine(-1e15, 25, 1e15, 25, red);
    dc.DrawRectangle(-1e308, NAN, 1e308, 1e308, &red);
    dc.DrawEllipse(10, 5, 30, 20, &red); // rows 30 to 45, its left edge at column 10
    dc.EndDraw();
    int n = 0, edge = 0;
    for (int x = 0; x < 100; ++x) n += canvas.Image().pixel(x, 25) == qRgb(255, 0, 0);
    for (int y = 30; y <= 45; ++y) edge += canvas.Image().pixel(10, y) == qRgb(255, 0, 0);
    EXPECT_TRUE(n == 100 && edge > 0) << n << " " << edge;
}

TEST(PaintDCCurves, ConnectedSegmentsAreOneStrokeWithASubpathWherePiecesPartOrLeaveTheDevice) {
    const auto drawCurve = [](clsPaintDC& dc, const clsOutline& o) {
        dc.BeginCurve();
        dc.DrawLine(10, 10, 20, 10, o);
        dc.DrawLine(20, 10, 20, 20, o);
        dc.DrawLine(30, 30, 40, 30, o);   // apart: a second subpath
        dc.DrawLine(40, 30, 600, 30, o);  // leaves the device there
        dc.DrawLine(600, 30, 600, 40, o); // wholly off it
        dc.DrawLine(600, 40, 40, 40, o);  // comes back: a third subpath
        dc.EndCurve("Arc & Co");
    };
    OnMetafile m;
    drawCurve(m.dc, m.o);
    // Run lengths, then the points; y is flipped.
    EXPECT_EQ(m.emf.Only("polylines"),
              (std::vector<Ints>{{3, 3, 2, 10, 490, 20, 490, 20, 480, 30, 470, 40, 470, 500, 470, 500, 460, 40, 460}}));
    EXPECT_TRUE(m.emf.Only("line").empty() && m.emf.Only("pen").size() == 1u);
    clsOutline dotted;
    dotted.Style = clsOutline::StyleDotted; // a change of style ends the stroke
    m.emf.calls.clear();
    m.dc.BeginCurve();
    for (const clsOutline* o : {&m.o, &m.o, static_cast<const clsOutline*>(&dotted)}) m.dc.DrawLine(1, 1, 2, 2, *o);
    m.dc.EndCurve("");
    EXPECT_EQ(m.emf.Only("polylines"), (std::vector<Ints>{{2, 2, 1, 499, 2, 498, 1, 499, 2, 498}, {2, 1, 499, 2, 498}}));

    // The drawing program gets one named path, unclipped; one without curves a named group of lines.
    const clsRect page = Rect(0, 0, 1000, 1000);
    auto svg = std::make_shared<SvgDrawApp>();
    clsPaintDC dc;
    dc.AttachToDraw(svg, page, Rect(0, 0, 10, 10));
    drawCurve(dc, m.o);
    const std::string text = svg->ToSvgText();
    EXPECT_NE(text.find(R"(<path id="Arc___Co" inkscape:label="Arc &amp; Co" d="M0.1 10.9 L0.2 10.9 0.2 10.8 )"
                        R"(M0.3 10.7 L0.4 10.7 6 10.7 6 10.6 0.4 10.6")"),
              std::string::npos)
        << text;
    auto fake = std::make_shared<test::FakeDrawApp>();
    dc.AttachToDraw(fake, page, page);
    drawCurve(dc, m.o);
    const test::FakeDrawShape& group = fake->ranges.at(0)->At(1);
    EXPECT_EQ(std::tuple(group.kind, group.name, group.members.size()), std::tuple("group", "Arc & Co", 6u));
}

TEST(PaintDCShapes, EllipsesRectanglesAndFills) {
    OnMetafile m;
    const clsColor fill(1, 2, 3);
    m.dc.DrawEllipse(10, 490, 20, 480, &m.o);
    m.dc.DrawRectangle(10, 490, 20, 480, &m.o);
    m.dc.DrawFilledRectangle(10, 490, 20, 480, &fill, nullptr);
    m.dc.DrawFilledCircle(250, 250, 5, &fill, &m.o); // fill, then outline
    m.dc.DrawRectangle(-1e308, -1e308, 1e308, NAN, &m.o); // pinned, with room left for the edge adjustments
    constexpr int L = DeviceCoordinateLimit;
    EXPECT_EQ(m.emf.Only("ellipse"), (std::vector<Ints>{{10, 10, 20, 20}, {245, 255, 255, 245}, {245, 255, 255, 245}}));
    // Right and bottom edges included.
    EXPECT_EQ(m.emf.Only("rect"), (std::vector<Ints>{{10, 10, 21, 21}, {10, 10, 21, 21}, {-L, L, L, -L}}));
    EXPECT_EQ(m.emf.Only("brush"), (std::vector<Ints>{{fill.RGBColor}, {fill.RGBColor}}));
}

TEST(PaintDCText, AlignmentMovesTheAnchorAndTurnedTextIsCentred) {
    clsFont font;
    font.Size = 72; // 25.4 mm
    auto anchor = [&](int align, int orientation) {
        OnMetafile m;
        m.dc.DrawText(250, 250, "Left", font, align, orientation);
        EXPECT_EQ(m.emf.Only("transparent").size(), 1u);
        return m.emf.Only("text").size() == 1 ? m.emf.Only("text")[0] : Ints{0, 0};
    };
    const Ints a0 = anchor(0, 0), a1 = anchor(1, 0), a2 = anchor(2, 0), a3 = anchor(3, 0), a4 = anchor(4, 0);
    const int width = a0[0] - a1[0]; // right alignment moves left by the text width, centring by half of it
    EXPECT_TRUE(width > 30 && width < 120 && std::abs(2 * (a0[0] - a4[0]) - width) <= 2) << width;
    EXPECT_TRUE(a2[0] == a0[0] && a2[1] < a0[1]); // 2 raises the text by the ascent
    EXPECT_EQ(a3, (Ints{a1[0], a2[1]}));
    EXPECT_TRUE(anchor(0, 90) == anchor(7, 90) && anchor(0, 90) != anchor(0, -90));
}

TEST(PaintDCGroups, NamedGroupsInTheDrawingProgram) {
    auto app = std::make_shared<test::FakeDrawApp>();
    clsPaintDC dc;
    const clsRect page = Rect(0, 0, 10, 10);
    dc.AttachToDraw(app, page, page);
    const clsOutline o;
    const auto top = app->ranges.at(0);
    dc.BeginGroup();
    dc.DrawLine(0, 0, 1, 1, o);
    dc.DrawLine(1, 1, 2, 2, o);
    dc.SetLastShapeName("Second");
    dc.BeginGroup(); // a group of one shape: the shape itself is named and added
    dc.DrawRectangle(0, 0, 1, 1, &o);
    dc.EndGroup("Door", false);
    dc.BeginGroup(); // a group of none adds nothing
    dc.EndGroup("Empty", false);
    dc.DrawText(1, 1, "x", clsFont(), 0, 0); // the drawing program gets no text
    dc.EndGroup("House", true);
    dc.SetLastShapeName(""); // nothing happens
    ASSERT_EQ(top->Count(), 1);
    const test::FakeDrawShape& house = top->At(1);
    ASSERT_EQ(house.members.size(), 3u);
    EXPECT_EQ(house.kind + " " + house.name + " " + house.Member(1).name + " " + house.Member(2).kind + " " +
                  house.Member(2).name,
              "group House Second rect Door");
    dc.EndGroup("Unbalanced", false); // an EndGroup too many is ignored
    EXPECT_TRUE(house.selected && dc.ShapeRange == top && house.Member(0).outlineWidth > 0);

    app = std::make_shared<test::FakeDrawApp>(); // without shape ranges shapes are still created
    app->failRanges = true;
    dc.AttachToDraw(app, page, page);
    EXPECT_EQ(dc.ShapeRange, nullptr);
    const clsColor fill(9, 9, 9);
    dc.BeginGroup();
    dc.DrawFilledEllipse(1, 1, 2, 2, &fill, &o);
    dc.EndGroup("x", true);
    dc.SetLastShapeName("y");
    const auto& created = app->document->layer->created;
    EXPECT_TRUE(created.size() == 1 && created[0]->filled && created[0]->name.empty());
}
