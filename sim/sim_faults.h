// Faults the simulated HID backend can inject, for tests of the device link. Counters of
// "every k-th" count the command reports the backend has accepted since the faults were
// set, starting at 1; 0 switches a fault off.
#pragma once

#include <cstdint>

namespace vantor {

struct SimFaults {
    // Each reply, and any event it causes, becomes readable this long after the command
    // was written; the write itself returns at once.
    int replyLatencyMs = 0;
    // The reply to every k-th command is lost.
    unsigned dropEveryNth = 0;
    // Each reply is also lost with this probability, drawn from a generator seeded with
    // `dropSeed`, so a run can be repeated.
    double dropProbability = 0.0;
    std::uint32_t dropSeed = 1;
    // Every k-th command is not carried out and is answered with status kSimInjectedError.
    unsigned errorEveryNth = 0;
    // Before the reply to every k-th command, a reply of another command id arrives.
    unsigned strayEveryNth = 0;
    // Before the reply to every k-th command, the notification interface also gives the
    // receiver's keyboard and consumer-control reports (sim_foreign_reports.h), as a
    // hidraw node that carries all collections of the receiver does.
    unsigned foreignEveryNth = 0;
    // After this many commands the connection is unplugged: the command that reaches the
    // count is answered, every later write and read fails with 1167.
    unsigned unplugAfterCommands = 0;
};

}  // namespace vantor
