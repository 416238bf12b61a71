// Profile records read from files are not trusted: the encoders write every field into the
// mouse, and the pages index tables with the key set, the level counts and the lighting
// steps. One set of rules says which values a record may hold for a device model (its
// device section and that section's sensor):
//
//   - the magic and a non-zero id; the sensor id of the section;
//   - each button with its matrix position holds a function the model offers (or the
//     model's own default for that button), and every key set keeps a left click when the
//     model's defaults have one;
//   - report rate, pointer settings, the X/Y switch;
//   - DPI levels: level count 1..DM, current level below the count, each level in use on
//     a step of the sensor (and within DpiLimit), colours of three bytes;
//   - the single settings, the DPI indicator and the two lighting zones within their ranges.
//
// CheckProfileRecord lists what breaks the rules (an import is refused on any);
// RepairProfileRecord replaces each broken field by the model's default (a profile file).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/config.h"
#include "profile/profile_record.h"

namespace vantor {

constexpr std::uint32_t kMaxMainEffect = 6;
constexpr std::uint32_t kMaxLogoEffect = 3;
constexpr std::uint32_t kMaxDpiIndicatorEffect = 2;
constexpr std::uint32_t kMaxLightingStep = 10;
constexpr std::uint32_t kMaxLogoSpeed = 5;
constexpr std::uint32_t kMaxDpiIndicatorSpeed = 5;
constexpr int kMaxLiftOffCode = 2;

// Auto-sleep choices, in tens of seconds.
constexpr std::array<int, 13> kAutoSleepSteps = {1, 2, 3, 6, 12, 18, 24, 30, 36, 42, 48, 54, 60};

// One line per broken field ("debounce -841516233 ms is outside 0-30"); empty when the
// record keeps every rule for `section`.
std::vector<std::string> CheckProfileRecord(const ProfileFile& record, const DeviceSection& section,
                                            const AppOptions& options);

// Replaces every broken field by the same field of `defaults` (a new record of the
// section), logs one line per field, and cuts the name to 19 characters. A record without
// the magic or an id is replaced whole. Returns the number of fields replaced.
int RepairProfileRecord(ProfileFile& record, const ProfileFile& defaults,
                        const DeviceSection& section, const AppOptions& options);

}  // namespace vantor
