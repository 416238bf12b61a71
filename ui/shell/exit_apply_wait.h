// Exit lets the last changes reach the mouse: it waits until the apply worker has written
// every request, at most kExitApplyWaitMs, and opens a progress window when that takes
// longer than kExitProgressDelayMs. The window thread never blocks meanwhile: the worker
// tells it when its queue is empty.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace vantor {

class ApplyWorker;
class SessionPopups;

constexpr int kExitApplyWaitMs = 3000;
constexpr int kExitProgressDelayMs = 500;

class ExitApplyWait : public QObject {
    Q_OBJECT
  public:
    // The worker must stop (ApplyWorker::Stop) before this object goes.
    ExitApplyWait(ApplyWorker& worker, SessionPopups& popups, QObject* parent);

    // Runs `done` once on the window thread: when the worker's queue is empty, or after
    // kExitApplyWaitMs with the requests still waiting (they are then dropped by the stop).
    void Start(std::function<void()> done);
    bool IsWaiting() const { return done_ != nullptr; }

  private:
    void End(bool applied);

    ApplyWorker& worker_;
    SessionPopups& popups_;
    QTimer progressDelay_;
    QTimer limit_;
    std::function<void()> done_;
};

}  // namespace vantor
