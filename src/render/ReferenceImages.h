#pragma once
// The pictures behind perspective views, read once and kept while their files stay as they
// were: every repaint of every view needs them, and a photograph takes a while to decode.

#include <memory>
#include <string>

class QImage;

namespace ov {

class clsScene;
struct PictureRect;

// The picture in the file at path, or null when the file is missing or not a picture Qt can
// read. A file changed since it was read (time or size) is read again. Photographs are turned
// as their camera recorded, and very large ones are reduced to a size a view can show.
std::shared_ptr<const QImage> ReferenceImage(const std::string& path);

// Where the scene's reference picture lies in the perspective view plane (fitted to the
// camera's window, then placed as the scene says), with the picture; null when the scene has
// none to show (none chosen, hidden when visibleOnly, or not readable).
std::shared_ptr<const QImage> PlaceReferencePicture(const clsScene& scene, bool visibleOnly, PictureRect& rect);

// Whether QImage's readers can read the file as a picture, with the reason when not.
bool CanReadPicture(const std::string& path, std::string& reason);

} // namespace ov
