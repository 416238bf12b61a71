#include "platform/single_instance.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "base/log.h"
#include "platform/paths.h"
#include "platform/runtime_dir.h"

namespace vantor {
namespace {

constexpr std::size_t kMaxTitleBytes = 256;

// The user id of the process at the other end of a local socket, or nothing.
std::optional<uid_t> PeerUser(int fd, pid_t* pid = nullptr) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return std::nullopt;
    if (pid != nullptr) *pid = credentials.pid;
    return credentials.uid;
}

bool FillAddress(const std::string& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path) return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t GetU32(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
           (static_cast<std::uint32_t>(in[2]) << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
}

// Wire form: three little-endian words, then the title bytes.
std::vector<std::uint8_t> Encode(const InstanceMessage& message) {
    std::vector<std::uint8_t> out;
    PutU32(out, message.message);
    PutU32(out, message.wParam);
    PutU32(out, message.lParam);
    std::size_t titleBytes = std::min(message.title.size(), kMaxTitleBytes);
    out.insert(out.end(), message.title.begin(),
               message.title.begin() + static_cast<std::ptrdiff_t>(titleBytes));
    return out;
}

bool Decode(const std::uint8_t* data, std::size_t size, InstanceMessage* message) {
    if (size < 12) return false;
    message->message = GetU32(data);
    message->wParam = GetU32(data + 4);
    message->lParam = GetU32(data + 8);
    message->title.assign(reinterpret_cast<const char*>(data + 12), size - 12);
    return true;
}

}  // namespace

SingleInstance::SingleInstance(std::string name, std::string folder) {
    if (folder.empty()) {
        std::optional<std::string> runtime = PrivateRuntimeDir(&error_);
        if (!runtime) return;
        folder = *runtime;
    } else if (!IsPrivateFolder(folder, &error_)) {
        return;
    }
    folder = WithTrailingSlash(folder);
    lockPath_ = folder + name + ".lock";
    socketPath_ = folder + name + ".sock";
}

SingleInstance::~SingleInstance() {
    Release();
}

void SingleInstance::Release() {
    StopListening();
    if (bound_) unlink(socketPath_.c_str());
    bound_ = false;
    if (lockFd_ >= 0) close(lockFd_);
    lockFd_ = -1;
}

InstanceClaim SingleInstance::WaitForRelease(std::chrono::milliseconds limit) {
    constexpr auto kRetry = std::chrono::milliseconds(50);
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const InstanceClaim claim = Acquire();
        if (claim != InstanceClaim::kRunning || std::chrono::steady_clock::now() >= end) {
            return claim;
        }
        std::this_thread::sleep_for(kRetry);
    }
}

InstanceClaim SingleInstance::Acquire() {
    if (lockFd_ >= 0) return InstanceClaim::kHeld;
    if (lockPath_.empty()) return InstanceClaim::kFailed;
    const int fd = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = "cannot open the lock file " + lockPath_ + ": " + std::strerror(errno);
        return InstanceClaim::kFailed;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
        // A lock another user made could keep this user's program from ever starting.
        error_ = "the lock file " + lockPath_ + " is not a file of this user";
        close(fd);
        return InstanceClaim::kFailed;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return InstanceClaim::kRunning;
    }
    lockFd_ = fd;
    return InstanceClaim::kHeld;
}

bool SingleInstance::Listen(Handler handler) {
    if (lockFd_ < 0 || listener_.joinable()) return false;
    sockaddr_un address{};
    if (!FillAddress(socketPath_, &address)) return false;
    // A socket file left by a crashed holder is ours to replace: we hold the lock now.
    unlink(socketPath_.c_str());
    listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return false;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenFd_, 4) != 0) {
        DbgLog("SingleInstance: listen err=%d", errno);
        close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    bound_ = true;
    stopFd_ = eventfd(0, EFD_CLOEXEC);
    handler_ = std::move(handler);
    listener_ = std::thread([this] { ListenLoop(); });
    return true;
}

void SingleInstance::StopListening() {
    if (!listener_.joinable()) return;
    std::uint64_t one = 1;
    if (write(stopFd_, &one, sizeof one) < 0) DbgLog("SingleInstance: stop err=%d", errno);
    listener_.join();
    close(listenFd_);
    close(stopFd_);
    listenFd_ = stopFd_ = -1;
}

void SingleInstance::ListenLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) == 0) continue;
        int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        const std::optional<uid_t> peer = PeerUser(client);
        if (!peer || *peer != geteuid()) {
            DbgLog("SingleInstance: refused a message of uid %ld",
                   peer ? static_cast<long>(*peer) : -1L);
            close(client);
            continue;
        }
        // A peer that connects but never writes must not stall the listener.
        timeval timeout{1, 0};
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        std::uint8_t buffer[12 + kMaxTitleBytes];
        std::size_t size = 0;
        for (;;) {
            ssize_t got = read(client, buffer + size, sizeof buffer - size);
            if (got <= 0) break;
            size += static_cast<std::size_t>(got);
            if (size == sizeof buffer) break;
        }
        close(client);
        InstanceMessage message;
        if (Decode(buffer, size, &message)) handler_(message);
    }
}

long SingleInstance::Notify(const InstanceMessage& message) const {
    sockaddr_un address{};
    if (!FillAddress(socketPath_, &address)) return 0;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    long peer = 0;
    pid_t pid = 0;
    // Only a holder of this user gets the message.
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        PeerUser(fd, &pid) == geteuid()) {
        std::vector<std::uint8_t> bytes = Encode(message);
        if (write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())) {
            peer = pid;
        }
    }
    close(fd);
    return peer;
}

}  // namespace vantor
