// The apply worker: one long-lived thread that writes settings into the mouse so that the
// window thread never waits for the device. Pages make requests (a SetProfile flag word
// and index); the worker runs SetProfile for the current profile record, optionally with a
// progress window that the requesting window shows while the worker posts progress to it.
//
// Requests are queued, never overwritten: a request made while others are pending is
// appended, so every change reaches the device in the order it was asked for. A request
// equal to one still pending (same flags and index, no progress window) is not queued a
// second time, because the pending one writes the record as it stands when it runs.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/message_sink.h"
#include "base/poster.h"
#include "device/profile_transfer.h"
#include "device/sleeper.h"
#include "device/usb_driver.h"
#include "profile/profile_record.h"

namespace vantor {

constexpr std::uint32_t kApplyProgressMessage = 0x42B;  // position in wParam
constexpr std::uint32_t kApplyShowProgress = 0x8000;    // request bit: show the progress window
constexpr const char* kProgressWindowTitle = "MyProgressDlg..";
constexpr const char* kApplyFailedText = "   Update settings failed!      ";

// Search for the progress window: this many tries, each after a pause.
constexpr int kProgressSearchTries = 20;
constexpr std::uint32_t kProgressSearchSleepMs = 100;
constexpr std::uint32_t kProgressCloseSleepMs = 20;

// Finds the progress window of the current request by its title; the window program
// implements it over its top-level windows.
class ProgressWindowFinder {
  public:
    virtual ~ProgressWindowFinder() = default;
    // The window titled kProgressWindowTitle, or null while there is none. The poster must
    // stay usable until the worker has posted WM_CLOSE to it.
    virtual MessagePoster* FindProgressWindow() = 0;
};

struct ApplyRequest {
    std::uint32_t nFlag = 0;  // SET_* bits, plus kApplyShowProgress
    int nData = 255;          // SetProfile index
    bool operator==(const ApplyRequest&) const = default;
};

// What the worker works with; everything but `driver` and `messages` may be left empty.
struct ApplyWorkerSetup {
    CUSBDriver* driver = nullptr;
    // The owner window's message boxes (no device, writer failure).
    MessageSink* messages = nullptr;
    ProgressWindowFinder* progressFinder = nullptr;
    // Copies the current profile record into the argument; false when there is none. Called
    // by Request on the requesting thread, which is the one that edits the record.
    std::function<bool(ProfileFile&)> currentRecord;
    // The active DPI level (g_nCurDpiLevel) that SET_CUR_DPI writes.
    std::function<int()> curDpiLevel;
    // Settings for each request, taken when it runs (the device section may have changed).
    std::function<ProfileTransferSettings()> transferSettings;
    // Held around each SetProfile so the worker never writes while the profile is read.
    std::mutex* deviceMutex = nullptr;
    Sleeper* sleeper = nullptr;  // the worker's own pauses; RealSleeper when null
};

class ApplyWorker {
  public:
    ApplyWorker() = default;
    // Stops the thread (see Stop).
    ~ApplyWorker();
    ApplyWorker(const ApplyWorker&) = delete;
    ApplyWorker& operator=(const ApplyWorker&) = delete;

    // Clears the requests and starts the thread; false when it already runs.
    bool StartApplyThread(ApplyWorkerSetup setup);

    // nFlag = flags | kApplyShowProgress, nData = 255.
    void RequestApplyWithProgress(std::uint32_t flags);
    // nFlag = flags without kApplyShowProgress, nData = index.
    void RequestApply(std::uint32_t flags, int index);
    // Queues a request as given.
    void Request(const ApplyRequest& request);

    // True while a request runs or waits.
    bool IsBusy() const;
    // Waits until no request runs or waits; false when `timeoutMs` passed first.
    bool WaitIdle(int timeoutMs) const;

    // Sets the exit event: the worker ends after the request it is running; requests
    // still waiting are dropped (and logged). Waits for the thread.
    void Stop();

  private:
    void Run();
    // A waiting request with the current record as it stood when the request was made.
    struct Pending {
        ApplyRequest request;
        std::shared_ptr<const ProfileFile> record;
    };

    void Apply(const Pending& pending);
    MessagePoster* FindProgressWindow();
    void ShowMessage(const std::string& text);

    ApplyWorkerSetup setup_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<Pending> pending_;
    bool running_ = false;  // a request is being applied
    bool exit_ = false;
    std::thread thread_;
};

}  // namespace vantor
