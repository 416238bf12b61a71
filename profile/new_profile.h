// The rule that builds a new profile record from the defaults of the device model. The
// defaults are handed over as a plain struct so that this rule does not depend on how the
// configuration is read; the configuration fills it from its device section and options.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "keys/key_assignment.h"
#include "profile/profile_record.h"

namespace vantor {

struct ProfileDefaults {
    // Default key tables of the device, one per key set.
    std::array<std::array<KeyAssignment, kKeysPerSet>, kKeySets> keyLayers{};
    std::uint32_t reportRate = 0x500;   // DR
    int dpiLevelCount = 0;              // DM: levels with a default setting
    int dpiUiLevels = 0;                // DpiUILevels: levels in use, 0 = dpiLevelCount
    std::array<int, kDpiLevels> dpi{};  // DPI
    std::array<std::uint8_t, 3 * kDpiLevels> dpiColors{};  // DC: red, green, blue per level
    std::uint32_t sensor = 0;                              // Sensor
    int showLod = 0;                                       // ShowLOD
    int sleepTime = 60;                                    // SleepTime, seconds
    int sleepTimeCheck = 1;                                // SleepTimeCheck
    int deviceDebounce = 0;                                // Debounce of the device section
    int generalDebounce = 12;                              // Debounce of the options
    int enhancePrecision = 1;                              // EnhancePrecision
    std::uint32_t dpiLedMode = 0x030502;  // DpiLEDMode: byte 0 mode, 1 light, 2 speed
    // LEDParam: mode, light, speed, red, green, blue.
    std::array<std::uint8_t, 6> ledParam = {3, 10, 8, 255, 0, 255};
};

// A new record with the given name and id. Level counts outside 1-8 are brought into it so
// that no reader of the record indexes past its eight levels.
ProfileFile NewProfileRecord(const ProfileDefaults& defaults, std::string_view name,
                             std::uint32_t profileId);

// The same with a fresh clock id (waits 20 ms).
ProfileFile NewProfileRecord(const ProfileDefaults& defaults, std::string_view name);

}  // namespace vantor
