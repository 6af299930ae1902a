#pragma once
// The projects opened or saved last, newest first, kept with the application's settings so
// that File > Open Recent offers them in the next session too.

#include <QString>
#include <QStringList>

namespace ov {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 8;

    // The stored list: absolute paths, no path twice, at most kMaxEntries.
    static QStringList Read();
    // Puts the file (made absolute) in front, dropping an older mention and the oldest beyond the limit.
    static void Add(const QString& path);
    static void Clear();
};

} // namespace ov
