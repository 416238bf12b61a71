#include "profile/single_settings.h"

#include <gtest/gtest.h>

#include <variant>
#include <vector>

namespace vantor {
namespace {

TEST(SingleSettingsTest, ReportRatesAndCodesBothWays) {
    struct Case {
        std::uint32_t rate;
        std::uint8_t code;
    };
    for (const Case c : {Case{0x1000, 1}, Case{0x500, 2}, Case{0x250, 4}, Case{0x125, 8}}) {
        EXPECT_EQ(ReportRateCode(c.rate), c.code);
        EXPECT_EQ(ReportRateFromCode(c.code), c.rate);
    }
    for (int code : {0, 3, 5, 16, 255}) {
        EXPECT_FALSE(ReportRateFromCode(static_cast<std::uint8_t>(code))) << code;
    }
    for (std::uint32_t rate : {0u, 1000u, 0x501u}) EXPECT_FALSE(ReportRateCode(rate)) << rate;
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
