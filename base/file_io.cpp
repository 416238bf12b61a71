#include "base/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace vantor {
namespace {

constexpr std::string_view kTempSuffix = ".tmpXXXXXX";  // mkstemp replaces the X's
constexpr std::size_t kTempRandomChars = 6;

// Closes the descriptor on every path out of a function.
class FdGuard {
  public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard() {
        if (fd_ >= 0) close(fd_);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return fd_; }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

constexpr mode_t kNewFileMode = 0644;
constexpr int kMaxLinkHops = 40;  // as the kernel's own limit before ELOOP

// The file a write of `path` replaces: symbolic links are followed to their target, whose
// permission bits the new file keeps.
struct WriteTarget {
    std::string path;
    mode_t mode = kNewFileMode;
};

// Nothing (errno set) for a folder (EISDIR), any other file that is not a regular file,
// such as a device node or a FIFO (EPERM: it is refused, never replaced), or a loop of
// links (ELOOP).
std::optional<WriteTarget> ResolveWriteTarget(const std::string& path) {
    WriteTarget target{path};
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(target.path.c_str(), &info) != 0) {
            if (errno == ENOENT) return target;  // a new file
            return std::nullopt;
        }
        if (S_ISREG(info.st_mode)) {
            target.mode = info.st_mode & 07777;
            return target;
        }
        if (S_ISDIR(info.st_mode)) {
            errno = EISDIR;
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) {
            errno = EPERM;
            return std::nullopt;
        }
        std::string link(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t length = readlink(target.path.c_str(), link.data(), link.size());
        if (length < 0) return std::nullopt;
        link.resize(static_cast<std::size_t>(length));
        if (link.empty() || link[0] != '/') {
            // A relative link counts from the folder that holds it.
            const std::string::size_type slash = target.path.rfind('/');
            link = (slash == std::string::npos ? std::string() : target.path.substr(0, slash + 1)) +
                   link;
        }
        target.path = link;
    }
    errno = ELOOP;
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::size_t maxBytes) {
    FdGuard fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return std::nullopt;
    struct stat info {};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return std::nullopt;
    std::vector<std::uint8_t> data;
    data.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        ssize_t got = read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (got == 0) break;
        if (data.size() + static_cast<std::size_t>(got) > maxBytes) return std::nullopt;
        data.insert(data.end(), buffer, buffer + got);
    }
    return data;
}

bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size, int* error) {
    const std::optional<WriteTarget> target = ResolveWriteTarget(path);
    if (!target) {
        if (error != nullptr) *error = errno;
        return false;
    }
    std::string temp = target->path + std::string(kTempSuffix);
    FdGuard fd(mkstemp(temp.data()));
    auto fail = [&](bool removeTemp) {
        int saved = errno;
        if (removeTemp) unlink(temp.c_str());
        if (error != nullptr) *error = saved;
        return false;
    };
    if (fd.get() < 0) return fail(false);
    if (fchmod(fd.get(), target->mode) != 0) return fail(true);
    if (!WriteAll(fd.get(), static_cast<const std::uint8_t*>(data), size)) return fail(true);
    if (fsync(fd.get()) != 0) return fail(true);
    if (close(fd.release()) != 0) return fail(true);
    if (rename(temp.c_str(), target->path.c_str()) != 0) return fail(true);
    return true;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsAtomicWriteTempName(std::string_view fileName) {
    if (fileName.size() <= kTempSuffix.size()) return false;
    const std::string_view suffix = fileName.substr(fileName.size() - kTempSuffix.size());
    const std::string_view fixed = kTempSuffix.substr(0, kTempSuffix.size() - kTempRandomChars);
    if (suffix.substr(0, fixed.size()) != fixed) return false;
    for (char c : suffix.substr(fixed.size())) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0) return false;
    }
    return true;
}

}  // namespace vantor
