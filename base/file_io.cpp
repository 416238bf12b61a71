#include "base/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantor {
namespace {

constexpr std::string_view kTempSuffix = ".tmpXXXXXX";  // the X's become random letters
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

// Nothing for a file that does not exist yet or a symbolic link: the new file gets the mode
// the process's umask gives (0666 masked). A regular file keeps its permission bits (without
// set-id and sticky bits, which never belong on a data file). Nothing either, with errno
// set, for a folder (EISDIR) or any other file that is not a regular file, such as a
// device node or a FIFO (EPERM): those are refused, never replaced.
struct Replaced {
    bool ok = true;
    std::optional<mode_t> mode;
};

Replaced WhatIsReplaced(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return {};
        return {false, std::nullopt};
    }
    // The link itself is replaced, never the file it points to.
    if (S_ISLNK(info.st_mode)) return {};
    if (S_ISREG(info.st_mode)) return {true, info.st_mode & 0777};
    errno = S_ISDIR(info.st_mode) ? EISDIR : EPERM;
    return {false, std::nullopt};
}

// Creates "<path>.tmp" and six random letters or digits exclusively; the umask and any
// default ACL of the folder apply to it as to any new file.
int CreateTempFile(const std::string& path, std::string* temp) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const std::string stem(kTempSuffix.substr(0, kTempSuffix.size() - kTempRandomChars));
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[kTempRandomChars];
        if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
        *temp = path + stem;
        for (unsigned char r : random) *temp += kLetters[r % (sizeof kLetters - 1)];
        const int fd =
            open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::size_t maxBytes, int* error) {
    auto fail = [error](int code) {
        if (error != nullptr) *error = code;
        return std::nullopt;
    };
    // Non-blocking, so that a FIFO put in place of a file cannot stall the reader before
    // fstat refuses it.
    FdGuard fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return fail(errno);
    struct stat info {};
    if (fstat(fd.get(), &info) != 0) return fail(errno);
    if (S_ISDIR(info.st_mode)) return fail(EISDIR);
    if (!S_ISREG(info.st_mode)) return fail(EINVAL);
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return fail(EFBIG);
    std::vector<std::uint8_t> data;
    data.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        ssize_t got = read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (got == 0) break;
        if (data.size() + static_cast<std::size_t>(got) > maxBytes) return fail(EFBIG);
        data.insert(data.end(), buffer, buffer + got);
    }
    if (error != nullptr) *error = 0;
    return data;
}

std::string DescribeReadError(const std::string& path, int error) {
    switch (error) {
        case EISDIR:
        case EINVAL:
            return path + " is not a regular file";
        case EFBIG:
            return path + " is too large";
        default:
            return path + ": " + std::strerror(error);
    }
}

bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size, int* error) {
    auto fail = [error](int code) {
        if (error != nullptr) *error = code;
        return false;
    };
    const Replaced replaced = WhatIsReplaced(path);
    if (!replaced.ok) return fail(errno);
    std::string temp;
    FdGuard fd(CreateTempFile(path, &temp));
    if (fd.get() < 0) return fail(errno);
    // Held until the file is renamed or removed: a start-up clean-up never takes the
    // temporary file of a save that is still running.
    (void)flock(fd.get(), LOCK_EX);
    auto failAndRemove = [&] {
        const int saved = errno;
        unlink(temp.c_str());
        return fail(saved);
    };
    if (replaced.mode && fchmod(fd.get(), *replaced.mode) != 0) return failAndRemove();
    if (!WriteAll(fd.get(), static_cast<const std::uint8_t*>(data), size)) return failAndRemove();
    if (fsync(fd.get()) != 0) return failAndRemove();
    if (rename(temp.c_str(), path.c_str()) != 0) return failAndRemove();
    if (close(fd.release()) != 0) return fail(errno);
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

void RemoveStaleTempFiles(const std::string& folder, std::string_view target) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!IsAtomicWriteTempName(name)) continue;
        if (!target.empty() && name.substr(0, name.size() - kTempSuffix.size()) != target) {
            continue;
        }
        const std::string path = prefix + std::string(name);
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) continue;
        if (S_ISLNK(info.st_mode)) {
            unlink(path.c_str());
            continue;
        }
        if (!S_ISREG(info.st_mode)) continue;
        // A save that is still running holds its temporary file locked.
        FdGuard fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
        if (fd.get() < 0 || flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
        unlink(path.c_str());
    }
    closedir(dir);
}

}  // namespace vantor
