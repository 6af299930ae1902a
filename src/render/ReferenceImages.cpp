#include "render/ReferenceImages.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <list>
#include <mutex>

namespace ov {

namespace {

// Longer sides are reduced to this: more than any view port or printed page shows of it,
// and 64 MB at most in memory.
constexpr int kMaxSide = 4096;
// A few documents with a picture each stay quick to switch between.
constexpr std::size_t kKept = 4;

struct Entry {
    std::string path;
    qint64 size = 0;
    QDateTime modified;
    std::shared_ptr<const QImage> image;
};

std::shared_ptr<const QImage> Read(const QString& file) {
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide))
        reader.setScaledSize(size.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) return nullptr;
    // Drawn with an opacity over and over: a premultiplied format saves the conversion each time.
    return std::make_shared<const QImage>(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

} // namespace

std::shared_ptr<const QImage> ReferenceImage(const std::string& path) {
    static std::mutex mutex;
    static std::list<Entry> kept; // most recently used first
    if (path.empty()) return nullptr;
    const QString file = QString::fromStdString(path);
    const QFileInfo info(file);
    if (!info.isFile()) return nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->path != path) continue;
        if (it->size == info.size() && it->modified == info.lastModified()) {
            kept.splice(kept.begin(), kept, it);
            return it->image;
        }
        kept.erase(it);
        break;
    }
    std::shared_ptr<const QImage> image = Read(file);
    if (!image) return nullptr;
    kept.push_front({path, info.size(), info.lastModified(), image});
    if (kept.size() > kKept) kept.pop_back();
    return image;
}

bool CanReadPicture(const std::string& path, std::string& reason) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.isFile()) {
        reason = info.exists() ? "not a regular file" : "the file does not exist";
        return false;
    }
    // Only decoding the whole picture tells a damaged file from a good one; the picture is
    // then kept for the views.
    if (ReferenceImage(path)) return true;
    QImageReader reader(info.filePath());
    reason = reader.read().isNull() ? reader.errorString().toStdString() : "the picture could not be read";
    return false;
}

} // namespace ov
