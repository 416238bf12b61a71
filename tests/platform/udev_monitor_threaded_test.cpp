#include "platform/udev_monitor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace vantor {
namespace {

TEST(HidDevicePresenceTest, RemovalCarriesTheIdsSeenAtArrival) {
    HidDevicePresence presence;
    HidDeviceChange added = presence.Arrived("/dev/hidraw3", HidIds{0x25A7, 0xFA7C});
    EXPECT_TRUE(added.arrived);
    EXPECT_EQ(added.vendorId, 0x25A7);

    HidDeviceChange removed = presence.Removed("/dev/hidraw3");
    EXPECT_FALSE(removed.arrived);
    EXPECT_EQ(removed.path, "/dev/hidraw3");
    EXPECT_EQ(removed.vendorId, 0x25A7);
    EXPECT_EQ(removed.productId, 0xFA7C);

    // Forgotten after removal; a node number reused by an unidentified device drops the
    // old ids instead of passing them on.
    EXPECT_EQ(presence.Removed("/dev/hidraw3").vendorId, 0);
    presence.Arrived("/dev/hidraw4", HidIds{0x25A7, 0xFA70});
    EXPECT_EQ(presence.Arrived("/dev/hidraw4", std::nullopt).vendorId, 0);
    EXPECT_EQ(presence.Removed("/dev/hidraw4").vendorId, 0);
}

// Whether or not udev can be watched here, the monitor starts and stops promptly.
TEST(UdevHidrawMonitorTest, StopsPromptlyWhenDestroyed) {
    auto done = std::async(std::launch::async, [] {
        UdevHidrawMonitor monitor("/dev/", [](const HidDeviceChange&) {});
        return monitor.IsWatching();
    });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    done.get();
}

}  // namespace
}  // namespace vantor
