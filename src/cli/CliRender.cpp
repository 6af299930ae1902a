// orthovane-cli render: one view of a project to a picture (PNG, as the view port shows
// it), a page (PDF, as printed), an SVG document (as exported to the drawing program) or
// an enhanced metafile (as exported from the main window).
#include <QBuffer>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>

#include "cli/CliCommands.h"
#include "cli/CliUsage.h"
#include "cli/CliViewArg.h"
#include "cli/StreamPrompt.h"
#include "io/TextFile.h"
#include "platform/Desktop.h"
#include "platform/svg/SvgDrawApp.h"
#include "scene/clsScene.h"
#include "paint/Canvas.h"
#include "paint/clsView.h"

namespace ov::cli {

namespace {

// The paper sizes the export offers, portrait, in metres; the PDF takes the standard size
// of the same name.
struct PaperSize {
    const char* Name;
    double Width, Height;
    QPageSize::PageSizeId Id;
};
const PaperSize kPapers[] = {
    {"A0", 0.841, 1.189, QPageSize::A0},       {"A1", 0.594, 0.841, QPageSize::A1},
    {"A2", 0.42, 0.594, QPageSize::A2},        {"A3", 0.297, 0.42, QPageSize::A3},
    {"A4", 0.21, 0.297, QPageSize::A4},        {"A5", 0.148, 0.21, QPageSize::A5},
    {"A6", 0.105, 0.148, QPageSize::A6},       {"Letter", 0.216, 0.279, QPageSize::Letter},
    {"Legal", 0.216, 0.356, QPageSize::Legal},
};

// A PDF has no unprintable edge; it gets one as a printer page has, so that the layout
// keeps the drawing off the paper's edge.
constexpr double kPdfMarginMM = 10;
// Larger pictures would take gigabytes of memory.
constexpr int kMaxPixels = 16384;

enum class Format { Png, Svg, Pdf, Emf };

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool FormatOf(const std::string& path, Format& format) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    const std::string ext = Lower(path.substr(dot + 1));
    if (ext == "png") format = Format::Png;
    else if (ext == "svg") format = Format::Svg;
    else if (ext == "pdf") format = Format::Pdf;
    else if (ext == "emf") format = Format::Emf;
    else return false;
    return true;
}

const PaperSize* FindPaper(const std::string& name) {
    for (const PaperSize& p : kPapers)
        if (Lower(name) == Lower(p.Name)) return &p;
    return nullptr;
}

// "WxH" with whole numbers from 1 to kMaxPixels.
bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = Lower(text).find('x');
    if (x == std::string::npos) return false;
    auto number = [](const std::string& s, int& v) {
        if (s.empty() || s.size() > 5) return false;
        for (const char c : s)
            if (c < '0' || c > '9') return false;
        v = std::stoi(s);
        return v >= 1 && v <= kMaxPixels;
    };
    return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

struct Options {
    std::string In, Out, View, Page = "A4", Size = "1200x900";
    bool Landscape = false, Fit = false, Frame = false, NoGrid = false;
    bool PageGiven = false, SizeGiven = false;
};

// Passes messages on to the error stream and remembers whether an error was among them.
class RenderPrompt : public IPrompt {
public:
    explicit RenderPrompt(std::ostream& err) : stream_(err) {}
    PromptAnswer Show(const std::string& text, const std::string& title, PromptIcon icon,
                      PromptButtons buttons) override {
        if (icon == PromptIcon::Critical || icon == PromptIcon::Warning) Failed = true;
        return stream_.Show(text, title, icon, buttons);
    }
    bool Failed = false;

private:
    StreamPrompt stream_;
};

int Refuse(std::ostream& err, const std::string& message) {
    err << message << '\n' << kRenderUsage;
    return 2;
}

bool WriteOut(const std::string& path, const QByteArray& bytes, std::ostream& err) {
    if (DeadlinePassed()) return false; // a picture cut short by the time limit is not written
    std::string error;
    if (WriteTextFileAtomically(path, bytes.toStdString(), error)) return true;
    err << "Unable to export to file '" << path << "': " << error << '\n';
    return false;
}

} // namespace

int RunRender(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        if (a == "--view" || a == "--out" || a == "--page" || a == "--size") {
            std::string& into = a == "--view" ? o.View : a == "--out" ? o.Out : a == "--page" ? o.Page : o.Size;
            if (!value(into)) return Refuse(err, "option " + a + " needs a value");
            if (a == "--page") o.PageGiven = true;
            if (a == "--size") o.SizeGiven = true;
        } else if (a == "--landscape") {
            o.Landscape = true;
        } else if (a == "--fit") {
            o.Fit = true;
        } else if (a == "--frame") {
            o.Frame = true;
        } else if (a == "--no-grid") {
            o.NoGrid = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return Refuse(err, "unknown option '" + a + "'");
        } else if (o.In.empty()) {
            o.In = a;
        } else {
            return Refuse(err, "unexpected argument '" + a + "'");
        }
    }
    if (o.In.empty()) return Refuse(err, "no project file given");
    if (o.View.empty()) return Refuse(err, "no view given (--view NAME)");
    if (o.Out.empty()) return Refuse(err, "no output file given (--out FILE)");

    std::int32_t viewType = 0;
    if (!ParseViewArg(o.View, viewType)) return Refuse(err, ViewArgError(o.View));
    Format format;
    if (!FormatOf(o.Out, format))
        return Refuse(err, "unknown output format of '" + o.Out + "' (use .png, .svg, .pdf or .emf)");
    const PaperSize* paper = FindPaper(o.Page);
    if (!paper) return Refuse(err, "unknown page size '" + o.Page + "' (use A0 to A6, Letter or Legal)");
    int width = 0, height = 0;
    if (!ParseSize(o.Size, width, height))
        return Refuse(err, "invalid size '" + o.Size + "' (use WxH, each from 1 to " + std::to_string(kMaxPixels) + ")");

    // Options that have no meaning for the chosen format are refused rather than ignored,
    // so that nobody wonders why they made no difference.
    auto notFor = [&](const char* option, const char* what) {
        return Refuse(err, std::string("option ") + option + " does not apply to " + what + " output");
    };
    if (format != Format::Png && o.SizeGiven) return notFor("--size", "this");
    if (format == Format::Png || format == Format::Emf) {
        const char* what = format == Format::Png ? "PNG (the view port's picture)" : "EMF (always fitted, framed, with grid)";
        if (o.PageGiven) return notFor("--page", what);
        if (o.Landscape) return notFor("--landscape", what);
        if (o.Fit) return notFor("--fit", what);
        if (o.Frame) return notFor("--frame", what);
        if (format == Format::Emf && o.NoGrid) return notFor("--no-grid", what);
    }

    RenderPrompt prompt(err);
    ScopedPrompt installed(prompt);
    clsScene scene;
    if (!scene.LoadScene(o.In, false)) return 2;
    clsNode* root = scene.GetRootNode();
    const bool grid = !o.NoGrid;
    double paperWidth = paper->Width, paperHeight = paper->Height;
    if (o.Landscape) std::swap(paperWidth, paperHeight);

    clsView view;
    switch (format) {
    case Format::Emf:
        view.SetView(viewType, nullptr, &scene);
        if (!view.OnExportToMetafile(o.Out, root)) {
            err << "Unable to export to file '" << o.Out << "'\n";
            return 2;
        }
        return 0;
    case Format::Svg: {
        view.SetView(viewType, nullptr, &scene);
        auto app = std::make_shared<SvgDrawApp>();
        view.OnExport(app, root, o.Fit, o.Frame, grid, paperWidth, paperHeight);
        if (prompt.Failed || DeadlinePassed()) return 2;
        std::string error;
        if (!app->Save(o.Out, error)) {
            err << "Unable to export to file '" << o.Out << "': " << error << '\n';
            return 2;
        }
        return 0;
    }
    case Format::Pdf: {
        view.SetView(viewType, nullptr, &scene);
        // Printed into memory first, so that only a complete document replaces the file.
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setTitle(QStringLiteral("Projection"));
            writer.setCreator(QStringLiteral("Orthovane"));
            const QPageLayout layout(QPageSize(paper->Id),
                                     o.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(kPdfMarginMM, kPdfMarginMM, kPdfMarginMM, kPdfMarginMM),
                                     QPageLayout::Millimeter);
            writer.setPageLayout(layout);
            view.OnPrint(writer, root, o.Fit, o.Frame, grid);
        }
        if (buffer.data().isEmpty()) {
            err << "Unable to export to file '" << o.Out << "': the page could not be printed\n";
            return 2;
        }
        return WriteOut(o.Out, buffer.data(), err) ? 0 : 2;
    }
    case Format::Png: {
        Canvas canvas(width, height);
        if (canvas.Image().isNull()) {
            err << "Unable to export to file '" << o.Out << "': not enough memory for " << o.Size << " pixels\n";
            return 2;
        }
        scene.ShowGrid = grid;
        view.SetView(viewType, &canvas, &scene);
        view.OnPaint(root, false, true);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (!canvas.Image().save(&buffer, "PNG")) {
            err << "Unable to export to file '" << o.Out << "': the picture could not be encoded\n";
            return 2;
        }
        return WriteOut(o.Out, buffer.data(), err) ? 0 : 2;
    }
    }
    return 2;
}

} // namespace ov::cli
