#include "sim/sim_factory.h"

#include <gtest/gtest.h>

#include <numeric>

#include "app/config.h"
#include "profile/memory_map.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

namespace mm = memory_map;

class SimFactoryTest : public ::testing::TestWithParam<int> {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(DataInit(VANTOR_SOURCE_DATA_DIR "cfg.ini")); }
};

// Every group below the combination slots adds up to 0x55, so the strict firmware would
// have taken the image from the PC, and the values decode to the section's defaults.
TEST_P(SimFactoryTest, ImageOfANewRecordHoldsTheSectionDefaultsInValidGroups) {
    const DeviceSection& section = DeviceSectionAt(GetParam());
    const SimProfileImage m = SimFactoryImage(GetParam());

    for (std::size_t a = 0; a < mm::kComboSlots;) {
        const auto group = SimGroupAt(m, a);
        if (!group) {
            ++a;
            continue;
        }
        const int sum = std::accumulate(
            m.begin() + static_cast<std::ptrdiff_t>(group->start),
            m.begin() + static_cast<std::ptrdiff_t>(group->start + group->length), 0);
        const bool written =
            std::any_of(m.begin() + static_cast<std::ptrdiff_t>(group->start),
                        m.begin() + static_cast<std::ptrdiff_t>(group->start + group->length),
                        [](std::uint8_t b) { return b != 0; });
        if (written) {
            EXPECT_EQ(sum & 0xFF, 0x55) << "group at 0x" << std::hex << group->start;
        }
        a = group->start + group->length;
    }

    EXPECT_EQ(m[mm::kReportRate], 1) << "DR=0x1000";
    EXPECT_EQ(m[mm::kDpiLevelCount], section.DM);
    EXPECT_EQ(m[mm::kCurrentDpiLevel], section.DEFLEVEL);
    for (int i = 0; i < section.DM; ++i) {
        const std::size_t e = mm::DpiEntryAddress(i);
        const auto code = static_cast<std::uint16_t>(((m[e + 2] & 0x0C) << 6) | m[e]);
        const auto flags =
            static_cast<std::uint8_t>(section.Sensor == 0x3395 ? m[e + 2] & 1 : m[e + 2] & 3);
        EXPECT_EQ(DpiFromCode(static_cast<std::uint32_t>(section.Sensor), code, flags),
                  section.DPI[static_cast<std::size_t>(i)])
            << "level " << i;
        EXPECT_EQ(m[mm::DpiColorAddress(i)], section.DC[static_cast<std::size_t>(i)] & 0xFF);
    }
    // K1: left click on matrix entry 0.
    EXPECT_EQ(m[mm::KeyMatrixAddress(0)], 0x01);
    EXPECT_EQ(m[mm::KeyMatrixAddress(0) + 1], 0x01);
    EXPECT_EQ(m[mm::kSleepTime], 6) << "60 s are held as tenths";
}

INSTANTIATE_TEST_SUITE_P(ShippedSections, SimFactoryTest, ::testing::Values(0, 1));

TEST(SimFactory, FirmwareTakesTheSectionIdentity) {
    ASSERT_TRUE(DataInit(VANTOR_SOURCE_DATA_DIR "cfg.ini"));
    const auto firmware = MakeSimFirmware(1);
    const SimFirmwareState state = firmware->State();
    EXPECT_EQ(state.cid, DeviceSectionAt(1).CID);
    EXPECT_EQ(state.mid, DeviceSectionAt(1).MID);
    EXPECT_EQ(state.activeProfile, 0);
    for (const auto& profile : state.profiles) EXPECT_EQ(profile, state.profiles[0]);
}

// A mouse made before the configuration was read still has a report rate and a sleep time
// the PC can decode.
TEST(SimFactory, AnUnreadSectionGivesTheDefaultsOfANewRecord) {
    const SimProfileImage m = SimFactoryImage(DeviceSection{}, AppOptions{});
    EXPECT_EQ(m[mm::kReportRate], 2) << "500 reports per second";
    EXPECT_EQ(m[mm::kReportRate + 1], 0x53);
    EXPECT_EQ(m[mm::kSleepTime], 6);
    EXPECT_EQ(m[mm::kDpiLevelCount], 1);
}

}  // namespace
}  // namespace vantor
