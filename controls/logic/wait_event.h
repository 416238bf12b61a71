// A manual-reset event that one thread sets and others wait on, the handle a self-closing
// message window waits for. Waiting also ends when the waiter is asked to stop.
#pragma once

#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace vantor {

class WaitEvent {
  public:
    // Signals the event; it stays signalled until Reset.
    void Set() {
        {
            std::lock_guard lock(mutex_);
            set_ = true;
        }
        changed_.notify_all();
    }
    void Reset() {
        std::lock_guard lock(mutex_);
        set_ = false;
    }
    bool IsSet() const {
        std::lock_guard lock(mutex_);
        return set_;
    }
    // Blocks until the event is signalled (true) or `stop` is requested (false).
    bool Wait(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        return changed_.wait(lock, stop, [this] { return set_; });
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    bool set_ = false;
};

}  // namespace vantor
