// A stop request that a thread's pauses wait on: setting it ends a pause at once, so a
// thread asked to stop is joined without waiting out its pause.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vantor {

class StopFlag {
  public:
    void Set() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            set_ = true;
        }
        changed_.notify_all();
    }
    bool IsSet() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return set_;
    }
    // Waits up to `milliseconds`; true when the flag is (or became) set.
    bool WaitFor(std::uint32_t milliseconds) const {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                 [this] { return set_; });
    }

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool set_ = false;
};

}  // namespace vantor
