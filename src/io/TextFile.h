#pragma once
// Whole-file text reading and safe writing. Writing goes to a temporary file beside the
// target which then replaces it, so a failed save never damages the previous file.

#include <cstddef>
#include <string>

namespace ov {

// The largest file read: far beyond any real project or function list, and a bound on the
// memory that naming the wrong file can take.
constexpr std::size_t kMaxTextFileBytes = std::size_t{1} << 30;

// Reads the whole of a regular file of at most maxBytes. On failure returns false and sets
// error to the system's description of the problem. Anything but a regular file (a named
// pipe, a device, a folder) is refused at once with "not a regular file", without waiting
// for a writer or reading endless data; a larger file is refused before it is read.
bool ReadTextFile(const std::string& path, std::string& content, std::string& error,
                  std::size_t maxBytes = kMaxTextFileBytes);

// Writes content to path through a temporary file and an atomic rename. On failure the
// previous file (if any) is untouched, the temporary file is removed, and error holds the
// system's description.
// createFailed tells whether the file could not be created at all, as opposed to a
// failure while writing it.
bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error);
bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error,
                             bool& createFailed);

} // namespace ov
