#include "base/serial_task_thread.h"

#include <chrono>
#include <utility>

namespace vantor {

SerialTaskThread::~SerialTaskThread() {
    Stop();
}

void SerialTaskThread::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_) return;
        tasks_.push_back(std::move(task));
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    }
    changed_.notify_all();
}

void SerialTaskThread::SetPeriodic(std::chrono::milliseconds period, std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_) return;
        periodic_ = std::move(task);
        period_ = period;
        nextRun_ = std::chrono::steady_clock::now() + period;
        rescheduled_ = true;
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    }
    changed_.notify_all();
}

bool SerialTaskThread::WaitIdle(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return !running_ && tasks_.empty(); });
}

void SerialTaskThread::Stop() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        tasks_.clear();
        periodic_ = nullptr;
        thread = std::move(thread_);
    }
    changed_.notify_all();
    if (thread.joinable()) thread.join();
}

void SerialTaskThread::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // A new periodic task (SetPeriodic) moves the time of the next run: wait again.
        const auto ready = [this] { return stop_ || !tasks_.empty() || rescheduled_; };
        bool periodicDue = false;
        if (periodic_) {
            const auto until = nextRun_;
            periodicDue = !changed_.wait_until(lock, until, ready);
        } else {
            changed_.wait(lock, ready);
        }
        if (stop_) return;
        rescheduled_ = false;
        std::function<void()> task;
        if (!tasks_.empty()) {
            task = std::move(tasks_.front());
            tasks_.pop_front();
        } else if (periodicDue) {
            task = periodic_;
            nextRun_ = std::chrono::steady_clock::now() + period_;
        } else {
            continue;
        }
        running_ = true;
        lock.unlock();
        task();
        task = nullptr;
        lock.lock();
        running_ = false;
        changed_.notify_all();
    }
}

}  // namespace vantor
