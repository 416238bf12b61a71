#include "device/sleeper.h"

#include <chrono>
#include <thread>

namespace vantor {
namespace {

class ThreadSleeper : public Sleeper {
  public:
    void SleepMs(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void SleepMsUnlessStopped(std::uint32_t milliseconds, const StopFlag& stop) override {
        (void)stop.WaitFor(milliseconds);
    }
};

}  // namespace

Sleeper& RealSleeper() {
    static ThreadSleeper sleeper;
    return sleeper;
}

}  // namespace vantor
