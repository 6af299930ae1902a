#pragma once
// File names as the file system spells them. Qt holds names as text, and a name whose bytes
// are not UTF-8 (an old Latin-1 "café.ovp") comes out of a file dialog, a drop or the command
// line with U+FFFD in place of each such byte, naming no file. The program reads and writes
// files by their bytes, so it looks such a name up in its folder.

#include <QString>
#include <string>

namespace ov {

// The bytes of the file or folder that path names: its encoded form when that exists or
// holds no U+FFFD; otherwise the one entry of its folder (itself looked up the same way)
// whose name shows as path's last part does, or that name encoded when there is no such single
// entry (a file to create, or names that show alike).
std::string LocalPath(const QString& path);

} // namespace ov
