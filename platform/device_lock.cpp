#include "platform/device_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <thread>

#include "platform/paths.h"
#include "platform/runtime_dir.h"

namespace vantor {
namespace {

constexpr const char* kLockFileName = "vantor-device.lock";
constexpr std::chrono::milliseconds kRetryInterval{50};
constexpr std::size_t kMaxHolderText = 256;

std::string ReadHolder(int fd) {
    char text[kMaxHolderText];
    const ssize_t got = pread(fd, text, sizeof text, 0);
    if (got <= 0) return {};
    std::string holder(text, static_cast<std::size_t>(got));
    while (!holder.empty() && (holder.back() == '\n' || holder.back() == '\0')) holder.pop_back();
    return holder;
}

void WriteHolder(int fd, const std::string& program) {
    const std::string text = program + " " + std::to_string(getpid()) + "\n";
    if (ftruncate(fd, 0) != 0) return;
    // The holder's name is a courtesy for the waiting program; the lock is what counts.
    [[maybe_unused]] const ssize_t written = pwrite(fd, text.data(), text.size(), 0);
}

}  // namespace

std::string DeviceLockPath(const std::string& dataDir) {
    std::string error;
    if (std::optional<std::string> runtime = PrivateRuntimeDir(&error)) {
        return *runtime + kLockFileName;
    }
    return WithTrailingSlash(ResolvedPath(dataDir)) + kLockFileName;
}

DeviceLock::~DeviceLock() {
    Release();
}

bool DeviceLock::Acquire(const std::string& path, const std::string& program,
                         std::chrono::milliseconds wait, std::string* holder, int* error) {
    if (Held()) return true;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (error != nullptr) *error = errno;
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || info.st_uid != geteuid()) {
        if (error != nullptr) *error = EPERM;
        close(fd);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            WriteHolder(fd_, program);
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            if (error != nullptr) *error = errno;
            close(fd);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kRetryInterval);
    }
    if (holder != nullptr) *holder = ReadHolder(fd);
    if (error != nullptr) *error = EWOULDBLOCK;
    close(fd);
    return false;
}

void DeviceLock::Release() {
    if (fd_ < 0) return;
    if (ftruncate(fd_, 0) != 0) {
        // The next holder rewrites the file; an old name left in it is harmless.
    }
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
}

std::string DescribeLockHolder(const std::string& holder) {
    const std::string::size_type space = holder.rfind(' ');
    if (space == std::string::npos) return "another program";
    return holder.substr(0, space) + " (pid " + holder.substr(space + 1) + ")";
}

}  // namespace vantor
