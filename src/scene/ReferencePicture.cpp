#include "scene/ReferencePicture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "io/clsStream.h"

namespace ov {

namespace {

namespace fs = std::filesystem;

fs::path FolderOf(const std::string& projectPath) {
    if (projectPath.empty()) return {};
    std::error_code ignored;
    return fs::absolute(fs::path(projectPath), ignored).parent_path();
}

// Numbers from a damaged file must not hide the picture for good or blow it up to nothing.
double Finite(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

} // namespace

void ReferencePicture::WriteData(clsStream& r, const std::string& projectPath) const {
    fs::path path(Path);
    const fs::path folder = FolderOf(projectPath);
    if (path.is_absolute() && !folder.empty()) {
        const fs::path relative = path.lexically_relative(folder);
        if (!relative.empty()) path = relative;
    }
    r.SetString("Path", path.generic_string());
    r.SetDouble("Opacity", Opacity);
    r.SetDouble("ShiftX", ShiftX);
    r.SetDouble("ShiftY", ShiftY);
    r.SetDouble("Scale", Scale);
    r.SetBool("Visible", Visible);
}

void ReferencePicture::ReadData(const clsStream& r, const std::string& projectPath) {
    Clear();
    const std::string stored = r.GetString("Path", "");
    if (stored.empty()) return;
    fs::path path(stored);
    const fs::path folder = FolderOf(projectPath);
    if (path.is_relative() && !folder.empty()) path = (folder / path).lexically_normal();
    Path = path.string();
    Opacity = r.GetDouble("Opacity", true, 0, 1, 0.5);
    ShiftX = Finite(r.GetDouble("ShiftX", true, -100, 100, 0), 0);
    ShiftY = Finite(r.GetDouble("ShiftY", true, -100, 100, 0), 0);
    Scale = Finite(r.GetDouble("Scale", true, 0.01, 100, 1), 1);
    Visible = r.GetBool("Visible", true);
}

PictureRect PlacePicture(const ReferencePicture& picture, double width, double height, double uMin, double vMin,
                         double uMax, double vMax) {
    PictureRect rect;
    const double windowWidth = uMax - uMin, windowHeight = vMax - vMin;
    if (!(width > 0 && height > 0 && windowWidth > 0 && windowHeight > 0)) return rect;
    // Fitted: as large as the window allows with the picture's own proportions.
    const double scale = std::min(windowWidth / width, windowHeight / height) * picture.Scale;
    const double halfW = width * scale / 2, halfH = height * scale / 2;
    const double cx = (uMin + uMax) / 2 + picture.ShiftX * windowWidth;
    const double cy = (vMin + vMax) / 2 + picture.ShiftY * windowHeight;
    rect.Left = cx - halfW;
    rect.Right = cx + halfW;
    rect.Bottom = cy - halfH;
    rect.Top = cy + halfH;
    return rect;
}

} // namespace ov
