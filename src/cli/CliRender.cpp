// orthovane-cli render: one view of a project to a picture (PNG, as the view port shows
// it), a page (PDF, as printed), an SVG document (as exported to the drawing program) or
// an enhanced metafile (as exported from the main window).
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/CliCommands.h"
#include "cli/CliLoad.h"
#include "cli/CliUsage.h"
#include "cli/CliViewArg.h"
#include "cli/StreamPrompt.h"
#include "render/ViewExport.h"
#include "scene/clsScene.h"

namespace ov::cli {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// "WxH" with whole numbers from 1 to kMaxExportPixels.
bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = Lower(text).find('x');
    if (x == std::string::npos) return false;
    auto number = [](const std::string& s, int& v) {
        if (s.empty() || s.size() > 5) return false;
        for (const char c : s)
            if (c < '0' || c > '9') return false;
        v = std::stoi(s);
        return v >= 1 && v <= kMaxExportPixels;
    };
    return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

struct Options {
    std::string In, Out, View, Page = "A4", Size = "1200x900";
    bool Landscape = false, Fit = false, Frame = false, NoGrid = false, Reference = false;
    bool PageGiven = false, SizeGiven = false;
};

int Refuse(std::ostream& err, const std::string& message) {
    err << message << '\n' << kRenderUsage;
    return 2;
}

} // namespace

int RunRender(const std::vector<std::string>& given, std::ostream&, std::ostream& err) {
    std::vector<std::string> args = given;
    const bool recover = TakeRecoverOption(args);
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
        } else if (a == "--reference") {
            o.Reference = true;
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
    const std::optional<ExportFormat> detected = ExportFormatOf(o.Out);
    if (!detected)
        return Refuse(err, "unknown output format of '" + o.Out + "' (use .png, .svg, .pdf or .emf)");
    const ExportFormat format = *detected;
    if (!FindPaper(o.Page)) return Refuse(err, "unknown page size '" + o.Page + "' (use A0 to A6, Letter or Legal)");
    ExportOptions options;
    if (!ParseSize(o.Size, options.Width, options.Height))
        return Refuse(err, "invalid size '" + o.Size + "' (use WxH, each from 1 to " + std::to_string(kMaxExportPixels) + ")");

    // Options that have no meaning for the chosen format are refused rather than ignored,
    // so that nobody wonders why they made no difference.
    auto notFor = [&](const char* option, const char* what) {
        return Refuse(err, std::string("option ") + option + " does not apply to " + what + " output");
    };
    if (format != ExportFormat::Png && o.SizeGiven) return notFor("--size", "this");
    if ((format == ExportFormat::Svg || format == ExportFormat::Emf) && o.Reference)
        return notFor("--reference", "line-work (SVG and EMF)");
    if (format == ExportFormat::Png || format == ExportFormat::Emf) {
        const char* what = format == ExportFormat::Png ? "PNG (the view port's picture)" : "EMF (always fitted, framed, with grid)";
        if (o.PageGiven) return notFor("--page", what);
        if (o.Landscape) return notFor("--landscape", what);
        if (o.Fit) return notFor("--fit", what);
        if (o.Frame) return notFor("--frame", what);
        if (format == ExportFormat::Emf && o.NoGrid) return notFor("--no-grid", what);
    }

    StreamPrompt prompt(err);
    ScopedPrompt installed(prompt);
    clsScene scene;
    if (!LoadProject(scene, o.In, recover, err)) return 2;
    options.Paper = o.Page;
    options.Landscape = o.Landscape;
    options.Fit = o.Fit;
    options.Frame = o.Frame;
    options.Grid = !o.NoGrid;
    options.Reference = o.Reference;
    const ExportResult result = ExportView(scene, viewType, format, options, o.Out);
    if (result.Outcome == ExportResult::Failed) err << ExportFailureMessage(o.Out, result) << '\n';
    return result.Outcome == ExportResult::Written ? 0 : 2;
}

} // namespace ov::cli
