#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "platform/MetafileDC.h"
#include "platform/svg/SvgDrawApp.h"
#include "paint/clsPaintDC.h"

using namespace ov;

namespace {

clsRect Rect(double l, double b, double r, double t) {
    clsRect rect;
    rect.SetValues(l, b, r, t);
    return rect;
}

// A small drawing through the paint target: a named house with a door, a sun and a label.
void DrawHouse(clsPaintDC& dc) {
    const clsOutline wall(1, 0, 0, 255);
    clsOutline dashed(0.5, 0, 128, 0);
    dashed.Style = clsOutline::StyleDashed;
    const clsColor sun(255, 200, 0);
    clsFont font;
    font.Size = 14;
    dc.BeginDraw();
    dc.BeginGroup();
    dc.BeginGroup();
    dc.BeginDrawLine();
    for (const auto& p : {std::pair{20.0, 10.0}, {80.0, 10.0}, {80.0, 50.0}, {50.0, 70.0}, {20.0, 50.0}, {20.0, 10.0}})
        dc.DrawLineTo(p.first, p.second);
    dc.EndDrawLine(wall);
    dc.DrawLine(20, 10, 80, 10, wall);
    dc.DrawLine(80, 10, 80, 50, wall);
    dc.DrawLine(80, 50, 50, 70, wall);
    dc.DrawLine(50, 70, 20, 50, wall);
    dc.DrawLine(20, 50, 20, 10, wall);
    dc.EndGroup("Walls", false);
    dc.BeginGroup();
    dc.DrawRectangle(45, 10, 55, 30, &wall);
    dc.EndGroup("Door", false);
    dc.EndGroup("House", true);
    dc.DrawLine(0, 5, 100, 5, dashed);
    dc.DrawFilledCircle(85, 85, 8, &sun, &wall);
    dc.DrawText(50, 95, "Orthovane", font, 4, 0);
    dc.EndDraw();
}

std::vector<std::uint32_t> RecordTypes(const QByteArray& bytes) {
    std::vector<std::uint32_t> types;
    int at = 0;
    while (at + 8 <= bytes.size()) {
        std::uint32_t type, size;
        std::memcpy(&type, bytes.constData() + at, 4);
        std::memcpy(&size, bytes.constData() + at + 4, 4);
        if (size < 8) break;
        types.push_back(type);
        at += static_cast<int>(size);
    }
    return types;
}

} // namespace

TEST(Export, MetafileThroughThePaintTarget) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("house.emf").toStdString();
    std::string error;
    auto emf = MetafileDC::Create(path, 100, 100, error);
    ASSERT_TRUE(emf) << error;
    clsPaintDC dc;
    dc.AttachToMetafile(*emf, Rect(0, 0, 100, 100));
    DrawHouse(dc);
    ASSERT_TRUE(emf->Close(error)) << error;

    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto types = RecordTypes(file.readAll());
    auto count = [&](std::uint32_t t) { return std::count(types.begin(), types.end(), t); };
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(types.front(), 1u);  // header
    EXPECT_EQ(types.back(), 14u);  // end of file
    EXPECT_EQ(count(54), 5 + 5 + 1); // polyline pieces, single lines, the ground line
    EXPECT_EQ(count(43), 1);       // the door
    EXPECT_EQ(count(42), 2);       // the sun: fill, then outline
    EXPECT_EQ(count(84), 1);       // the label, as wide text
    if (const char* keep = std::getenv("ORTHOVANE_KEEP_EXPORTS")) QFile::copy(QString::fromStdString(path), QString(keep) + "/house.emf");
}

TEST(Export, SvgThroughThePaintTarget) {
    auto app = std::make_shared<SvgDrawApp>();
    app->SetPageSize(8.5, 11);
    clsPaintDC dc;
    dc.AttachToDraw(app, Rect(0, 0, 100, 100), Rect(0.5, 0.5, 8, 10.5));
    DrawHouse(dc);
    const std::string svg = app->ToSvgText();
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    ASSERT_TRUE(renderer.isValid());
    for (const char* id : {"House", "Walls", "Door"}) EXPECT_TRUE(renderer.elementExists(id)) << id;
    EXPECT_NE(svg.find("inkscape:label=\"House\""), std::string::npos);
    ASSERT_EQ(app->Selection().size(), 1u);
    EXPECT_EQ(app->Selection()[0]->GetName(), "House");
    // Polylines and text do not reach the drawing program; the five wall lines do.
    std::size_t lines = 0;
    for (std::size_t at = svg.find("<line"); at != std::string::npos; at = svg.find("<line", at + 1)) ++lines;
    EXPECT_EQ(lines, 6u);
    // The house stands on the page the right way up: the roof is above the door.
    const QRectF roofArea = renderer.boundsOnElement("Walls"), door = renderer.boundsOnElement("Door");
    EXPECT_LT(roofArea.top(), door.top());
    if (const char* keep = std::getenv("ORTHOVANE_KEEP_EXPORTS")) {
        std::string error;
        EXPECT_TRUE(app->Save(std::string(keep) + "/house.svg", error)) << error;
    }
}

TEST(Export, UnwritableTargetsFailClearly) {
    std::string error;
    EXPECT_EQ(MetafileDC::Create("/nonexistent/folder/x.emf", 100, 100, error), nullptr);
    EXPECT_FALSE(error.empty());
    SvgDrawApp app;
    error.clear();
    EXPECT_FALSE(app.Save("/nonexistent/folder/x.svg", error));
    EXPECT_FALSE(error.empty());
}
