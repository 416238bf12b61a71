// The command line of the window program: --help, --version, the simulated mouse
// (--simulate[=N], VANTOR_SIMULATE, --sim-state FILE, --sim-fault KIND=N); any other
// argument starts the window hidden in the tray.
#pragma once

#include <optional>
#include <string>

#include "sim/sim_faults.h"

namespace vantor {

struct LaunchOptions {
    std::optional<int> simulate;  // device section number (1-based) of the simulated mouse
    std::string simState;         // state file of the simulated mouse
    SimFaults simFaults;          // faults of the simulated mouse's link (--sim-fault)
    bool simFaultGiven = false;
    bool startHidden = false;  // some other argument was given
    bool help = false;
    bool version = false;
};

// False with `error` set for a bad option value. VANTOR_SIMULATE is read first; the
// command line overrides it.
bool ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* options,
                        std::string* error);

const char* LaunchUsage();

}  // namespace vantor
