#include "device/apply_worker.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "base/log.h"
#include "base/texts.h"
#include "device/log_ids.h"
#include "profile/macro_snapshot.h"
#include "profile/set_flags.h"

namespace vantor {
namespace {

// The writer reports to a window poster; this one hands its progress to a request's sink.
class SinkPoster : public MessagePoster {
  public:
    explicit SinkPoster(ProgressSink& sink) : sink_(sink) {}
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) override {
        if (message == kApplyProgressMessage) sink_.SetPosition(static_cast<int>(wParam));
    }
    bool IsValid() const override { return sink_.IsOpen(); }

  private:
    ProgressSink& sink_;
};

}  // namespace

ApplyWorker::~ApplyWorker() {
    Stop();
}

bool ApplyWorker::StartApplyThread(ApplyWorkerSetup setup) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (thread_.joinable()) return false;
    setup_ = std::move(setup);
    pending_.clear();
    appliedNumber_ = lastNumber_;
    started_ = true;
    running_ = 0;
    exit_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void ApplyWorker::RequestApplyWithProgress(std::uint32_t flags,
                                           std::shared_ptr<ProgressSink> progress) {
    Request({flags | kApplyShowProgress, 255}, std::move(progress));
}

void ApplyWorker::RequestWholeProfile() {
    Request({kSetWholeProfile, kSetIndexAll});
}

void ApplyWorker::RequestApply(std::uint32_t flags, int index) {
    Request({flags & ~kApplyShowProgress, index});
}

void ApplyWorker::Request(const ApplyRequest& request, std::shared_ptr<ProgressSink> progress) {
    // Everything the request writes is copied here, on the thread that edits the record and
    // once the edit is complete, so the worker never reads what a window may be changing.
    Pending pending;
    pending.request = request;
    if ((request.nFlag & kApplyShowProgress) != 0) pending.progress = std::move(progress);
    ProfileFile record{};
    if (setup_.currentRecord && setup_.currentRecord(record)) {
        pending.record = std::make_shared<const ProfileFile>(record);
    }
    pending.curDpiLevel = setup_.curDpiLevel ? setup_.curDpiLevel() : -1;
    if (setup_.transferSettings) pending.settings = setup_.transferSettings();
    if (pending.settings.macros != nullptr && pending.record != nullptr) {
        auto macros = std::make_shared<MacroSnapshot>(*pending.record, *pending.settings.macros);
        pending.settings.macros = macros.get();
        pending.macros = std::move(macros);
    } else {
        pending.settings.macros = nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // A progress request always runs: its window waits to be closed by it. Any other
        // request that is already waiting takes the newer copies in place of its own.
        if ((request.nFlag & kApplyShowProgress) == 0) {
            auto waiting = std::find_if(pending_.begin(), pending_.end(),
                                        [&](const Pending& p) { return p.request == request; });
            if (waiting != pending_.end()) {
                pending.number = waiting->number;
                *waiting = std::move(pending);
                return;
            }
        }
        pending.number = ++lastNumber_;
        pending_.push_back(std::move(pending));
    }
    changed_.notify_all();
}

std::uint64_t ApplyWorker::LastRequestNumber() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastNumber_;
}

void ApplyWorker::WaitRequestsApplied(std::uint64_t number) const {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return appliedNumber_ >= number || exit_ || !started_; });
}

ApplyWorker::QueueState ApplyWorker::Queue() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return {running_, pending_.size(), appliedNumber_};
}

bool ApplyWorker::IsBusy() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return running_ > 0 || !pending_.empty();
}

bool ApplyWorker::WaitIdle(int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return running_ == 0 && pending_.empty(); });
}

void ApplyWorker::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        exit_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    started_ = false;
}

void ApplyWorker::NotifyWhenIdle(std::function<void()> idle) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (started_ && !exit_ && (running_ > 0 || !pending_.empty())) {
            whenIdle_ = std::move(idle);
            return;
        }
    }
    if (idle) idle();
}

void ApplyWorker::Run() {
    DbgLog("Start apply thread");
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return exit_ || !pending_.empty(); });
        if (exit_) {
            if (!pending_.empty()) {
                DbgLog("Apply: %zu request(s) dropped at exit", pending_.size());
                pending_.clear();
            }
            appliedNumber_ = lastNumber_;
            whenIdle_ = nullptr;
            break;
        }
        const Pending next = std::move(pending_.front());
        pending_.pop_front();
        ++running_;
        lock.unlock();
        Apply(next);
        lock.lock();
        --running_;
        appliedNumber_ = next.number;
        changed_.notify_all();
        if (pending_.empty() && whenIdle_) {
            std::function<void()> idle = std::move(whenIdle_);
            whenIdle_ = nullptr;
            lock.unlock();
            idle();
            lock.lock();
        }
    }
    lock.unlock();
    changed_.notify_all();
    DbgLog("thread exit");
}

void ApplyWorker::ShowMessage(const std::string& text) {
    if (setup_.messages != nullptr) setup_.messages->ShowMessage(text, "Error");
}

void ApplyWorker::Apply(const Pending& pending) {
    const ApplyRequest& request = pending.request;
    CUSBDriver* driver = setup_.driver;
    const auto cmd = driver != nullptr ? driver->CmdHandle() : nullptr;
    DbgLog("Start Apply: hDevice=0x%x, nFlag=0x%x, nData=0x%x", LogHandleId(cmd.get()),
           request.nFlag, static_cast<unsigned>(request.nData));
    std::optional<SinkPoster> progress;
    if (pending.progress != nullptr) progress.emplace(*pending.progress);
    MessagePoster* window = progress ? &*progress : nullptr;

    const ProfileTransferSettings& settings = pending.settings;
    if (cmd == nullptr && !settings.goWithNoDev) {
        if (pending.progress != nullptr) pending.progress->Close();
        ShowMessage(Text("tc_msg15"));
        return;
    }

    ProfileFile record{};
    const bool haveRecord = pending.record != nullptr;
    if (haveRecord) record = *pending.record;
    const int curDpiLevel = pending.curDpiLevel;
    std::uint32_t flags = request.nFlag & ~kApplyShowProgress;
    int index = request.nData;
    if (outOfStep_.load() && (flags & SET_RESET) == 0) {
        // An earlier write stopped in the middle: this one brings the whole profile back
        // into the mouse, so that mouse and record agree again.
        DbgLog("Apply: the mouse may hold part of an earlier write, whole profile written");
        flags |= kSetWholeProfile;
        index = kSetIndexAll;
    }
    int result = 0;
    {
        std::unique_lock<std::mutex> device;
        if (setup_.deviceMutex != nullptr) device = std::unique_lock(*setup_.deviceMutex);
        result = SetProfile(window, driver, haveRecord ? &record : nullptr, kApplyProgressMessage,
                            flags, index, curDpiLevel, settings);
    }
    if (result == 0 && cmd != nullptr && (flags & SET_RESET) == 0) {
        // Some commands may have reached the mouse before it stopped answering.
        outOfStep_ = true;
        ShowMessage(TextOr("tc_partly_written", kApplyFailedText));
    } else if (result == 0) {
        ShowMessage(kApplyFailedText);
    } else if ((flags & kSetWholeProfile) == kSetWholeProfile && index == kSetIndexAll) {
        outOfStep_ = false;
    }

    if (pending.progress != nullptr) pending.progress->Close();
    DbgLog("Apply Over");
}

}  // namespace vantor
