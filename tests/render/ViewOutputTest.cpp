#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <cstring>

#include "ViewFakes.h"
#include "platform/Prompt.h"
#include "platform/svg/SvgDrawApp.h"
#include "scene/clsScene.h"
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

void ExpectRect(const clsRect& r, const clsRect& e, double tol = 1e-9) {
    const std::pair<double, double> sides[] = {{r.Left, e.Left}, {r.Bottom, e.Bottom}, {r.Right, e.Right},
                                               {r.Top, e.Top}};
    for (const auto& [got, expected] : sides) EXPECT_NEAR(got, expected, tol);
}

// The drawing program whose documents are their own pages, failing at a chosen step.
struct ScriptedApp : test::FakeDrawApp {
    struct Doc : test::FakeDocument, draw::Page {
        ScriptedApp* app = nullptr;
        std::shared_ptr<draw::Page> ActivePage() override { return std::shared_ptr<draw::Page>(app->created, this); }
        void SetSize(double, double) override {}
    };
    struct FailingLayer : test::FakeLayer {
        std::shared_ptr<draw::Shape> CreateLineSegment(double a, double b, double c, double d) override {
            if (created.size() == 3) throw std::runtime_error("Out of memory in the drawing program");
            return FakeLayer::CreateLineSegment(a, b, c, d);
        }
    };
    bool failShapes = false; // at the fourth shape
    std::shared_ptr<Doc> created;
    void SetVisible(bool) override {}
    std::shared_ptr<draw::Document> CreateDocument() override {
        document = created = std::make_shared<Doc>();
        created->app = this;
        if (failShapes) created->layer = std::make_shared<FailingLayer>();
        return created;
    }
};

} // namespace

TEST(PageLayout, ThePrintableAreaIsCentredOnTheVolumeAndFilledByItOrPrintsOneUnitPerMetre) {
    const clsView top = ViewOf(clsView::Top, -20, -20, 20, 20);
    const clsView persp = ViewOf(clsView::Perspective, -0.15, -0.15, 0.35, 0.25);
    const double aw = 0.19, ah = 0.27, ox = 0.01, oy = 0.012;
    const struct {
        const char* name;
        clsView view;
        double pw, ph, aw, ah, ox, oy;
        bool fit; // orthographic views always fit
    } cases[] = {
        {"landscape", top, A4H, A4W, A4H, A4W, 0, 0, false},
        {"uneven margins", top, A4W, A4H, 0.17, 0.237, 0.01, 0.02, true},
        {"wide and mirrored", ViewOf(clsView::Front, 40, -10, -40, 30), A4W, A4H, aw, ah, ox, oy, false},
        {"flipped", ViewOf(clsView::Left, -5, 10, 5, -10), A4W, A4H, A4W, A4H, 0, 0, true},
        {"true size, larger than the paper", persp, A4W, A4H, aw, ah, ox, oy, false},
        {"true size, smaller", ViewOf(clsView::Perspective, -0.05, -0.04, 0.05, 0.04), A4W, A4H, aw, ah, ox, oy, 0},
        {"fitted perspective", persp, A4W, A4H, aw, ah, ox, oy, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clsRect paper, sheet, print;
        c.view.CalcPageLayout(c.pw, c.ph, c.aw, c.ah, c.ox, c.oy, paper, sheet, print, c.fit);
        const clsRect& v = c.view.ViewVolume;
        const double kx = print.GetWidth() / c.aw, ky = print.GetHeight() / c.ah; // document units per metre
        const bool trueSize = !c.fit && c.view.ViewType == clsView::Perspective;
        EXPECT_NEAR(std::fabs(kx), std::fabs(ky), 1e-9);
        EXPECT_TRUE(kx * v.GetWidth() > 0 && ky * v.GetHeight() > 0); // mirrored and flipped volumes stay so
        const double fill = std::max(v.GetWidth() / print.GetWidth(), v.GetHeight() / print.GetHeight());
        EXPECT_NEAR(trueSize ? std::fabs(kx) : fill, 1, 1e-12); // filled in the limiting direction
        // Centred on the volume, with the margins round it on the sheet.
        ExpectRect(print, Rect(v.GetCenterX() - kx * c.aw / 2, v.GetCenterY() - ky * c.ah / 2,
                               v.GetCenterX() + kx * c.aw / 2, v.GetCenterY() + ky * c.ah / 2));
        ExpectRect(sheet, Rect(print.Left - kx * c.ox, print.Bottom - ky * (c.ph - c.oy - c.ah),
                               print.Right + kx * (c.pw - c.aw - c.ox), print.Top + ky * c.oy));
        // At true size the preview shows the sheet, or from the volume's edge where the volume is larger.
        clsRect shown = sheet;
        if (trueSize && std::fabs(v.GetWidth()) > c.pw)
            shown.SetValues(v.Left, shown.Bottom, v.Left + kx * c.pw, shown.Top);
        if (trueSize && std::fabs(v.GetHeight()) > c.ph)
            shown.SetValues(shown.Left, v.Bottom, shown.Right, v.Bottom + ky * c.ph);
        ExpectRect(paper, shown);
    }
    for (int zero = 0; zero < 4; ++zero) { // any zero size gives the view volume
        double s[4] = {A4W, A4H, aw, ah};
        s[zero] = 0;
        clsRect r[3];
        persp.CalcPageLayout(s[0], s[1], s[2], s[3], ox, oy, r[0], r[1], r[2], zero % 2);
        for (const clsRect& each : r) ExpectRect(each, persp.ViewVolume);
    }
}

class ViewOutput : public testing::Test {
protected:
    clsScene scene; // the model house
    clsView view;
    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
    QTemporaryDir dir;
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
};

TEST_F(ViewOutput, MetafileHasFrameAndGridFittedInto500UnitsOrIsNotWrittenAtAll) {
    // The Front view of a volume twice as wide as high: fitted by its width, centred.
    scene.ViewVolumeMin.SetPoint(-20, -20, -10), scene.ViewVolumeMax.SetPoint(20, 20, 10);
    scene.ShowGrid = false; // the export draws the grid anyway
    view.SetView(clsView::Front, nullptr, &scene);
    clsNode empty; // so that every line is a grid line
    ASSERT_TRUE(view.OnExportToMetafile(Path("front.emf"), &empty));
    QFile file(dir.filePath("front.emf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    std::int32_t frame[4] = {};
    int frames = 0, lines = 0;
    for (std::uint32_t at = 0, head[2] = {0, 8}; at + 8 <= std::uint32_t(bytes.size()) && head[1] >= 8;
         at += head[1]) {
        std::memcpy(head, bytes.constData() + at, 8);
        if (head[0] == 43) std::memcpy(frame, bytes.constData() + at + 8, 16); // the rectangle
        frames += head[0] == 43, lines += head[0] == 54;
    }
    EXPECT_TRUE(frames == 1 && lines > 10) << frames << " " << lines; // the frame and the grid's lines
    ExpectRect(Rect(std::min(frame[0], frame[2]), std::max(frame[1], frame[3]), std::max(frame[0], frame[2]),
                    std::min(frame[1], frame[3])),
               Rect(0, 375, 500, 125), 1);
    // A path that cannot be written fails; a folder in the way stays a folder, and no temporary file is left.
    EXPECT_FALSE(view.OnExportToMetafile("", scene.GetRootNode()));
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.emf"));
    EXPECT_FALSE(view.OnExportToMetafile(Path("taken.emf"), scene.GetRootNode()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"front.emf", "taken.emf"}));
    EXPECT_TRUE(QDir(dir.filePath("taken.emf")).exists());
}

TEST_F(ViewOutput, ExportSetsUpTheDocumentThenDrawsOnAFittedPage) {
    view.SetView(clsView::Top, nullptr, &scene);
    auto app = std::make_shared<ScriptedApp>(), plain = std::make_shared<ScriptedApp>();
    view.OnExport(app, scene.GetRootNode(), false, true, true, A4W, A4H);
    view.OnExport(plain, scene.GetRootNode(), false, false, true, A4W, A4H); // without the frame
    EXPECT_TRUE(prompt.Messages.empty());
    const double pw = 8.26771653543, ph = 11.69291338583; // A4 in inches
    // The frame is the view volume, as wide as the page and centred on it, y up; the scene is drawn too.
    const auto rect = [](const auto& shape) { return shape->kind == "rect"; };
    const auto &shapes = app->created->layer->created, &plainShapes = plain->created->layer->created;
    ASSERT_TRUE(std::count_if(shapes.begin(), shapes.end(), rect) == 1 && shapes.size() > 1);
    const auto& f = **std::find_if(shapes.begin(), shapes.end(), rect);
    ExpectRect(Rect(std::min(f.x1, f.x2), f.y1, std::max(f.x1, f.x2), f.y2), Rect(0, (ph - pw) / 2, pw, (ph + pw) / 2));
    EXPECT_EQ(std::count_if(plainShapes.begin(), plainShapes.end(), rect), 0);
}

TEST_F(ViewOutput, ExportErrorsAreReportedAndStopTheExportKeepingWhatWasDrawn) {
    view.SetView(clsView::Perspective, nullptr, &scene);
    auto shapes = std::make_shared<ScriptedApp>();
    shapes->failShapes = true;
    auto svg = std::make_shared<SvgDrawApp>();
    const std::tuple<std::shared_ptr<draw::Application>, double, const char*> cases[] = {
        {shapes, A4H, "Out of memory in the drawing program"},
        {std::make_shared<test::FakeDrawApp>(), A4H, "Object doesn't support this property or method: Visible"},
        {nullptr, A4H, "No drawing program"},
        {svg, 0, "Invalid page size"}}; // a page size the document refuses
    for (const auto& [app, height, error] : cases) {
        view.OnExport(app, scene.GetRootNode(), true, true, true, A4W, height);
        ASSERT_FALSE(prompt.Messages.empty());
        EXPECT_EQ(prompt.Messages.back().Text.rfind(std::string("Unexpected error occured: ") + error, 0), 0u)
            << prompt.Messages.back().Text;
        EXPECT_EQ(prompt.Messages.back().Icon, PromptIcon::Critical);
    }
    EXPECT_EQ(prompt.Messages.size(), std::size(cases));
    // What was drawn before a failure stays, in the new document; nothing is drawn before the page has its size.
    EXPECT_EQ(shapes->created->layer->created.size(), 3u);
    EXPECT_EQ(svg->ToSvgText().find("<line"), std::string::npos);
    // The SVG document starts afresh: what was in it goes.
    svg->ActiveDocument()->ActiveLayer()->CreateLineSegment(0, 0, 1, 1)->SetName("Stale");
    view.OnExport(svg, scene.GetRootNode(), false, true, true, A4H, A4W); // landscape
    EXPECT_TRUE(prompt.Messages.size() == std::size(cases) && svg->Visible()); // its page: CliTest's SVG sizes
    EXPECT_FALSE(QSvgRenderer(QByteArray::fromStdString(svg->ToSvgText())).elementExists("Stale"));
    EXPECT_NE(svg->ToSvgText().find("<line"), std::string::npos);
}
