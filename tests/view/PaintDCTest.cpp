#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cmath>

#include "Fakes.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"

using namespace ov;
using test::RecordingMetafile;

namespace {

clsRect Rect(double l, double b, double r, double t) {
    clsRect rect;
    rect.SetValues(l, b, r, t);
    return rect;
}

int CountPixels(const QImage& image, QRgb color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == color;
    return n;
}

} // namespace

TEST(PaintDCFit, WideDocumentInASquareDevice) {
    RecordingMetafile emf;
    clsPaintDC dc;
    dc.AttachToMetafile(emf, Rect(0, 0, 20, 10));
    EXPECT_EQ(dc.GetDeviceType(), clsPaintDC::Metafile);
    EXPECT_DOUBLE_EQ(dc.GetScaleX(), 25);   // 500 / width
    EXPECT_DOUBLE_EQ(dc.GetScaleY(), -25);  // flipped: larger y is higher on the page
    EXPECT_DOUBLE_EQ(dc.ToDeviceX(0), 0);
    EXPECT_DOUBLE_EQ(dc.ToDeviceX(20), 500);
    EXPECT_DOUBLE_EQ(dc.ToDeviceY(5), 250);  // centred vertically
    EXPECT_DOUBLE_EQ(dc.ToDeviceY(10), 125);
    EXPECT_DOUBLE_EQ(dc.ToDeviceY(0), 375);
    EXPECT_EQ(dc.GetPictureBox(), nullptr);

    // A tall document is centred horizontally; ties take the height.
    dc.AttachToMetafile(emf, Rect(0, 0, 10, 20));
    EXPECT_DOUBLE_EQ(dc.GetScaleX(), 25);
    EXPECT_DOUBLE_EQ(dc.ToDeviceX(0), 125);
    // A degenerate rectangle is fitted as if its zero extent were 1.
    dc.AttachToMetafile(emf, Rect(3, 3, 3, 3));
    EXPECT_DOUBLE_EQ(dc.GetScaleX(), 500);
    EXPECT_DOUBLE_EQ(dc.ToDeviceX(3), 250);
    // A mirrored document rectangle mirrors the device axis.
    dc.AttachToMetafile(emf, Rect(10, 0, -10, 20));
    EXPECT_LT(dc.GetScaleX(), 0);
}

TEST(PaintDCFit, EveryDeviceTypeFlipsButTheDrawingProgram) {
    Canvas canvas(200, 100);
    clsPaintDC dc;
    dc.AttachToPictureBox(canvas, Rect(-10, -5, 10, 5), Rect(0, 0, 200, 100));
    EXPECT_EQ(dc.GetPictureBox(), &canvas);
    EXPECT_DOUBLE_EQ(dc.GetScaleX(), 10);
    EXPECT_DOUBLE_EQ(dc.GetScaleY(), -10);
    EXPECT_DOUBLE_EQ(dc.ToDeviceY(5), 0);

    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("page.pdf"));
    pdf.setResolution(300);
    dc.AttachToPrinter(pdf, Rect(0, 0, 100, 100));
    EXPECT_EQ(dc.GetDeviceType(), clsPaintDC::Printer);
    EXPECT_EQ(dc.GetPictureBox(), nullptr);
    EXPECT_LT(dc.GetScaleY(), 0);
    EXPECT_NEAR(dc.GetUnitsPerMM(), 300 / 25.4, 1e-9);
    EXPECT_EQ(dc.GetDeviceRect().GetWidth(), pdf.width());

    auto app = std::make_shared<test::FakeDrawApp>();
    dc.AttachToDraw(app, Rect(0, 0, 100, 50), Rect(0, 0, 11, 8.5));
    EXPECT_EQ(dc.GetDeviceType(), clsPaintDC::DrawProgram);
    EXPECT_GT(dc.GetScaleY(), 0);
    EXPECT_DOUBLE_EQ(dc.GetScaleX(), 0.11);
    EXPECT_EQ(dc.GetUnitsPerMM(), 1);
}

TEST(PaintDCPens, WidthsKeepTheirPhysicalSize) {
    Canvas canvas(100, 100);
    canvas.SetPixelsPerInchY(96);
    clsPaintDC dc;
    dc.AttachToPictureBox(canvas, Rect(0, 0, 1, 1), Rect(0, 0, 100, 100));
    EXPECT_EQ(dc.GetPenWidth(0.25), 1);
    EXPECT_EQ(dc.GetPenWidth(10), 13);
    EXPECT_EQ(dc.GetPenWidth(0), 1);
    EXPECT_EQ(dc.GetPenWidth(1e300), 10000); // absurd widths are capped
    // The zoom does not change them.
    dc.AttachToPictureBox(canvas, Rect(0, 0, 1000, 1000), Rect(0, 0, 100, 100));
    EXPECT_EQ(dc.GetPenWidth(10), 13);

    RecordingMetafile emf;
    dc.AttachToMetafile(emf, Rect(0, 0, 10, 10));
    clsOutline dashed(3, 0, 0, 0);
    dashed.Style = clsOutline::StyleDashed;
    dc.DrawLine(1, 1, 9, 9, dashed);
    clsOutline thick(72 / 25.4 * 4, 255, 0, 0); // 4 mm: 4 metafile units
    dc.DrawLine(1, 1, 9, 9, thick);
    const auto pens = emf.Only("pen");
    ASSERT_EQ(pens.size(), 2u);
    EXPECT_EQ(pens[0].args, (std::vector<int>{MetafileDC::Dash, 1, 0}));
    EXPECT_EQ(pens[1].args, (std::vector<int>{MetafileDC::Solid, 4, 255}));
}

TEST(PaintDCLines, ClippedToTheDeviceAndRoundedHalfToEven) {
    RecordingMetafile emf;
    clsPaintDC dc;
    dc.AttachToMetafile(emf, Rect(0, 0, 500, 500)); // one document unit per device unit
    const clsOutline o;
    dc.DrawLine(-1e12, 250, 1e12, 250, o);           // far beyond both sides
    dc.DrawLine(600, 600, 700, 700, o);              // wholly outside: no pen, nothing
    dc.DrawLine(10.5, 489.5, 11.5, 488.5, o);        // halves go to the even neighbour
    const auto moves = emf.Only("move"), lines = emf.Only("line");
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].args, (std::vector<int>{0, 250}));
    EXPECT_EQ(lines[0].args, (std::vector<int>{500, 250}));
    EXPECT_EQ(moves[1].args, (std::vector<int>{10, 10}));  // (10.5, 500 - 489.5)
    EXPECT_EQ(lines[1].args, (std::vector<int>{12, 12}));  // (11.5, 11.5)
    EXPECT_EQ(emf.Only("pen").size(), 2u);

    dc.DrawScreenLine(-50, 20, 50, 20, o); // device coordinates, still clipped
    EXPECT_EQ(emf.Only("move").back().args, (std::vector<int>{0, 20}));
}

TEST(PaintDCLines, FarLinesOnTheCanvasAreDrawnAcross) {
    Canvas canvas(100, 50);
    clsPaintDC dc;
    dc.AttachToPictureBox(canvas, Rect(0, 0, 100, 50), Rect(0, 0, 100, 50));
    dc.BeginDraw();
    clsOutline red(0.216, 255, 0, 0);
    dc.DrawLine(-1e15, 25, 1e15, 25, red);
    dc.DrawRectangle(-1e308, NAN, 1e308, 1e308, &red); // pinned far outside: nothing to see
    dc.EndDraw();
    EXPECT_GE(CountPixels(canvas.Image(), qRgb(255, 0, 0)), 99);
    EXPECT_LE(CountPixels(canvas.Image(), qRgb(255, 0, 0)), 101);
}

TEST(PaintDCPolyline, SkipsRepeatedPointsAndOddInput) {
    RecordingMetafile emf;
    clsPaintDC dc;
    dc.AttachToMetafile(emf, Rect(0, 0, 500, 500));
    const clsOutline o;
    dc.BeginDrawLine();
    for (const auto& p : {std::pair{10.0, 10.0}, {10.0, 10.0}, {20.0, 10.0}, {20.0, 10.0}, {20.0, 30.0}})
        dc.DrawLineTo(p.first, p.second);
    dc.EndDrawLine(o);
    EXPECT_EQ(emf.Only("line").size(), 2u);

    emf.calls.clear();
    dc.BeginDrawLine();
    dc.DrawLineTo(1, 1);
    dc.EndDrawLine(o); // one point draws nothing
    EXPECT_TRUE(emf.calls.empty());
}

TEST(PaintDCShapes, EllipsesRectanglesAndFills) {
    RecordingMetafile emf;
    clsPaintDC dc;
    dc.AttachToMetafile(emf, Rect(0, 0, 500, 500));
    const clsOutline o;
    const clsColor fill(1, 2, 3);
    dc.DrawEllipse(10, 490, 20, 480, &o);
    dc.DrawRectangle(10, 490, 20, 480, &o);
    dc.DrawFilledRectangle(10, 490, 20, 480, &fill, nullptr);
    dc.DrawFilledCircle(250, 250, 5, &fill, &o);
    EXPECT_EQ(emf.Only("ellipse")[0].args, (std::vector<int>{10, 10, 20, 20}));
    EXPECT_EQ(emf.Only("rect")[0].args, (std::vector<int>{10, 10, 21, 21})); // right and bottom edges included
    EXPECT_EQ(emf.Only("rect")[1].args, (std::vector<int>{10, 10, 21, 21}));
    EXPECT_EQ(emf.Only("brush")[0].args, (std::vector<int>{fill.RGBColor}));
    EXPECT_EQ(emf.Only("ellipse").size(), 3u); // the filled circle: fill, then outline
    EXPECT_EQ(emf.Only("ellipse")[1].args, (std::vector<int>{245, 255, 255, 245})); // corners as given, flipped
    // Corners far off the device are pinned, with room left for the edge adjustments.
    dc.DrawRectangle(-1e308, -1e308, 1e308, NAN, &o);
    constexpr int L = DeviceCoordinateLimit;
    EXPECT_EQ(emf.Only("rect")[2].args, (std::vector<int>{-L, L, L, -L}));
}

TEST(PaintDCText, AlignmentMovesTheAnchor) {
    clsFont font;
    font.Size = 72; // 25.4 mm
    auto anchor = [&](int align, int orientation) {
        RecordingMetafile emf;
        clsPaintDC dc;
        dc.AttachToMetafile(emf, Rect(0, 0, 500, 500));
        dc.DrawText(250, 250, "Left", font, align, orientation);
        const auto texts = emf.Only("text");
        EXPECT_EQ(texts.size(), 1u);
        EXPECT_EQ(emf.Only("transparent").size(), 1u);
        return texts.empty() ? std::vector<int>{0, 0} : texts[0].args;
    };
    const auto a0 = anchor(0, 0), a1 = anchor(1, 0), a2 = anchor(2, 0), a4 = anchor(4, 0), a3 = anchor(3, 0);
    const int width = a0[0] - a1[0]; // right alignment moves left by the text width
    EXPECT_GT(width, 30);
    EXPECT_LT(width, 120);
    EXPECT_NEAR(a0[0] - a4[0], width / 2.0, 1);  // centred
    EXPECT_EQ(a2[0], a0[0]);
    EXPECT_LT(a2[1], a0[1]);                     // 2 raises the text by the ascent
    EXPECT_EQ(a3[0], a1[0]);
    EXPECT_EQ(a3[1], a2[1]);
    // A turned text is always centred: the same anchor whatever align says.
    EXPECT_EQ(anchor(0, 90), anchor(7, 90));
    EXPECT_NE(anchor(0, 90), anchor(0, -90));

    // The drawing program gets no text.
    auto app = std::make_shared<test::FakeDrawApp>();
    clsPaintDC dc;
    dc.AttachToDraw(app, Rect(0, 0, 10, 10), Rect(0, 0, 10, 10));
    dc.DrawText(1, 1, "x", font, 0, 0);
    EXPECT_TRUE(app->document->layer->created.empty());
}

TEST(PaintDCGroups, NamedGroupsInTheDrawingProgram) {
    auto app = std::make_shared<test::FakeDrawApp>();
    clsPaintDC dc;
    dc.AttachToDraw(app, Rect(0, 0, 10, 10), Rect(0, 0, 10, 10));
    const clsOutline o;
    ASSERT_EQ(app->ranges.size(), 1u);
    auto top = app->ranges[0];

    dc.BeginGroup();
    dc.DrawLine(0, 0, 1, 1, o);
    dc.DrawLine(1, 1, 2, 2, o);
    dc.SetLastShapeName("Second");
    dc.BeginGroup(); // a group of one shape: the shape itself is named and added
    dc.DrawRectangle(0, 0, 1, 1, &o);
    dc.EndGroup("Door", false);
    dc.BeginGroup(); // a group of none adds nothing
    dc.EndGroup("Empty", false);
    dc.EndGroup("House", true);
    dc.SetLastShapeName(""); // nothing happens

    ASSERT_EQ(top->Count(), 1);
    auto house = std::dynamic_pointer_cast<test::FakeDrawShape>(top->Item(1));
    EXPECT_EQ(house->kind, "group");
    EXPECT_EQ(house->name, "House");
    EXPECT_TRUE(house->selected);
    ASSERT_EQ(house->members.size(), 3u);
    EXPECT_EQ(house->members[1]->GetName(), "Second");
    auto door = std::dynamic_pointer_cast<test::FakeDrawShape>(house->members[2]);
    EXPECT_EQ(door->kind, "rect");
    EXPECT_EQ(door->name, "Door");
    EXPECT_EQ(dc.ShapeRange, top); // back at the top level
    dc.EndGroup("Unbalanced", false); // an EndGroup too many is ignored
    EXPECT_EQ(dc.ShapeRange, top);

    // Coordinates are converted but not rounded, and y points up.
    auto line = app->document->layer->created[0];
    EXPECT_DOUBLE_EQ(line->x2, 1);
    EXPECT_DOUBLE_EQ(line->y2, 1);
    EXPECT_GT(line->outlineWidth, 0);
}

TEST(PaintDCGroups, WithoutShapeRangesShapesAreStillCreated) {
    auto app = std::make_shared<test::FakeDrawApp>();
    app->failRanges = true;
    clsPaintDC dc;
    dc.AttachToDraw(app, Rect(0, 0, 10, 10), Rect(0, 0, 10, 10));
    EXPECT_EQ(dc.ShapeRange, nullptr);
    const clsOutline o;
    const clsColor fill(9, 9, 9);
    dc.BeginGroup();
    dc.DrawFilledEllipse(1, 1, 2, 2, &fill, &o);
    dc.EndGroup("x", true);
    dc.SetLastShapeName("y");
    ASSERT_EQ(app->document->layer->created.size(), 1u);
    EXPECT_TRUE(app->document->layer->created[0]->filled);
    EXPECT_EQ(app->document->layer->created[0]->name, "");
}

TEST(Canvas, DrawingTwiceInXorModeRestoresTheImage) {
    Canvas canvas(120, 80);
    {
        QPainter p(&canvas.Image());
        p.fillRect(10, 10, 50, 30, QColor(30, 200, 90));
        p.fillRect(40, 20, 60, 50, QColor(250, 10, 10));
    }
    const QImage before = canvas.Image().copy();
    canvas.Mode = Canvas::DrawMode::Xor;
    canvas.ForeColor = Qt::white;
    clsPaintDC dc;
    dc.AttachToPictureBox(canvas, Rect(0, 0, 120, 80), Rect(0, 0, 120, 80));
    clsOutline o(3, 255, 255, 255);
    auto draw = [&] {
        dc.DrawLine(0, 0, 120, 80, o);
        dc.DrawEllipse(20, 20, 90, 70, &o);
        canvas.Line(5, 70, 115, 3);
        canvas.Style = Canvas::DrawStyle::Dotted;
        canvas.Line(5, 5, 100, 5);
        canvas.Style = Canvas::DrawStyle::Solid;
    };
    draw();
    EXPECT_NE(canvas.Image(), before);
    draw();
    EXPECT_EQ(canvas.Image(), before);
}

TEST(Canvas, ZeroSizeCanvasesDrawNothing) {
    Canvas canvas(0, 0);
    clsPaintDC dc;
    dc.AttachToPictureBox(canvas, Rect(0, 0, 0, 0), Rect(0, 0, 0, 0));
    dc.BeginDraw();
    dc.DrawLine(0, 0, 1, 1, clsOutline());
    dc.DrawText(0, 0, "x", clsFont(), 0, 0);
    dc.EndDraw();
    EXPECT_TRUE(canvas.Image().isNull());
}
