// The device memory of one on-board profile as the simulated mouse keeps it, with the
// mouse's strict write rule: every check-byte group is verified when its last byte
// arrives, and a write that completes a group that does not add up to 0x55, or a setting
// the mouse cannot take (a report-rate code other than 1, 2, 4, 8, a level count outside
// 1-8, a DPI entry that is not a step of the sensor), is refused as a whole. Bytes of a group whose
// last byte has not arrived yet are held back (reads show the old bytes) until the group is
// complete.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "sim/sim_memory_layout.h"

namespace vantor {

constexpr std::size_t kSimProfileBytes = sim_layout::kMemoryBytes;
using SimProfileImage = std::array<std::uint8_t, kSimProfileBytes>;

// One check-byte group: `length` bytes from `start`, the last one being the check byte.
// `fits` is false for a combination or macro slot whose count byte makes the group run
// past its slot; such a count is refused.
struct SimGroup {
    std::size_t start = 0;
    std::size_t length = 0;
    bool fits = true;
};

// The group that holds `address`, judged by the count bytes in `view`; none for a byte
// that belongs to no group (unused ranges, macro names, slot bytes after the group).
std::optional<SimGroup> SimGroupAt(const SimProfileImage& view, std::size_t address);

class SimProfileMemory {
  public:
    // `sensor` chooses the DPI steps the memory takes (sim_dpi_steps.h).
    explicit SimProfileMemory(const SimProfileImage& image, std::uint16_t sensor = 0)
        : sensor_(sensor) {
        Assign(image);
    }

    // What a read returns.
    const SimProfileImage& Bytes() const { return committed_; }

    // Replaces the whole memory and drops held-back bytes.
    void Assign(const SimProfileImage& image);

    // Writes `data` at `address`. Returns kSimOk, kSimBadArgument when the range leaves the
    // memory, kSimBadGroupCheck or kSimBadValue; a refused write changes nothing.
    std::uint8_t Write(std::size_t address, std::span<const std::uint8_t> data);

    bool HasHeldBackBytes() const { return pending_.any(); }

  private:
    bool TakesGroup(const SimProfileImage& work, const SimGroup& group) const;

    std::uint16_t sensor_;
    SimProfileImage committed_{};
    SimProfileImage staged_{};  // committed_ plus the held-back bytes
    std::bitset<kSimProfileBytes> pending_;
};

}  // namespace vantor
