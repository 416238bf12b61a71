// One background thread that runs tasks one at a time, in the order they were handed over.
// The device session runs its device reads on one, so that they never wait on the window
// thread and never overlap each other.
#pragma once

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
    // Waits until no task runs or waits; false when `timeoutMs` passed first.
    bool WaitIdle(int timeoutMs);
    // Lets the running task end, drops the waiting ones and waits for the thread.
    void Stop();

  private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    bool running_ = false;  // a task is being run
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace vantor
