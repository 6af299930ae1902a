#pragma once
// Whole-file text reading and safe writing. Writing goes to a temporary file beside the
// target which then replaces it, so a failed save never damages the previous file.

#include <string>

namespace ov {

// Reads the whole file. On failure returns false and sets error to the system's
// description of the problem.
bool ReadTextFile(const std::string& path, std::string& content, std::string& error);

// Writes content to path through a temporary file and an atomic rename. On failure the
// previous file (if any) is untouched, the temporary file is removed, and error holds the
// system's description.
// createFailed tells whether the file could not be created at all, as opposed to a
// failure while writing it.
bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error);
bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error,
                             bool& createFailed);

} // namespace ov
