#include "sim/sim_state.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

SimFirmwareState SampleState() {
    SimFirmwareState state;
    for (std::size_t p = 0; p < state.profiles.size(); ++p) {
        state.profiles[p][0] = static_cast<std::uint8_t>(p + 1);
        state.profiles[p][kSimProfileBytes - 1] = static_cast<std::uint8_t>(0xF0 + p);
    }
    state.activeProfile = 2;
    state.cid = 0x01;
    state.mid = 0x02;
    state.mouseConnected = false;
    state.batteryLevel = 42;
    state.charging = true;
    state.ready = false;
    return state;
}

void ExpectSame(const SimFirmwareState& a, const SimFirmwareState& b) {
    EXPECT_EQ(a.profiles, b.profiles);
    EXPECT_EQ(a.activeProfile, b.activeProfile);
    EXPECT_EQ(a.cid, b.cid);
    EXPECT_EQ(a.mid, b.mid);
    EXPECT_EQ(a.mouseConnected, b.mouseConnected);
    EXPECT_EQ(a.batteryLevel, b.batteryLevel);
    EXPECT_EQ(a.charging, b.charging);
    EXPECT_EQ(a.ready, b.ready);
}

TEST(SimState, SavedStateLoadsBackAndOverwritesTheOldFile) {
    test::TempDir dir;
    const std::string path = dir / "s.bin";
    ASSERT_TRUE(SaveSimState(path, SimFirmwareState{}));
    ASSERT_TRUE(SaveSimState(path, SampleState()));
    const auto loaded = LoadSimState(path);
    ASSERT_TRUE(loaded.has_value());
    ExpectSame(*loaded, SampleState());
}

TEST(SimState, RefusesFilesThatAreNotAStateOfThisVersion) {
    const std::vector<std::uint8_t> good = SerializeSimState(SampleState());
    ASSERT_EQ(good.size(), kSimStateBytes);
    struct Case {
        const char* name;
        std::size_t offset;
        std::uint8_t value;
    };
    const Case cases[] = {
        {"magic", 0, 'X'},   {"version", 4, 2},   {"active profile", 8, 4}, {"connected", 11, 2},
        {"charging", 13, 7}, {"ready", 14, 0xFF}, {"reserved", 15, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> bad = good;
        bad[c.offset] = c.value;
        EXPECT_FALSE(ParseSimState(bad).has_value());
    }
    std::vector<std::uint8_t> shorter(good.begin(), good.end() - 1);
    EXPECT_FALSE(ParseSimState(shorter).has_value());
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(ParseSimState(longer).has_value());
    EXPECT_FALSE(ParseSimState({}).has_value());

    test::TempDir dir;
    EXPECT_FALSE(LoadSimState(dir / "absent.bin").has_value());
    test::WriteText(dir / "long.bin", std::string(good.begin(), good.end()) + "x");
    EXPECT_FALSE(LoadSimState(dir / "long.bin").has_value());
}

}  // namespace
}  // namespace vantor
