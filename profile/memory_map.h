// Layout of the active on-board profile in device memory (16-bit byte addresses). Each
// group is read and written only through the encoders of the profile model.
#pragma once

#include <cstdint>

namespace vantor::memory_map {

using Address = std::uint16_t;

// A single setting is a (value, check) pair.
constexpr int kSettingPairSize = 2;

constexpr Address kReportRate = 0x0000;  // 1 = 1000, 2 = 500, 4 = 250, 8 = 125 reports/s
constexpr Address kDpiLevelCount = 0x0002;
constexpr Address kCurrentDpiLevel = 0x0004;
constexpr Address kLiftOffDistance = 0x000A;

// Eight DPI entries: X code low byte, Y code low byte, high code bits and multipliers, check.
constexpr Address kDpiEntries = 0x000C;
constexpr int kDpiEntrySize = 4;
constexpr int kDpiLevelSlots = 8;
// Eight DPI colour entries: three colour bytes, check.
constexpr Address kDpiColors = 0x002C;
constexpr int kDpiColorSize = 4;

// DPI indicator effect: three pairs (mode, brightness value, speed).
constexpr Address kDpiEffect = 0x004C;
constexpr int kDpiEffectSize = 6;

// Logo lighting: colour quad, then pairs of mode, brightness value and speed.
constexpr Address kLogoLighting = 0x0054;
constexpr int kLogoLightingSize = 10;
constexpr Address kLogoEffectPair = 0x0058;  // the mode pair alone, written to switch off

// Key matrix: 16 entries of three code bytes and a check, entry m for matrix index m.
constexpr Address kKeyMatrix = 0x0060;
constexpr int kKeyMatrixEntrySize = 4;
constexpr int kKeySlots = 16;

// Main lighting: mode code, three colour bytes, speed value, brightness value, check. The
// byte after the group is read with it but not used.
constexpr Address kMainLighting = 0x00A0;
constexpr int kMainLightingSize = 7;
constexpr int kMainLightingReadSize = 8;

constexpr Address kDebounce = 0x00A9;
constexpr Address kMotionSync = 0x00AB;
constexpr Address kSleepTime = 0x00AD;  // seconds / 10
constexpr Address kFixLine = 0x00AF;
constexpr Address kRipple = 0x00B1;
constexpr Address kLightOffOnMoving = 0x00B3;
constexpr Address kAutoSleep = 0x00B5;
constexpr Address kSensorMode = 0x00B7;

// Combination-key slots: 32 bytes each; the PC side reads the first 20.
constexpr Address kComboSlots = 0x0100;
constexpr int kComboSlotStride = 32;
constexpr int kComboSlotReadSize = 20;

// Macro slots: name length in bytes, a UTF-16 name of up to 15 characters, then the
// hardware macro.
constexpr Address kMacroSlots = 0x0300;
constexpr int kMacroSlotStride = 384;
constexpr int kMacroNameLengthOffset = 0;
constexpr int kMacroNameOffset = 1;
constexpr int kMacroNameBytes = 30;
constexpr int kMacroDataOffset = 31;
constexpr int kMacroDataSize = 353;

constexpr Address kLastUsedAddress = 0x1AFF;

// Addresses of the per-level and per-key groups; callers keep the index below its count.
constexpr Address DpiEntryAddress(int level) {
    return static_cast<Address>(kDpiEntries + kDpiEntrySize * level);
}
constexpr Address DpiColorAddress(int level) {
    return static_cast<Address>(kDpiColors + kDpiColorSize * level);
}
constexpr Address KeyMatrixAddress(int matrixIndex) {
    return static_cast<Address>(kKeyMatrix + kKeyMatrixEntrySize * matrixIndex);
}
constexpr Address ComboSlotAddress(int matrixIndex) {
    return static_cast<Address>(kComboSlots + kComboSlotStride * matrixIndex);
}
constexpr Address MacroSlotAddress(int matrixIndex) {
    return static_cast<Address>(kMacroSlots + kMacroSlotStride * matrixIndex);
}

static_assert(DpiEntryAddress(kDpiLevelSlots) == kDpiColors);
static_assert(DpiColorAddress(kDpiLevelSlots) == kDpiEffect);
static_assert(kLogoLighting + kLogoLightingSize == 0x005E);
static_assert(kLogoEffectPair == kLogoLighting + 4);
static_assert(KeyMatrixAddress(kKeySlots) == kMainLighting);
static_assert(ComboSlotAddress(kKeySlots) == kMacroSlots);
static_assert(kMacroDataOffset + kMacroDataSize == kMacroSlotStride);
static_assert(kMacroNameOffset + kMacroNameBytes == kMacroDataOffset);
static_assert(MacroSlotAddress(kKeySlots) == kLastUsedAddress + 1);

}  // namespace vantor::memory_map
