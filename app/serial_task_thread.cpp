#include "app/serial_task_thread.h"

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
        thread = std::move(thread_);
    }
    changed_.notify_all();
    if (thread.joinable()) thread.join();
}

void SerialTaskThread::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !tasks_.empty(); });
        if (stop_) return;
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
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
