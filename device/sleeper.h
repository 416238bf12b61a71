// The pauses of the command channel (reply polling, write retries, chunk spacing) go
// through this interface so that tests and benchmarks can count or shorten them; the
// durations the channel asks for never change.
#pragma once

#include <cstdint>

#include "device/stop_flag.h"

namespace vantor {

class Sleeper {
  public:
    virtual ~Sleeper() = default;
    virtual void SleepMs(std::uint32_t milliseconds) = 0;
    // A pause that `stop` ends early: the real sleeper waits on the flag; a sleeper that
    // only counts or shortens pauses takes it as a plain pause.
    virtual void SleepMsUnlessStopped(std::uint32_t milliseconds, const StopFlag& stop) {
        (void)stop;
        SleepMs(milliseconds);
    }
};

// Really sleeps; the process-wide default.
Sleeper& RealSleeper();

}  // namespace vantor
