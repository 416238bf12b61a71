// The device side of the main window, without the toolkit: the profile read thread, the
// mouse's event notifications, the battery update, device arrival and removal, the timer
// logic of the device search, the found delay, the device-count check and the battery poll,
// the device-ready check and the device part of restoring the defaults.
//
// Everything the window shows or does goes through SessionWindow; timers go through
// SessionTimers (the window maps them to its own timers and calls OnTimer); discovery goes
// through DeviceFinder. All methods but the read thread run on the window thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/profile_store.h"
#include "base/poster.h"
#include "device/apply_worker.h"
#include "device/discovery.h"
#include "device/profile_transfer.h"
#include "device/sleeper.h"
#include "device/usb_driver.h"
#include "platform/hid.h"
#include "profile/macro_slot.h"

namespace vantor {

constexpr std::uint32_t WM_SYNC_OK = 1079;  // posted when the profile read succeeded

// Timers of the main window.
constexpr int kBatteryTimerId = 242;
constexpr int kBatteryTimerMs = 30000;
constexpr int FINDDEV_TIMER_ID = 246;
constexpr int kFindDevTimerMs = 1500;
constexpr int CHECK_DEV_NUM_TIMER_ID = 249;
constexpr int kCheckDevNumTimerMs = 3000;
constexpr int kFoundDelayTimerId = 250;
constexpr int kFoundDelayTimerMs = 300;

constexpr int kArrivalRetries = 5;
constexpr std::uint32_t kRemovalCheckSleepMs = 600;
constexpr std::uint32_t kLightingEventSleepMs = 10;
// A reset notification this soon after the window's own restore is the restore's echo.
constexpr std::uint64_t kOwnResetWindowMs = 4999;
constexpr int kShowPowerHideBattery = 2;  // ShowPower bit: never show the battery window

class SessionTimers {
  public:
    virtual ~SessionTimers() = default;
    virtual void Start(int id, int periodMs) = 0;  // 249 and 250 are stopped by their tick
    virtual void Stop(int id) = 0;
    virtual bool IsRunning(int id) const = 0;
};

class DeviceFinder {
  public:
    virtual ~DeviceFinder() = default;
    // One search; the number of candidate devices it started.
    virtual int FindDev() = 0;
    virtual std::optional<DevParam> GetCurParam() = 0;
    // Devices matched since the last search began (g_nFindOkNum).
    virtual int FindOkNum() = 0;
};

// What the window shows and the pages do. Called on the window thread only.
class SessionWindow {
  public:
    virtual ~SessionWindow() = default;
    // The skinned message window with one text.
    virtual void ShowText(const std::string& text) = 0;
    // The skinned question with OK and Cancel; true for OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
    // The skinned message window that closes itself when the read ends (WaitReadDone).
    virtual void ShowUntilReadDone(const std::string& text) = 0;
    // Runs the progress window of restore (title kProgressWindowTitle) until the apply
    // worker closes it.
    virtual void RunRestoreProgress(const std::string& text) = 0;
    virtual void CloseWindow() = 0;
    virtual bool IsWindowVisible() const = 0;

    // Pages.
    virtual void LayoutForDevice() = 0;  // button page layout, PrepareForDevice of the others
    virtual void RefreshPages() = 0;     // RefreshKeyPage and LoadFromRecord of the pages
    virtual void RefreshPerformancePage() = 0;
    virtual void RefreshLightingPage() = 0;
    virtual void MarkCurrentLevel(int level) = 0;
    virtual void SelectReportRateFromDevice(int rateCode) = 0;

    // Battery window.
    virtual bool IsBatteryShown() const = 0;
    virtual void ShowBattery() = 0;
    virtual void HideBattery() = 0;
    virtual void SetPower(int level, bool charging) = 0;
};

// Configuration the session reads (section OPT and the current device section).
struct SessionConfig {
    bool goWithNoDev = false;
    bool applyNow = false;
    int showPower = 0;
    std::uint16_t vid = 0;
    std::vector<std::uint32_t> pids;  // PID and PID2
    bool hasDeviceSection = true;     // a device section is current
    int sensor = 0;
    int cid = 0;
    int mid = 0;
    int defaultDpiLevel = 0;  // DEFLEVEL
};

// The values of the process configuration (Options() and CurrentDevice()).
SessionConfig SessionConfigFromOptions();

struct DeviceSessionSetup {
    CUSBDriver* driver = nullptr;
    ProfileStore* store = nullptr;
    DeviceFinder* finder = nullptr;
    SessionWindow* window = nullptr;
    SessionTimers* timers = nullptr;
    MessagePoster* poster = nullptr;                            // the main window, for WM_SYNC_OK
    std::function<SessionConfig()> config;                      // SessionConfigFromOptions
    std::function<ProfileTransferSettings()> transferSettings;  // reading and applying
    // Rebuilds the first profile for restore: a new record with `name` that keeps the old
    // record's magic and id.
    std::function<ProfileFile(const ProfileFile& old, const std::string& name)> newProfile;
    std::function<std::uint64_t()> tickMs;  // milliseconds since start; steady clock
    Sleeper* sleeper = nullptr;             // the window's own pauses; RealSleeper
};

class DeviceSession {
  public:
    explicit DeviceSession(DeviceSessionSetup setup);
    // Stops the read thread and the apply worker.
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Starts the apply worker over the session's driver, store and device mutex.
    void StartApplyWorker(MessageSink* messages, ProgressWindowFinder* progressFinder);
    ApplyWorker& Worker() { return worker_; }

    // Messages and broadcasts.
    void OnDeviceBehavior(std::uintptr_t value, std::intptr_t kind);
    void OnDeviceChange(const HidDeviceChange& change);
    void OnFindDeviceMessage();  // WM_FIND_DEVICE_OK: the found delay
    void OnSyncOk();             // WM_SYNC_OK
    void OnTimer(int id);

    void OnFindDeviceOK();
    void RefreshLayout();
    void BatteryUpdate();

    // Starts ReadCurCfgThread; a read still running is asked to stop and is waited for.
    void StartReadCurCfgThread();
    // Waits for the read-done event (auto-reset); false after `timeoutMs`.
    bool WaitReadDone(int timeoutMs);
    bool FirstReadDone() const { return firstReadDone_.load(); }

    // True when the page may go on; otherwise the reason was shown.
    bool IsDeviceReady();
    // The device part of restoring the defaults.
    void Restore();

    int CurDpiLevel() const { return curDpiLevel_.load(); }  // g_nCurDpiLevel
    void SetCurDpiLevel(int level) { curDpiLevel_.store(level); }
    int RetryCount() const { return retryFind_; }
    std::mutex& DeviceMutex() { return deviceMutex_; }

  private:
    void ReadCurCfgThread();
    bool ReadLightingGroup(std::uint16_t address, std::uint8_t* bytes, std::size_t length);
    SessionConfig Config() const;
    ProfileTransferSettings TransferSettings() const;
    std::uint64_t Now() const;
    Sleeper& Pauses() const;

    DeviceSessionSetup setup_;
    std::mutex deviceMutex_;  // the profile reader and the apply worker take turns
    std::atomic<int> curDpiLevel_{-1};
    std::atomic<bool> firstReadDone_{true};
    std::atomic<bool> stopRead_{false};
    std::thread readThread_;
    MacroNameTable macroNames_{};

    std::mutex readDoneLock_;
    std::condition_variable readDoneChanged_;
    bool readDone_ = false;

    int retryFind_ = 0;
    std::uint64_t resetTick_ = 0;
    ApplyWorker worker_;
};

}  // namespace vantor
