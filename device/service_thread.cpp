#include "device/service_thread.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <utility>

#include "base/log.h"
#include "device/log_ids.h"
#include "device/report.h"

namespace vantor {
namespace {

constexpr std::size_t kLoggedReplyBytes = 15;
constexpr std::size_t kEventBits = 5;      // payload byte with the event bits
constexpr std::size_t kEventDpiLevel = 6;  // payload bytes with the events' values
constexpr std::size_t kEventRate = 7;
constexpr std::size_t kEventReset = 9;

struct EventBit {
    std::uint8_t mask;
    std::intptr_t behavior;
};

// Posted in this order when several bits are set.
constexpr std::array<EventBit, 6> kEventOrder = {{
    {0x01, kBehaviorDpiLevel},
    {0x02, kBehaviorReportRate},
    {0x04, kBehaviorReset},
    {0x80, kBehaviorMainLighting},
    {0x40, kBehaviorLogoLighting},
    {0x20, kBehaviorDpiIndicator},
}};

std::uintptr_t EventValue(std::intptr_t behavior, const std::uint8_t* p) {
    switch (behavior) {
        case kBehaviorDpiLevel:
            return p[kEventDpiLevel];
        case kBehaviorReportRate:
            return p[kEventRate] & 0x0F;
        case kBehaviorReset:
            return p[kEventReset];
        default:
            return 0;
    }
}

}  // namespace

ServiceThread::ServiceThread(std::shared_ptr<HidHandle> hNotify, ServiceThreadIds ids,
                             ReplyQueue& queue, MessagePoster* poster)
    : hNotify_(std::move(hNotify)), ids_(ids), queue_(queue), poster_(poster) {}

ServiceThread::~ServiceThread() {
    RequestStop();
    Join();
}

void ServiceThread::Start() {
    if (thread_.joinable() || !hNotify_) return;
    running_ = true;
    thread_ = std::thread([this] { Run(); });
}

void ServiceThread::RequestStop() {
    // A stop left pending on a handle whose reader has ended would end the next read of
    // whoever uses the handle after it.
    if (running_) hNotify_->SignalStop();
}

void ServiceThread::Join() {
    if (thread_.joinable()) thread_.join();
}

void ServiceThread::Dispatch(const std::uint8_t* p) {
    char label[32];
    std::snprintf(label, sizeof label, "Read(%x): ", LogThreadId());
    DbgLogHex(p, kLoggedReplyBytes, 0, label);
    if (p[0] != kCmdDeviceEvent) {
        queue_.Append(p);
        return;
    }
    // Events never enter the reply queue; without a window they are dropped.
    if (poster_ == nullptr || !poster_->IsValid()) return;
    for (const EventBit& bit : kEventOrder) {
        if ((p[kEventBits] & bit.mask) != 0) {
            poster_->Post(WM_DEVICE_BEHAVIOR, EventValue(bit.behavior, p), bit.behavior);
        }
    }
}

void ServiceThread::Run() {
    const unsigned handleId = LogHandleId(hNotify_.get());
    DbgLog("ServiceThread start, hNotify=%x, PID=%04x, CID=%x, MID=%x, ThreadId=0x%x", handleId,
           ids_.PID, ids_.CID, ids_.MID, LogThreadId());
    bool loggedForeign = false;
    for (;;) {
        // One byte more than a reply, so that a longer report does not pass for one.
        std::array<std::uint8_t, kReportLength + 1> buffer{};
        buffer[0] = kReplyReportId;
        std::uint32_t err = kHidOk;
        std::size_t received = 0;
        const HidReadResult result =
            hNotify_->Read(buffer.data(), buffer.size(), -1, &err, &received);
        if (result == HidReadResult::kOk) {
            if (IsReplyReport(buffer.data(), received)) {
                Dispatch(buffer.data() + 1);
            } else if (!loggedForeign) {
                // The node also carries the receiver's other collections (keyboard,
                // consumer control); their reports are neither replies nor events.
                DbgLog(
                    "ServiceThread: ignoring input reports other than id %u of %u bytes "
                    "(first: id %u, %u bytes)",
                    kReplyReportId, static_cast<unsigned>(kReportLength), buffer[0],
                    static_cast<unsigned>(received));
                loggedForeign = true;
            }
            continue;
        }
        if (result == HidReadResult::kStopped) {
            DbgLog("hObject[1] is signal");
            break;
        }
        if (result == HidReadResult::kTimeout) continue;
        DbgLog("ServiceThread ReadFile Err=%d\n", static_cast<int>(err));
        if (err == kHidDeviceNotConnected || err == kHidInvalidHandle) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kErrorPauseMs));
    }
    running_ = false;
    DbgLog("ServiceThread exit, hNotify=%x, PID=%04x, CID=%x, MID=%x", handleId, ids_.PID, ids_.CID,
           ids_.MID);
}

}  // namespace vantor
