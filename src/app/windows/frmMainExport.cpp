// File > Export: the active view into an enhanced metafile, an SVG document, a PDF page or a
// PNG picture, the format following the file type chosen in the file dialog.
#include "app/windows/frmMain.h"

#include <cctype>
#include <iterator>

#include "app/desktop/ExportSettings.h"
#include "app/dialogs/frmExportOptions.h"
#include "app/windows/frmDocument.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "render/ViewExport.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

// The file types in the order of kFormats; the metafile first, as it was the only one once.
const char* const kExportFilter = "Enhanced Metafiles (*.emf)|*.emf|SVG Documents (*.svg)|*.svg|"
                                  "PDF Documents (*.pdf)|*.pdf|PNG Pictures (*.png)|*.png";
const ExportFormat kFormats[] = {ExportFormat::Emf, ExportFormat::Svg, ExportFormat::Pdf, ExportFormat::Png};
constexpr int kFormatCount = static_cast<int>(std::size(kFormats));

int FilterIndexOf(ExportFormat format) {
    for (int i = 0; i < kFormatCount; ++i)
        if (kFormats[i] == format) return i;
    return 0;
}

ExportFormat FormatAt(int filterIndex) {
    return filterIndex >= 0 && filterIndex < kFormatCount ? kFormats[filterIndex] : ExportFormat::Emf;
}

// The name an exported view is offered under: the project's file (or name) without its
// extension, followed by the view's name and the format's extension.
std::string ExportFileName(const clsScene& scene, const std::string& viewName, ExportFormat format) {
    std::string base = scene.FileName.empty() ? scene.Name : scene.FileName;
    const std::size_t slash = base.find_last_of("/\\");
    const std::size_t dot = base.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) base.erase(dot);
    return base + " (" + viewName + ")." + ExportExtension(format);
}

// The path with the format's extension: a picture format's extension gives way to it, so
// that no program takes the file for what it is not, and anything else keeps its name with
// the extension added.
std::string WithExportExtension(std::string path, ExportFormat format) {
    const std::size_t start = path.find_last_of('/') + 1; // 0 without a slash
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > start) {
        std::string extension = path.substr(dot + 1);
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const char* picture : {"emf", "svg", "svgz", "pdf", "png", "jpg", "jpeg", "gif", "bmp", "tif", "tiff",
                                    "wmf", "eps", "ps"})
            if (extension == picture) path.erase(dot);
    }
    return path + "." + ExportExtension(format);
}

} // namespace

void frmMain::OnFileExport() {
    clsScene* scene = CurrentScene();
    frmDocument* document = ActiveDocument();
    if (!scene || !document) return;
    const clsView& view = document->GetActiveView();
    const ExportFormat last = ReadExportFormat();
    const SaveChoice choice = ShowSaveFileDialog("Export Active View", ExportFileName(*scene, view.GetViewName(), last),
                                                 kExportFilter, FilterIndexOf(last));
    if (choice.Path.empty()) return;
    const ExportFormat format = FormatAt(choice.FilterIndex);
    WriteExportFormat(format);
    const std::string path = WithExportExtension(choice.Path, format);

    ExportOptions options = ReadExportOptions(scene->ShowGrid);
    if (format != ExportFormat::Emf) { // the metafile has no choices
        const bool offerReference = view.ViewType == clsView::Perspective && scene->Reference.IsSet();
        frmExportOptions dialog(format, options, offerReference, this);
        if (dialog.exec() != QDialog::Accepted) return;
        options = dialog.Options();
        WriteExportOptions(options);
    }
    const ExportResult result = ExportView(*scene, view.ViewType, format, options, path);
    if (result.Outcome == ExportResult::Failed) ShowMessage(ExportFailureMessage(path, result), PromptIcon::None);
}

} // namespace ov
