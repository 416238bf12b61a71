// Ids of profile records and macros, made from the local clock: a 24-bit value with the
// hour modulo 16 in bits 20-23, the minute in bits 14-19, the second in bits 8-13 and the
// low byte of the milliseconds in bits 0-7.
#pragma once

#include <cstdint>

namespace vantor {

struct LocalClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The id of one moment.
std::uint32_t ClockIdFromTime(const LocalClockTime& time);

using LocalClock = LocalClockTime (*)();

// The local time of this machine.
LocalClockTime CurrentLocalClockTime();

// The id of the local time, waiting while the clock still gives the id handed out last.
// Never returns 0 (which marks a record without identity) and never the id it
// returned last, also when called from several threads. `clock` is for tests.
std::uint32_t NewClockId(LocalClock clock = CurrentLocalClockTime);

}  // namespace vantor
