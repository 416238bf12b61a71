#include "profile/dpi_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <variant>
#include <vector>

#include "profile/check_byte.h"
#include "profile/sensor_tables.h"
#include "tests/profile/codec_test_support.h"

namespace vantor {
namespace {

using Bytes = std::vector<std::uint8_t>;

class DpiCodecTest : public ::testing::Test {
  protected:
    void SetUp() override { TheSensorTables().Build(SensorTableOptions{}); }
};

DpiLevel Level(std::uint32_t x, std::uint32_t y, std::uint32_t color = 0) {
    DpiLevel l{};
    l.dwDpi = x;
    l.dwDpiY = y;
    l.dwColor = color;
    return l;
}

std::vector<MemoryWriteStep> Writes(const WriteSteps& steps) {
    std::vector<MemoryWriteStep> writes;
    for (const WriteStep& s : steps) {
        if (const auto* w = std::get_if<MemoryWriteStep>(&s)) writes.push_back(*w);
    }
    return writes;
}

TEST_F(DpiCodecTest, EntriesPackAndUnpackPerSensor) {
    struct Case {
        std::uint32_t sensor;
        std::uint32_t x, y;
        std::array<std::uint8_t, 3> bytes;
    };
    const Case cases[] = {
        // 20000 is code 399 = 0x18F: bits 8-9 (01) go into bits 2-3 (X) and 6-7 (Y).
        {0x3395, 20000, 400, {0x8F, 0x07, 0x04}},
        {0x3395, 400, 20000, {0x07, 0x8F, 0x40}},
        // Above 26099 a doubling flag per axis: 32000 is code 319 = 0x13F with flag 1.
        {0x3395, 32000, 32000, {0x3F, 0x3F, 0x55}},
        // Flag values 17 and 34 leave 1 and 2 in each 2-bit field: 10100 is the code of
        // 5050 with flags 34, 12000 the code of 6000 with flags 34.
        {0x9000, 10100, 12000, {0x76, 0x8D, 0x22}},
        {0x3330, 7200, 7300, {143, 72, 0x10}},
    };
    for (const Case& c : cases) {
        const DpiEntryBytes entry = PackDpiEntry(c.sensor, c.x, c.y);
        EXPECT_EQ((std::array<std::uint8_t, 3>{entry[0], entry[1], entry[2]}), c.bytes)
            << std::hex << c.sensor << " " << std::dec << c.x;
        EXPECT_EQ(entry[3], CheckByte(std::span<const std::uint8_t>(entry).first(3)));
        const DpiEntryFields f = UnpackDpiEntry(entry);
        EXPECT_EQ(DpiFromCode(c.sensor, f.xCode, f.xFlags), static_cast<int>(c.x));
        EXPECT_EQ(DpiFromCode(c.sensor, f.yCode, f.yFlags), static_cast<int>(c.y));
    }
}

TEST_F(DpiCodecTest, HugeValuesNeverSpillIntoTheOtherAxis) {
    // 200000 would be code 0x7CF; only code bits 8-9 have room in the entry.
    const DpiEntryBytes entry = PackDpiEntry(0x3395, 200000, 400);
    EXPECT_EQ(UnpackDpiEntry(entry).yFlags, 0);
    EXPECT_EQ(UnpackDpiEntry(entry).yCode, 7);
}

TEST_F(DpiCodecTest, BulkAndSingleWritesOfSensor3395) {
    const std::array<DpiLevel, 3> levels = {Level(400, 400), Level(20000, 20000), Level(800, 1600)};
    test::LogCapture log;
    const WriteSteps bulk = WriteDpi(255, levels, 0x3395);
    const auto bulkWrites = Writes(bulk);
    ASSERT_EQ(bulkWrites.size(), 1u);
    EXPECT_EQ(bulkWrites[0].address, 0x000C);
    EXPECT_EQ(bulkWrites[0].chunk, 8u);
    ASSERT_EQ(bulkWrites[0].bytes.size(), 12u);
    EXPECT_EQ(Bytes(bulkWrites[0].bytes.begin() + 4, bulkWrites[0].bytes.begin() + 7),
              (Bytes{0x8F, 0x8F, 0x44}));
    // The code dumps come first.
    ASSERT_TRUE(std::holds_alternative<LogHexStep>(bulk[0]));
    EXPECT_EQ(std::get<LogHexStep>(bulk[0]).title, "DpiX=");
    EXPECT_EQ(std::get<LogHexStep>(bulk[0]).bytes, (Bytes{0x07, 0x8F, 0x0F}));
    EXPECT_EQ(std::get<LogHexStep>(bulk[1]).title, "DpiY=");
    EXPECT_EQ(std::get<LogHexStep>(bulk[1]).bytes, (Bytes{0x07, 0x8F, 0x1F}));

    // A mask writes the level of its lowest set bit only, with the same packing.
    const auto single = Writes(WriteDpi(0x06, levels, 0x3395));
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].address, 0x0010);
    EXPECT_EQ(single[0].bytes,
              Bytes(bulkWrites[0].bytes.begin() + 4, bulkWrites[0].bytes.begin() + 8));
}

TEST_F(DpiCodecTest, MasksThatNameNoLevelAreRefused) {
    const std::array<DpiLevel, 2> levels = {Level(400, 400), Level(800, 800)};
    for (std::uint32_t mask : {0x00u, 0x04u, 0x100u, 0x80000000u}) {
        const WriteSteps steps = WriteDpi(mask, levels, 0x3395);
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_TRUE(std::holds_alternative<FailedWriteStep>(steps[0])) << mask;
        EXPECT_TRUE(std::holds_alternative<FailedWriteStep>(WriteDpiColor(mask, levels)[0]));
    }
}

TEST_F(DpiCodecTest, ColourEntries) {
    const DpiEntryBytes entry = PackDpiColor(0x00302010);
    EXPECT_EQ(entry, (DpiEntryBytes{0x10, 0x20, 0x30, 0xF5}));
    EXPECT_EQ(UnpackDpiColor(entry), 0x302010u);

    const std::array<DpiLevel, 2> levels = {Level(0, 0, 0x0000FF), Level(0, 0, 0xFF0000)};
    const auto all = Writes(WriteDpiColor(255, levels));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].address, 0x002C);
    EXPECT_EQ(all[0].bytes, (Bytes{0xFF, 0, 0, 0x56, 0, 0, 0xFF, 0x56}));
    const auto one = Writes(WriteDpiColor(0x02, levels));
    EXPECT_EQ(one[0].address, 0x0030);
    EXPECT_EQ(one[0].bytes, (Bytes{0, 0, 0xFF, 0x56}));
}

TEST_F(DpiCodecTest, KeyMatrixWrites) {
    std::array<std::int32_t, 16> codes{};
    codes[0] = 0x000101;
    codes[3] = -1;  // a function without device code
    const auto all = Writes(WriteKeyMatrix(255, codes));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].address, 0x0060);
    EXPECT_EQ(all[0].chunk, 8u);
    ASSERT_EQ(all[0].bytes.size(), 64u);
    EXPECT_EQ(Bytes(all[0].bytes.begin(), all[0].bytes.begin() + 4), (Bytes{1, 1, 0, 0x53}));
    EXPECT_EQ(Bytes(all[0].bytes.begin() + 4, all[0].bytes.begin() + 8), (Bytes{0, 0, 0, 0x55}));
    EXPECT_EQ(Bytes(all[0].bytes.begin() + 12, all[0].bytes.begin() + 16),
              (Bytes{0xFF, 0xFF, 0xFF, 0x58}));

    const auto one = Writes(WriteKeyMatrix(1u << 15 | 1u << 3, codes));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].address, 0x006C);
    EXPECT_EQ(one[0].bytes, (Bytes{0xFF, 0xFF, 0xFF, 0x58}));
    EXPECT_TRUE(std::holds_alternative<FailedWriteStep>(WriteKeyMatrix(1u << 16, codes)[0]));
}

}  // namespace
}  // namespace vantor
