#include "profile/check_byte.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

namespace vantor {
namespace {

unsigned SumMod256(std::span<const std::uint8_t> bytes) {
    return std::accumulate(bytes.begin(), bytes.end(), 0u) & 0xFF;
}

TEST(CheckByteTest, SealedGroupsAddUpTo0x55) {
    const std::vector<std::vector<std::uint8_t>> groups = {
        {0x00},                                      // lone check byte
        {0x55, 0x00},                                // value already 0x55
        {0xFF, 0xFF, 0xFF, 0x00},                    // sum wraps
        {0x01, 0xFF, 0x00, 0x00, 0xE6, 0x64, 0x00},  // main lighting group
    };
    for (std::vector<std::uint8_t> group : groups) {
        SealGroup(group);
        EXPECT_EQ(SumMod256(group), 0x55u);
    }
    EXPECT_EQ(CheckByte(std::array<std::uint8_t, 3>{0xFF, 0xFF, 0xFF}), 0x58);
    std::vector<std::uint8_t> empty;
    SealGroup(empty);  // nothing to seal, nothing written
}

TEST(CheckByteTest, SettingPairIsValueAndComplement) {
    EXPECT_EQ(SettingPair(0), (std::array<std::uint8_t, 2>{0x00, 0x55}));
    EXPECT_EQ(SettingPair(6), (std::array<std::uint8_t, 2>{0x06, 0x4F}));
    EXPECT_EQ(SettingPair(0xA0), (std::array<std::uint8_t, 2>{0xA0, 0xB5}));
}

}  // namespace
}  // namespace vantor
