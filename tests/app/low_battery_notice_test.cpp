#include "app/session/low_battery_notice.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr int kCritical = 10;

struct Report {
    int level;
    bool charging;
    bool expectNotice;
};

void Feed(LowBatteryNotice& notice, std::initializer_list<Report> reports, bool hidden = false) {
    int step = 0;
    for (const Report& r : reports) {
        EXPECT_EQ(notice.OnBatteryReport(r.level, r.charging, kCritical, hidden), r.expectNotice)
            << "report " << step << " level " << r.level << " charging " << r.charging;
        ++step;
    }
}

TEST(LowBatteryNoticeTest, OncePerDischargeAgainAfterCharging) {
    LowBatteryNotice notice;
    Feed(notice, {{50, false, false},
                  {11, false, false},
                  {10, false, true},  // reaches the critical level
                  {9, false, false},  // same discharge
                  {3, false, false},
                  {3, true, false},  // charging ends the discharge
                  {40, true, false},
                  {40, false, false},
                  {8, false, true}});
}

TEST(LowBatteryNoticeTest, LevelBackAboveTheCriticalOneStartsANewDischarge) {
    LowBatteryNotice notice;
    // A mouse whose reading wobbles around the threshold is told again only after it was
    // clearly above it, which is what a swapped battery looks like.
    Feed(notice, {{10, false, true}, {12, false, false}, {10, false, true}});
}

TEST(LowBatteryNoticeTest, HiddenBatteryWindowSilencesTheNotice) {
    LowBatteryNotice notice;
    Feed(notice, {{5, false, false}, {4, false, false}}, true);
}

}  // namespace
}  // namespace vantor
