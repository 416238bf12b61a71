// The apply worker: one long-lived thread that writes settings into the mouse so that the
// window thread never waits for the device. Pages make requests (a SetProfile flag word
// and index); the worker runs SetProfile for the current profile record, optionally with a
// progress window that the requesting window opened and handed to the request as its
// progress sink.
//
// Requests are queued, never overwritten: a request made while others are pending is
// appended, so every change reaches the device in the order it was asked for. Each request
// carries what it writes, taken on the requesting thread when it is made: a copy of the
// current record, the active DPI level, the transfer settings (codec context) and a copy of
// the macros the record plays. The worker never reads the live record, the configuration
// or the macro library. A request equal to one still waiting (same flags and index, no
// progress window) is not queued a second time: the waiting one takes the newer copies, so
// the newest edit is what it writes.
#pragma once

#include <atomic>
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
constexpr const char* kApplyFailedText = "   Update settings failed!      ";

// Where one request reports its progress: the progress window the requesting window opened
// for it. Called on the worker thread; an implementation hands every call to the window's
// own thread and drops the calls that come after the window has closed.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    // False once the window has closed (then the writer skips its progress pauses).
    virtual bool IsOpen() const = 0;
    virtual void SetPosition(int position) = 0;
    // The request has ended: the window closes.
    virtual void Close() = 0;
};

struct ApplyRequest {
    std::uint32_t nFlag = 0;  // SET_* bits, plus kApplyShowProgress
    int nData = 255;          // SetProfile index
    bool operator==(const ApplyRequest&) const = default;
};

// What the worker works with; everything but `driver` and `messages` may be left empty.
struct ApplyWorkerSetup {
    CUSBDriver* driver = nullptr;
    // The owner window's message boxes (no device, writer failure). Called on the worker
    // thread, so it must be a sink that may be called from any thread (PostingMessageSink).
    MessageSink* messages = nullptr;
    // The three below are called by Request on the requesting thread, which is the one that
    // edits the record and owns the configuration and the macro library.
    // Copies the current profile record into the argument; false when there is none.
    std::function<bool(ProfileFile&)> currentRecord;
    // The active DPI level (g_nCurDpiLevel) that SET_CUR_DPI writes.
    std::function<int()> curDpiLevel;
    // Settings of the request. Their macro library is only read here: the request carries a
    // MacroSnapshot of the macros the record plays.
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

    // nFlag = flags | kApplyShowProgress, nData = 255; the progress goes to `progress` (none
    // when null: the request then runs without progress display).
    void RequestApplyWithProgress(std::uint32_t flags, std::shared_ptr<ProgressSink> progress);
    // nFlag = flags without kApplyShowProgress, nData = index.
    void RequestApply(std::uint32_t flags, int index);
    // Queues a request as given, with the progress sink of a request that has the
    // kApplyShowProgress bit.
    void Request(const ApplyRequest& request, std::shared_ptr<ProgressSink> progress = nullptr);

    // Number of the last request queued (0 before the first); a merged request keeps the
    // number of the one it joined.
    std::uint64_t LastRequestNumber() const;
    // Waits until every request up to number `number` has been applied (or dropped at
    // exit), or the worker is not running.
    void WaitRequestsApplied(std::uint64_t number) const;

    // What the queue holds right now: whether a request runs, how many wait, and the number
    // of the last request applied (requests are numbered from 1 in the order queued).
    struct QueueState {
        std::size_t running = 0;  // requests taken from the queue and not yet finished
        std::size_t waiting = 0;
        std::uint64_t applied = 0;
    };
    QueueState Queue() const;

    // True after a write that failed while a mouse was open: the mouse stopped answering in
    // the middle and may hold part of the change. The next request the worker runs then
    // writes the whole profile (a restore excepted), and a whole write that succeeds clears
    // it. RequestWholeProfile asks for that write when the mouse is back.
    bool MouseOutOfStep() const { return outOfStep_.load(); }
    void RequestWholeProfile();

    // True while a request runs or waits.
    bool IsBusy() const;
    // Waits until no request runs or waits; false when `timeoutMs` passed first.
    bool WaitIdle(int timeoutMs) const;

    // Sets the exit event: the worker ends after the request it is running; requests
    // still waiting are dropped (and logged). Waits for the thread.
    void Stop();
    // Calls `idle` once when no request runs or waits: at once on the calling thread when
    // the queue is empty, else on the worker thread after its last request. A stop drops it
    // uncalled. Exit uses it to let the last change reach the mouse without waiting itself.
    void NotifyWhenIdle(std::function<void()> idle);

  private:
    void Run();
    // A waiting request with what it writes, as it stood when the request was made.
    struct Pending {
        ApplyRequest request;
        std::uint64_t number = 0;
        std::shared_ptr<const ProfileFile> record;
        int curDpiLevel = -1;
        ProfileTransferSettings settings;
        std::shared_ptr<const MacroLibraryAccess> macros;  // what settings.macros points to
        std::shared_ptr<ProgressSink> progress;            // with kApplyShowProgress only
    };

    void Apply(const Pending& pending);
    void ShowMessage(const std::string& text);

    ApplyWorkerSetup setup_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<Pending> pending_;
    std::size_t running_ = 0;  // requests being applied (one thread: at most 1)
    bool exit_ = false;
    bool started_ = false;
    std::atomic<bool> outOfStep_{false};
    std::uint64_t lastNumber_ = 0;     // of the last request queued
    std::uint64_t appliedNumber_ = 0;  // of the last request applied or dropped
    std::function<void()> whenIdle_;   // NotifyWhenIdle's callback, until it is called
    std::thread thread_;
};

}  // namespace vantor
