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

// Removes the UTF-8 byte-order mark that some editors put at the start of a text file, so
// that the first line reads as written.
void DropByteOrderMark(std::string& content);

// Writes content to path through a temporary file and an atomic rename. On failure the
// previous file (if any) is untouched, the temporary file is removed, and error holds the
// system's description.
// A symbolic link is followed: its target is written and the link stays; but a link that
// another user planted in a sticky folder everyone may write is refused. A file with several
// names (hard links) is written in place, its old bytes kept in a synced copy beside it until
// the new ones are on the disk. A file the user may not write is refused as opening it would
// be, and a folder that may not be written is named as the reason. A replaced file keeps its
// permissions; a new one gets those the umask allows. The folder is synced after the rename.
// createFailed tells whether the file could not be created at all, as opposed to a
// failure while writing it.
bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error);
bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error,
                             bool& createFailed);

// How the names of the temporary files of saves to target start (in target's folder, six
// random characters follow). They are named after a hash of the target's name rather than
// the name itself, which may already be as long as a name can be. A save removes those that
// are more than a minute old, left by a save that crashed; a younger one may belong to a
// save that another program is making right now.
std::string TemporaryFilePrefix(const std::string& target);

// Removes the temporary files that saves of target left when they were cut short (a crash,
// a kill) more than a minute ago. Saves do it themselves before and after they write;
// opening a file does it too, so that they do not wait for the next save.
void RemoveStaleTemporaryFiles(const std::string& target);

// Makes a write beyond the file size limit (ulimit -f) fail with "File too large" instead of
// killing the program with SIGXFSZ, so that a save can report it. Called at start-up.
void IgnoreFileSizeLimitSignal();

} // namespace ov
