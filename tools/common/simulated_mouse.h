// Choosing and running the simulated mouse, shared by the programs: the --simulate[=N]
// and VANTOR_SIMULATE selection of a device section, and the firmware with its HID
// backend, loaded from and saved to an optional state file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "sim/sim_firmware.h"
#include "sim/sim_hid_backend.h"

namespace vantor {

// Parses a decimal or 0x-prefixed number; nothing when the text is not one number.
std::optional<long long> ParseNumber(const std::string& text);

// The device section (1..30) of "--simulate" or "--simulate=N"; nothing for another
// argument. `error` is set when the argument is --simulate with a bad number.
std::optional<int> ParseSimulateArgument(const std::string& arg, std::string* error);

// VANTOR_SIMULATE=N acts like --simulate=N; unset, empty or 0 leaves the real mouse.
// False with `error` set for a bad value.
bool SimulateFromEnvironment(std::optional<int>* section, std::string* error);

struct SimulatedMouse {
    std::shared_ptr<SimFirmware> firmware;
    std::unique_ptr<SimHidBackend> backend;
    std::string statePath;  // empty: nothing is saved
};

enum class SimulationError { kNone, kUsage, kFailure };

// The USB product id the simulated mouse of DEV_<section> shows: a model with sleep settings
// is the wireless one and answers on its receiver (the first PID2 id); the other runs on its
// cable (the first PID id). 0 when cfg.ini lists none.
std::uint16_t SimulatedProductId(int section);

// The simulated mouse of DEV_<section>, restored from `statePath` when that file exists.
// On failure `error` tells why and `kind` whether it is a usage error.
std::optional<SimulatedMouse> StartSimulatedMouse(int section, const std::string& statePath,
                                                  std::string* error, SimulationError* kind);

// The lock file of a state file: "<state file>.lock", named after the state file's resolved
// path, so that two paths to one state file (a link, a linked folder) share one lock.
std::string SimStateLockPath(const std::string& statePath);

// Saves the firmware state when a state file was given; false with `error` on failure.
bool SaveSimulatedMouse(const SimulatedMouse& mouse, std::string* error);

}  // namespace vantor
