// The metafile device context, checked on the bytes of the files it writes: a small
// reader splits an enhanced metafile into its records and the tests look at the fields
// the drawing calls must have produced.

#include "platform/MetafileDC.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ov::MetafileDC;

// Record types of enhanced metafiles.
enum : std::uint32_t {
    EMR_HEADER = 1,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_EOF = 14,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETTEXTCOLOR = 24,
    EMR_MOVETOEX = 27,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_LINETO = 54,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
};

constexpr std::uint32_t StockObject = 0x80000000u;
constexpr std::uint32_t StockWhiteBrush = StockObject | 0, StockNullBrush = StockObject | 5,
                        StockBlackPen = StockObject | 7;

struct Record {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::size_t offset = 0; // in the file
    std::vector<unsigned char> bytes;

    std::uint32_t U32(std::size_t at) const {
        if (at + 4 > bytes.size())
            ADD_FAILURE() << "field at " << at << " beyond record of " << bytes.size();
        if (at + 4 > bytes.size()) return 0;
        return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
               std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
    }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    std::uint16_t U16(std::size_t at) const {
        if (at + 2 > bytes.size()) return 0;
        return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
    }
    // UTF-16 units from at, count of them or up to the first zero when count is npos.
    std::u16string Utf16(std::size_t at, std::size_t count = std::u16string::npos) const {
        std::u16string s;
        for (std::size_t i = 0; i < count && at + 2 * i + 2 <= bytes.size(); ++i) {
            const char16_t c = U16(at + 2 * i);
            if (count == std::u16string::npos && c == 0) break;
            s.push_back(c);
        }
        return s;
    }
};

struct Metafile {
    std::size_t fileSize = 0;
    std::vector<Record> records;
    bool wellFormed = false; // every record inside the file, sizes add up to the file size

    std::vector<Record> OfType(std::uint32_t type) const {
        std::vector<Record> out;
        for (const Record& r : records)
            if (r.type == type) out.push_back(r);
        return out;
    }
    std::vector<std::uint32_t> Types() const {
        std::vector<std::uint32_t> out;
        for (const Record& r : records)
            out.push_back(r.type);
        return out;
    }
};

Metafile ReadMetafile(const fs::path& path) {
    Metafile m;
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    m.fileSize = data.size();
    std::size_t at = 0;
    while (at + 8 <= data.size()) {
        Record r;
        r.offset = at;
        r.bytes.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + 8));
        r.type = r.U32(0);
        r.size = r.U32(4);
        if (r.size < 8 || r.size % 4 != 0 || at + r.size > data.size()) return m;
        r.bytes.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + r.size));
        m.records.push_back(std::move(r));
        at += m.records.back().size;
    }
    m.wellFormed = at == data.size() && !m.records.empty();
    return m;
}

class MetafileDCTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        dir_ = fs::path(::testing::TempDir()) /
               ("ov_metafile_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    std::unique_ptr<MetafileDC> CreateOrFail(const std::string& path, double w = 100,
                                             double h = 100) {
        std::string error;
        auto dc = MetafileDC::Create(path, w, h, error);
        EXPECT_NE(dc, nullptr) << error;
        EXPECT_EQ(error, "");
        return dc;
    }
    static void CloseOrFail(MetafileDC& dc) {
        std::string error;
        EXPECT_TRUE(dc.Close(error)) << error;
        EXPECT_EQ(error, "");
    }

    fs::path dir_;
};

TEST_F(MetafileDCTest, HeaderFrameMappingAndRecordLayout) {
    const std::string path = PathOf("frame.emf");
    auto dc = CreateOrFail(path, 120, 80.25);
    ASSERT_NE(dc, nullptr);
    dc->SelectPen(MetafileDC::Solid, 1, 0);
    dc->MoveTo(0, 0);
    dc->LineTo(500, 500);
    CloseOrFail(*dc);

    const Metafile m = ReadMetafile(path);
    ASSERT_TRUE(m.wellFormed) << "record sizes do not add up to the file size " << m.fileSize;

    const Record& header = m.records.front();
    ASSERT_EQ(header.type, EMR_HEADER);
    // Frame in hundredths of a millimetre.
    EXPECT_EQ(header.I32(24), 0);
    EXPECT_EQ(header.I32(28), 0);
    EXPECT_EQ(header.I32(32), 12000);
    EXPECT_EQ(header.I32(36), 8025);
    EXPECT_EQ(header.U32(40), 0x464D4520u); // " EMF"
    EXPECT_EQ(header.U32(48), m.fileSize);
    EXPECT_EQ(header.U32(52), m.records.size());
    EXPECT_EQ(m.records.back().type, EMR_EOF);
    EXPECT_EQ(m.OfType(EMR_HEADER).size(), 1u);
    EXPECT_EQ(m.OfType(EMR_EOF).size(), 1u);

    // The square 0..500 of device units is mapped onto the frame: the viewport is the
    // frame measured in the reference device's pixels, as the header gives them.
    const double pixelsPerMMX = double(header.I32(72)) / header.I32(80);
    const double pixelsPerMMY = double(header.I32(76)) / header.I32(84);
    const auto mapMode = m.OfType(EMR_SETMAPMODE);
    const auto window = m.OfType(EMR_SETWINDOWEXTEX);
    const auto viewport = m.OfType(EMR_SETVIEWPORTEXTEX);
    ASSERT_EQ(mapMode.size(), 1u);
    ASSERT_EQ(window.size(), 1u);
    ASSERT_EQ(viewport.size(), 1u);
    EXPECT_EQ(mapMode[0].U32(8), 8u); // MM_ANISOTROPIC
    EXPECT_EQ(window[0].I32(8), MetafileDC::DeviceUnits);
    EXPECT_EQ(window[0].I32(12), MetafileDC::DeviceUnits);
    EXPECT_NEAR(viewport[0].I32(8), 120 * pixelsPerMMX, 0.5);
    EXPECT_NEAR(viewport[0].I32(12), 80.25 * pixelsPerMMY, 0.5);
    // The mapping comes before anything is drawn.
    const auto types = m.Types();
    EXPECT_LT(std::find(types.begin(), types.end(), EMR_SETVIEWPORTEXTEX) - types.begin(),
              std::find(types.begin(), types.end(), EMR_MOVETOEX) - types.begin());
}

TEST_F(MetafileDCTest, LinesUseThePenSelectedBeforeThem) {
    const std::string path = PathOf("lines.emf");
    auto dc = CreateOrFail(path);
    ASSERT_NE(dc, nullptr);
    struct Pen {
        int style, width;
        std::uint32_t color;
        int expectedStyle, y;
    };
    const std::vector<Pen> pens = {
        {MetafileDC::Solid, 3, 0x0000FFu, 0, 50},
        {MetafileDC::Dash, 1, 0x00FF00u, 1, 100},
        {MetafileDC::Dot, 1, 0xFF0000u, 2, 150},
        {MetafileDC::Null, 0, 0x123456u, 5, 200},
        {7, 2, 0x808080u, 0, 250},             // not a known style: solid
        {MetafileDC::Solid, -4, 0x0u, 0, 300}, // negative width: the thinnest pen
    };
    for (const Pen& p : pens) {
        dc->SelectPen(p.style, p.width, p.color | 0xFF000000u); // high byte is not part of a colour
        dc->MoveTo(10, p.y);
        dc->LineTo(490, p.y + 5);
    }
    CloseOrFail(*dc);

    const Metafile m = ReadMetafile(path);
    ASSERT_TRUE(m.wellFormed);
    const auto created = m.OfType(EMR_CREATEPEN);
    ASSERT_EQ(created.size(), pens.size());

    // Walk the records: each line must be drawn with the pen created for it.
    std::map<std::uint32_t, Record> live;
    std::uint32_t selectedPen = 0;
    std::size_t line = 0;
    for (const Record& r : m.records) {
        switch (r.type) {
        case EMR_CREATEPEN:
            live[r.U32(8)] = r;
            break;
        case EMR_SELECTOBJECT:
            if (live.count(r.U32(8)) || r.U32(8) == StockBlackPen) selectedPen = r.U32(8);
            break;
        case EMR_DELETEOBJECT:
            EXPECT_NE(r.U32(8), selectedPen) << "pen deleted while selected";
            live.erase(r.U32(8));
            break;
        case EMR_MOVETOEX: {
            ASSERT_LT(line, pens.size());
            const Pen& p = pens[line];
            ASSERT_TRUE(live.count(selectedPen)) << "line " << line << " drawn without its pen";
            const Record& pen = live[selectedPen];
            EXPECT_EQ(pen.U32(12), std::uint32_t(p.expectedStyle)) << "line " << line;
            EXPECT_EQ(pen.I32(16), std::max(p.width, 0)) << "line " << line;
            EXPECT_EQ(pen.U32(24), p.color) << "line " << line;
            EXPECT_EQ(r.I32(8), 10);
            EXPECT_EQ(r.I32(12), p.y);
            break;
        }
        case EMR_LINETO:
            EXPECT_EQ(r.I32(8), 490);
            EXPECT_EQ(r.I32(12), pens[line].y + 5);
            ++line;
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(line, pens.size());
    // Every pen is deleted once it is replaced, the last one when the file is closed.
    // (libEMF reuses the handle numbers of deleted objects.)
    EXPECT_TRUE(live.empty());
    EXPECT_EQ(m.OfType(EMR_DELETEOBJECT).size(), pens.size());
}

TEST_F(MetafileDCTest, ShapesWithNullAndSolidBrushes) {
    const std::string path = PathOf("shapes.emf");
    auto dc = CreateOrFail(path);
    ASSERT_NE(dc, nullptr);
    dc->SelectPen(MetafileDC::Solid, 2, 0);
    dc->SelectNullBrush();
    dc->Ellipse(20, 30, 220, 130);
    dc->Rectangle(250, 30, 481, 131);
    dc->SelectPen(MetafileDC::Null, 0, 0);
    dc->SelectSolidBrush(0x00C08040u);
    dc->Ellipse(20, 300, 120, 400);
    dc->SelectSolidBrush(0x000000FFu);
    dc->Rectangle(300, 300, 401, 451);
    dc->SelectNullBrush();
    CloseOrFail(*dc);

    const Metafile m = ReadMetafile(path);
    ASSERT_TRUE(m.wellFormed);
    const auto ellipses = m.OfType(EMR_ELLIPSE);
    const auto rectangles = m.OfType(EMR_RECTANGLE);
    ASSERT_EQ(ellipses.size(), 2u);
    ASSERT_EQ(rectangles.size(), 2u);
    const auto box = [](const Record& r) {
        return std::vector<int>{r.I32(8), r.I32(12), r.I32(16), r.I32(20)};
    };
    EXPECT_EQ(box(ellipses[0]), (std::vector<int>{20, 30, 220, 130}));
    EXPECT_EQ(box(rectangles[0]), (std::vector<int>{250, 30, 481, 131}));
    EXPECT_EQ(box(ellipses[1]), (std::vector<int>{20, 300, 120, 400}));
    EXPECT_EQ(box(rectangles[1]), (std::vector<int>{300, 300, 401, 451}));

    // Brush selected when each shape is drawn: the stock null brush for the outlines,
    // the solid brushes (BS_SOLID, colour) for the filled ones.
    std::map<std::uint32_t, Record> brushes;
    std::uint32_t brush = 0;
    std::vector<std::uint32_t> brushAtShape;
    for (const Record& r : m.records) {
        if (r.type == EMR_CREATEBRUSHINDIRECT) brushes[r.U32(8)] = r;
        if (r.type == EMR_SELECTOBJECT &&
            (brushes.count(r.U32(8)) || r.U32(8) == StockNullBrush || r.U32(8) == StockWhiteBrush))
            brush = r.U32(8);
        if (r.type == EMR_DELETEOBJECT) {
            EXPECT_NE(r.U32(8), brush) << "brush deleted while selected";
            brushes.erase(r.U32(8));
        }
        if (r.type == EMR_ELLIPSE || r.type == EMR_RECTANGLE) brushAtShape.push_back(brush);
    }
    ASSERT_EQ(brushAtShape.size(), 4u);
    EXPECT_EQ(brushAtShape[0], StockNullBrush);
    EXPECT_EQ(brushAtShape[1], StockNullBrush);
    const auto created = m.OfType(EMR_CREATEBRUSHINDIRECT);
    ASSERT_EQ(created.size(), 2u);
    EXPECT_EQ(brushAtShape[2], created[0].U32(8));
    EXPECT_EQ(brushAtShape[3], created[1].U32(8));
    EXPECT_EQ(created[0].U32(12), 0u); // BS_SOLID
    EXPECT_EQ(created[0].U32(16), 0x00C08040u);
    EXPECT_EQ(created[1].U32(16), 0x000000FFu);
    EXPECT_TRUE(brushes.empty()) << "a created brush was never deleted";
    // Two pens and two brushes were created; all four are deleted.
    EXPECT_EQ(m.OfType(EMR_DELETEOBJECT).size(), 4u);
}

TEST_F(MetafileDCTest, TextWithFontColourAndTransparentBackground) {
    const std::string path = PathOf("text.emf");
    auto dc = CreateOrFail(path);
    ASSERT_NE(dc, nullptr);
    dc->SelectFont("Liberation Sans", -24, 900, 700, true, false, true, 1);
    dc->SetTransparentBackground();
    dc->SetTextColor(0x00204060u);
    dc->TextOut(40, 60,
                "H\xC3\xB6he \xE2\x82\xAC \xF0\x9D\x84\x9E"); // "Höhe €" and a clef outside the BMP
    dc->SelectFont("A face name that is much longer than thirty-one characters", 12, 0, 400, false,
                   true, false, 300);
    dc->TextOut(5, 480,
                "a\xFF"
                "b\xC3");    // broken UTF-8
    dc->TextOut(5, 490, ""); // nothing to draw
    CloseOrFail(*dc);

    const Metafile m = ReadMetafile(path);
    ASSERT_TRUE(m.wellFormed);
    const auto fonts = m.OfType(EMR_EXTCREATEFONTINDIRECTW);
    ASSERT_EQ(fonts.size(), 2u);
    const Record& f = fonts[0];
    EXPECT_EQ(f.I32(12), -24); // height
    EXPECT_EQ(f.I32(20), 900); // escapement
    EXPECT_EQ(f.I32(24), 900); // orientation
    EXPECT_EQ(f.I32(28), 700); // weight
    EXPECT_EQ(f.bytes[32], 1); // italic
    EXPECT_EQ(f.bytes[33], 0); // underline
    EXPECT_EQ(f.bytes[34], 1); // strike-out
    EXPECT_EQ(f.bytes[35], 1); // character set
    EXPECT_EQ(f.Utf16(40, 32), std::u16string(u"Liberation Sans") + std::u16string(17, u'\0'));
    const Record& g = fonts[1];
    EXPECT_EQ(g.I32(12), 12);
    EXPECT_EQ(g.bytes[33], 1);
    EXPECT_EQ(g.bytes[35], 255); // clamped to a byte
    EXPECT_EQ(g.Utf16(40, 32), std::u16string(u"A face name that is much longer") + u'\0');

    const auto bk = m.OfType(EMR_SETBKMODE);
    ASSERT_EQ(bk.size(), 1u);
    EXPECT_EQ(bk[0].U32(8), 1u); // TRANSPARENT
    const auto colour = m.OfType(EMR_SETTEXTCOLOR);
    ASSERT_EQ(colour.size(), 1u);
    EXPECT_EQ(colour[0].U32(8), 0x00204060u);

    EXPECT_TRUE(m.OfType(EMR_EXTTEXTOUTA).empty());
    const auto texts = m.OfType(EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 2u);
    const auto textOf = [](const Record& r) { return r.Utf16(r.U32(48), r.U32(44)); };
    EXPECT_EQ(texts[0].I32(36), 40);
    EXPECT_EQ(texts[0].I32(40), 60);
    EXPECT_EQ(textOf(texts[0]), u"H\u00F6he \u20AC \U0001D11E");
    EXPECT_EQ(texts[1].I32(36), 5);
    EXPECT_EQ(texts[1].I32(40), 480);
    EXPECT_EQ(textOf(texts[1]), u"a\uFFFDb\uFFFD");

    // Each text is drawn with the font selected last before it.
    std::uint32_t font = 0;
    std::vector<std::uint32_t> fontAtText;
    for (const Record& r : m.records) {
        if (r.type == EMR_SELECTOBJECT) {
            for (const Record& created : fonts)
                if (created.U32(8) == r.U32(8)) font = r.U32(8);
        }
        if (r.type == EMR_EXTTEXTOUTW) fontAtText.push_back(font);
    }
    EXPECT_EQ(fontAtText, (std::vector<std::uint32_t>{fonts[0].U32(8), fonts[1].U32(8)}));
    EXPECT_EQ(m.OfType(EMR_DELETEOBJECT).size(), 2u);
}

TEST_F(MetafileDCTest, CreateRefusesUnwritablePathsAndBadSizes) {
    std::string error;
    const std::string missingDir = PathOf("no/such/folder/x.emf");
    EXPECT_EQ(MetafileDC::Create(missingDir, 100, 100, error), nullptr);
    EXPECT_NE(error.find(missingDir), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(missingDir));

    error.clear();
    EXPECT_EQ(MetafileDC::Create(dir_.string(), 100, 100, error), nullptr); // a folder
    EXPECT_FALSE(error.empty());

    error.clear();
    EXPECT_EQ(MetafileDC::Create("", 100, 100, error), nullptr);
    EXPECT_FALSE(error.empty());

    const std::string path = PathOf("size.emf");
    for (const auto& [w, h] :
         std::vector<std::pair<double, double>>{{0, 100},
                                                {0.001, 50},
                                                {100, -1},
                                                {std::nan(""), 100},
                                                {100, std::numeric_limits<double>::infinity()},
                                                {1e7, 10}}) {
        error.clear();
        EXPECT_EQ(MetafileDC::Create(path, w, h, error), nullptr) << w << " x " << h;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(MetafileDCTest, CloseReportsWriteFailureAndRepeatsItsResult) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to provoke a write error";
    std::string error;
    auto dc = MetafileDC::Create("/dev/full", 100, 100, error);
    ASSERT_NE(dc, nullptr) << error;
    dc->SelectPen(MetafileDC::Solid, 1, 0);
    for (int i = 0; i < 2000; ++i)
        dc->LineTo(i % 500, i / 4); // more than a stdio buffer
    EXPECT_FALSE(dc->Close(error));
    EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
    std::string again;
    EXPECT_FALSE(dc->Close(again));
    EXPECT_EQ(again, error);
}

TEST_F(MetafileDCTest, CloseTwiceAndDrawingAfterCloseLeaveTheFileAlone) {
    const std::string path = PathOf("twice.emf");
    auto dc = CreateOrFail(path);
    ASSERT_NE(dc, nullptr);
    dc->SelectPen(MetafileDC::Solid, 1, 0);
    dc->Rectangle(1, 2, 3, 4);
    CloseOrFail(*dc);
    const auto size = fs::file_size(path);
    CloseOrFail(*dc);
    dc->SelectPen(MetafileDC::Dash, 1, 0);
    dc->SelectSolidBrush(0);
    dc->SelectFont("Arial", 10, 0, 400, false, false, false, 1);
    dc->MoveTo(1, 1);
    dc->LineTo(2, 2);
    dc->TextOut(1, 1, "x");
    dc.reset();
    EXPECT_EQ(fs::file_size(path), size);
    EXPECT_TRUE(ReadMetafile(path).wellFormed);
}

TEST_F(MetafileDCTest, DestroyingWithoutCloseStillWritesACompleteFile) {
    const std::string path = PathOf("unclosed.emf");
    {
        auto dc = CreateOrFail(path);
        ASSERT_NE(dc, nullptr);
        dc->SelectPen(MetafileDC::Solid, 1, 0);
        dc->MoveTo(1, 2);
        dc->LineTo(3, 4);
    }
    const Metafile m = ReadMetafile(path);
    ASSERT_TRUE(m.wellFormed);
    EXPECT_EQ(m.records.back().type, EMR_EOF);
    EXPECT_EQ(m.OfType(EMR_LINETO).size(), 1u);
}

// libEMF keeps its objects in one table for the whole process; each metafile must still
// define every pen it uses itself, also when it is written alongside or after another.
TEST_F(MetafileDCTest, MetafilesWrittenTogetherKeepTheirOwnObjects) {
    const std::string pathA = PathOf("a.emf"), pathB = PathOf("b.emf"), pathC = PathOf("c.emf");
    auto a = CreateOrFail(pathA);
    auto b = CreateOrFail(pathB);
    ASSERT_TRUE(a && b);
    a->SelectPen(MetafileDC::Solid, 1, 0x0000FFu);
    b->SelectPen(MetafileDC::Dash, 1, 0x00FF00u);
    a->LineTo(10, 10);
    b->LineTo(20, 20);
    CloseOrFail(*a);
    a.reset();
    auto c = CreateOrFail(pathC); // may reuse what a left behind
    ASSERT_TRUE(c);
    c->SelectPen(MetafileDC::Dot, 1, 0xFF0000u);
    c->LineTo(30, 30);
    CloseOrFail(*b);
    CloseOrFail(*c);

    for (const auto& [path, colour] : std::vector<std::pair<std::string, std::uint32_t>>{
             {pathA, 0x0000FFu}, {pathB, 0x00FF00u}, {pathC, 0xFF0000u}}) {
        const Metafile m = ReadMetafile(path);
        ASSERT_TRUE(m.wellFormed) << path;
        const auto pens = m.OfType(EMR_CREATEPEN);
        ASSERT_EQ(pens.size(), 1u) << path;
        EXPECT_EQ(pens[0].U32(24), colour) << path;
        const auto lines = m.OfType(EMR_LINETO);
        ASSERT_EQ(lines.size(), 1u) << path;
        // The pen is created before the line that uses it.
        EXPECT_LT(pens[0].offset, lines[0].offset) << path;
        // Handles in the file stay below the header's handle count.
        EXPECT_LT(pens[0].U32(8), m.records.front().U16(56)) << path;
    }
}

} // namespace
