// The metafile device context, checked on the records of the files it writes and the pen, brush and
// font each drawing record is drawn with.

#include "platform/MetafileDC.h"

#include <QTemporaryDir>
#include <cmath>
#include <filesystem>
#include <functional>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <map>

namespace {

namespace fs = std::filesystem;
using ov::MetafileDC;

enum : std::uint32_t {
    EMR_HEADER = 1, EMR_SETWINDOWEXTEX = 9, EMR_SETVIEWPORTEXTEX = 11, EMR_EOF = 14, EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18, EMR_SETTEXTCOLOR = 24, EMR_MOVETOEX = 27, EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39, EMR_DELETEOBJECT = 40, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_LINETO = 54,
    EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTTEXTOUTW = 84,
    StockNullBrush = 0x80000005u, StockBlackPen = 0x80000007u, StockFont = 0x8000000Eu,
};
struct Record {
    std::uint32_t type = 0;
    std::string bytes;
    std::uint8_t U8(std::size_t at) const { return static_cast<std::uint8_t>(bytes.at(at)); }
    std::uint32_t U32(std::size_t at) const {
        return U8(at) | U8(at + 1) << 8 | U8(at + 2) << 16 | 1u * U8(at + 3) << 24;
    }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    std::u16string Utf16(std::size_t at, std::size_t count) const {
        std::u16string s;
        for (std::size_t i = 0; i < count; ++i)
            s.push_back(static_cast<char16_t>(U8(at + 2 * i) | U8(at + 2 * i + 1) << 8));
        return s;
    }
    std::vector<int> Point(std::size_t at = 8) const { return {I32(at), I32(at + 4)}; }
    std::vector<int> Box(std::size_t at = 8) const { return {I32(at), I32(at + 4), I32(at + 8), I32(at + 12)}; }
};

// A drawing record with the objects selected when it was drawn (a stock object: type is its handle),
// the background mode and the text colour.
struct Drawing {
    Record shape, pen, brush, font;
    std::uint32_t bkMode = 0, textColor = 0;
};

struct Metafile {
    std::size_t fileSize = 0;
    std::vector<Record> records;
    bool wellFormed = false; // the record sizes add up to the file size
    // Walks the records. An object is deleted only once its replacement is selected, and every
    // created object is deleted.
    std::vector<Drawing> Drawings() const {
        std::map<std::uint32_t, Record> live;
        Drawing now;
        std::vector<Drawing> out;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const Record& r = records[i];
            if (r.type == EMR_CREATEPEN || r.type == EMR_CREATEBRUSHINDIRECT || r.type == EMR_EXTCREATEFONTINDIRECTW)
                live[r.U32(8)] = r;
            if (r.type == EMR_SELECTOBJECT) {
                const Record o = live.count(r.U32(8)) ? live[r.U32(8)] : Record{r.U32(8), {}};
                (o.type == EMR_CREATEPEN || o.type == StockBlackPen ? now.pen
                 : o.type == EMR_EXTCREATEFONTINDIRECTW || o.type == StockFont ? now.font : now.brush) = o;
            }
            if (r.type == EMR_SETBKMODE || r.type == EMR_SETTEXTCOLOR)
                (r.type == EMR_SETBKMODE ? now.bkMode : now.textColor) = r.U32(8);
            if (r.type == EMR_DELETEOBJECT) {
                EXPECT_EQ(records[i - 1].type, EMR_SELECTOBJECT) << "deleted while selected";
                live.erase(r.U32(8));
            }
            if (r.type == EMR_MOVETOEX || r.type == EMR_LINETO || r.type == EMR_ELLIPSE || r.type == EMR_RECTANGLE ||
                r.type == EMR_EXTTEXTOUTW)
                out.push_back(now), out.back().shape = r;
        }
        EXPECT_TRUE(live.empty()) << "a created object was never deleted";
        return out;
    }
};

Metafile ReadMetafile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Metafile m{data.size(), {}, false};
    std::size_t at = 0;
    for (Record r; at + 8 <= data.size(); at += r.bytes.size()) {
        r.bytes = data.substr(at, 8);
        r.type = r.U32(0);
        const std::uint32_t size = r.U32(4);
        if (size < 8 || size % 4 != 0 || at + size > data.size()) return m;
        r.bytes = data.substr(at, size);
        m.records.push_back(r);
    }
    m.wellFormed = at == data.size() && !m.records.empty();
    return m;
}

class MetafileDCTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    std::string PathOf(const char* name) const { return dir_.filePath(name).toStdString(); }
    static std::unique_ptr<MetafileDC> Create(const std::string& path, double w = 100, double h = 100) {
        std::string error;
        auto dc = MetafileDC::Create(path, w, h, error);
        EXPECT_TRUE(dc && error.empty()) << error;
        return dc;
    }
    // Closes dc and reads the file back.
    static Metafile Finish(MetafileDC& dc, const std::string& path) {
        std::string error;
        EXPECT_TRUE(dc.Close(error)) << error;
        const Metafile m = ReadMetafile(path);
        EXPECT_TRUE(m.wellFormed) << "record sizes do not add up to the file size " << m.fileSize;
        return m;
    }
};

TEST_F(MetafileDCTest, HeaderAndMappingFirstThenShapesAndTextWithTheObjectsSelectedBeforeThem) {
    const std::string path = PathOf("drawing.emf");
    auto dc = Create(path, 120, 80.25);
    ASSERT_NE(dc, nullptr);
    const struct {
        int style, width;
        std::uint32_t color, expectedStyle, expectedWidth;
    } pens[] = {{MetafileDC::Dash, 1, 0x00FF00u, 1, 1}, {MetafileDC::Dot, 1, 0xFF0000u, 2, 1},
                {MetafileDC::Null, 0, 0x1234u, 5, 0}, {7, 2, 0x808080u, 0, 2} /* not a known style: solid */,
                {MetafileDC::Solid, -4, 0, 0, 0} /* the thinnest */};
    for (const auto& p : pens) {
        dc->SelectPen(p.style, p.width, p.color | 0xFF000000u); // the high byte is not part of a colour
        dc->LineTo(490, 25);
    }
    dc->SelectNullBrush();
    dc->Ellipse(20, 30, 220, 130);
    dc->SelectSolidBrush(0x00C08040u);
    dc->MoveTo(300, 300);
    dc->Rectangle(300, 300, 401, 451);
    dc->SelectNullBrush();
    dc->SelectFont("Liberation Sans", -24, 900, 700, true, false, true, 1);
    dc->SetTransparentBackground();
    dc->SetTextColor(0x00204060u);
    dc->TextOut(40, 60, "H\xC3\xB6he \xE2\x82\xAC \xF0\x9D\x84\x9E"); // a clef outside the BMP
    dc->SelectFont("A face name that is much longer than thirty-one characters", 12, 0, 400, false, true, false, 300);
    dc->TextOut(5, 480, "a\xFF" "b\xC3"); // broken UTF-8
    dc->TextOut(5, 490, "");               // nothing to draw
    const Metafile m = Finish(*dc, path);
    ASSERT_GT(m.records.size(), 4u);
    const Record& header = m.records[0];
    EXPECT_EQ(header.Box(24), (std::vector<int>{0, 0, 12000, 8025})); // the frame in hundredths of a millimetre
    EXPECT_EQ(std::vector<std::size_t>({header.U32(48), header.U32(52)}), (std::vector{m.fileSize, m.records.size()}));
    // The square 0..500 of device units covers the frame, measured in the reference device's pixels.
    const std::uint32_t types[] = {EMR_HEADER, EMR_SETMAPMODE, EMR_SETWINDOWEXTEX, EMR_SETVIEWPORTEXTEX};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(m.records[i].type, types[i]) << i;
    EXPECT_EQ(std::vector<int>({m.records[1].I32(8), m.records[2].I32(8), m.records[2].I32(12)}),
              std::vector<int>({8 /* MM_ANISOTROPIC */, MetafileDC::DeviceUnits, MetafileDC::DeviceUnits}));
    EXPECT_NEAR(m.records[3].I32(8), 120.0 * header.I32(72) / header.I32(80), 0.5);
    EXPECT_NEAR(m.records[3].I32(12), 80.25 * header.I32(76) / header.I32(84), 0.5);

    const auto drawn = m.Drawings();
    ASSERT_EQ(drawn.size(), std::size(pens) + 5);
    for (std::size_t i = 0; i < std::size(pens); ++i) {
        const Record& pen = drawn[i].pen;
        ASSERT_EQ(pen.type, EMR_CREATEPEN) << i;
        EXPECT_EQ(std::vector<std::uint32_t>({pen.U32(12), pen.U32(16), pen.U32(24)}),
                  (std::vector<std::uint32_t>{pens[i].expectedStyle, pens[i].expectedWidth, pens[i].color})) << i;
        EXPECT_EQ(drawn[i].shape.Point(), (std::vector<int>{490, 25}));
    }
    EXPECT_EQ(drawn[5].shape.Box(), (std::vector<int>{20, 30, 220, 130}));
    EXPECT_EQ(drawn[5].brush.type, StockNullBrush);
    EXPECT_EQ(drawn[6].shape.Point(), (std::vector<int>{300, 300}));
    EXPECT_EQ(drawn[7].shape.Box(), (std::vector<int>{300, 300, 401, 451}));
    ASSERT_EQ(drawn[7].brush.type, EMR_CREATEBRUSHINDIRECT);
    EXPECT_EQ(drawn[7].brush.Point(12), (std::vector<int>{0 /* BS_SOLID */, 0x00C08040}));

    // Text in UTF-16 with its font, colour and a transparent background.
    const Record &t = drawn[8].shape, &f = drawn[8].font, &g = drawn[9].font;
    const auto textOf = [](const Record& r) { return r.Utf16(r.U32(48), r.U32(44)); };
    EXPECT_EQ(t.Point(36), (std::vector<int>{40, 60}));
    EXPECT_EQ(textOf(t), u"H\u00F6he \u20AC \U0001D11E");
    EXPECT_EQ(textOf(drawn[9].shape), u"a\uFFFDb\uFFFD");
    EXPECT_TRUE(drawn[7].bkMode == 0 && drawn[8].bkMode == 1 && drawn[8].textColor == 0x00204060u); // 1: TRANSPARENT
    // Height, escapement, orientation and weight; italic, underline, strike-out and character set.
    EXPECT_EQ(std::vector<int>({f.I32(12), f.I32(20), f.I32(24), f.I32(28)}), (std::vector<int>{-24, 900, 900, 700}));
    EXPECT_EQ(std::vector<int>({f.U8(32), f.U8(33), f.U8(34), f.U8(35), g.U8(35)}),
              (std::vector<int>{1, 0, 1, 1, 255}));
    EXPECT_EQ(f.Utf16(40, 32), std::u16string(u"Liberation Sans") + std::u16string(17, u'\0'));
    EXPECT_EQ(g.Utf16(40, 32), std::u16string(u"A face name that is much longer") + u'\0');
}

TEST_F(MetafileDCTest, CreateRefusesUnwritablePathsAndBadSizesAndCloseReportsWriteFailures) {
    std::string error;
    const std::string missing = PathOf("no/such/folder/x.emf"), path = PathOf("size.emf");
    for (const std::string& where : {missing, dir_.path().toStdString(), std::string()}) {
        EXPECT_EQ(MetafileDC::Create(where, 100, 100, error), nullptr) << where;
        EXPECT_EQ(error.rfind("Cannot create the metafile \"" + where + "\"", 0), 0u) << error;
    }
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    for (const auto& [w, h] :
         std::vector<std::pair<double, double>>{{0.001, 50}, {100, -1}, {nan, 1}, {1, inf}, {1e7, 1}}) {
        EXPECT_EQ(MetafileDC::Create(path, w, h, error), nullptr) << w << " x " << h;
        EXPECT_EQ(error, "Invalid metafile size for \"" + path + "\"");
    }
    EXPECT_FALSE(fs::exists(path) || fs::exists(missing));
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to provoke a write error";
    std::string again;
    auto dc = Create("/dev/full");
    ASSERT_NE(dc, nullptr);
    for (int i = 0; i < 2000; ++i) dc->LineTo(i % 500, i / 4); // more than a stdio buffer
    EXPECT_FALSE(dc->Close(error) || dc->Close(again)); // the failure is reported again
    EXPECT_EQ(error.rfind("Cannot write the metafile \"/dev/full\"", 0), 0u) << error;
    EXPECT_EQ(again, error);
}

// libEMF keeps its objects in one table for the whole process; each metafile must still define
// every pen it uses itself, also when it is written alongside or after another. After Close
// nothing more is written, and a metafile destroyed without Close is complete all the same.
TEST_F(MetafileDCTest, MetafilesWrittenTogetherKeepTheirOwnObjectsAndCloseOnce) {
    const std::string paths[] = {PathOf("a.emf"), PathOf("b.emf"), PathOf("c.emf")};
    const std::uint32_t colours[] = {0xFFu, 0xFF00u, 0xFF0000u};
    std::unique_ptr<MetafileDC> dc[] = {Create(paths[0]), Create(paths[1]), nullptr};
    for (int i : {0, 1}) dc[i]->SelectPen(MetafileDC::Solid + i, 1, colours[i]);
    for (int i : {0, 1}) dc[i]->LineTo(10, 10);
    const auto size = Finish(*dc[0], paths[0]).fileSize;
    std::string error = "not cleared";
    EXPECT_TRUE(dc[0]->Close(error) && error.empty()); // the first result again
    const std::function<void(MetafileDC&)> calls[] = {
        [](auto& d) { d.SelectPen(MetafileDC::Dash, 1, 0); }, [](auto& d) { d.SelectNullBrush(); },
        [](auto& d) { d.SelectSolidBrush(0); },   [](auto& d) { d.SelectFont("Arial", 10, 0, 400, 0, 0, 0, 1); },
        [](auto& d) { d.SetTextColor(0); },       [](auto& d) { d.SetTransparentBackground(); },
        [](auto& d) { d.MoveTo(1, 1); },          [](auto& d) { d.LineTo(2, 2); },
        [](auto& d) { d.Ellipse(1, 1, 2, 2); },   [](auto& d) { d.Rectangle(1, 1, 2, 2); },
        [](auto& d) { d.TextOut(1, 1, "x"); }};
    for (const auto& call : calls) call(*dc[0]);
    dc[0].reset();
    EXPECT_EQ(fs::file_size(paths[0]), size);
    dc[2] = Create(paths[2]); // may reuse what the first left behind
    dc[2]->SelectPen(MetafileDC::Dot, 1, colours[2]);
    dc[2]->LineTo(30, 30);
    Finish(*dc[1], paths[1]);
    dc[2].reset(); // without Close
    for (int i : {0, 1, 2}) {
        const Metafile m = ReadMetafile(paths[i]);
        ASSERT_TRUE(m.wellFormed) << i;
        EXPECT_EQ(m.records.back().type, EMR_EOF) << i;
        const auto drawn = m.Drawings();
        ASSERT_EQ(drawn.size(), 1u) << i;
        ASSERT_EQ(drawn[0].pen.type, EMR_CREATEPEN) << i;
        EXPECT_EQ(drawn[0].pen.U32(24), colours[i]) << i;
        EXPECT_LT(drawn[0].pen.U32(8), m.records[0].U32(56) & 0xFFFFu) << "beyond the header's handle count";
    }
}

} // namespace
