// Conversions between the lighting blocks of the profile record and the device bytes of
// the main lighting (0x00A0), the logo lighting (0x0054) and the DPI indicator (0x004C).
// The record holds effect numbers and 1-based steps; the device holds effect codes and raw
// speed and brightness values taken from the step tables below.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "profile/profile_record.h"

namespace vantor {

using LightingStepTable = std::array<std::uint8_t, 10>;

// Step n of the record (counted from 1) selects entry n - 1.
inline constexpr LightingStepTable LightSteps = {45, 50, 75, 100, 125, 150, 175, 200, 225, 255};
inline constexpr LightingStepTable SpeedSteps = {255, 230, 210, 190, 170, 150, 130, 110, 70, 40};
inline constexpr LightingStepTable Mode3LightSteps = {72,  92,  112, 132, 152,
                                                      172, 192, 212, 232, 252};
inline constexpr LightingStepTable Mode3SpeedSteps = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
inline constexpr LightingStepTable DpiLightSteps = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};

// One device-memory write: `length` bytes of `bytes` at `address`.
struct LightingWrite {
    std::uint16_t address = 0;
    std::size_t length = 0;
    std::array<std::uint8_t, 10> bytes{};

    std::span<const std::uint8_t> Data() const { return {bytes.data(), length}; }
};

// Reading. The bytes come from the device and are not trusted: unknown effect codes,
// speed and brightness values are logged and mapped into the record's ranges, so the
// record never holds a step outside its table. With effect 0 only nMode is stored.
void EEPROM_To_MainRGB(std::span<const std::uint8_t, 8> bytes, RgbEffect& out);
void EEPROM_To_LogoRGB(std::span<const std::uint8_t, 10> bytes, RgbEffect& out);
void DecodeDpiEffect(std::span<const std::uint8_t, 6> bytes, DpiEffect& out);

// Writing. Steps outside 1-10 use the nearest table entry.
//
// Switching the main lighting off keeps the colour, speed and brightness that the device
// holds, so for nMode 0 the caller reads the 7 bytes at 0x00A0 first and passes them as
// `deviceBytes`; for every other mode they are not used.
bool MainRGBNeedsDeviceBytes(const RgbEffect& effect);
LightingWrite EncodeMainRGB(const RgbEffect& effect, std::span<const std::uint8_t, 7> deviceBytes);
LightingWrite EncodeLogoRGB(const RgbEffect& effect);
LightingWrite EncodeDpiEffect(const DpiEffect& effect);

}  // namespace vantor
