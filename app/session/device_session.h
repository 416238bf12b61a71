// The device side of the main window, without the toolkit: the profile read, the mouse's
// event notifications, the battery update and its poll (on the device thread), device
// arrival and removal, the timer logic of the device search, the found delay and the
// device-count check, the device-ready check and the device part of restoring the defaults.
//
// Everything the window shows or does goes through SessionWindow; timers go through
// SessionTimers (the window maps them to its own timers and calls OnTimer); discovery goes
// through DeviceFinder.
//
// Threads. Every public method runs on the window thread, which owns the profile list, the
// current record, the macro library and the session's state. Device work that can wait (the
// profile read, the reads after lighting notifications and at layout, the removal check,
// the battery query, the connection test of the device-ready check, the driver status of a
// found device) runs on the session's device thread, one task at a time in the order it was
// asked for, under the device mutex that the apply worker takes too. Each task posts its
// result to the window as WM_SESSION_RESULT (wParam: the result's number); the window passes
// the number to OnSessionResult, which applies the result there. The profile read works on
// copies taken when it was asked for and its record replaces the list entry only when its
// result lands; notifications that changed the record while it ran are applied again after.
// A reset event of the mouse while a read runs (its profile button) starts no read of its
// own: the running read is dropped, never saved, and one read follows it.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/session/mouse_connection.h"
#include "app/store/profile_store.h"
#include "base/poster.h"
#include "base/serial_task_thread.h"
#include "device/apply_worker.h"
#include "device/discovery.h"
#include "device/profile_transfer.h"
#include "device/sleeper.h"
#include "device/usb_driver.h"
#include "keys/macro_library_access.h"
#include "platform/hid.h"
#include "profile/macro_slot.h"

namespace vantor {

// The read-done message of the window's message table. The session runs OnSyncOk itself
// when a successful read lands (through WM_SESSION_RESULT), so nothing posts it.
constexpr std::uint32_t WM_SYNC_OK = 1079;
// Posted by the session's device thread with a result number in wParam (lParam 0); the
// window calls OnSessionResult(wParam).
constexpr std::uint32_t WM_SESSION_RESULT = 2040;

// The battery poll of the device thread, started by the first successful read.
constexpr int kBatteryPollMs = 30000;
// Timers of the main window.
constexpr int FINDDEV_TIMER_ID = 246;
constexpr int kFindDevTimerMs = 1500;
constexpr int CHECK_DEV_NUM_TIMER_ID = 249;
constexpr int kCheckDevNumTimerMs = 3000;
constexpr int kFoundDelayTimerId = 250;
constexpr int kFoundDelayTimerMs = 300;
// While a search found the receiver but no mouse was matched, the search is tried again,
// first after this long and then after twice as long each time, up to the longest wait.
constexpr int kSearchRetryTimerId = 251;
constexpr int kSearchRetryFirstMs = 2000;
constexpr int kSearchRetryLongestMs = 60000;

constexpr int kArrivalRetries = 5;
constexpr std::uint32_t kRemovalCheckSleepMs = 600;
constexpr std::uint32_t kLightingEventSleepMs = 10;
// A reset notification this soon after the window's own restore is the restore's echo.
constexpr std::uint64_t kOwnResetWindowMs = 4999;
// The mouse restarts after the reset of restore; the read that follows waits this long.
constexpr std::uint32_t kReadAfterResetPauseMs = 500;
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
    // Devices matched since the last search began (matchedCount).
    virtual int FindOkNum() = 0;
    // The last search met an interface this user may not open.
    virtual bool AccessDenied() { return false; }
};

// What the window shows and the pages do. Called on the window thread only, often from the
// handler of a result, so none of these waits for the user: windows they open are not modal
// loops, and an answer comes back through a callback.
class SessionWindow {
  public:
    virtual ~SessionWindow() = default;
    // The skinned message window with one text.
    virtual void ShowNotice(const std::string& text) = 0;
    // The skinned question with OK and Cancel; `onOk` runs when the user answers OK.
    virtual void Ask(const std::string& text, std::function<void()> onOk) = 0;
    // The skinned message window without buttons that stays until CloseReadWait (the last
    // read asked for has landed). A second call while it shows keeps the one window.
    virtual void ShowReadWait(const std::string& text) = 0;
    virtual void CloseReadWait() = 0;
    // Opens the progress window of restore and returns the sink its apply request reports
    // to (the worker closes the window through it); null when no window could be opened.
    virtual std::shared_ptr<ProgressSink> OpenRestoreProgress(const std::string& text) = 0;
    // Closes the program's window for good (after any notice still open was closed).
    virtual void CloseWindow() = 0;
    virtual bool IsWindowVisible() const = 0;
    // False after a profile read that failed or could not be decoded: the pages show the
    // profile file, which may differ from what the mouse holds. True again after a read
    // that succeeded.
    virtual void ShowsMouseSettings(bool /*shown*/) {}

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

    // Whether the mouse can be reached; called when that changes.
    virtual void ShowConnection(MouseConnection connection) { (void)connection; }
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
    int defaultDpiLevel = 0;   // DEFLEVEL
    bool initOnReset = false;  // restore reads the profile back from the mouse
};

// The values of the process configuration (Options() and CurrentDevice()).
SessionConfig SessionConfigFromOptions();

struct DeviceSessionSetup {
    CUSBDriver* driver = nullptr;
    ProfileStore* store = nullptr;
    DeviceFinder* finder = nullptr;
    SessionWindow* window = nullptr;
    SessionTimers* timers = nullptr;
    MessagePoster* poster = nullptr;        // the main window, for WM_SESSION_RESULT
    MacroLibraryAccess* macros = nullptr;   // the window's macro library; may be null
    std::function<SessionConfig()> config;  // SessionConfigFromOptions
    // Rebuilds the first profile for restore: a new record with `name` that keeps the old
    // record's magic and id.
    std::function<ProfileFile(const ProfileFile& old, const std::string& name)> newProfile;
    std::function<std::uint64_t()> tickMs;  // milliseconds since start; steady clock
    // Pauses of the session's device work and of reading and applying; RealSleeper.
    Sleeper* sleeper = nullptr;
    int batteryPollMs = kBatteryPollMs;
    // Saves the profile file after a read has landed; when empty the store writes it at
    // once (the window program hands it to its writer thread instead).
    std::function<void()> saveProfile;
};

class DeviceSession {
  public:
    explicit DeviceSession(DeviceSessionSetup setup);
    // Stops the device thread (a read still running ends at its next device read) and the
    // apply worker.
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Starts the apply worker over the session's driver and device mutex. `messages` is
    // called on the worker thread (a PostingMessageSink in the window program).
    void StartApplyWorker(MessageSink* messages);
    ApplyWorker& Worker() { return worker_; }

    // Messages and broadcasts.
    void OnDeviceBehavior(std::uintptr_t value, std::intptr_t kind);
    void OnDeviceChange(const HidDeviceChange& change);
    void OnFindDeviceMessage();  // WM_FIND_DEVICE_OK: the found delay
    void OnSyncOk();             // a successful read has landed
    void OnTimer(int id);
    // WM_SESSION_RESULT: applies every result of the device thread up to number `number`,
    // in the order the work was asked for. A number already applied does nothing.
    void OnSessionResult(std::uintptr_t number);

    void OnFindDeviceOK();
    // One device search on the device thread; `landed` runs on the window thread with the
    // number of candidate devices the search started.
    void SearchDevices(std::function<void(int found)> landed);
    // After the start's search has landed: tries the search again with a back-off while
    // the receiver is there but no mouse was found (a search can fail, e.g. when the mouse
    // sends events while it is probed).
    void LandStartSearch(int found) { RetrySearchIfNoMouse(found); }
    // Loads the profile file and lays the pages out now; the active DPI level is read on
    // the device thread and the pages are refreshed when it lands.
    void RefreshLayout();
    // Asks the mouse for its battery on the device thread; the battery window is updated
    // when the answer lands. With `always` false (as the poll asks) an answer equal to the
    // last one the window was given is only logged, so a quiet mouse does not wake the
    // window thread.
    void BatteryUpdate(bool always = true);
    // Tells an open mouse whether the window is shown (1) or not (0), on the device thread
    // after the device work asked for before.
    void TellDrvStatus(std::uint8_t status);

    // Reads the active profile on the device thread: after a read that is still running
    // and after the apply requests made before this call have been written, then after a
    // pause of `pauseMs` (which the device thread waits, not the window).
    void StartReadCurCfgThread(std::uint32_t pauseMs = 0);
    // Waits for the read-done event (auto-reset), signalled on the device thread when a
    // read ends, after its result was posted, and cleared when a read is asked for; false
    // after `timeoutMs`. For callers without an event loop (tests, tools); the window learns
    // the end of the reads from their results.
    bool WaitReadDone(int timeoutMs);
    // False from the start of a read until the last read asked for has landed.
    bool FirstReadDone() const { return firstReadDone_.load(); }

    // The device-ready check. Runs `onReady` on the window thread when the page may go on;
    // otherwise shows the reason. When the mouse's connection must be tested (ApplyNow) the
    // test runs on the device thread and `onReady` runs when its answer lands.
    void CheckDeviceReady(std::function<void()> onReady);
    // The check without the connection test, for page paths that write nothing to the
    // mouse at once: true when the page may go on or only the connection test is left
    // (then the device write itself finds out); otherwise shows the reason.
    bool IsDeviceReady();
    // Makes on-board profile `index` (0-3) the mouse's active profile on the device thread
    // ("SetCurProfile Err" is logged when the mouse refuses) and then reads it. A read that
    // is running or waiting then is dropped (it would read the profile being left).
    void SwitchOnBoardProfile(int index);
    // The device part of restoring the defaults; the question and the reset follow the
    // device-ready check. With InitOnReset the profile is then read back from the mouse.
    void Restore();
    // A lighting change: asks the mouse on the device thread whether it can take one now.
    // When it answers that it cannot, `onBusy` runs on the window thread and nothing is
    // queued; otherwise (also when the question fails) the apply request for `flags` and
    // `index` is made when the answer lands, with the record as it is then.
    void ApplyUnlessBusy(std::uint32_t flags, int index, std::function<void()> onBusy);

    // Waits until the device thread has nothing to do (its results may still be on their
    // way to the window); false when `timeoutMs` passed first.
    bool WaitDeviceWork(int timeoutMs) { return deviceThread_.WaitIdle(timeoutMs); }

    MouseConnection Connection() const { return connection_; }
    int CurDpiLevel() const { return curDpiLevel_.load(); }  // g_nCurDpiLevel
    void SetCurDpiLevel(int level) { curDpiLevel_.store(level); }
    int RetryCount() const { return retryFind_; }
    std::mutex& DeviceMutex() { return deviceMutex_; }

  private:
    enum class Readiness { kReady, kNotReady, kConnectionTest };
    struct Behavior {
        std::uintptr_t value;
        std::intptr_t kind;
    };
    // What a read takes with it when it is asked for.
    struct ReadJob {
        std::array<ProfileFile, kProfileCount> entries{};
        int entryCount = 0;
        int section = 0;  // the device section whose profile file the entries belong to
        ProfileTransferSettings settings;
        std::uint64_t applyRequest = 0;  // apply requests up to this one are written first
        std::uint64_t mouseChange = 0;   // mouseChanges_ when the read was asked for
    };

    // Runs `work` on the device thread under the device mutex; what it returns runs on the
    // window thread when its result lands (nothing when it returns an empty function).
    void RunOnDeviceThread(std::function<std::function<void()>()> work);
    // Runs `work` on the calling (device) thread under the device mutex and posts what it
    // returns.
    void RunLocked(const std::function<std::function<void()>()>& work);
    // Every batteryPollMs from the first successful read on, on the device thread: a
    // battery update that reaches the window only when the answer changed.
    void StartBatteryPoll();
    // The battery query of BatteryUpdate, on the device thread; what to do on the window.
    std::function<void()> QueryBattery(bool always);
    void PostResult(std::function<void()> apply);
    std::function<void()> ReadActiveProfile(const std::shared_ptr<ReadJob>& job);
    void LandRead(const ReadJob& job, int index,
                  const std::optional<std::vector<std::uint8_t>>& image);
    // The record and page part of notifications of kinds 1 and 2.
    void ApplyBehavior(ProfileFile& record, const Behavior& behavior);
    void ReadLightingGroup(std::intptr_t kind, std::uint16_t address, std::size_t length);
    void LandRemovalCheck(bool present, std::uint32_t version, std::uint32_t error);
    // The result of a device search of the search timer.
    void LandSearch(int found);
    // Arms the retry of a search that found candidates while no mouse is attached.
    void RetrySearchIfNoMouse(int found);
    void StartSearchTimerIfNeeded();
    // What a landed search says about the connection while no mouse is open.
    void NoteSearch(int found, bool accessDenied);
    void SetConnection(MouseConnection connection);
    Readiness CheckWithoutIo();
    void RestoreConfirmed();
    void RestoreAnswered();
    SessionConfig Config() const;
    ProfileTransferSettings TransferSettings() const;
    std::uint64_t Now() const;
    Sleeper& Pauses() const;

    DeviceSessionSetup setup_;
    std::mutex deviceMutex_;  // device work of the session and the apply worker take turns
    std::atomic<int> curDpiLevel_{-1};
    std::atomic<bool> firstReadDone_{true};
    std::atomic<bool> stopRead_{false};
    // Counts the reset events of the mouse (its profile button, its reset keys): a read asked
    // for before the last of them may hold a mix of two profiles; it ends early and its result
    // is dropped, and one read follows when the reads asked for have landed.
    std::atomic<std::uint64_t> mouseChanges_{0};
    MacroNameTable macroNames_{};
    // The battery level and charging flag the window was last given (device thread only).
    std::optional<std::pair<std::uint8_t, std::uint8_t>> lastPower_;

    std::mutex readDoneLock_;
    std::condition_variable readDoneChanged_;
    bool readDone_ = false;

    std::mutex resultsLock_;
    std::map<std::uint64_t, std::function<void()>> results_;  // posted, not yet applied
    std::uint64_t lastResult_ = 0;

    // Window thread only.
    bool batteryPollStarted_ = false;
    MouseConnection connection_ = MouseConnection::kUnknown;
    int retryFind_ = 0;
    int searchRetryMs_ = kSearchRetryFirstMs;  // the next wait of the search retry
    std::uint64_t resetTick_ = 0;
    int readsAsked_ = 0;      // reads asked for that have not landed
    bool readAgain_ = false;  // a reset event overtook a read: read once more after it
    std::vector<Behavior> behaviorsDuringRead_;

    ApplyWorker worker_;
    SerialTaskThread deviceThread_;  // the destructor stops the worker first, then this
};

}  // namespace vantor
