#include "profile/single_settings.h"

#include <gtest/gtest.h>

#include <variant>
#include <vector>

namespace vantor {
namespace {

TEST(SingleSettingsTest, ReportRatesCodesAndHz) {
    struct Case {
        std::uint32_t rate;
        std::uint8_t code;
        int hz;
    };
    for (const Case c :
         {Case{0x1000, 1, 1000}, Case{0x500, 2, 500}, Case{0x250, 4, 250}, Case{0x125, 8, 125}}) {
        EXPECT_EQ(ReportRateCode(c.rate), c.code);
        EXPECT_EQ(ReportRateFromCode(c.code), c.rate);
        EXPECT_EQ(ReportRateHz(c.rate), c.hz);
    }
    // 0x101 and 0x10000000004 are event values, not codes 1 and 4 cut to a byte.
    for (std::uint64_t code : {0ull, 3ull, 5ull, 16ull, 255ull, 0x101ull, 0x10000000004ull}) {
        EXPECT_FALSE(ReportRateFromCode(code)) << code;
    }
    for (std::uint32_t rate : {0u, 1000u, 0x501u}) {
        EXPECT_FALSE(ReportRateCode(rate)) << rate;
        EXPECT_FALSE(ReportRateHz(rate)) << rate;
    }
}

TEST(SingleSettingsTest, ReportRateWriteIsAPairOrAFailedWrite) {
    const WriteStep ok = WriteReportRate(0x250);
    ASSERT_TRUE(std::holds_alternative<MemoryWriteStep>(ok));
    EXPECT_EQ(std::get<MemoryWriteStep>(ok).address, 0x0000);
    EXPECT_EQ(std::get<MemoryWriteStep>(ok).bytes, (std::vector<std::uint8_t>{4, 0x51}));

    EXPECT_TRUE(std::holds_alternative<FailedWriteStep>(WriteReportRate(1000)));
}

TEST(SingleSettingsTest, ValuesOutsideAByteStopAtItsEnds) {
    EXPECT_EQ(SettingByte(-5), 0);
    EXPECT_EQ(SettingByte(6), 6);
    EXPECT_EQ(SettingByte(256), 255);
    EXPECT_EQ(WriteSettingPair(0x00AD, 6).bytes, (std::vector<std::uint8_t>{6, 0x4F}));
}

}  // namespace
}  // namespace vantor
