#include "ui/shell/exit_apply_wait.h"

#include "base/log.h"
#include "base/texts.h"
#include "device/apply_worker.h"
#include "ui/shell/session_popups.h"

namespace vantor {

ExitApplyWait::ExitApplyWait(ApplyWorker& worker, SessionPopups& popups, QObject* parent)
    : QObject(parent), worker_(worker), popups_(popups) {
    progressDelay_.setSingleShot(true);
    limit_.setSingleShot(true);
    connect(&progressDelay_, &QTimer::timeout, this,
            [this] { (void)popups_.OpenProgress(Text("tc_msg12")); });
    connect(&limit_, &QTimer::timeout, this, [this] { End(false); });
}

void ExitApplyWait::Start(std::function<void()> done) {
    if (done_ != nullptr) return;
    done_ = std::move(done);
    progressDelay_.start(kExitProgressDelayMs);
    limit_.start(kExitApplyWaitMs);
    // Called on the worker thread (or here, when nothing waits); the end runs on this one.
    worker_.NotifyWhenIdle([this] {
        QMetaObject::invokeMethod(
            this, [this] { End(true); }, Qt::QueuedConnection);
    });
}

void ExitApplyWait::End(bool applied) {
    if (done_ == nullptr) return;
    progressDelay_.stop();
    limit_.stop();
    popups_.CloseProgress();
    if (!applied) DbgLog("OnExit: apply requests still waiting after %d ms", kExitApplyWaitMs);
    std::function<void()> done = std::move(done_);
    done_ = nullptr;
    done();
}

}  // namespace vantor
