// One background thread that runs tasks one at a time, in the order they were handed over.
// The device session runs its device reads on one, so that they never wait on the window
// thread and never overlap each other.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vantor {

class SerialTaskThread {
  public:
    SerialTaskThread() = default;
    // Stops the thread (see Stop).
    ~SerialTaskThread();
    SerialTaskThread(const SerialTaskThread&) = delete;
    SerialTaskThread& operator=(const SerialTaskThread&) = delete;

    // Queues `task`; the thread starts with the first task. Ignored after Stop.
    void Post(std::function<void()> task);
    // Runs `task` every `period` between the queued tasks, first one period from now; it
    // replaces an earlier one. The thread's wait for tasks is also its wait for the next
    // run, so nothing else wakes it.
    void SetPeriodic(std::chrono::milliseconds period, std::function<void()> task);
    // Waits until no task runs or waits; false when `timeoutMs` passed first.
    bool WaitIdle(int timeoutMs);
    // Lets the running task end, drops the waiting ones and waits for the thread.
    void Stop();

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    std::function<void()> periodic_;
    std::chrono::milliseconds period_{0};
    std::chrono::steady_clock::time_point nextRun_;
    bool rescheduled_ = false;  // SetPeriodic changed the periodic task
    bool running_ = false;      // a task is being run
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace vantor
