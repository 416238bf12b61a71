#include "ui/shell/logic/battery_rules.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(PowerRulesTest, PictureFollowsTheCriticalLevels) {
    const std::array<std::uint8_t, 4> critical{25, 50, 75, 100};
    struct Case {
        int level;
        bool charging;
        int picture;
    } cases[] = {{0, false, 1},  {25, false, 1}, {26, false, 2},  {50, false, 2}, {51, false, 3},
                 {75, false, 3}, {76, false, 4}, {100, false, 4}, {10, true, 0},  {100, true, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(PowerPictureIndex(c.level, c.charging, critical), c.picture)
            << "level " << c.level << " charging " << c.charging;
    }
}

TEST(PowerRulesTest, PercentageByShowPowerAndCharging) {
    struct Case {
        int showPower;
        int level;
        bool charging;
        bool shown;
    } cases[] = {
        {0, 40, false, true},  {0, 40, true, false}, {0, 100, true, true},
        {1, 40, false, false}, {4, 40, true, true},  {5, 40, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShowsPowerPercentage(c.showPower, c.level, c.charging), c.shown)
            << "ShowPower " << c.showPower << " level " << c.level << " charging " << c.charging;
    }
}

}  // namespace
}  // namespace vantor
