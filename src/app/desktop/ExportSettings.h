#pragma once
// The file type and options File > Export used last, kept with the application's settings
// so that the next export, in this session or a later one, offers them again.

#include "render/ViewExport.h"

namespace ov {

// The format chosen last; the metafile before anything was chosen.
ExportFormat ReadExportFormat();
void WriteExportFormat(ExportFormat format);

// The page and picture options chosen last, the command line's defaults before. The grid
// is not remembered: it starts as the scene shows it.
ExportOptions ReadExportOptions(bool sceneGrid);
void WriteExportOptions(const ExportOptions& options);

} // namespace ov
