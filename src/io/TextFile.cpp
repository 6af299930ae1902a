#include "io/TextFile.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ov {

namespace {

const char* const kNotRegular = "not a regular file";

std::string SystemError(int code) { return std::strerror(code); }

bool Fail(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

std::string SizeText(std::size_t bytes) {
    static const struct { std::size_t unit; const char* name; } units[] = {
        {std::size_t{1} << 30, " GB"}, {std::size_t{1} << 20, " MB"}, {std::size_t{1} << 10, " KB"}};
    for (const auto& u : units)
        if (bytes >= u.unit && bytes % u.unit == 0) return std::to_string(bytes / u.unit) + u.name;
    return std::to_string(bytes) + " bytes";
}

std::string TooLarge(std::size_t maxBytes) {
    return "the file is larger than " + SizeText(maxBytes) + ", more than a project can be";
}

// Reads fd to its end. The size was checked before, but the file may grow while it is read.
bool ReadAll(int fd, std::string& content, std::size_t maxBytes, std::string& error) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(error, SystemError(errno));
        if (static_cast<std::size_t>(n) > maxBytes - content.size()) return Fail(error, TooLarge(maxBytes));
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

bool ReadTextFile(const std::string& path, std::string& content, std::string& error, std::size_t maxBytes) {
    content.clear();
    // Without O_NONBLOCK, opening a named pipe waits for a writer, perhaps for ever; and a
    // terminal must not become our controlling one. Neither is read: only regular files are.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0) return Fail(error, SystemError(errno));
    struct stat st {};
    if (::fstat(file.Get(), &st) != 0) return Fail(error, SystemError(errno));
    if (!S_ISREG(st.st_mode)) return Fail(error, kNotRegular);
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) return Fail(error, TooLarge(maxBytes));
    content.reserve(static_cast<std::size_t>(st.st_size));
    if (ReadAll(file.Get(), content, maxBytes, error)) return true;
    content = std::string(); // gives back the memory
    return false;
}

void DropByteOrderMark(std::string& content) {
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
}

namespace {

// The folder part of a path, with its slash; empty for a bare name.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) { return path.substr(FolderOf(path).size()); }

// Whether following the link at path would write where its planter wants: in a folder that
// everyone may write and that is sticky (such as /tmp), another user may leave a link that
// points into our files. The kernel refuses to follow such links for us (protected
// symlinks), but a save replaces its target by a rename, which that rule does not cover; so
// the rule is applied here: only a link of our own or of the folder's owner is followed.
bool PlantedLink(const std::string& path, const struct stat& link) {
    const std::string folder = FolderOf(path);
    struct stat st {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return false;
    if (!(st.st_mode & S_ISVTX) || !(st.st_mode & S_IWOTH)) return false;
    return link.st_uid != ::geteuid() && link.st_uid != st.st_uid;
}

// The file a save writes. Symbolic links are followed one at a time, in every part of the
// path, so that a link stays a link and each link can be checked; a dangling link names the
// file to create, from the link's own folder.
bool ResolveTarget(const std::string& path, std::string& target, std::string& error) {
    std::string resolved = !path.empty() && path[0] == '/' ? "/" : "", rest = path;
    for (int links = 0;;) {
        const std::size_t start = rest.find_first_not_of('/');
        if (start == std::string::npos) break;
        const std::size_t end = rest.find('/', start);
        const std::string part = rest.substr(start, end - start);
        rest = end == std::string::npos ? std::string() : rest.substr(end);
        const std::string next = resolved.empty() || resolved.back() == '/' ? resolved + part : resolved + "/" + part;
        struct stat st {};
        if (::lstat(next.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = next;
            continue;
        }
        if (++links > 40) return Fail(error, SystemError(ELOOP));
        if (PlantedLink(next, st)) return Fail(error, "'" + next + "' is a link planted by another user; not saved");
        std::string text(PATH_MAX, '\0');
        const ssize_t n = ::readlink(next.c_str(), text.data(), text.size());
        if (n <= 0) return Fail(error, SystemError(n < 0 ? errno : ENOENT));
        text.resize(static_cast<std::size_t>(n));
        if (text[0] == '/') resolved = "/";
        rest = text + rest; // what the link names, then what followed it
    }
    target = resolved.empty() ? path : resolved;
    return true;
}

// Whether a save may replace what exists at target. A rename needs only the folder's
// permission, so the file's own is checked as opening it for writing would check it.
bool CanReplace(const std::string& target, const struct stat& existing, std::string& error) {
    if (S_ISDIR(existing.st_mode)) return Fail(error, SystemError(EISDIR));
    // A device or a pipe would be replaced by a plain file, which is never what was meant.
    if (!S_ISREG(existing.st_mode)) return Fail(error, kNotRegular);
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return Fail(error, SystemError(errno));
    return true;
}

// Removes the temporary files that saves of the same file left when they crashed. A minute's
// grace keeps the one of a save that another program is making right now.
void RemoveStaleTemporaries(const std::string& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const std::time_t cutoff = std::time(nullptr) - 60;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
            ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_mtime < cutoff)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// The umask, read where the kernel shows it: setting it to learn it would change it for a
// moment for every thread creating files. Kernels before 4.7 leave only that way.
mode_t CurrentUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask & 0777);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Gives the temporary file what the target should have: a replaced file's owner (as far as
// we may give it) and permissions, a new file the permissions the umask allows.
void TakeOverAttributes(int fd, bool exists, const struct stat& existing) {
    if (!exists) {
        ::fchmod(fd, 0666 & ~CurrentUmask());
        return;
    }
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Only root may give a file away; anyone else's save simply becomes theirs.
    }
    ::fchmod(fd, existing.st_mode & 07777);
}

bool WriteAll(int fd, const std::string& content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string TemporaryFilePrefix(const std::string& target) {
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (const char c : NameOf(target)) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, ".ovsave-%08x-", static_cast<unsigned>(hash));
    return prefix;
}

bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error) {
    bool createFailed = false;
    return WriteTextFileAtomically(path, content, error, createFailed);
}

namespace {

// Makes a rename in folder last: the new name is only on the disk once the folder is.
void SyncFolder(const std::string& folder) {
    const Descriptor dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());
}

// Writes content over the file itself, for a file with several names (hard links), which a
// rename would part from its other names. The old bytes are kept in a synced copy beside it
// first (named so that no save removes it: after a crash it is the old file) and are written
// back when the new ones cannot be.
bool WriteInPlace(const std::string& target, const std::string& content, std::string& error) {
    std::string old;
    if (!ReadTextFile(target, old, error)) return false;
    std::string backup = FolderOf(target) + ".ovbackup-" + TemporaryFilePrefix(target).substr(8) + "XXXXXX";
    {
        const Descriptor copy(::mkostemp(backup.data(), O_CLOEXEC));
        if (copy.Get() < 0) return Fail(error, SystemError(errno));
        if (!WriteAll(copy.Get(), old) || ::fsync(copy.Get()) != 0) {
            const int code = errno;
            ::unlink(backup.c_str());
            return Fail(error, SystemError(code));
        }
    }
    const auto overwrite = [&target](const std::string& bytes) {
        const Descriptor file(::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC));
        return file.Get() >= 0 && WriteAll(file.Get(), bytes) && ::fsync(file.Get()) == 0 ? 0 : errno;
    };
    const int code = overwrite(content);
    if (code != 0 && overwrite(old) != 0) return Fail(error, SystemError(code) + "; the old file is kept as '" + backup + "'");
    ::unlink(backup.c_str());
    return code == 0 ? true : Fail(error, SystemError(code));
}

} // namespace

bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error,
                             bool& createFailed) {
    createFailed = true;
    std::string target;
    if (!ResolveTarget(path, target, error)) return false;
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !CanReplace(target, existing, error)) return false;
    if (exists && existing.st_nlink > 1) {
        createFailed = false;
        return WriteInPlace(target, content, error);
    }

    const std::string folder = FolderOf(target), prefix = TemporaryFilePrefix(target);
    RemoveStaleTemporaries(folder, prefix);
    std::string temp = folder + prefix + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        if (exists && (code == EACCES || code == EROFS))
            return Fail(error, "the folder '" + (folder.empty() ? std::string(".") : folder) +
                                   "' may not be written, and a safe save needs a temporary file beside the file");
        return Fail(error, SystemError(code));
    }
    createFailed = false;
    TakeOverAttributes(fd, exists, existing);
    // A full disk or the file size limit ends the save here, with the old file untouched.
    int code = WriteAll(fd, content) && ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && code == 0) code = errno;
    if (code == 0 && ::rename(temp.c_str(), target.c_str()) != 0) code = errno;
    if (code == 0) {
        SyncFolder(folder);
        RemoveStaleTemporaries(folder, prefix);
        return true;
    }
    ::unlink(temp.c_str());
    return Fail(error, SystemError(code));
}

void RemoveStaleTemporaryFiles(const std::string& target) {
    RemoveStaleTemporaries(FolderOf(target), TemporaryFilePrefix(target));
}

void IgnoreFileSizeLimitSignal() { std::signal(SIGXFSZ, SIG_IGN); }

} // namespace ov
