#include "platform/hidraw_handle.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "base/log.h"

namespace vantor {
namespace {

// The size field of an ioctl request number has 14 bits.
constexpr std::size_t kMaxFeatureReportBytes = 0x3FFF;

void SetError(std::uint32_t* error, std::uint32_t value) {
    if (error != nullptr) *error = value;
}

// Milliseconds left until `deadline`, rounded up so a wait never ends early.
int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

HidrawHandle::HidrawHandle(std::string path, int fd, std::uint16_t version)
    : path_(std::move(path)), version_(version), fd_(fd) {
    if (fd_ < 0) {
        closed_ = true;
        return;
    }
    int flags = fcntl(fd_, F_GETFL);
    if (flags >= 0) fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        DbgLog("HidOpen err: no eventfd for %s, errno=%d", path_.c_str(), errno);
        close(fd_);
        fd_ = -1;
        closed_ = true;
    }
}

HidrawHandle::~HidrawHandle() {
    Close();
}

bool HidrawHandle::BeginUse(int* fd) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
    ++users_;
    *fd = fd_;
    return true;
}

void HidrawHandle::EndUse() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (--users_ == 0) idle_.notify_all();
}

bool HidrawHandle::TakeStop(bool* closed) {
    std::lock_guard<std::mutex> lock(mutex_);
    *closed = closed_;
    if (closed_) return false;
    std::uint64_t count = 0;
    return read(wakeFd_, &count, sizeof count) == static_cast<ssize_t>(sizeof count);
}

bool HidrawHandle::SetFeature(const std::uint8_t* report, std::size_t length,
                              std::uint32_t* error) {
    if (report == nullptr || length == 0 || length > kMaxFeatureReportBytes) {
        SetError(error, kHidGenericFailure);
        return false;
    }
    int fd = -1;
    if (!BeginUse(&fd)) {
        SetError(error, kHidInvalidHandle);
        return false;
    }
    int result = ioctl(fd, HIDIOCSFEATURE(length), report);
    int savedErrno = errno;
    EndUse();
    if (result < 0) {
        DbgLog("HidSetFeature err: %s errno=%d", path_.c_str(), savedErrno);
        SetError(error, HidErrorFromErrno(savedErrno));
        return false;
    }
    SetError(error, kHidOk);
    return true;
}

HidReadResult HidrawHandle::Read(std::uint8_t* buffer, std::size_t length, int timeoutMs,
                                 std::uint32_t* error, std::size_t* received) {
    if (received != nullptr) *received = 0;
    if (buffer == nullptr || length == 0) {
        SetError(error, kHidGenericFailure);
        return HidReadResult::kError;
    }
    int fd = -1;
    if (!BeginUse(&fd)) {
        SetError(error, kHidInvalidHandle);
        return HidReadResult::kError;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    HidReadResult result = HidReadResult::kError;
    std::uint32_t code = kHidGenericFailure;
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        int ready = poll(fds, 2, timeoutMs < 0 ? -1 : MillisecondsLeft(deadline));
        if (ready < 0) {
            if (errno == EINTR) continue;
            code = HidErrorFromErrno(errno);
            break;
        }
        // A stop wins over a report that is waiting at the same time.
        if ((fds[1].revents & POLLIN) != 0) {
            bool closed = false;
            if (TakeStop(&closed)) {
                result = HidReadResult::kStopped;
                code = kHidOk;
                break;
            }
            if (closed) {
                code = kHidInvalidHandle;
                break;
            }
        }
        if ((fds[0].revents & POLLNVAL) != 0) {
            code = kHidInvalidHandle;
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            ssize_t got = read(fd, buffer, length);
            if (got > 0) {
                if (received != nullptr) *received = static_cast<std::size_t>(got);
                result = HidReadResult::kOk;
                code = kHidOk;
                break;
            }
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            // End of file means the other side is gone, as a hidraw node after unplug.
            code = got == 0 ? kHidDeviceNotConnected : HidErrorFromErrno(errno);
            if (got < 0) DbgLog("HidRead err: %s errno=%d", path_.c_str(), errno);
            break;
        }
        if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
            code = kHidDeviceNotConnected;
            break;
        }
        if (timeoutMs >= 0 && MillisecondsLeft(deadline) == 0) {
            result = HidReadResult::kTimeout;
            code = kHidOk;
            break;
        }
    }
    EndUse();
    SetError(error, code);
    return result;
}

void HidrawHandle::SignalStop() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return;
    std::uint64_t one = 1;
    if (write(wakeFd_, &one, sizeof one) < 0) {
        DbgLog("HidSignalStop err: %s errno=%d", path_.c_str(), errno);
    }
}

bool HidrawHandle::GetAttributes(HidAttributes* attributes, std::uint32_t* error) {
    int fd = -1;
    if (!BeginUse(&fd)) {
        SetError(error, kHidInvalidHandle);
        return false;
    }
    hidraw_devinfo info{};
    int result = ioctl(fd, HIDIOCGRAWINFO, &info);
    int savedErrno = errno;
    EndUse();
    if (result < 0) {
        SetError(error, HidErrorFromErrno(savedErrno));
        return false;
    }
    if (attributes != nullptr) {
        attributes->vendorId = static_cast<std::uint16_t>(info.vendor);
        attributes->productId = static_cast<std::uint16_t>(info.product);
        attributes->versionNumber = version_;
    }
    SetError(error, kHidOk);
    return true;
}

void HidrawHandle::Close() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (closed_) return;
    closed_ = true;
    // Wake a waiting read; it sees `closed_` and leaves, and later calls are refused.
    std::uint64_t one = 1;
    (void)!write(wakeFd_, &one, sizeof one);
    idle_.wait(lock, [this] { return users_ == 0; });
    close(fd_);
    close(wakeFd_);
    fd_ = -1;
    wakeFd_ = -1;
}

bool HidrawHandle::IsOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !closed_;
}

}  // namespace vantor
