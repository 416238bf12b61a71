// The performance page's rules: nearest stops, the write each change asks for, and values
// that are not slider stops surviving a load and store untouched.
#include "ui/pages/performance/logic/performance_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "profile/set_flags.h"

namespace vantor {
namespace {

std::vector<int> Hundreds() {
    std::vector<int> stops;
    for (int dpi = 100; dpi <= 26000; dpi += 100) stops.push_back(dpi);
    return stops;
}

TEST(PerformanceRulesTest, NearestStopPrefersExactThenClosestThenEarlier) {
    const std::vector<int> dpi = Hundreds();
    struct Case {
        std::span<const int> stops;
        int value;
        int expected;  // stop value, or -1 for none
    } cases[] = {
        {dpi, 1200, 1200},
        {dpi, 1234, 1200},
        {dpi, 1250, 1200},
        {dpi, 1251, 1300},
        {dpi, 50, 100},
        {dpi, 99999, 26000},
        {dpi, -5, 100},
        {{}, 800, -1},
        {kDoubleClickStops, 500, 480},
        {kDoubleClickStops, 515, 550},  // tie between 550 and 480: the earlier stop
        {kPointerSpeedStops, 3, 2},
        {kWheelLineStops, 0, 1},
    };
    for (const Case& c : cases) {
        const int index = NearestStopIndex(c.stops, c.value);
        EXPECT_EQ(index < 0 ? -1 : c.stops[static_cast<std::size_t>(index)], c.expected) << c.value;
    }
}

TEST(PerformanceRulesTest, TypedValuesTakeTheNearestStepAndZeroChangesNothing) {
    const std::vector<int> stops = Hundreds();
    PerformanceEditor editor;
    EXPECT_EQ(editor.TypeLevelDpi(1, 0, 1234, stops), (PerfRequest{SET_DPI, 1}));
    EXPECT_EQ(editor.Values().dpiX[1], 1200);
    EXPECT_EQ(editor.Values().dpiY[1], 1200);  // Y follows X while X/Y is off
    EXPECT_EQ(editor.TypeLevelDpi(1, 0, 0, stops), std::nullopt);
    EXPECT_EQ(editor.TypeLevelDpi(1, 1, 800, stops), std::nullopt);  // no Y without X/Y
    EXPECT_EQ(editor.TypeLevelDpi(1, 0, 800, {}), std::nullopt);
    EXPECT_EQ(editor.Values().dpiX[1], 1200);
}

TEST(PerformanceRulesTest, SeparateXYWritesEveryLevelAndSwitchingOffPutsYOnX) {
    PerformanceEditor editor;
    EXPECT_EQ(editor.SetSeparateXY(true), (PerfRequest{SET_DPI, kSetIndexAll}));
    ASSERT_TRUE(editor.SetLevelDpi(0, 0, 800));
    ASSERT_TRUE(editor.SetLevelDpi(0, 1, 1600));
    EXPECT_EQ(editor.Values().dpiY[0], 1600);
    editor.SetSeparateXY(false);
    EXPECT_EQ(editor.Values().dpiY[0], 800);
}

TEST(PerformanceRulesTest, LevelCountAsksForTheCurrentLevelOnlyWhenSynchronised) {
    PerformanceEditor editor;
    EXPECT_EQ(editor.SetLevelCount(3, 6, false), (PerfRequest{SET_DPI_NUM, 0}));
    EXPECT_EQ(editor.SetLevelCount(3, 6, true), (PerfRequest{0x90, 0}));
    EXPECT_EQ(editor.SetLevelCount(7, 6, false), std::nullopt);
    EXPECT_EQ(editor.SetLevelCount(0, 6, false), std::nullopt);
    EXPECT_EQ(editor.Values().levels, 3);
}

TEST(PerformanceRulesTest, DpiLightSlidersDoNothingWhileTheEffectIsOff) {
    PerformanceEditor editor;
    editor.MutableValues().effectLight = 4;
    ASSERT_EQ(editor.SetDpiEffect(0), (PerfRequest{SET_LED, kLedPartDpiEffect}));
    EXPECT_EQ(editor.SetDpiLight(8), std::nullopt);
    EXPECT_EQ(editor.Values().effectLight, 4);
    ASSERT_TRUE(editor.SetDpiEffect(1));
    EXPECT_EQ(editor.SetDpiLight(8), (PerfRequest{SET_LED, kLedPartDpiEffect}));
    EXPECT_EQ(editor.SetDpiSpeed(6), std::nullopt);  // beyond the 5 stops
}

TEST(PerformanceRulesTest, RateButtonsOfRecordAndDeviceCodes) {
    EXPECT_EQ(RateButtonOfRecord(0x125), 0);
    EXPECT_EQ(RateButtonOfRecord(0x1000), 3);
    EXPECT_EQ(RateButtonOfRecord(1000), -1);
    const std::pair<std::uint64_t, int> codes[] = {{1, 3},  {2, 2},  {4, 1},     {8, 0},
                                                   {3, -1}, {0, -1}, {0x101, -1}};
    for (const auto& [code, button] : codes) EXPECT_EQ(RateButtonOfDeviceCode(code), button);
}

TEST(PerformanceRulesTest, ValuesBetweenStopsAreStoredBackUntouched) {
    ProfileFile record{};
    record.nDpiLevels = 9;  // more than any device has
    record.bDpiXY = 1;
    record.Dpi[0].dwDpi = 1234;
    record.Dpi[0].dwDpiY = 777;
    record.dwReportRate = 0x333;
    record.nLOD = 5;
    record.nSensorMode = 7;
    record.stDpiEffect.nLight = 15;
    record.stSys.nDoubleClickTime = 500;
    record.stSys.nWheelLines = 0;
    record.stSys.nMouseSpeed = 3;
    record.stSys.bEnhancePrecision = 1;
    const PerformanceShown all{true, true, false, true};

    PerformanceEditor editor;
    editor.Load(record);
    ProfileFile stored = record;
    StorePerformanceValues(editor.Values(), all, stored);
    EXPECT_EQ(std::memcmp(&stored, &record, sizeof record), 0);

    // Moving one slider writes that setting and no other.
    ASSERT_EQ(editor.SetDoubleClickTime(480), (PerfRequest{SET_SYS, 0}));
    StorePerformanceValues(editor.Values(), all, stored);
    EXPECT_EQ(stored.stSys.nDoubleClickTime, 480);
    stored.stSys.nDoubleClickTime = 500;
    EXPECT_EQ(std::memcmp(&stored, &record, sizeof record), 0);
    EXPECT_EQ(editor.SetDoubleClickTime(500), std::nullopt);  // not a stop
}

TEST(PerformanceRulesTest, OneScreenPerNotchShowsThreeLinesAndStoresMinusOne) {
    ProfileFile record{};
    record.stSys.nWheelLines = kOneScreenPerNotch;
    PerformanceEditor editor;
    editor.Load(record);
    EXPECT_TRUE(editor.Values().oneScreenPerNotch);
    EXPECT_EQ(editor.Values().wheelLines, 3);
    const PerformanceShown pointer{false, false, false, true};
    StorePerformanceValues(editor.Values(), pointer, record);
    EXPECT_EQ(record.stSys.nWheelLines, -1);
    editor.SetOneScreenPerNotch(false);
    StorePerformanceValues(editor.Values(), pointer, record);
    EXPECT_EQ(record.stSys.nWheelLines, 3);
    // Without the pointer section the store leaves the block alone.
    editor.SetOneScreenPerNotch(true);
    StorePerformanceValues(editor.Values(), {}, record);
    EXPECT_EQ(record.stSys.nWheelLines, 3);
}

TEST(PerformanceRulesTest, DpiPromptUsesTheRangeTextOrTheList) {
    EXPECT_EQ(DpiInputPrompt("Enter:", "DPI", 50, 32000), "Enter:");
    EXPECT_EQ(DpiInputPrompt("", "DPI", 50, 32000), "DPI   (50 ~ 32000)");
}

}  // namespace
}  // namespace vantor
