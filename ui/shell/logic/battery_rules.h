// Which battery picture and whether the percentage the battery window shows.
#pragma once

#include <array>
#include <cstdint>

namespace vantor {

// ShowPower bits.
constexpr int kShowPowerNoPercent = 1;  // no percentage (unless bit 4)
constexpr int kShowPowerAlwaysPercent = 4;

// 0 for the charging picture, else 1..4 for power1..power4 by the first three
// PowerCritical bytes.
int PowerPictureIndex(int level, bool charging, const std::array<std::uint8_t, 4>& critical);

bool ShowsPowerPercentage(int showPower, int level, bool charging);

}  // namespace vantor
