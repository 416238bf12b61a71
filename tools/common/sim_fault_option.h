// --sim-fault KIND=VALUE, shared by the programs: the faults of the simulated mouse's link
// (late, lost, failed, stray and foreign replies, an unplug after some commands), so that
// tests can run either program against a mouse that misbehaves.
#pragma once

#include <string>

#include "sim/sim_faults.h"

namespace vantor {

// Takes one "KIND=VALUE" into `faults`: latency-ms, drop-every, drop-probability (0 to 1),
// drop-seed, error-every, stray-every, foreign-every, unplug-after. False with `error` set
// for an unknown kind or a bad value.
bool ParseSimFault(const std::string& text, SimFaults* faults, std::string* error);

// The kinds, for the usage text.
const char* SimFaultKinds();

}  // namespace vantor
