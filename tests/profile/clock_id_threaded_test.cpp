#include "base/clock_id.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace vantor {
namespace {

TEST(ClockIdTest, PacksHourMinuteSecondAndMilliseconds) {
    struct Case {
        LocalClockTime time;
        std::uint32_t id;
    };
    const Case cases[] = {
        {{0, 0, 0, 1}, 0x000001},     {{15, 59, 59, 255}, 0xFEFBFF},
        {{16, 0, 0, 0}, 0x000000},     // hour modulo 16
        {{13, 42, 7, 999}, 0xDA87E7},  // 13 -> D, 42 << 14, 7 << 8, 999 & 0xFF
        {{23, 30, 1, 256}, 0x778100},  // 23 % 16 = 7
    };
    for (const Case& c : cases) EXPECT_EQ(ClockIdFromTime(c.time), c.id);
}

TEST(ClockIdTest, TwoIdsInARowDiffer) {
    const std::uint32_t first = NewClockId();
    const std::uint32_t second = NewClockId();
    EXPECT_NE(first, second);
    EXPECT_NE(first, 0u);
    EXPECT_LE(second, 0xFFFFFFu);
}

// A clock that shows midnight (id 0) and then stands still for a few reads.
int g_reads = 0;
LocalClockTime MidnightThenStuck() {
    ++g_reads;
    if (g_reads == 1) return {0, 0, 0, 0};
    if (g_reads <= 4) return {0, 0, 0, 20};
    return {0, 0, 0, 40};
}

TEST(ClockIdTest, NeverZeroAndNeverTheSameIdTwice) {
    g_reads = 0;
    EXPECT_EQ(NewClockId(MidnightThenStuck), 20u);  // the zero id is skipped
    EXPECT_EQ(NewClockId(MidnightThenStuck), 40u);  // the repeated one too
}

LocalClockTime AlwaysZero() {
    return {};
}

TEST(ClockIdTest, StoppedClockStillGivesAnId) {
    const std::uint32_t id = NewClockId(AlwaysZero);
    EXPECT_NE(id, 0u);
    EXPECT_NE(NewClockId(AlwaysZero), id);
}

LocalClockTime StandingStill() {
    return {9, 30, 15, 100};
}

// Ids only avoid the one handed out just before, so with a running clock two threads may
// well get equal ids a few hundred milliseconds apart. With a clock that stands still the
// ids must take turns between the clock's id and one past it, whichever thread asks.
TEST(ClockIdTest, ThreadsNeverGetTheIdHandedOutJustBefore) {
    std::mutex mutex;
    std::map<std::uint32_t, int> ids;  // id -> how often it was handed out
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 3; ++i) {
                const std::uint32_t id = NewClockId(StandingStill);
                std::lock_guard<std::mutex> lock(mutex);
                ++ids[id];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    const std::uint32_t stillId = ClockIdFromTime(StandingStill());
    EXPECT_EQ(ids, (std::map<std::uint32_t, int>{{stillId, 6}, {stillId + 1, 6}}));
}

}  // namespace
}  // namespace vantor
