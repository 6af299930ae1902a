#include "io/TextFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error) {
    bool createFailed = false;
    return WriteTextFileAtomically(path, content, error, createFailed);
}

bool WriteTextFileAtomically(const std::string& path, const std::string& content, std::string& error,
                             bool& createFailed) {
    createFailed = false;
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
        createFailed = true;
        error = SystemError(EISDIR);
        return false;
    }
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        createFailed = true;
        error = SystemError(errno);
        return false;
    }
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);

    auto fail = [&](int code) {
        error = SystemError(code);
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    };
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        error = SystemError(errno);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        error = SystemError(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace ov
