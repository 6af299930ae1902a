// File > Export: the active view into an enhanced metafile, an SVG document, a PDF page or a
// PNG picture, the format following the extension typed or the file type chosen.
#include "app/windows/frmMain.h"

#include <QFileInfo>
#include <cctype>
#include <iterator>
#include <optional>
#include <utility>

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

// The path with the format's extension, for a name whose extension is none of the offered
// formats': a picture format's extension gives way to it, so that no program takes the file
// for what it is not, and anything else keeps its name with the extension added.
std::string WithExportExtension(std::string path, ExportFormat format) {
    const std::size_t start = path.find_last_of('/') + 1; // 0 without a slash
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot > start) {
        std::string extension = path.substr(dot + 1);
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const char* picture : {"svgz", "jpg", "jpeg", "gif", "bmp", "tif", "tiff", "wmf", "eps", "ps"})
            if (extension == picture) path.erase(dot);
    }
    return path + "." + ExportExtension(format);
}

// Where the export goes and in which format. The name the user confirmed is written as it
// stands when its extension is one of the offered formats, and that extension chooses the
// format, whatever the file type list showed. Any other name gets the chosen type's
// extension; as the file dialog asked about the name without it, replacing a file of the
// final name is asked here.
std::optional<std::pair<std::string, ExportFormat>> ExportTarget(const SaveChoice& choice) {
    const int typed = FilterIndexOfPath(kExportFilter, choice.Path);
    if (typed >= 0) return std::make_pair(choice.Path, FormatAt(typed));
    const ExportFormat format = FormatAt(choice.FilterIndex);
    const std::string path = WithExportExtension(choice.Path, format);
    if (QFileInfo::exists(QString::fromStdString(path)) &&
        Prompt().Show("'" + path + "' already exists. Do you want to replace it?", "", PromptIcon::Warning,
                      PromptButtons::YesNo) != PromptAnswer::Yes)
        return std::nullopt;
    return std::make_pair(path, format);
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
    const auto target = ExportTarget(choice);
    if (!target) return;
    const auto& [path, format] = *target;
    WriteExportFormat(format);

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
