// Where the simulated mouse keeps each setting of a profile in its memory, as its firmware
// knows it. The PC side has its own map; the two are kept apart on purpose, so that a
// wrong address on one side shows up as a wrong value on the other.
#pragma once

#include <cstddef>

namespace vantor::sim_layout {

constexpr std::size_t kMemoryBytes = 0x1B00;

// (value, check) pairs.
constexpr std::size_t kReportRate = 0x0000;
constexpr std::size_t kLevelCount = 0x0002;
constexpr std::size_t kActiveLevel = 0x0004;
constexpr std::size_t kLiftOff = 0x000A;

// Eight DPI entries (X code, Y code, high code bits and multipliers, check) and eight
// DPI colours (red, green, blue, check).
constexpr std::size_t kDpiEntries = 0x000C;
constexpr std::size_t kDpiColours = 0x002C;
constexpr std::size_t kQuadBytes = 4;
constexpr int kLevelSlots = 8;

// DPI indicator: pairs of effect, brightness value, speed.
constexpr std::size_t kIndicator = 0x004C;
constexpr std::size_t kIndicatorBrightness = 0x004E;
constexpr std::size_t kIndicatorBytes = 6;

// Logo: colour quad, then pairs of effect, brightness value, speed.
constexpr std::size_t kLogo = 0x0054;
constexpr std::size_t kLogoEffect = 0x0058;
constexpr std::size_t kLogoBrightness = 0x005A;
constexpr std::size_t kLogoBytes = 10;

// Sixteen key codes (three bytes and a check).
constexpr std::size_t kKeyCodes = 0x0060;
constexpr int kKeySlots = 16;

// Main lighting: effect code, red, green, blue, speed value, brightness value, check.
constexpr std::size_t kMain = 0x00A0;
constexpr std::size_t kMainSpeed = 0x00A4;
constexpr std::size_t kMainBrightness = 0x00A5;
constexpr std::size_t kMainBytes = 7;

// The run of pairs from debounce to sensor mode.
constexpr std::size_t kDebounce = 0x00A9;
constexpr std::size_t kMotionSync = 0x00AB;
constexpr std::size_t kSleepTenths = 0x00AD;
constexpr std::size_t kStraightLine = 0x00AF;
constexpr std::size_t kRipple = 0x00B1;
constexpr std::size_t kLightOffMoving = 0x00B3;
constexpr std::size_t kAutoSleep = 0x00B5;
constexpr std::size_t kSensorMode = 0x00B7;

// Combination slots: a count byte, three bytes per event, a check, within 32 bytes.
constexpr std::size_t kComboSlots = 0x0100;
constexpr std::size_t kComboStride = 32;
constexpr std::size_t kComboEventBytes = 3;

// Macro slots of 384 bytes: name length, 30 name bytes, then a count byte, five bytes per
// event and a check, which must end before the slot's last byte.
constexpr std::size_t kMacroSlots = 0x0300;
constexpr std::size_t kMacroStride = 384;
constexpr std::size_t kMacroCountOffset = 31;
constexpr std::size_t kMacroEventBytes = 5;
constexpr std::size_t kMacroGroupEnd = 383;

}  // namespace vantor::sim_layout
