#include "profile/sensor_tables.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vantor {
namespace {

SensorTables Built(const SensorTableOptions& options = {}) {
    SensorTables tables;
    tables.Build(options);
    return tables;
}

// The 2-bit multiplier field that the DPI entry keeps of a stored flags value (low nibble
// for X, cut to two bits): 34 leaves 2, 17 leaves 1.
std::uint8_t MultiplierField(std::uint8_t flags) {
    return static_cast<std::uint8_t>(flags & 0x03);
}

struct SensorCase {
    std::uint32_t sensor;
    int steps;
    int first;
    int last;
};

TEST(SensorTablesTest, StepListsHaveTheirLengthAndRange) {
    const SensorCase cases[] = {
        {0x3050, 11, 500, 4000},  {0x3330, 192, 50, 12000}, {0x3104, 35, 600, 4000},
        {0x3212, 19, 600, 2400},  {0x3325, 54, 200, 10000}, {0x3335, 160, 100, 16000},
        {0x4090, 74, 200, 10000}, {0x3336, 192, 50, 12000}, {0x3370, 385, 50, 38000},
        {0x9000, 220, 50, 12000}, {0x3395, 580, 50, 32000},
    };
    const SensorTables tables = Built();
    for (const SensorCase& c : cases) {
        SCOPED_TRACE(c.sensor);
        const auto steps = tables.Steps(c.sensor);
        ASSERT_EQ(static_cast<int>(steps.size()), c.steps);
        EXPECT_EQ(steps.front(), c.first);
        EXPECT_EQ(steps.back(), c.last);
        for (std::size_t i = 1; i < steps.size(); ++i) ASSERT_LT(steps[i - 1], steps[i]);
        EXPECT_EQ(tables.DpiAtStep(c.sensor, c.steps - 1), c.last);
        EXPECT_EQ(tables.DpiStepIndex(c.sensor, c.last), c.steps - 1);
    }
}

// Every offered value must survive the trip to the device and back, whatever rule the
// sensor uses (code tables, formulas, half-value codes with multiplier flags).
TEST(SensorTablesTest, EveryStepRoundTripsThroughItsCode) {
    const std::uint32_t sensors[] = {0x3050, 0x3330, 0x3104, 0x3212, 0x3325, 0x3335,
                                     0x4090, 0x3336, 0x3370, 0x9000, 0x3395};
    for (bool step200 : {false, true}) {
        const SensorTables tables = Built({.sensor3325Step200 = step200});
        for (std::uint32_t sensor : sensors) {
            for (int dpi : tables.Steps(sensor)) {
                SCOPED_TRACE(testing::Message() << std::hex << sensor << std::dec << " " << dpi);
                std::uint8_t flags = 0;
                const std::uint16_t code = tables.CodeFromDpi(sensor, dpi, &flags);
                const int back = tables.DpiFromCode(sensor, code, MultiplierField(flags));
                ASSERT_EQ(back, dpi);
                std::uint8_t flagsAgain = 0;
                ASSERT_EQ(tables.CodeFromDpi(sensor, back, &flagsAgain), code);
                ASSERT_EQ(flagsAgain, flags);
            }
        }
    }
}

struct CodeCase {
    std::uint32_t sensor;
    int dpi;
    std::uint16_t code;
    std::uint8_t flags;
};

TEST(SensorTablesTest, KnownValuesGiveTheirDeviceCodes) {
    constexpr std::uint8_t kUntouched = 0xEE;  // sensors without a flag rule leave it alone
    const CodeCase cases[] = {
        // ends of the built-in code tables
        {0x3104, 600, 0x10, 0},
        {0x3104, 4000, 0x69, 0},
        {0x3212, 2400, 0x3F, kUntouched},
        {0x3325, 200, 0x04, 0},
        {0x3325, 5000, 0x73, 0},
        {0x3335, 100, 0x00, 0},
        {0x3335, 16000, 0xBD, 0},
        {0x9000, 50, 0x01, 0},
        {0x9000, 10000, 0xEB, 0},
        {0x3336, 7200, 143, 0},
        {0x3050, 500, 1, kUntouched},
        {0x3050, 4000, 11, kUntouched},
        // formula sensors on both sides of their range changes
        {0x3330, 7200, 143, 0},
        {0x3330, 7300, 72, 1},
        {0x3370, 10000, 199, 0},
        {0x3370, 10100, 100, 2},
        {0x3370, 19200, 191, 1},
        {0x3370, 20200, 100, 3},
        {0x3395, 26000, 519, 0},
        {0x3395, 26100, 260, 1},
        {0x3395, 32000, 319, 1},
        // half-value codes with a doubling flag
        {0x3325, 8000, 0x5C, 1},
        {0x3336, 7300, 72, 1},
        {0x4090, 5200, 0x3B, 1},
        {0x9000, 10100, 0x76, 34},
        // values that are not offered
        {0x3325, 5100, 0, 1},
        {0x9000, 10050, 0, 0},
        {0x3370, 38200, 0, 0},
        {0x3335, 40000, 0, 1},
        {0x3335, 50, 0, 0},
        {0x3330, -5, 0, 0},
        {0x3395, 0, 0, 0},
    };
    const SensorTables tables = Built();
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.sensor << std::dec << " " << c.dpi);
        std::uint8_t flags = kUntouched;
        EXPECT_EQ(tables.CodeFromDpi(c.sensor, c.dpi, &flags), c.code);
        EXPECT_EQ(flags, c.flags);
    }
}

TEST(SensorTablesTest, Sensor9000AboveTwelveThousandUsesTheCodeOfHalfWithFlags17) {
    const SensorTables tables = Built({.sensor9000Max = 13000});
    EXPECT_EQ(tables.Steps(0x9000).size(), 230u);
    std::uint8_t flags = 0;
    const std::uint16_t code = tables.CodeFromDpi(0x9000, 12100, &flags);
    EXPECT_EQ(code, tables.CodeFromDpi(0x9000, 6050));
    EXPECT_EQ(flags, 17);
    EXPECT_EQ(tables.DpiFromCode(0x9000, code, MultiplierField(flags)), 12100);
}

TEST(SensorTablesTest, HalfValueWithoutCodeGetsFF) {
    const SensorTables tables = Built({.sensor9000Max = 20100});
    const auto codes = tables.StepCodes(0x9000);
    EXPECT_EQ(codes[codes.size() - 2], tables.CodeFromDpi(0x9000, 10000));  // 20000 -> 10000
    EXPECT_EQ(codes.back(), 0xFF);                                          // 20100 -> 10050
}

TEST(SensorTablesTest, UnknownSensorHasNoStepsAndConvertsToZero) {
    const SensorTables tables = Built();
    for (std::uint32_t sensor : {0x0u, 0x1234u, 0x13335u}) {
        SCOPED_TRACE(sensor);
        EXPECT_EQ(tables.Find(sensor), nullptr);
        EXPECT_TRUE(tables.Steps(sensor).empty());
        std::uint8_t flags = 7;
        EXPECT_EQ(tables.CodeFromDpi(sensor, 1000, &flags), 0);
        EXPECT_EQ(flags, 7);
        EXPECT_EQ(tables.DpiFromCode(sensor, 0x10, 1), 0);
        EXPECT_EQ(tables.DpiStepIndex(sensor, 1000), -1);
        EXPECT_EQ(tables.DpiAtStep(sensor, 0), -1);
    }
    // Before the tables are built no sensor has an entry.
    EXPECT_EQ(SensorTables{}.DpiFromCode(0x3395, 5, 0), 0);
}

TEST(SensorTablesTest, OutOfRangeInputsNeverLeaveTheTables) {
    SensorTables tables = Built({.sensor9000Max = 1000000, .sensor3395Max = 1000000});
    EXPECT_EQ(tables.Steps(0x9000).size(), static_cast<std::size_t>(kMaxSensorSteps));
    EXPECT_EQ(tables.Steps(0x3395).size(), static_cast<std::size_t>(kMaxSensorSteps));
    EXPECT_EQ(tables.DpiAtStep(0x3050, -1), -1);
    EXPECT_EQ(tables.DpiAtStep(0x3050, 11), -1);
    EXPECT_EQ(tables.DpiAtStep(0x3050, 1 << 30), -1);
    EXPECT_EQ(tables.DpiFromCode(0x3336, 0xFFFF, 3), 0);
    EXPECT_EQ(tables.DpiFromCode(0x3335, 0x1BD, 0), 0);
    EXPECT_EQ(tables.DpiFromCode(0x3395, 0xFFFF, 0xFF), 65536 * 100);

    // An entry whose count was damaged by an override is read within its arrays only.
    SensorSteps* entry = tables.Find(0x3050);
    ASSERT_NE(entry, nullptr);
    entry->count = 100000;
    EXPECT_EQ(tables.Steps(0x3050).size(), static_cast<std::size_t>(kMaxSensorSteps));
    EXPECT_EQ(tables.DpiAtStep(0x3050, kMaxSensorSteps), -1);
    entry->count = -4;
    EXPECT_TRUE(tables.Steps(0x3050).empty());
    EXPECT_EQ(tables.CodeFromDpi(0x3050, 500), 0);
}

TEST(SensorTablesTest, CodesDecodeByTheSensorsRule) {
    const SensorTables tables = Built();
    EXPECT_EQ(tables.DpiFromCode(0x3050, 3, 1), 1000);  // never doubled
    EXPECT_EQ(tables.DpiFromCode(0x3104, 0x10, 1), 1200);
    EXPECT_EQ(tables.DpiFromCode(0x3325, 0x00, 0), 0);  // no code 0 in its table
    EXPECT_EQ(tables.DpiFromCode(0x3330, 0, 0), 50);
    EXPECT_EQ(tables.DpiFromCode(0x3370, 99, 3), 20000);
}

TEST(SensorTablesTest, DefaultLevelsAreKnownForTheirSensorsOnly) {
    const auto shared = DefaultDpiLevels(0x3370);
    ASSERT_TRUE(shared.has_value());
    EXPECT_EQ(*shared, DefaultDpiLevels(0x3050));
    EXPECT_EQ((*DefaultDpiLevels(0x9800))[7], 8200);
    EXPECT_FALSE(DefaultDpiLevels(0x3395).has_value());
}

}  // namespace
}  // namespace vantor
