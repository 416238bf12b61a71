#include "ui/shell/logic/battery_rules.h"

namespace vantor {

int PowerPictureIndex(int level, bool charging, const std::array<std::uint8_t, 4>& critical) {
    if (charging) return 0;
    if (level <= critical[0]) return 1;
    if (level <= critical[1]) return 2;
    if (level <= critical[2]) return 3;
    return 4;
}

bool ShowsPowerPercentage(int showPower, int level, bool charging) {
    if ((showPower & kShowPowerAlwaysPercent) != 0) return true;
    return (showPower & kShowPowerNoPercent) == 0 && (!charging || level == 100);
}

}  // namespace vantor
