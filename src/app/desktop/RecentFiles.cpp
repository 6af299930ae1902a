#include "app/desktop/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace ov {

namespace {

const QString kKey = QStringLiteral("RecentFiles");

void Write(const QStringList& paths) { QSettings().setValue(kKey, paths); }

} // namespace

QStringList RecentFiles::Read() {
    // The settings file may have been edited by hand: keep only what the list can hold.
    QStringList paths;
    for (const QString& path : QSettings().value(kKey).toStringList())
        if (!path.isEmpty() && QFileInfo(path).isAbsolute() && !paths.contains(path) && paths.size() < kMaxEntries)
            paths.append(path);
    return paths;
}

void RecentFiles::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = Read();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    while (paths.size() > kMaxEntries) paths.removeLast();
    Write(paths);
}

void RecentFiles::Clear() { Write({}); }

} // namespace ov
