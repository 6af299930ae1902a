#include "app/desktop/ExportSettings.h"

#include <QSettings>
#include <QString>

namespace ov {

namespace {

const char* const kFormat = "Export/Format";
const char* const kPaper = "Export/Paper";
const char* const kLandscape = "Export/Landscape";
const char* const kFit = "Export/Fit";
const char* const kFrame = "Export/Frame";
const char* const kWidth = "Export/Width";
const char* const kHeight = "Export/Height";

// A stored pixel count, or fallback when the settings file holds something else.
int ReadPixels(const QSettings& settings, const char* key, int fallback) {
    bool ok = false;
    const int value = settings.value(key, fallback).toInt(&ok);
    return ok && value >= 1 && value <= kMaxExportPixels ? value : fallback;
}

} // namespace

ExportFormat ReadExportFormat() {
    // Stored as the extension, which reads well in the file and survives reordering.
    const std::string extension = QSettings().value(kFormat).toString().toStdString();
    return ExportFormatOf("." + extension).value_or(ExportFormat::Emf);
}

void WriteExportFormat(ExportFormat format) { QSettings().setValue(kFormat, ExportExtension(format)); }

ExportOptions ReadExportOptions(bool sceneGrid) {
    const QSettings settings;
    ExportOptions options;
    const std::string paper = settings.value(kPaper).toString().toStdString();
    if (const PaperSize* known = FindPaper(paper)) options.Paper = known->Name;
    options.Landscape = settings.value(kLandscape, options.Landscape).toBool();
    options.Fit = settings.value(kFit, options.Fit).toBool();
    options.Frame = settings.value(kFrame, options.Frame).toBool();
    options.Width = ReadPixels(settings, kWidth, options.Width);
    options.Height = ReadPixels(settings, kHeight, options.Height);
    options.Grid = sceneGrid;
    return options;
}

void WriteExportOptions(const ExportOptions& options) {
    QSettings settings;
    settings.setValue(kPaper, QString::fromUtf8(options.Paper.c_str()));
    settings.setValue(kLandscape, options.Landscape);
    settings.setValue(kFit, options.Fit);
    settings.setValue(kFrame, options.Frame);
    settings.setValue(kWidth, options.Width);
    settings.setValue(kHeight, options.Height);
}

} // namespace ov
