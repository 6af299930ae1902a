#include "app/desktop/LocalPath.h"

#include <QFile>
#include <QFileInfo>
#include <dirent.h>

namespace ov {

namespace {

// The one entry of folder (bytes) whose name decodes to name; "" for none or several.
std::string EntryShownAs(const std::string& folder, const QString& name) {
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir) return {};
    std::string found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir))
        if (QFile::decodeName(entry->d_name) == name && ++matches == 1) found = entry->d_name;
    ::closedir(dir);
    return matches == 1 ? found : std::string();
}

} // namespace

std::string LocalPath(const QString& path) {
    const std::string encoded = QFile::encodeName(path).toStdString();
    if (!path.contains(QChar::ReplacementCharacter) || QFileInfo::exists(path)) return encoded;
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (folder == info.absoluteFilePath()) return encoded; // the root has no folder to look in
    const std::string folderBytes = LocalPath(folder);
    std::string entry = EntryShownAs(folderBytes, info.fileName());
    if (entry.empty()) entry = QFile::encodeName(info.fileName()).toStdString(); // a new file, in the folder found
    return (folderBytes == "/" ? std::string() : folderBytes) + "/" + entry;
}

} // namespace ov
