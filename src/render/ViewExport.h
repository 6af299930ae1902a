#pragma once
// One view of a scene written to a picture file: an enhanced metafile (as the main window
// always exported), an SVG document (as sent to the drawing program), a PDF page (as
// printed) or a PNG picture (the page's picture in pixels). The command line's render and the
// main window's File > Export share it, so that both write the same bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ov {

class clsScene;

enum class ExportFormat { Emf, Svg, Pdf, Png };

// The format a file name's extension names (any case); none for another or no extension.
std::optional<ExportFormat> ExportFormatOf(const std::string& path);
// The extension of a format, without the dot: "emf", "svg", "pdf", "png".
const char* ExportExtension(ExportFormat format);

// A paper size the page formats offer, portrait, in metres.
struct PaperSize {
    const char* Name;
    double Width, Height;
};
const std::vector<PaperSize>& PaperSizes();
// The paper of that name (any case); null for none.
const PaperSize* FindPaper(const std::string& name);

// Larger pictures would take gigabytes of memory.
constexpr int kMaxExportPixels = 16384;

// What the page and picture formats let the user choose. The metafile is always the whole
// view volume, framed, with the grid; a picture knows no paper.
struct ExportOptions {
    std::string Paper = "A4";
    bool Landscape = false, Fit = false, Frame = false, Grid = true;
    int Width = 1200, Height = 900; // pixels of a PNG picture
    // The scene's reference picture behind a perspective view; PDF and PNG only (metafiles
    // and SVG documents are line work).
    bool Reference = false;
};

struct ExportResult {
    enum Status { Written, Stopped, Failed };
    Status Outcome = Failed;
    // Why a Failed export failed, when that is known ("" otherwise). Stopped means the
    // user or the time limit cut the picture short, or the trouble was already reported.
    std::string Reason;
};

// Writes the view of the given type of the scene into path in the format. The file is only
// replaced by a complete one: a failed or stopped export leaves an existing file as it was.
ExportResult ExportView(clsScene& scene, std::int32_t viewType, ExportFormat format, const ExportOptions& options,
                        const std::string& path);

// "Unable to export to file '<path>'" with the reason after a colon when there is one.
std::string ExportFailureMessage(const std::string& path, const ExportResult& result);

} // namespace ov
