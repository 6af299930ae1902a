#include "render/ViewExport.h"

#include <QBuffer>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <cctype>
#include <memory>
#include <utility>

#include "io/TextFile.h"
#include "paint/Canvas.h"
#include "paint/clsView.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "platform/svg/SvgDrawApp.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

// A PDF has no unprintable edge; it gets one as a printer page has, so that the layout
// keeps the drawing off the paper's edge.
constexpr double kPdfMarginMM = 10;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The papers, each with the PDF's standard page size of the same name.
struct PaperEntry {
    PaperSize Paper;
    QPageSize::PageSizeId Id;
};
const PaperEntry kPapers[] = {
    {{"A0", 0.841, 1.189}, QPageSize::A0}, {{"A1", 0.594, 0.841}, QPageSize::A1},
    {{"A2", 0.42, 0.594}, QPageSize::A2},  {{"A3", 0.297, 0.42}, QPageSize::A3},
    {{"A4", 0.21, 0.297}, QPageSize::A4},  {{"A5", 0.148, 0.21}, QPageSize::A5},
    {{"A6", 0.105, 0.148}, QPageSize::A6}, {{"Letter", 0.216, 0.279}, QPageSize::Letter},
    {{"Legal", 0.216, 0.356}, QPageSize::Legal},
};

QPageSize::PageSizeId PageIdOf(const PaperSize& paper) {
    for (const PaperEntry& e : kPapers)
        if (std::string(e.Paper.Name) == paper.Name) return e.Id;
    return QPageSize::A4;
}

// Passes messages on to the prompt that was in use and notes whether one of them told of
// trouble: the drawing reports its own failures that way and carries on.
class WatchingPrompt : public IPrompt {
public:
    WatchingPrompt() : previous_(Prompt()) { SetPrompt(this); }
    ~WatchingPrompt() override { SetPrompt(&previous_); }
    WatchingPrompt(const WatchingPrompt&) = delete;
    WatchingPrompt& operator=(const WatchingPrompt&) = delete;

    PromptAnswer Show(const std::string& text, const std::string& title, PromptIcon icon,
                      PromptButtons buttons) override {
        if (icon == PromptIcon::Critical || icon == PromptIcon::Warning) Troubled = true;
        return previous_.Show(text, title, icon, buttons);
    }
    bool Troubled = false;

private:
    IPrompt& previous_;
};

ExportResult Written() { return {ExportResult::Written, {}}; }
ExportResult Stopped() { return {ExportResult::Stopped, {}}; }
ExportResult Failed(std::string reason) { return {ExportResult::Failed, std::move(reason)}; }

ExportResult WriteOut(const std::string& path, const QByteArray& bytes) {
    if (DeadlinePassed()) return Stopped(); // a picture cut short by the time limit is not written
    std::string error;
    if (WriteTextFileAtomically(path, bytes.toStdString(), error)) return Written();
    return Failed(error);
}

ExportResult ExportMetafile(clsScene& scene, std::int32_t viewType, const std::string& path) {
    clsView view;
    view.SetView(viewType, nullptr, &scene);
    return view.OnExportToMetafile(path, scene.GetRootNode()) ? Written() : Failed({});
}

ExportResult ExportSvg(clsScene& scene, std::int32_t viewType, const PaperSize& paper, const ExportOptions& o,
                       const std::string& path) {
    clsView view;
    view.SetView(viewType, nullptr, &scene);
    auto app = std::make_shared<SvgDrawApp>();
    bool troubled = false;
    {
        WatchingPrompt watch;
        const bool swap = o.Landscape;
        view.OnExport(app, scene.GetRootNode(), o.Fit, o.Frame, o.Grid, swap ? paper.Height : paper.Width,
                      swap ? paper.Width : paper.Height);
        troubled = watch.Troubled;
    }
    if (troubled || view.PaintStopped() || DeadlinePassed()) return Stopped();
    std::string error;
    return app->Save(path, error) ? Written() : Failed(error);
}

ExportResult ExportPdf(clsScene& scene, std::int32_t viewType, const PaperSize& paper, const ExportOptions& o,
                       const std::string& path) {
    clsView view;
    view.SetView(viewType, nullptr, &scene);
    // Printed into memory first, so that only a complete document replaces the file.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Projection"));
        writer.setCreator(QStringLiteral("Orthovane"));
        const QPageLayout layout(QPageSize(PageIdOf(paper)), o.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                 QMarginsF(kPdfMarginMM, kPdfMarginMM, kPdfMarginMM, kPdfMarginMM),
                                 QPageLayout::Millimeter);
        writer.setPageLayout(layout);
        view.ReferenceInOutput = o.Reference;
        view.OnPrint(writer, scene.GetRootNode(), o.Fit, o.Frame, o.Grid);
    }
    if (buffer.data().isEmpty()) return Failed("the page could not be printed");
    if (view.PaintStopped()) return Stopped();
    return WriteOut(path, buffer.data());
}

ExportResult ExportPng(clsScene& scene, std::int32_t viewType, const ExportOptions& o, const std::string& path) {
    if (o.Width < 1 || o.Height < 1 || o.Width > kMaxExportPixels || o.Height > kMaxExportPixels)
        return Failed("a picture is 1 to " + std::to_string(kMaxExportPixels) + " pixels wide and high");
    Canvas canvas(o.Width, o.Height);
    if (canvas.Image().isNull())
        return Failed("not enough memory for " + std::to_string(o.Width) + "x" + std::to_string(o.Height) + " pixels");
    clsView view;
    view.PictureOnly = true;
    view.SetView(viewType, &canvas, &scene);
    view.ReferenceInOutput = o.Reference;
    view.OnPaintPicture(scene.GetRootNode(), o.Grid);
    if (view.PaintStopped()) return Stopped();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!canvas.Image().save(&buffer, "PNG")) return Failed("the picture could not be encoded");
    return WriteOut(path, buffer.data());
}

} // namespace

std::optional<ExportFormat> ExportFormatOf(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
    const std::string ext = Lower(path.substr(dot + 1));
    for (const ExportFormat f : {ExportFormat::Emf, ExportFormat::Svg, ExportFormat::Pdf, ExportFormat::Png})
        if (ext == ExportExtension(f)) return f;
    return std::nullopt;
}

const char* ExportExtension(ExportFormat format) {
    switch (format) {
    case ExportFormat::Emf:
        return "emf";
    case ExportFormat::Svg:
        return "svg";
    case ExportFormat::Pdf:
        return "pdf";
    case ExportFormat::Png:
        return "png";
    }
    return "";
}

const std::vector<PaperSize>& PaperSizes() {
    static const std::vector<PaperSize> papers = [] {
        std::vector<PaperSize> list;
        for (const PaperEntry& e : kPapers) list.push_back(e.Paper);
        return list;
    }();
    return papers;
}

const PaperSize* FindPaper(const std::string& name) {
    for (const PaperSize& p : PaperSizes())
        if (Lower(name) == Lower(p.Name)) return &p;
    return nullptr;
}

ExportResult ExportView(clsScene& scene, std::int32_t viewType, ExportFormat format, const ExportOptions& options,
                        const std::string& path) {
    const PaperSize* paper = FindPaper(options.Paper);
    if (!paper && (format == ExportFormat::Svg || format == ExportFormat::Pdf))
        return Failed("unknown page size '" + options.Paper + "'");
    switch (format) {
    case ExportFormat::Emf:
        return ExportMetafile(scene, viewType, path);
    case ExportFormat::Svg:
        return ExportSvg(scene, viewType, *paper, options, path);
    case ExportFormat::Pdf:
        return ExportPdf(scene, viewType, *paper, options, path);
    case ExportFormat::Png:
        return ExportPng(scene, viewType, options, path);
    }
    return Failed({});
}

std::string ExportFailureMessage(const std::string& path, const ExportResult& result) {
    std::string text = "Unable to export to file '" + path + "'";
    if (!result.Reason.empty()) text += ": " + result.Reason;
    return text;
}

} // namespace ov
