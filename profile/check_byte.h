// The check byte that closes every group written into device memory: it makes the bytes of
// the group, check byte included, add up to 0x55 modulo 256. Reading never verifies it.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vantor {

constexpr std::uint8_t kCheckSum = 0x55;

// The check byte for `group` (the bytes before it).
std::uint8_t CheckByte(std::span<const std::uint8_t> group);

// Sets the last byte of `group` to the check byte of the bytes before it; an empty group is
// left alone.
void SealGroup(std::span<std::uint8_t> group);

// A single setting as the device holds it: (value, 0x55 - value).
std::array<std::uint8_t, 2> SettingPair(std::uint8_t value);

}  // namespace vantor
