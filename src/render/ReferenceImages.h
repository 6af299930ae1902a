#pragma once
// The pictures behind perspective views, read once and kept while their files stay as they
// were: every repaint of every view needs them, and a photograph takes a while to decode.

#include <memory>
#include <string>

class QImage;

namespace ov {

// The picture in the file at path, or null when the file is missing or not a picture Qt can
// read. A file changed since it was read (time or size) is read again. Photographs are turned
// as their camera recorded, and very large ones are reduced to a size a view can show.
std::shared_ptr<const QImage> ReferenceImage(const std::string& path);

// Whether QImage's readers can read the file as a picture, with the reason when not.
bool CanReadPicture(const std::string& path, std::string& reason);

} // namespace ov
