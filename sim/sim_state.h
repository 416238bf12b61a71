// The state file of the simulated mouse, so that successive runs of a program talk to the
// same mouse: all four profile memories, the active profile, identity, connection,
// battery, charging and readiness, in a small versioned binary layout:
//
//   0   4      "VSIM"
//   4   4      version, little-endian (1)
//   8   8      active profile, cid, mid, mouse connected, battery level, charging, ready, 0
//   16  4 x 0x1B00  the profile memories, profile 0 first
//
// A file of another size, magic or version, or with a value out of its range, is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/sim_firmware.h"

namespace vantor {

constexpr std::uint32_t kSimStateVersion = 1;
constexpr std::size_t kSimStateHeaderBytes = 16;
constexpr std::size_t kSimStateBytes = kSimStateHeaderBytes + kSimProfileCount * kSimProfileBytes;

std::vector<std::uint8_t> SerializeSimState(const SimFirmwareState& state);
std::optional<SimFirmwareState> ParseSimState(std::span<const std::uint8_t> bytes);

// Writes the file atomically; false (and the errno value in `error`) when that fails.
bool SaveSimState(const std::string& path, const SimFirmwareState& state, int* error = nullptr);
// Nothing when the file is missing, unreadable or refused; `error` then gets the read
// error (0 when the file was read but is not a state file).
std::optional<SimFirmwareState> LoadSimState(const std::string& path, int* error = nullptr);

}  // namespace vantor
