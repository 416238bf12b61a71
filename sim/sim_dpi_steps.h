// The DPI steps the sensors of the simulated mice take: a DPI entry of device memory
// names one code and one multiplier for X and one for Y, and the sensor takes it only
// when both name one of its steps.
#pragma once

#include <cstdint>
#include <span>

namespace vantor {

// Sensor ids of the simulated models; any other id takes every entry.
constexpr std::uint16_t kSimSensorWireless = 0x3395;
constexpr std::uint16_t kSimSensorWired = 0x3335;

// `entry` is the four bytes of a DPI entry (X code low byte, Y code low byte, high code
// bits and multipliers, check).
bool SimDpiEntryIsStep(std::uint16_t sensor, std::span<const std::uint8_t, 4> entry);

}  // namespace vantor
