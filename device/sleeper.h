// The pauses of the command channel (reply polling, write retries, chunk spacing) go
// through this interface so that tests and benchmarks can count or shorten them; the
// durations the channel asks for never change.
#pragma once

#include <cstdint>

namespace vantor {

class Sleeper {
  public:
    virtual ~Sleeper() = default;
    virtual void SleepMs(std::uint32_t milliseconds) = 0;
};

// Really sleeps; the process-wide default.
Sleeper& RealSleeper();

}  // namespace vantor
