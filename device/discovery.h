// Device discovery: finds, among the HID interfaces of the configured vendor id, the
// command and notification interfaces that belong to one physical mouse, waits until the
// mouse is connected, identifies it, finds its device section, starts its notification
// reader and tells the main window (the "mouse found" message carries the section).
//
// The two interfaces of one device are paired by experiment: every candidate notification
// interface is watched by a short-lived Match_Thread while a probe command goes out on one
// command interface at a time; the interface that receives a report belongs to it. Each
// pair then gets a Psd_Thread. Candidates live in a table of five records; at most one is
// matched (the connected device), and a newly matched device replaces the previous one.
//
// Threads: FindDev, ClearMatched, ClearThread and the destructor are called from one thread
// (the main window's). Psd_Threads take over, and shut down other records, under the one
// table lock that FindDev also takes, so two devices identified at once cannot both end up
// matched. Every thread a Discovery starts is joined by the time it is destroyed.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/poster.h"
#include "device/discovery_rules.h"
#include "device/reply_queue.h"
#include "device/service_thread.h"
#include "device/sleeper.h"
#include "platform/hid.h"

namespace vantor {

constexpr std::uint32_t WM_FIND_DEVICE_OK = 0x7F5;
constexpr std::size_t kCandidateCount = 5;

// Pauses of the search and of the candidate threads.
constexpr std::uint32_t kMatchThreadSpacingMs = 50;
constexpr std::uint32_t kProbeWaitMs = 100;
constexpr int kMatchReadTimeoutMs = 1000;
constexpr int kFastPollPasses = 4;
constexpr std::uint32_t kFastPollMs = 200;
constexpr std::uint32_t kSlowPollMs = 1100;

// One candidate record as the rest of the program sees it.
struct DevParam {
    std::shared_ptr<HidHandle> hCmd;  // null: the record is free
    std::shared_ptr<HidHandle> hNotify;
    std::uint8_t CID = 0;
    std::uint8_t MID = 0;
    std::uint16_t VID = 0;
    std::uint16_t PID = 0;
    std::uint16_t version = 0;
    bool matched = false;
    // The device section (index into DiscoveryConfig::models) of the identified mouse; -1
    // until it was identified. Discovery never makes it current itself: the window thread
    // does when it takes the found mouse.
    int section = -1;
    std::string cmdPath;
    std::string notifyPath;
};

class CUSBDriver;

// Gives the driver the matched device's two handles and its identification, as the main
// window does when a device was found.
void AttachDevice(CUSBDriver& driver, const DevParam& device);

// What the search needs of the configuration, taken when the search object is made.
struct DiscoveryConfig {
    std::uint16_t vid = 0;
    std::vector<std::uint32_t> pid;      // cable and main receiver
    std::vector<std::uint32_t> pid2;     // further receivers
    std::vector<DeviceModelIds> models;  // one per device section, DEV_1 first
};

class Discovery {
  public:
    // `poster` stands for the main window (may be null); `queue` is the reply queue the
    // matched device's reader fills. All must outlive the object. The sleeper takes every
    // pause of the search and of the candidate threads.
    Discovery(HidBackend& backend, MessagePoster* poster, DiscoveryConfig config,
              ReplyQueue& queue = ProcessReplyQueue(), Sleeper& sleeper = RealSleeper());
    // Shuts down every record and joins every thread.
    ~Discovery();
    Discovery(const Discovery&) = delete;
    Discovery& operator=(const Discovery&) = delete;

    // One search; returns the number of candidate threads started. The connected device
    // keeps running; every other record is shut down first.
    int FindDev();

    // A copy of the matched record (pCurParam), or nothing.
    std::optional<DevParam> GetCurParam() const;
    // A copy of record `index` (0-4); WM_FIND_DEVICE_OK carries the index as wParam and the
    // device section of the found mouse as lParam.
    DevParam Candidate(std::size_t index) const;

    // The candidate part of closing the device (CUSBDriver::ClearHandle's hook): shuts
    // down the matched record.
    void ClearMatched();
    // Logs "ClearThread", shuts down every record and joins its threads, which end at once.
    void ClearThread();

    // Waits until no Psd_Thread is running (a connected device's reader may go on).
    bool WaitForCandidates(std::chrono::milliseconds limit);

    // Matches since the last search began; above 1 means several devices became matched.
    std::atomic<int> matchedCount{0};

    // The last search met an interface of the vendor that this user may not open (the
    // device's permissions lack the udev rule).
    bool AccessDenied() const { return accessDenied_.load(); }

  private:
    struct ConnectionRun;
    struct Slot;
    struct Retired;

    // Candidate table; each helper named *Locked runs with tableLock_ held.
    void ShutDownLocked(Slot& slot);
    int FindMatchedLocked() const;
    int FreeSlotLocked() const;
    // Joins retired threads: all of them, or only Psd_Threads that have ended.
    void Reap(bool all);

    // Starts the Psd_Thread of a pair; false when the table is full.
    bool StartCandidate(std::shared_ptr<HidHandle> cmd, std::shared_ptr<HidHandle> notify,
                        const HidInterfaceInfo& cmdInfo, const std::string& notifyPath);
    void MatchThread(HidHandle* handle);
    void ConnectionThread(std::size_t index, std::shared_ptr<ConnectionRun> run);
    // The identified device's steps from the conflict check to the posted message.
    void TakeOver(std::size_t index, const ConnectionRun& run, std::uint8_t cid, std::uint8_t mid,
                  int section);
    void ConnectionThreadEnded(ConnectionRun& run);

    HidBackend& backend_;
    MessagePoster* poster_;
    const DiscoveryConfig config_;
    ReplyQueue& queue_;
    Sleeper& sleeper_;

    std::mutex searchLock_;         // one search or clean-up at a time
    mutable std::mutex tableLock_;  // the candidate table and the retired threads
    std::vector<Slot> slots_;
    std::vector<Retired> retired_;

    std::atomic<bool> accessDenied_{false};

    std::mutex matchLock_;  // the matched notification handle of the current probe
    HidHandle* matchedNotify_ = nullptr;

    std::mutex idleLock_;
    std::condition_variable idle_;
    int runningConnectionThreads_ = 0;
};

}  // namespace vantor
