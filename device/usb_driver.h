// The transport to the connected mouse: the command and notification interfaces, the
// command lock that makes every queued exchange atomic, and the device commands built on
// the queued exchange (send the report, then wait for the reader thread to queue the
// reply with the same command id).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "device/device_commands.h"
#include "device/reply_queue.h"
#include "device/report.h"
#include "device/sleeper.h"
#include "platform/hid.h"

namespace vantor {

constexpr int kGetDataTimeoutMs = 200;
constexpr int kSendCommandAttempts = 3;
constexpr std::uint32_t kSendCommandRetrySleepMs = 50;

// Writes one command report built from `payload` (at most 15 bytes, the rest 0). 1/0; on
// failure the HID error goes to `error` when given.
int SendData(HidHandle* hCmd, const std::uint8_t* payload, std::size_t size,
             std::uint32_t* error = nullptr);

// Reads one input report within `timeoutMs` and copies the first `count` bytes of its
// payload (at most 16) to `out`. 1/0.
int GetData(HidHandle* hNotify, std::uint8_t* out, std::size_t count, int timeoutMs);

// Writes one command report, up to 3 attempts 50 ms apart. 1/0; on failure the HID error
// goes to `error` when given.
int SendCommand(HidHandle* hCmd, const CommandPayload& payload, Sleeper& sleeper = RealSleeper(),
                std::uint32_t* error = nullptr);

class CUSBDriver {
  public:
    static constexpr int kDefaultRetry = 3;
    static constexpr std::uint32_t kReadChunkSleepMs = 5;

    explicit CUSBDriver(int retry = kDefaultRetry, ReplyQueue& queue = ProcessReplyQueue(),
                        Sleeper& sleeper = RealSleeper());
    virtual ~CUSBDriver();
    CUSBDriver(const CUSBDriver&) = delete;
    CUSBDriver& operator=(const CUSBDriver&) = delete;

    // Attempts of a queued exchange (configuration key `Retry`); at least 1.
    void SetRetry(int retry);
    int Retry() const { return retry_.load(std::memory_order_relaxed); }

    // The interfaces of the matched device; the paths are taken from the handles.
    void SetHandles(std::shared_ptr<HidHandle> cmd, std::shared_ptr<HidHandle> notify);
    std::shared_ptr<HidHandle> CmdHandle() const;
    std::shared_ptr<HidHandle> NotifyHandle() const;
    std::string CmdPath() const;
    std::string NotifyPath() const;

    // Logs "ClearHandle", forgets the handles, paths and flags, then runs the hook that
    // discovery installs to close its matched candidate.
    void ClearHandle();
    void SetClearCandidatesHook(std::function<void()> hook);

    ReplyQueue& Queue() { return queue_; }

    // Queued exchange of a command without address: for id 2 the payload carries the
    // one data byte `bData`. Up to Retry() attempts. 1/0.
    int SendCMD(std::uint8_t nCmdID, std::uint8_t bData);

    // Memory and status commands (1 for success, 0 for failure unless stated).
    int ReadEEPROM(std::uint16_t address, std::uint8_t* buffer, std::size_t length);
    int ReadROM(std::uint16_t address, std::size_t length, std::uint8_t* buffer,
                StopPredicate stop = nullptr);
    // 1 when the device took every chunk. A chunk the device keeps refusing or leaves
    // unanswered is skipped and the rest still written, but the result is 0; a report that
    // cannot be written ends the write with 0. `chunk` 0 means 10; larger than 10 is cut
    // to 10.
    int WriteEEPROM(std::size_t chunk, std::size_t length, std::uint16_t address,
                    const std::uint8_t* data);
    // Any command without request data; reply data bytes 0-9 go to `out`.
    int QueryDevice(std::uint8_t nCmdID, std::uint8_t* out);
    // 0 without a command handle, -1 on failure, else the connection status byte.
    int GetConnectStatus();
    // -1 on failure, else the active on-board profile index.
    int GetCurProfile();
    int SetCurProfile(std::uint8_t index);
    int GetPower(std::uint8_t* nPower, std::uint8_t* bCharging);
    // 1 with `busy` = 1 when the device cannot take a lighting change now, else 0.
    int QueryApplyBusy(int* busy);
    // 0 without a command handle, else the SendCMD result.
    int TellDrvStatus(std::uint8_t value);
    // The mouse restores its default settings and then sends a reset event.
    int ResetDevice();

    // Per-device identification, zeroed at construction; written and read by the main
    // window thread.
    std::uint8_t nCID = 0;
    std::uint8_t nMID = 0;
    std::uint16_t nVID = 0;
    std::uint16_t nPID = 0;
    std::uint16_t nVersion = 0;
    // Two per-device flags of the main window, zeroed at construction and by ClearHandle.
    std::atomic<std::uint8_t> bFlags[2] = {0, 0};

  private:
    enum class Exchange { kOk, kNoReply, kWriteFailed };

    // Takes the command lock (without time limit) and empties the reply queue.
    std::unique_lock<std::mutex> BeginExchange();
    // Runs up to `attempts` attempts of one command; the caller holds the command lock.
    // `onFailedAttempt` (may be empty) runs after each time-out or error status with the
    // attempt number from 1.
    Exchange ExchangeLocked(HidHandle* cmd, const CommandPayload& payload, int attempts,
                            CRetParam* reply, const std::function<void(int)>& onFailedAttempt,
                            std::uint32_t* writeError = nullptr);
    // One whole queued exchange; reply data bytes 0-9 go to `out` (may be null).
    bool RunQueued(const CommandPayload& payload, int attempts, std::uint8_t* out);

    std::atomic<int> retry_;
    ReplyQueue& queue_;
    Sleeper& sleeper_;

    mutable std::mutex handleLock_;  // guards the handles, paths and hook below
    std::shared_ptr<HidHandle> hCmd;
    std::shared_ptr<HidHandle> hNotify;
    std::string szCmdPath;
    std::string szNotifyPath;
    std::function<void()> clearCandidates_;

    std::mutex commandLock_;  // one queued exchange at a time
};

}  // namespace vantor
