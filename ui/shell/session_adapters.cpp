#include "ui/shell/session_adapters.h"

namespace vantor {

QtSessionTimers::QtSessionTimers(std::function<void(int)> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {}

void QtSessionTimers::Start(int id, int periodMs) {
    QTimer*& timer = timers_[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        timer->setObjectName(QStringLiteral("timer %1").arg(id));  // names it in profiles
        connect(timer, &QTimer::timeout, this, [this, id] { onTick_(id); });
    }
    timer->start(periodMs);
}

void QtSessionTimers::Stop(int id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) it->second->stop();
}

bool QtSessionTimers::IsRunning(int id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

}  // namespace vantor
