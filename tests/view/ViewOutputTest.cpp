#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <cstring>

#include "Fakes.h"
#include "platform/Prompt.h"
#include "platform/svg/SvgDrawApp.h"
#include "scene/clsNode.h"
#include "scene/clsScene.h"
#include "paint/Canvas.h"
#include "paint/clsPaintDC.h"
#include "paint/clsView.h"

using namespace ov;
using test::Rect;

namespace {

constexpr double A4W = 0.21, A4H = 0.297;

clsView ViewOf(std::int32_t type, double left, double bottom, double right, double top) {
    clsView view;
    view.ViewType = type;
    view.ViewVolume.SetValues(left, bottom, right, top);
    return view;
}

struct Layout {
    clsRect paper, sheet, print;
};

Layout Page(const clsView& view, double pw, double ph, double aw, double ah, double ox, double oy, bool fit) {
    Layout l;
    view.CalcPageLayout(pw, ph, aw, ah, ox, oy, l.paper, l.sheet, l.print, fit);
    return l;
}

void ExpectRect(const clsRect& r, double left, double bottom, double right, double top, double tol = 1e-9) {
    EXPECT_NEAR(r.Left, left, tol);
    EXPECT_NEAR(r.Bottom, bottom, tol);
    EXPECT_NEAR(r.Right, right, tol);
    EXPECT_NEAR(r.Top, top, tol);
}

void ExpectSame(const clsRect& a, const clsRect& b, double tol = 1e-9) {
    ExpectRect(a, b.Left, b.Bottom, b.Right, b.Top, tol);
}

// Record types and the records' bytes after their 8-byte header, of an enhanced metafile.
std::vector<std::pair<std::uint32_t, QByteArray>> ReadEmf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const auto u32 = [&](int at) { // little-endian, byte by byte
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes.at(at + i));
        return v;
    };
    std::vector<std::pair<std::uint32_t, QByteArray>> records;
    for (int at = 0, size = 0; at + 8 <= bytes.size(); at += size) {
        size = static_cast<int>(u32(at + 4));
        if (size < 8 || at + size > bytes.size()) break;
        records.emplace_back(u32(at), bytes.mid(at + 8, size - 8));
    }
    return records;
}

// The drawing program with a log of the calls the export makes in order, and switches to fail
// at a chosen step.
struct ScriptedPage : draw::Page {
    std::vector<std::string>& log;
    bool fail;
    double width = 0, height = 0;
    ScriptedPage(std::vector<std::string>& l, bool f) : log(l), fail(f) {}
    void SetSize(double w, double h) override {
        log.push_back("SetSize");
        std::tie(width, height) = std::pair(w, h);
        if (fail) throw std::runtime_error("The page size is out of range");
    }
};

struct FailingLayer : test::FakeLayer {
    int linesBeforeFailure = 3;
    std::shared_ptr<draw::Shape> CreateLineSegment(double a, double b, double c, double d) override {
        if (linesBeforeFailure-- == 0) throw std::runtime_error("Out of memory in the drawing program");
        return FakeLayer::CreateLineSegment(a, b, c, d);
    }
};

struct ScriptedDocument : test::FakeDocument {
    std::vector<std::string>& log;
    bool failSize;
    std::shared_ptr<ScriptedPage> page;
    ScriptedDocument(std::vector<std::string>& l, bool f) : log(l), failSize(f) {}
    std::shared_ptr<draw::Page> ActivePage() override {
        log.push_back("ActivePage");
        return page = std::make_shared<ScriptedPage>(log, failSize);
    }
};

struct ScriptedApp : test::FakeDrawApp {
    std::vector<std::string> log;
    bool failSize = false, failShapes = false;
    std::shared_ptr<ScriptedDocument> created;
    void SetVisible(bool visible) override { log.push_back(visible ? "Visible=true" : "Visible=false"); }
    std::shared_ptr<draw::Document> CreateDocument() override {
        log.push_back("CreateDocument");
        document = created = std::make_shared<ScriptedDocument>(log, failSize);
        if (failShapes) created->layer = std::make_shared<FailingLayer>();
        return created;
    }
    std::shared_ptr<draw::Document> ActiveDocument() override {
        log.push_back("ActiveDocument");
        return FakeDrawApp::ActiveDocument();
    }
};

// Counts the frame drawn by the export: rectangles on the layer.
std::vector<std::shared_ptr<test::FakeDrawShape>> Rectangles(const test::FakeLayer& layer) {
    std::vector<std::shared_ptr<test::FakeDrawShape>> r;
    for (const auto& s : layer.created)
        if (s->kind == "rect") r.push_back(s);
    return r;
}

// All content streams of a PDF, inflated.
std::string PdfContent(const QByteArray& pdf) {
    std::string all;
    for (int at = pdf.indexOf("stream"); at >= 0; at = pdf.indexOf("stream", at + 6)) {
        if (at >= 3 && pdf.mid(at - 3, 3) == "end") continue;
        int start = at + 6;
        if (pdf[start] == '\r') ++start;
        if (pdf[start] == '\n') ++start;
        const int end = pdf.indexOf("endstream", start);
        if (end < 0) break;
        const QByteArray raw = pdf.mid(start, end - start);
        // qUncompress wants the zlib data behind a big-endian size hint.
        const quint32 hint = static_cast<quint32>(raw.size()) * 20 + 1024;
        QByteArray framed;
        for (int shift = 24; shift >= 0; shift -= 8) framed.append(static_cast<char>((hint >> shift) & 0xFF));
        framed.append(raw);
        const QByteArray inflated = qUncompress(framed);
        all += (inflated.isEmpty() ? raw : inflated).toStdString();
    }
    return all;
}

} // namespace

// --- Page layout ------------------------------------------------------------------------

TEST(PageLayout, FittedViewFillsThePrintableAreaCentred) {
    // The default volume of the Top view on an A4 sheet: the square is limited by the
    // sheet's width, so the sheet reaches above and below it by the same amount.
    const clsView top = ViewOf(clsView::Top, -20, -20, 20, 20);
    Layout l;
    top.CalcSheetLayout(A4W, A4H, true, l.paper, l.sheet, l.print);
    const double halfHeight = 20 * A4H / A4W;
    ExpectRect(l.sheet, -20, -halfHeight, 20, halfHeight);
    ExpectSame(l.print, l.sheet);

    // Landscape: limited by the height now.
    top.CalcSheetLayout(A4H, A4W, true, l.paper, l.sheet, l.print);
    ExpectRect(l.sheet, -halfHeight, -20, halfHeight, 20);

    // A printer page with uneven margins: the printable area, not the sheet, is centred on
    // the volume, and the margins appear at their scale (40 units per 0.17 m here).
    const Layout p = Page(top, A4W, A4H, 0.17, 0.237, 0.01, 0.02, true);
    const double k = 40 / 0.17;
    ExpectRect(p.print, -20, -0.237 / 2 * k, 20, 0.237 / 2 * k);
    ExpectRect(p.sheet, -20 - 0.01 * k, p.print.Bottom - 0.04 * k, 20 + 0.03 * k, p.print.Top + 0.02 * k);
    ExpectSame(p.paper, p.sheet);
}

TEST(PageLayout, WideAndMirroredVolumesKeepOneScaleAndTheirDirection) {
    // Twice as wide as high on a portrait page: the width limits, the vertical scale has
    // the same size. The Front view runs from the maximum to the minimum x.
    const clsView front = ViewOf(clsView::Front, 40, -10, -40, 30);
    const Layout l = Page(front, A4W, A4H, A4W, A4H, 0, 0, false);
    ExpectRect(l.print, 40, 10 - A4H * 40 / A4W, -40, 10 + A4H * 40 / A4W);

    // A volume mirrored vertically keeps its direction too.
    const clsView flipped = ViewOf(clsView::Left, -5, 10, 5, -10);
    const Layout f = Page(flipped, A4W, A4H, A4W, A4H, 0, 0, true);
    ExpectRect(f.print, -10 * A4W / A4H, 10, 10 * A4W / A4H, -10);
}

TEST(PageLayout, OrthographicViewsFitWhateverFitSays) {
    for (std::int32_t type = clsView::Left; type <= clsView::Back; ++type) {
        const clsView view = ViewOf(type, -3, -1, 5, 7);
        const Layout fitted = Page(view, A4W, A4H, 0.19, 0.27, 0.01, 0.015, true);
        const Layout unfitted = Page(view, A4W, A4H, 0.19, 0.27, 0.01, 0.015, false);
        ExpectSame(unfitted.print, fitted.print);
        ExpectSame(unfitted.paper, fitted.paper);
    }
    // The same volume in the perspective view is not fitted without fit.
    const clsView persp = ViewOf(clsView::Perspective, -3, -1, 5, 7);
    EXPECT_NEAR(Page(persp, A4W, A4H, 0.19, 0.27, 0.01, 0.015, false).print.GetWidth(), 0.19, 1e-12);
}

TEST(PageLayout, PerspectiveWithoutFitPrintsOneUnitPerMetre) {
    // A camera window 0.5 units wide covers 0.5 m of paper: more than an A4 sheet.
    const double cx = 0.1, cy = 0.05;
    const clsView view = ViewOf(clsView::Perspective, cx - 0.25, cy - 0.2, cx + 0.25, cy + 0.2);
    const double aw = 0.19, ah = 0.27, ox = 0.01, oy = 0.012;
    const Layout l = Page(view, A4W, A4H, aw, ah, ox, oy, false);
    // The printable area at true size, centred on the window's centre.
    ExpectRect(l.print, cx - aw / 2, cy - ah / 2, cx + aw / 2, cy + ah / 2, 1e-12);
    // The sheet around it with the margins, the top one being oy.
    ExpectRect(l.sheet, l.print.Left - ox, l.print.Top + oy - A4H, l.print.Left - ox + A4W, l.print.Top + oy, 1e-12);
    // The window is larger than the paper both ways: the preview starts at its corner.
    ExpectRect(l.paper, view.ViewVolume.Left, view.ViewVolume.Bottom, view.ViewVolume.Left + A4W,
               view.ViewVolume.Bottom + A4H, 1e-12);

    // A window smaller than the paper: the preview shows the sheet.
    const clsView small = ViewOf(clsView::Perspective, -0.05, -0.04, 0.05, 0.04);
    const Layout s = Page(small, A4W, A4H, aw, ah, ox, oy, false);
    ExpectSame(s.paper, s.sheet, 1e-12);
    ExpectRect(s.print, -aw / 2, -ah / 2, aw / 2, ah / 2, 1e-12);

    // With fit the same window fills the printable area's width.
    EXPECT_NEAR(Page(view, A4W, A4H, aw, ah, ox, oy, true).print.GetWidth(), 0.5, 1e-12);
}

TEST(PageLayout, AnyZeroSizeGivesTheViewVolume) {
    const clsView view = ViewOf(clsView::Perspective, -2, -1.5, 2, 1.5);
    const double sizes[4] = {A4W, A4H, 0.19, 0.27};
    for (int zero = 0; zero < 4; ++zero) {
        double s[4];
        std::copy(sizes, sizes + 4, s);
        s[zero] = 0;
        for (const bool fit : {false, true}) {
            const Layout l = Page(view, s[0], s[1], s[2], s[3], 0.01, 0.01, fit);
            for (const clsRect* r : {&l.paper, &l.sheet, &l.print}) ExpectSame(*r, view.ViewVolume);
        }
    }
}

TEST(PageLayout, PrinterLayoutReadsResolutionPaperAndMargins) {
    const clsView top = ViewOf(clsView::Top, -20, -10, 20, 30);
    // Qt keeps page sizes and margins in whole points (0.35 mm) and the device rounds them
    // to pixels: the nominal millimetres hold to half a millimetre of paper.
    const double tol = 40 / 0.17 * 0.0005;
    const auto expect = [&](QPagedPaintDevice& device, bool fit, const Layout& expected, double tolerance) {
        Layout l;
        top.CalcPrinterLayout(device, fit, l.paper, l.sheet, l.print);
        ExpectSame(l.print, expected.print, tolerance);
        ExpectSame(l.sheet, expected.sheet, tolerance);
    };
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 20, 30, 40),
                                         QPageLayout::Millimeter));
        expect(writer, false, Page(top, A4W, A4H, 0.17, 0.237, 0.01, 0.02, false), tol);
    }
    {
        // A printer in landscape: the paper's sides swap, and so do the margins.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(5, 5, 5, 15),
                                          QPageLayout::Millimeter));
        expect(printer, true, Page(top, A4H, A4W, 0.287, 0.19, 0.005, 0.005, true), 40 / 0.19 * 0.0005);
    }
}

// --- Output -----------------------------------------------------------------------------

class ViewOutput : public testing::Test {
protected:
    clsScene scene; // the model house
    clsView view;
    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
    QTemporaryDir dir;
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
};

TEST_F(ViewOutput, MetafileAlwaysHasFrameAndGridFittedInto500Units) {
    // The Front view of a volume twice as wide as high: fitted by its width, centred.
    scene.ViewVolumeMin.SetPoint(-20, -20, -10);
    scene.ViewVolumeMax.SetPoint(20, 20, 10);
    scene.ShowGrid = false; // the export draws the grid anyway
    view.SetView(clsView::Front, nullptr, &scene);
    clsNode empty; // so that every line is a grid line
    const std::string path = Path("front.emf");
    ASSERT_TRUE(view.OnExportToMetafile(path, &empty));

    std::vector<std::uint32_t> types;
    std::vector<std::int32_t> frame(4);
    for (const auto& [type, data] : ReadEmf(path)) {
        types.push_back(type);
        if (type == 43) std::memcpy(frame.data(), data.constData(), 16); // the rectangle
    }
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(std::vector({types.front(), types.back()}), std::vector<std::uint32_t>({1, 14})); // header, end
    EXPECT_EQ(std::count(types.begin(), types.end(), 43u), 1);   // the frame ...
    EXPECT_GT(std::count(types.begin(), types.end(), 54u), 10); // ... and the grid's lines
    ExpectRect(Rect(std::min(frame[0], frame[2]), std::max(frame[1], frame[3]), std::max(frame[0], frame[2]),
                    std::min(frame[1], frame[3])),
               0, 375, 500, 125, 1);
    // Only the metafile is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"front.emf"});
}

TEST_F(ViewOutput, MetafileThatCannotBeCreatedIsNotWritten) {
    view.SetView(clsView::Top, nullptr, &scene);
    EXPECT_FALSE(view.OnExportToMetafile("/nonexistent/folder/x.emf", scene.GetRootNode()));
    EXPECT_FALSE(view.OnExportToMetafile("", scene.GetRootNode()));
    // A folder in the way stays a folder, and no temporary file is left beside it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.emf"));
    EXPECT_FALSE(view.OnExportToMetafile(Path("taken.emf"), scene.GetRootNode()));
    EXPECT_TRUE(QDir(dir.filePath("taken.emf")).exists());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"taken.emf"});
}

TEST_F(ViewOutput, ExportSetsUpTheDocumentThenDrawsOnAFittedPage) {
    view.SetView(clsView::Top, nullptr, &scene);
    auto app = std::make_shared<ScriptedApp>();
    view.OnExport(app, scene.GetRootNode(), false, true, true, A4W, A4H);
    EXPECT_TRUE(prompt.Messages.empty());

    // The document and its page come first, then the paint target reads the active
    // document; nothing is drawn before the page has its size.
    const std::vector<std::string> start(app->log.begin(), app->log.begin() + 5);
    EXPECT_EQ(start,
              (std::vector<std::string>{"Visible=true", "CreateDocument", "ActivePage", "SetSize", "ActiveDocument"}));
    const double pw = 8.26771653543, ph = 11.69291338583; // A4 in inches
    EXPECT_NEAR(app->created->page->width, pw, 1e-10);
    EXPECT_NEAR(app->created->page->height, ph, 1e-10);

    // The frame is the view volume, as wide as the page and centred on it, y up.
    const auto frames = Rectangles(*app->created->layer);
    ASSERT_EQ(frames.size(), 1u);
    const auto& f = *frames[0]; // y up: the bottom edge of the volume is lower on the page
    ExpectRect(Rect(std::min(f.x1, f.x2), f.y1, std::max(f.x1, f.x2), f.y2), 0, (ph - pw) / 2, pw, (ph + pw) / 2);
    EXPECT_GT(app->created->layer->created.size(), 1u);

    // Without the frame there is no rectangle.
    auto plain = std::make_shared<ScriptedApp>();
    view.OnExport(plain, scene.GetRootNode(), false, false, true, A4W, A4H);
    EXPECT_TRUE(Rectangles(*plain->created->layer).empty());
}

TEST_F(ViewOutput, ExportErrorsAreReportedAndStopTheExport) {
    view.SetView(clsView::Perspective, nullptr, &scene);
    auto app = std::make_shared<ScriptedApp>();
    app->failSize = true;
    view.OnExport(app, scene.GetRootNode(), true, true, true, A4W, A4H);
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.Messages[0].Text, "Unexpected error occured: The page size is out of range");
    EXPECT_EQ(prompt.Messages[0].Icon, PromptIcon::Critical);
    EXPECT_TRUE(app->created->layer->created.empty());
    EXPECT_EQ(app->log.back(), "SetSize");

    // A failure while shapes are created keeps what was drawn so far.
    auto failing = std::make_shared<ScriptedApp>();
    failing->failShapes = true;
    view.OnExport(failing, scene.GetRootNode(), true, true, true, A4W, A4H);
    ASSERT_EQ(prompt.Messages.size(), 2u);
    EXPECT_EQ(prompt.Messages[1].Text, "Unexpected error occured: Out of memory in the drawing program");
    EXPECT_EQ(failing->created->layer->created.size(), 3u);

    // A program without the members the export needs.
    view.OnExport(std::make_shared<test::FakeDrawApp>(), scene.GetRootNode(), true, true, true, A4W, A4H);
    ASSERT_EQ(prompt.Messages.size(), 3u);
    EXPECT_EQ(prompt.Messages[2].Text,
              "Unexpected error occured: Object doesn't support this property or method: Visible");
    view.OnExport(nullptr, scene.GetRootNode(), true, true, true, A4W, A4H);
    EXPECT_EQ(prompt.Messages.size(), 4u);
}

TEST_F(ViewOutput, ExportToTheSvgDocumentStartsAFreshDocumentOfThePageSize) {
    view.SetView(clsView::Top, nullptr, &scene);
    auto app = std::make_shared<SvgDrawApp>();
    auto stale = app->ActiveDocument()->ActiveLayer()->CreateLineSegment(0, 0, 1, 1);
    stale->SetName("Stale");
    view.OnExport(app, scene.GetRootNode(), false, true, true, A4H, A4W); // landscape
    EXPECT_TRUE(prompt.Messages.empty());
    EXPECT_TRUE(app->Visible());
    EXPECT_NEAR(app->PageWidth(), 0.297 / 0.0254, 1e-12);
    EXPECT_NEAR(app->PageHeight(), 0.21 / 0.0254, 1e-12);
    const std::string svg = app->ToSvgText();
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    ASSERT_TRUE(renderer.isValid());
    EXPECT_FALSE(renderer.elementExists("Stale"));
    EXPECT_TRUE(renderer.elementExists("Grid"));

    // A page size the document refuses is an error of the export.
    view.OnExport(app, scene.GetRootNode(), false, true, true, 0, A4H);
    ASSERT_EQ(prompt.Messages.size(), 1u);
    EXPECT_EQ(prompt.Messages[0].Text.rfind("Unexpected error occured: Invalid page size", 0), 0u)
        << prompt.Messages[0].Text;
}

TEST_F(ViewOutput, PrintingToPdfDrawsTheFrameOnOnePage) {
    view.SetView(clsView::Top, nullptr, &scene);
    auto print = [&](bool frame) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                             QPageLayout::Millimeter));
            clsNode empty;
            view.OnPrint(writer, &empty, false, frame, false);
        }
        return buffer.data();
    };
    const QByteArray framed = print(true), bare = print(false);
    EXPECT_TRUE(framed.startsWith("%PDF-"));
    EXPECT_EQ(framed.count("/MediaBox"), 1); // one page
    // With the grid off, the framed page has one stroked path more than the bare one.
    const std::string withFrame = PdfContent(framed), without = PdfContent(bare);
    const auto strokes = [](const std::string& s) {
        return QByteArray::fromStdString(s).count(" S\n") + QByteArray::fromStdString(s).count("\nS\n");
    };
    EXPECT_EQ(strokes(withFrame), strokes(without) + 1) << withFrame;
}

TEST_F(ViewOutput, PreviewsShowSheetPrintableAreaAndDrawing) {
    // A4 with 10 mm margins in a 300 x 400 picture: the sheet is 396 pixels high and 280
    // wide (A4's proportions), centred between x = 10 and 290; a margin is 13.3 pixels.
    Canvas canvas(300, 400);
    view.SetView(clsView::Top, &canvas, &scene);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                     QPageLayout::Millimeter));
    view.OnPrintPreview(writer, scene.GetRootNode(), true, true, true);
    const QImage& image = canvas.Image();
    // Beside the sheet, the left and top margins, the printable area above the square view volume
    // (width-limited, 253 pixels tall around the centre row 200).
    const auto expectPixels = [&](std::initializer_list<std::tuple<int, int, QRgb>> pixels) {
        for (const auto& [x, y, colour] : pixels) EXPECT_EQ(image.pixel(x, y), colour) << x << "," << y;
    };
    expectPixels({{5, 200, qRgb(255, 255, 255)}, {16, 200, qRgb(240, 240, 240)}, {150, 8, qRgb(240, 240, 240)},
                  {150, 50, qRgb(240, 255, 255)}});
    // The frame of the view volume: black at its left edge, x = 10 + 13.3.
    int black = 0;
    for (int x = 20; x <= 27; ++x) black += image.pixel(x, 200) == qRgb(0, 0, 0);
    EXPECT_GE(black, 1);
    // The house, drawn in the scene's line colour somewhere in the upper right quarter.
    int house = 0;
    for (int y = 80; y < 200; ++y)
        for (int x = 150; x < 270; ++x) house += image.pixel(x, y) == qRgb(0, 0, 255);
    EXPECT_GT(house, 20);

    // The export preview: only the sheet, filled light cyan with a red outline.
    view.OnExportPreview(scene.GetRootNode(), true, false, false, A4W, A4H);
    expectPixels({{5, 200, qRgb(255, 255, 255)}, {16, 200, qRgb(240, 255, 255)}});
    int red = 0;
    for (int x = 8; x <= 12; ++x) red += image.pixel(x, 200) == qRgb(255, 0, 0);
    EXPECT_GE(red, 1);
    for (int x = 20; x <= 27; ++x) EXPECT_NE(image.pixel(x, 200), qRgb(0, 0, 0)) << x; // no frame
}
