#include "device/usb_driver.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>

#include "base/log.h"
#include "device/log_ids.h"

namespace vantor {

int SendData(HidHandle* hCmd, const std::uint8_t* payload, std::size_t size, std::uint32_t* error) {
    if (payload == nullptr || size > kPayloadLength) {
        DbgLog("SendData Err: nSize>PER_PAYLOAD!");
        return 0;
    }
    CommandPayload full{};
    std::copy(payload, payload + size, full.begin());
    const CommandReport report = BuildCommandReport(full);
    std::uint32_t err = kHidInvalidHandle;
    if (hCmd != nullptr && hCmd->SetFeature(report.data(), report.size(), &err)) return 1;
    if (error != nullptr) *error = err;
    DbgLog("SendData Err=0x%x", err);
    return 0;
}

int GetData(HidHandle* hNotify, std::uint8_t* out, std::size_t count, int timeoutMs) {
    if (hNotify == nullptr || out == nullptr) return 0;
    // One byte more than a reply, so that a longer report does not pass for one.
    std::array<std::uint8_t, kReportLength + 1> buffer{};
    std::uint32_t err = kHidOk;
    // Reports of the node's other collections (keyboard, consumer control) are skipped
    // within the same time-out.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    HidReadResult result = HidReadResult::kTimeout;
    for (;;) {
        buffer.fill(0);
        buffer[0] = kReplyReportId;
        std::size_t received = 0;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int wait =
            timeoutMs < 0 ? timeoutMs : static_cast<int>(std::max<long long>(left.count(), 0));
        result = hNotify->Read(buffer.data(), buffer.size(), wait, &err, &received);
        if (result != HidReadResult::kOk) break;
        if (IsReplyReport(buffer.data(), received)) break;
        if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline) {
            result = HidReadResult::kTimeout;
            break;
        }
    }
    switch (result) {
        case HidReadResult::kOk:
            break;
        case HidReadResult::kTimeout:
            DbgLog("GetData TimeOut, hNotify=%x", LogHandleId(hNotify));
            return 0;
        case HidReadResult::kStopped:
            return 0;
        case HidReadResult::kError:
            // The poll and the read fail alike here: every error but an unplug is logged
            // with its code, so that a failing read never goes unexplained in the log.
            if (err == kHidDeviceNotConnected) {
                DbgLog("GetData Err, dev is plugout");
            } else {
                DbgLog("GetData Err=0x%x", err);
            }
            return 0;
    }
    count = std::min(count, kReplyPayloadLength);
    std::copy(buffer.begin() + 1, buffer.begin() + 1 + static_cast<std::ptrdiff_t>(count), out);
    return 1;
}

int SendCommand(HidHandle* hCmd, const CommandPayload& payload, Sleeper& sleeper,
                std::uint32_t* error) {
    const CommandReport report = BuildCommandReport(payload);
    std::uint32_t err = kHidInvalidHandle;
    for (int attempt = 0; attempt < kSendCommandAttempts; ++attempt) {
        if (hCmd != nullptr && hCmd->SetFeature(report.data(), report.size(), &err)) return 1;
        sleeper.SleepMs(kSendCommandRetrySleepMs);
    }
    DbgLog("SendCommand err=0x%x", err);
    if (error != nullptr) *error = err;
    return 0;
}

CUSBDriver::CUSBDriver(int retry, ReplyQueue& queue, Sleeper& sleeper)
    : retry_(std::max(retry, 1)), queue_(queue), sleeper_(sleeper) {}

CUSBDriver::~CUSBDriver() {
    ClearHandle();
}

void CUSBDriver::SetRetry(int retry) {
    retry_.store(std::max(retry, 1), std::memory_order_relaxed);
}

void CUSBDriver::SetHandles(std::shared_ptr<HidHandle> cmd, std::shared_ptr<HidHandle> notify) {
    std::lock_guard<std::mutex> lock(handleLock_);
    szCmdPath = cmd ? cmd->Path() : std::string();
    szNotifyPath = notify ? notify->Path() : std::string();
    hCmd = std::move(cmd);
    hNotify = std::move(notify);
}

std::shared_ptr<HidHandle> CUSBDriver::CmdHandle() const {
    std::lock_guard<std::mutex> lock(handleLock_);
    return hCmd;
}

std::shared_ptr<HidHandle> CUSBDriver::NotifyHandle() const {
    std::lock_guard<std::mutex> lock(handleLock_);
    return hNotify;
}

std::string CUSBDriver::CmdPath() const {
    std::lock_guard<std::mutex> lock(handleLock_);
    return szCmdPath;
}

std::string CUSBDriver::NotifyPath() const {
    std::lock_guard<std::mutex> lock(handleLock_);
    return szNotifyPath;
}

void CUSBDriver::ClearHandle() {
    DbgLog("ClearHandle");
    std::function<void()> clearCandidates;
    {
        std::lock_guard<std::mutex> lock(handleLock_);
        hCmd.reset();
        hNotify.reset();
        szCmdPath.clear();
        szNotifyPath.clear();
        clearCandidates = clearCandidates_;
    }
    for (auto& flag : bFlags) flag.store(0);
    // Outside the handle lock: the hook closes discovery's handles and may call back.
    if (clearCandidates) clearCandidates();
}

void CUSBDriver::SetClearCandidatesHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> lock(handleLock_);
    clearCandidates_ = std::move(hook);
}

std::unique_lock<std::mutex> CUSBDriver::BeginExchange() {
    std::unique_lock<std::mutex> lock(commandLock_);
    // A reply still queued from an earlier command must not be taken for this one.
    queue_.Clear();
    return lock;
}

CUSBDriver::Exchange CUSBDriver::ExchangeLocked(HidHandle* cmd, const CommandPayload& payload,
                                                int attempts, CRetParam* reply,
                                                const std::function<void(int)>& onFailedAttempt,
                                                std::uint32_t* writeError) {
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (!SendCommand(cmd, payload, sleeper_, writeError)) return Exchange::kWriteFailed;
        // Memory replies echo their address and length; checking the echo keeps a late
        // reply to an earlier chunk from being taken for this one.
        const std::uint8_t command = payload[kPayloadCommand];
        const bool memory = command == kCmdReadEEPROM || command == kCmdWriteEEPROM;
        const std::uint8_t* echo = memory ? payload.data() + kPayloadAddressHigh : nullptr;
        if (queue_.WaitNotify(command, reply, echo) == 1 && reply->reply.Status() == 0) {
            return Exchange::kOk;
        }
        if (onFailedAttempt) onFailedAttempt(attempt);
    }
    return Exchange::kNoReply;
}

bool CUSBDriver::RunQueued(const CommandPayload& payload, int attempts, std::uint8_t* out) {
    auto lock = BeginExchange();
    const auto cmd = CmdHandle();
    CRetParam reply;
    if (ExchangeLocked(cmd.get(), payload, attempts, &reply, {}) != Exchange::kOk) return false;
    if (out != nullptr) std::copy(reply.reply.Data(), reply.reply.Data() + kMaxDataBytes, out);
    return true;
}

int CUSBDriver::SendCMD(std::uint8_t nCmdID, std::uint8_t bData) {
    const auto cmd = CmdHandle();
    DbgLog("SendCMD: nCmdID=0x%x, bData=0x%x", nCmdID, bData);
    DbgLog("SendCMD: hDev=0x%x", LogHandleId(cmd.get()));
    CommandPayload payload = MakePayload(nCmdID);
    if (nCmdID == kCmdTellDrvStatus) payload = MakeMemoryPayload(nCmdID, 0, &bData, 1);
    auto lock = BeginExchange();
    CRetParam reply;
    std::uint32_t err = kHidOk;
    switch (ExchangeLocked(cmd.get(), payload, Retry(), &reply, {}, &err)) {
        case Exchange::kOk:
            return 1;
        case Exchange::kWriteFailed:
            DbgLog("SendCMD: err=0x%x", err);
            return 0;
        case Exchange::kNoReply:
            break;
    }
    return 0;
}

}  // namespace vantor
